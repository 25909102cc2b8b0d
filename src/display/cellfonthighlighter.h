#pragma once

#include <QFont>
#include <QHash>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <array>
#include <cstdint>
#include <vector>

#include "document/charsets.h"

class QPlainTextEdit;

namespace morvane {

/// Lays a text document out in the picture's cell fonts, so that a line of n GB bytes is 8 n
/// pixels wide, as in the picture: single bytes from Unifont, 8 pixels wide, and double-byte
/// characters (box drawing too) from WenQuanYi Bitmap Song, 16 pixels wide. Characters whose
/// glyphs advance otherwise are spaced to their bytes' width. Only formats change; the text does
/// not.
class TCellFontHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    /// Formats document; the document owns the highlighter.
    explicit TCellFontHighlighter(QTextDocument* document);

    /// The font of single-byte characters, and the view's font.
    static QFont NarrowFont();
    /// The font of double-byte characters.
    static QFont WideFont();
    /// Gives view the narrow font and formats its document with a highlighter.
    static void Apply(QPlainTextEdit* view);

    /// The bytes of the character at code point in the document's GB text: 1 for ASCII and for
    /// U+FFFD (one undecodable byte), else its GB18030 length.
    static int GbBytes(char32_t codePoint);
    /// The same for text decoded from encoding: in Big5 every character but ASCII and U+FFFD
    /// came from two bytes.
    static int Bytes(TEncoding encoding, char32_t codePoint);
    /// The view's text is decoded from encoding from now on; call before setting the text.
    static void SetEncoding(QPlainTextEdit* view, TEncoding encoding);

protected:
    void highlightBlock(const QString& text) override;

private:
    /// The index in FFormats of the format that gives codePoint its bytes' width.
    int FormatOf(char32_t codePoint);
    int SpacedFormat(const QFont& font, int spacing);

    // Index 0 is the narrow font as it stands, which needs no format of its own.
    std::vector<QTextCharFormat> FFormats;
    TEncoding FEncoding = TEncoding::Gb;
    QFont FNarrow;
    QFont FWide;
    // Per BMP code point, 1 + its format index; 0 while not yet worked out.
    std::vector<std::uint8_t> FBmpFormat;
    QHash<char32_t, int> FOtherFormat;
};

}  // namespace morvane
