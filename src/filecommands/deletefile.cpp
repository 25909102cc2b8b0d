#include <QMessageBox>
#include <QToolButton>

#include "app/ansi2html.h"
#include "app/messagetext.h"
#include "platform/files.h"
#include "platform/filetransfer.h"
#include "platform/trash.h"

namespace morvane {

void Tansi2html::bsSkinSpeedButton_DelectFileClick() {
    // The file menu stays enabled; a shown program page (help) must not be deleted through it.
    if (!bsSkinSpeedButton_DelectFile->isEnabled()) return;
    if (!FileExists(CurrentFile)) {
        bsSkinSpeedButton_DelectFile->setEnabled(false);
        return;
    }
    // A colour document goes whole: its colours mean nothing without its text.
    const std::vector<std::string> files = ShownFiles();
    QString question = MessageText(MsgDeleteConfirm, files[0]);
    for (size_t i = 1; i < files.size(); ++i) question += "\"\n\"" + MessageText({}, files[i]);
    question += QStringLiteral("\"?");
    if (ShowMessage(question, TMsgType::Confirmation, TMsgButtons::YesNo) != QMessageBox::Yes)
        return;
    try {
        // The trash lets a slip be undone; where there is none, the file is deleted.
        for (const std::string& file : files) {
            if (!MoveToTrash(file)) RemoveFile(file);
        }
    } catch (const EFileError& error) {
        ShowMessage(QString::fromLocal8Bit(error.what()), TMsgType::Error, TMsgButtons::Ok);
    }
    RefreshFileList();
}

}  // namespace morvane
