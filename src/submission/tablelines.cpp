#include "submission/tablelines.h"

#include <string_view>

namespace morvane {

void ForEachTableLine(const Tabc& doc, const std::vector<std::string>& list,
                      const std::function<void(const std::string& line)>& visit) {
    // The builder ends each spilled line with CR LF; a table line holds neither byte.
    const std::string spilled = doc.SpilledLines();
    std::string_view rest = spilled;
    while (!rest.empty()) {
        const size_t end = rest.find("\r\n");
        visit(std::string(rest.substr(0, end)));
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 2);
    }
    for (const std::string& line : list) visit(line);
}

}  // namespace morvane
