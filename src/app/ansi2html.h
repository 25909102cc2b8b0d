#pragma once

#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "document/abc.h"

class QAction;
class QComboBox;
class QFileDialog;
class QLabel;
class QMenu;
class QPushButton;
class QSplitter;
class QToolButton;

namespace morvane {

class Taboutform;
class TDirectoryTree;
class TFileListBox;
class TMessageBoxSink;
class TNoticeBar;
class TScratchFolder;
class TShowPanel;

enum class TMsgType { Error, Confirmation, Information };
enum class TMsgButtons { Ok, YesNo };

/// The main window: a file browser on the left, the shown document on the right. Its handlers
/// live in several files by concern, each a part of this class.
class Tansi2html : public QWidget {
    Q_OBJECT
public:
    Tansi2html();
    ~Tansi2html() override;

    // Start-up and shell (ansi2html.cpp).
    void Load_mouse_cursor();
    /// TempDir: a folder of this process's own in "temp" beside the executable, or in the
    /// system's temporary folder where that cannot be made.
    void Creat_temp_dir();
    /// Points the drive box and the folder tree, and so the file list, at path's folder.
    void SetExplorer(const std::string& path);
    /// Deletes TempDir + name + "_v1." + ext, "_v2." and so on up to the first that is missing.
    void ClearTempFiles(const std::string& name, const std::string& ext);
    /// The English message texts that a language pack replaces (messagetexts.cpp).
    void SetBuiltInMessages();
    /// The window's message box; returns the QMessageBox button pressed.
    int ShowMessage(const QString& text, TMsgType type, TMsgButtons buttons);

    // Show pipeline (showpipeline.cpp).
    void FileListBoxExcute();
    void FileSelected(int index);
    void bsSkinMenuSpeedButton_OpenFileClick();
    void bsSkinSpeedButton_ReloadClick();
    void ChangeWindowType(const Tabc& doc);
    void FinishLoading(bool enabled);
    void SetFormCaption(const std::string& path);
    void bsSkinSpeedButton_ViewSourceClick();
    void bsSkinSpeedButton_WordWrapClick();

    // Buttons of the left toolbar and the options strip (ansi2html.cpp).
    void bsSkinSpeedButton_HelpClick();
    void bsSkinSpeedButton_OptionClick();
    void bsSkinButton_downQuilletClick();
    /// Shows the about window, made on its first showing; brings a shown one forward.
    void bsSkinSpeedButton_AboutClick();

    // Language packs (languages.cpp).
    /// The names of the main window packs in the "Language" folder, in directory order.
    std::vector<std::string> ListLanguages();
    /// Applies the main window pack of language name; a missing pack changes nothing.
    void SetLanguage(const std::string& name);
    void CbSelectChange();

    // Gallery submission page (sendpage.cpp).
    void bsSkinSpeedButton_SendClick();

    Tabc abc;
    std::unique_ptr<TShowPanel> ShowPanel;
    std::string CurrentFile;
    std::string TempDir;
    std::string AppDir;
    std::string SaveDir;
    std::string LanguageName = "GB2312";
    std::string SoftwareName;
    std::string SoftwareVersion;
    /// At most 11 characters; read by the banner and the submission page.
    std::string UserId;
    std::string MsgNoTemplate, MsgNoSettings, MsgOverwrite, MsgDeleteConfirm, MsgRenameCaption,
        MsgRenamePrompt, MsgRenameConfirm, MsgRenameFailed, MsgMoveFailed, MsgCopied,
        MsgCopyFailed;

    // Regions and the left column.
    QWidget* bsSkinPanel_adv = nullptr;
    QWidget* bsSkinPanel5 = nullptr;
    QWidget* bsSkinPanel16 = nullptr;
    QSplitter* bsSkinSplitter2 = nullptr;
    QWidget* Panel10 = nullptr;
    QWidget* bsSkinPanel_Option = nullptr;
    QWidget* bsSkinToolBar2 = nullptr;
    QWidget* bsSkinPanel17 = nullptr;
    QComboBox* DriveComboBox1 = nullptr;
    QSplitter* bsSkinSplitter3 = nullptr;
    TDirectoryTree* DirectoryListBox1 = nullptr;
    QSplitter* bsSkinSplitter1 = nullptr;
    TFileListBox* FileListBox1 = nullptr;

