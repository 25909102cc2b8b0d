#pragma once

#include <string>

namespace morvane {

class Tabc;

/// The batch converter's picture writer: writes the picture the viewer saves for a loaded colour
/// or text document to path in format ("gif", "bmp" or "png"). Safe to call from several threads
/// at once: each draws with fonts of its own. Throws what SaveDocumentPicture throws, and
/// std::invalid_argument for an unknown format.
void WriteConvertedPicture(const Tabc& doc, const std::string& format, const std::string& path);

}  // namespace morvane
