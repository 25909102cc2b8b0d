// The settings file: read once when the window is made, written once when it closes.
#include <QAction>
#include <QFile>
#include <QScreen>

#include "app/filelistbox.h"
#include "guitest.h"

using namespace morvane;

namespace {

QString Decoded(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string Digits(const std::string& prefix, int count) {
    std::string lines;
    for (int i = 1; i <= count; ++i) {
        lines += prefix + std::to_string(i % 10) + "=" + std::to_string(i % 10) + "\r\n";
    }
    return lines;
}

// What the window keeps of one run, and where.
std::string Remembered(Tansi2html& window) {
    std::string state = window.LanguageName + (window.LaunchFile->isChecked() ? " launch" : "");
    for (const auto* list : {&window.FHistory, &window.FMoveto, &window.FCopyto}) {
        for (const std::string& caption : *list) state += " " + caption;
    }
    return state;
}

}  // namespace

class SettingsTest : public QObject {
    Q_OBJECT
private slots:
    void firstStartMakesTheFileSaysSoAndUsesTheDefaults() {
        TTestSettings settings("");
        QVERIFY(QFile::remove(Decoded(settings.Path())));
        TModalWatcher boxes;
        Tansi2html window;

        QCOMPARE(boxes.Texts.size(), 1);
        QVERIFY2(boxes.Texts[0].contains("a new one was made"), qPrintable(boxes.Texts[0]));
        QVERIFY(boxes.Texts[0].endsWith(Decoded(settings.Path())));
        QCOMPARE(settings.Read(), std::string("\r\n"));
        QCOMPARE(window.SettingsFile, settings.Path());
        QCOMPARE(window.size(), QSize(640, 480));
        QCOMPARE(window.pos(), QPoint(0, 0));
        QVERIFY(window.LaunchFile->isChecked());
        QCOMPARE(window.LanguageName, std::string("GB2312"));
        const QStringList history{"1", "2", "3", "4", "5", "6", "7", "8", "9", "0"};
        for (int i = 0; i < 10; ++i) QCOMPARE(window.HistoryItems[i]->text(), history[i]);
        for (int i = 0; i < 9; ++i) {
            QCOMPARE(window.MenuItem_copyto[i]->text(), history[i]);
            QCOMPARE(window.MenuItem_Moveto[i]->text(), history[i]);
        }
    }

    void valuesAreRead_data() {
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<bool>("launch");
        QTest::addColumn<int>("width");
        QTest::newRow("launch off") << QByteArray("LaunchFile=0") << false << 640;
        QTest::newRow("launch seven") << QByteArray("LaunchFile=7") << true << 640;
        QTest::newRow("hexadecimal width") << QByteArray("window_width=0x300") << true << 768;
        QTest::newRow("width in letters") << QByteArray("window_width=wide") << true << 640;
        QTest::newRow("any letter case")
            << QByteArray("Window_Width=$200\r\nLAUNCHFILE=0") << false << 512;
    }

    void valuesAreRead() {
        QFETCH(QByteArray, display);
        QFETCH(bool, launch);
        QFETCH(int, width);
        TTestSettings settings("[Display]\r\n" + display.toStdString() + "\r\n");
        Tansi2html window;
        QCOMPARE(window.LaunchFile->isChecked(), launch);
        QCOMPARE(window.width(), width);
        QCOMPARE(window.height(), 480);
    }

    void closingAFreshFileWritesEveryKeyInOrder() {
        TTestSettings settings("\r\n");
        {
            Tansi2html window;
            window.show();
            window.close();
        }
        QCOMPARE(settings.Read(),
                 "\r\n[display]\r\nwindow_width=640\r\nwindow_height=480\r\n"
                 "window_left=0\r\nwindow_top=0\r\nlanguage=GB2312\r\n"
                 "LaunchFile=1\r\nBlink=1\r\n[history]\r\n" +
                     Digits("n", 10) + Digits("m", 9) + Digits("c", 9) +
                     "n11=..........\r\nn12=..........\r\n");
    }

    void settingsSurviveARestart() {
        TTestSettings settings("");
        {
            Tansi2html window;
            window.show();
            window.AddPopMenu("/art/bbs/cat.txt");
            window.AddPopMenu("/art/\xe4\xb8\xad/dog.txt");
            window.AddPopMenuCopyto("/out", false);
            window.AddPopMenuCopyto("/moved", true);
            window.LaunchFile->setChecked(false);
            window.LanguageName = "English";
            window.move(30, 40);
            window.resize(500, 400);
            window.close();
        }
        Tansi2html again;
        QCOMPARE(again.FHistory[0], std::string("/art/\xe4\xb8\xad/"));
        QCOMPARE(again.FHistory[1], std::string("/art/bbs/"));
        QCOMPARE(again.FHistory[2], std::string("1"));
        QCOMPARE(again.HistoryItems[0]->text(), QString::fromUtf8("/art/中/"));
        QCOMPARE(again.FCopyto[0], std::string("/out"));
        QCOMPARE(again.FMoveto[0], std::string("/moved"));
        QCOMPARE(again.MenuItem_copyto[0]->text(), QStringLiteral("/out"));
        QVERIFY(!again.LaunchFile->isChecked());
        QCOMPARE(again.LanguageName, std::string("English"));
        QCOMPARE(again.size(), QSize(500, 400));
        QCOMPARE(again.pos(), QPoint(30, 40));
    }

