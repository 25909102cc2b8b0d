#pragma once

#include <functional>
#include <string>
#include <vector>

namespace morvane {

class Tabc;
struct TConvertJob;
struct TConvertOptions;

/// Writes the picture of a loaded colour or text document in a picture format ("gif", "bmp" or
/// "png") to path; throws what it cannot write. Called from several threads at once.
using TPictureWriter =
    std::function<void(const Tabc& doc, const std::string& format, const std::string& path)>;

/// Where the batch converter's text goes, and what it may use.
struct TConverterIo {
    /// Messages, a line each, in the order of the files they are about.
    std::function<void(const std::string& line)> Err;
    /// --help and --version; Err when not set.
    std::function<void(const std::string& line)> Out;
    /// The progress line (files done, total, files a second, the file in hand), shown in place
    /// of the last; an empty text takes it away. Not set: no progress is shown.
    std::function<void(const std::string& status)> Progress;
    /// Standard input, for --files-from -.
    std::function<std::string()> ReadInput;
    /// Receives the unnamed scratch file of a page that spills; ends in '/'.
    std::string TempDir;
    TPictureWriter WritePicture;
};

/// Runs the batch converter on its arguments (without the program name); ConvertHelp() tells
/// them. Each file is loaded as the viewer loads it and written by the save-as writer of the
/// format, a picture by io.WritePicture. A file that fails gets one line through io.Err naming
/// it; the others are still converted. No output may replace a file the batch reads: such a
/// file is refused before anything is written. Returns the exit status: 0 when all were
/// converted, 1 when any failed, 2 for bad arguments.
int RunConverter(const std::vector<std::string>& args, const TConverterIo& io);

/// As above, with messages to err and no progress line.
int RunConverter(const std::vector<std::string>& args,
                 const std::function<void(const std::string& line)>& err,
                 const std::string& tempDir, const TPictureWriter& writePicture = {});

/// Converts one planned file: loads job.Input into doc and writes job.Writes in format. Messages
/// about the file go to lines, each a whole line for the terminal. Throws what went wrong.
void ConvertJob(Tabc& doc, const TConvertJob& job, const std::string& format,
                const TPictureWriter& writePicture, std::vector<std::string>& lines);

}  // namespace morvane
