#pragma once

#include <QIcon>

class QAbstractButton;

namespace morvane {

/// Picture index (of ImageList1) of the toolbar pictures, 0 to 18.
constexpr int kPictureCount = 19;

/// Lets the icon themes installed on the system be found, and the GNOME theme stand in where
/// the desktop sets none. Runs with the first toolbar picture.
void UseDesktopIconThemes();

/// Toolbar picture index: the icon theme's icon where it has one, else our own drawing, 32 x 32
/// pixels; empty for an index out of range.
QIcon ToolbarPicture(int index);

/// Shows picture index on button, and keeps the index in the button's "picture" property.
void SetPicture(QAbstractButton* button, int index);

}  // namespace morvane