    void aMaximisedWindowKeepsTheStoredGeometry() {
        TTestSettings settings(
            "[display]\r\nwindow_width=500\r\nwindow_height=400\r\nwindow_left=30\r\n"
            "window_top=40\r\n");
        {
            Tansi2html window;
            window.showMaximized();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            window.LanguageName = "English";
            window.AddPopMenu("/art/cat.txt");
            window.close();
        }
        const std::string saved = settings.Read();
        QVERIFY2(saved.find("window_width=500\r\nwindow_height=400\r\nwindow_left=30\r\n"
                            "window_top=40\r\nlanguage=English\r\n") != std::string::npos,
                 saved.c_str());
        QVERIFY(saved.find("n1=/art/\r\n") != std::string::npos);
    }

    void aFileDeletedWhileRunningIsNotMadeAgain() {
        TTestSettings settings("[display]\r\nlanguage=English\r\n");
        TModalWatcher boxes;
        {
            Tansi2html window;
            window.show();
            QVERIFY(QFile::remove(Decoded(settings.Path())));
            window.close();
        }
        QCOMPARE(boxes.Texts.size(), 1);
        QVERIFY2(boxes.Texts[0].contains("not saved"), qPrintable(boxes.Texts[0]));
        QVERIFY(!QFile::exists(Decoded(settings.Path())));
    }

    void unknownLinesCommentsAndGb2312BytesSurviveTheWrite() {
        // A folder named in GB2312 ("中文"), as a file from another machine may hold.
        const std::string gbFolder = "/art/\xD6\xD0\xCE\xC4/";
        const std::string before =
            "; kept as it is\r\n[Display]\r\nodd line\r\nlanguage = GB2312\r\n"
            "\r\n[mine]\r\nn1=not ours\r\n[History]\r\nn1=" +
            gbFolder + "\r\n# note\r\n";
        TTestSettings settings(before);
        {
            Tansi2html window;
            QCOMPARE(window.FHistory[0], gbFolder);
            window.show();
            window.close();
        }
        const std::string after = settings.Read();
        for (const std::string& kept :
             {std::string("; kept as it is\r\n[Display]\r\n"), std::string("odd line\r\n"),
              std::string("language = GB2312\r\n"), std::string("\r\n[mine]\r\nn1=not ours\r\n"),
              "[History]\r\nn1=" + gbFolder + "\r\n", std::string("# note\r\n")}) {
            QVERIFY2(after.find(kept) != std::string::npos, kept.c_str());
        }
    }

    void aSettingsFileThatCannotBeMadeIsToldOnceAndTheWindowStillWorks() {
        TTestSettings settings("");
        const QString blocker = Decoded(settings.Path());
        // A file where the settings folder would have to be.
        Tansi2html::SetSettingsFile(settings.Path() + "/morvane/morvane.ini");
        TModalWatcher boxes;
        {
            Tansi2html window;
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            window.close();
        }
        QCOMPARE(boxes.Texts.size(), 1);
        QVERIFY2(boxes.Texts[0].startsWith("The settings cannot be kept"),
                 qPrintable(boxes.Texts[0]));
        QCOMPARE(settings.Read(), std::string());
    }

    void aPositionOffEveryScreenComesBackToThePrimaryScreen() {
        TTestSettings settings("[display]\r\nwindow_left=30000\r\nwindow_top=-30000\r\n");
        Tansi2html window;
        QCOMPARE(window.pos(), QGuiApplication::primaryScreen()->availableGeometry().topLeft());
        QCOMPARE(window.width(), 640);
    }

    void aWindowWithoutChangesLeavesTheFileUntouched() {
        TTestSettings settings("");
        {
            Tansi2html window;
            window.show();
            window.close();
        }
        const std::string written = settings.Read();
        QFile::setPermissions(Decoded(settings.Path()), QFileDevice::ReadOwner);
        TModalWatcher boxes;
        {
            Tansi2html window;
            QCOMPARE(Remembered(window), std::string("GB2312 launch 1 2 3 4 5 6 7 8 9 0 1 2 3 4 5 "
                                                     "6 7 8 9 1 2 3 4 5 6 7 8 9"));
            window.show();
            window.close();
        }
        QCOMPARE(settings.Read(), written);
        QVERIFY(boxes.Texts.isEmpty());
    }
};

MORVANE_GUI_TEST_MAIN(SettingsTest)
#include "settings_test.moc"
