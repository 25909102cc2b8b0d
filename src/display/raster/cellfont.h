#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "document/charsets.h"

struct FT_LibraryRec_;
struct FT_FaceRec_;

namespace morvane {

/// A glyph as 16 rows of 16 one-bit pixels, the top row first; bit 15 is the leftmost pixel.
/// A single-byte character uses the high 8 bits.
using TGlyphMask = std::array<std::uint16_t, 16>;

/// The two bitmap fonts that draw a character cell grid, with a cache of glyph masks: single
/// bytes from an 8 x 16 font (Unifont), double-byte GB and Big5 characters from a 16-pixel font
/// (WenQuanYi Bitmap Song), falling back to the 8 x 16 font for what the 16-pixel font lacks. Not
/// for use by two threads at once, unless it comes from a sheet, which is only read.
///
/// Opening the fonts takes tens of milliseconds, so the build writes every glyph into a sheet
/// beside the executables, which loads in a fraction of one.
class TCellFont {
public:
    static constexpr const char* kUnifontPath = "/usr/share/fonts/X11/misc/unifont.pcf.gz";
    static constexpr const char* kSongPath = "/usr/share/fonts/X11/misc/wenquanyi_12pt.pcf";
    /// The name of the glyph sheet of the default fonts, looked for beside the executable.
    static constexpr const char* kSheetName = "cellglyphs.bin";

    /// Loads both fonts; throws EFileError naming the file that is missing, unreadable, or has
    /// no 16-pixel bitmap strike.
    TCellFont(const std::string& narrowPath = kUnifontPath,
              const std::string& widePath = kSongPath);
    ~TCellFont();
    TCellFont(const TCellFont&) = delete;
    TCellFont& operator=(const TCellFont&) = delete;

    /// The glyphs of the fonts at narrowPath and widePath as the sheet at sheetPath holds them.
    /// Null when the sheet is missing, unreadable or damaged, or was written from other font
    /// files than those now at these paths, so a stale sheet is never used; a font file that is
    /// gone leaves the sheet as the only copy of its glyphs, which is then used.
    static std::unique_ptr<TCellFont> FromSheet(const std::string& sheetPath,
                                                const std::string& narrowPath = kUnifontPath,
                                                const std::string& widePath = kSongPath);
    /// Writes every glyph and the identity of the font files to path; throws EFileError.
    void WriteSheet(const std::string& path);
    /// The default fonts as Shared() finds them, as a font of the caller's own: from the sheet
    /// beside the executable (or in ../share/morvane from it) where it matches them, else opened.
    /// Throws EFileError as the constructor does.
    static std::unique_ptr<TCellFont> LoadDefault();

    /// The fonts that RenderGridPicture uses by default: kUnifontPath and kSongPath, from the
    /// sheet beside the executable where it matches them, loaded on first use. Throws EFileError
    /// as the constructor does, and tries again on the next call.
    static TCellFont& Shared();
    /// Replaces the shared fonts by those at the given paths; throws EFileError as the
    /// constructor does and then keeps the fonts it had.
    static void UseSharedFonts(const std::string& narrowPath, const std::string& widePath);

    /// The glyph of a single byte: printable ASCII drawn, every other byte blank.
    const TGlyphMask& Narrow(std::uint8_t byte) const { return FNarrow[byte]; }
    /// The 16-pixel glyph of a double-byte pair of encoding (see IsDoubleBytePair); blank when
    /// neither font has its character.
    const TGlyphMask& Wide(TEncoding encoding, std::uint8_t lead, std::uint8_t trail);
    /// The glyph of a character that NextCharacter read from text in encoding: a pair's or a
    /// two-cell UTF-8 character's 16-pixel glyph, a single cell's 8-pixel one in the high bits;
    /// blank for a character these fonts do not draw.
    const TGlyphMask& Character(TEncoding encoding, std::string_view text, const TCharacter& c);

private:
    struct TFromSheet {};
    explicit TCellFont(TFromSheet) {}

    struct TLibraryDone {
        void operator()(FT_LibraryRec_* library) const;
    };
    struct TFaceDone {
        void operator()(FT_FaceRec_* face) const;
    };
    using TFace = std::unique_ptr<FT_FaceRec_, TFaceDone>;

    TFace OpenFace(const std::string& path) const;
    TGlyphMask LoadWide(char32_t codePoint) const;

    std::string FNarrowPath;
    std::string FWidePath;
    static constexpr std::size_t kEncodings = 2;

    // A sheet's wide masks in slot order, per encoding, in a read-only mapping of the sheet kept
    // by FSheet.
    std::shared_ptr<const void> FSheet;
    std::array<const TGlyphMask*, kEncodings> FSheetWide{};
    std::unique_ptr<FT_LibraryRec_, TLibraryDone> FLibrary;
    TFace FNarrowFace;
    TFace FWideFace;
    std::array<TGlyphMask, 256> FNarrow{};
    // Per encoding and pair, 0 while not yet loaded, else 1 + the index of its mask in
    // FWideMasks.
    std::array<std::vector<std::uint16_t>, kEncodings> FWideSlot;
    std::vector<TGlyphMask> FWideMasks;
};

}  // namespace morvane
