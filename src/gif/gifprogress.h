#pragma once

namespace morvane {

/// A progress report: fraction runs from 0.0 to 1.0.
using TGifProgressRoutine = void (*)(float fraction);

/// Called by the GIF writer as a save goes on; does nothing unless the program sets it.
extern TGifProgressRoutine GifProgress;

}  // namespace morvane
