// Delete, rename, launch, copy and move of the file shown, from the window's buttons and menus.
#include <unistd.h>

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QToolButton>

#include "app/filelistbox.h"
#include "guitest.h"

using namespace morvane;

namespace {

const std::string kAnsi = "\x1b[31mred\x1b[m\r\n";
const std::string kPairText = "XY\r\n";
const std::string kPairColours = "1\r\n2\r\n#1\r\n*3\r\n255\r\n8388608\r\n@\r\n";

std::string Read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return "(missing)";
    return file.readAll().toStdString();
}

QStringList Names(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// Picks folder in the folder dialog that the next step opens.
void ChooseFolder(const QString& folder) {
    QTimer::singleShot(0, [folder]() {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialog->setDirectory(folder);
        dialog->selectFile(folder);
        QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
    });
}

// Types text into the input dialog that the next step opens, or cancels it.
void AnswerInput(const QString& text, bool accept = true) {
    QTimer::singleShot(0, [text, accept]() {
        auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialog->setTextValue(text);
        if (accept) {
            dialog->accept();
        } else {
            dialog->reject();
        }
    });
}

}  // namespace

// Environment variables set while it lives; null unsets one.
class TEnvironment {
  public:
    void Set(const char* name, const QByteArray& value) {
        if (!FSaved.contains(name))
            FSaved.insert(name, qEnvironmentVariableIsSet(name)
                                    ? std::optional<QByteArray>(qgetenv(name))
                                    : std::nullopt);
        if (value.isNull()) {
            qunsetenv(name);
        } else {
            qputenv(name, value);
        }
    }
    ~TEnvironment() {
        for (auto saved = FSaved.cbegin(); saved != FSaved.cend(); ++saved) {
            if (saved.value()) {
                qputenv(saved.key().constData(), *saved.value());
            } else {
                qunsetenv(saved.key().constData());
            }
        }
    }

  private:
    QMap<QByteArray, std::optional<QByteArray>> FSaved;
};

class UrlRecorder : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> Opened;
  public slots:
    void open(const QUrl& url) { Opened.append(url); }
};

class FileCommandsTest : public QObject {
    Q_OBJECT
  private:
    // Fresh folders for every test: the art, a destination, and the desktop's data folder.
    std::unique_ptr<QTemporaryDir> FArtDir;
    std::unique_ptr<QTemporaryDir> FOutDir;
    std::unique_ptr<QTemporaryDir> FDataDir;
    std::unique_ptr<TTestSettings> FSettings;
    std::unique_ptr<Tansi2html> FWindow;

    QString ArtPath() const { return FArtDir->path(); }
    QString OutPath() const { return FOutDir->path(); }
    QString Art(const QString& name) const { return ArtPath() + "/" + name; }
    QString Out(const QString& name) const { return OutPath() + "/" + name; }
    std::string Bytes(const QString& path) const { return QFile::encodeName(path).toStdString(); }
    bool Listed(const QString& name) const {
        return !FWindow->FileListBox1->findItems(name, Qt::MatchExactly).isEmpty();
    }
    // Where the desktop's trash keeps a file deleted from the art folder.
    QString Trashed(const QString& name) const {
        const QString home = FDataDir->path() + "/Trash/files/" + name;
        if (QFile::exists(home)) return home;
        return QStorageInfo(ArtPath()).rootPath() + "/.Trash-" + QString::number(getuid()) +
               "/files/" + name;
    }

