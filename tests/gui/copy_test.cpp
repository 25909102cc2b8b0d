// Copying art: Ctrl+C puts its picture and its text on the clipboard together, and its BBS text,
// pasted back and read again, is the same art.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QToolButton>

#include "display/pictureview.h"
#include "display/showpanel.h"
#include "guitest.h"
#include "platform/encodedtext.h"

using namespace morvane;

namespace {

const std::string kEsc = "\x1b[";
// "中文 ok" with "中文" in red, then "台灣", in Big5.
const std::string kBig5Art = kEsc + "31m\xA4\xA4\xA4\xE5" + kEsc + "m ok\r\n\xA5\x78\xC6\x57\r\n";

struct TSample {
    const char* Name;
    std::string Bytes;
};

const TSample kSamples[] = {
    {"big5.txt", kBig5Art},
    {"gb.txt", kEsc + "1;33;44m\xD6\xD0\xCE\xC4" + kEsc + "0;32m green " + kEsc +
                   "7mreverse\r\n*[35mbbs\x1b[m plain \xCC\xA8\r\n"},
    {"rich.txt", kEsc + "38;5;208;48;2;1;2;3m\xD6\xD0 256" + kEsc + "22;27;38;2;9;8;7mtrue\r\n"},
    {"plain.txt", "\xD6\xD0\xCE\xC4 no colour\r\n"},
    // The second half of "中" in another colour: the clipboard's Unicode text keeps it whole.
    {"half.txt", kEsc + "31m\xD6" + kEsc + "32m\xD0" + kEsc + "m\xCE\xC4\r\n"},
};

// A cell's colours as drawn: its own when marked, else the document's defaults.
TCellColors Shown(const Tabc& doc, size_t row, size_t cell) {
    if (row < doc.FMarked.size() && cell <= size_t(Tabc::kMaxCols) && doc.FMarked[row][cell])
        return doc.FCells[row][cell];
    return {doc.FDefaultFg, doc.FDefaultBg};
}

// The pasted art has the original's text and, byte by byte, its colours. Text pasted as Unicode
// cannot split a character between two colours, so with wholeCharacters such a character is
// coloured as its first half.
void CompareArt(const Tabc& original, const Tabc& pasted, bool wholeCharacters) {
    QCOMPARE(int(pasted.FEncoding), int(original.FEncoding));
    QCOMPARE(pasted.FLines.size(), original.FLines.size());
    for (size_t r = 0; r < original.FLines.size(); ++r) {
        QVERIFY2(pasted.FLines[r] == original.FLines[r],
                 qPrintable(QStringLiteral("row %1: %2 instead of %3")
                                .arg(r)
                                .arg(QByteArray::fromStdString(pasted.FLines[r]).toHex(' '),
                                     QByteArray::fromStdString(original.FLines[r]).toHex(' '))));
    }
    const size_t cellBytes = original.FWideCells ? 2 : 1;
    for (size_t r = 0; r < original.FMarked.size(); ++r) {
        const std::string& line = original.FLines[r];
        for (size_t i = 0; i < line.size(); ++i) {
            const bool pair = wholeCharacters && cellBytes == 1 && i + 1 < line.size() &&
                              IsDoubleBytePair(std::uint8_t(line[i]), std::uint8_t(line[i + 1]));
            const TCellColors want = Shown(original, r, i / cellBytes + 1);
            for (size_t k = i; k <= (pair ? i + 1 : i); ++k) {
                const TCellColors got = Shown(pasted, r, k / cellBytes + 1);
                QVERIFY2(got.Fg == want.Fg && got.Bg == want.Bg,
                         qPrintable(QStringLiteral("row %1 byte %2").arg(r).arg(k)));
            }
            if (pair) ++i;
        }
    }
}

// Whether Unicode can carry the text at all: no stray byte, no character outside the set's
// common table.
bool SurvivesUnicode(const Tabc& doc) {
    for (const std::string& line : doc.FLines)
        if (EncodeText(doc.FEncoding, DecodeText(doc.FEncoding, line)) != line) return false;
    return true;
}

}  // namespace

class CopyTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir FFolder;
    std::unique_ptr<Tansi2html> FWindow;

    const QMimeData* Clipboard() const { return QApplication::clipboard()->mimeData(); }

    Tabc Reloaded(const std::string& bytes) {
        const QString folder = FFolder.path() + "/pasted";
        QDir().mkpath(folder);
        WriteFile(folder, "pasted.txt", bytes);
        Tabc pasted;
        pasted.LoadFile(QFile::encodeName(folder + "/pasted.txt").toStdString());
        return pasted;
    }

    // Shows folder/name, copies it as BBS text, and reads back both what the clipboard holds:
    // its bytes, and its Unicode text encoded again as a BBS editor does when it is pasted.
    void PasteBack(const QString& folder, const QString& name) {
        FWindow->SetExplorer(QFile::encodeName(folder + "/" + name).toStdString());
        QVERIFY(ClickFile(*FWindow, name));
        const Tabc& original = FWindow->abc;
        QTest::keyClick(FWindow.get(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        const QByteArray bytes = Clipboard()->data(QStringLiteral("text/plain;charset=") +
                                                   CharsetName(original.FEncoding));
        CompareArt(original, Reloaded(bytes.toStdString()), false);
        if (QTest::currentTestFailed()) return;
        if (!SurvivesUnicode(original)) return;
        CompareArt(original, Reloaded(EncodeText(original.FEncoding, Clipboard()->text())), true);
    }

private slots:
    void init() {
        QVERIFY(FFolder.isValid());
        for (const TSample& sample : kSamples) WriteFile(FFolder.path(), sample.Name, sample.Bytes);
        FWindow = OpenWindow(FFolder.path());
        QVERIFY(FWindow);
        QApplication::clipboard()->clear();
    }

    void cleanup() { FWindow.reset(); }

    void copyHoldsThePictureAndTheText() {
        QVERIFY(!FWindow->ActionCopy->isEnabled());
        QVERIFY(ClickFile(*FWindow, "big5.txt"));
        QVERIFY(FWindow->ActionCopy->isEnabled());
        QTest::keyClick(FWindow.get(), Qt::Key_C, Qt::ControlModifier);

        QVERIFY(Clipboard()->hasImage());
        const QImage image = qvariant_cast<QImage>(Clipboard()->imageData());
        const Tabc& doc = FWindow->abc;
        const QSize size(doc.FColCount * 8, doc.FRowCount * 16);
        QCOMPARE(image.size(), size);
        const QImage& shown = FWindow->ShowPanel->FPicture->Image();
        QCOMPARE(image.convertToFormat(QImage::Format_RGB32),
                 shown.copy(QRect(QPoint(), size)).convertToFormat(QImage::Format_RGB32));
        QCOMPARE(Clipboard()->text(), QStringLiteral("中文 ok\n台灣\n"));
        QCOMPARE(Clipboard()->data("text/plain;charset=big5"),
                 QByteArray("\xA4\xA4\xA4\xE5 ok\r\n\xA5\x78\xC6\x57\r\n"));
    }

    void selectionInTheTextViewIsCopiedAlone() {
        QVERIFY(ClickFile(*FWindow, "big5.txt"));
        QTest::mouseClick(FWindow->bsSkinSpeedButton_ViewSource, Qt::LeftButton);
        QPlainTextEdit* view = FWindow->ShowPanel->FTextView;
        view->setFocus();
        QTextCursor cursor = view->textCursor();
        cursor.setPosition(0);
        cursor.setPosition(2, QTextCursor::KeepAnchor);
        view->setTextCursor(cursor);
        QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(Clipboard()->text(), QStringLiteral("中文"));
        QVERIFY(!Clipboard()->hasImage());
    }

    void bbsTextPastesBackAsTheSameArt_data() {
        QTest::addColumn<QString>("name");
        for (const TSample& sample : kSamples) QTest::newRow(sample.Name) << sample.Name;
    }

    void bbsTextPastesBackAsTheSameArt() {
        QFETCH(QString, name);
        PasteBack(FFolder.path(), name);
    }

    void realArtPastesBackAsTheSameArt_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        const QString realart = QStringLiteral(MORVANE_REALART);
        if (!QDir(realart).exists())
            QSKIP(qPrintable(realart + " is not here (the shared folder beside the checkout)"));
        for (const char* encoding : {"gb", "big5"}) {
            const QString folder = realart + "/" + encoding;
            for (const QString& name : QDir(folder).entryList({"*.txt"}, QDir::Files))
                QTest::newRow(qPrintable(name)) << folder << name;
        }
    }

    void realArtPastesBackAsTheSameArt() {
        QFETCH(QString, folder);
        QFETCH(QString, name);
        PasteBack(folder, name);
    }
};

MORVANE_GUI_TEST_MAIN(CopyTest)
#include "copy_test.moc"
