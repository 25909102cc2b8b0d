// The main window around the views: start-up state, layout, caption, options, resizing, the
// open dialog and the clean-up at close.
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QToolButton>

#include "app/caption.h"
#include "app/filelistbox.h"
#include "display/showpanel.h"
#include "guitest.h"

using namespace morvane;

namespace {

// Whether the web engine's library is in this process's memory.
bool EngineMapped() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    return !maps.open(QIODevice::ReadOnly) || maps.readAll().contains("libQt6WebEngineCore");
}

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT
private slots:
    void startsShowingNothingWithFavoritesListed() {
        Tansi2html window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QCOMPARE(window.windowTitle(), QStringLiteral("Morvane"));
        QVERIFY(window.CurrentFile.empty());
        QCOMPARE(window.AppDir, QFile::encodeName(QCoreApplication::applicationDirPath() + "/")
                                    .toStdString());
        // A folder of this window's own inside "temp" beside the executable.
        QVERIFY(QString::fromStdString(window.TempDir)
                    .startsWith(QString::fromStdString(window.AppDir + "temp/morvane-")));
        QVERIFY(QFile::exists(QString::fromStdString(window.TempDir + "bk.gif")));
        QCOMPARE(window.FileListBox1->Directory(),
                 QCoreApplication::applicationDirPath() + "/Favorites");
        QVERIFY(window.FileListBox1->count() >= 5);
        QVERIFY(window.bsSkinSpeedButton_ViewDefault->isChecked());
        QVERIFY(!window.bsSkinSpeedButton_ViewSource->isChecked());
        QVERIFY(!window.bsSkinPanel_Option->isVisible());
        QVERIFY2(!window.ShowPanel->FBrowser, "the web engine starts with the first page");
        QVERIFY2(!EngineMapped(), "the web engine is loaded with the first page, not before");
    }

    void twoWindowsKeepTheirScratchFilesApartAndRemoveThem() {
        std::string first;
        {
            Tansi2html one;
            Tansi2html two;
            first = one.TempDir;
            QVERIFY(one.TempDir != two.TempDir);
            QVERIFY(QDir(QString::fromStdString(two.TempDir)).exists());
        }
        QVERIFY(!QDir(QString::fromStdString(first)).exists());
    }

    void buttonsStartInTheirPlaceAndState_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("picture");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("history") << "bsSkinMenuSpeedButton_History" << 49 << 1 << true;
        QTest::newRow("rename") << "bsSkinSpeedButton_Rename" << 25 << 14 << false;
        QTest::newRow("about") << "bsSkinSpeedButton_About" << 25 << 4 << true;
        QTest::newRow("option") << "bsSkinSpeedButton_Option" << 25 << 5 << true;
        QTest::newRow("help") << "bsSkinSpeedButton_Help" << 25 << 6 << true;
        QTest::newRow("open") << "bsSkinSpeedButton_OpenFile" << 25 << 0 << true;
        QTest::newRow("reload") << "bsSkinSpeedButton_Reload" << 25 << 18 << false;
        QTest::newRow("save") << "bsSkinMenuSpeedButton_SaveFile" << 45 << 2 << false;
        QTest::newRow("copy to") << "bsSkinMenuSpeedButton_Copyto" << 45 << 15 << false;
        QTest::newRow("move to") << "bsSkinMenuSpeedButton_Moveto" << 45 << 13 << false;
        QTest::newRow("delete") << "bsSkinSpeedButton_DelectFile" << 25 << 12 << false;
        QTest::newRow("send") << "bsSkinSpeedButton_Send" << 25 << 3 << false;
        QTest::newRow("text view") << "bsSkinSpeedButton_ViewSource" << 25 << 8 << true;
        QTest::newRow("default view") << "bsSkinSpeedButton_ViewDefault" << 25 << 7 << true;
        QTest::newRow("word wrap") << "bsSkinSpeedButton_WordWrap" << 25 << 17 << true;
        QTest::newRow("launch") << "bsSkinSpeedButton_laugch" << 25 << 16 << true;
    }

    void buttonsStartInTheirPlaceAndState() {
        QFETCH(QString, name);
        QFETCH(int, width);
        QFETCH(int, picture);
        QFETCH(bool, enabled);
        Tansi2html window;
        auto* button = window.findChild<QToolButton*>(name);
        QVERIFY(button);
        QCOMPARE(button->width(), width);
        QCOMPARE(button->height(), 24);
        QCOMPARE(button->property("picture").toInt(), picture);
        QCOMPARE(button->isEnabled(), enabled);
    }

    void optionsButtonTogglesTheStrip() {
        Tansi2html window;
        window.show();
        QTest::mouseClick(window.bsSkinSpeedButton_Option, Qt::LeftButton);
        QVERIFY(window.bsSkinPanel_Option->isVisible());
        QCOMPARE(window.bsSkinPanel_Option->height(), 34);
        QTest::mouseClick(window.bsSkinSpeedButton_Option, Qt::LeftButton);
        QVERIFY(!window.bsSkinPanel_Option->isVisible());
    }

    void captionKeepsRootAndEndWithinBudget_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QByteArray>("caption");
        const QByteArray path70 = "/" + QByteArray(68, 'a') + "z";
        const QByteArray path71 = "/b" + QByteArray(68, 'a') + "z";
        QTest::newRow("70 bytes fit 640 pixels") << 640 << path70 << path70;
        QTest::newRow("71 bytes do not") << 640 << path71 << "/..." + path71.right(66);
        QTest::newRow("half rounds to even, down") << 644 << path71 << "/..." + path71.right(66);
        QTest::newRow("half rounds to even, up") << 652 << path71 << path71;
        QTest::newRow("no character split")
            << 168 << QByteArray("/ab/\xe4\xb8\xad\xe6\x96\x87.txt")
            << QByteArray("/...\xe6\x96\x87.txt");
    }

    void captionKeepsRootAndEndWithinBudget() {
        QFETCH(int, width);
        QFETCH(QByteArray, path);
        QFETCH(QByteArray, caption);
        QCOMPARE(QByteArray::fromStdString(ShortCaption(path.toStdString(), width)), caption);
    }

    void windowCaptionFollowsWindowWidth() {
        Tansi2html window;
        window.resize(640, 480);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QByteArray path = "/b" + QByteArray(68, 'a') + "z";
        window.SetFormCaption(path.toStdString());
        QCOMPARE(window.windowTitle().toLatin1(),
                 QByteArray::fromStdString(ShortCaption(path.toStdString(), window.frameGeometry().width())));
        QVERIFY(window.windowTitle().startsWith("/..."));
    }

    void shrinkingTheWindowShrinksTheFileListOnly() {
        Tansi2html window;
        window.resize(640, 700);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const int tall = window.FileListBox1->height();

        window.resize(640, 300);
        QCoreApplication::processEvents();
        const int column = window.bsSkinPanel16->height();
        QVERIFY(column - 150 < tall);
        QCOMPARE(window.FileListBox1->height(), column - 150);

        window.resize(640, 800);
        QCoreApplication::processEvents();
        QCOMPARE(window.FileListBox1->height(), column - 150);
    }

    void openDialogMovesBrowserToTheFile() {
        QTemporaryDir folder;
        WriteFile(folder.path(), "art.txt", "\x1b[31mred\x1b[m\r\n");
        Tansi2html window;
        window.show();
        QTimer::singleShot(0, [&]() {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->selectFile(folder.path() + "/art.txt");
            QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
        });

        QTest::mouseClick(window.bsSkinSpeedButton_OpenFile, Qt::LeftButton);

        QCOMPARE(window.CurrentFile, QFile::encodeName(folder.path() + "/art.txt").toStdString());
        QCOMPARE(window.FileListBox1->Directory(), folder.path());
        QCOMPARE(window.FileListBox1->selectedItems().size(), 1);
        QCOMPARE(window.FileListBox1->selectedItems().first()->text(), QStringLiteral("art.txt"));
        QCOMPARE(window.windowTitle(), folder.path() + "/art.txt");
        QCOMPARE(int(window.ShowPanel->FViewMode), int(vmPicture));
        QVERIFY(window.bsSkinSpeedButton_Reload->isEnabled());
    }

    void closingDeletesNumberedPagesUpToTheFirstGap() {
        Tansi2html window;
        const QString temp = QString::fromStdString(window.TempDir);
        for (const char* name : {"Morvane_v1.htm", "Morvane_v2.htm", "Morvane_v4.htm"}) {
            WriteFile(temp, name, "<p>");
        }
        window.show();
        window.close();
        QVERIFY(!QFile::exists(temp + "Morvane_v1.htm"));
        QVERIFY(!QFile::exists(temp + "Morvane_v2.htm"));
        QVERIFY(QFile::remove(temp + "Morvane_v4.htm"));
    }
};

MORVANE_GUI_TEST_MAIN(WindowTest)
#include "window_test.moc"
