// Thumbnails of a folder of 100 real art files in the real window: the time from the switch to
// every picture shown (target: 1 s), and meanwhile how late the window's event loop answers.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/ansi2html.h"
#include "app/thumbnailview.h"
#include "platform/webengine.h"

using namespace morvane;

namespace {

constexpr int kFiles = 100;
constexpr int kRuns = 5;
// The window is asked every few milliseconds, as a user clicking would.
constexpr int kProbeMs = 5;

struct TRun {
    double AllShownMs = 0;
    std::vector<double> LatenessMs;
};

// A fresh window each run, so nothing comes from the cache.
TRun ShowThumbnails(const QString& folder) {
    Tansi2html window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) std::fprintf(stderr, "window not shown\n");
    window.SetExplorer(QFile::encodeName(folder + "/x").toStdString());
    QCoreApplication::processEvents();

    TRun run;
    QElapsedTimer sincePost;
    bool waiting = false;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(kProbeMs);
    QElapsedTimer sinceTick;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        // How late the tick comes, and how long a posted call then waits for its turn.
        if (sinceTick.isValid())
            run.LatenessMs.push_back(std::max(0.0, sinceTick.nsecsElapsed() / 1e6 - kProbeMs));
        sinceTick.start();
        if (waiting) return;
        waiting = true;
        sincePost.start();
        QMetaObject::invokeMethod(
            &window,
            [&] {
                run.LatenessMs.push_back(sincePost.nsecsElapsed() / 1e6);
                waiting = false;
            },
            Qt::QueuedConnection);
    });

    bool shown = false;
    QObject::connect(window.ThumbnailView, &TThumbnailView::AllShown, [&shown] { shown = true; });
    QElapsedTimer timer;
    probe.start();
    timer.start();
    QTest::mouseClick(window.bsSkinSpeedButton_Thumbnails, Qt::LeftButton);
    while (!shown && window.ThumbnailView->PendingCount() > 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    run.AllShownMs = timer.nsecsElapsed() / 1e6;
    probe.stop();
    if (window.ThumbnailView->count() != kFiles)
        std::fprintf(stderr, "only %d thumbnails listed\n", window.ThumbnailView->count());
    return run;
}

double Percentile(std::vector<double> values, double share) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<size_t>(share * values.size()))];
}

}  // namespace

int main(int argc, char* argv[]) {
    PrepareWebEngineProcess();
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: thumbs_bench REALART\n");
        return 2;
    }
    const QString realart = QString::fromLocal8Bit(argv[1]);
    QStringList sources;
    for (const char* encoding : {"gb", "big5"}) {
        const QDir dir(realart + "/" + encoding);
        for (const QString& name : dir.entryList({"*.txt"}, QDir::Files, QDir::Name))
            sources.append(dir.filePath(name));
    }
    if (sources.isEmpty()) {
        std::printf("skipped: %s holds no real art\n", qPrintable(realart));
        return 0;
    }
    QTemporaryDir folder;
    for (int i = 0; i < kFiles; ++i) {
        const QString& source = sources[i % sources.size()];
        QFile::copy(source, folder.path() + QStringLiteral("/%1_").arg(i, 3, 10, QLatin1Char('0')) +
                                QFileInfo(source).fileName());
    }

    std::vector<double> allShown;
    std::vector<double> lateness;
    for (int i = 0; i < kRuns; ++i) {
        TRun run = ShowThumbnails(folder.path());
        allShown.push_back(run.AllShownMs);
        lateness.insert(lateness.end(), run.LatenessMs.begin(), run.LatenessMs.end());
    }
    const double median = Percentile(allShown, 0.5);
    std::printf(
        "thumbnails of %d real art files (%d distinct), all shown: median %.0f ms, "
        "max %.0f ms over %d runs; ratio to the 1 s target %.2f\n",
        kFiles, static_cast<int>(sources.size()), median,
        *std::max_element(allShown.begin(), allShown.end()), kRuns, median / 1000);
    std::printf(
        "window's answer meanwhile (probe every %d ms): median %.2f ms, 95%% %.2f ms, "
        "max %.2f ms late\n",
        kProbeMs, Percentile(lateness, 0.5), Percentile(lateness, 0.95), Percentile(lateness, 1.0));
    return 0;
}
