#include "gif/gifprogress.h"

namespace morvane {
namespace {

void IgnoreProgress(float) {}

}  // namespace

TGifProgressRoutine GifProgress = IgnoreProgress;

}  // namespace morvane
