#include "app/ansi2html.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLayout>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <system_error>

#include "about/aboutform.h"
#include "app/directorytree.h"
#include "app/filelistbox.h"
#include "app/makersite.h"
#include "app/messageboxsink.h"
#include "app/noticebar.h"
#include "app/progressform.h"
#include "display/raster/cellfont.h"
#include "display/pictureview.h"
#include "display/showpanel.h"
#include "platform/executable.h"
#include "platform/files.h"
#include "platform/loginname.h"
#include "platform/scratchfolder.h"
#include "platform/shell.h"
#include "submission/sendvalues.h"

namespace morvane {
namespace {

constexpr int kFileListHeight = 159;

const char kScratchPrefix[] = "morvane-";

std::string Bytes(const QString& name) { return QFile::encodeName(name).toStdString(); }
QString Name(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }

}  // namespace

Tansi2html::Tansi2html() {
    setObjectName(QStringLiteral("ansi2html"));
    setWindowTitle(QStringLiteral("Morvane"));

    SoftwareName = "Morvane";
    SoftwareVersion = MORVANE_VERSION;
    SetBuiltInMessages();
    abc.Reset();
    CreateRegions();
    CreateMenus();
    ShowPanel = std::make_unique<TShowPanel>(bsSkinPanel1);
    ProgressForm1 = new TProgressForm(this);
    Creat_temp_dir();
    FMessageSink = std::make_unique<TMessageBoxSink>(
        this, QString::fromStdString(SoftwareName), NoticeBar);
    abc.SetMessageSink(FMessageSink.get());
    abc.SetTempDir(TempDir);
    Inifile_Read();
    Load_mouse_cursor();
    UserId = UserIdentification(LoginName());
    CurrentFile.clear();
    ConnectHandlers();
    SetExplorer(AppDir + "Favorites/1.txt");
    SaveDir = Installed ? Bytes(QDir::homePath()) + "/" : AppDir;
    FillLanguageBox();
    CreateShortcuts();
    AcceptDrops();
}

Tansi2html::~Tansi2html() { abc.SetMessageSink(nullptr); }

void Tansi2html::ConnectHandlers() {
    connect(FileListBox1, &TFileListBox::MouseDown, this, &Tansi2html::FileListBoxExcute);
    connect(FileListBox1, &TFileListBox::KeyDown, this, &Tansi2html::FileListBoxExcute);
    connect(FileListBox1, &QWidget::customContextMenuRequested, this, [this](QPoint pos) {
        bsSkinPopupMenu_File->popup(FileListBox1->viewport()->mapToGlobal(pos));
    });
    connect(DirectoryListBox1, &TDirectoryTree::DirectoryChanged, FileListBox1,
            &TFileListBox::SetDirectory);
    connect(FileListBox1, &TFileListBox::Unreadable, this, [this](const QString& reason) {
        NoticeBar->Clear();
        NoticeBar->Add(reason);
    });
    connect(DriveComboBox1, &QComboBox::activated, this, [this](int index) {
        DirectoryListBox1->SetDirectory(DriveComboBox1->itemData(index).toString());
    });
    connect(bsSkinSpeedButton_OpenFile, &QToolButton::clicked, this,
            &Tansi2html::bsSkinMenuSpeedButton_OpenFileClick);
    connect(bsSkinSpeedButton_Reload, &QToolButton::clicked, this,
            &Tansi2html::bsSkinSpeedButton_ReloadClick);
    connect(bsSkinSpeedButton_ViewSource, &QToolButton::clicked, this,
            &Tansi2html::bsSkinSpeedButton_ViewSourceClick);
    connect(bsSkinSpeedButton_ViewDefault, &QToolButton::clicked, this,
            &Tansi2html::bsSkinSpeedButton_ViewSourceClick);
    connect(bsSkinSpeedButton_WordWrap, &QToolButton::clicked, this,
            &Tansi2html::bsSkinSpeedButton_WordWrapClick);
    connect(bsSkinSpeedButton_Help, &QToolButton::clicked, this,
            &Tansi2html::bsSkinSpeedButton_HelpClick);
    connect(bsSkinSpeedButton_Option, &QToolButton::clicked, this,
            &Tansi2html::bsSkinSpeedButton_OptionClick);
    connect(bsSkinButton_downQuillet, &QPushButton::clicked, this,
            &Tansi2html::bsSkinButton_downQuilletClick);
    // Queued, so the dialog opens once the menu has closed.
    for (QAction* item :
         {MenuItem_txt, MenuItem_clo, MenuItem_htm, MenuItem_gif, MenuItem_bmp, MenuItem_png}) {
        connect(
            item, &QAction::triggered, this, [this, item]() { MenuItem_txtClick(item); },
            Qt::QueuedConnection);
    }
    connect(PopupMenu_History, &QMenu::triggered, this, &Tansi2html::Popm_1Click);
    ConnectFileCommands();
    connect(bsSkinSpeedButton_About, &QToolButton::clicked, this,
            &Tansi2html::bsSkinSpeedButton_AboutClick);
    connect(CbSelect, &QComboBox::activated, this, &Tansi2html::CbSelectChange);
    connect(bsSkinSpeedButton_Send, &QToolButton::clicked, this,
            &Tansi2html::bsSkinSpeedButton_SendClick);
}

void Tansi2html::Creat_temp_dir() {
    const TProgramFolders& folders = ProgramFolders();
    AppDir = folders.Data.empty() ? Bytes(QCoreApplication::applicationDirPath()) + "/"
                                  : folders.Data;
    Installed = folders.Installed;
    QDir appDir(Name(AppDir));
    std::string base;
    if (!Installed &&
        (appDir.exists(QStringLiteral("temp")) || appDir.mkdir(QStringLiteral("temp")))) {
        base = AppDir + "temp/";
    } else if (QDir(QDir::tempPath()).exists()) {
        base = Bytes(QDir::tempPath()) + "/";
    }
    // Each running viewer writes its pages and scratch files into a folder of its own, so two
    // never overwrite each other's; what a crashed one left is swept up here.
    TScratchFolder::SweepAbandoned(base, kScratchPrefix);
    try {
        FScratch = std::make_unique<TScratchFolder>(base, kScratchPrefix);
        TempDir = FScratch->Path();
    } catch (const EFileError&) {
        TempDir = base;
    }
    // A scratch copy: QFile::copy would wait for the disk to sync it.
    std::error_code ignored;
    std::filesystem::copy_file(AppDir + "bk.gif", TempDir + "bk.gif",
                               std::filesystem::copy_options::overwrite_existing, ignored);
}

void Tansi2html::Load_mouse_cursor() {
    ShowPanel->FPicture->SetCursors(QCursor(Qt::OpenHandCursor), QCursor(Qt::ClosedHandCursor));
}

void Tansi2html::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FormResize();
}

