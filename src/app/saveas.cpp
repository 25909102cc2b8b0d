#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <exception>

#include "app/ansi2html.h"
#include "display/showpanel.h"
#include "platform/files.h"
#include "platform/filetransfer.h"
#include "platform/gbtext.h"
#include "platform/shell.h"

namespace morvane {
namespace {

struct TSaveFormat {
    int Tag;
    const char* Filter;
    const char* Extension;
};

constexpr TSaveFormat kSaveFormats[] = {
    {1, "Text File (*.txt)", "txt"}, {2, "Color File (*.clo)", "clo"},
    {3, "Html File (*.htm)", "htm"}, {4, "GIF File (*.gif)", "gif"},
    {5, "BMP File (*.bmp)", "bmp"},  {6, "PNG File (*.png)", "png"},
};

const char kShownFileRefused[] =
    "\" is the file shown, and the save would replace it with what the view holds of it. "
    "Choose another name.";

QString Name(const std::string& bytes) {
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}
std::string Bytes(const QString& name) { return QFile::encodeName(name).toStdString(); }

// path with the extension of its name replaced by extension, or given it when it has none.
std::string WithExtension(const std::string& path, const std::string& extension, bool keepOwn) {
    const std::size_t nameStart = path.size() - NameOf(path).size();
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < nameStart) return path + "." + extension;
    return keepOwn ? path : path.substr(0, dot + 1) + extension;
}

// Marks a save under way for its whole run, the wait cursor with it.
class TSaveRun {
public:
    explicit TSaveRun(bool& saving) : FSaving(saving) {
        FSaving = true;
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~TSaveRun() {
        QApplication::restoreOverrideCursor();
        FSaving = false;
    }
    TSaveRun(const TSaveRun&) = delete;
    TSaveRun& operator=(const TSaveRun&) = delete;

private:
    bool& FSaving;
};

}  // namespace

QFileDialog* Tansi2html::SaveDialog() {
    if (SaveDialog1) return SaveDialog1;
    SaveDialog1 = new QFileDialog(this, QStringLiteral("Save as"));
    SaveDialog1->setObjectName(QStringLiteral("SaveDialog1"));
    SaveDialog1->setOption(QFileDialog::DontUseNativeDialog);
    // The overwrite question is the window's own, in its language.
    SaveDialog1->setOption(QFileDialog::DontConfirmOverwrite);
    SaveDialog1->setAcceptMode(QFileDialog::AcceptSave);
    SaveDialog1->setFileMode(QFileDialog::AnyFile);
    return SaveDialog1;
}

void Tansi2html::MenuItem_txtClick(QAction* sender) {
    // A save lets the event loop run while it writes; a second one waits for the next click.
    if (FSaving || CurrentFile.empty() || !sender) return;
    const TSaveFormat* format = nullptr;
    for (const TSaveFormat& row : kSaveFormats) {
        if (row.Tag == sender->data().toInt()) format = &row;
    }
    if (!format) return;

    QFileDialog* dialog = SaveDialog();
    dialog->setNameFilter(QString::fromLatin1(format->Filter));
    dialog->setDefaultSuffix(QString::fromLatin1(format->Extension));
    dialog->setDirectory(Name(SaveDir));
    dialog->selectFile(Name(WithExtension(CurrentFile, format->Extension, false)));

    std::string path;
    for (;;) {
        if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return;
        path = WithExtension(Bytes(dialog->selectedFiles().first()), format->Extension, true);
        // The writers save what the view holds, which may be less than the file: saving over
        // the shown file or its companion would lose what the view does not hold.
        std::vector<std::string> targets{path};
        if (format->Tag == 2) targets.push_back(WithExtension(path, "txt", false));
        bool shown = false;
        for (const std::string& target : targets) {
            for (const std::string& source :
                 {CurrentFile, abc.FSourcePath, abc.FTextPath, abc.FColorPath}) {
                shown = shown || SameFile(target, source);
            }
        }
        if (shown) {
            ShowMessage(QLatin1Char('"') + Name(path) + QString::fromLatin1(kShownFileRefused),
                        TMsgType::Error, TMsgButtons::Ok);
            continue;
        }
        if (!QFileInfo::exists(Name(path))) break;
        if (ShowMessage(DecodeGb(MsgOverwrite) + Name(path), TMsgType::Confirmation,
                        TMsgButtons::YesNo) == QMessageBox::Yes) {
            SaveDir = FolderOf(path);
            break;
        }
    }

    try {
        TSaveRun run(FSaving);
        switch (format->Tag) {
            case 1:
                ShowPanel->SaveText(path);
                break;
            case 2:
                abc.SaveColorFile(path);
                break;
            case 3:
                abc.SaveHtml(path);
                break;
            default:
                ShowPanel->SavePicture(path, format->Tag - 3);
                break;
        }
    } catch (const std::exception& error) {
        ShowMessage(QString::fromLocal8Bit(error.what()), TMsgType::Error, TMsgButtons::Ok);
        FinishSave();
        return;
    }
    if (LaunchFile->isChecked()) ShellOpen(Name(path));
    FinishSave();
}

void Tansi2html::FinishSave() {
    if (FCloseAfterSave) close();
}

}  // namespace morvane
