#include <QMessageBox>
#include <QToolButton>

#include "app/ansi2html.h"
#include "app/messagetext.h"
#include "platform/files.h"
#include "platform/filetransfer.h"
#include "platform/trash.h"

namespace morvane {
namespace {

// The files that go: a colour document goes whole, as its colours mean nothing without its text.
std::vector<std::string> FilesToDelete(const Tabc& doc, const std::string& shown) {
    if (doc.FKind != dkColor || (shown != doc.FColorPath && shown != doc.FTextPath)) return {shown};
    std::vector<std::string> files;
    for (const std::string& part : {doc.FColorPath, doc.FTextPath}) {
        if (!part.empty() && FileExists(part)) files.push_back(part);
    }
    return files;
}

}  // namespace

void Tansi2html::bsSkinSpeedButton_DelectFileClick() {
    if (!FileExists(CurrentFile)) {
        bsSkinSpeedButton_DelectFile->setEnabled(false);
        return;
    }
    const std::vector<std::string> files = FilesToDelete(abc, CurrentFile);
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
