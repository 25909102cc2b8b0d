#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "document/charsets.h"

namespace morvane {

/// Decodes art's text in its encoding for display only; a byte that starts no character shows as
/// U+FFFD, so callers keep the bytes themselves when they must not lose any.
QString DecodeText(TEncoding encoding, std::string_view bytes);

/// Encodes shown text back into encoding; a character the encoding lacks becomes "?" in Big5
/// (GB18030 maps every one).
std::string EncodeText(TEncoding encoding, const QString& text);

}  // namespace morvane
