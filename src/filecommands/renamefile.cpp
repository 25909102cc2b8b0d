#include <QInputDialog>
#include <QMessageBox>
#include <QToolButton>

#include "app/ansi2html.h"
#include "app/messagetext.h"
#include "platform/files.h"
#include "platform/filetransfer.h"

namespace morvane {

void Tansi2html::bsSkinSpeedButton_RenameClick() {
    // As delete: the file menu must not rename what the button refuses.
    if (!bsSkinSpeedButton_Rename->isEnabled()) return;
    const std::string folder = FolderOf(CurrentFile);
    const std::string extension = ExtensionOf(CurrentFile);
    const std::string name = NameOf(CurrentFile);
    const std::string base = name.substr(0, name.size() - extension.size());

    QInputDialog dialog(this);
    dialog.setObjectName(QStringLiteral("bsSkinInputDialog1"));
    dialog.setWindowTitle(MessageText(MsgRenameCaption));
    dialog.setLabelText(MessageText(MsgRenamePrompt));
    dialog.setTextValue(QFile::decodeName(QByteArray::fromStdString(base)));
    if (dialog.exec() != QDialog::Accepted) return;
    const std::string newBase = QFile::encodeName(dialog.textValue()).toStdString();
    if (newBase.empty() || newBase == base) return;
    if (!FileExists(CurrentFile)) return;
    if (ShowMessage(MessageText(MsgRenameConfirm), TMsgType::Confirmation, TMsgButtons::YesNo) !=
        QMessageBox::Yes)
        return;

    // A colour document keeps its two files together under the new name.
    std::vector<TTransferItem> renames;
    for (const std::string& file : ShownFiles())
        renames.push_back({file, FolderOf(file) + newBase + ExtensionOf(file)});
    if (const std::optional<TTransferFailure> failure = RenameFiles(renames)) {
        QString text = MessageText(MsgRenameFailed, failure->Destination);
        if (!failure->Reason.empty()) text += "\n" + QString::fromLocal8Bit(failure->Reason);
        ShowMessage(text, TMsgType::Error, TMsgButtons::Ok);
        return;
    }
    RefreshFileList();
}

}  // namespace morvane
