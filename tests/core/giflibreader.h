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

/// One image of a GIF file as giflib reads it, with its graphic control block.
struct TDecodedFrame {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool HasLocalTable = false;
    /// Colour-table indices and the colours they stand for (0x00BBGGRR), rows from the top.
    std::vector<int> Indices;
    std::vector<std::uint32_t> Pixels;
    bool HasGraphicControl = false;
    int Disposal = -1;
    int DelayCentiseconds = -1;
    int TransparentIndex = -1;
    bool WaitsForUser = false;
};

/// A whole GIF file as giflib reads it.
struct TDecodedAnimation {
    int ScreenWidth = 0;
    int ScreenHeight = 0;
    std::vector<std::uint32_t> GlobalTable;
    std::vector<TDecodedFrame> Frames;
    /// The NETSCAPE2.0 application extensions found, and the loop count of the last one.
    int LoopExtensions = 0;
    int LoopCount = -1;
    /// Application extensions of any other name.
    int OtherApplicationExtensions = 0;
};

/// giflib reads every image of a GIF file, with the extensions before each. Records a test
/// failure when giflib refuses the file.
TDecodedAnimation DecodeAnimationWithGiflib(const std::string& bytes);

}  // namespace morvane::test
