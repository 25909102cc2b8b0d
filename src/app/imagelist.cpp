#include "app/imagelist.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QPainter>
#include <QPixmap>
#include <array>

namespace morvane {
namespace {

struct TPictureLook {
    QRgb Colour;
    const char* Mark;
};

// Our own pictures: a coloured tile with a short mark, one colour a family of commands.
constexpr std::array<TPictureLook, kPictureCount> kLooks{{
    {0xFF3B7DD8, "Op"},  // 0 open
    {0xFF7A5CC8, "Hi"},  // 1 history
    {0xFF2E9E5B, "Sv"},  // 2 save
    {0xFFD8813B, "Se"},  // 3 send
    {0xFF6C7A89, "Ab"},  // 4 about
    {0xFF6C7A89, "Op"},  // 5 options
    {0xFF6C7A89, "?"},   // 6 help
    {0xFF3BA7D8, "Vw"},  // 7 default view
    {0xFF3BA7D8, "Tx"},  // 8 text view; launch a text document
    {0xFFC8465C, "Cl"},  // 9 launch a colour document
    {0xFFD8A33B, "Ht"},  // 10 launch a page
    {0xFF8C8C8C, "--"},  // 11 launch nothing
    {0xFFC83B3B, "X"},   // 12 delete
    {0xFFB05CC8, "Mv"},  // 13 move to
    {0xFFB05CC8, "Rn"},  // 14 rename
    {0xFFB05CC8, "Cp"},  // 15 copy to
    {0xFF2E9E5B, "Go"},  // 16 launch
    {0xFF3BA7D8, "Wr"},  // 17 word wrap
    {0xFF3B7DD8, "Re"},  // 18 reload
}};

QIcon DrawPicture(const TPictureLook& look) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor::fromRgb(look.Colour));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(2, 2, 28, 28, 6, 6);
    // The window's own font: its glyphs are loaded anyway, where a bold face would cost start-up
    // a font of its own.
    QFont font(QStringLiteral("Unifont"));
    font.setPixelSize(16);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, QString::fromLatin1(look.Mark));
    return QIcon(pixmap);
}

}  // namespace

QIcon ToolbarPicture(int index) {
    if (index < 0 || index >= kPictureCount) return QIcon();
    // Drawn once each: several buttons share a picture, and the launch button changes its own.
    static std::array<QIcon, kPictureCount> pictures;
    // Pixmaps must go before the application does.
    static const bool released = (qAddPostRoutine([] { pictures.fill(QIcon()); }), true);
    Q_UNUSED(released);
    if (pictures[index].isNull()) pictures[index] = DrawPicture(kLooks[index]);
    return pictures[index];
}

void SetPicture(QAbstractButton* button, int index) {
    button->setIcon(ToolbarPicture(index));
    button->setProperty("picture", index);
}

}  // namespace morvane