  private slots:
    void init() {
        FArtDir = std::make_unique<QTemporaryDir>();
        FOutDir = std::make_unique<QTemporaryDir>();
        FDataDir = std::make_unique<QTemporaryDir>();
        QVERIFY(FArtDir->isValid() && FOutDir->isValid() && FDataDir->isValid());
        WriteFile(ArtPath(), "x.txt", kAnsi);
        WriteFile(ArtPath(), "b.txt", "b\r\n");
        WriteFile(ArtPath(), "pair.txt", kPairText);
        WriteFile(ArtPath(), "pair.clo", kPairColours);
        WriteFile(ArtPath(), "lone.clo", "1\r\n1\r\n#1\r\n*1\r\n255\r\n");
        // Deleted files go to a trash of the test's own.
        qputenv("XDG_DATA_HOME", QFile::encodeName(FDataDir->path()));
        FSettings = std::make_unique<TTestSettings>(kQuietSettings);
        FWindow = OpenWindow(ArtPath());
        QVERIFY(FWindow);
    }

    void cleanup() {
        FWindow.reset();
        FSettings.reset();
        for (const char* name : {"x.txt", "pair.clo", "pair.txt"}) {
            if (Trashed(name).contains("/.Trash-")) QFile::remove(Trashed(name));
        }
        FArtDir.reset();
        FOutDir.reset();
        FDataDir.reset();
    }

    void copyToAChosenFolder() {
        QVERIFY(ClickFile(*FWindow, "x.txt"));
        TModalWatcher boxes;
        ChooseFolder(OutPath());
        FWindow->MenuItem_CopytoNewPath->trigger();

        QCOMPARE(boxes.Texts, QStringList{"Done: " + Out("x.txt")});
        QCOMPARE(Read(Out("x.txt")), kAnsi);
        QCOMPARE(Read(Art("x.txt")), kAnsi);
        QCOMPARE(Names(OutPath()), QStringList{"x.txt"});
        QCOMPARE(FWindow->FCopyto[0], Bytes(OutPath()));
        QCOMPARE(FWindow->MenuItem_copyto[0]->text(), OutPath());
        QCOMPARE(FWindow->FMoveto[0], std::string("1"));
    }

    void moveToARecentFolder() {
        FWindow->AddPopMenuCopyto(Bytes(OutPath()), true);
        QVERIFY(ClickFile(*FWindow, "x.txt"));
        const std::string shown = FWindow->CurrentFile;
        TModalWatcher boxes;
        FWindow->MenuItem_Moveto[0]->trigger();

        QCOMPARE(boxes.Texts, QStringList{"Done: " + Out("x.txt")});
        QCOMPARE(Read(Out("x.txt")), kAnsi);
        QVERIFY(!QFile::exists(Art("x.txt")));
        QVERIFY(!Listed("x.txt"));
        QCOMPARE(FWindow->CurrentFile, shown);
        QCOMPARE(FWindow->FMoveto[0], Bytes(OutPath()));
        QCOMPARE(FWindow->FMoveto[1], std::string("1"));
        QCOMPARE(FWindow->FCopyto[0], std::string("1"));
    }

    void colourPairTravelsWhole_data() {
        QTest::addColumn<bool>("isMove");
        QTest::addColumn<QString>("shown");
        QTest::newRow("copy") << false << "pair.clo";
        QTest::newRow("move") << true << "pair.clo";
        QTest::newRow("move, shown by its text") << true << "pair.txt";
    }

    void colourPairTravelsWhole() {
        QFETCH(bool, isMove);
        QFETCH(QString, shown);
        FWindow->AddPopMenuCopyto(Bytes(OutPath()), isMove);
        QVERIFY(ClickFile(*FWindow, shown));
        TModalWatcher boxes;
        (isMove ? FWindow->MenuItem_Moveto : FWindow->MenuItem_copyto)[0]->trigger();

        QCOMPARE(Read(Out("pair.clo")), kPairColours);
        QCOMPARE(Read(Out("pair.txt")), kPairText);
        QCOMPARE(QFile::exists(Art("pair.clo")), !isMove);
        QCOMPARE(QFile::exists(Art("pair.txt")), !isMove);
        // A moved colour document says nothing; a copied one names its colour file.
        QCOMPARE(boxes.Texts, isMove ? QStringList() : QStringList{"Done: " + Out("pair.clo")});
    }

