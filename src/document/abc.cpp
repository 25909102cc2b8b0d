#include "document/abc.h"

#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

#include "document/contentsniff.h"
#include "document/folderindex.h"
#include "platform/files.h"
#include "platform/undorecord.h"

namespace morvane {
namespace {

bool SameIgnoringCase(const std::string& a, const char* b) { return strcasecmp(a.c_str(), b) == 0; }

}  // namespace

std::string CompanionPath(const std::string& path, const char* ext, TFolderIndex* index) {
    if (path.size() < 3) return {};
    const std::string candidate = path.substr(0, path.size() - 3) + ext;
    if (SameIgnoringCase(path.substr(path.size() - 3), ext) && FileExists(path)) return path;
    return index ? index->FindFileIgnoringCase(candidate) : FindFileIgnoringCase(candidate);
}

std::int32_t ColumnCount(size_t length) {
    return static_cast<std::int32_t>(std::min<size_t>(length, INT32_MAX));
}

Tabc::Tabc() { Reset(); }

Tabc::~Tabc() = default;
Tabc::Tabc(Tabc&&) noexcept = default;
Tabc& Tabc::operator=(Tabc&&) noexcept = default;

void Tabc::Reset() {
    FWideCells = true;
    FColCount = 0;
    FRowCount = 0;
    FKind = dkNone;
    FSpillPath.clear();
    FSpilled = false;
    FSourcePath.clear();
    FTextPath.clear();
    FColorPath.clear();
    EndSequence(false);
    FReversed = false;
    FCurAttr = 0;
    FDefaultFg = kWhite;
    FDefaultBg = kBlack;
    FCurFg = FDefaultFg;
    FCurBg = FDefaultBg;
    FMaxCols = kMaxCols;
    FMaxRows = kMaxRows;
    FHasEscapes = false;
    FEncoding = TEncoding::Gb;
    ClearGrid();
    FLines.clear();
}

void Tabc::TakeEncoding() {
    FEncoding = FEncodingChoice ? *FEncodingChoice : DetectEncoding(FLines);
}

void Tabc::ClearGrid() { SizeGrid(0); }

void Tabc::SizeGrid(int rows) {
    rows = std::clamp(rows, 0, kMaxRows);
    std::array<TCellColors, kMaxCols + 1> plain;
    plain.fill({FDefaultFg, FDefaultBg});
    // A short document after a long one does not keep the long one's memory.
    if (FCells.capacity() > 2 * static_cast<size_t>(rows) + 100) {
        FCells = {};
        FMarked = {};
    }
    FCells.assign(rows, plain);
    FMarked.assign(rows, {});
    FAttrs = {};
    FBlinks = false;
}

bool Tabc::HasAttributes() const {
    for (const auto& row : FAttrs)
        for (std::uint8_t attr : row)
            if (attr != 0) return true;
    return false;
}

void Tabc::SetCellAttr(int row, int col, std::uint8_t attr) {
    if (FAttrs.size() < FMarked.size()) FAttrs.resize(FMarked.size());
    FAttrs[row][col] = attr;
}

std::optional<TDocKind> Tabc::DetectKind(const std::string& path) const {
    const std::string ext = ExtensionOf(path);
    if (SameIgnoringCase(ext, ".htm") || SameIgnoringCase(ext, ".html")) return dkHtml;
    if (SameIgnoringCase(ext, ".clo")) return dkColor;
    if (SameIgnoringCase(ext, ".txt"))
        return CompanionPath(path, "clo", FFolderIndex).empty() ? dkText : dkColor;
    // ANSI files are text; they never pair with a colour file.
    if (SameIgnoringCase(ext, ".ans")) return dkText;
    // Boards keep their art under bare names ("Welcome", "logout"): text by content is text art.
    if (FileLooksLikeText(path)) return dkText;
    return std::nullopt;
}

bool Tabc::LoadFile(const std::string& path) {
    // A colour pair that a killed writer left half-replaced is put back whole before it is read.
    TidyAfterKilledWriters(path);
    bool success = false;
    std::optional<TDocKind> kind;
    FLoadError.clear();
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
        FLoadError = std::strerror(errno);
    } else if (S_ISDIR(st.st_mode)) {
        FLoadError = "is a folder";
    } else if (!S_ISREG(st.st_mode)) {
        FLoadError = "is not a regular file";
    } else if (!(kind = DetectKind(path))) {
        FLoadError = "is not a text-art file: it holds binary data";
    } else {
        if (kind == dkHtml) success = LoadHtml(path);
        if (kind == dkColor) success = LoadColorFile(path);
        if (kind == dkText) success = LoadText(path);
    }
    FKind = success ? *kind : dkNone;
    return success;
}

bool Tabc::LoadTextPart() {
    const std::string textPath = FTextPath;
    if (textPath.empty() || !FileExists(textPath)) return false;
    if (!LoadText(textPath)) return false;
    FKind = dkText;
    return true;
}

bool Tabc::LoadHtml(const std::string& path) {
    FSourcePath = path;
    FTextPath.clear();
    FColorPath.clear();
    return true;
}

void Tabc::ShowMessage(const std::string& text) {
    if (FSink) FSink->ShowMessage(text);
}

void Tabc::ShowNotice(const std::string& text) {
    if (FSink) FSink->ShowNotice(text);
}

}  // namespace morvane
