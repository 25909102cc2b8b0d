#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

#include "display/raster/cellfont.h"
#include "platform/files.h"

namespace morvane {

// Written at build time with the character tables the wide glyphs are drawn for.
extern const unsigned long long kPairTablesDigest;

namespace {

// Written and read on the same machine, in its own byte order; the check word refuses any other.
constexpr char kMagic[8] = {'M', 'V', 'C', 'E', 'L', 'L', 'G', '4'};
constexpr std::uint32_t kByteOrderCheck = 0x01020304;
// The masks start at a multiple of this, so they can be read where they lie.
constexpr std::size_t kMaskAlignment = 64;
constexpr std::size_t kNarrowCount = 256;
constexpr std::size_t kMaskBytes = sizeof(TGlyphMask);

// What tells a font file from its successors: its path, size and time of change.
std::string FontIdentity(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return {};
    std::string identity = path;
    identity.push_back('\0');
    for (std::int64_t value :
         {static_cast<std::int64_t>(st.st_size), static_cast<std::int64_t>(st.st_mtim.tv_sec),
          static_cast<std::int64_t>(st.st_mtim.tv_nsec)}) {
        identity.append(reinterpret_cast<const char*>(&value), sizeof value);
    }
    return identity;
}

// The sheet holds the glyphs of the font at path: the font is the one it was written from, or it
// is gone and the sheet holds all that is left of it (an installed program needs no font files).
bool StillTheFont(const std::string& identity, const std::string& path) {
    const std::string now = FontIdentity(path);
    if (!now.empty()) return identity == now;
    return identity.size() > path.size() && identity.compare(0, path.size(), path) == 0 &&
           identity[path.size()] == '\0';
}

template <typename T>
void Append(std::string& out, const T& value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

void AppendString(std::string& out, const std::string& text) {
    Append(out, static_cast<std::uint32_t>(text.size()));
    out += text;
}

class TReader {
public:
    TReader(const char* bytes, std::size_t size) : FBytes(bytes), FSize(size) {}

    bool Take(void* out, std::size_t size) {
        if (FSize - FAt < size) return false;
        std::memcpy(out, FBytes + FAt, size);
        FAt += size;
        return true;
    }
    bool TakeString(std::string& out) {
        std::uint32_t size = 0;
        if (!Take(&size, sizeof size) || FSize - FAt < size) return false;
        out.assign(FBytes + FAt, size);
        FAt += size;
        return true;
    }
    void Align(std::size_t alignment) { FAt = (FAt + alignment - 1) / alignment * alignment; }
    std::size_t At() const { return FAt; }

private:
    const char* FBytes;
    std::size_t FSize;
    std::size_t FAt = 0;
};

}  // namespace

void TCellFont::WriteSheet(const std::string& path) {
    std::string sheet(kMagic, sizeof kMagic);
    Append(sheet, kByteOrderCheck);
    Append(sheet, kPairTablesDigest);
    AppendString(sheet, FontIdentity(FNarrowPath));
    AppendString(sheet, FontIdentity(FWidePath));
    sheet.resize((sheet.size() + kMaskAlignment - 1) / kMaskAlignment * kMaskAlignment, '\0');
    for (const TGlyphMask& mask : FNarrow) Append(sheet, mask);
    // A table a character set, each in slot order.
    for (TEncoding encoding : {TEncoding::Gb, TEncoding::Big5}) {
        for (int lead = 0x81; lead <= 0xFE; ++lead) {
            for (int trail = 0x40; trail <= 0xFE; ++trail) {
                Append(sheet, Wide(encoding, static_cast<std::uint8_t>(lead),
                                   static_cast<std::uint8_t>(trail)));
            }
        }
    }
    WriteFileAtomic(path, sheet);
}

std::unique_ptr<TCellFont> TCellFont::FromSheet(const std::string& sheetPath,
                                                const std::string& narrowPath,
                                                const std::string& widePath) {
    const int fd = open(sheetPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st {};
    void* address = MAP_FAILED;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
        address =
            mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    }
    close(fd);
    if (address == MAP_FAILED) return nullptr;
    const auto size = static_cast<std::size_t>(st.st_size);
    std::shared_ptr<const void> mapping(
        address, [size](const void* at) { munmap(const_cast<void*>(at), size); });

    TReader reader(static_cast<const char*>(address), size);
    char magic[sizeof kMagic];
    std::uint32_t order = 0;
    unsigned long long tables = 0;
    std::string narrowIdentity, wideIdentity;
    if (!reader.Take(magic, sizeof magic) || std::memcmp(magic, kMagic, sizeof kMagic) != 0 ||
        !reader.Take(&order, sizeof order) || order != kByteOrderCheck ||
        !reader.Take(&tables, sizeof tables) || tables != kPairTablesDigest ||
        !reader.TakeString(narrowIdentity) || !reader.TakeString(wideIdentity) ||
        !StillTheFont(narrowIdentity, narrowPath) || !StillTheFont(wideIdentity, widePath)) {
        return nullptr;
    }
    std::unique_ptr<TCellFont> font(new TCellFont(TFromSheet{}));
    reader.Align(kMaskAlignment);
    if (!reader.Take(font->FNarrow.data(), kNarrowCount * kMaskBytes)) return nullptr;
    const std::size_t wideAt = reader.At();
    const std::size_t tableBytes = kDoubleByteSlots * kMaskBytes;
    if (size - wideAt != kEncodings * tableBytes) return nullptr;
    font->FNarrowPath = narrowPath;
    font->FWidePath = widePath;
    for (std::size_t set = 0; set < kEncodings; ++set) {
        font->FSheetWide[set] = reinterpret_cast<const TGlyphMask*>(
            static_cast<const char*>(address) + wideAt + set * tableBytes);
    }
    font->FSheet = std::move(mapping);
    return font;
}

}  // namespace morvane
