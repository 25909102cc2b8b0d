// The picture scrolled, dragged and zoomed in the window, and the text views laid out in the
// picture's cell fonts so that their columns fall where the picture's do.
#include "display/pictureview.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QFontInfo>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>
#include <QWheelEvent>

#include "display/cellfonthighlighter.h"
#include "display/picturearea.h"
#include "display/showpanel.h"
#include "guitest.h"
#include "platform/gbtext.h"

using namespace morvane;

namespace {

const std::string kEsc = "\x1b[";

// rows lines of columns bytes each, in colours that change every few cells.
std::string Board(int columns, int rows) {
    std::string board;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; c += 5) {
            board += kEsc + "3" + std::to_string(1 + (r + c) % 7) + ";4" +
                     std::to_string((r + c / 5) % 8) + "m";
            board += std::string(std::min(5, columns - c), static_cast<char>('A' + (r + c) % 26));
        }
        board += "\r\n";
    }
    return board;
}

// The x of each character boundary of a GB line in its cells: a double-byte pair is two cells.
QList<int> CellEdges(const QByteArray& bytes) {
    QList<int> edges{0};
    for (int i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const bool pair = i + 1 < bytes.size() && lead >= 0x81 && lead <= 0xFE &&
                          static_cast<unsigned char>(bytes[i + 1]) >= 0x40;
        i += pair ? 2 : 1;
        edges.append(i * 8);
    }
    return edges;
}

}  // namespace

class PictureViewTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir FFolder;
    std::unique_ptr<Tansi2html> FWindow;

    TPictureArea* Area() const { return FWindow->ShowPanel->FPictureArea; }
    TPictureView* Picture() const { return FWindow->ShowPanel->FPicture; }
    QScrollBar* Across() const { return Area()->horizontalScrollBar(); }
    QScrollBar* Down() const { return Area()->verticalScrollBar(); }
    QPoint Scroll() const { return {Across()->value(), Down()->value()}; }

    bool Show(const QString& name) {
        if (!ClickFile(*FWindow, name)) return false;
        return FWindow->ShowPanel->FViewMode == vmPicture && Area()->isVisible();
    }

    // A wheel turn over the view at pos (viewport coordinates), where the picture passes it on.
    void Wheel(QPoint angle, Qt::KeyboardModifiers modifiers, QPoint pos = {10, 10}) {
        QWidget* viewport = Area()->viewport();
        QWheelEvent event(pos, viewport->mapToGlobal(pos), {}, angle, Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &event);
    }

    void Mouse(QEvent::Type type, QPoint pos, Qt::MouseButtons buttons) {
        QMouseEvent event(type, pos, Picture()->mapToGlobal(pos), Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(Picture(), &event);
    }

    // Clicks the picture, which gives the keyboard to the picture's area.
    bool FocusPicture() {
        QTest::mouseClick(Picture(), Qt::LeftButton, {}, {5, 5});
        return QApplication::focusWidget() == Area();
    }

private slots:
    void initTestCase() {
        QApplication::setWheelScrollLines(3);
        QVERIFY(FFolder.isValid());
        WriteFile(FFolder.path(), "board.txt", Board(250, 300));
        WriteFile(FFolder.path(), "narrow.txt", Board(20, 3));
        WriteFile(FFolder.path(), "narrowtall.txt", Board(20, 300));
    }

    void init() {
        FWindow = OpenWindow(FFolder.path());
        QVERIFY(FWindow);
        FWindow->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(FWindow.get()));
    }

    void cleanup() { FWindow.reset(); }

    void keysAndWheelScroll_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QPoint>("wheel");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QPoint>("moved");
        QTest::addColumn<QPoint>("pages");
        QTest::addColumn<int>("edge");
        const QPoint none;
        QTest::newRow("Down") << int(Qt::Key_Down) << none << 0 << QPoint(0, 16) << none << 0;
        QTest::newRow("Up") << int(Qt::Key_Up) << none << 0 << QPoint(0, -16) << none << 0;
        QTest::newRow("Right") << int(Qt::Key_Right) << none << 0 << QPoint(16, 0) << none << 0;
        QTest::newRow("Left") << int(Qt::Key_Left) << none << 0 << QPoint(-16, 0) << none << 0;
        QTest::newRow("Page Down")
            << int(Qt::Key_PageDown) << none << 0 << none << QPoint(0, 1) << 0;
        QTest::newRow("Page Up") << int(Qt::Key_PageUp) << none << 0 << none << QPoint(0, -1) << 0;
        QTest::newRow("Home") << int(Qt::Key_Home) << none << 0 << none << none << -1;
        QTest::newRow("End") << int(Qt::Key_End) << none << 0 << none << none << 1;
        QTest::newRow("wheel down a notch")
            << 0 << QPoint(0, -120) << 0 << QPoint(0, 48) << none << 0;
        QTest::newRow("wheel up a notch")
            << 0 << QPoint(0, 120) << 0 << QPoint(0, -48) << none << 0;
        QTest::newRow("wheel down half a notch")
            << 0 << QPoint(0, -60) << 0 << QPoint(0, 24) << none << 0;
        QTest::newRow("Shift+wheel down goes right")
            << 0 << QPoint(0, -120) << int(Qt::ShiftModifier) << QPoint(48, 0) << none << 0;
        QTest::newRow("Shift+wheel up goes left")
            << 0 << QPoint(0, 120) << int(Qt::ShiftModifier) << QPoint(-48, 0) << none << 0;
        QTest::newRow("sideways wheel") << 0 << QPoint(-120, 0) << 0 << QPoint(48, 0) << none << 0;
    }

    void keysAndWheelScroll() {
        QFETCH(int, key);
        QFETCH(QPoint, wheel);
        QFETCH(int, modifiers);
        QFETCH(QPoint, moved);
        QFETCH(QPoint, pages);
        QFETCH(int, edge);
        QVERIFY(Show("board.txt"));
        QVERIFY(FocusPicture());
        const QPoint start(320, 640);
        Area()->MovePicture(-start);
        QCOMPARE(Scroll(), start);

        if (key != 0) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(key),
                            Qt::KeyboardModifiers(modifiers));
        } else {
            Wheel(wheel, Qt::KeyboardModifiers(modifiers));
        }

        QPoint expected = start + moved;
        expected += QPoint(pages.x() * Across()->pageStep(), pages.y() * Down()->pageStep());
        if (edge != 0) expected.setY(edge < 0 ? 0 : Down()->maximum());
        QCOMPARE(Scroll(), expected);
        QCOMPARE(Picture()->pos(), -expected);
        QCOMPARE(Area()->Zoom(), 1);
    }

    void dragStopsAtThePicturesEdges_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("zoom");
        QTest::addColumn<QPoint>("drag");
        // Per axis: -1 the picture's far edge at the view's, 1 its near edge, 0 where it was.
        QTest::addColumn<QPoint>("edge");
        for (int zoom : {1, 2}) {
            const QString z = QStringLiteral(", zoom %1").arg(zoom);
            QTest::addRow("far right%s", qPrintable(z))
                << "board.txt" << zoom << QPoint(5000, 0) << QPoint(1, 0);
            QTest::addRow("far left%s", qPrintable(z))
                << "board.txt" << zoom << QPoint(-5000, 0) << QPoint(-1, 0);
            QTest::addRow("far down%s", qPrintable(z))
                << "board.txt" << zoom << QPoint(0, 20000) << QPoint(0, 1);
            QTest::addRow("far up%s", qPrintable(z))
                << "board.txt" << zoom << QPoint(0, -20000) << QPoint(0, -1);
            QTest::addRow("far up and left%s", qPrintable(z))
                << "board.txt" << zoom << QPoint(-5000, -20000) << QPoint(-1, -1);
        }
        QTest::newRow("picture smaller than the view, down and right")
            << "narrow.txt" << 1 << QPoint(300, 300) << QPoint(1, 1);
        QTest::newRow("picture smaller than the view, up and left")
            << "narrow.txt" << 1 << QPoint(-300, -300) << QPoint(1, 1);
    }

    void dragStopsAtThePicturesEdges() {
        QFETCH(QString, file);
        QFETCH(int, zoom);
        QFETCH(QPoint, drag);
        QFETCH(QPoint, edge);
        QVERIFY(Show(file));
        Area()->SetZoom(zoom);
        const QPoint middle(Across()->maximum() / 2, Down()->maximum() / 2);
        Area()->MovePicture(-middle);
        const QPoint before = Picture()->pos();

        Mouse(QEvent::MouseButtonPress, {50, 50}, Qt::LeftButton);
        Mouse(QEvent::MouseMove, {51, 51}, Qt::LeftButton);
        Mouse(QEvent::MouseMove, QPoint(51, 51) + drag, Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, QPoint(51, 51) + drag, Qt::NoButton);

        const QSize view = Area()->viewport()->size();
        const QSize size = Picture()->size();
        auto expect = [](int edge, int before, int farEdge) {
            return edge > 0 ? 0 : edge < 0 ? std::min(0, farEdge) : before;
        };
        const QPoint expected(expect(edge.x(), before.x(), view.width() - size.width()),
                              expect(edge.y(), before.y(), view.height() - size.height()));
        QCOMPARE(Picture()->pos(), expected);
        // Nothing past the picture's end comes into the view.
        const QRect shown = Picture()->geometry();
        QVERIFY(shown.left() <= 0 && shown.top() <= 0);
        QVERIFY(shown.right() >= std::min(view.width(), size.width()) - 1);
        QVERIFY(shown.bottom() >= std::min(view.height(), size.height()) - 1);
    }

    void zoomSteps_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("key");
        QTest::addColumn<QList<int>>("wheel");
        QTest::addColumn<int>("expected");
        const QList<int> none;
        QTest::newRow("Ctrl+wheel up") << 1 << 0 << QList<int>{120} << 2;
        QTest::newRow("Ctrl+wheel down") << 3 << 0 << QList<int>{-120} << 2;
        QTest::newRow("Ctrl+wheel down at 1:1") << 1 << 0 << QList<int>{-120} << 1;
        QTest::newRow("Ctrl+wheel, two notches at once") << 1 << 0 << QList<int>{240} << 3;
        QTest::newRow("Ctrl+wheel, half a notch") << 1 << 0 << QList<int>{60} << 1;
        QTest::newRow("Ctrl+wheel, two half notches") << 1 << 0 << QList<int>{60, 60} << 2;
        QTest::newRow("Ctrl++") << 1 << int(Qt::Key_Plus) << none << 2;
        QTest::newRow("Ctrl+=") << 2 << int(Qt::Key_Equal) << none << 3;
        QTest::newRow("Ctrl++ at the largest step")
            << TPictureArea::kMaxZoom << int(Qt::Key_Plus) << none << TPictureArea::kMaxZoom;
        QTest::newRow("Ctrl+-") << 3 << int(Qt::Key_Minus) << none << 2;
        QTest::newRow("Ctrl+- at 1:1") << 1 << int(Qt::Key_Minus) << none << 1;
        QTest::newRow("Ctrl+0") << 4 << int(Qt::Key_0) << none << 1;
    }

    void zoomSteps() {
        QFETCH(int, start);
        QFETCH(int, key);
        QFETCH(QList<int>, wheel);
        QFETCH(int, expected);
        QVERIFY(Show("narrow.txt"));
        QVERIFY(FocusPicture());
        Area()->SetZoom(start);
        QCOMPARE(Area()->Zoom(), start);

        if (key != 0)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), Qt::ControlModifier);
        for (int delta : wheel) Wheel({0, delta}, Qt::ControlModifier);

        QCOMPARE(Area()->Zoom(), expected);
        QCOMPARE(Picture()->Zoom(), expected);
        QCOMPARE(Picture()->size(), QSize(20 * 8, 3 * 16) * expected);
    }

    void ctrlWheelKeepsThePointUnderTheMouse() {
        QVERIFY(Show("board.txt"));
        Area()->MovePicture({-200, -400});
        const QPoint mouse(100, 50);
        const QPoint grabbed = Picture()->mapFrom(Area()->viewport(), mouse);

        Wheel({0, 120}, Qt::ControlModifier, mouse);

        QCOMPARE(Area()->Zoom(), 2);
        QCOMPARE(Picture()->mapFrom(Area()->viewport(), mouse), grabbed * 2);
    }

    void fitWidthTakesTheLargestStepThatFits_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("wider");
        QTest::newRow("narrow and short") << "narrow.txt" << false;
        QTest::newRow("narrow and tall, beside a scroll bar") << "narrowtall.txt" << false;
        QTest::newRow("wider than the view") << "board.txt" << true;
    }

    void fitWidthTakesTheLargestStepThatFits() {
        QFETCH(QString, file);
        QFETCH(bool, wider);
        QVERIFY(Show(file));
        Area()->SetZoom(2);

        Area()->FitWidthAction->trigger();

        const int zoom = Area()->Zoom();
        const int width = Picture()->size().width() / zoom;
        const int room = Area()->viewport()->width();
        if (wider) {
            QCOMPARE(zoom, 1);
        } else {
            QVERIFY2(zoom > 1, qPrintable(QString::number(zoom)));
            QVERIFY(width * zoom <= room);
            QVERIFY(zoom == TPictureArea::kMaxZoom || width * (zoom + 1) > room);
            QCOMPARE(Across()->maximum(), 0);
        }
    }

    void zoomedPixelsAreSharpSquares_data() {
        QTest::addColumn<int>("zoom");
        QTest::newRow("2x") << 2;
        QTest::newRow("3x") << 3;
    }

    void zoomedPixelsAreSharpSquares() {
        QFETCH(int, zoom);
        QVERIFY(Show("board.txt"));
        const QImage source = Picture()->Image();
        Area()->SetZoom(zoom);
        // Away from the corner, so that the painted part starts inside a source pixel.
        const QRect part(37, 53, 320, 200);

        const QImage shown = Picture()->grab(part).toImage();

        QCOMPARE(shown.size(), part.size());
        QSet<QRgb> colours;
        for (int y = 0; y < part.height(); ++y) {
            for (int x = 0; x < part.width(); ++x) {
                const QRgb want = source.pixel((part.x() + x) / zoom, (part.y() + y) / zoom);
                colours.insert(want);
                if (shown.pixel(x, y) != want) {
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2 is %3, not %4")
                                         .arg(part.x() + x)
                                         .arg(part.y() + y)
                                         .arg(shown.pixel(x, y), 0, 16)
                                         .arg(want, 0, 16)));
                }
            }
        }
        QVERIFY(colours.size() > 2);
    }

    void blackPastThePicture() {
        QVERIFY(Show("narrow.txt"));
        Area()->SetZoom(2);
        const QImage view = Area()->viewport()->grab().toImage();
        QVERIFY(view.width() > 20 * 8 * 2 + 4 && view.height() > 3 * 16 * 2 + 4);
        QCOMPARE(QColor(view.pixel(20 * 8 * 2 + 2, 5)), QColor(Qt::black));
        QCOMPARE(QColor(view.pixel(5, 3 * 16 * 2 + 2)), QColor(Qt::black));
        QCOMPARE(QColor(view.pixel(view.width() - 1, view.height() - 1)), QColor(Qt::black));
    }

    void textViewColumnsLineUpWithThePicture_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("fallback");
        const QList<std::pair<const char*, QByteArray>> lines{
            {"box drawing and ASCII",
             "\xA9\xB0\xA9\xA4\xA9\xA4\xA9\xB4"
             "ab"},
            {"Chinese, punctuation and ASCII",
             "\xD6\xD0\xCE\xC4\xA3\xAC\xA1\xA3"
             "abc"},
            {"ASCII", "hello, world"},
            {"tab", "ab\tc"},
            {"undecodable byte",
             "a\x80"
             "b\xD6\xD0"},
        };
        for (const auto& [name, bytes] : lines) {
            QTest::addRow("%s, text view", name) << bytes << false;
            QTest::addRow("%s, fallback view", name) << bytes << true;
        }
    }

    void textViewColumnsLineUpWithThePicture() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, fallback);
        Tabc doc;
        doc.FLines = {bytes.toStdString(), "x"};
        TShowPanel& panel = *FWindow->ShowPanel;
        QPlainTextEdit* view = fallback ? panel.FFallbackView : panel.FTextView;
        if (fallback) {
            panel.FillFallbackView(doc);
            panel.SetViewMode(vmFallback);
        } else {
            panel.FillTextView(doc);
            panel.SetViewMode(vmText);
        }
        QCOMPARE(view->toPlainText(), DecodeGb(doc.FLines[0]) + "\nx");
        const QList<int> edges = CellEdges(bytes);
        QCOMPARE(edges.size() - 1, DecodeGb(doc.FLines[0]).size());

        QTextCursor cursor(view->document());
        const int left = view->cursorRect(cursor).left();
        for (int i = 1; i < edges.size(); ++i) {
            cursor.setPosition(i);
            QCOMPARE(view->cursorRect(cursor).left() - left, edges[i]);
        }
        const QTextBlock block = view->document()->firstBlock();
        view->document()->documentLayout()->blockBoundingRect(block);
        const QTextLine line = block.layout()->lineAt(0);
        QCOMPARE(line.cursorToX(int(block.text().size())) - line.cursorToX(0),
                 qreal(bytes.size() * 8));
    }

    void realArtLinesAreAsWideAsInThePicture_data() {
        QTest::addColumn<QString>("path");
        const QString realart = QStringLiteral(MORVANE_REALART);
        if (!QDir(realart).exists())
            QSKIP(qPrintable(realart + " is not here (the shared folder beside the checkout)"));
        // Big5 art is shown as GB text too; its pairs must keep their width all the same.
        for (const QString& folder : {realart + "/gb", realart + "/big5"}) {
            for (const QString& name : QDir(folder).entryList({"*.txt"}, QDir::Files))
                QTest::newRow(qPrintable(name)) << folder + "/" + name;
        }
    }

    void realArtLinesAreAsWideAsInThePicture() {
        QFETCH(QString, path);
        Tabc doc;
        QVERIFY(doc.LoadFile(QFile::encodeName(path).toStdString()));
        TShowPanel& panel = *FWindow->ShowPanel;
        panel.FillTextView(doc);
        QTextDocument* text = panel.FTextView->document();
        QCOMPARE(text->blockCount(), int(std::max<std::size_t>(doc.FLines.size(), 1)));
        int row = 0;
        for (QTextBlock block = text->begin(); block.isValid(); block = block.next(), ++row) {
            text->documentLayout()->blockBoundingRect(block);
            const std::string& line = doc.FLines.empty() ? std::string() : doc.FLines[row];
            const QTextLine first = block.layout()->lineAt(0);
            const qreal width = first.cursorToX(int(block.text().size())) - first.cursorToX(0);
            QVERIFY2(width == qreal(line.size() * 8),
                     qPrintable(QStringLiteral("line %1 of %2 bytes is %3 pixels wide")
                                    .arg(row + 1)
                                    .arg(line.size())
                                    .arg(width)));
        }
    }

    void textViewDrawsBoxDrawingFullWidth() {
        QCOMPARE(QFontInfo(TCellFontHighlighter::NarrowFont()).family(), QString("Unifont"));
        QCOMPARE(QFontInfo(TCellFontHighlighter::WideFont()).family(),
                 QString("WenQuanYi Bitmap Song"));
        QCOMPARE(QFontInfo(TCellFontHighlighter::WideFont()).pixelSize(), 16);
        Tabc doc;
        doc.FLines = {"\xA9\xB0\xA9\xA4\xA9\xA4\xA9\xB4"};
        TShowPanel& panel = *FWindow->ShowPanel;
        panel.FillTextView(doc);
        panel.SetViewMode(vmText);
        QPlainTextEdit* view = panel.FTextView;
        const QRect cell = view->cursorRect(QTextCursor(view->document()));
        const QImage shown = view->viewport()->grab().toImage();
        const QRgb ink = view->palette().color(QPalette::Text).rgb();

        // The two horizontal strokes join into one line across both 16-pixel cells.
        bool joined = false;
        for (int y = cell.top(); y <= cell.bottom() && !joined; ++y) {
            int run = 0;
            for (int x = cell.left() + 16; x < cell.left() + 48; ++x)
                run += shown.pixel(x, y) == ink ? 1 : 0;
            joined = run == 32;
        }
        QVERIFY(joined);
    }
};

MORVANE_GUI_TEST_MAIN(PictureViewTest)
#include "pictureview_test.moc"
