#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QToolButton>
#include <exception>
#include <filesystem>
#include <system_error>

#include "app/ansi2html.h"
#include "app/filelistbox.h"
#include "app/messageboxsink.h"
#include "app/noticebar.h"
#include "display/showpanel.h"
#include "platform/files.h"
#include "platform/shell.h"

namespace morvane {
namespace {

QString Name(const std::string& bytes) {
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

// The local file dragged, as bytes; empty when the drag carries none.
std::string DraggedFile(const QMimeData* data) {
    if (!data || !data->hasUrls()) return {};
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) return QFile::encodeName(url.toLocalFile()).toStdString();
    }
    return {};
}

// Takes a file dropped anywhere on the window, also on views that would take the drop
// themselves (the editable text view would paste its name, the browser would navigate to it).
class TDropOpener : public QObject {
  public:
    explicit TDropOpener(Tansi2html* window) : QObject(window), FWindow(window) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
            return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->window() != FWindow) return false;
        auto* drop = static_cast<QDropEvent*>(event);
        const std::string file = DraggedFile(drop->mimeData());
        if (file.empty()) return false;
        drop->acceptProposedAction();
        // After the drag has ended: a message box inside it would hold the source's drag.
        if (type == QEvent::Drop)
            QTimer::singleShot(0, FWindow, [window = FWindow, file]() { window->OpenPath(file); });
        return true;
    }

  private:
    Tansi2html* FWindow;
};

}  // namespace

void Tansi2html::AcceptDrops() {
    setAcceptDrops(true);
    qApp->installEventFilter(new TDropOpener(this));
}

void Tansi2html::OpenArgument(const std::string& argument) {
    if (argument.empty()) return;
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(argument, error);
    if (error) path = argument;
    OpenPath(path.lexically_normal().string());
}

void Tansi2html::OpenPath(const std::string& path) {
    std::string clean = path;
    while (clean.size() > 1 && clean.back() == '/') clean.pop_back();
    std::error_code error;
    if (std::filesystem::is_directory(clean, error)) {
        SetExplorer(clean == "/" ? clean : clean + "/");
        return;
    }
    if (!std::filesystem::exists(clean, error)) {
        ShowMessage(QStringLiteral("File: ") + Name(NameOf(clean)) + QStringLiteral(" not found"),
                    TMsgType::Error, TMsgButtons::Ok);
        return;
    }
    OpenFile(clean);
}

void Tansi2html::OpenFile(const std::string& file) {
    const QString item = Name(NameOf(file));
    try {
        NoticeBar->Clear();
        const int shown = FMessageSink->Shown();
        if (!LoadDocument(file)) {
            ReportLoadFailure(item, file, FMessageSink->Shown() != shown);
            FinishLoading(false);
            return;
        }
        CurrentFile = file;
        AddPopMenu(CurrentFile);
        SetExplorer(CurrentFile);
        // The list shows where the file lies, and a click on it does not load it again.
        FileListBox1->SelectName(item);
        SetFormCaption(CurrentFile);
        ChangeWindowType(abc);
        ShowPanel->ShowDocument(abc, bsSkinSpeedButton_ViewSource->isChecked());
    } catch (const std::exception& error) {
        ShowMessage(QString::fromLocal8Bit(error.what()), TMsgType::Error, TMsgButtons::Ok);
    }
}

void Tansi2html::bsSkinSpeedButton_HelpClick() {
    const std::string page = AppDir + "ReadHelp.htm";
    if (!ShellOpen(Name(page))) ShowHelpPage(page);
}

// Where the desktop opens nothing, the page shows in our own browser as a page document.
void Tansi2html::ShowHelpPage(const std::string& page) {
    if (!FileExists(page)) {
        ShowMessage(QStringLiteral("File: ") + Name(NameOf(page)) + QStringLiteral(" not found"),
                    TMsgType::Error, TMsgButtons::Ok);
        return;
    }
    try {
        NoticeBar->Clear();
        abc.Reset();
        if (!abc.LoadFile(page)) {
            FinishLoading(false);
            return;
        }
        CurrentFile = page;
        FileListBox1->clearSelection();
        bsSkinSpeedButton_ViewDefault->setChecked(true);
        ChangeWindowType(abc);
        // The help page is the program's, not the user's art.
        for (QToolButton* button :
             {bsSkinSpeedButton_DelectFile, bsSkinSpeedButton_Rename, bsSkinMenuSpeedButton_Moveto})
            button->setEnabled(false);
        ShowPanel->ShowDocument(abc, false);
    } catch (const std::exception& error) {
        ShowMessage(QString::fromLocal8Bit(error.what()), TMsgType::Error, TMsgButtons::Ok);
    }
}

}  // namespace morvane
