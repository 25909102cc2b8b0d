#include "platform/encodedtext.h"

#include "platform/gbcodec.h"

namespace morvane {

QString DecodeText(TEncoding encoding, std::string_view bytes) {
    const std::string utf8 = EncodedToUtf8(encoding, bytes);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string EncodeText(TEncoding encoding, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    const std::string_view view(utf8.constData(), static_cast<size_t>(utf8.size()));
    return encoding == TEncoding::Big5 ? Utf8ToBig5(view) : Utf8ToGb18030(view);
}

}  // namespace morvane
