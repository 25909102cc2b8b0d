// The folder as thumbnails in place of the file list: a picture of each art file, drawn in the
// background, drawn again when its file changes, and a click shows the file.
#include "display/raster/thumbnail.h"

#include <QListWidget>
#include <QSignalSpy>
#include <QSplitter>
#include <QTemporaryDir>
#include <QToolButton>

#include "app/filelistbox.h"
#include "app/thumbnailview.h"
#include "display/raster/documentpicture.h"
#include "guitest.h"

using namespace morvane;

namespace {

const std::string kEsc = "\x1b[";
const std::string kBig5Art = kEsc + "31m\xA4\xA4\xA4\xE5" + kEsc + "m ok\r\n\xA5\x78\xC6\x57\r\n";
const std::string kGbArt = kEsc + "1;33;44m\xD6\xD0\xCE\xC4" + kEsc + "m gb\r\n";

// The thumbnail the viewer's own picture of the file gives, drawn here in one piece.
QImage Expected(const QString& path) {
    Tabc doc;
    if (!doc.LoadFile(QFile::encodeName(path).toStdString())) return QImage();
    TPixelBuffer picture;
    RenderDocumentPicture(doc, picture);
    const TPixelBuffer thumbnail = ScaleToFit(picture, TThumbnailView::kSize);
    return QImage(reinterpret_cast<const uchar*>(thumbnail.Pixels.data()), thumbnail.Width,
                  thumbnail.Height, thumbnail.Width * 4, QImage::Format_RGB32)
        .copy();
}

}  // namespace

class ThumbnailTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir FFolder;
    std::unique_ptr<Tansi2html> FWindow;

    TThumbnailView* View() const { return FWindow->ThumbnailView; }
    QString Path(const QString& name) const { return FFolder.path() + QLatin1Char('/') + name; }

    bool WaitForAll() {
        if (View()->PendingCount() == 0) return true;
        QSignalSpy shown(View(), &TThumbnailView::AllShown);
        return shown.wait(10000) || View()->PendingCount() == 0;
    }

    QStringList Names() const {
        QStringList names;
        for (int i = 0; i < View()->count(); ++i) names.append(View()->item(i)->text());
        return names;
    }

    QImage Icon(const QString& name) const {
        const QList<QListWidgetItem*> found = View()->findItems(name, Qt::MatchExactly);
        if (found.isEmpty()) return QImage();
        const QIcon icon = found.first()->icon();
        const QList<QSize> sizes = icon.availableSizes();
        return sizes.isEmpty() ? QImage() : icon.pixmap(sizes.first()).toImage();
    }

