#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace morvane {

/// An INI file held as its lines, byte for byte. A line "[name]" opens a section, "key=value"
/// lines follow it, lines starting with ";" or "#" are comments; section and key names match
/// without regard to ASCII letter case, and the first line of the key in a section of that name
/// counts. A write replaces the value of its key
/// where it stands, or adds the key at the end of its section, or the section at the end of the
/// file; every other line keeps its bytes, its line break and its place.
class TIniFile {
public:
    TIniFile() = default;
    /// The file whose whole content is bytes.
    explicit TIniFile(std::string_view bytes);
    /// Reads path; throws EFileError naming it when it cannot be read.
    static TIniFile Load(const std::string& path);

    /// The text after the equals sign, without surrounding blanks or one pair of quotes.
    std::string ReadString(std::string_view section, std::string_view key,
                           const std::string& fallback) const;
    /// The value as ParseIniInteger reads it; fallback when it is missing or not a whole number.
    int ReadInteger(std::string_view section, std::string_view key, int fallback) const;
    /// Any whole number but 0 is true.
    bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;

    /// False, and nothing changed, when the value or the names hold a line break (they cannot
    /// stand on one line) or the names cannot be read back.
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int value);
    void WriteBool(std::string_view section, std::string_view key, bool value);

    /// The file's bytes as they now stand.
    std::string Bytes() const;
    /// Whether a write has changed a byte since the file was read.
    bool Modified() const { return FModified; }
    /// Writes Bytes() to path, replacing it whole or not at all; throws EFileError naming path.
    void Save(const std::string& path) const;

private:
    struct TLine {
        std::string Text;
        std::string Break;  // "\r\n", "\n" or, on the last line only, "\r" or empty
    };

    std::optional<size_t> FindKey(std::string_view section, std::string_view key) const;
    std::optional<size_t> FindSection(std::string_view section) const;
    void Insert(size_t index, std::string text);

    std::vector<TLine> FLines;
    std::string FBreak = "\r\n";
    bool FBom = false;
    bool FModified = false;
};

/// The integer an INI value stands for: decimal, or hexadecimal after "0x", "0X" or "$", with an
/// optional sign before either; nothing when it is not a whole number that fits an int.
std::optional<int> ParseIniInteger(std::string_view value);

}  // namespace morvane
