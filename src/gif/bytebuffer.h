#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/largeblocks.h"

namespace morvane {

/// A byte sequence kept in chunks of at most 255 bytes, stored ready to write as GIF data
/// sub-blocks: each chunk follows its length byte.
class TByteBuffer {
public:
    static constexpr std::size_t kChunkSize = 255;

    /// Appends a byte; a full open chunk is closed first.
    void AddByte(std::uint8_t value) {
        if (FOpenLength == kChunkSize) CloseChunk();
        if (FOpenLength == 0) {
            FOpenStart = FBlocks.size();
            FBlocks.push_back(0);
        }
        FBlocks.push_back(value);
        ++FOpenLength;
        ++FCount;
    }
    /// Closes the open chunk, whatever its length; later bytes start a new chunk.
    void Close() { CloseChunk(); }

    /// The number of bytes added.
    std::size_t Count() const { return FCount; }
    bool Empty() const { return FCount == 0; }
    /// The closed chunks, each preceded by its length byte (1 to 255).
    std::string_view SubBlocks() const;

private:
    // An empty chunk is never stored: as a sub-block, its 0 length would end the data early.
    void CloseChunk() {
        if (FOpenLength == 0) return;
        FBlocks[FOpenStart] = static_cast<std::uint8_t>(FOpenLength);
        FOpenLength = 0;
    }

    TLargeVector<std::uint8_t> FBlocks;
    std::size_t FCount = 0;
    std::size_t FOpenStart = 0;
    std::size_t FOpenLength = 0;
};

}  // namespace morvane
