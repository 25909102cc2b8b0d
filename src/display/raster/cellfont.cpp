#include "display/raster/cellfont.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include "platform/executable.h"
#include "platform/files.h"

namespace morvane {
namespace {

constexpr int kCellHeight = 16;
// Both fonts put their baseline here, counted from the cell's top.
constexpr int kBaseline = 14;

EFileError FontError(const std::string& path, const std::string& reason) {
    return EFileError("cannot load font \"" + path + "\": " + reason);
}

bool LoadGlyph(FT_Face face, char32_t codePoint) {
    FT_UInt index = FT_Get_Char_Index(face, codePoint);
    return index != 0 && FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) == 0 &&
           face->glyph->bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
}

std::unique_ptr<TCellFont>& SharedFonts() {
    static std::unique_ptr<TCellFont> shared;
    return shared;
}

int Advance(FT_Face face) { return static_cast<int>(face->glyph->advance.x >> 6); }

// Copies the loaded glyph into mask with its origin at originX; scale 2 doubles every column.
void PutGlyph(FT_Face face, int originX, int scale, TGlyphMask& mask) {
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    for (unsigned y = 0; y < bitmap.rows; ++y) {
        int row = kBaseline - slot->bitmap_top + static_cast<int>(y);
        if (row < 0 || row >= kCellHeight) continue;
        const unsigned char* bits = bitmap.buffer + static_cast<int>(y) * bitmap.pitch;
        for (unsigned x = 0; x < bitmap.width; ++x) {
            if (!(bits[x / 8] & (0x80 >> (x % 8)))) continue;
            for (int s = 0; s < scale; ++s) {
                int col = originX + (slot->bitmap_left + static_cast<int>(x)) * scale + s;
                if (col >= 0 && col < 16) mask[row] |= 0x8000 >> col;
            }
        }
    }
}

}  // namespace

void TCellFont::TLibraryDone::operator()(FT_LibraryRec_* library) const {
    FT_Done_FreeType(library);
}

void TCellFont::TFaceDone::operator()(FT_FaceRec_* face) const { FT_Done_Face(face); }

TCellFont::TCellFont(const std::string& narrowPath, const std::string& widePath)
    : FNarrowPath(narrowPath), FWidePath(widePath) {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        throw FontError(narrowPath, "the FreeType library cannot start");
    }
    FLibrary.reset(library);
    FNarrowFace = OpenFace(narrowPath);
    FWideFace = OpenFace(widePath);
    for (int byte = 0x20; byte < 0x7F; ++byte) {
        if (LoadGlyph(FNarrowFace.get(), byte)) PutGlyph(FNarrowFace.get(), 0, 1, FNarrow[byte]);
    }
    for (std::vector<std::uint16_t>& slots : FWideSlot) slots.assign(kDoubleByteSlots, 0);
}

TCellFont::~TCellFont() = default;

TCellFont::TFace TCellFont::OpenFace(const std::string& path) const {
    if (!FileExists(path)) throw FontError(path, "no such file");
    FT_Face raw = nullptr;
    if (FT_New_Face(FLibrary.get(), path.c_str(), 0, &raw) != 0) {
        throw FontError(path, "not a font file that FreeType can read");
    }
    TFace face(raw);
    if (FT_Select_Charmap(raw, FT_ENCODING_UNICODE) != 0) {
        throw FontError(path, "the font has no Unicode character map");
    }
    for (int i = 0; i < raw->num_fixed_sizes; ++i) {
        if (raw->available_sizes[i].y_ppem == kCellHeight * 64 && FT_Select_Size(raw, i) == 0) {
            return face;
        }
    }
    throw FontError(path, "the font has no 16-pixel bitmap strike");
}

const TGlyphMask& TCellFont::Wide(TEncoding encoding, std::uint8_t lead, std::uint8_t trail) {
    static const TGlyphMask blank{};
    if (!IsDoubleBytePair(lead, trail)) return blank;
    const auto set = static_cast<std::size_t>(encoding);
    if (FSheetWide[set]) return FSheetWide[set][DoubleByteSlot(lead, trail)];
    std::uint16_t& slot = FWideSlot[set][DoubleByteSlot(lead, trail)];
    if (slot == 0) {
        FWideMasks.push_back(LoadWide(PairToUnicode(encoding, lead, trail)));
        slot = static_cast<std::uint16_t>(FWideMasks.size());
    }
    return FWideMasks[slot - 1];
}

const TGlyphMask& TCellFont::Character(TEncoding encoding, std::string_view text,
                                       const TCharacter& c) {
    static const TGlyphMask blank{};
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    if (encoding != TEncoding::Utf8) {
        return c.Bytes == 2 ? Wide(encoding, bytes[0], bytes[1]) : Narrow(bytes[0]);
    }
    if (c.Cells == 1) return c.Code < 0x80 ? Narrow(static_cast<std::uint8_t>(c.Code)) : blank;
    // A UTF-8 character is drawn as the GB or Big5 pair that writes it.
    TEncoding set = TEncoding::Gb;
    std::uint8_t lead = 0;
    std::uint8_t trail = 0;
    return FindPair(c.Code, set, lead, trail) ? Wide(set, lead, trail) : blank;
}

TGlyphMask TCellFont::LoadWide(char32_t codePoint) const {
    TGlyphMask mask{};
    FT_Face face = FWideFace.get();
    if (codePoint == 0 || !LoadGlyph(face, codePoint)) {
        face = FNarrowFace.get();
        if (codePoint == 0 || !LoadGlyph(face, codePoint)) return mask;
    }
    const int advance = Advance(face);
    // Half-width lines and blocks stretched to the full cell still join their neighbours.
    if (advance <= 8 && codePoint >= 0x2500 && codePoint <= 0x259F) {
        PutGlyph(face, 0, 2, mask);
    } else {
        PutGlyph(face, advance < 16 ? (16 - advance) / 2 : 0, 1, mask);
    }
    return mask;
}

std::unique_ptr<TCellFont> TCellFont::LoadDefault() {
    // Beside the executable in the build tree; in the data folder once installed.
    const std::string folder = ProgramFolders().Data;
    if (!folder.empty()) {
        if (std::unique_ptr<TCellFont> font = FromSheet(folder + kSheetName)) return font;
    }
    return std::make_unique<TCellFont>();
}

TCellFont& TCellFont::Shared() {
    std::unique_ptr<TCellFont>& shared = SharedFonts();
    if (!shared) shared = LoadDefault();
    return *shared;
}

void TCellFont::UseSharedFonts(const std::string& narrowPath, const std::string& widePath) {
    SharedFonts() = std::make_unique<TCellFont>(narrowPath, widePath);
}

}  // namespace morvane
