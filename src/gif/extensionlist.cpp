#include "gif/extensionlist.h"

#include <algorithm>

namespace morvane {
namespace {

void AppendSubBlocks(std::vector<std::string>& subBlocks, const std::string& data) {
    for (std::size_t at = 0; at < data.size(); at += 255) subBlocks.push_back(data.substr(at, 255));
}

}  // namespace

void TExtensionList::Add(std::uint8_t label, std::string data) {
    TExtension block{label, {}};
    AppendSubBlocks(block.SubBlocks, data);
    FBlocks.push_back(std::move(block));
}

void TExtensionList::AddGraphicControl(TDisposal disposal, std::uint16_t delayCentiseconds) {
    const std::uint8_t packed = static_cast<std::uint8_t>(disposal) << 2;
    const char fields[4] = {static_cast<char>(packed), static_cast<char>(delayCentiseconds & 0xFF),
                            static_cast<char>(delayCentiseconds >> 8), 0};
    Add(kGraphicControlLabel, std::string(fields, sizeof fields));
}

void TExtensionList::AddApplication(const std::string& identifier, const std::string& data) {
    TExtension block{kApplicationLabel, {identifier}};
    AppendSubBlocks(block.SubBlocks, data);
    FBlocks.push_back(std::move(block));
}

void TExtensionList::WriteTo(std::string& out) const {
    for (const TExtension& block : FBlocks) {
        out.push_back('\x21');
        out.push_back(static_cast<char>(block.Label));
        for (const std::string& subBlock : block.SubBlocks) {
            out.push_back(static_cast<char>(subBlock.size()));
            out += subBlock;
        }
        out.push_back('\0');
    }
}

}  // namespace morvane