    void aPairShownAsTextForItsBrokenColoursStillTravelsWhole() {
        WriteFile(ArtPath(), "broken.clo", "1\r\n1\r\n#1\r\n*1\r\nred\r\n");
        WriteFile(ArtPath(), "broken.txt", "text\r\n");
        FWindow->FileListBox1->SetDirectory(ArtPath());
        FWindow->AddPopMenuCopyto(Bytes(OutPath()), true);
        TModalWatcher boxes;
        QVERIFY(ClickFile(*FWindow, "broken.clo"));
        QCOMPARE(FWindow->abc.FKind, dkText);
        FWindow->MenuItem_Moveto[0]->trigger();
        QCOMPARE(Names(OutPath()), (QStringList{"broken.clo", "broken.txt"}));
        QVERIFY(!QFile::exists(Art("broken.clo")) && !QFile::exists(Art("broken.txt")));
    }

    void colourFileWithoutTextTravelsAlone() {
        FWindow->AddPopMenuCopyto(Bytes(OutPath()), false);
        QVERIFY(ClickFile(*FWindow, "lone.clo"));
        TModalWatcher boxes;
        FWindow->MenuItem_copyto[0]->trigger();
        QCOMPARE(Names(OutPath()), QStringList{"lone.clo"});
        QCOMPARE(boxes.Texts, QStringList{"Done: " + Out("lone.clo")});
    }

    void ontoAnExistingFile_data() {
        QTest::addColumn<bool>("isMove");
        QTest::addColumn<int>("answer");
        QTest::newRow("copy, no") << false << int(QMessageBox::No);
        QTest::newRow("copy, yes") << false << int(QMessageBox::Yes);
        QTest::newRow("move, no") << true << int(QMessageBox::No);
        QTest::newRow("move, yes") << true << int(QMessageBox::Yes);
    }

    void ontoAnExistingFile() {
        QFETCH(bool, isMove);
        QFETCH(int, answer);
        WriteFile(OutPath(), "x.txt", "theirs");
        FWindow->AddPopMenuCopyto(Bytes(OutPath()), isMove);
        QVERIFY(ClickFile(*FWindow, "x.txt"));
        TModalWatcher boxes;
        boxes.Answers = {answer, QMessageBox::Ok};
        (isMove ? FWindow->MenuItem_Moveto : FWindow->MenuItem_copyto)[0]->trigger();

        const QString question = "This file exists already. Replace it?\n" + Out("x.txt");
        if (answer == QMessageBox::Yes) {
            QCOMPARE(boxes.Texts, (QStringList{question, "Done: " + Out("x.txt")}));
            QCOMPARE(Read(Out("x.txt")), kAnsi);
            QCOMPARE(QFile::exists(Art("x.txt")), !isMove);
        } else {
            const QString failed =
                isMove ? "The file could not be moved to " : "The file could not be copied to ";
            QCOMPARE(boxes.Texts, (QStringList{question, failed + Out("x.txt")}));
            QCOMPARE(Read(Out("x.txt")), std::string("theirs"));
            QCOMPARE(Read(Art("x.txt")), kAnsi);
        }
        QCOMPARE(Names(OutPath()), QStringList{"x.txt"});
    }

    void ontoItselfIsRefused_data() {
        QTest::addColumn<bool>("isMove");
        QTest::newRow("copy") << false;
        QTest::newRow("move") << true;
    }

    void ontoItselfIsRefused() {
        QFETCH(bool, isMove);
        FWindow->AddPopMenuCopyto(Bytes(ArtPath()), isMove);
        QVERIFY(ClickFile(*FWindow, "pair.clo"));
        TModalWatcher boxes;
        (isMove ? FWindow->MenuItem_Moveto : FWindow->MenuItem_copyto)[0]->trigger();

        QCOMPARE(boxes.Texts.size(), 1);
        QVERIFY2(boxes.Texts[0].startsWith((isMove ? "The file could not be moved to "
                                                   : "The file could not be copied to ") +
                                           Art("pair.clo") + "\ncannot"),
                 qPrintable(boxes.Texts[0]));
        QVERIFY(boxes.Texts[0].endsWith("onto itself"));
        QCOMPARE(Read(Art("pair.clo")), kPairColours);
        QCOMPARE(Read(Art("pair.txt")), kPairText);
    }

