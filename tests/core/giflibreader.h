#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace morvane::test {

struct TDecoded {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint32_t> Pixels;
    std::set<std::uint32_t> Palette;
};

/// giflib, an independent decoder, reads a GIF file; pixels come back as 0x00BBGGRR. Records a
/// test failure when giflib refuses the file.
TDecoded DecodeWithGiflib(const std::string& bytes);

}  // namespace morvane::test
