#include "app/messageboxsink.h"

#include <QMessageBox>

#include "platform/gbtext.h"

namespace morvane {

void TMessageBoxSink::ShowMessage(const std::string& text) {
    QMessageBox box(QMessageBox::Information, QString(), DecodeGb(text), QMessageBox::Ok, FParent);
    box.setObjectName(QStringLiteral("bsSkinMessage1"));
    box.exec();
}

}  // namespace morvane
