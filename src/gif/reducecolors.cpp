#include "gif/reducecolors.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace morvane {
namespace {

constexpr std::uint32_t kRgbMask = 0xFFFFFF;

int Channel(std::uint32_t color, int channel) { return (color >> (8 * channel)) & 0xFF; }

struct TColorCount {
    std::uint32_t Color;
    std::uint64_t Count;
};

// A range of the colour list, with its widest channel and that channel's extent.
struct TBox {
    std::size_t Begin;
    std::size_t End;
    int Channel = 0;
    int Range = 0;
};

using TColorMap = std::unordered_map<std::uint32_t, std::uint64_t>;

TColorMap CountColors(const TGifBitmap& bitmap) {
    TColorMap counts;
    counts.reserve(4096);
    std::uint32_t last = ~kRgbMask;
    std::uint64_t* lastCount = nullptr;
    for (std::uint32_t pixel : bitmap.Pixels) {
        std::uint32_t color = pixel & kRgbMask;
        if (color != last) {
            lastCount = &counts[color];
            last = color;
        }
        ++*lastCount;
    }
    return counts;
}

void Measure(const std::vector<TColorCount>& colors, TBox& box) {
    std::array<int, 3> low{255, 255, 255};
    std::array<int, 3> high{0, 0, 0};
    for (std::size_t i = box.Begin; i < box.End; ++i) {
        for (int c = 0; c < 3; ++c) {
            low[c] = std::min(low[c], Channel(colors[i].Color, c));
            high[c] = std::max(high[c], Channel(colors[i].Color, c));
        }
    }
    box.Range = -1;
    for (int c = 0; c < 3; ++c) {
        if (high[c] - low[c] > box.Range) {
            box.Range = high[c] - low[c];
            box.Channel = c;
        }
    }
}

std::vector<TBox> MedianCut(std::vector<TColorCount>& colors, int maxColors) {
    std::vector<TBox> boxes{{0, colors.size()}};
    Measure(colors, boxes[0]);
    while (static_cast<int>(boxes.size()) < maxColors) {
        auto widest = std::max_element(boxes.begin(), boxes.end(),
                                       [](const TBox& a, const TBox& b) { return a.Range < b.Range; });
        if (widest->Range == 0) break;
        TBox box = *widest;
        auto first = colors.begin() + box.Begin;
        auto last = colors.begin() + box.End;
        std::sort(first, last, [&box](const TColorCount& a, const TColorCount& b) {
            return Channel(a.Color, box.Channel) < Channel(b.Color, box.Channel);
        });
        std::uint64_t total = 0;
        for (auto it = first; it != last; ++it) total += it->Count;
        std::uint64_t below = 0;
        std::size_t split = box.Begin;
        while (split < box.End - 1 && 2 * (below + colors[split].Count) <= total) {
            below += colors[split++].Count;
        }
        split = std::clamp(split, box.Begin + 1, box.End - 1);
        TBox lower{box.Begin, split};
        TBox upper{split, box.End};
        Measure(colors, lower);
        Measure(colors, upper);
        *widest = lower;
        boxes.push_back(upper);
    }
    return boxes;
}

std::uint32_t MeanColor(const std::vector<TColorCount>& colors, const TBox& box) {
    std::array<std::uint64_t, 3> sums{};
    std::uint64_t count = 0;
    for (std::size_t i = box.Begin; i < box.End; ++i) {
        for (int c = 0; c < 3; ++c) sums[c] += Channel(colors[i].Color, c) * colors[i].Count;
        count += colors[i].Count;
    }
    std::uint32_t mean = 0;
    for (int c = 0; c < 3; ++c) mean |= static_cast<std::uint32_t>((sums[c] + count / 2) / count) << (8 * c);
    return mean;
}

int Distance(std::uint32_t a, std::uint32_t b) {
    int sum = 0;
    for (int c = 0; c < 3; ++c) {
        int d = Channel(a, c) - Channel(b, c);
        sum += d * d;
    }
    return sum;
}

// The palette sorted by green lets the search stop once green alone is farther than the best.
std::uint32_t Nearest(const std::vector<std::uint32_t>& paletteByGreen, std::uint32_t color) {
    int green = Channel(color, 1);
    auto start = std::partition_point(paletteByGreen.begin(), paletteByGreen.end(),
                                      [green](std::uint32_t p) { return Channel(p, 1) < green; });
    std::uint32_t best = paletteByGreen.front();
    int bestDistance = Distance(best, color);
    auto consider = [&](std::uint32_t candidate) {
        int d = Channel(candidate, 1) - green;
        if (d * d > bestDistance) return false;
        int distance = Distance(candidate, color);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = candidate;
        }
        return true;
    };
    for (auto it = start; it != paletteByGreen.end() && consider(*it); ++it) {
    }
    for (auto it = start; it != paletteByGreen.begin() && consider(*(it - 1)); --it) {
    }
    return best;
}

}  // namespace

void ReduceColors(TGifBitmap& bitmap, int maxColors) {
    TColorMap counts = CountColors(bitmap);
    if (counts.empty()) return;
    std::vector<TColorCount> colors;
    colors.reserve(counts.size());
    for (const auto& [color, count] : counts) colors.push_back({color, count});

    std::vector<std::uint32_t> palette;
    for (const TBox& box : MedianCut(colors, maxColors)) palette.push_back(MeanColor(colors, box));
    std::sort(palette.begin(), palette.end(),
              [](std::uint32_t a, std::uint32_t b) { return Channel(a, 1) < Channel(b, 1); });

    // The map now takes each colour to its replacement.
    for (auto& [color, target] : counts) target = Nearest(palette, color);
    std::uint32_t last = ~kRgbMask;
    std::uint32_t lastTarget = 0;
    for (std::uint32_t& pixel : bitmap.Pixels) {
        std::uint32_t color = pixel & kRgbMask;
        if (color != last) {
            last = color;
            lastTarget = static_cast<std::uint32_t>(counts.find(color)->second);
        }
        pixel = lastTarget;
    }
}

}  // namespace morvane
