#include "platform/gbtext.h"

#include "platform/gbcodec.h"

namespace morvane {

QString DecodeGb(std::string_view bytes) {
    const std::string utf8 = Gb18030ToUtf8(bytes);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string EncodeGb(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return Utf8ToGb18030(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

}  // namespace morvane