void Tansi2html::FormResize() {
    const int columnHeight = bsSkinPanel16->height();
    const int listHeight = FileListBox1->height();
    if (columnHeight - 150 < listHeight) {
        const int total = DirectoryListBox1->height() + listHeight;
        const int newList = std::max(0, columnHeight - 150);
        bsSkinSplitter1->setSizes({total - newList, newList});
    }
}

// The splitter shares its height out only once laid out; then the file list gets its design height.
void Tansi2html::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (FFileListPlaced) return;
    FFileListPlaced = true;
    layout()->activate();
    const int total = DirectoryListBox1->height() + FileListBox1->height();
    bsSkinSplitter1->setSizes({total - kFileListHeight, kFileListHeight});
}

// The picture fonts take some 20 ms to load: once the window is on screen rather than before it,
// and before the first click rather than in it.
void Tansi2html::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (FFontsRequested) return;
    FFontsRequested = true;
    QTimer::singleShot(0, this, []() {
        try {
            TCellFont::Shared();
        } catch (const std::exception&) {
            // The first picture reports it, where the user asked for something.
        }
    });
    if (FPreparePages) QTimer::singleShot(0, this, [this]() { PrepareBrowserForListedPages(); });
}

void Tansi2html::closeEvent(QCloseEvent* event) {
    if (FSaving) {
        FCloseAfterSave = true;
        event->ignore();
        return;
    }
    ClearTempFiles(SoftwareName, "htm");
    Inifile_Write();
    QWidget::closeEvent(event);
}

void Tansi2html::ClearTempFiles(const std::string& name, const std::string& ext) {
    for (int n = 1;; ++n) {
        const QString candidate = Name(TempDir + name + "_v" + std::to_string(n) + "." + ext);
        if (!QFileInfo::exists(candidate)) break;
        QFile::remove(candidate);
    }
}

void Tansi2html::bsSkinSpeedButton_OptionClick() {
    bsSkinPanel_Option->setVisible(!bsSkinPanel_Option->isVisible());
}

void Tansi2html::bsSkinButton_downQuilletClick() {
    ShellOpen(QString::fromLatin1(kQuilletPage));
}

void Tansi2html::bsSkinSpeedButton_AboutClick() {
    if (!aboutform) {
        aboutform = std::make_unique<Taboutform>(
            TAboutHost{AppDir, TempDir, SoftwareName, &LanguageName, !Installed});
    }
    aboutform->show();
    aboutform->raise();
    aboutform->activateWindow();
}

int Tansi2html::ShowMessage(const QString& text, TMsgType type, TMsgButtons buttons) {
    QMessageBox::Icon icon = type == TMsgType::Error          ? QMessageBox::Critical
                             : type == TMsgType::Confirmation ? QMessageBox::Question
                                                              : QMessageBox::Information;
    QMessageBox box(
        icon, QString::fromStdString(SoftwareName), text,
        buttons == TMsgButtons::Ok ? QMessageBox::Ok : QMessageBox::Yes | QMessageBox::No, this);
    box.setObjectName(QStringLiteral("bsSkinMessage1"));
    if (buttons == TMsgButtons::YesNoDefaultNo) box.setDefaultButton(QMessageBox::No);
    return box.exec();
}

}  // namespace morvane
