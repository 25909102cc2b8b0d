// Big5 and GB art in the window: each file's encoding found and shown, chosen by hand for the file
// shown, the text view and the picture following it, and saved files keeping the file's bytes.
#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QToolButton>

#include "display/pictureview.h"
#include "display/raster/cellfont.h"
#include "display/showpanel.h"
#include "guitest.h"
#include "platform/encodedtext.h"
#include "savescript.h"

using namespace morvane;

namespace {

const std::string kEsc = "\x1b[";
// "中文" in red, " ok", then "台灣": in Big5, and the same characters in GB.
const std::string kBig5Text = "\xA4\xA4\xA4\xE5";
const std::string kBig5Second = "\xA5\x78\xC6\x57";
const std::string kGbText = "\xD6\xD0\xCE\xC4";
const std::string kGbSecond = "\xCC\xA8\x9E\xB3";
const std::string kBig5Art = kEsc + "31m" + kBig5Text + kEsc + "m ok\r\n" + kBig5Second + "\r\n";
const std::string kGbArt = kEsc + "31m" + kGbText + kEsc + "m ok\r\n" + kGbSecond + "\r\n";
const QString kShown = QStringLiteral("中文 ok\n台灣");

constexpr int kAutoItem = 0;
constexpr int kGbItem = 1;
constexpr int kBig5Item = 2;

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class EncodingTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir FFolder;
    std::unique_ptr<Tansi2html> FWindow;

    QString Path(const QString& name) const { return FFolder.path() + QLatin1Char('/') + name; }
    QComboBox* Box() const { return FWindow->CbEncoding; }
    QString Text() const { return FWindow->ShowPanel->FTextView->toPlainText(); }
    QImage Picture() const { return FWindow->ShowPanel->FPicture->grab().toImage(); }

    // As the user does: the box stepped through with the arrow keys.
    void Choose(int item) {
        Box()->setFocus();
        while (Box()->currentIndex() != item) {
            QTest::keyClick(Box(), item > Box()->currentIndex() ? Qt::Key_Down : Qt::Key_Up);
        }
    }
    void Save(int tag, const QString& name) {
        TSaveScript script;
        script.Dialog(name);
        for (QAction* item : FWindow->PopupMenu_Save->actions()) {
            if (item->data().toInt() == tag && item != FWindow->LaunchFile) {
                FWindow->MenuItem_txtClick(item);
            }
        }
        QVERIFY2(script.Unexpected.isEmpty(), qPrintable(script.Unexpected.join('\n')));
    }

private slots:
    void init() {
        QVERIFY(FFolder.isValid());
        WriteFile(FFolder.path(), "big5.txt", kBig5Art);
        WriteFile(FFolder.path(), "gb.txt", kGbArt);
        WriteFile(FFolder.path(), "plain5.txt", kBig5Text + " ok\r\n" + kBig5Second + "\r\n");
        WriteFile(FFolder.path(), "page.htm", "<html><body>page</body></html>");
        FWindow = OpenWindow(FFolder.path());
        QVERIFY(FWindow);
        FWindow->LaunchFile->setChecked(false);
    }

    void cleanup() { FWindow.reset(); }

