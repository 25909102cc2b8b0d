// Blinking art in the window: cells that blink, the Blink command and its setting, and the
// pictures saved of it.
#include <QAction>
#include <QImageReader>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <filesystem>

#include "display/blinker.h"
#include "display/picturearea.h"
#include "display/pictureview.h"
#include "display/raster/picturefile.h"
#include "display/showpanel.h"
#include "guitest.h"

using namespace morvane;

namespace {

// Red "AB" blinks in the second row, after two steady blanks; the first row is steady.
const std::string kBlinkingArt = "steady\r\n  \x1b[5;31mAB\x1b[m\r\n";
const QRect kBlinkingCells(16, 16, 16, 16);
const QRect kSteadyCells(0, 0, 48, 16);

}  // namespace

class BlinkTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir FFolder;
    std::unique_ptr<Tansi2html> FWindow;

    TShowPanel& Panel() const { return *FWindow->ShowPanel; }
    TBlinker& Blinker() const { return *Panel().FBlinker; }
    // What the picture view shows on screen.
    QImage Shot() const {
        return Panel().FPicture->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    static QSet<QRgb> Colours(const QImage& image, QRect rect) {
        QSet<QRgb> colours;
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x)
                colours.insert(image.pixel(x, y) | 0xFF000000u);
        return colours;
    }

    bool WaitForPhase(TBlinkPhase phase) {
        if (Blinker().Phase() == phase) return true;
        QSignalSpy spy(&Blinker(), &TBlinker::PhaseChanged);
        return spy.wait(3 * TBlinker::kHalfPeriodMs) && Blinker().Phase() == phase;
    }

  private slots:
    void initTestCase() {
        QVERIFY(FFolder.isValid());
        WriteFile(FFolder.path(), "blink.ans", kBlinkingArt);
        WriteFile(FFolder.path(), "steady.ans", "\x1b[31mAB\x1b[m\r\n");
    }

    void init() {
        FWindow = OpenWindow(FFolder.path());
        QVERIFY(FWindow);
    }

    void cleanup() { FWindow.reset(); }

    void blinkingCellsBlinkAndTheRestStays() {
        QVERIFY(ClickFile(*FWindow, "blink.ans"));
        QCOMPARE(Panel().FViewMode, vmPicture);
        QVERIFY(Blinker().Running());
        QVERIFY(WaitForPhase(TBlinkPhase::Shown));
        const QImage shown = Shot();
        QVERIFY(Colours(shown, kBlinkingCells).contains(Rgb(0x000080)));
        QVERIFY(WaitForPhase(TBlinkPhase::Hidden));
        const QImage hidden = Shot();
        QCOMPARE(Colours(hidden, kBlinkingCells), QSet<QRgb>{qRgb(0, 0, 0)});
        QCOMPARE(hidden.copy(kSteadyCells), shown.copy(kSteadyCells));
        QVERIFY(WaitForPhase(TBlinkPhase::Shown));
        QCOMPARE(Shot(), shown);
    }

    void steadyArtDoesNotRunATimer() {
        QVERIFY(ClickFile(*FWindow, "steady.ans"));
        QVERIFY(!Blinker().HasBlink());
        QVERIFY(!Blinker().Running());
    }

    void blinkCommandHoldsTheCellsAndIsKept() {
        QVERIFY(ClickFile(*FWindow, "blink.ans"));
        QAction* blink = Panel().FPictureArea->BlinkAction;
        QVERIFY(Panel().FPictureArea->actions().contains(blink));
        QVERIFY(blink->isCheckable() && blink->isChecked());
        QVERIFY(WaitForPhase(TBlinkPhase::Hidden));
        blink->trigger();
        QVERIFY(!Blinker().Running());
        QCOMPARE(Blinker().Phase(), TBlinkPhase::Shown);
        QVERIFY(Colours(Shot(), kBlinkingCells).contains(Rgb(0x000080)));

        // Kept in the settings file and read back by the next window.
        TTestSettings settings("[display]\r\nLaunchFile=0\r\nlanguage=built-in\r\n");
        FWindow = OpenWindow(FFolder.path());
        FWindow->ShowPanel->FPictureArea->BlinkAction->setChecked(false);
        FWindow->close();
        FWindow.reset();
        QVERIFY(settings.Read().find("Blink=0") != std::string::npos);
        FWindow = OpenWindow(FFolder.path());
        QVERIFY(!Panel().FPictureArea->BlinkAction->isChecked());
        QVERIFY(ClickFile(*FWindow, "blink.ans"));
        QVERIFY(!Blinker().Running());
    }

    void savedGifBlinksAndPngShowsTheCells() {
        QVERIFY(ClickFile(*FWindow, "blink.ans"));
        QVERIFY(WaitForPhase(TBlinkPhase::Hidden));
        const QString gif = FFolder.filePath("saved.gif");
        const QString png = FFolder.filePath("saved.png");
        Panel().SavePicture(QFile::encodeName(gif).toStdString(), pfGif);
        Panel().SavePicture(QFile::encodeName(png).toStdString(), pfPng);

        QImageReader animation(gif);
        QVERIFY(animation.supportsAnimation());
        QCOMPARE(animation.imageCount(), 2);
        QCOMPARE(animation.loopCount(), -1);
        const QImage first = animation.read().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(animation.nextImageDelay(), 500);
        const QImage second = animation.read().convertToFormat(QImage::Format_RGB32);
        QVERIFY(Colours(first, kBlinkingCells).contains(Rgb(0x000080)));
        QCOMPARE(Colours(second, kBlinkingCells), QSet<QRgb>{qRgb(0, 0, 0)});

        const QImage still(png);
        QCOMPARE(still.convertToFormat(QImage::Format_RGB32), first);
    }

    void realBlinkingBoardBlinks() {
        const std::string file =
            std::string(MORVANE_REALART) + "/big5/ptt__pttbbs__sample__etc__angel_usage2.txt";
        if (!std::filesystem::exists(file))
            QSKIP("no real art: ../shared/realart is not beside the checkout");
        const QFileInfo info(QString::fromStdString(file));
        FWindow = OpenWindow(info.path());
        QVERIFY(ClickFile(*FWindow, info.fileName()));
        QVERIFY(Blinker().Running());
        QVERIFY(WaitForPhase(TBlinkPhase::Hidden));
        QVERIFY(WaitForPhase(TBlinkPhase::Shown));
    }
};

MORVANE_GUI_TEST_MAIN(BlinkTest)
#include "blink_test.moc"
