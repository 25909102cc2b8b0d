#include "document/htmlescape.h"

namespace morvane {

std::string HtmlEscape(std::string_view text, int mode) {
    if (mode != hemText && mode != hemAttr) return {};
    std::string out;
    out.reserve(text.size() + 8);
    for (char ch : text) {
        switch (ch) {
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '&': out += mode == hemText ? "&amp;" : "&"; break;
            case ' ': out += mode == hemText ? "&nbsp;" : " "; break;
            case '\t': out += mode == hemText ? "&nbsp;&nbsp;" : "\t"; break;
            default: out += ch;
        }
    }
    if (mode == hemText && out == "&nbsp;") out.clear();
    return out;
}

}  // namespace morvane
