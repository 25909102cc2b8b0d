#include "display/blinker.h"

#include <algorithm>

#include "display/pictureview.h"
#include "display/raster/cellfont.h"

namespace morvane {
namespace {

constexpr int kCellHeight = 16;

bool RowBlinks(const Tabc& doc, size_t row) {
    const auto& attrs = doc.FAttrs[row];
    return std::any_of(attrs.begin(), attrs.end(), [](std::uint8_t a) { return a & caBlink; });
}

}  // namespace

TBlinker::TBlinker(TPictureView* view, QObject* parent) : QObject(parent), FView(view) {
    FTimer.setInterval(kHalfPeriodMs);
    connect(&FTimer, &QTimer::timeout, this, &TBlinker::Toggle);
}

void TBlinker::Take(const Tabc& doc) {
    Clear();
    if (!doc.FBlinks) return;
    const TPixelBuffer& surface = FView->Surface();
    TPixelBuffer hidden = surface;
    RedrawBlinkingRows(doc, TCellFont::Shared(), hidden, TBlinkPhase::Hidden);
    for (size_t row = 0; row < doc.FAttrs.size(); ++row) {
        const int top = static_cast<int>(row) * kCellHeight;
        if (top >= surface.Height) break;
        if (!RowBlinks(doc, row)) continue;
        const TBand band{top, std::min(kCellHeight, surface.Height - top)};
        FBands.push_back(band);
        const auto first = hidden.Pixels.begin() + static_cast<std::ptrdiff_t>(top) * surface.Width;
        FOther.insert(FOther.end(), first,
                      first + static_cast<std::ptrdiff_t>(band.Height) * surface.Width);
    }
    FArea = BlinkingArea(doc, surface.Width, surface.Height);
    Update();
}

void TBlinker::Clear() {
    FTimer.stop();
    FBands.clear();
    FOther = {};
    FPhase = TBlinkPhase::Shown;
    FArea = {};
}

void TBlinker::SetEnabled(bool on) {
    FEnabled = on;
    Update();
}

void TBlinker::SetActive(bool on) {
    FActive = on;
    Update();
}

TPixelBuffer TBlinker::Picture(TBlinkPhase phase) const {
    TPixelBuffer picture = FView->Surface();
    if (phase != FPhase) {
        TLargeVector<std::uint32_t> other = FOther;
        SwapBands(picture, FBands, other);
    }
    return picture;
}

void TBlinker::Toggle() {
    ShowPhase(FPhase == TBlinkPhase::Shown ? TBlinkPhase::Hidden : TBlinkPhase::Shown);
}

void TBlinker::ShowPhase(TBlinkPhase phase) {
    if (phase == FPhase || FBands.empty()) return;
    SwapBands(FView->Surface(), FBands, FOther);
    FPhase = phase;
    FView->update();
    emit PhaseChanged(phase);
}

void TBlinker::Update() {
    const bool run = FEnabled && FActive && !FBands.empty();
    if (run && !FTimer.isActive()) FTimer.start();
    if (!run) {
        FTimer.stop();
        // Steady art shows its cells.
        ShowPhase(TBlinkPhase::Shown);
    }
}

void TBlinker::SwapBands(TPixelBuffer& surface, const std::vector<TBand>& bands,
                         TLargeVector<std::uint32_t>& other) {
    auto stored = other.begin();
    for (const TBand& band : bands) {
        const auto first =
            surface.Pixels.begin() + static_cast<std::ptrdiff_t>(band.Top) * surface.Width;
        const auto count = static_cast<std::ptrdiff_t>(band.Height) * surface.Width;
        std::swap_ranges(first, first + count, stored);
        stored += count;
    }
}

}  // namespace morvane
