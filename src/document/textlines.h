#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace morvane {

/// Splits text into lines at CR LF, LF or a lone CR; the text ends at its first NUL, and a
/// break at the very end adds no empty line.
std::vector<std::string> SplitTextLines(std::string_view text);

/// Reads a text file into lines (as SplitTextLines); throws EFileError naming the file.
std::vector<std::string> ReadTextLines(const std::string& path);

/// The lines joined, each followed by CR LF.
std::string JoinCrLf(const std::vector<std::string>& lines);

}  // namespace morvane
