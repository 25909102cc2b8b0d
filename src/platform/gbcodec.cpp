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

iconv_t Big5ToUtf8Converter() {
    static const iconv_t cd = iconv_open("UTF-8", "CP950");
    return cd;
}

iconv_t Big5HkscsToUtf8Converter() {
    static const iconv_t cd = iconv_open("UTF-8", "BIG5-HKSCS");
    return cd;
}

iconv_t Utf8ToBig5Converter() {
    static const iconv_t cd = iconv_open("CP950", "UTF-8");
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

std::string Big5ToUtf8(std::string_view text) {
    return Convert(Big5ToUtf8Converter(), text, "\xEF\xBF\xBD");
}

std::string Big5HkscsToUtf8(std::string_view text) {
    return Convert(Big5HkscsToUtf8Converter(), text, "\xEF\xBF\xBD");
}

std::string Utf8ToGb18030(std::string_view text) { return Convert(Utf8ToGb(), text, "?"); }

std::string Utf8ToBig5(std::string_view text) { return Convert(Utf8ToBig5Converter(), text, "?"); }

bool IsUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        size_t extra = 0;
        char32_t code = lead;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1;
            code = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2;
            code = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3;
            code = lead & 0x07;
        } else {
            return false;
        }
        if (extra > text.size() - i - 1) return false;
        for (size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = code << 6 | (next & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
        if ((extra == 2 && code < 0x800) || (extra == 3 && (code < 0x10000 || code > 0x10FFFF)) ||
            (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

namespace {

bool IsAscii(std::string_view text) {
    for (char ch : text)
        if (static_cast<unsigned char>(ch) >= 0x80) return false;
    return true;
}

}  // namespace

// An ASCII name is the same in every encoding, and needs no converter loaded.
std::string FileNameToGb(std::string_view name) {
    return !IsAscii(name) && IsUtf8(name) ? Utf8ToGb18030(name) : std::string(name);
}

std::string FileNameToBig5(std::string_view name) {
    return !IsAscii(name) && IsUtf8(name) ? Utf8ToBig5(name) : std::string(name);
}

}  // namespace morvane
