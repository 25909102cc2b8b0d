#include "savescript.h"

#include <gif_lib.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>

namespace morvane {

TSaveScript::TSaveScript() {
    connect(&FTimer, &QTimer::timeout, this, &TSaveScript::Check);
    FTimer.start(5);
}

TSaveScript& TSaveScript::Dialog(const QString& name) {
    FAnswers.append(name);
    return *this;
}

TSaveScript& TSaveScript::Box(QMessageBox::StandardButton button) {
    FAnswers.append(static_cast<int>(button));
    return *this;
}

void TSaveScript::Check() {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
        if (!dialog->isVisible()) return;
        if (FAnswers.isEmpty() || FAnswers.first().typeId() != QMetaType::QString) {
            Unexpected.append(QStringLiteral("dialog"));
            dialog->reject();
            return;
        }
        Dialogs.append(
            {dialog->directory().absolutePath(), dialog->selectedFiles(), dialog->nameFilters()});
        const QString name = FAnswers.takeFirst().toString();
        if (name.isEmpty()) {
            dialog->reject();
            return;
        }
        // As typing a name does, so a file the dialog had selected is not taken instead.
        if (auto* files = dialog->findChild<QAbstractItemView*>(QStringLiteral("listView"))) {
            files->clearSelection();
        }
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(name);
        QMetaObject::invokeMethod(dialog, "accept");
    } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        if (!box->isVisible()) return;
        Boxes.append(box->text());
        if (FAnswers.isEmpty() || FAnswers.first().typeId() != QMetaType::Int) {
            Unexpected.append(box->text());
            box->done(QMessageBox::Ok);
            return;
        }
        box->done(FAnswers.takeFirst().toInt());
    }
}

TLaunchRecorder::TLaunchRecorder() {
    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "Open");
}

TLaunchRecorder::~TLaunchRecorder() { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

void TLaunchRecorder::Open(const QUrl& url) { Opened.append(url); }

QImage ReadGifWithGiflib(const QString& path) {
    int error = 0;
    GifFileType* gif = DGifOpenFileName(QFile::encodeName(path).constData(), &error);
    if (!gif) return {};
    QImage image;
    if (DGifSlurp(gif) == GIF_OK && gif->ImageCount == 1 && gif->SColorMap) {
        const SavedImage& saved = gif->SavedImages[0];
        image = QImage(saved.ImageDesc.Width, saved.ImageDesc.Height, QImage::Format_RGB32);
        const GifByteType* index = saved.RasterBits;
        for (int y = 0; y < image.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x, ++index) {
                const GifColorType& c = gif->SColorMap->Colors[*index];
                row[x] = qRgb(c.Red, c.Green, c.Blue);
            }
        }
    }
    DGifCloseFile(gif, &error);
    return image;
}

}  // namespace morvane
