#include "display/pictureview.h"
#include "display/raster/exportpicture.h"
#include "display/raster/picturefile.h"
#include "display/showpanel.h"

namespace morvane {

void TShowPanel::SavePicture(const std::string& fileName, int format) {
    if (format != pfGif && format != pfBmp && format != pfPng) return;
    TPixelBuffer picture;
    CurrentPicture(picture);
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
            picture = FPicture->Surface();
            break;
    }
}

}  // namespace morvane
