#include <QAction>
#include <QFile>
#include <QMenu>
#include <QToolButton>

#include "app/ansi2html.h"
#include "app/filelistbox.h"
#include "platform/shell.h"

namespace morvane {

void Tansi2html::ConnectFileCommands() {
    connect(bsSkinSpeedButton_DelectFile, &QToolButton::clicked, this,
            &Tansi2html::bsSkinSpeedButton_DelectFileClick);
    connect(MenuItem_DelectFile, &QAction::triggered, this,
            &Tansi2html::bsSkinSpeedButton_DelectFileClick);
    connect(bsSkinSpeedButton_Rename, &QToolButton::clicked, this,
            &Tansi2html::bsSkinSpeedButton_RenameClick);
    connect(MenuItem_Rename, &QAction::triggered, this, &Tansi2html::bsSkinSpeedButton_RenameClick);
    connect(bsSkinSpeedButton_laugch, &QToolButton::clicked, this,
            &Tansi2html::bsSkinSpeedButton_laugchClick);
    connect(MenuItem_Launch, &QAction::triggered, this, &Tansi2html::bsSkinSpeedButton_laugchClick);
    connect(bsSkinPopupMenu_copyto, &QMenu::triggered, this,
            &Tansi2html::MenuItem_CopyAndMoveClick);
    connect(bsSkinPopupMenu_moveto, &QMenu::triggered, this,
            &Tansi2html::MenuItem_CopyAndMoveClick);
}

std::vector<std::string> Tansi2html::ShownFiles() const {
    if (CurrentFile.empty()) return {};
    if (abc.DetectKind(CurrentFile) != dkColor) return {CurrentFile};
    std::vector<std::string> files;
    for (const char* ext : {"clo", "txt"}) {
        const std::string part = CompanionPath(CurrentFile, ext);
        if (!part.empty()) files.push_back(part);
    }
    return files;
}

// With nothing shown there is nothing to hand to the desktop.
void Tansi2html::bsSkinSpeedButton_laugchClick() {
    if (!CurrentFile.empty()) ShellOpen(QFile::decodeName(QByteArray::fromStdString(CurrentFile)));
}

void Tansi2html::RefreshFileList() {
    const QString folder = FileListBox1->Directory();
    FileListBox1->SetDirectory(folder);
}

}  // namespace morvane
