// Starts the window, shows the first sample picture and saves a screenshot of the window to the
// PNG file named by the first argument; prints that path. For machines without a display.
#include <QApplication>
#include <QGuiApplication>
#include <QListWidget>
#include <QScreen>
#include <QTimer>
#include <cstdio>

#include "app/ansi2html.h"
#include "app/filelistbox.h"
#include "display/pictureview.h"
#include "display/showpanel.h"
#include "platform/webengine.h"

int main(int argc, char* argv[]) {
    morvane::PrepareWebEngineProcess();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Morvane"));
    const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                    : QStringLiteral("morvane-screenshot.png");

    morvane::Tansi2html window;
    window.show();
    morvane::TFileListBox* list = window.FileListBox1;
    if (list->count() > 0) {
        list->setCurrentRow(0);
        window.FileListBoxExcute();
    }
    // Once the picture has been painted, the screen holds the whole window.
    QObject::connect(window.ShowPanel->FPicture, &morvane::TPictureView::Painted, &app, [&]() {
        QTimer::singleShot(200, &app, [&]() {
            QPixmap shot = window.screen()->grabWindow(0, window.x(), window.y(),
                                                       window.frameGeometry().width(),
                                                       window.frameGeometry().height());
            if (shot.isNull()) shot = window.grab();
            const bool saved = shot.save(output, "PNG");
            std::printf("%s\n", saved ? qPrintable(output) : "");
            QApplication::exit(saved ? 0 : 1);
        });
    }, Qt::SingleShotConnection);
    QTimer::singleShot(20000, &app, []() { QApplication::exit(2); });
    return QApplication::exec();
}
