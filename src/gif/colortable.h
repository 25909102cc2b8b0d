#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace morvane {

/// A GIF colour table of up to 256 colours, each kept both as a 0x00BBGGRR value and as the
/// red, green, blue bytes that the file holds.
class TColorTable {
public:
    static constexpr int kMaxSize = 256;

    /// size 0 is empty; 2 black and white; 16 the standard 16 colours; 256 a grey ramp; any other
    /// size is black.
    explicit TColorTable(int size = 0);

    int Size() const { return FSize; }
    std::uint32_t Color(int index) const { return FColors[index]; }
    /// Appends color and returns its index; the table must not be full.
    int Add(std::uint32_t color);
    /// Raises the size to the next one the format allows (2, 4, … 256) with black entries, and
    /// fills the triples from the colour values.
    void CompleteForFile();
    /// Appends the red, green, blue bytes of every entry.
    void WriteTriples(std::string& out) const;

private:
    int FSize = 0;
    std::array<std::array<std::uint8_t, 3>, kMaxSize> FTriples{};
    std::array<std::uint32_t, kMaxSize> FColors{};
};

/// The smallest b, at least 1, with 2^b >= size.
int BitsForSize(int size);

}  // namespace morvane
