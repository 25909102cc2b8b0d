#include "app/drawnicons.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>

namespace morvane {
namespace {

constexpr int kSize = 32;

void DrawPage(QPainter& p, QRectF box) {
    QPainterPath page;
    page.moveTo(box.left(), box.top());
    page.lineTo(box.right() - 6, box.top());
    page.lineTo(box.right(), box.top() + 6);
    page.lineTo(box.right(), box.bottom());
    page.lineTo(box.left(), box.bottom());
    page.closeSubpath();
    p.setBrush(Qt::white);
    p.drawPath(page);
}

void DrawLines(QPainter& p, qreal left, qreal right, qreal top, int count) {
    for (int i = 0; i < count; ++i)
        p.drawLine(QPointF(left, top + 4 * i), QPointF(right, top + 4 * i));
}

void DrawCircleArrow(QPainter& p) {
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(6, 6, 20, 20), 60 * 16, 280 * 16);
    QPainterPath head;
    head.moveTo(21, 3);
    head.lineTo(27, 9);
    head.lineTo(19, 11);
    head.closeSubpath();
    p.setBrush(p.pen().color());
    p.drawPath(head);
}

void DrawBadge(QPainter& p, TDrawing drawing) {
    p.setBrush(QColor(0x3B, 0x7D, 0xD8));
    p.drawEllipse(QRectF(4, 4, 24, 24));
    p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (drawing == TDrawing::Info) {
        p.drawPoint(QPointF(16, 10));
        p.drawLine(QPointF(16, 15), QPointF(16, 22));
    } else {
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(11, 8, 10, 9), -90 * 16, 270 * 16);
        p.drawLine(QPointF(16, 17), QPointF(16, 19));
        p.drawPoint(QPointF(16, 23));
    }
}

void Draw(QPainter& p, TDrawing drawing, const QColor& ink) {
    switch (drawing) {
        case TDrawing::Folder:
            p.setBrush(QColor(0xE8, 0xB8, 0x4A));
            p.drawRect(QRectF(3, 8, 26, 19));
            p.drawRect(QRectF(3, 5, 10, 3));
            break;
        case TDrawing::Clock:
            p.setBrush(Qt::white);
            p.drawEllipse(QRectF(4, 4, 24, 24));
            p.drawLine(QPointF(16, 16), QPointF(16, 8));
            p.drawLine(QPointF(16, 16), QPointF(22, 19));
            break;
        case TDrawing::Disk:
            p.setBrush(QColor(0x3B, 0x7D, 0xD8));
            p.drawRect(QRectF(4, 4, 24, 24));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(9, 4, 14, 9));
            p.drawRect(QRectF(8, 18, 16, 10));
            break;
        case TDrawing::Envelope:
            p.setBrush(Qt::white);
            p.drawRect(QRectF(3, 8, 26, 17));
            p.drawPolyline(QPolygonF({QPointF(3, 8), QPointF(16, 18), QPointF(29, 8)}));
            break;
        case TDrawing::Info:
        case TDrawing::Question:
            DrawBadge(p, drawing);
            break;
        case TDrawing::Sliders:
            for (int i = 0; i < 3; ++i) {
                const qreal y = 8 + 8 * i;
                p.drawLine(QPointF(4, y), QPointF(28, y));
                p.setBrush(Qt::white);
                p.drawRect(QRectF(8 + 7 * i, y - 3, 5, 6));
            }
            break;
        case TDrawing::Picture:
            p.setBrush(QColor(0x9C, 0xD0, 0xF0));
            p.drawRect(QRectF(3, 6, 26, 20));
            p.setBrush(QColor(0x2E, 0x9E, 0x5B));
            p.drawPolygon(QPolygonF({QPointF(3, 26), QPointF(12, 14), QPointF(19, 21),
                                     QPointF(23, 17), QPointF(29, 26)}));
            break;
        case TDrawing::Page:
            DrawPage(p, QRectF(6, 3, 20, 26));
            DrawLines(p, 10, 22, 12, 4);
            break;
        case TDrawing::Palette:
            p.setBrush(QColor(0xC8, 0x46, 0x5C));
            p.drawRect(QRectF(4, 4, 12, 12));
            p.setBrush(QColor(0x2E, 0x9E, 0x5B));
            p.drawRect(QRectF(16, 4, 12, 12));
            p.setBrush(QColor(0x3B, 0x7D, 0xD8));
            p.drawRect(QRectF(4, 16, 12, 12));
            p.setBrush(QColor(0xD8, 0xA3, 0x3B));
            p.drawRect(QRectF(16, 16, 12, 12));
            break;
        case TDrawing::Globe:
            p.setBrush(QColor(0x9C, 0xD0, 0xF0));
            p.drawEllipse(QRectF(4, 4, 24, 24));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QRectF(11, 4, 10, 24));
            p.drawLine(QPointF(4, 16), QPointF(28, 16));
            break;
        case TDrawing::Blank:
            p.setPen(QPen(ink, 2, Qt::DashLine));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRectF(6, 4, 20, 24));
            break;
        case TDrawing::Cross:
            p.setPen(QPen(QColor(0xC8, 0x3B, 0x3B), 4, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(8, 8), QPointF(24, 24));
            p.drawLine(QPointF(24, 8), QPointF(8, 24));
            break;
        case TDrawing::Arrow:
            p.setBrush(ink);
            p.drawPolygon(
                QPolygonF({QPointF(4, 13), QPointF(18, 13), QPointF(18, 6), QPointF(28, 16),
                           QPointF(18, 26), QPointF(18, 19), QPointF(4, 19)}));
            break;
        case TDrawing::Pencil:
            p.setBrush(QColor(0xD8, 0xA3, 0x3B));
            p.drawPolygon(QPolygonF({QPointF(22, 4), QPointF(28, 10), QPointF(11, 27),
                                     QPointF(4, 28), QPointF(5, 21)}));
            break;
        case TDrawing::Pages:
            DrawPage(p, QRectF(4, 3, 16, 20));
            DrawPage(p, QRectF(12, 9, 16, 20));
            break;
        case TDrawing::Play:
            p.setBrush(QColor(0x2E, 0x9E, 0x5B));
            p.drawPolygon(QPolygonF({QPointF(9, 5), QPointF(27, 16), QPointF(9, 27)}));
            break;
        case TDrawing::Wrap:
            p.setBrush(Qt::NoBrush);
            p.drawLine(QPointF(4, 8), QPointF(28, 8));
            p.drawLine(QPointF(4, 24), QPointF(14, 24));
            p.drawArc(QRectF(18, 8, 10, 12), -90 * 16, 180 * 16);
            p.drawLine(QPointF(23, 20), QPointF(18, 20));
            p.setBrush(ink);
            p.drawPolygon(QPolygonF({QPointF(14, 20), QPointF(19, 16), QPointF(19, 24)}));
            break;
        case TDrawing::Refresh:
            DrawCircleArrow(p);
            break;
    }
}

}  // namespace

QIcon DrawnIcon(TDrawing drawing) {
    const QColor ink = QGuiApplication::palette().color(QPalette::WindowText);
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(ink, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    Draw(painter, drawing, ink);
    return QIcon(pixmap);
}

}  // namespace morvane