    // Left toolbar.
    QToolButton* bsSkinMenuSpeedButton_History = nullptr;
    QToolButton* bsSkinSpeedButton_Rename = nullptr;
    QToolButton* bsSkinSpeedButton_About = nullptr;
    QToolButton* bsSkinSpeedButton_Option = nullptr;
    QToolButton* bsSkinSpeedButton_Help = nullptr;

    // Right area.
    QWidget* bsSkinToolBar1 = nullptr;
    /// Tells about the file shown without asking for an answer.
    TNoticeBar* NoticeBar = nullptr;
    QWidget* bsSkinPanel1 = nullptr;
    QToolButton* bsSkinSpeedButton_OpenFile = nullptr;
    QToolButton* bsSkinSpeedButton_Reload = nullptr;
    QToolButton* bsSkinMenuSpeedButton_SaveFile = nullptr;
    QToolButton* bsSkinMenuSpeedButton_Copyto = nullptr;
    QToolButton* bsSkinMenuSpeedButton_Moveto = nullptr;
    QToolButton* bsSkinSpeedButton_DelectFile = nullptr;
    QToolButton* bsSkinSpeedButton_Send = nullptr;
    QToolButton* bsSkinSpeedButton_ViewSource = nullptr;
    QToolButton* bsSkinSpeedButton_ViewDefault = nullptr;
    QToolButton* bsSkinSpeedButton_WordWrap = nullptr;
    QToolButton* bsSkinSpeedButton_laugch = nullptr;

    // Options strip.
    QWidget* bsSkinPanel2 = nullptr;
    QWidget* bsSkinPanel3 = nullptr;
    QLabel* bsSkinStdLabel3 = nullptr;
    QComboBox* CbSelect = nullptr;
    QPushButton* bsSkinButton_downQuillet = nullptr;

    // Menus and dialogs.
    QMenu* PopupMenu_History = nullptr;
    QMenu* PopupMenu_Save = nullptr;
    QAction* MenuItem_txt = nullptr;
    QAction* MenuItem_clo = nullptr;
    QAction* MenuItem_htm = nullptr;
    QAction* MenuItem_gif = nullptr;
    QAction* MenuItem_bmp = nullptr;
    QAction* LaunchFile = nullptr;
    QMenu* bsSkinPopupMenu_copyto = nullptr;
    QMenu* bsSkinPopupMenu_moveto = nullptr;
    QMenu* bsSkinPopupMenu_File = nullptr;
    /// Null until the first open: made at start, it cost the window a third of its start-up.
    QFileDialog* bsSkinOpenDialog1 = nullptr;
    /// Null until the about button is first pressed.
    std::unique_ptr<Taboutform> aboutform;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Layout (layout.cpp).
    void CreateRegions();
    QWidget* CreateLeftColumn();
    QWidget* CreateLeftToolbar();
    QWidget* CreateRightArea();
    QWidget* CreateRightToolbar();
    QWidget* CreateOptionsStrip();
    void CreateMenus();
    QFileDialog* OpenDialog();
    void ConnectHandlers();
    void FormResize();
    /// Lists the packs in the language box and applies the one named LanguageName.
    void FillLanguageBox();
    /// Loads path into abc after a Reset. A colour document whose colours cannot be read shows its
    /// text part with a notice. Throws as LoadFile does.
    bool LoadDocument(const std::string& path);
    /// The error box of a load that failed: "not found" for a missing file, else the reason
    /// unless a message of the reader has told it already.
    void ReportLoadFailure(const QString& item, const std::string& path, bool told);
    /// Clears the views and the window after the file shown went away.
    void ShowNothing();

    std::unique_ptr<TMessageBoxSink> FMessageSink;
    /// TempDir while it lasts: removed with the window.
    std::unique_ptr<TScratchFolder> FScratch;
    bool FFileListPlaced = false;
    bool FFontsRequested = false;
};

}  // namespace morvane
