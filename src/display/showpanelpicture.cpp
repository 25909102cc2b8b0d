#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>

#include "display/blinker.h"
#include "display/picturearea.h"
#include "display/pictureview.h"
#include "display/raster/textpicture.h"
#include "display/showpanel.h"
#include "platform/encodedtext.h"

namespace morvane {

void TShowPanel::RenderGrid(const Tabc& doc) {
    FPictureArea->SetPictureSize(QSize(doc.FColCount * 8, doc.FRowCount * 16));
    RenderGridPicture(doc, FPicture->Surface());
    FPicture->SurfaceChanged();
    FBlinker->Take(doc);
    SetTextLines(doc.FLines, doc.FEncoding);
}

void TShowPanel::SetBlinking(bool on) { FPictureArea->BlinkAction->setChecked(on); }

bool TShowPanel::Blinking() const { return FPictureArea->BlinkAction->isChecked(); }

void TShowPanel::RenderText(TPixelBuffer& picture) const {
    const QPalette palette = FTextView->palette();
    RenderTextPicture(ReportedTextLines(), FTextEncoding,
                      palette.color(QPalette::Text).rgb() | 0xFF000000u,
                      palette.color(QPalette::Base).rgb() | 0xFF000000u, picture);
}

std::vector<std::string> TShowPanel::ReportedTextLines() const {
    if (!FWordWrap) return FTextLines;
    std::vector<std::string> lines;
    QTextDocument* document = FTextView->document();
    QAbstractTextDocumentLayout* layout = document->documentLayout();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        // The view lays out only what it has shown; asking for the block's size lays it out.
        layout->blockBoundingRect(block);
        const QString text = block.text();
        const QTextLayout* textLayout = block.layout();
        if (textLayout->lineCount() == 0) lines.push_back(EncodeText(FTextEncoding, text));
        for (int i = 0; i < textLayout->lineCount(); ++i) {
            const QTextLine line = textLayout->lineAt(i);
            lines.push_back(
                EncodeText(FTextEncoding, text.mid(line.textStart(), line.textLength())));
        }
    }
    return lines;
}

void TShowPanel::PictureDragOver(QPoint pos) {
    if (FPicture->Tag == 0) {
        FPicture->Tag = 1;
        FDragX = pos.x();
        FDragY = pos.y();
        return;
    }
    FPictureArea->MovePicture(FPicture->pos() + QPoint(pos.x() - FDragX, pos.y() - FDragY));
}

void TShowPanel::PictureEndDrag() { FPicture->Tag = 0; }

}  // namespace morvane
