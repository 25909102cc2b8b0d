#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace morvane {

/// The string IDs the main window reads from its pack, and those the about window reads.
constexpr int kMainPackIds[] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14,
                                15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28,
                                29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41,
                                150,
                                160, 161};
constexpr int kAboutPackIds[] = {1, 2, 3, 4, 5, 6, 7, 8, 10, 13, 15, 31, 32, 33, 34, 35};

/// The longest text, in bytes, that each window takes from its pack.
constexpr std::size_t kMainPackTextBytes = 254;
constexpr std::size_t kAboutPackTextBytes = 253;

/// The texts of one pack file by ID, as GB18030 bytes.
struct TLanguagePack {
    std::map<int, std::string> Texts;
    /// Numbers (from 1) of the lines that were skipped: neither an entry, a comment nor blank.
    std::vector<int> MalformedLines;
    /// IDs whose text was longer than the limit and was cut.
    std::vector<int> CutIds;
};

/// Parses a pack file's UTF-8 text: one "ID=text" entry a line, "#" comments, "\n" for a line
/// break and "\\" for a backslash. Each text becomes GB18030 bytes, ends at its first zero byte
/// and is cut to maxBytes, never inside a character. A later entry of an ID replaces an earlier.
TLanguagePack ParseLanguagePack(std::string_view text, std::size_t maxBytes);

/// Reads and parses the pack file at path; throws EFileError naming it.
TLanguagePack ReadLanguagePack(const std::string& path, std::size_t maxBytes);

}  // namespace morvane
