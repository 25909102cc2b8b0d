#include <QFile>
#include <exception>

#include "app/ansi2html.h"
#include "display/showpanel.h"
#include "platform/files.h"
#include "platform/gbtext.h"
#include "platform/shell.h"
#include "submission/sendvalues.h"
#include "submission/submissionpage.h"

namespace morvane {

void Tansi2html::bsSkinSpeedButton_SendClick() {
    const std::string templatePath = AppDir + "add.htm";
    if (!FileExists(templatePath)) {
        ShowMessage(DecodeGb(MsgNoTemplate), TMsgType::Information, TMsgButtons::Ok);
        return;
    }
    const std::string pagePath = TempDir + "send.htm";
    try {
        const TSendValues values = ComputeSendValues(abc, ShowPanel->FViewMode == vmText, UserId);
        WriteSubmissionPage(templatePath, pagePath, values, abc);
    } catch (const std::exception& error) {
        ShowMessage(QString::fromLocal8Bit(error.what()), TMsgType::Error, TMsgButtons::Ok);
        return;
    }
    ShellOpen(QFile::decodeName(QByteArray::fromStdString(pagePath)));
}

}  // namespace morvane
