#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace morvane {

/// Decodes GB18030 (GB2312, GBK) bytes for display only; a byte that starts no valid character
/// shows as U+FFFD, so callers keep the bytes themselves when they must not lose any.
QString DecodeGb(std::string_view bytes);

/// Encodes text as GB18030 bytes, which map every Unicode character.
std::string EncodeGb(const QString& text);

}  // namespace morvane
