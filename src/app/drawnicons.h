#pragma once

#include <QIcon>

namespace morvane {

/// Our own drawings of the toolbar pictures, for a desktop without an icon theme.
enum class TDrawing {
    Folder,
    Clock,
    Disk,
    Envelope,
    Info,
    Sliders,
    Question,
    Picture,
    Page,
    Palette,
    Globe,
    Blank,
    Cross,
    Arrow,
    Pencil,
    Pages,
    Play,
    Wrap,
    Refresh
};

/// The drawing at 32 x 32 pixels; lines in the palette's text colour.
QIcon DrawnIcon(TDrawing drawing);

}  // namespace morvane
