#include "app/progressform.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>
#include <QtMath>
#include <algorithm>
#include <vector>

#include "gif/gifprogress.h"

namespace morvane {
namespace {

// Often enough to look smooth, seldom enough to cost the save nothing worth measuring.
constexpr qint64 kEventsEveryMs = 40;

// Every form alive, the latest last: it receives the reports.
std::vector<TProgressForm*>& Forms() {
    static std::vector<TProgressForm*> forms;
    return forms;
}

// The point at radius r of the dial's centre for percent p: 0 at the left, 100 at the right.
QPointF DialPoint(QPointF centre, qreal r, qreal percent) {
    const qreal angle = qDegreesToRadians(180.0 - 1.8 * percent);
    return {centre.x() + r * qCos(angle), centre.y() - r * qSin(angle)};
}

}  // namespace

TGauge::TGauge(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Gauge1"));
    setMinimumSize(100, 60);
}

void TGauge::SetProgress(int percent) {
    percent = qBound(0, percent, 100);
    if (percent == FProgress) return;
    FProgress = percent;
    update();
}

void TGauge::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    const QFontMetrics metrics(font());
    const qreal margin = 8 + metrics.horizontalAdvance(QStringLiteral("100")) / 2.0;
    const qreal radius =
        qMax<qreal>(10, qMin(width() / 2.0 - margin, height() - margin - metrics.height() - 4));
    const QPointF centre(width() / 2.0, margin + radius);

    QPainterPath face;
    face.moveTo(centre);
    face.arcTo(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), 0, 180);
    face.closeSubpath();
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1.5));
    painter.setBrush(palette().color(QPalette::Base));
    painter.drawPath(face);

    for (int tick = 0; tick <= 100; tick += 5) {
        const qreal inner = tick % 10 == 0 ? radius * 0.82 : radius * 0.9;
        painter.drawLine(DialPoint(centre, inner, tick), DialPoint(centre, radius, tick));
        if (tick % 20 == 0) {
            const QString label = QString::number(tick);
            const QPointF at = DialPoint(centre, radius * 0.66, tick);
            const QRectF box(at.x() - 20, at.y() - metrics.height() / 2.0, 40, metrics.height());
            painter.drawText(box, Qt::AlignCenter, label);
        }
    }

    painter.setPen(QPen(Qt::blue, 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(centre, DialPoint(centre, radius * 0.92, FProgress));
    painter.setBrush(Qt::blue);
    painter.drawEllipse(centre, 4, 4);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QRectF(0, centre.y() + 4, width(), metrics.height()), Qt::AlignHCenter,
                     QString::number(FProgress) + QLatin1Char('%'));
}

TProgressForm::TProgressForm(QWidget* owner) : QWidget(owner, Qt::Dialog) {
    setObjectName(QStringLiteral("ProgressForm"));
    setWindowTitle(QStringLiteral("Progress"));
    setFixedSize(275, 157);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Gauge1 = new TGauge(this);
    layout->addWidget(Gauge1);
    Forms().push_back(this);
    GifProgress = ShowProgress;
}

TProgressForm::~TProgressForm() {
    std::vector<TProgressForm*>& forms = Forms();
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
}

void ShowProgress(float fraction) {
    static QElapsedTimer sinceEvents;
    if (Forms().empty()) return;
    TProgressForm* form = Forms().back();
    if (fraction > 0.9999f) {
        if (!form->isVisible()) return;
        form->hide();
    } else {
        form->Gauge1->SetProgress(qRound(fraction * 100));
        if (!form->isVisible()) {
            form->show();
        } else if (sinceEvents.isValid() && sinceEvents.elapsed() < kEventsEveryMs) {
            return;
        }
    }
    sinceEvents.start();
    QCoreApplication::processEvents();
}

}  // namespace morvane
