#pragma once

#include <cstddef>

namespace morvane {

/// A progress report: fraction runs from 0.0 to 1.0.
using TGifProgressRoutine = void (*)(float fraction);

/// Called by the GIF writer as a save goes on; does nothing unless the program sets it.
extern TGifProgressRoutine GifProgress;

/// Where one step lies in a pass over several images: its units follow Before units of the
/// pass's Total, so the pass reports from 0 to 1 once. Total 0 means the step is the whole pass.
struct TProgressStep {
    std::size_t Before = 0;
    std::size_t Total = 0;

    /// The pass's fraction once done of this step's stepUnits are done; 1 for a pass of nothing.
    float Fraction(std::size_t done, std::size_t stepUnits) const {
        const std::size_t total = Total == 0 ? stepUnits : Total;
        if (total == 0) return 1.0f;
        return static_cast<float>(Before + done) / static_cast<float>(total);
    }
};

}  // namespace morvane
