#include "gif/extensionlist.h"

#include <algorithm>

namespace morvane {

void TExtensionList::Add(std::uint8_t label, std::string data) {
    FBlocks.push_back({label, std::move(data)});
}

void TExtensionList::WriteTo(std::string& out) const {
    for (const TExtension& block : FBlocks) {
        out.push_back('\x21');
        out.push_back(static_cast<char>(block.Label));
        for (std::size_t at = 0; at < block.Data.size(); at += 255) {
            std::size_t length = std::min<std::size_t>(255, block.Data.size() - at);
            out.push_back(static_cast<char>(length));
            out.append(block.Data, at, length);
        }
        out.push_back('\0');
    }
}

}  // namespace morvane
