#include "platform/gbcodec.h"

#include <iconv.h>

#include <cerrno>

namespace morvane {
namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

// glibc's iconv knows GB18030 on every Debian machine. The converters are opened once; the
// program converts on one thread only.
iconv_t GbToUtf8() {
    static const iconv_t cd = iconv_open("UTF-8", "GB18030");
    return cd;
}

iconv_t Utf8ToGb() {
    static const iconv_t cd = iconv_open("GB18030", "UTF-8");
    return cd;
}

// Converts in; each byte that does not convert is replaced and the conversion goes on after it.
std::string Convert(iconv_t cd, std::string_view in, std::string_view replacement) {
    if (cd == kNoConverter) return std::string(in);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::string out;
    out.reserve(in.size() + in.size() / 2);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char chunk[4096];
    while (srcLeft > 0) {
        char* dst = chunk;
        size_t dstLeft = sizeof chunk;
        const size_t result = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(chunk, static_cast<size_t>(dst - chunk));
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

std::string Gb18030ToUtf8(std::string_view text) {
    return Convert(GbToUtf8(), text, "\xEF\xBF\xBD");
}

std::string Utf8ToGb18030(std::string_view text) { return Convert(Utf8ToGb(), text, "?"); }

}  // namespace morvane
