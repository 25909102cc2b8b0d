// The viewer's targets from inside the program:
//   startup  the main window as main() makes it, ended once it has been shown and painted;
//   click    file click to painted picture of a fully coloured 80 x 200 document, in ms;
//   rss      resident memory of the idle window before any page, in MB;
//   page     file click to shown HTML page: the first page (which starts the web engine) and
//            the pages after it, and whether the main window was made anew on the way.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlatformSurfaceEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <QtTest>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/ansi2html.h"
#include "app/filelistbox.h"
#include "display/browserpage.h"
#include "display/pictureview.h"
#include "display/showpanel.h"
#include "platform/webengine.h"

using namespace morvane;

namespace {

// Every cell its own colours: 80 rows of 200 cells, each with a fresh SGR sequence.
std::string FullyColouredDocument(int seed) {
    std::string text;
    for (int row = 0; row < 80; ++row) {
        for (int col = 0; col < 200; ++col) {
            const int fg = 30 + (row + col + seed) % 8;
            const int bg = 40 + (row * 3 + col + seed) % 8;
            text += "\x1b[" + std::to_string((col + seed) % 2) + ";" + std::to_string(fg) + ";" +
                    std::to_string(bg) + "m";
            text += static_cast<char>('A' + (row + col) % 26);
        }
        text += "\x1b[m\r\n";
    }
    return text;
}

double ClickToPaintMs(Tansi2html& window, const QString& name) {
    QListWidget* list = window.FileListBox1;
    QListWidgetItem* item = list->findItems(name, Qt::MatchExactly).first();
    const QPoint centre = list->visualItemRect(item).center();
    bool painted = false;
    auto connection = QObject::connect(window.ShowPanel->FPicture, &TPictureView::Painted,
                                       [&painted]() { painted = true; });
    QElapsedTimer timer;
    timer.start();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
    while (!painted) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double ms = timer.nsecsElapsed() / 1e6;
    QObject::disconnect(connection);
    return ms;
}

int Click(Tansi2html& window) {
    QTemporaryDir folder;
    for (int i = 0; i < 2; ++i) {
        QFile file(folder.path() + QStringLiteral("/full%1.txt").arg(i));
        if (!file.open(QIODevice::WriteOnly)) return 1;
        const std::string text = FullyColouredDocument(i);
        file.write(text.data(), static_cast<qint64>(text.size()));
    }
    window.SetExplorer(QFile::encodeName(folder.path() + "/x").toStdString());
    std::vector<double> times;
    for (int run = 0; run < 60; ++run) {
        const double ms = ClickToPaintMs(window, QStringLiteral("full%1.txt").arg(run % 2));
        if (run >= 10) times.push_back(ms);
    }
    std::sort(times.begin(), times.end());
    std::printf("click to painted picture, 80 x 200 fully coloured: median %.2f ms, max %.2f ms\n",
                times[times.size() / 2], times.back());
    return 0;
}

// Counts the times the window's native surface goes, as when the window is made anew.
class TSurfaceWatch : public QObject {
  public:
    int Destroyed = 0;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::PlatformSurface &&
            static_cast<QPlatformSurfaceEvent*>(event)->surfaceEventType() ==
                QPlatformSurfaceEvent::SurfaceAboutToBeDestroyed) {
            ++Destroyed;
        }
        return QObject::eventFilter(watched, event);
    }
};

// A page is shown once it has completed and the view has painted what it drew.
double ClickToPageMs(Tansi2html& window, const QString& name) {
    QListWidget* list = window.FileListBox1;
    QListWidgetItem* item = list->findItems(name, Qt::MatchExactly).first();
    list->scrollToItem(item);
    const QPoint centre = list->visualItemRect(item).center();
    bool shown = false;
    QElapsedTimer timer;
    auto connection =
        QObject::connect(window.ShowPanel.get(), &TShowPanel::PageCompleted, [&window, &shown]() {
            window.ShowPanel->BrowserPage()->ReadGeometry(
                [&shown](const TPageGeometry&) { shown = true; });
        });
    timer.start();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
    while (!shown) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double ms = timer.nsecsElapsed() / 1e6;
    QObject::disconnect(connection);
    return ms;
}

int Page(Tansi2html& window) {
    QTemporaryDir folder;
    for (int i = 0; i < 2; ++i) {
        QFile file(folder.path() + QStringLiteral("/page%1.htm").arg(i));
        if (!file.open(QIODevice::WriteOnly)) return 1;
        file.write(QStringLiteral("<html><body bgcolor=\"#FFFFFF\"><h1>Page %1</h1>"
                                  "<p>Text art gallery, page %1.</p></body></html>")
                       .arg(i)
                       .toUtf8());
    }
    window.SetExplorer(QFile::encodeName(folder.path() + "/x").toStdString());
    // Watched from before the window's first idle moment, when it may make its browser.
    TSurfaceWatch watch;
    window.windowHandle()->installEventFilter(&watch);
    // A user's first click comes a moment after the window is up, as the idle window's is.
    QEventLoop idle;
    QTimer::singleShot(1000, &idle, &QEventLoop::quit);
    idle.exec();
    const double first = ClickToPageMs(window, QStringLiteral("page0.htm"));
    std::vector<double> later;
    for (int run = 1; run <= 20; ++run) {
        later.push_back(ClickToPageMs(window, QStringLiteral("page%1.htm").arg(run % 2)));
    }
    std::sort(later.begin(), later.end());
    const double median = later[later.size() / 2];
    std::printf("click to shown page, first: %.0f ms (target 400 ms, ratio %.2f)\n", first,
                first / 400.0);
    std::printf(
        "click to shown page, later: median %.1f ms, max %.1f ms (target 100 ms, ratio %.2f)\n",
        median, later.back(), median / 100.0);
    std::printf("main window made anew for pages: %s\n", watch.Destroyed ? "yes" : "no");
    return 0;
}

long ResidentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

}  // namespace

int main(int argc, char* argv[]) {
    PrepareWebEngineProcess();
    QApplication app(argc, argv);
    const QString mode = argc > 1 ? QString::fromLatin1(argv[1]) : QStringLiteral("startup");
    Tansi2html window;
    window.PreparePages();
    window.show();
    if (mode == QLatin1String("startup")) {
        QTimer::singleShot(0, &app, &QApplication::quit);
        return QApplication::exec();
    }
    if (!QTest::qWaitForWindowExposed(&window)) return 1;
    if (mode == QLatin1String("click")) return Click(window);
    if (mode == QLatin1String("page")) return Page(window);
    QTimer::singleShot(1000, &app, &QApplication::quit);
    QApplication::exec();
    std::printf("resident memory of the idle window: %.1f MB\n", ResidentKb() / 1024.0);
    return 0;
}
