#include "platform/gbcodec.h"

#include <iconv.h>

#include <cstring>
#include <memory>

namespace morvane {
namespace {

struct TIconvCloser {
    void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};

}  // namespace

std::string Gb18030ToUtf8(std::string_view text) {
    std::unique_ptr<void, TIconvCloser> cd(iconv_open("UTF-8", "GB18030"));
    if (cd.get() == reinterpret_cast<void*>(-1)) {
        cd.release();
        return std::string(text);
    }
    std::string out;
    out.resize(text.size() * 4 + 4);
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    char* dst = out.data();
    size_t dstLeft = out.size();
    while (inLeft > 0) {
        if (iconv(static_cast<iconv_t>(cd.get()), &in, &inLeft, &dst, &dstLeft) !=
            static_cast<size_t>(-1))
            break;
        // An undecodable byte: show the replacement character and go on after it.
        if (dstLeft < 3) break;
        std::memcpy(dst, "\xEF\xBF\xBD", 3);
        dst += 3;
        dstLeft -= 3;
        ++in;
        --inLeft;
    }
    out.resize(out.size() - dstLeft);
    return out;
}

}  // namespace morvane
