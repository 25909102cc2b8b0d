#include "display/blinker.h"
#include "display/pictureview.h"
#include "display/raster/exportpicture.h"
#include "display/raster/picturefile.h"
#include "display/showpanel.h"

namespace morvane {

void TShowPanel::SavePicture(const std::string& fileName, int format) {
    if (format != pfGif && format != pfBmp && format != pfPng) return;
    TPixelBuffer picture;
    CurrentPicture(picture);
    const bool picturedArt = FViewMode == vmPicture || FViewMode == vmFallback;
    // Art that blinks on screen blinks in its GIF; the other formats keep the cells shown.
    if (picturedArt && format == pfGif && FBlinker->HasBlink() && FBlinker->Enabled()) {
        SaveBlinkingPicture(std::move(picture), FBlinker->Picture(TBlinkPhase::Hidden),
                            FBlinker->Area(), fileName, pfGif);
        return;
    }
    SavePictureFile(ExportPicture(std::move(picture)), fileName,
                    static_cast<TPictureFormat>(format));
}

void TShowPanel::CurrentPicture(TPixelBuffer& picture) {
    switch (FViewMode) {
        case vmBrowser:
            CapturePage(picture);
            break;
        case vmText:
            RenderText(picture);
            break;
        case vmPicture:
        case vmFallback:
            picture = FBlinker->Picture(TBlinkPhase::Shown);
            break;
    }
}

}  // namespace morvane
