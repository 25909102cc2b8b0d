#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace morvane {

/// The extension blocks written before an image; the writer adds none.
class TExtensionList {
public:
    /// Adds a block with the given label whose data is written as sub-blocks.
    void Add(std::uint8_t label, std::string data);
    int Count() const { return static_cast<int>(FBlocks.size()); }
    /// Appends every block: introducer 0x21, label, data sub-blocks, 0.
    void WriteTo(std::string& out) const;

private:
    struct TExtension {
        std::uint8_t Label;
        std::string Data;
    };
    std::vector<TExtension> FBlocks;
};

}  // namespace morvane
