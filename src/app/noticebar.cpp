#include "app/noticebar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>

namespace morvane {

TNoticeBar::TNoticeBar(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("NoticeBar"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::ToolTipBase);
    setForegroundRole(QPalette::ToolTipText);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 2, 2, 2);
    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(16, 16));
    layout->addWidget(icon, 0, Qt::AlignTop);
    FText = new QLabel(this);
    FText->setWordWrap(true);
    FText->setTextFormat(Qt::PlainText);
    FText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(FText, 1);
    auto* close = new QToolButton(this);
    close->setObjectName(QStringLiteral("NoticeClose"));
    close->setAutoRaise(true);
    close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    close->setToolTip(tr("Close"));
    layout->addWidget(close, 0, Qt::AlignTop);
    connect(close, &QToolButton::clicked, this, &TNoticeBar::Clear);
    hide();
}

void TNoticeBar::Add(const QString& text) {
    FText->setText(FText->text().isEmpty() ? text : FText->text() + QLatin1Char('\n') + text);
    show();
}

void TNoticeBar::Clear() {
    FText->clear();
    hide();
}

QString TNoticeBar::Text() const { return FText->text(); }

}  // namespace morvane