    void intoAPlaceThatCannotBeWritten() {
        // A file stands where the folder would be.
        const QString blocked = Out("blocked");
        WriteFile(OutPath(), "blocked", "a file");
        FWindow->AddPopMenuCopyto(Bytes(blocked), true);
        QVERIFY(ClickFile(*FWindow, "pair.txt"));
        TModalWatcher boxes;
        FWindow->MenuItem_Moveto[0]->trigger();

        QCOMPARE(boxes.Texts.size(), 1);
        QVERIFY2(boxes.Texts[0].startsWith("The file could not be moved to " + blocked +
                                           "/pair.clo\ncannot write"),
                 qPrintable(boxes.Texts[0]));
        QCOMPARE(Read(Art("pair.clo")), kPairColours);
        QCOMPARE(Read(Art("pair.txt")), kPairText);
        QCOMPARE(Names(OutPath()), QStringList{"blocked"});
        QCOMPARE(FWindow->FMoveto[1], std::string("1"));
    }

    void placeholdersDoNothing() {
        QVERIFY(ClickFile(*FWindow, "x.txt"));
        TModalWatcher boxes;
        FWindow->MenuItem_copyto[0]->trigger();
        FWindow->MenuItem_Moveto[8]->trigger();
        QVERIFY(boxes.Texts.isEmpty());
        QCOMPARE(Names(ArtPath()).size(), 5);
    }

    void aKnownFolderKeepsItsPlaceAndATenthDropsTheOldest() {
        QTemporaryDir other;
        FWindow->AddPopMenuCopyto(Bytes(OutPath()), false);
        FWindow->AddPopMenuCopyto(Bytes(other.path()), false);
        QVERIFY(ClickFile(*FWindow, "x.txt"));
        TModalWatcher boxes;
        FWindow->MenuItem_copyto[1]->trigger();
        QCOMPARE(Read(Out("x.txt")), kAnsi);
        QCOMPARE(FWindow->FCopyto[0], Bytes(other.path()));
        QCOMPARE(FWindow->FCopyto[1], Bytes(OutPath()));

        for (int i = 3; i <= 10; ++i)
            FWindow->AddPopMenuCopyto("/folder" + std::to_string(i), false);
        QCOMPARE(FWindow->FCopyto[0], std::string("/folder10"));
        QCOMPARE(FWindow->FCopyto[8], Bytes(other.path()));
    }

    void renameKeepsTheExtension() {
        QVERIFY(ClickFile(*FWindow, "x.txt"));
        TModalWatcher boxes;
        boxes.Answers = {QMessageBox::Yes};
        AnswerInput("renamed");
        QTest::mouseClick(FWindow->bsSkinSpeedButton_Rename, Qt::LeftButton);

        QCOMPARE(boxes.Texts, QStringList{"Rename the file?"});
        QCOMPARE(Read(Art("renamed.txt")), kAnsi);
        QVERIFY(!QFile::exists(Art("x.txt")));
        QVERIFY(Listed("renamed.txt"));
        QCOMPARE(FWindow->CurrentFile, Bytes(Art("x.txt")));
    }

    void renameOntoAnExistingNameIsRefused() {
        QVERIFY(ClickFile(*FWindow, "x.txt"));
        TModalWatcher boxes;
        boxes.Answers = {QMessageBox::Yes};
        AnswerInput("b");
        FWindow->MenuItem_Rename->trigger();

        QCOMPARE(boxes.Texts.size(), 2);
        QVERIFY2(boxes.Texts[1].startsWith("The file could not be renamed to " + Art("b.txt")),
                 qPrintable(boxes.Texts[1]));
        QCOMPARE(Read(Art("x.txt")), kAnsi);
        QCOMPARE(Read(Art("b.txt")), std::string("b\r\n"));
    }

