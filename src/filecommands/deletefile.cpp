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
    // The trash lets a slip be undone; where there is none, the question says what Yes costs.
    std::vector<std::optional<TTrash>> trashes;
    bool forGood = false;
    for (const std::string& file : files) {
        trashes.push_back(TrashFor(file));
        forGood = forGood || !trashes.back();
    }
    QString question = MessageText(forGood ? MsgDeleteForGood : MsgDeleteConfirm, files[0]);
    for (size_t i = 1; i < files.size(); ++i) question += "\"\n\"" + MessageText({}, files[i]);
    question += QStringLiteral("\"?");
    if (ShowMessage(question, TMsgType::Confirmation,
                    forGood ? TMsgButtons::YesNoDefaultNo : TMsgButtons::YesNo) != QMessageBox::Yes)
        return;
    try {
        for (size_t i = 0; i < files.size(); ++i) {
            if (forGood) {
                RemoveFile(files[i]);
            } else if (!MoveToTrash(files[i], *trashes[i])) {
                // Asked to trash it, not to destroy it: the file stays.
                ShowMessage(MessageText(MsgTrashFailed, files[i]), TMsgType::Error,
                            TMsgButtons::Ok);
                break;
            }
        }
    } catch (const EFileError& error) {
        ShowMessage(QString::fromLocal8Bit(error.what()), TMsgType::Error, TMsgButtons::Ok);
    }
    RefreshFileList();
}

}  // namespace morvane
