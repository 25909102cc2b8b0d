#include <QAction>
#include <QFileDialog>
#include <QMessageBox>
#include <algorithm>

#include "app/ansi2html.h"
#include "app/messagetext.h"
#include "app/settings/recentlist.h"
#include "platform/files.h"

namespace morvane {
namespace {

enum TCopyMoveTag { kCopyToNewPath = 1, kMoveToNewPath = 2, kCopyToRecent = 3, kMoveToRecent = 4 };

template <size_t N>
std::string CaptionOf(const std::array<QAction*, N>& items,
                      const std::vector<std::string>& captions, const QAction* item) {
    const auto slot = std::find(items.begin(), items.end(), item);
    if (slot == items.end()) return {};
    return captions[static_cast<size_t>(slot - items.begin())];
}

}  // namespace

void Tansi2html::MenuItem_CopyAndMoveClick(QAction* item) {
    const int tag = item->data().toInt();
    std::string folder;
    if (tag == kCopyToRecent || tag == kMoveToRecent) {
        const std::string caption = tag == kCopyToRecent
                                        ? CaptionOf(MenuItem_copyto, FCopyto, item)
                                        : CaptionOf(MenuItem_Moveto, FMoveto, item);
        if (IsRecentFolder(caption)) folder = caption;
    } else if (tag == kCopyToNewPath || tag == kMoveToNewPath) {
        QFileDialog* dialog = SelectDirectoryDialog();
        if (dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty())
            folder = QFile::encodeName(dialog->selectedFiles().first()).toStdString();
    }
    if (!folder.empty()) FileMoveCopy(folder, tag == kMoveToNewPath || tag == kMoveToRecent);
}

bool Tansi2html::FileMoveCopy(const std::string& folder, bool isMove) {
    const bool pair = abc.DetectKind(CurrentFile) == dkColor;
    std::vector<TTransferItem> files;
    for (const std::string& source : ShownFiles())
        files.push_back({source, JoinPath(folder, NameOf(source))});
    if (files.empty()) return false;

    if (const std::optional<TTransferFailure> failure = DoCopyFile(files, isMove)) {
        QString text = MessageText(isMove ? MsgMoveFailed : MsgCopyFailed, failure->Destination);
        if (!failure->Reason.empty()) text += "\n" + QString::fromLocal8Bit(failure->Reason);
        ShowMessage(text, TMsgType::Error, TMsgButtons::Ok);
        return false;
    }
    RefreshFileList();
    AddPopMenuCopyto(folder, isMove);
    if (!(pair && isMove)) {
        ShowMessage(MessageText(MsgCopied, files[0].Destination), TMsgType::Information,
                    TMsgButtons::Ok);
    }
    return true;
}

std::optional<TTransferFailure> Tansi2html::DoCopyFile(const std::vector<TTransferItem>& files,
                                                       bool isMove) {
    return TransferFiles(files, isMove, [this](const std::string& destination) {
        return ShowMessage(MessageText(MsgOverwrite, destination), TMsgType::Confirmation,
                           TMsgButtons::YesNo) == QMessageBox::Yes;
    });
}

void Tansi2html::AddPopMenuCopyto(const std::string& folder, bool isMove) {
    if (AddRecent(isMove ? FMoveto : FCopyto, folder)) ShowRecentCaptions();
}

}  // namespace morvane
