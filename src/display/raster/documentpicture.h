#pragma once

#include <string>

#include "display/raster/picturefile.h"
#include "document/abc.h"

namespace morvane {

class TCellFont;

/// Text colours of the viewer's text view, which a plain text document is saved in.
constexpr std::uint32_t kTextViewInk = 0xFF000000;
constexpr std::uint32_t kTextViewPaper = 0xFFFFFFFF;

/// The picture the viewer saves for a loaded colour or text document shown in its own view: the
/// cell grid of a coloured document, the lines as the text view draws them for plain text. Any
/// other kind has no picture here (an HTML page is drawn by the browser). Uses
/// TCellFont::Shared(), so throws EFileError when its fonts cannot be loaded.
void RenderDocumentPicture(const Tabc& doc, TPixelBuffer& picture,
                           TBlinkPhase phase = TBlinkPhase::Shown);

/// As above, with the given fonts.
void RenderDocumentPicture(const Tabc& doc, TCellFont& font, TPixelBuffer& picture,
                           TBlinkPhase phase = TBlinkPhase::Shown);

/// Exports that picture to path in format: a document whose cells blink as an animated GIF of
/// its two phases, else as shown. Throws EEmptyPicture, EFileError, EGifException or EPngError.
void SaveDocumentPicture(const Tabc& doc, const std::string& path, TPictureFormat format);

}  // namespace morvane
