#pragma once

#include <cstdint>

#include "gif/bytebuffer.h"

namespace morvane {

/// Packs variable-width codes into bytes, least significant bit first, as GIF data wants them.
class TEncodedBytes {
public:
    /// Bytes go to output, which must outlive this object.
    explicit TEncodedBytes(TByteBuffer& output) : FOutput(output) {}

    /// Appends code in its width low bits (1 to 12).
    void Write(unsigned code, int width) {
        FAccumulator |= static_cast<std::uint32_t>(code) << FBitCount;
        FBitCount += width;
        while (FBitCount >= 8) {
            FOutput.AddByte(static_cast<std::uint8_t>(FAccumulator));
            FAccumulator >>= 8;
            FBitCount -= 8;
        }
    }
    /// Appends the partly filled last byte, if any, with its high bits 0.
    void Flush() {
        if (FBitCount > 0) FOutput.AddByte(static_cast<std::uint8_t>(FAccumulator));
        FAccumulator = 0;
        FBitCount = 0;
    }

private:
    TByteBuffer& FOutput;
    int FBitCount = 0;
    std::uint32_t FAccumulator = 0;
};

}  // namespace morvane
