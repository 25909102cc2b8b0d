// The road of a file: clicked or keyed in the file list, loaded, shown in the view its kind
// calls for, and the window brought in line.
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QToolButton>

#include "app/filelistbox.h"
#include "app/noticebar.h"
#include "display/pictureview.h"
#include "display/showpanel.h"
#include "guitest.h"

using namespace morvane;

namespace {

const std::string kEsc = "\x1b[";

// "中" (D6 D0) with its halves in different colours, then a plain line.
const std::string kHalfColoured = kEsc + "31;40m\xd6" + kEsc + "32;44m\xd0" + kEsc + "m\r\nok\r\n";

}  // namespace

class ShowPipelineTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir FFolder;
    std::unique_ptr<Tansi2html> FWindow;

    QString Path(const QString& name) const { return FFolder.path() + QLatin1Char('/') + name; }
    std::string PathBytes(const QString& name) const {
        return QFile::encodeName(Path(name)).toStdString();
    }
    QImage Picture() const { return FWindow->ShowPanel->FPicture->grab().toImage(); }

private slots:
    void init() {
        QVERIFY(FFolder.isValid());
        WriteFile(FFolder.path(), "ansi.txt", kEsc + "1;33;44mAB" + kEsc + "0mcd\r\n");
        WriteFile(FFolder.path(), "half.txt", kHalfColoured);
        WriteFile(FFolder.path(), "plain.txt", "just text\r\nsecond line\r\n");
        WriteFile(FFolder.path(), "pair.txt", "XY\r\n");
        WriteFile(FFolder.path(), "pair.clo", "1\r\n2\r\n#1\r\n*3\r\n255\r\n8388608\r\n@\r\n");
        WriteFile(FFolder.path(), "page.htm", "<html><body><p>page</p></body></html>");
        FWindow = OpenWindow(FFolder.path());
        QVERIFY(FWindow);
    }

    void cleanup() { FWindow.reset(); }

    void clickShowsFileInItsView_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("view");
        QTest::addColumn<int>("launchPicture");
        QTest::addColumn<bool>("sendAndFormats");
        QTest::newRow("coloured text") << "ansi.txt" << int(vmPicture) << 8 << true;
        QTest::newRow("plain text") << "plain.txt" << int(vmText) << 8 << true;
        QTest::newRow("colour pair by its text") << "pair.txt" << int(vmPicture) << 9 << true;
        QTest::newRow("colour pair by its colours") << "pair.clo" << int(vmPicture) << 9 << true;
        QTest::newRow("page") << "page.htm" << int(vmBrowser) << 10 << false;
    }

    void clickShowsFileInItsView() {
        QFETCH(QString, name);
        QFETCH(int, view);
        QFETCH(int, launchPicture);
        QFETCH(bool, sendAndFormats);
        QVERIFY(!FWindow->bsSkinSpeedButton_Reload->isEnabled());

        QVERIFY(ClickFile(*FWindow, name));

        QCOMPARE(FWindow->CurrentFile, PathBytes(name));
        QCOMPARE(FWindow->windowTitle(), Path(name));
        QCOMPARE(int(FWindow->ShowPanel->FViewMode), view);
        QCOMPARE(FWindow->ShowPanel->FPicture->isVisible(), view == vmPicture);
        QCOMPARE(FWindow->ShowPanel->FTextView->isVisible(), view == vmText);
        for (QToolButton* button : {FWindow->bsSkinSpeedButton_DelectFile,
                                    FWindow->bsSkinSpeedButton_Rename,
                                    FWindow->bsSkinMenuSpeedButton_Copyto,
                                    FWindow->bsSkinMenuSpeedButton_Moveto,
                                    FWindow->bsSkinMenuSpeedButton_SaveFile,
                                    FWindow->bsSkinSpeedButton_Reload}) {
            QVERIFY2(button->isEnabled(), qPrintable(button->objectName()));
        }
        QCOMPARE(FWindow->bsSkinSpeedButton_laugch->property("picture").toInt(), launchPicture);
        QCOMPARE(FWindow->bsSkinSpeedButton_Send->isEnabled(), sendAndFormats);
        QCOMPARE(FWindow->MenuItem_gif->isEnabled(), sendAndFormats);
        QCOMPARE(FWindow->MenuItem_clo->isEnabled(), sendAndFormats);
    }

    void pictureShowsCellColours() {
        QVERIFY(ClickFile(*FWindow, "ansi.txt"));
        const Tabc& doc = FWindow->abc;
        QVERIFY(doc.FMarked[0][1]);
        const QImage picture = Picture();
        QCOMPARE(picture.size(), QSize(doc.FColCount * 8, doc.FRowCount * 16));

        const QRgb fg = Rgb(doc.FCells[0][1].Fg);
        const QRgb bg = Rgb(doc.FCells[0][1].Bg);
        QVERIFY(fg != bg);
        int fgCount = 0;
        int bgCount = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 8; ++x) {
                const QRgb pixel = picture.pixel(x, y) & 0xFFFFFF;
                fgCount += pixel == (fg & 0xFFFFFF);
                bgCount += pixel == (bg & 0xFFFFFF);
            }
        }
        QCOMPARE(fgCount + bgCount, 8 * 16);
        QVERIFY(fgCount > 0);
        QVERIFY(bgCount > 0);
        QCOMPARE(QColor(picture.pixel(2 * 8 + 1, 0)), QColor(Rgb(doc.FDefaultBg)));
    }

    void halfColouredCharacterShowsBothHalves() {
        QVERIFY(ClickFile(*FWindow, "half.txt"));
        const Tabc& doc = FWindow->abc;
        const QImage picture = Picture();
        for (int cell : {1, 2}) {
            const QRgb fg = Rgb(doc.FCells[0][cell].Fg) & 0xFFFFFF;
            const QRgb bg = Rgb(doc.FCells[0][cell].Bg) & 0xFFFFFF;
            bool sawBg = false;
            for (int y = 0; y < 16; ++y) {
                for (int x = (cell - 1) * 8; x < cell * 8; ++x) {
                    const QRgb pixel = picture.pixel(x, y) & 0xFFFFFF;
                    QVERIFY2(pixel == fg || pixel == bg, qPrintable(QString::number(x)));
                    sawBg |= pixel == bg;
                }
            }
            QVERIFY(sawBg);
        }
        QVERIFY(Rgb(doc.FCells[0][1].Bg) != Rgb(doc.FCells[0][2].Bg));
    }

    void arrowKeyShowsFileSelectionMovesTo() {
        QVERIFY(ClickFile(*FWindow, "ansi.txt"));
        const int row = FWindow->FileListBox1->currentRow();
        QTest::keyClick(FWindow->FileListBox1, Qt::Key_Down);
        const QString next = FWindow->FileListBox1->item(row + 1)->text();
        QCOMPARE(FWindow->CurrentFile, PathBytes(next));
    }

    void clickOnShownFileKeepsItAndReloadReadsItAgain() {
        QVERIFY(ClickFile(*FWindow, "plain.txt"));
        const QString caption = FWindow->windowTitle();
        WriteFile(FFolder.path(), "plain.txt", "changed\r\n");

        QVERIFY(ClickFile(*FWindow, "plain.txt"));
        QCOMPARE(FWindow->ShowPanel->TextLines().front(), std::string("just text"));

        QTest::mouseClick(FWindow->bsSkinSpeedButton_Reload, Qt::LeftButton);
        QCOMPARE(FWindow->ShowPanel->TextLines(), std::vector<std::string>{"changed"});
        QCOMPARE(FWindow->ShowPanel->FTextView->toPlainText(), QStringLiteral("changed"));
        QCOMPARE(FWindow->windowTitle(), caption);
    }

    void vanishedFileIsReportedAndKeepsThePicture() {
        QVERIFY(ClickFile(*FWindow, "ansi.txt"));
        const QString caption = FWindow->windowTitle();
        QVERIFY(QFile::remove(Path("plain.txt")));
        TModalWatcher boxes;

        QVERIFY(ClickFile(*FWindow, "plain.txt"));

        QCOMPARE(boxes.Texts, QStringList{"File: plain.txt not found"});
        QVERIFY(!FWindow->bsSkinSpeedButton_Reload->isEnabled());
        QVERIFY(!FWindow->bsSkinMenuSpeedButton_SaveFile->isEnabled());
        QCOMPARE(FWindow->windowTitle(), caption);
        QCOMPARE(FWindow->CurrentFile, PathBytes("ansi.txt"));
        QCOMPARE(int(FWindow->ShowPanel->FViewMode), int(vmPicture));

        QTest::mouseClick(FWindow->bsSkinSpeedButton_ViewDefault, Qt::LeftButton);
        QCOMPARE(int(FWindow->ShowPanel->FViewMode), int(vmPicture));
    }

    void colourFileMessageAppearsInMessageBox() {
        WriteFile(FFolder.path(), "broken.clo", "1\r\n1\r\n#1\r\n*1\r\nred\r\n");
        FWindow->FileListBox1->SetDirectory(FFolder.path());
        TModalWatcher boxes;
        QVERIFY(ClickFile(*FWindow, "broken.clo"));
        // The reader says what is wrong and where; the window then says the file did not open.
        const QStringList expected{
            "ColorLoad Error1!\n\"broken.clo\", line 5: a colour number was expected after "
            "\"*1\" (row 1, cell 1), found \"red\".",
            "File: broken.clo Open Error"};
        QCOMPARE(boxes.Texts, expected);
    }

    void unreadableFileIsAnOpenErrorWithItsReason() {
        // Reading /proc/self/mem from its start fails, for root as for anybody.
        QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), Path("unreadable.clo")));
        FWindow->FileListBox1->SetDirectory(FFolder.path());
        TModalWatcher boxes;
        QVERIFY(ClickFile(*FWindow, "unreadable.clo"));
        QCOMPARE(boxes.Texts.size(), 1);
        QVERIFY2(boxes.Texts[0].startsWith("File: unreadable.clo Open Error\ncannot read \""),
                 qPrintable(boxes.Texts[0]));
    }

    void messageBoxesAreTitledWithTheProgramsName() {
        QVERIFY(ClickFile(*FWindow, "ansi.txt"));
        QVERIFY(QFile::remove(Path("plain.txt")));
        TModalWatcher boxes;
        QVERIFY(ClickFile(*FWindow, "plain.txt"));
        QCOMPARE(boxes.Titles, QStringList{"Morvane"});
    }

    void textCutShortByANulByteIsANotice() {
        WriteFile(FFolder.path(), "nul.txt", std::string("\x1b[31mab\0cd\r\n", 11));
        FWindow->FileListBox1->SetDirectory(FFolder.path());
        TModalWatcher boxes;
        QVERIFY(ClickFile(*FWindow, "nul.txt"));
        QVERIFY(boxes.Texts.isEmpty());
        QVERIFY(FWindow->NoticeBar->isVisible());
        QVERIFY2(FWindow->NoticeBar->Text().contains("NUL byte at offset 7"),
                 qPrintable(FWindow->NoticeBar->Text()));
        // The next file starts without it.
        QVERIFY(ClickFile(*FWindow, "plain.txt"));
        QVERIFY(!FWindow->NoticeBar->isVisible());
    }

    void brokenColoursStillShowTheText() {
        WriteFile(FFolder.path(), "broken.txt", "the art\r\n");
        WriteFile(FFolder.path(), "broken.clo", "1\r\n1\r\n#1\r\n*1\r\nred\r\n");
        FWindow->FileListBox1->SetDirectory(FFolder.path());
        TModalWatcher boxes;
        QVERIFY(ClickFile(*FWindow, "broken.txt"));
        QCOMPARE(boxes.Texts.size(), 1);
        QVERIFY(boxes.Texts[0].startsWith("ColorLoad Error1!\n"));
        QCOMPARE(FWindow->abc.FKind, dkText);
        QCOMPARE(int(FWindow->ShowPanel->FViewMode), int(vmText));
        QCOMPARE(FWindow->ShowPanel->FTextView->toPlainText(), QStringLiteral("the art"));
        QVERIFY2(FWindow->NoticeBar->Text().startsWith("The colours could not be read"),
                 qPrintable(FWindow->NoticeBar->Text()));
        QVERIFY(FWindow->bsSkinMenuSpeedButton_SaveFile->isEnabled());
    }

    void reloadingAVanishedFileSaysSoAndClearsTheView() {
        QVERIFY(ClickFile(*FWindow, "ansi.txt"));
        QVERIFY(QFile::remove(Path("ansi.txt")));
        TModalWatcher boxes;
        QTest::mouseClick(FWindow->bsSkinSpeedButton_Reload, Qt::LeftButton);
        QCOMPARE(boxes.Texts, QStringList{"File: ansi.txt not found"});
        QVERIFY(FWindow->CurrentFile.empty());
        QCOMPARE(FWindow->windowTitle(), QStringLiteral("Morvane"));
        QCOMPARE(int(FWindow->ShowPanel->FViewMode), int(vmFallback));
        QVERIFY(FWindow->ShowPanel->FFallbackView->toPlainText().isEmpty());
        QVERIFY(!FWindow->bsSkinSpeedButton_Reload->isEnabled());
    }

    void reloadingAPairWhoseTextWentShowsItsColours() {
        QVERIFY(ClickFile(*FWindow, "pair.clo"));
        QVERIFY(QFile::remove(Path("pair.txt")));
        TModalWatcher boxes;
        QTest::mouseClick(FWindow->bsSkinSpeedButton_Reload, Qt::LeftButton);
        QVERIFY(boxes.Texts.isEmpty());
        QCOMPARE(FWindow->abc.FKind, dkColor);
        QVERIFY(FWindow->abc.FTextPath.empty());
        QVERIFY(FWindow->NoticeBar->Text().contains("has no text part"));
    }

    void unreadableFolderIsANoticeNotAnEmptyList() {
        FWindow->SetExplorer(QFile::encodeName(Path("gone/x")).toStdString());
        QCOMPARE(FWindow->FileListBox1->count(), 0);
        QVERIFY(FWindow->NoticeBar->isVisible());
        QVERIFY2(FWindow->NoticeBar->Text().contains("cannot be read: No such file or directory"),
                 qPrintable(FWindow->NoticeBar->Text()));
    }

    void tallBoardShowsWhole() {
        std::string board;
        for (int i = 0; i < 300; ++i) board += kEsc + "3" + std::to_string(1 + i % 6) + "mrow\r\n";
        WriteFile(FFolder.path(), "board.txt", board);
        FWindow->FileListBox1->SetDirectory(FFolder.path());
        QVERIFY(ClickFile(*FWindow, "board.txt"));
        QCOMPARE(FWindow->ShowPanel->FPicture->size(), QSize(3 * 8, 300 * 16));
        const QImage picture = FWindow->ShowPanel->FPicture->Image();
        bool sawColour = false;
        for (int y = 299 * 16; y < 300 * 16; ++y) {
            for (int x = 0; x < 8; ++x)
                sawColour |= QColor(picture.pixel(x, y)) == QColor(Rgb(0x808000));
        }
        QVERIFY2(sawColour, "the last row is drawn in its colour");
    }

    void emptyListDisablesFileButtons() {
        QVERIFY(ClickFile(*FWindow, "ansi.txt"));
        QTemporaryDir empty;
        FWindow->SetExplorer(QFile::encodeName(empty.path() + "/x").toStdString());
        QCOMPARE(FWindow->FileListBox1->count(), 0);

        QTest::mouseClick(FWindow->FileListBox1->viewport(), Qt::LeftButton);

        QVERIFY(!FWindow->bsSkinSpeedButton_DelectFile->isEnabled());
        QVERIFY(!FWindow->bsSkinSpeedButton_Rename->isEnabled());
        QVERIFY(!FWindow->bsSkinMenuSpeedButton_Copyto->isEnabled());
        QVERIFY(!FWindow->bsSkinMenuSpeedButton_Moveto->isEnabled());
        QVERIFY(FWindow->bsSkinSpeedButton_Reload->isEnabled());
        QCOMPARE(FWindow->CurrentFile, PathBytes("ansi.txt"));
    }

    void textViewButtonShowsColourDocumentAsText() {
        QTest::mouseClick(FWindow->bsSkinSpeedButton_ViewSource, Qt::LeftButton);
        QVERIFY(!FWindow->bsSkinSpeedButton_ViewDefault->isChecked());

        QVERIFY(ClickFile(*FWindow, "ansi.txt"));
        QCOMPARE(int(FWindow->ShowPanel->FViewMode), int(vmText));
        QVERIFY(FWindow->ShowPanel->FTextView->isVisible());
        QCOMPARE(FWindow->ShowPanel->FTextView->toPlainText(), QStringLiteral("ABcd"));
        QCOMPARE(Picture().size(), QSize(32, 16));

        QTest::mouseClick(FWindow->bsSkinSpeedButton_ViewDefault, Qt::LeftButton);
        QVERIFY(!FWindow->bsSkinSpeedButton_ViewSource->isChecked());
        QCOMPARE(int(FWindow->ShowPanel->FViewMode), int(vmPicture));
        QVERIFY(FWindow->ShowPanel->FPicture->isVisible());
    }

    void wordWrapDropsHorizontalScrollBar() {
        QPlainTextEdit* text = FWindow->ShowPanel->FTextView;
        QTest::mouseClick(FWindow->bsSkinSpeedButton_WordWrap, Qt::LeftButton);
        QCOMPARE(text->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QCOMPARE(text->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QVERIFY(FWindow->bsSkinSpeedButton_WordWrap->isChecked());
        QTest::mouseClick(FWindow->bsSkinSpeedButton_WordWrap, Qt::LeftButton);
        QCOMPARE(text->lineWrapMode(), QPlainTextEdit::NoWrap);
        QCOMPARE(text->horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    }

    void pictureFollowsTheMouseDrag() {
        // Larger than the view both ways, so that the picture has room to move.
        const std::string row = kEsc + "33m" + std::string(300, 'x') + "\r\n";
        std::string board;
        for (int i = 0; i < 300; ++i) board += row;
        WriteFile(FFolder.path(), "board.txt", board);
        FWindow->FileListBox1->SetDirectory(FFolder.path());
        QVERIFY(ClickFile(*FWindow, "board.txt"));
        TPictureView* picture = FWindow->ShowPanel->FPicture;
        auto send = [picture](QEvent::Type type, QPoint pos, Qt::MouseButtons buttons) {
            QMouseEvent event(type, pos, picture->mapToGlobal(pos), Qt::LeftButton, buttons,
                              Qt::NoModifier);
            QApplication::sendEvent(picture, &event);
        };
        QCOMPARE(picture->pos(), QPoint(0, 0));

        send(QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton);
        send(QEvent::MouseMove, {12, 12}, Qt::LeftButton);
        QCOMPARE(picture->pos(), QPoint(0, 0));
        QCOMPARE(picture->Tag, 1);
        send(QEvent::MouseMove, {4, 9}, Qt::LeftButton);
        QCOMPARE(picture->pos(), QPoint(-8, -3));
        send(QEvent::MouseButtonRelease, {4, 9}, Qt::NoButton);
        QCOMPARE(picture->Tag, 0);

        send(QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton);
        send(QEvent::MouseMove, {6, 6}, Qt::LeftButton);
        QCOMPARE(picture->pos(), QPoint(-8, -3));
        send(QEvent::MouseMove, {1, 2}, Qt::LeftButton);
        QCOMPARE(picture->pos(), QPoint(-13, -7));
        send(QEvent::MouseButtonRelease, {1, 2}, Qt::NoButton);
    }
};

MORVANE_GUI_TEST_MAIN(ShowPipelineTest)
#include "showpipeline_test.moc"
