#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QToolButton>

#include "app/ansi2html.h"
#include "app/imagelist.h"
#include "display/raster/documentpicture.h"
#include "document/bbstext.h"
#include "platform/encodedtext.h"

namespace morvane {
namespace {

bool HasText(const Tabc& doc) { return doc.FKind == dkText || doc.FKind == dkColor; }

// Lines as the clipboard holds text: Unicode, each line ended as in a file, so that a last
// empty line is kept.
QString JoinedText(const std::vector<std::string>& lines, TEncoding encoding) {
    QString text;
    for (const std::string& line : lines) text += DecodeText(encoding, line) + QLatin1Char('\n');
    return text;
}

// The bytes themselves, for programs that paste them into a board as they are.
QByteArray JoinedBytes(const std::vector<std::string>& lines) {
    QByteArray bytes;
    for (const std::string& line : lines) bytes += QByteArray::fromStdString(line) + "\r\n";
    return bytes;
}

QString BytesFormat(TEncoding encoding) {
    return QStringLiteral("text/plain;charset=") + QLatin1String(CharsetName(encoding));
}

}  // namespace

QToolButton* Tansi2html::CreateCopyButton(QWidget* parent) {
    ActionCopy = new QAction(tr("Copy"), this);
    ActionCopy->setObjectName(QStringLiteral("ActionCopy"));
    ActionCopy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    ActionCopyBbsText = new QAction(tr("Copy as BBS text"), this);
    ActionCopyBbsText->setObjectName(QStringLiteral("ActionCopyBbsText"));
    ActionCopyBbsText->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    for (QAction* action : {ActionCopy, ActionCopyBbsText}) {
        action->setShortcutContext(Qt::WindowShortcut);
        action->setEnabled(false);
        addAction(action);
    }
    connect(ActionCopy, &QAction::triggered, this, &Tansi2html::CopyClick);
    connect(ActionCopyBbsText, &QAction::triggered, this, &Tansi2html::CopyAsBbsTextClick);

    bsSkinMenuSpeedButton_Copy = new QToolButton(parent);
    bsSkinMenuSpeedButton_Copy->setObjectName(QStringLiteral("bsSkinMenuSpeedButton_Copy"));
    bsSkinMenuSpeedButton_Copy->setAutoRaise(true);
    bsSkinMenuSpeedButton_Copy->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    bsSkinMenuSpeedButton_Copy->setMinimumWidth(30);
    bsSkinMenuSpeedButton_Copy->setPopupMode(QToolButton::MenuButtonPopup);
    ActionCopy->setIcon(ToolbarPicture(15));
    bsSkinMenuSpeedButton_Copy->setDefaultAction(ActionCopy);
    auto* menu = new QMenu(bsSkinMenuSpeedButton_Copy);
    menu->addAction(ActionCopy);
    menu->addAction(ActionCopyBbsText);
    bsSkinMenuSpeedButton_Copy->setMenu(menu);
    return bsSkinMenuSpeedButton_Copy;
}

void Tansi2html::EnableCopy(const Tabc& doc) {
    for (QAction* action : {ActionCopy, ActionCopyBbsText}) action->setEnabled(HasText(doc));
}

void Tansi2html::CopyClick() {
    // The read-only text view leaves Ctrl+C to the window, yet its selection is what the user
    // means to copy.
    if (auto* view = qobject_cast<QPlainTextEdit*>(QApplication::focusWidget());
        view && view->textCursor().hasSelection()) {
        view->copy();
        return;
    }
    if (!HasText(abc)) return;
    auto data = std::make_unique<QMimeData>();
    data->setText(JoinedText(abc.FLines, abc.FEncoding));
    data->setData(BytesFormat(abc.FEncoding), JoinedBytes(abc.FLines));
    try {
        TPixelBuffer picture;
        RenderDocumentPicture(abc, picture);
        if (picture.Width > 0 && picture.Height > 0) {
            const QImage image(reinterpret_cast<const uchar*>(picture.Pixels.data()), picture.Width,
                               picture.Height, picture.Width * 4, QImage::Format_RGB32);
            data->setImageData(image.copy());
        }
    } catch (const std::exception& error) {
        // Without its fonts there is no picture, but the text is still worth copying.
        ShowMessage(QString::fromLocal8Bit(error.what()), TMsgType::Error, TMsgButtons::Ok);
    }
    QApplication::clipboard()->setMimeData(data.release());
}

void Tansi2html::CopyAsBbsTextClick() {
    if (!HasText(abc)) return;
    auto data = std::make_unique<QMimeData>();
    // Unicode text cannot split a character; the bytes keep half-coloured ones as they are.
    data->setText(JoinedText(BbsTextLines(abc, true), abc.FEncoding));
    data->setData(BytesFormat(abc.FEncoding), JoinedBytes(BbsTextLines(abc)));
    QApplication::clipboard()->setMimeData(data.release());
}

}  // namespace morvane
