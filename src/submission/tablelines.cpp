#include "submission/tablelines.h"

#include "document/textlines.h"

namespace morvane {

void ForEachTableLine(const Tabc& doc, const std::vector<std::string>& list,
                      const std::function<void(const std::string& line)>& visit) {
    if (doc.FSpilled) {
        for (const std::string& line : ReadTextLines(doc.FSpillPath)) visit(line);
    }
    for (const std::string& line : list) visit(line);
}

}  // namespace morvane
