#include "display/showpanel.h"

#include <QAction>
#include <QEvent>
#include <QPlainTextEdit>
#include <QWidget>

#include "display/blinker.h"
#include "display/cellfonthighlighter.h"
#include "display/picturearea.h"
#include "display/pictureview.h"
#include "platform/encodedtext.h"

namespace morvane {
namespace {

QPlainTextEdit* CreateTextView(QWidget* host, bool readOnly) {
    auto* view = new QPlainTextEdit(host);
    view->setReadOnly(readOnly);
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    TCellFontHighlighter::Apply(view);
    view->hide();
    return view;
}

QString Joined(const std::vector<std::string>& lines, TEncoding encoding) {
    QStringList decoded;
    decoded.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string& line : lines) decoded.append(DecodeText(encoding, line));
    return decoded.join(QLatin1Char('\n'));
}

}  // namespace

TShowPanel::TShowPanel(QWidget* host) : FHost(host) {
    FTextView = CreateTextView(host, true);
    FTextView->setObjectName(QStringLiteral("FTextView"));
    FFallbackView = CreateTextView(host, false);
    FFallbackView->setObjectName(QStringLiteral("FFallbackView"));
    FPicture = new TPictureView(host);
    FPicture->setObjectName(QStringLiteral("FPicture"));
    FPictureArea = new TPictureArea(FPicture, host);
    FPictureArea->setObjectName(QStringLiteral("FPictureArea"));
    FPictureArea->hide();
    FBlinker = new TBlinker(FPicture, this);
    connect(FPictureArea->BlinkAction, &QAction::toggled, FBlinker, &TBlinker::SetEnabled);
    connect(FPicture, &TPictureView::DragOver, this, &TShowPanel::PictureDragOver);
    connect(FPicture, &TPictureView::EndDrag, this, &TShowPanel::PictureEndDrag);
    host->installEventFilter(this);
    InitViews();
}

TShowPanel::~TShowPanel() {
    if (FHost) FHost->removeEventFilter(this);
    // The view may outlive the panel for a while; its handler must not reach the panel then.
    if (IBrowserPage* page = BrowserPage()) page->OnLoadFinished({});
}

void TShowPanel::InitViews() {
    SetTop(0);
    SetLeft(0);
    SetWidth(0);
    SetAlign(TAlign::Client);
    FDragX = 0;
    FDragY = 0;
}

void TShowPanel::SetTop(int top) {
    FTop = top;
    for (QWidget* view : Views()) view->move(view->x(), top);
}

void TShowPanel::SetLeft(int left) {
    FLeft = left;
    for (QWidget* view : Views()) view->move(left, view->y());
}

void TShowPanel::SetWidth(int width) {
    FWidth = width;
    for (QWidget* view : Views()) view->resize(width, view->height());
}

void TShowPanel::SetAlign(TAlign align) {
    bool fills = align == TAlign::Client;
    FBrowserFills = fills;
    FTextFills = fills;
    if (fills) FPictureArea->FillArea();
    PlaceViews();
}

void TShowPanel::SetViewMode(TViewMode m) {
    FViewMode = m;
    FBrowserFills = false;
    if (FBrowser) FBrowser->setGeometry(FBrowser->x(), FBrowser->y(), 0, 0);
    FPictureArea->hide();
    FTextView->hide();
    FFallbackView->hide();
    FBlinker->SetActive(m == vmPicture);
    switch (m) {
        case vmBrowser:
            Browser();
            FBrowserFills = true;
            break;
        case vmPicture:
            FPictureArea->show();
            break;
        case vmText:
            FTextView->show();
            break;
        case vmFallback:
            FFallbackView->show();
            break;
    }
    PlaceViews();
}

void TShowPanel::SelectView(const Tabc& doc) {
    FColCount = doc.FColCount;
    FRowCount = doc.FRowCount;
    FWideCells = doc.FWideCells;
    switch (doc.FKind) {
        case dkHtml:
            SetViewMode(vmBrowser);
            break;
        case dkColor:
            SetViewMode(vmPicture);
            break;
        case dkText:
            SetViewMode(doc.FHasEscapes ? vmPicture : vmText);
            break;
        case dkNone:
            SetViewMode(vmFallback);
            break;
    }
}

void TShowPanel::ShowDocument(const Tabc& doc, bool forceText) {
    SelectView(doc);
    if (forceText) SetViewMode(vmText);
    switch (doc.FKind) {
        case dkHtml:
            NavigateToFile(doc);
            break;
        case dkColor:
            RenderGrid(doc);
            break;
        case dkText:
            if (doc.FHasEscapes) {
                RenderGrid(doc);
            } else {
                FillTextView(doc);
            }
            break;
        case dkNone:
            FillFallbackView(doc);
            break;
    }
}

void TShowPanel::FillTextView(const Tabc& doc) { SetTextLines(doc.FLines, doc.FEncoding); }

void TShowPanel::FillFallbackView(const Tabc& doc) {
    TCellFontHighlighter::SetEncoding(FFallbackView, doc.FEncoding);
    FFallbackView->setPlainText(Joined(doc.FLines, doc.FEncoding));
}

void TShowPanel::SetWordWrap(bool on) {
    FWordWrap = on;
    FTextView->setLineWrapMode(on ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    FTextView->setHorizontalScrollBarPolicy(on ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
}

void TShowPanel::SetTextLines(std::vector<std::string> lines, TEncoding encoding) {
    FTextLines = std::move(lines);
    FTextEncoding = encoding;
    TCellFontHighlighter::SetEncoding(FTextView, FTextEncoding);
    FTextView->setPlainText(Joined(FTextLines, FTextEncoding));
}

std::vector<QWidget*> TShowPanel::Views() const {
    std::vector<QWidget*> views{FTextView, FFallbackView, FPictureArea};
    if (FBrowser) views.push_back(FBrowser);
    return views;
}

bool TShowPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FHost && event->type() == QEvent::Resize) PlaceViews();
    return QObject::eventFilter(watched, event);
}

void TShowPanel::PlaceViews() {
    QRect all = FHost->rect();
    if (FBrowser && FBrowserFills) FBrowser->setGeometry(all);
    if (FTextFills) {
        FTextView->setGeometry(all);
        FFallbackView->setGeometry(all);
        FPictureArea->setGeometry(all);
    }
}

}  // namespace morvane
