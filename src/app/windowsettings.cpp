#include <QAction>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <cstdlib>

#include "app/ansi2html.h"
#include "app/settings/inifile.h"
#include "app/settings/settingslocation.h"
#include "display/showpanel.h"
#include "platform/files.h"

namespace morvane {
namespace {

const char kDisplay[] = "display";
const char kHistory[] = "history";
const char kBannerDefault[] = "..........";

std::string& SettingsFileOverride() {
    static std::string path;
    return path;
}

QString Name(const std::string& bytes) {
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

// The key of slot i (0 = newest) of a list, and the placeholder that marks it empty: the
// folder history's tenth slot is "n0".
std::string SlotKey(char list, size_t i) { return list + std::to_string((i + 1) % 10); }
std::string Placeholder(size_t i) { return std::to_string((i + 1) % 10); }

void ReadList(const TIniFile& ini, char list, std::vector<std::string>& captions) {
    for (size_t i = 0; i < captions.size(); ++i)
        captions[i] = ini.ReadString(kHistory, SlotKey(list, i), Placeholder(i));
}

void WriteList(TIniFile& ini, char list, const std::vector<std::string>& captions) {
    for (size_t i = 0; i < captions.size(); ++i) {
        // A folder name with a line break cannot stand on one line; its slot is kept empty.
        if (!ini.WriteString(kHistory, SlotKey(list, i), captions[i]))
            ini.WriteString(kHistory, SlotKey(list, i), Placeholder(i));
    }
}

bool OnSomeScreen(const QRect& frame) {
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().intersects(frame)) return true;
    }
    return false;
}

}  // namespace

void Tansi2html::SetSettingsFile(const std::string& path) { SettingsFileOverride() = path; }

void Tansi2html::Inifile_Read() {
    SettingsFile = SettingsFileOverride();
    if (SettingsFile.empty()) {
        SettingsFile =
            SettingsFileLocation(Installed ? std::string() : AppDir,
                                 std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
    }
    TIniFile ini;
    if (!FileExists(SettingsFile)) {
        try {
            CreateSettingsFile(SettingsFile);
            ShowMessage(QString::fromUtf8(MsgSettingsMade) + Name(SettingsFile),
                        TMsgType::Information, TMsgButtons::Ok);
        } catch (const EFileError& error) {
            TellSettingsNotKept(error.what());
        }
    } else {
        try {
            ini = TIniFile::Load(SettingsFile);
        } catch (const EFileError& error) {
            // Writing at close would throw away the lines that could not be read.
            FSettingsReadable = false;
            TellSettingsNotKept(error.what());
        }
    }

    LaunchFile->setChecked(ini.ReadBool(kDisplay, "LaunchFile", true));
    ShowPanel->SetBlinking(ini.ReadBool(kDisplay, "Blink", true));
    const int width = ini.ReadInteger(kDisplay, "window_width", 640);
    const int height = ini.ReadInteger(kDisplay, "window_height", 480);
    const int left = ini.ReadInteger(kDisplay, "window_left", 0);
    const int top = ini.ReadInteger(kDisplay, "window_top", 0);
    resize(width, height);
    QPoint position(left, top);
    // A screen that has gone since the last run must not take the window with it.
    if (!OnSomeScreen(QRect(position, size())) && QGuiApplication::primaryScreen()) {
        position = QGuiApplication::primaryScreen()->availableGeometry().topLeft();
    }
    move(position);
    LanguageName = ini.ReadString(kDisplay, "language", "GB2312");
    ReadList(ini, 'n', FHistory);
    ReadList(ini, 'm', FMoveto);
    ReadList(ini, 'c', FCopyto);
    FBannerCount1 = ini.ReadString(kHistory, "n11", kBannerDefault);
    FBannerCount2 = ini.ReadString(kHistory, "n12", kBannerDefault);
    ShowRecentCaptions();
}

void Tansi2html::Inifile_Write() {
    if (FSettingsWritten || !FSettingsReadable) return;
    FSettingsWritten = true;
    if (!FileExists(SettingsFile)) {
        // Deleted while the program ran: the user meant it gone.
        if (!FSettingsTold) {
            ShowMessage(QString::fromUtf8(MsgNoSettings) + Name(SettingsFile),
                        TMsgType::Information, TMsgButtons::Ok);
        }
        return;
    }
    try {
        TIniFile ini = TIniFile::Load(SettingsFile);
        // A maximised window keeps the size it will go back to.
        const bool filling = isMaximized() || isFullScreen() ||
                             (screen() && frameGeometry().width() >= screen()->geometry().width());
        if (!filling) {
            ini.WriteInteger(kDisplay, "window_width", width());
            ini.WriteInteger(kDisplay, "window_height", height());
            ini.WriteInteger(kDisplay, "window_left", frameGeometry().left());
            ini.WriteInteger(kDisplay, "window_top", frameGeometry().top());
        }
        ini.WriteString(kDisplay, "language", LanguageName);
        ini.WriteBool(kDisplay, "LaunchFile", LaunchFile->isChecked());
        ini.WriteBool(kDisplay, "Blink", ShowPanel->Blinking());
        WriteList(ini, 'n', FHistory);
        WriteList(ini, 'm', FMoveto);
        WriteList(ini, 'c', FCopyto);
        ini.WriteString(kHistory, "n11", FBannerCount1);
        ini.WriteString(kHistory, "n12", FBannerCount2);
        if (ini.Modified()) ini.Save(SettingsFile);
    } catch (const EFileError& error) {
        TellSettingsNotKept(error.what());
    }
}

void Tansi2html::TellSettingsNotKept(const std::string& reason) {
    if (FSettingsTold) return;
    FSettingsTold = true;
    ShowMessage(QStringLiteral("The settings cannot be kept:\n") + QString::fromLocal8Bit(reason),
                TMsgType::Error, TMsgButtons::Ok);
}

}  // namespace morvane
