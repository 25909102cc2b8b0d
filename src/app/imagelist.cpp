#include "app/imagelist.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QStandardPaths>
#include <array>

#include "app/drawnicons.h"

namespace morvane {
namespace {

struct TPictureLook {
    /// Icon names of the freedesktop naming scheme, the first the theme has is shown.
    std::array<const char*, 3> Names;
    TDrawing Drawing;
};

constexpr std::array<TPictureLook, kPictureCount> kLooks{{
    {{"document-open", nullptr, nullptr}, TDrawing::Folder},               // 0 open
    {{"document-open-recent", "view-history", nullptr}, TDrawing::Clock},  // 1 history
    {{"document-save-as", "document-save", nullptr}, TDrawing::Disk},      // 2 save
    {{"mail-send", nullptr, nullptr}, TDrawing::Envelope},                 // 3 send
    {{"help-about", nullptr, nullptr}, TDrawing::Info},                    // 4 about
    {{"preferences-system", nullptr, nullptr}, TDrawing::Sliders},         // 5 options
    {{"help-contents", nullptr, nullptr}, TDrawing::Question},             // 6 help
    {{"image-x-generic", nullptr, nullptr}, TDrawing::Picture},            // 7 default view
    {{"text-x-generic", "document-properties", nullptr}, TDrawing::Page},  // 8 text view; a text
    {{"image-x-generic", nullptr, nullptr}, TDrawing::Palette},  // 9 launch a colour document
    {{"text-html", "applications-internet", nullptr}, TDrawing::Globe},   // 10 launch a page
    {{"system-run", nullptr, nullptr}, TDrawing::Blank},                  // 11 launch nothing
    {{"edit-delete", nullptr, nullptr}, TDrawing::Cross},                 // 12 delete
    {{"go-jump", "edit-cut", nullptr}, TDrawing::Arrow},                  // 13 move to
    {{"edit-rename", "document-edit", "insert-text"}, TDrawing::Pencil},  // 14 rename
    {{"edit-copy", nullptr, nullptr}, TDrawing::Pages},                   // 15 copy to
    {{"system-run", nullptr, nullptr}, TDrawing::Play},                   // 16 launch
    {{"format-justify-fill", "format-text-direction-ltr", nullptr},
     TDrawing::Wrap},                                         // 17 word wrap
    {{"view-refresh", nullptr, nullptr}, TDrawing::Refresh},  // 18 reload
}};

}  // namespace

void UseDesktopIconThemes() {
    // Some platform plugins look for themes only in the program's resources.
    QStringList paths = QIcon::themeSearchPaths();
    for (const QString& folder :
         QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"),
                                   QStandardPaths::LocateDirectory)) {
        if (!paths.contains(folder)) paths.append(folder);
    }
    QIcon::setThemeSearchPaths(paths);
    // Where the desktop names no theme, or only the bare base one, the GNOME theme stands in
    // when it is installed; a theme set by the desktop or the user is kept.
    const QString theme = QIcon::themeName();
    const QString probe = QStringLiteral("document-open");
    if ((theme.isEmpty() || theme == QLatin1String("hicolor")) && !QIcon::hasThemeIcon(probe)) {
        QIcon::setThemeName(QStringLiteral("Adwaita"));
        if (!QIcon::hasThemeIcon(probe)) QIcon::setThemeName(theme);
    }
}

QIcon ToolbarPicture(int index) {
    if (index < 0 || index >= kPictureCount) return QIcon();
    static const bool chosen = (UseDesktopIconThemes(), true);
    Q_UNUSED(chosen);
    for (const char* name : kLooks[index].Names) {
        if (name && QIcon::hasThemeIcon(QLatin1String(name)))
            return QIcon::fromTheme(QLatin1String(name));
    }
    // Drawn once each: several buttons share a picture, and the launch button changes its own.
    static std::array<QIcon, kPictureCount> drawn;
    // Pixmaps must go before the application does.
    static const bool released = (qAddPostRoutine([] { drawn.fill(QIcon()); }), true);
    Q_UNUSED(released);
    if (drawn[index].isNull()) drawn[index] = DrawnIcon(kLooks[index].Drawing);
    return drawn[index];
}

void SetPicture(QAbstractButton* button, int index) {
    button->setIcon(ToolbarPicture(index));
    button->setProperty("picture", index);
}

}  // namespace morvane
