#pragma once

#include <cstddef>
#include <vector>

namespace morvane {

/// Memory for a large buffer (a picture, its indices, its file): a block of 64 KB or more gets
/// whole 2 MB huge pages of its own where the system offers them, so that first use costs one
/// page fault per 2 MB instead of one per 4 KB, and the few largest freed ones are kept (up to
/// 128 MB) for the next block of their size. Smaller blocks come from the heap. Throws
/// std::bad_alloc.
void* AllocateLarge(std::size_t bytes);
/// Frees a block from AllocateLarge of the same size.
void FreeLarge(void* block, std::size_t bytes) noexcept;

/// The standard allocator interface over AllocateLarge.
template <typename T>
struct TLargeAllocator {
    using value_type = T;

    TLargeAllocator() = default;
    template <typename U>
    TLargeAllocator(const TLargeAllocator<U>&) {}

    T* allocate(std::size_t count) { return static_cast<T*>(AllocateLarge(count * sizeof(T))); }
    void deallocate(T* block, std::size_t count) noexcept { FreeLarge(block, count * sizeof(T)); }

    friend bool operator==(const TLargeAllocator&, const TLargeAllocator&) { return true; }
    friend bool operator!=(const TLargeAllocator&, const TLargeAllocator&) { return false; }
};

template <typename T>
using TLargeVector = std::vector<T, TLargeAllocator<T>>;

}  // namespace morvane
