#pragma once

#include <string>
#include <string_view>

namespace morvane {

enum THtmlEscapeMode { hemText = 3, hemAttr = 4 };

/// Escapes text byte by byte for a page: hemText for element text (blanks become &nbsp;, and a
/// lone blank becomes nothing), hemAttr for attribute values. Any other mode gives "".
std::string HtmlEscape(std::string_view text, int mode);

}  // namespace morvane
