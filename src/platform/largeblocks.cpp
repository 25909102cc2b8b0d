#include "platform/largeblocks.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <new>

namespace morvane {
namespace {

constexpr std::size_t kLargeBlock = std::size_t{64} << 10;
constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t HugePageRounded(std::size_t bytes) {
    return (bytes + kHugePage - 1) / kHugePage * kHugePage;
}

}  // namespace

void* AllocateLarge(std::size_t bytes) {
    if (bytes < kLargeBlock) {
        if (void* block = std::malloc(bytes == 0 ? 1 : bytes)) return block;
        throw std::bad_alloc();
    }
    // Whole huge pages, mapped with one to spare so that the block can start on a boundary.
    if (bytes > SIZE_MAX - 2 * kHugePage) throw std::bad_alloc();
    const std::size_t length = HugePageRounded(bytes);
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

void FreeLarge(void* block, std::size_t bytes) noexcept {
    if (!block) return;
    if (bytes < kLargeBlock) {
        std::free(block);
        return;
    }
    munmap(block, HugePageRounded(bytes));
}

}  // namespace morvane
