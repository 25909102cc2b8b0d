// The folder history: the last ten folders files were shown from, newest first.
#include <QAction>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QToolButton>

#include "app/filelistbox.h"
#include "guitest.h"

using namespace morvane;

class HistoryTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir FArt;
    QTemporaryDir FOther;
    std::unique_ptr<TTestSettings> FSettings;
    std::unique_ptr<Tansi2html> FWindow;

    static std::string Folder(const QTemporaryDir& dir) {
        return QFile::encodeName(dir.path()).toStdString() + "/";
    }
    QStringList Captions() const {
        QStringList captions;
        for (const QAction* item : FWindow->HistoryItems) captions.append(item->text());
        return captions;
    }

private slots:
    void init() {
        WriteFile(FArt.path(), "a.txt", "a\r\n");
        WriteFile(FArt.path(), "b.txt", "b\r\n");
        WriteFile(FOther.path(), "c.txt", "c\r\n");
        FSettings = std::make_unique<TTestSettings>(kQuietSettings);
        FWindow = OpenWindow(FArt.path());
        QVERIFY(FWindow);
    }

    void cleanup() {
        FWindow.reset();
        FSettings.reset();
    }

    void placeholdersShowAndDoNothing() {
        QCOMPARE(Captions(), (QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9", "0"}));
        FWindow->HistoryItems[0]->trigger();
        FWindow->HistoryItems[9]->trigger();
        QCOMPARE(FWindow->FileListBox1->Directory(), FArt.path());
    }

    void shownFilesFillTheHistoryNewestFirst() {
        QVERIFY(ClickFile(*FWindow, "a.txt"));
        const QString art = FArt.path() + "/";
        QCOMPARE(Captions(), (QStringList{art, "1", "2", "3", "4", "5", "6", "7", "8", "9"}));
        QVERIFY(ClickFile(*FWindow, "b.txt"));
        QCOMPARE(Captions()[0], art);
        QCOMPARE(Captions()[1], QStringLiteral("1"));

        FWindow->SetExplorer(QFile::encodeName(FOther.path() + "/x").toStdString());
        QVERIFY(ClickFile(*FWindow, "c.txt"));
        QCOMPARE(Captions().mid(0, 3), (QStringList{FOther.path() + "/", art, "1"}));
        QCOMPARE(FWindow->FHistory[1], Folder(FArt));
    }

    void choosingAnEntryMovesTheBrowserAndShowsNothing() {
        QVERIFY(ClickFile(*FWindow, "a.txt"));
        FWindow->SetExplorer(QFile::encodeName(FOther.path() + "/x").toStdString());
        QVERIFY(ClickFile(*FWindow, "c.txt"));

        FWindow->HistoryItems[1]->trigger();

        QCOMPARE(FWindow->FileListBox1->Directory(), FArt.path());
        QVERIFY(FWindow->FileListBox1->findItems("a.txt", Qt::MatchExactly).size() == 1);
        QCOMPARE(FWindow->CurrentFile, QFile::encodeName(FOther.path() + "/c.txt").toStdString());
    }

    void aFailedLoadOrAReloadAddsNothing() {
        QVERIFY(QFile::remove(FArt.path() + "/a.txt"));
        TModalWatcher boxes;
        QVERIFY(ClickFile(*FWindow, "a.txt"));
        QCOMPARE(boxes.Texts.size(), 1);
        QCOMPARE(Captions()[0], QStringLiteral("1"));

        QVERIFY(ClickFile(*FWindow, "b.txt"));
        FWindow->SetExplorer(QFile::encodeName(FOther.path() + "/x").toStdString());
        FWindow->bsSkinSpeedButton_ReloadClick();
        QCOMPARE(Captions().mid(0, 2), (QStringList{FArt.path() + "/", "1"}));
    }

    void theOpenDialogAddsItsFolder() {
        QTimer::singleShot(0, [&]() {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->selectFile(FOther.path() + "/c.txt");
            QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
        });
        QTest::mouseClick(FWindow->bsSkinSpeedButton_OpenFile, Qt::LeftButton);
        QCOMPARE(FWindow->FHistory[0], Folder(FOther));
    }
};

MORVANE_GUI_TEST_MAIN(HistoryTest)
#include "history_test.moc"