private slots:
    void init() {
        QVERIFY(FFolder.isValid());
        WriteFile(FFolder.path(), "big5.txt", kBig5Art);
        WriteFile(FFolder.path(), "gb.ans", kGbArt);
        WriteFile(FFolder.path(), "plain.txt", "plain text\r\n");
        // A colour pair: pair.clo with its text pair.txt.
        Tabc pair;
        QVERIFY(pair.LoadFile(QFile::encodeName(Path("gb.ans")).toStdString()));
        pair.SaveColorFile(QFile::encodeName(Path("pair.clo")).toStdString());
        QVERIFY(QFile::exists(Path("pair.txt")));
        WriteFile(FFolder.path(), "empty.txt", "");
        WriteFile(FFolder.path(), "page.htm", "<p>page</p>");
        FWindow = OpenWindow(FFolder.path());
        QVERIFY(FWindow);
    }

    void cleanup() { FWindow.reset(); }

    void buttonSwitchesBetweenListAndThumbnails() {
        QVERIFY(FWindow->FileListBox1->isVisible());
        QVERIFY(!View()->isVisible());
        const int listHeight = FWindow->FileListBox1->height();
        const int columnWidth = FWindow->bsSkinPanel16->width();
        QTest::mouseClick(FWindow->bsSkinSpeedButton_Thumbnails, Qt::LeftButton);
        QVERIFY(View()->isVisible());
        QVERIFY(!FWindow->FileListBox1->isVisible());
        // In the list's place, the column as wide as before.
        QCOMPARE(View()->height(), listHeight);
        QCOMPARE(FWindow->bsSkinPanel16->width(), columnWidth);
        QTest::mouseClick(FWindow->bsSkinSpeedButton_Thumbnails, Qt::LeftButton);
        QVERIFY(FWindow->FileListBox1->isVisible());
        QVERIFY(!View()->isVisible());
    }

    void eachArtFileShowsItsPicture() {
        QTest::mouseClick(FWindow->bsSkinSpeedButton_Thumbnails, Qt::LeftButton);
        QCOMPARE(View()->Folder(), FWindow->FileListBox1->Directory());
        QVERIFY(WaitForAll());
        QCOMPARE(Names(), QStringList({"big5.txt", "empty.txt", "gb.ans", "pair.clo", "pair.txt",
                                       "plain.txt"}));
        for (const char* name : {"big5.txt", "gb.ans", "plain.txt", "pair.clo"}) {
            const QImage expected = Expected(Path(QString::fromLatin1(name)));
            QVERIFY2(!expected.isNull(), qPrintable(name));
            QVERIFY2(std::max(expected.width(), expected.height()) <= TThumbnailView::kSize,
                     qPrintable(name));
            QCOMPARE(Icon(name).convertToFormat(QImage::Format_RGB32), expected);
        }
        // A file without a picture still has its place.
        QVERIFY(!Icon("empty.txt").isNull());
    }

    // Only the changed files are drawn again: the others come from the cache.
    void changedFileIsDrawnAgain_data() {
        QTest::addColumn<QString>("changed");
        QTest::addColumn<QString>("redrawn");
        QTest::newRow("text file") << "big5.txt"
                                   << "big5.txt";
        QTest::newRow("colour pair's text") << "pair.txt"
                                            << "pair.clo";
    }

    void changedFileIsDrawnAgain() {
        QFETCH(QString, changed);
        QFETCH(QString, redrawn);
        QTest::mouseClick(FWindow->bsSkinSpeedButton_Thumbnails, Qt::LeftButton);
        QVERIFY(WaitForAll());
        const int drawn = View()->DrawnCount();
        const QImage before = Icon(redrawn);

        QSignalSpy again(View(), &TThumbnailView::ThumbnailDrawn);
        WriteFile(FFolder.path(), changed, kGbArt + kGbArt);
        QVERIFY(again.wait(10000));
        QVERIFY(WaitForAll());
        QStringList names;
        for (const QList<QVariant>& signal : again) names.append(signal.first().toString());
        QVERIFY2(names.contains(redrawn), qPrintable(names.join(',')));
        QVERIFY(Icon(redrawn) != before);
        QCOMPARE(Icon(redrawn).convertToFormat(QImage::Format_RGB32), Expected(Path(redrawn)));
        // Every other file is unchanged, and comes from the cache.
        for (const QString& name : names)
            QVERIFY2(name == changed || name == redrawn, qPrintable(names.join(',')));
        QVERIFY(View()->DrawnCount() > drawn);
    }

    void switchingBackUsesTheCache() {
        QTest::mouseClick(FWindow->bsSkinSpeedButton_Thumbnails, Qt::LeftButton);
        QVERIFY(WaitForAll());
        const int drawn = View()->DrawnCount();
        QVERIFY(drawn > 0);
        View()->SetFolder(QString());
        QCOMPARE(View()->count(), 0);
        View()->SetFolder(FFolder.path());
        QCOMPARE(View()->PendingCount(), 0);
        QCOMPARE(View()->DrawnCount(), drawn);
        QCOMPARE(Names().size(), 6);
    }

    void clickShowsTheFile() {
        QTest::mouseClick(FWindow->bsSkinSpeedButton_Thumbnails, Qt::LeftButton);
        QVERIFY(WaitForAll());
        const QList<QListWidgetItem*> found = View()->findItems("gb.ans", Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        const QRect place = View()->visualItemRect(found.first());
        QTest::mouseClick(View()->viewport(), Qt::LeftButton, {}, place.center());
        QCOMPARE(FWindow->CurrentFile, QFile::encodeName(Path("gb.ans")).toStdString());
        QCOMPARE(FWindow->FileListBox1->currentItem()->text(), QStringLiteral("gb.ans"));
        QCOMPARE(FWindow->abc.FLines, std::vector<std::string>{"\xD6\xD0\xCE\xC4 gb"});
    }
};

MORVANE_GUI_TEST_MAIN(ThumbnailTest)
#include "thumbnail_test.moc"
