#include "app/language/languagepack.h"

#include "platform/files.h"
#include "platform/gbcodec.h"

namespace morvane {
namespace {

constexpr int kMaxId = 65535;
const std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char ch) { return ch == ' ' || ch == '\t'; }

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// The ID before "=": decimal digits, blanks around them allowed; -1 when it is none.
int ParseId(std::string_view text) {
    text = TrimBlanks(text);
    if (text.empty() || text.size() > 5) return -1;
    int id = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9') return -1;
        id = id * 10 + (ch - '0');
    }
    return id >= 1 && id <= kMaxId ? id : -1;
}

std::string Unescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 'n' || text[i + 1] == '\\')) {
            out += text[i + 1] == 'n' ? '\n' : '\\';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

// Bytes in the GB18030 character that starts at bytes[i]: one, two or four.
size_t CharLength(std::string_view bytes, size_t i) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x81 || lead == 0xFF) return 1;
    if (i + 1 < bytes.size() && bytes[i + 1] >= '0' && bytes[i + 1] <= '9') return 4;
    return 2;
}

// Cuts at the first zero byte, then to at most maxBytes of whole characters; true when the
// limit cut something off.
bool CutText(std::string& bytes, size_t maxBytes) {
    const size_t zero = bytes.find('\0');
    if (zero != std::string::npos) bytes.resize(zero);
    if (bytes.size() <= maxBytes) return false;
    size_t end = 0;
    while (end < bytes.size()) {
        const size_t next = end + CharLength(bytes, end);
        if (next > maxBytes) break;
        end = next;
    }
    bytes.resize(end);
    return true;
}

}  // namespace

TLanguagePack ParseLanguagePack(std::string_view text, size_t maxBytes) {
    TLanguagePack pack;
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        text.remove_prefix(kByteOrderMark.size());
    int lineNumber = 0;
    while (!text.empty()) {
        size_t end = text.find_first_of("\r\n");
        std::string_view line = text.substr(0, end);
        if (end == std::string_view::npos) {
            text = {};
        } else {
            const bool crLf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
            text.remove_prefix(end + (crLf ? 2 : 1));
        }
        ++lineNumber;
        const std::string_view trimmed = TrimBlanks(line);
        if (trimmed.empty() || trimmed.front() == '#') continue;
        const size_t equals = line.find('=');
        const int id = equals == std::string_view::npos ? -1 : ParseId(line.substr(0, equals));
        const std::string_view value = id < 0 ? std::string_view() : line.substr(equals + 1);
        if (id < 0 || !IsUtf8(value)) {
            pack.MalformedLines.push_back(lineNumber);
            continue;
        }
        std::string bytes = Utf8ToGb18030(Unescape(value));
        if (CutText(bytes, maxBytes)) pack.CutIds.push_back(id);
        pack.Texts[id] = std::move(bytes);
    }
    return pack;
}

TLanguagePack ReadLanguagePack(const std::string& path, size_t maxBytes) {
    return ParseLanguagePack(ReadWholeFile(path), maxBytes);
}

}  // namespace morvane
