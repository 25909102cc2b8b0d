#pragma once

#include <string>
#include <string_view>

namespace morvane {

/// GB2312/GBK text (decoded as GB18030, its superset) as UTF-8. A byte that does not decode
/// becomes U+FFFD, so nothing stops the rest of the text from showing.
std::string Gb18030ToUtf8(std::string_view text);

/// Big5 text as UTF-8, as Windows reads it (code page 950, with the box-drawing extensions of
/// Taiwanese boards); a byte that does not decode becomes U+FFFD.
std::string Big5ToUtf8(std::string_view text);

/// Big5 text as UTF-8 with the Hong Kong extensions; for pairs code page 950 leaves out.
std::string Big5HkscsToUtf8(std::string_view text);

/// UTF-8 text as GB18030 bytes; a byte that is no UTF-8 becomes "?".
std::string Utf8ToGb18030(std::string_view text);

/// UTF-8 text as Big5 bytes (code page 950); a character Big5 lacks becomes "?".
std::string Utf8ToBig5(std::string_view text);

/// True when text is well-formed UTF-8.
bool IsUtf8(std::string_view text);

/// A file name (the file system's UTF-8 bytes) as GB18030 bytes, for pages and messages; a name
/// that is not UTF-8 keeps its bytes.
std::string FileNameToGb(std::string_view name);

/// The same in Big5, for the pages of Big5 art.
std::string FileNameToBig5(std::string_view name);

}  // namespace morvane
