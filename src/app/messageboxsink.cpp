#include "app/messageboxsink.h"

#include <QMessageBox>

#include "app/noticebar.h"
#include "platform/gbtext.h"

namespace morvane {

void TMessageBoxSink::ShowMessage(const std::string& text) {
    QMessageBox box(QMessageBox::Information, FTitle, DecodeGb(text), QMessageBox::Ok, FParent);
    box.setObjectName(QStringLiteral("bsSkinMessage1"));
    ++FShown;
    box.exec();
}

void TMessageBoxSink::ShowNotice(const std::string& text) { FNotices->Add(DecodeGb(text)); }

}  // namespace morvane
