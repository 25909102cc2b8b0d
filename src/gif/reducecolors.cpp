#include "gif/reducecolors.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
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

// Colours are counted in cells of 8 x 8 x 8 (5 bits a channel): enough to choose a palette, and
// bounded work and memory however many colours a picture has.
constexpr int kCellCount = 1 << 15;

int CellOf(std::uint32_t color) {
    return (color >> 3 & 0x1F) | (color >> 11 & 0x1F) << 5 | (color >> 19 & 0x1F) << 10;
}

struct TCell {
    std::uint64_t Count = 0;
    std::array<std::uint64_t, 3> Sums{};
};

// The mean colour of each cell in use, weighted by its pixels in all bitmaps.
std::vector<TColorCount> CountColors(const std::vector<TGifBitmap*>& bitmaps) {
    std::vector<TCell> cells(kCellCount);
    auto addRun = [&cells](std::uint32_t color, std::uint64_t run) {
        TCell& cell = cells[CellOf(color)];
        cell.Count += run;
        for (int c = 0; c < 3; ++c) cell.Sums[c] += Channel(color, c) * run;
    };
    std::uint32_t last = 0;
    std::uint64_t run = 0;
    for (const TGifBitmap* bitmap : bitmaps) {
        for (std::uint32_t pixel : bitmap->Pixels) {
            std::uint32_t color = pixel & kRgbMask;
            if (color != last && run > 0) {
                addRun(last, run);
                run = 0;
            }
            last = color;
            ++run;
        }
    }
    if (run > 0) addRun(last, run);
    std::vector<TColorCount> colors;
    for (const TCell& cell : cells) {
        if (cell.Count == 0) continue;
        std::uint32_t mean = 0;
        for (int c = 0; c < 3; ++c) {
            mean |= static_cast<std::uint32_t>((cell.Sums[c] + cell.Count / 2) / cell.Count)
                    << (8 * c);
        }
        colors.push_back({mean, cell.Count});
    }
    return colors;
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
        auto widest =
            std::max_element(boxes.begin(), boxes.end(),
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
    for (int c = 0; c < 3; ++c)
        mean |= static_cast<std::uint32_t>((sums[c] + count / 2) / count) << (8 * c);
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

// For each cell, the palette entries that can be nearest to some colour in it: those whose
// distance to the cell's closest point is within the smallest farthest-point distance. A colour
// then needs only a few exact distances, and the result is the exact nearest entry.
class TNearestColor {
public:
    explicit TNearestColor(std::vector<std::uint32_t> palette)
        : FPalette(std::move(palette)), FCandidates(kCellCount), FReady(kCellCount) {}

    std::uint32_t operator()(std::uint32_t color) {
        int cell = CellOf(color);
        if (!FReady[cell]) Prepare(cell);
        std::uint32_t best = FPalette[FCandidates[cell].front()];
        int bestDistance = Distance(best, color);
        for (std::uint8_t index : FCandidates[cell]) {
            int distance = Distance(FPalette[index], color);
            if (distance < bestDistance) {
                bestDistance = distance;
                best = FPalette[index];
            }
        }
        return best;
    }

private:
    void Prepare(int cell) {
        std::array<int, 3> low{};
        for (int c = 0; c < 3; ++c) low[c] = (cell >> (5 * c) & 0x1F) << 3;
        auto nearPart = [&low](int value, int c) {
            int d = value < low[c] ? low[c] - value : value > low[c] + 7 ? value - low[c] - 7 : 0;
            return d * d;
        };
        auto farPart = [&low](int value, int c) {
            int d = std::max(std::abs(value - low[c]), std::abs(value - low[c] - 7));
            return d * d;
        };
        int bound = 1 << 30;
        for (std::uint32_t entry : FPalette) {
            int far = 0;
            for (int c = 0; c < 3; ++c) far += farPart(Channel(entry, c), c);
            bound = std::min(bound, far);
        }
        for (std::size_t i = 0; i < FPalette.size(); ++i) {
            int near = 0;
            for (int c = 0; c < 3; ++c) near += nearPart(Channel(FPalette[i], c), c);
            if (near <= bound) FCandidates[cell].push_back(static_cast<std::uint8_t>(i));
        }
        FReady[cell] = true;
    }

    std::vector<std::uint32_t> FPalette;
    std::vector<std::vector<std::uint8_t>> FCandidates;
    std::vector<bool> FReady;
};

}  // namespace

void ReduceColors(const std::vector<TGifBitmap*>& bitmaps, int maxColors) {
    std::vector<TColorCount> colors = CountColors(bitmaps);
    if (colors.empty()) return;
    std::vector<std::uint32_t> palette;
    for (const TBox& box : MedianCut(colors, maxColors)) palette.push_back(MeanColor(colors, box));

    TNearestColor nearest(std::move(palette));
    std::uint32_t last = ~kRgbMask;
    std::uint32_t lastTarget = 0;
    for (TGifBitmap* bitmap : bitmaps) {
        for (std::uint32_t& pixel : bitmap->Pixels) {
            std::uint32_t color = pixel & kRgbMask;
            if (color != last) {
                last = color;
                lastTarget = nearest(color);
            }
            pixel = lastTarget;
        }
    }
}

}  // namespace morvane
