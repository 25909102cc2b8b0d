// The save-as command from the window: every format from every kind of document, read back by
// an independent reader; the overwrite question, the refusals, launching the saved file, failed
// writes, the progress window, and the browser's page photographed whole.
#include <unistd.h>

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QImageReader>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>

#include "app/filelistbox.h"
#include "app/progressform.h"
#include "display/pictureview.h"
#include "display/raster/documentpicture.h"
#include "display/showpanel.h"
#include "document/converter.h"
#include "document/textlines.h"
#include "guitest.h"
#include "savescript.h"

using namespace morvane;

namespace {

constexpr int kEngineTimeoutMs = 60000;
// The view resized to the whole page shows it within this, or the pictures differ.
constexpr int kFrameTimeoutMs = 15000;

const std::string kEsc = "\x1b[";
// Red on blue "AB", green on blue "cd", then a full block (U+2588) and " x" in the defaults.
const std::string kColoured = kEsc + "31;44mAB" + kEsc + "32mcd" + kEsc + "m\r\n\xA8\x80 x\r\n";
const std::string kPlain = "plain text\r\n\xA8\x80\xD6\xD0\r\n";
const std::string kPage = "<html><body><p>page</p></body></html>";

// Cells of 50 x 50 pixels, each of its own colour and number, on a page larger than the view
// every way, so that every tile seam crosses some.
std::string GridPage(int columns, int rows, bool standard) {
    std::string cells;
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < columns; ++x) {
            cells += "<div style=\"position:absolute;left:" + std::to_string(x * 50) +
                     "px;top:" + std::to_string(y * 50) + "px;width:50px;height:50px;" +
                     "background:rgb(" + std::to_string(x * 9 % 256) + "," +
                     std::to_string(y * 7 % 256) + "," + std::to_string((x * y) % 256) + ")\">" +
                     std::to_string(x + y * columns) + "</div>";
        }
    }
    return std::string(standard ? "<!DOCTYPE html>" : "") +
           "<html><body style=\"margin:0\"><div style=\"position:relative;width:" +
           std::to_string(columns * 50) + "px;height:" + std::to_string(rows * 50) + "px\">" +
           cells + "</div></body></html>";
}

QImage ReadPicture(const QString& path) {
    if (path.endsWith(QLatin1String(".gif"))) return ReadGifWithGiflib(path);
    return QImage(path).convertToFormat(QImage::Format_RGB32);
}

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The pixels of the saved picture that differ from expected, whose first row and column the
// export turns white.
int Differences(const QImage& saved, const QImage& expected) {
    if (saved.size() != expected.size()) return -1;
    const QImage a = saved.convertToFormat(QImage::Format_RGB32);
    const QImage b = expected.convertToFormat(QImage::Format_RGB32);
    int differences = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* got = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* want = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            const QRgb wanted = x == 0 || y == 0 ? 0xFFFFFF : want[x] & 0xFFFFFF;
            differences += (got[x] & 0xFFFFFF) != wanted;
        }
    }
    return differences;
}

// A small tmpfs of the test's own, unmounted when it goes; empty when it cannot be mounted.
class TSmallDisk {
public:
    explicit TSmallDisk(const QString& path) : FPath(path) {
        QDir().mkpath(path);
        FMounted = QProcess::execute(QStringLiteral("mount"),
                                     {"-t", "tmpfs", "-o", "size=256k", "tmpfs", path}) == 0;
    }
    ~TSmallDisk() {
        if (FMounted) QProcess::execute(QStringLiteral("umount"), {FPath});
    }
    bool Mounted() const { return FMounted; }
    bool MakeReadOnly() {
        return QProcess::execute(QStringLiteral("mount"), {"-o", "remount,ro", FPath}) == 0;
    }

private:
    QString FPath;
    bool FMounted = false;
};

}  // namespace

class SaveAsTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> FFolder;
    std::unique_ptr<Tansi2html> FWindow;
    std::unique_ptr<TLaunchRecorder> FLaunches;

    QString Folder() const { return FFolder->path(); }
    QString Path(const QString& name) const { return Folder() + QLatin1Char('/') + name; }
    std::string PathBytes(const QString& name) const {
        return QFile::encodeName(Path(name)).toStdString();
    }
    QAction* Item(int tag) const {
        for (QAction* item : FWindow->PopupMenu_Save->actions()) {
            if (item->data().toInt() == tag && item != FWindow->LaunchFile) return item;
        }
        return nullptr;
    }
    // Saves with the item of tag under name, typed into the dialog; the script answers the rest.
    void Save(int tag, const QString& name, TSaveScript& script) {
        script.Dialog(name);
        FWindow->MenuItem_txtClick(Item(tag));
    }
    bool Show(const QString& name, bool textView = false) {
        if (textView) QTest::mouseClick(FWindow->bsSkinSpeedButton_ViewSource, Qt::LeftButton);
        return ClickFile(*FWindow, name);
    }
    bool ShowPage(const QString& name) {
        QSignalSpy completed(FWindow->ShowPanel.get(), &TShowPanel::PageCompleted);
        return ClickFile(*FWindow, name) && completed.wait(kEngineTimeoutMs);
    }