    void eachFileShowsTheEncodingFoundInIt_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("encoding");
        QTest::newRow("big5 picture") << "big5.txt"
                                      << "Auto (Big5)" << int(TEncoding::Big5);
        QTest::newRow("gb picture") << "gb.txt"
                                    << "Auto (GB)" << int(TEncoding::Gb);
        QTest::newRow("big5 plain text") << "plain5.txt"
                                         << "Auto (Big5)" << int(TEncoding::Big5);
    }

    void eachFileShowsTheEncodingFoundInIt() {
        QFETCH(QString, name);
        QFETCH(QString, shown);
        QFETCH(int, encoding);
        QVERIFY(!Box()->isEnabled());
        QVERIFY(ClickFile(*FWindow, name));
        QCOMPARE(int(FWindow->abc.FEncoding), encoding);
        QVERIFY(Box()->isEnabled());
        QCOMPARE(Box()->currentIndex(), kAutoItem);
        QCOMPARE(Box()->currentText(), shown);
        QCOMPARE(Text(), kShown);
    }

    void pageHasNoEncodingToChoose() {
        QVERIFY(ClickFile(*FWindow, "big5.txt"));
        QVERIFY(ClickFile(*FWindow, "page.htm"));
        QVERIFY(!Box()->isEnabled());
        QCOMPARE(Box()->currentText(), QStringLiteral("Auto"));
    }

    void big5PictureIsItsGbTwinsPicture() {
        QVERIFY(ClickFile(*FWindow, "gb.txt"));
        const QImage gb = Picture();
        QVERIFY(ClickFile(*FWindow, "big5.txt"));
        QCOMPARE(Picture(), gb);
    }

    // The first cell pair holds the red Big5 "中": its pixels are the cell font's Big5 glyph.
    void big5GlyphIsDrawnFromTheCellFont() {
        QVERIFY(ClickFile(*FWindow, "big5.txt"));
        const QImage& image = FWindow->ShowPanel->FPicture->Image();
        const TGlyphMask& mask = TCellFont::Shared().Wide(
            TEncoding::Big5, std::uint8_t(kBig5Text[0]), std::uint8_t(kBig5Text[1]));
        QVERIFY(mask != TGlyphMask{});
        const Tabc& doc = FWindow->abc;
        const QRgb fg = SwapRedBlue(doc.FCells[0][1].Fg) & 0xFFFFFF;
        const QRgb bg = SwapRedBlue(doc.FCells[0][1].Bg) & 0xFFFFFF;
        QVERIFY(fg != bg);
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const bool set = (mask[y] >> (15 - x)) & 1;
                QCOMPARE(image.pixel(x, y) & 0xFFFFFF, set ? fg : bg);
            }
        }
    }

    void choiceReadsTheFileAgainInTheChosenEncoding() {
        QVERIFY(ClickFile(*FWindow, "big5.txt"));
        const QImage big5 = Picture();

        Choose(kGbItem);
        QCOMPARE(int(FWindow->abc.FEncoding), int(TEncoding::Gb));
        QCOMPARE(Box()->currentIndex(), kGbItem);
        QCOMPARE(Text(), DecodeText(TEncoding::Gb, kBig5Text) + " ok\n" +
                             DecodeText(TEncoding::Gb, kBig5Second));
        QVERIFY(Picture() != big5);
        QCOMPARE(FWindow->windowTitle(), Path("big5.txt"));

        // The reload button keeps the choice for the file.
        QTest::mouseClick(FWindow->bsSkinSpeedButton_Reload, Qt::LeftButton);
        QCOMPARE(int(FWindow->abc.FEncoding), int(TEncoding::Gb));
        QCOMPARE(Box()->currentIndex(), kGbItem);

        Choose(kAutoItem);
        QCOMPARE(int(FWindow->abc.FEncoding), int(TEncoding::Big5));
        QCOMPARE(Box()->currentText(), QStringLiteral("Auto (Big5)"));
        QCOMPARE(Text(), kShown);
        QCOMPARE(Picture(), big5);
    }

    void anotherFileGoesBackToFindingItsEncoding() {
        QVERIFY(ClickFile(*FWindow, "gb.txt"));
        Choose(kBig5Item);
        QCOMPARE(int(FWindow->abc.FEncoding), int(TEncoding::Big5));

        QVERIFY(ClickFile(*FWindow, "big5.txt"));
        QCOMPARE(Box()->currentText(), QStringLiteral("Auto (Big5)"));
        QVERIFY(ClickFile(*FWindow, "gb.txt"));
        QCOMPARE(int(FWindow->abc.FEncoding), int(TEncoding::Gb));
        QCOMPARE(Box()->currentText(), QStringLiteral("Auto (GB)"));
        QCOMPARE(Text(), kShown);
    }

    // The text and colour files are the file's bytes, whichever encoding the text is read in.
    void savedTextAndColourFilesKeepTheFilesBytes_data() {
        QTest::addColumn<int>("item");
        QTest::newRow("found") << kAutoItem;
        QTest::newRow("chosen wrong") << kGbItem;
    }

    void savedTextAndColourFilesKeepTheFilesBytes() {
        QFETCH(int, item);
        QVERIFY(ClickFile(*FWindow, "big5.txt"));
        Choose(item);
        // Files of their own for each row, which share the folder.
        const QString text = QStringLiteral("text%1.txt").arg(item);
        const QString colour = QStringLiteral("colour%1.").arg(item);
        Save(1, Path(text));
        Save(2, Path(colour + "clo"));
        const QByteArray bytes =
            QByteArray::fromStdString(kBig5Text + " ok\r\n" + kBig5Second + "\r\n");
        QCOMPARE(ReadBytes(Path(text)), bytes);
        // The colour pair's text part, written beside its colours.
        QCOMPARE(ReadBytes(Path(colour + "txt")), bytes);
        QVERIFY(!ReadBytes(Path(colour + "clo")).isEmpty());
    }
};

MORVANE_GUI_TEST_MAIN(EncodingTest)
#include "encoding_test.moc"
