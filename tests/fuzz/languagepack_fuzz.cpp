// The language pack reader on any bytes: every text it keeps fits its window's limit, holds no
// zero byte and ends on a whole GB18030 character, and each skipped line is counted once.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/language/languagepack.h"
#include "platform/gbcodec.h"

namespace {

using morvane::TLanguagePack;

void Check(const TLanguagePack& pack, std::size_t maxBytes) {
    for (const auto& [id, text] : pack.Texts) {
        if (id < 1 || id > 65535 || text.size() > maxBytes) std::abort();
        if (text.find('\0') != std::string::npos) std::abort();
        // Whole characters survive the way there and back unchanged.
        if (morvane::Utf8ToGb18030(morvane::Gb18030ToUtf8(text)) != text) std::abort();
    }
    for (std::size_t i = 1; i < pack.MalformedLines.size(); ++i)
        if (pack.MalformedLines[i] <= pack.MalformedLines[i - 1]) std::abort();
    for (int id : pack.CutIds)
        if (!pack.Texts.count(id)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Check(morvane::ParseLanguagePack(bytes, morvane::kMainPackTextBytes),
          morvane::kMainPackTextBytes);
    Check(morvane::ParseLanguagePack(bytes, morvane::kAboutPackTextBytes),
          morvane::kAboutPackTextBytes);
    return 0;
}
