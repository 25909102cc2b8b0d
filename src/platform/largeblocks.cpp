#include "platform/largeblocks.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <new>
#include <vector>

namespace morvane {
namespace {

constexpr std::size_t kLargeBlock = std::size_t{64} << 10;
constexpr std::size_t kHugePage = std::size_t{2} << 20;
// Freed blocks kept for the next picture of the same size, which then needs no fresh memory:
// the system clears fresh memory page by page, a good part of saving a large picture.
constexpr std::size_t kKeptBlocks = 4;
constexpr std::size_t kKeptBytes = std::size_t{128} << 20;

std::size_t HugePageRounded(std::size_t bytes) {
    return (bytes + kHugePage - 1) / kHugePage * kHugePage;
}

struct TKeptBlock {
    void* Block;
    std::size_t Length;
};

class TKeptBlocks {
public:
    void* Take(std::size_t length) {
        std::lock_guard<std::mutex> lock(FMutex);
        for (auto it = FBlocks.begin(); it != FBlocks.end(); ++it) {
            if (it->Length != length) continue;
            void* block = it->Block;
            FBytes -= length;
            FBlocks.erase(it);
            return block;
        }
        return nullptr;
    }

    // Keeps the block, or gives it back to the system when it does not fit; the smallest kept
    // blocks go first, so a buffer growing step by step does not push out a picture.
    void Keep(void* block, std::size_t length) {
        std::lock_guard<std::mutex> lock(FMutex);
        FBlocks.push_back({block, length});
        FBytes += length;
        std::sort(FBlocks.begin(), FBlocks.end(),
                  [](const TKeptBlock& a, const TKeptBlock& b) { return a.Length > b.Length; });
        while (!FBlocks.empty() && (FBlocks.size() > kKeptBlocks || FBytes > kKeptBytes)) {
            munmap(FBlocks.back().Block, FBlocks.back().Length);
            FBytes -= FBlocks.back().Length;
            FBlocks.pop_back();
        }
    }

private:
    std::mutex FMutex;
    std::vector<TKeptBlock> FBlocks;
    std::size_t FBytes = 0;
};

// Never destroyed, so that a block freed during the program's exit still finds it.
TKeptBlocks& Kept() {
    static auto* kept = new TKeptBlocks;
    return *kept;
}

void* MapHugePages(std::size_t length) {
    // Mapped with a huge page to spare, so that the block can start on a boundary.
    void* mapped = mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = (start + kHugePage - 1) & ~(kHugePage - 1);
    if (aligned > start) munmap(mapped, aligned - start);
    const std::uintptr_t spare = start + kHugePage - aligned;
    if (spare > 0) munmap(reinterpret_cast<void*>(aligned + length), spare);
    auto* block = reinterpret_cast<void*>(aligned);
    madvise(block, length, MADV_HUGEPAGE);
    return block;
}

}  // namespace

void* AllocateLarge(std::size_t bytes) {
    if (bytes < kLargeBlock) {
        if (void* block = std::malloc(bytes == 0 ? 1 : bytes)) return block;
        throw std::bad_alloc();
    }
    if (bytes > SIZE_MAX - 2 * kHugePage) throw std::bad_alloc();
    const std::size_t length = HugePageRounded(bytes);
    if (void* kept = Kept().Take(length)) return kept;
    return MapHugePages(length);
}

void FreeLarge(void* block, std::size_t bytes) noexcept {
    if (!block) return;
    if (bytes < kLargeBlock) {
        std::free(block);
        return;
    }
    Kept().Keep(block, HugePageRounded(bytes));
}

}  // namespace morvane
