#pragma once

#include <QObject>
#include <QTimer>
#include <vector>

#include "display/raster/gridpicture.h"

namespace morvane {

class TPictureView;

/// Makes the blinking cells of the picture view blink as a terminal's do: it keeps the other look
/// of the rows that hold them and swaps it into the view's surface every half second, while the
/// user lets art blink and the picture is in front.
class TBlinker : public QObject {
    Q_OBJECT
public:
    static constexpr int kHalfPeriodMs = 500;

    TBlinker(TPictureView* view, QObject* parent);

    /// Takes the blinking rows of doc, whose picture the view's surface has just been given in
    /// the shown phase; nothing blinks for a document without blinking cells. Uses the shared
    /// fonts (TCellFont::Shared()).
    void Take(const Tabc& doc);
    /// Nothing blinks any more: the surface stays as it is.
    void Clear();
    /// The user's switch: off shows the cells steady.
    void SetEnabled(bool on);
    bool Enabled() const { return FEnabled; }
    /// The picture is in front: only then does it blink.
    void SetActive(bool on);

    /// Some cell of the picture blinks.
    bool HasBlink() const { return !FBands.empty(); }
    bool Running() const { return FTimer.isActive(); }
    TBlinkPhase Phase() const { return FPhase; }
    /// The view's picture in phase.
    TPixelBuffer Picture(TBlinkPhase phase) const;
    /// The part of the picture that blinking changes.
    TPixelRect Area() const { return FArea; }

  signals:
    /// The surface now shows phase.
    void PhaseChanged(TBlinkPhase phase);

private:
    struct TBand {
        int Top;
        int Height;
    };

    void Toggle();
    void ShowPhase(TBlinkPhase phase);
    void Update();
    static void SwapBands(TPixelBuffer& surface, const std::vector<TBand>& bands,
                          TLargeVector<std::uint32_t>& other);

    TPictureView* FView;
    QTimer FTimer;
    std::vector<TBand> FBands;
    // The bands' pixels in the phase the surface does not show, one after the other.
    TLargeVector<std::uint32_t> FOther;
    TBlinkPhase FPhase = TBlinkPhase::Shown;
    TPixelRect FArea;
    bool FEnabled = true;
    bool FActive = false;
};

}  // namespace morvane