    void renameCancelledUnchangedOrDeclinedDoesNothing_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<int>("boxCount");
        QTest::newRow("cancelled") << "other" << false << 0;
        QTest::newRow("unchanged") << "x" << true << 0;
        QTest::newRow("empty") << "" << true << 0;
        QTest::newRow("declined") << "other" << true << 1;
        QTest::newRow("with a slash") << "sub/other" << true << 2;
    }

    void renameCancelledUnchangedOrDeclinedDoesNothing() {
        QFETCH(QString, name);
        QFETCH(bool, accept);
        QFETCH(int, boxCount);
        QVERIFY(QDir(ArtPath()).mkdir("sub"));
        QVERIFY(ClickFile(*FWindow, "x.txt"));
        TModalWatcher boxes;
        boxes.Answers = {boxCount == 1 ? int(QMessageBox::No) : int(QMessageBox::Yes)};
        AnswerInput(name, accept);
        FWindow->bsSkinSpeedButton_RenameClick();
        QCOMPARE(boxes.Texts.size(), boxCount);
        QCOMPARE(Names(ArtPath()),
                 (QStringList{"b.txt", "lone.clo", "pair.clo", "pair.txt", "x.txt"}));
        QVERIFY(QDir(ArtPath() + "/sub").isEmpty());
    }

    void renamingAColourDocumentRenamesBothFiles() {
        QVERIFY(ClickFile(*FWindow, "pair.clo"));
        TModalWatcher boxes;
        boxes.Answers = {QMessageBox::Yes};
        AnswerInput("flower");
        FWindow->bsSkinSpeedButton_RenameClick();
        QCOMPARE(Read(Art("flower.clo")), kPairColours);
        QCOMPARE(Read(Art("flower.txt")), kPairText);
        QVERIFY(!QFile::exists(Art("pair.clo")) && !QFile::exists(Art("pair.txt")));
    }

    void deleteMovesTheFileToTheTrash() {
        QVERIFY(ClickFile(*FWindow, "x.txt"));
        TModalWatcher boxes;
        boxes.Answers = {QMessageBox::Yes};
        QTest::mouseClick(FWindow->bsSkinSpeedButton_DelectFile, Qt::LeftButton);

        QCOMPARE(boxes.Texts, QStringList{"Delete \"" + Art("x.txt") + "\"?"});
        QVERIFY(!QFile::exists(Art("x.txt")));
        QVERIFY(!Listed("x.txt"));
        QCOMPARE(Read(Trashed("x.txt")), kAnsi);

        // The file is gone: a second click only disables the button.
        FWindow->bsSkinSpeedButton_DelectFileClick();
        QCOMPARE(boxes.Texts.size(), 1);
        QVERIFY(!FWindow->bsSkinSpeedButton_DelectFile->isEnabled());
    }

    void aNewAccountGetsItsTrashMade() {
        // No ~/.local/share and no XDG_DATA_HOME, as on a fresh account.
        const QString home = FDataDir->path() + "/home";
        QVERIFY(QDir().mkpath(home));
        TEnvironment environment;
        environment.Set("XDG_DATA_HOME", nullptr);
        environment.Set("HOME", QFile::encodeName(home));
        QVERIFY(ClickFile(*FWindow, "x.txt"));
        TModalWatcher boxes;
        boxes.Answers = {QMessageBox::Yes};
        FWindow->bsSkinSpeedButton_DelectFileClick();

        QCOMPARE(boxes.Texts, QStringList{"Delete \"" + Art("x.txt") + "\"?"});
        QVERIFY(!QFile::exists(Art("x.txt")));
        QCOMPARE(Read(home + "/.local/share/Trash/files/x.txt"), kAnsi);
        QCOMPARE(QFile::permissions(home + "/.local/share/Trash"),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser |
                     QFile::WriteUser | QFile::ExeUser);
    }

    void withoutATrashTheQuestionSaysTheFileGoesForGood_data() {
        QTest::addColumn<int>("answer");
        QTest::newRow("no, as Enter answers") << int(QMessageBox::No);
        QTest::newRow("yes") << int(QMessageBox::Yes);
    }

    void withoutATrashTheQuestionSaysTheFileGoesForGood() {
        QFETCH(int, answer);
        // A file stands where the trash's folder would have to be made.
        WriteFile(FDataDir->path(), "blocked", "a file");
        qputenv("XDG_DATA_HOME", QFile::encodeName(FDataDir->path() + "/blocked"));
        // Nor does the file go to a makeshift trash below the working folder.
        const QString working = QDir::currentPath();
        QTemporaryDir elsewhere;
        QVERIFY(QDir::setCurrent(elsewhere.path()));
        QVERIFY(ClickFile(*FWindow, "pair.clo"));
        TModalWatcher boxes;
        boxes.Answers = {answer};
        FWindow->bsSkinSpeedButton_DelectFileClick();
        QDir::setCurrent(working);
        QCOMPARE(boxes.Texts, QStringList{"There is no trash for this file: it will be deleted for "
                                          "good and cannot be got back.\nDelete \"" +
                                          Art("pair.clo") + "\"\n\"" + Art("pair.txt") + "\"?"});
        QCOMPARE(boxes.Defaults, QList<int>{QMessageBox::No});
        QCOMPARE(QFile::exists(Art("pair.clo")), answer == QMessageBox::No);
        QCOMPARE(QFile::exists(Art("pair.txt")), answer == QMessageBox::No);
        QCOMPARE(QDir(elsewhere.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
    }

    void deleteAnsweredNoKeepsTheFile() {
        QVERIFY(ClickFile(*FWindow, "x.txt"));
        TModalWatcher boxes;
        boxes.Answers = {QMessageBox::No};
        FWindow->MenuItem_DelectFile->trigger();
        QCOMPARE(boxes.Texts.size(), 1);
        QCOMPARE(Read(Art("x.txt")), kAnsi);
    }

    void deletingAColourDocumentNamesAndTrashesBothFiles() {
        QVERIFY(ClickFile(*FWindow, "pair.txt"));
        TModalWatcher boxes;
        boxes.Answers = {QMessageBox::Yes};
        FWindow->bsSkinSpeedButton_DelectFileClick();
        QCOMPARE(boxes.Texts,
                 QStringList{"Delete \"" + Art("pair.clo") + "\"\n\"" + Art("pair.txt") + "\"?"});
        QVERIFY(!QFile::exists(Art("pair.clo")) && !QFile::exists(Art("pair.txt")));
        QCOMPARE(Read(Trashed("pair.clo")), kPairColours);
        QCOMPARE(Read(Trashed("pair.txt")), kPairText);
    }

    void launchHandsTheShownFileToTheDesktop() {
        UrlRecorder recorder;
        QDesktopServices::setUrlHandler("file", &recorder, "open");
        FWindow->bsSkinSpeedButton_laugchClick();
        QVERIFY(recorder.Opened.isEmpty());
        QVERIFY(ClickFile(*FWindow, "x.txt"));
        QTest::mouseClick(FWindow->bsSkinSpeedButton_laugch, Qt::LeftButton);
        FWindow->MenuItem_Launch->trigger();
        QDesktopServices::unsetUrlHandler("file");
        QCOMPARE(recorder.Opened, (QList<QUrl>{QUrl::fromLocalFile(Art("x.txt")),
                                               QUrl::fromLocalFile(Art("x.txt"))}));
    }
};

MORVANE_GUI_TEST_MAIN(FileCommandsTest)
#include "filecommands_test.moc"
