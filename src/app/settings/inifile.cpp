#include "app/settings/inifile.h"

#include <charconv>
#include <cstdint>

#include "platform/files.h"

namespace morvane {
namespace {

const char kByteOrderMark[] = "\xEF\xBB\xBF";

bool IsBlank(char ch) { return ch == ' ' || ch == '\t'; }

std::string_view TrimLeft(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    return text;
}

std::string_view Trim(std::string_view text) {
    text = TrimLeft(text);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

char FoldAscii(char ch) { return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch; }

// Only ASCII letters fold: a GB2312 byte pair must match exactly.
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    }
    return true;
}

std::optional<std::string_view> SectionOf(std::string_view line) {
    line = TrimLeft(line);
    if (line.empty() || line.front() != '[') return std::nullopt;
    const size_t close = line.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return Trim(line.substr(1, close - 1));
}

std::optional<std::string_view> KeyOf(std::string_view line) {
    line = TrimLeft(line);
    if (line.empty() || line.front() == '[' || line.front() == ';' || line.front() == '#')
        return std::nullopt;
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    const std::string_view key = Trim(line.substr(0, equals));
    if (key.empty()) return std::nullopt;
    return key;
}

bool IsQuote(char ch) { return ch == '"' || ch == '\''; }

std::string_view ValueOf(std::string_view line) {
    std::string_view value = Trim(line.substr(line.find('=') + 1));
    if (value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

// Quotes keep what reading would strip: blanks at either end, or a pair of quotes.
std::string Encode(std::string_view value) {
    const bool quoted =
        !value.empty() &&
        (IsBlank(value.front()) || IsBlank(value.back()) ||
         (value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front()));
    return quoted ? "\"" + std::string(value) + "\"" : std::string(value);
}

bool OnOneLine(std::string_view text) {
    return text.find_first_of("\r\n") == std::string_view::npos;
}

bool ReadableSection(std::string_view section) {
    return OnOneLine(section) && !section.empty() && Trim(section) == section &&
           section.find(']') == std::string_view::npos;
}

bool ReadableKey(std::string_view key) {
    return OnOneLine(key) && !key.empty() && Trim(key) == key &&
           key.find('=') == std::string_view::npos && key.front() != '[' && key.front() != ';' &&
           key.front() != '#';
}

}  // namespace

TIniFile::TIniFile(std::string_view bytes) {
    bool breakSeen = false;
    size_t pos = 0;
    while (pos < bytes.size()) {
        const size_t newline = bytes.find('\n', pos);
        TLine line;
        if (newline == std::string_view::npos) {
            line.Text = bytes.substr(pos);
            pos = bytes.size();
            // A file cut after its CR: that CR is the start of a break, not part of a value.
            if (!line.Text.empty() && line.Text.back() == '\r') {
                line.Text.pop_back();
                line.Break = "\r";
            }
        } else {
            size_t end = newline;
            line.Break = "\n";
            if (end > pos && bytes[end - 1] == '\r') {
                --end;
                line.Break = "\r\n";
            }
            line.Text = bytes.substr(pos, end - pos);
            pos = newline + 1;
            // Lines this program adds break as the file's own lines do.
            if (!breakSeen) FBreak = line.Break;
            breakSeen = true;
        }
        FLines.push_back(std::move(line));
    }
    if (!FLines.empty() && FLines[0].Text.compare(0, 3, kByteOrderMark) == 0) {
        FLines[0].Text.erase(0, 3);
        FBom = true;
    }
}

TIniFile TIniFile::Load(const std::string& path) { return TIniFile(ReadWholeFile(path)); }

std::optional<size_t> TIniFile::FindSection(std::string_view section) const {
    for (size_t i = 0; i < FLines.size(); ++i) {
        const std::optional<std::string_view> name = SectionOf(FLines[i].Text);
        if (name && SameName(*name, section)) return i;
    }
    return std::nullopt;
}

std::optional<size_t> TIniFile::FindKey(std::string_view section, std::string_view key) const {
    bool inSection = false;
    for (size_t i = 0; i < FLines.size(); ++i) {
        if (const std::optional<std::string_view> name = SectionOf(FLines[i].Text)) {
            inSection = SameName(*name, section);
        } else if (inSection) {
            const std::optional<std::string_view> found = KeyOf(FLines[i].Text);
            if (found && SameName(*found, key)) return i;
        }
    }
    return std::nullopt;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 const std::string& fallback) const {
    const std::optional<size_t> line = FindKey(section, key);
    return line ? std::string(ValueOf(FLines[*line].Text)) : fallback;
}

int TIniFile::ReadInteger(std::string_view section, std::string_view key, int fallback) const {
    const std::optional<size_t> line = FindKey(section, key);
    if (!line) return fallback;
    return ParseIniInteger(ValueOf(FLines[*line].Text)).value_or(fallback);
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

void TIniFile::Insert(size_t index, std::string text) {
    if (index > 0) {
        std::string& before = FLines[index - 1].Break;
        if (before.empty()) before = FBreak;
        if (before == "\r") before = "\r\n";
    }
    FLines.insert(FLines.begin() + static_cast<std::ptrdiff_t>(index),
                  TLine{std::move(text), FBreak});
}

bool TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    if (!ReadableSection(section) || !ReadableKey(key) || !OnOneLine(value)) return false;
    if (const std::optional<size_t> found = FindKey(section, key)) {
        std::string& text = FLines[*found].Text;
        if (ValueOf(text) == value) return true;
        size_t start = text.find('=') + 1;
        while (start < text.size() && IsBlank(text[start])) ++start;
        text = text.substr(0, start) + Encode(value);
        FModified = true;
        return true;
    }
    const std::string line = std::string(key) + "=" + Encode(value);
    if (const std::optional<size_t> header = FindSection(section)) {
        size_t last = *header;
        for (size_t i = *header + 1; i < FLines.size() && !SectionOf(FLines[i].Text); ++i) {
            if (KeyOf(FLines[i].Text)) last = i;
        }
        Insert(last + 1, line);
    } else {
        Insert(FLines.size(), "[" + std::string(section) + "]");
        Insert(FLines.size(), line);
    }
    FModified = true;
    return true;
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
    WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

std::string TIniFile::Bytes() const {
    std::string bytes = FBom ? kByteOrderMark : "";
    for (const TLine& line : FLines) bytes += line.Text + line.Break;
    return bytes;
}

void TIniFile::Save(const std::string& path) const { WriteFileAtomic(path, Bytes()); }

std::optional<int> ParseIniInteger(std::string_view value) {
    value = Trim(value);
    bool negative = false;
    if (!value.empty() && (value.front() == '-' || value.front() == '+')) {
        negative = value.front() == '-';
        value.remove_prefix(1);
    }
    int base = 10;
    if (value.size() >= 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X')) {
        base = 16;
        value.remove_prefix(2);
    } else if (!value.empty() && value.front() == '$') {
        base = 16;
        value.remove_prefix(1);
    }
    std::uint64_t magnitude = 0;
    const char* end = value.data() + value.size();
    const auto [stop, error] = std::from_chars(value.data(), end, magnitude, base);
    if (value.empty() || error != std::errc() || stop != end) return std::nullopt;
    const std::uint64_t limit = negative ? 0x80000000u : 0x7FFFFFFFu;
    if (magnitude > limit) return std::nullopt;
    return negative ? static_cast<int>(-static_cast<std::int64_t>(magnitude))
                    : static_cast<int>(magnitude);
}

}  // namespace morvane