private slots:
    void initTestCase() { FLaunches = std::make_unique<TLaunchRecorder>(); }

    void init() {
        FFolder = std::make_unique<QTemporaryDir>();
        QVERIFY(FFolder->isValid());
        WriteFile(Folder(), "coloured.txt", kColoured);
        WriteFile(Folder(), "plain.txt", kPlain);
        WriteFile(Folder(), "pair.txt", "XY\r\n");
        WriteFile(Folder(), "pair.clo", "1\r\n2\r\n#1\r\n*3\r\n255\r\n8388608\r\n@\r\n");
        WriteFile(Folder(), "page.htm", kPage);
        WriteFile(Folder(), "empty.txt", "");
        FWindow = OpenWindow(Folder());
        QVERIFY(FWindow);
        FWindow->LaunchFile->setChecked(false);
        FLaunches->Opened.clear();
    }

    void cleanup() {
        FWindow.reset();
        FFolder.reset();
    }

    void menuHoldsSixFormatsAndTheLaunchSwitch() {
        const QList<QAction*> items = FWindow->PopupMenu_Save->actions();
        QStringList captions;
        for (QAction* item : items) captions.append(item->text());
        QCOMPARE(captions, QStringList({"Text File(.txt)", "Color File(.clo)", "Html File(.htm)",
                                        "Gif File(.gif)", "BMP File(.bmp)", "PNG File(.png)", "",
                                        "Launch Save File"}));
        QCOMPARE(FWindow->MenuItem_png->data().toInt(), 6);
        // On unless the settings say otherwise (these tests' own settings turn it off).
        TTestSettings defaults("\r\n");
        QVERIFY(Tansi2html().LaunchFile->isChecked());
    }

    void dialogProposesTheShownFileWithTheFormatsExtension_data() {
        QTest::addColumn<int>("tag");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("proposed");
        QTest::newRow("text") << 1 << "Text File (*.txt)"
                              << "page.txt";
        QTest::newRow("colour file") << 2 << "Color File (*.clo)"
                                     << "page.clo";
        QTest::newRow("page") << 3 << "Html File (*.htm)"
                              << "page.htm";
        QTest::newRow("gif") << 4 << "GIF File (*.gif)"
                             << "page.gif";
        QTest::newRow("bmp") << 5 << "BMP File (*.bmp)"
                             << "page.bmp";
        QTest::newRow("png") << 6 << "PNG File (*.png)"
                             << "page.png";
    }

    void dialogProposesTheShownFileWithTheFormatsExtension() {
        QFETCH(int, tag);
        QFETCH(QString, filter);
        QFETCH(QString, proposed);
        WriteFile(Folder(), "page.html", kPage);
        FWindow->FileListBox1->SetDirectory(Folder());
        QVERIFY(Show("page.html"));
        FWindow->LaunchFile->setChecked(true);
        TSaveScript script;

        Save(tag, QString(), script);

        QCOMPARE(script.Dialogs.size(), 1);
        QCOMPARE(script.Dialogs[0].Filters, QStringList{filter});
        QCOMPARE(script.Dialogs[0].Selected, QStringList{Path(proposed)});
        QCOMPARE(script.Unexpected, QStringList());
        QCOMPARE(QDir(Folder()).entryList(QDir::Files).size(), 7);
        QCOMPARE(FLaunches->Opened, QList<QUrl>());
    }

    void eachFormatFromEachKindReadsBack_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("textView");
        QTest::addColumn<int>("tag");
        const QStringList extensions{"", "txt", "clo", "htm", "gif", "bmp", "png"};
        for (int tag = 1; tag <= 6; ++tag) {
            const QByteArray ext = extensions[tag].toLatin1();
            QTest::newRow("coloured text, " + ext) << "coloured.txt" << false << tag;
            QTest::newRow("colour pair, " + ext) << "pair.clo" << false << tag;
            QTest::newRow("plain text, " + ext) << "plain.txt" << false << tag;
            QTest::newRow("coloured text in the text view, " + ext)
                << "coloured.txt" << true << tag;
        }
    }

    void eachFormatFromEachKindReadsBack() {
        QFETCH(QString, file);
        QFETCH(bool, textView);
        QFETCH(int, tag);
        QVERIFY(Show(file, textView));
        const Tabc& shown = FWindow->abc;
        const QString ext = QStringList{"", "txt", "clo", "htm", "gif", "bmp", "png"}[tag];
        const QString saved = Path("saved." + ext);
        // What the user sees: the picture, or the text view's lines.
        const QImage picture = FWindow->ShowPanel->FPicture->grab().toImage();
        const std::vector<std::string> lines = FWindow->ShowPanel->TextLines();
        TSaveScript script;

        Save(tag, saved, script);

        QCOMPARE(script.Unexpected.join(" | "), QString());
        QVERIFY(QFile::exists(saved));
        if (ext == "txt") {
            QCOMPARE(ReadBytes(saved).toStdString(), JoinCrLf(lines));
        } else if (ext == "clo" || ext == "htm") {
            Tabc reread;
            QVERIFY(reread.LoadFile(QFile::encodeName(saved).toStdString()));
            QCOMPARE(int(reread.FKind), ext == "clo" ? int(dkColor) : int(dkHtml));
            if (ext == "clo") {
                QCOMPARE(reread.FLines, shown.FLines);
                for (int col = 1; col <= shown.FColCount; ++col) {
                    QCOMPARE(reread.FMarked[0][col], shown.FMarked[0][col]);
                    QCOMPARE(reread.FCells[0][col].Fg, shown.FCells[0][col].Fg);
                    QCOMPARE(reread.FCells[0][col].Bg, shown.FCells[0][col].Bg);
                }
            } else {
                QVERIFY(ReadBytes(saved).contains(shown.FLines[0].substr(0, 1).c_str()));
            }
        } else {
            const QImage read = ReadPicture(saved);
            QVERIFY(!read.isNull());
            if (FWindow->ShowPanel->FViewMode == vmPicture) {
                QCOMPARE(Differences(read, picture), 0);
            } else {
                // The text view's lines 8 x 16 pixels a byte, from (1, 1), in its colours.
                std::size_t longest = 1;
                for (const std::string& line : lines) longest = std::max(longest, line.size());
                QCOMPARE(read.size(), QSize(int(longest) * 8, int(lines.size()) * 16));
                const QPalette palette = FWindow->ShowPanel->FTextView->palette();
                const QRgb ink = palette.color(QPalette::Text).rgb() & 0xFFFFFF;
                const QRgb paper = palette.color(QPalette::Base).rgb() & 0xFFFFFF;
                QCOMPARE(read.pixel(0, 5) & 0xFFFFFF, 0xFFFFFFu);
                QCOMPARE(read.pixel(5, 0) & 0xFFFFFF, 0xFFFFFFu);
                // Paper above the first line's letters, the full block starting the second.
                QCOMPARE(read.pixel(3, 2) & 0xFFFFFF, paper);
                QCOMPARE(read.pixel(8, 25) & 0xFFFFFF, ink);
            }
        }
    }

    void wordWrapSavesTheLinesTheTextViewShows() {
        WriteFile(Folder(), "long.txt", std::string(300, 'x') + "\r\nshort\r\n");
        FWindow->FileListBox1->SetDirectory(Folder());
        QVERIFY(Show("long.txt"));
        QTest::mouseClick(FWindow->bsSkinSpeedButton_WordWrap, Qt::LeftButton);
        QPlainTextEdit* view = FWindow->ShowPanel->FTextView;
        const int shownLines = view->document()->documentLayout()->documentSize().height();
        TSaveScript script;

        Save(6, "wrapped.png", script);

        const QImage read = ReadPicture(Path("wrapped.png"));
        QVERIFY(shownLines > 2);
        QCOMPARE(read.height(), shownLines * 16);
        QVERIFY(read.width() < 300 * 8);
        QVERIFY(read.width() > 5 * 8);
    }

    void pageSavesItsTextCopyAndPicture() {
        QVERIFY(ShowPage("page.htm"));
        TSaveScript script;
        Save(1, Path("saved.txt"), script);
        Save(3, Path("saved.htm"), script);
        Save(6, Path("saved.png"), script);
        QCOMPARE(script.Unexpected, QStringList());
        QCOMPARE(ReadBytes(Path("saved.txt")), QByteArray("page\r\n"));
        QCOMPARE(ReadBytes(Path("saved.htm")).toStdString(), kPage);
        const QImage read = ReadPicture(Path("saved.png"));
        QVERIFY(!read.isNull());
        QCOMPARE(read.pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
    }

    void overwriteAsksAndNoReturnsToTheDialog() {
        QVERIFY(Show("coloured.txt"));
        WriteFile(Folder(), "old.gif", "old");
        const std::string appDir = FWindow->SaveDir;
        TSaveScript script;
        script.Dialog("old.gif").Box(QMessageBox::No).Dialog(QString());
        FWindow->MenuItem_txtClick(FWindow->MenuItem_gif);
        QCOMPARE(script.Dialogs.size(), 2);
        QCOMPARE(script.Boxes,
                 QStringList{QString::fromStdString(FWindow->MsgOverwrite) + Path("old.gif")});
        QCOMPARE(ReadBytes(Path("old.gif")), QByteArray("old"));
        QCOMPARE(FWindow->SaveDir, appDir);

        // Saving a new file in a new folder asks nothing and keeps SaveDir.
        QVERIFY(QDir(Folder()).mkdir("new"));
        Save(4, Path("new/fresh.gif"), script);
        QCOMPARE(script.Boxes.size(), 1);
        QVERIFY(!ReadGifWithGiflib(Path("new/fresh.gif")).isNull());
        QCOMPARE(FWindow->SaveDir, appDir);

        script.Dialog("old.gif").Box(QMessageBox::Yes);
        FWindow->MenuItem_txtClick(FWindow->MenuItem_gif);
        QCOMPARE(script.Boxes.size(), 2);
        QVERIFY(!ReadGifWithGiflib(Path("old.gif")).isNull());
        QCOMPARE(FWindow->SaveDir, PathBytes("x").substr(0, PathBytes("x").size() - 1));
        QCOMPARE(script.Unexpected, QStringList());
    }

    void nameWithoutExtensionGetsTheFormats() {
        QVERIFY(Show("coloured.txt"));
        TSaveScript script;
        Save(6, "noext", script);
        Save(3, "named.v2", script);
        QCOMPARE(script.Unexpected, QStringList());
        QVERIFY(!ReadPicture(Path("noext.png")).isNull());
        QVERIFY(QFile::exists(Path("named.v2")));
    }

    void savingOverTheShownFileOrItsCompanionIsRefused_data() {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("tag");
        QTest::addColumn<QString>("target");
        QTest::newRow("text over itself") << "coloured.txt" << 1 << "coloured.txt";
        QTest::newRow("colour file whose text part is the shown file")
            << "coloured.txt" << 2 << "coloured.clo";
        QTest::newRow("text over the companion of a colour file") << "pair.clo" << 1 << "pair.txt";
        QTest::newRow("picture over the colour file") << "pair.txt" << 6 << "pair.clo";
    }

    void savingOverTheShownFileOrItsCompanionIsRefused() {
        QFETCH(QString, shown);
        QFETCH(int, tag);
        QFETCH(QString, target);
        QVERIFY(Show(shown));
        FWindow->LaunchFile->setChecked(true);
        const QByteArray before = ReadBytes(Path(shown));
        const QByteArray targetBefore = ReadBytes(Path(target));
        TSaveScript script;
        script.Dialog(target).Box(QMessageBox::Ok).Dialog(QString());
        FWindow->MenuItem_txtClick(Item(tag));

        QCOMPARE(script.Dialogs.size(), 2);
        QCOMPARE(script.Boxes.size(), 1);
        QVERIFY2(script.Boxes[0].contains("is the file shown"), qPrintable(script.Boxes[0]));
        QCOMPARE(ReadBytes(Path(shown)), before);
        QCOMPARE(ReadBytes(Path(target)), targetBefore);
        QCOMPARE(FLaunches->Opened, QList<QUrl>());
    }

    void launchesTheSavedFileOnlyWhenChecked() {
        QVERIFY(Show("coloured.txt"));
        TSaveScript script;
        Save(6, "quiet.png", script);
        QCOMPARE(FLaunches->Opened, QList<QUrl>());
        FWindow->LaunchFile->trigger();
        QVERIFY(FWindow->LaunchFile->isChecked());
        Save(6, "launched.png", script);
        QCOMPARE(FLaunches->Opened, QList<QUrl>{QUrl::fromLocalFile(Path("launched.png"))});
        QCOMPARE(script.Unexpected, QStringList());
    }

    void emptyPictureIsNothingToSave() {
        QVERIFY(Show("empty.txt"));
        FWindow->LaunchFile->setChecked(true);
        TSaveScript script;
        script.Dialog("empty.png").Box(QMessageBox::Ok);
        FWindow->MenuItem_txtClick(FWindow->MenuItem_png);
        QCOMPARE(script.Boxes, QStringList{"nothing to save: the picture is empty"});
        QVERIFY(!QFile::exists(Path("empty.png")));
        QCOMPARE(FLaunches->Opened, QList<QUrl>());
    }

    void failedWriteShowsTheErrorAndKeepsTheOldFile_data() {
        QTest::addColumn<bool>("full");
        QTest::newRow("full small disk") << true;
        QTest::newRow("folder that cannot be written") << false;
    }

    void failedWriteShowsTheErrorAndKeepsTheOldFile() {
        QFETCH(bool, full);
        // 200 columns by 80 rows: a BMP of 1600 x 1280 pixels, some 6 MB.
        std::string big;
        for (int row = 0; row < 80; ++row) big += kEsc + "33;41m" + std::string(200, 'M') + "\r\n";
        WriteFile(Folder(), "big.txt", big);
        FWindow->FileListBox1->SetDirectory(Folder());
        QVERIFY(Show("big.txt"));
        TSmallDisk disk(Path("disk"));
        // Root writes into any folder, so a folder it cannot write is a read-only mount.
        if (!disk.Mounted() && (full || geteuid() == 0)) {
            QSKIP("a small or read-only disk needs a tmpfs, which this user cannot mount");
        }
        WriteFile(Path("disk"), "old.bmp", "old");
        QString reason = QStringLiteral("No space left on device");
        if (!full && disk.Mounted()) {
            QVERIFY(disk.MakeReadOnly());
            reason = QStringLiteral("Read-only file system");
        } else if (!full) {
            QVERIFY(QFile::setPermissions(Path("disk"), QFile::ReadOwner | QFile::ExeOwner));
            reason = QStringLiteral("Permission denied");
        }
        const auto writable = qScopeGuard([this]() {
            QFile::setPermissions(Path("disk"), QFile::ReadOwner | QFile::WriteOwner |
                                                    QFile::ExeOwner);
        });
        FWindow->LaunchFile->setChecked(true);
        TSaveScript script;
        script.Dialog(Path("disk/old.bmp")).Box(QMessageBox::Yes).Box(QMessageBox::Ok);

        FWindow->MenuItem_txtClick(FWindow->MenuItem_bmp);

        QCOMPARE(script.Boxes.size(), 2);
        QVERIFY2(script.Boxes[1].contains(Path("disk/old.bmp")) && script.Boxes[1].contains(reason),
                 qPrintable(script.Boxes[1]));
        QCOMPARE(ReadBytes(Path("disk/old.bmp")), QByteArray("old"));
        QCOMPARE(QDir(Path("disk")).entryList(QDir::Files), QStringList{"old.bmp"});
        QCOMPARE(FLaunches->Opened, QList<QUrl>());
    }

    void largeSaveShowsProgressAndASecondSaveWaits() {
        // 600 lines of 300 bytes: the text view drawn at the largest size, 2048 x 8860.
        std::string text;
        for (int i = 0; i < 600; ++i) text += std::string(300, char('a' + i % 26)) + "\r\n";
        WriteFile(Folder(), "long.txt", text);
        FWindow->FileListBox1->SetDirectory(Folder());
        QVERIFY(Show("long.txt"));
        // While the progress window shows, the event loop runs, and the PNG item is clicked.
        int turnsWhileShown = 0;
        QTimer during;
        connect(&during, &QTimer::timeout, [&]() {
            if (!FWindow->ProgressForm1->isVisible()) return;
            if (turnsWhileShown++ == 0) FWindow->MenuItem_png->trigger();
        });
        during.start(0);
        TSaveScript script;

        Save(4, "long.gif", script);
        during.stop();
        QCoreApplication::processEvents();

        QVERIFY(turnsWhileShown > 1);
        QVERIFY(!FWindow->ProgressForm1->isVisible());
        QCOMPARE(script.Dialogs.size(), 1);
        QCOMPARE(script.Unexpected, QStringList());
        QCOMPARE(ReadGifWithGiflib(Path("long.gif")).size(), QSize(2048, 8860));
    }

    void windowClosedDuringASaveClosesOnceItIsWritten() {
        QVERIFY(Show("coloured.txt"));
        // Closed once the picture is being written, which shows the progress window.
        bool closed = false;
        bool openAfterClose = false;
        QTimer closer;
        connect(&closer, &QTimer::timeout, [&]() {
            if (closed || !FWindow->ProgressForm1->isVisible()) return;
            closed = true;
            FWindow->close();
            openAfterClose = FWindow->isVisible();
        });
        closer.start(0);
        TSaveScript script;

        Save(4, "closing.gif", script);

        QVERIFY(closed);
        QVERIFY(openAfterClose);
        QVERIFY(!ReadGifWithGiflib(Path("closing.gif")).isNull());
        QVERIFY(!FWindow->isVisible());
    }

    void converterWritesThePictureTheWindowSaves_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("format");
        for (const char* file : {"coloured.txt", "plain.txt", "pair.clo"}) {
            for (const char* format : {"gif", "bmp", "png"}) {
                QTest::addRow("%s as %s", file, format) << file << format;
            }
        }
    }

    void converterWritesThePictureTheWindowSaves() {
        QFETCH(QString, file);
        QFETCH(QString, format);
        QVERIFY(Show(file));
        TSaveScript script;
        Save(format == "gif" ? 4 : format == "bmp" ? 5 : 6, "window." + format, script);
        QCOMPARE(script.Unexpected, QStringList());

        QTemporaryDir scratch;
        std::string errors;
        const int status = RunConverter(
            {"--to", format.toStdString(), PathBytes(file), "-o", PathBytes("convert." + format)},
            [&errors](const std::string& line) { errors += line; },
            QFile::encodeName(scratch.path() + "/").toStdString(),
            [](const Tabc& doc, const std::string& name, const std::string& path) {
                SaveDocumentPicture(doc, path, *PictureFormatNamed(name));
            });
        QVERIFY2(status == 0, errors.c_str());
        QCOMPARE(ReadBytes(Path("convert." + format)), ReadBytes(Path("window." + format)));
    }

    void captureOfAPageLargerThanTheViewIsThePageAtFullSize_data() {
        QTest::addColumn<bool>("standard");
        QTest::newRow("standards mode") << true;
        QTest::newRow("quirks mode, as old pages are") << false;
    }

    void captureOfAPageLargerThanTheViewIsThePageAtFullSize() {
        QFETCH(bool, standard);
        const int columns = 26;
        const int rows = 44;
        WriteFile(Folder(), "grid.htm", GridPage(columns, rows, standard));
        FWindow->FileListBox1->SetDirectory(Folder());
        QVERIFY(ShowPage("grid.htm"));
        QWidget* view = FWindow->ShowPanel->FBrowser;
        QVERIFY(view->width() < columns * 50 && view->height() < rows * 50);
        TSaveScript script;

        Save(5, "grid.bmp", script);

        QCOMPARE(script.Unexpected, QStringList());
        const QImage saved = ReadPicture(Path("grid.bmp"));
        QCOMPARE(saved.size(), QSize(columns * 50, rows * 50));
        // The same page in a view as large as the page, photographed at once.
        view->setGeometry(0, 0, columns * 50, rows * 50);
        IBrowserPage* page = FWindow->ShowPanel->BrowserPage();
        QTRY_COMPARE_WITH_TIMEOUT(Differences(saved, page->GrabView()), 0, kFrameTimeoutMs);
    }

    void tinyBrowserViewSavesWhatItShows() {
        QVERIFY(ShowPage("page.htm"));
        FWindow->ShowPanel->FBrowser->setGeometry(0, 0, 300, 15);
        TSaveScript script;
        Save(5, "tiny.bmp", script);
        QCOMPARE(script.Unexpected, QStringList());
        QCOMPARE(ReadPicture(Path("tiny.bmp")).size(), QSize(300, 15));
    }

    void realArtSavesInEveryPictureFormat_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        const QString realart = QStringLiteral(MORVANE_REALART "/gb");
        if (!QDir(realart).exists()) QSKIP("../shared/realart is not here");
        for (const QString& folder :
             {realart, QCoreApplication::applicationDirPath() + "/Favorites"}) {
            for (const QString& name : QDir(folder).entryList({"*.txt", "*.clo"}, QDir::Files)) {
                QTest::newRow(qPrintable(name)) << folder << name;
            }
        }
    }

    void realArtSavesInEveryPictureFormat() {
        QFETCH(QString, folder);
        QFETCH(QString, name);
        // Steady cells, so that the view grabbed shows what the still pictures hold (blinking art
        // saves as an animation, checked with the blink tests).
        FWindow->ShowPanel->SetBlinking(false);
        FWindow->SetExplorer(QFile::encodeName(folder + "/" + name).toStdString());
        QVERIFY(ClickFile(*FWindow, name));
        // A picture wider than the drawing surface shows black past it, which is not saved.
        QImage picture;
        if (FWindow->ShowPanel->FViewMode == vmPicture) {
            picture = FWindow->ShowPanel->FPicture->grab().toImage();
            picture =
                picture.copy(picture.rect() & QRect(0, 0, kPictureMaxWidth, kPictureMaxHeight));
        }
        TSaveScript script;
        for (int tag : {4, 5, 6}) {
            const QString saved = Path(
                QStringLiteral("art%1.%2").arg(tag).arg(QStringList{"gif", "bmp", "png"}[tag - 4]));
            Save(tag, saved, script);
            const QImage read = ReadPicture(saved);
            QVERIFY2(!read.isNull(), qPrintable(saved));
            if (!picture.isNull()) QCOMPARE(Differences(read, picture), 0);
        }
        QCOMPARE(script.Unexpected, QStringList());
    }
};

MORVANE_GUI_TEST_MAIN(SaveAsTest)
#include "saveas_test.moc"
