#include <QComboBox>
#include <QFile>

#include "about/aboutform.h"
#include "app/ansi2html.h"
#include "app/language/languagepack.h"
#include "app/language/packfolder.h"
#include "platform/files.h"
#include "platform/gbtext.h"

namespace morvane {
namespace {

// Where a main pack text goes: a property of a named control, or a message text.
struct TPackTarget {
    int Id;
    const char* Object;
    const char* Property;
    std::string Tansi2html::*Message;
};

const TPackTarget kPackTargets[] = {
    {1, "bsSkinMenuSpeedButton_History", "toolTip", nullptr},
    {2, "bsSkinSpeedButton_Rename", "toolTip", nullptr},
    {3, "bsSkinSpeedButton_OpenFile", "toolTip", nullptr},
    {4, "bsSkinMenuSpeedButton_SaveFile", "toolTip", nullptr},
    {5, "bsSkinSpeedButton_DelectFile", "toolTip", nullptr},
    {6, "bsSkinMenuSpeedButton_Copyto", "toolTip", nullptr},
    {7, "bsSkinMenuSpeedButton_Moveto", "toolTip", nullptr},
    {8, "bsSkinSpeedButton_Send", "toolTip", nullptr},
    {9, "bsSkinSpeedButton_ViewSource", "toolTip", nullptr},
    {10, "bsSkinSpeedButton_ViewDefault", "toolTip", nullptr},
    {11, "bsSkinSpeedButton_Option", "toolTip", nullptr},
    {12, "bsSkinSpeedButton_About", "toolTip", nullptr},
    {13, "bsSkinSpeedButton_Help", "toolTip", nullptr},
    {14, "bsSkinSpeedButton_laugch", "toolTip", nullptr},
    {15, "CbSelect", "toolTip", nullptr},
    {16, "bsSkinButton_downQuillet", "text", nullptr},
    {17, "MenuItem_CopytoNewPath", "text", nullptr},
    {18, "MenuItem_DelectFile", "text", nullptr},
    {19, "MenuItem_Rename", "text", nullptr},
    {20, "MenuItem_Launch", "text", nullptr},
    {21, "MenuItem_MovetoNewPath", "text", nullptr},
    {22, "MenuItem_txt", "text", nullptr},
    {23, "MenuItem_clo", "text", nullptr},
    {24, "MenuItem_htm", "text", nullptr},
    {25, "MenuItem_gif", "text", nullptr},
    {26, "MenuItem_bmp", "text", nullptr},
    {27, "LaunchFile", "text", nullptr},
    {28, nullptr, nullptr, &Tansi2html::MsgNoTemplate},
    {30, nullptr, nullptr, &Tansi2html::MsgNoSettings},
    {31, nullptr, nullptr, &Tansi2html::MsgOverwrite},
    {32, "bsSkinLabel_adv", "text", nullptr},
    {33, nullptr, nullptr, &Tansi2html::MsgDeleteConfirm},
    {34, nullptr, nullptr, &Tansi2html::MsgRenameCaption},
    {35, nullptr, nullptr, &Tansi2html::MsgRenamePrompt},
    {36, nullptr, nullptr, &Tansi2html::MsgRenameConfirm},
    {37, nullptr, nullptr, &Tansi2html::MsgRenameFailed},
    {38, nullptr, nullptr, &Tansi2html::MsgMoveFailed},
    {39, nullptr, nullptr, &Tansi2html::MsgCopied},
    {40, nullptr, nullptr, &Tansi2html::MsgCopyFailed},
    {41, "bsSkinStdLabel3", "text", nullptr},
    {150, "PictureBlink", "text", nullptr},
    {160, nullptr, nullptr, &Tansi2html::MsgDeleteForGood},
    {161, nullptr, nullptr, &Tansi2html::MsgTrashFailed},
};

}  // namespace

std::vector<std::string> Tansi2html::ListLanguages() { return ListPackNames(AppDir); }

void Tansi2html::SetLanguage(const std::string& name) {
    const std::string path = FindPackFile(AppDir, name, kMainPackSuffix);
    if (path.empty()) return;
    TLanguagePack pack;
    try {
        pack = ReadLanguagePack(path, kMainPackTextBytes);
    } catch (const EFileError& error) {
        ShowMessage(QString::fromLocal8Bit(error.what()), TMsgType::Error, TMsgButtons::Ok);
        return;
    }
    for (const TPackTarget& target : kPackTargets) {
        const auto text = pack.Texts.find(target.Id);
        if (text == pack.Texts.end()) continue;
        if (target.Message) {
            this->*target.Message = text->second;
        } else if (QObject* control = findChild<QObject*>(QLatin1String(target.Object))) {
            control->setProperty(target.Property, DecodeGb(text->second));
        }
    }
}

void Tansi2html::CbSelectChange() {
    LanguageName = CbSelect->currentData().toByteArray().toStdString();
    SetLanguage(LanguageName);
    // An about window on screen changes with the main window; a hidden one when next shown.
    if (aboutform && aboutform->isVisible()) aboutform->FollowLanguage();
}

void Tansi2html::FillLanguageBox() {
    for (const std::string& name : ListLanguages()) {
        const QByteArray bytes = QByteArray::fromStdString(name);
        CbSelect->addItem(QFile::decodeName(bytes), bytes);
    }
    CbSelect->setCurrentIndex(-1);
    for (int i = 0; i < CbSelect->count(); ++i) {
        if (CbSelect->itemData(i).toByteArray().toStdString() == LanguageName)
            SetLanguage(LanguageName);
    }
}

}  // namespace morvane
