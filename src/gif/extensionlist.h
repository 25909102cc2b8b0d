#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace morvane {

/// What a viewer does with an image once its delay is over: the disposal method of a graphic
/// control extension.
enum class TDisposal : std::uint8_t {
    Unspecified = 0,
    DoNotDispose = 1,
    RestoreBackground = 2,
    RestorePrevious = 3,
};

/// Extension blocks: those written before an image, or the file's own after its colour table.
class TExtensionList {
public:
    static constexpr std::uint8_t kGraphicControlLabel = 0xF9;
    static constexpr std::uint8_t kApplicationLabel = 0xFF;

    /// Adds a block with the given label whose data is written as sub-blocks of up to 255 bytes.
    void Add(std::uint8_t label, std::string data);
    /// Adds a graphic control extension: the image shows for delayCentiseconds hundredths of a
    /// second, then goes as disposal says; no transparent colour, no waiting for user input.
    void AddGraphicControl(TDisposal disposal, std::uint16_t delayCentiseconds);
    /// Adds an application extension: identifier (8 bytes of name, 3 of authentication code) as
    /// the first sub-block, then data as sub-blocks of up to 255 bytes.
    void AddApplication(const std::string& identifier, const std::string& data);
    int Count() const { return static_cast<int>(FBlocks.size()); }
    /// Appends every block: introducer 0x21, label, data sub-blocks, 0.
    void WriteTo(std::string& out) const;

private:
    struct TExtension {
        std::uint8_t Label;
        std::vector<std::string> SubBlocks;
    };
    std::vector<TExtension> FBlocks;
};

}  // namespace morvane
