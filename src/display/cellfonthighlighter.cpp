#include "display/cellfonthighlighter.h"

#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <algorithm>

#include "platform/gbtext.h"

namespace morvane {
namespace {

constexpr int kCellWidth = 8;
constexpr int kWideFormat = 1;

QFont CellFont(const QStringList& families) {
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(16);
    font.setStyleHint(QFont::TypeWriter);
    font.setKerning(false);
    // The glyphs are drawn on the pixel grid; smoothing would only blur them.
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

}  // namespace

TCellFontHighlighter::TCellFontHighlighter(QTextDocument* document)
    : QSyntaxHighlighter(document),
      FNarrow(NarrowFont()),
      FWide(WideFont()),
      FBmpFormat(0x10000, 0) {
    FFormats.resize(2);
    FFormats[kWideFormat].setFont(FWide);
}

QFont TCellFontHighlighter::NarrowFont() { return CellFont({QStringLiteral("Unifont")}); }

QFont TCellFontHighlighter::WideFont() {
    return CellFont({QStringLiteral("WenQuanYi Bitmap Song"), QStringLiteral("Unifont")});
}

void TCellFontHighlighter::Apply(QPlainTextEdit* view) {
    view->setFont(NarrowFont());
    // A tab byte is one blank cell in the picture; from a cell's edge the next stop is one on.
    view->setTabStopDistance(kCellWidth);
    new TCellFontHighlighter(view->document());
}

int TCellFontHighlighter::GbBytes(char32_t codePoint) {
    if (codePoint < 0x80 || codePoint == 0xFFFD) return 1;
    const std::string bytes = EncodeGb(QString::fromUcs4(&codePoint, 1));
    return bytes == "?" ? 1 : static_cast<int>(bytes.size());
}

int TCellFontHighlighter::Bytes(TEncoding encoding, char32_t codePoint) {
    if (encoding == TEncoding::Gb) return GbBytes(codePoint);
    // UTF-8 art is laid out by cells, as a CJK terminal draws it.
    if (encoding == TEncoding::Utf8) return codePoint == 0xFFFD ? 1 : Utf8Cells(codePoint);
    return codePoint < 0x80 || codePoint == 0xFFFD ? 1 : 2;
}

void TCellFontHighlighter::SetEncoding(QPlainTextEdit* view, TEncoding encoding) {
    auto* highlighter = view->document()->findChild<TCellFontHighlighter*>();
    if (!highlighter || highlighter->FEncoding == encoding) return;
    highlighter->FEncoding = encoding;
    // The widths worked out belong to the other encoding.
    std::fill(highlighter->FBmpFormat.begin(), highlighter->FBmpFormat.end(), 0);
    highlighter->FOtherFormat.clear();
}

int TCellFontHighlighter::FormatOf(char32_t codePoint) {
    if (codePoint < FBmpFormat.size() && FBmpFormat[codePoint] != 0)
        return FBmpFormat[codePoint] - 1;
    if (codePoint >= FBmpFormat.size() && FOtherFormat.contains(codePoint))
        return FOtherFormat.value(codePoint);
    const int bytes = Bytes(FEncoding, codePoint);
    const QFont& font = bytes == 1 ? FNarrow : FWide;
    const int advance = QFontMetrics(font).horizontalAdvance(QString::fromUcs4(&codePoint, 1));
    const int spacing = bytes * kCellWidth - advance;
    int format = bytes == 1 ? 0 : kWideFormat;
    if (spacing != 0) format = SpacedFormat(font, spacing);
    if (codePoint < FBmpFormat.size()) {
        FBmpFormat[codePoint] = static_cast<std::uint8_t>(format + 1);
    } else {
        FOtherFormat.insert(codePoint, format);
    }
    return format;
}

int TCellFontHighlighter::SpacedFormat(const QFont& font, int spacing) {
    for (std::size_t i = 2; i < FFormats.size(); ++i) {
        if (FFormats[i].font().families() == font.families() &&
            qRound(FFormats[i].fontLetterSpacing()) == spacing)
            return static_cast<int>(i);
    }
    // Past the table's room the character keeps its font's own width rather than a wrong format.
    if (FFormats.size() >= 254) return &font == &FNarrow ? 0 : kWideFormat;
    QTextCharFormat format;
    format.setFont(font);
    format.setFontLetterSpacingType(QFont::AbsoluteSpacing);
    format.setFontLetterSpacing(spacing);
    FFormats.push_back(format);
    return static_cast<int>(FFormats.size()) - 1;
}

void TCellFontHighlighter::highlightBlock(const QString& text) {
    int runStart = 0;
    int runFormat = 0;
    const int size = static_cast<int>(text.size());
    for (int i = 0; i < size;) {
        char32_t codePoint = text[i].unicode();
        int length = 1;
        if (QChar::isHighSurrogate(codePoint) && i + 1 < size && text[i + 1].isLowSurrogate()) {
            codePoint = QChar::surrogateToUcs4(text[i], text[i + 1]);
            length = 2;
        }
        // Tabs advance to the next tab stop, not by a glyph.
        const int format = codePoint == '\t' ? 0 : FormatOf(codePoint);
        if (format != runFormat) {
            if (runFormat != 0) setFormat(runStart, i - runStart, FFormats[runFormat]);
            runStart = i;
            runFormat = format;
        }
        i += length;
    }
    if (runFormat != 0) setFormat(runStart, size - runStart, FFormats[runFormat]);
}

}  // namespace morvane
