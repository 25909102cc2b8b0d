#include "document/abc.h"

#include <strings.h>

#include <algorithm>
#include <iterator>

#include "platform/files.h"

namespace morvane {
namespace {

// The extension from the file name's last dot, dot included; empty when the name has none.
std::string ExtensionOf(const std::string& path) {
    const std::string name = NameOf(path);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

bool SameIgnoringCase(const std::string& a, const char* b) {
    return strcasecmp(a.c_str(), b) == 0;
}

}  // namespace

std::string CompanionPath(const std::string& path, const char* ext) {
    if (path.size() < 3) return {};
    const std::string candidate = path.substr(0, path.size() - 3) + ext;
    if (SameIgnoringCase(path.substr(path.size() - 3), ext) && FileExists(path)) return path;
    return FindFileIgnoringCase(candidate);
}

Tabc::Tabc() { Reset(); }

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
    FDefaultFg = kWhite;
    FDefaultBg = kBlack;
    FCurFg = FDefaultFg;
    FCurBg = FDefaultBg;
    FMaxCols = kMaxCols;
    FMaxRows = kMaxRows;
    FHasEscapes = false;
    ClearGrid();
    FLines.clear();
}

void Tabc::ClearGrid() {
    // Every load clears the grid: one row is filled and copied, which is a plain memory copy.
    // The unused column 0 is cleared too, so no cell is ever undefined.
    std::fill(std::begin(FCells[0]), std::end(FCells[0]), TCellColors{FDefaultFg, FDefaultBg});
    for (int r = 1; r < kMaxRows; ++r) std::copy(std::begin(FCells[0]), std::end(FCells[0]), FCells[r]);
    std::fill(&FMarked[0][0], &FMarked[0][0] + sizeof FMarked, false);
}

std::optional<TDocKind> Tabc::DetectKind(const std::string& path) const {
    const std::string ext = ExtensionOf(path);
    if (SameIgnoringCase(ext, ".htm") || SameIgnoringCase(ext, ".html")) return dkHtml;
    if (SameIgnoringCase(ext, ".clo")) return dkColor;
    if (SameIgnoringCase(ext, ".txt")) return CompanionPath(path, "clo").empty() ? dkText : dkColor;
    // ANSI files are text; they never pair with a colour file.
    if (SameIgnoringCase(ext, ".ans")) return dkText;
    return std::nullopt;
}

bool Tabc::LoadFile(const std::string& path) {
    bool success = false;
    std::optional<TDocKind> kind;
    if (FileExists(path)) {
        kind = DetectKind(path);
        if (kind == dkHtml) success = LoadHtml(path);
        if (kind == dkColor) success = LoadColorFile(path);
        if (kind == dkText) success = LoadText(path);
    }
    FKind = success ? *kind : dkNone;
    return success;
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

}  // namespace morvane
