#include "platform/gbtext.h"

#include <iconv.h>

#include <cerrno>

namespace morvane {
namespace {

// Qt's own codecs may lack GB18030 in this build; glibc's iconv has it. The converters are
// opened once and used on the user-interface thread only.
iconv_t GbToUtf8() {
    static iconv_t cd = iconv_open("UTF-8", "GB18030");
    return cd;
}

iconv_t Utf8ToGb() {
    static iconv_t cd = iconv_open("GB18030", "UTF-8");
    return cd;
}

// Converts in, skipping each byte that iconv rejects after putting replacement in its place.
std::string Convert(iconv_t cd, std::string_view in, std::string_view replacement) {
    std::string out;
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char chunk[1024];
    while (srcLeft > 0) {
        char* dst = chunk;
        size_t dstLeft = sizeof chunk;
        size_t result = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(chunk, dst - chunk);
        if (result == static_cast<size_t>(-1) && errno != E2BIG) {
            out.append(replacement);
            ++src;
            --srcLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    return out;
}

}  // namespace

QString DecodeGb(std::string_view bytes) {
    std::string utf8 = Convert(GbToUtf8(), bytes, "\xEF\xBF\xBD");
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string EncodeGb(const QString& text) {
    QByteArray utf8 = text.toUtf8();
    return Convert(Utf8ToGb(), std::string_view(utf8.constData(), utf8.size()), "?");
}

}  // namespace morvane
