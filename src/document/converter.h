#pragma once

#include <functional>
#include <string>
#include <vector>

namespace morvane {

/// Runs the batch converter on its arguments (without the program name):
///   --to txt|clo|htm [-o OUT | --out-dir DIR] [--encoding auto|gb|big5] [--] FILE...
/// Each file is loaded as the viewer loads it and written by the save-as writer of the format.
/// A file that fails gets one line through err naming it; the others are still converted. No
/// output may replace a file the batch reads: such a file is refused before anything is written.
/// Returns the exit status: 0 when all were converted, 1 when any failed, 2 for bad arguments.
/// tempDir (ending in '/') receives the unnamed scratch file of a page that spills.
int RunConverter(const std::vector<std::string>& args,
                 const std::function<void(const std::string& line)>& err,
                 const std::string& tempDir);

}  // namespace morvane
