#pragma once

#include <QWidget>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/abc.h"
#include "platform/filetransfer.h"

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
class TProgressForm;
class TScratchFolder;
class TShowPanel;
class TThumbnailView;

enum class TMsgType { Error, Confirmation, Information };
/// YesNoDefaultNo: Enter answers No, for questions whose Yes cannot be undone.
enum class TMsgButtons { Ok, YesNo, YesNoDefaultNo };

/// The main window: a file browser on the left, the shown document on the right. Its handlers
/// live in several files by concern, each a part of this class.
class Tansi2html : public QWidget {
    Q_OBJECT
public:
    Tansi2html();
    ~Tansi2html() override;

    // Start-up and shell (ansi2html.cpp).
    void Load_mouse_cursor();
    /// AppDir, the data folder; TempDir: a folder of this process's own in "temp" beside the
    /// executable, or in the system's temporary folder for an installed copy or where that
    /// cannot be made.
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

    // Encoding of the text shown (encodingchoice.cpp).
    /// The encoding the file at path is read in: the one chosen for it, none to find it from the
    /// text. A choice holds for the file it was made for until another file is loaded.
    std::optional<TEncoding> EncodingChoiceFor(const std::string& path);
    /// Brings the encoding box and the copy commands in line with the document shown.
    void ShowEncoding(const Tabc& doc);
    /// Reads the file shown again in the encoding chosen in the box (or found, for Auto).
    void CbEncodingChange(int index);

    // Copy to the clipboard (copycommands.cpp).
    /// The document's picture and its text (Unicode, and the bytes as they are) together.
    void CopyClick();
    /// The text with its colours in the "*[" notation that BBS editors paste.
    void CopyAsBbsTextClick();
    /// The copy commands work on the text and colour documents only.
    void EnableCopy(const Tabc& doc);

    // Thumbnails of the folder in place of the file list (thumbnailswitch.cpp).
    void AddThumbnailView();
    void bsSkinSpeedButton_ThumbnailsClick();
    /// Shows the file as a click on its name in the file list does.
    void ThumbnailClick(const QString& name);

    // Save-as commands (saveas.cpp).
    /// The save menu's format items, told apart by their tag: 1 text, 2 colour file, 3 page,
    /// 4 GIF, 5 BMP, 6 PNG. Does nothing while a save runs.
    void MenuItem_txtClick(QAction* sender);
    // Settings file (windowsettings.cpp).
    /// Points every window made afterwards at path instead of the usual settings file; empty
    /// goes back to the usual one. Tests keep their settings apart with it.
    static void SetSettingsFile(const std::string& path);
    void Inifile_Read();
    void Inifile_Write();

    // Folder history (history.cpp).
    /// Puts the folder of path (a file just shown) first in the folder history.
    void AddPopMenu(const std::string& path);
    void Popm_1Click(QAction* item);

    // File commands (src/filecommands/).
    void bsSkinSpeedButton_DelectFileClick();
    void bsSkinSpeedButton_RenameClick();
    void bsSkinSpeedButton_laugchClick();
    void MenuItem_CopyAndMoveClick(QAction* item);
    /// Copies or moves the shown document into folder; true when it arrived.
    bool FileMoveCopy(const std::string& folder, bool isMove);
    /// Copies or moves files as a unit, asking before an existing file is replaced; the failure,
    /// if any.
    std::optional<TTransferFailure> DoCopyFile(const std::vector<TTransferItem>& files,
                                               bool isMove);
    void AddPopMenuCopyto(const std::string& folder, bool isMove);

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

    // Opening from the desktop: command line, drop, help (desktopopen.cpp).
    /// Shows a file, selected in its folder's list, or a folder in the file browser; a missing
    /// path is reported as not found. path is file-system bytes, absolute.
    void OpenPath(const std::string& path);
    /// OpenPath of a command-line argument, as bytes, relative to the working folder; an empty
    /// one opens nothing.
    void OpenArgument(const std::string& argument);
    /// Loads and shows file as the open dialog does, and selects it in its folder's list.
    void OpenFile(const std::string& file);
    /// Shows the help page in the window's own browser.
    void ShowHelpPage(const std::string& page);
    // Keyboard (shortcuts.cpp).
    /// The text a toolbar button's hint shows: its hint and its shortcut.
    static QString HintWithShortcut(const QWidget* button);
    // Pages at once (pagepreparation.cpp).
    /// Before the window is first shown: it composes with OpenGL from the start and, once painted,
    /// makes its browser while the file list holds a page, so the first page neither waits for
    /// the web engine nor makes the window anew. Costs memory before any page; the program does
    /// it, tests do not.
    void PreparePages();
    /// Makes the browser, out of sight, when the file list holds a page.
    void PrepareBrowserForListedPages();

    Tabc abc;
    std::unique_ptr<TShowPanel> ShowPanel;
    std::string CurrentFile;
    std::string TempDir;
    std::string AppDir;
    /// An installed copy: AppDir is the install tree's data folder, written by nobody.
    bool Installed = false;
    std::string SaveDir;
    std::string LanguageName = "GB2312";
    std::string SoftwareName;
    std::string SoftwareVersion;
    /// At most 11 characters; read by the banner and the submission page.
    std::string UserId;
    /// The settings file this window reads at start and writes at close.
    std::string SettingsFile;
    /// The captions of the folder history (newest first) and of the copy-to and move-to lists,
    /// as bytes; the menus show them.
    std::vector<std::string> FHistory = std::vector<std::string>(10);
    std::vector<std::string> FCopyto = std::vector<std::string>(9);
    std::vector<std::string> FMoveto = std::vector<std::string>(9);
    /// The sponsor banner's two counters, kept as read.
    std::string FBannerCount1, FBannerCount2;
    /// Shown when a first start made a new settings file, before any language pack applies.
    std::string MsgSettingsMade;
    std::string MsgNoTemplate, MsgNoSettings, MsgOverwrite, MsgDeleteConfirm, MsgRenameCaption,
        MsgRenamePrompt, MsgRenameConfirm, MsgRenameFailed, MsgMoveFailed, MsgCopied,
        MsgCopyFailed;
    /// Delete where no trash can take the file (pack ID 160), and a file the trash did not
    /// take after all (161).
    std::string MsgDeleteForGood, MsgTrashFailed;

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
    /// The encoding of the file shown: Auto (with the one found), GB or Big5.
    QComboBox* CbEncoding = nullptr;
    /// Copy (Ctrl+C), with "Copy as BBS text" (Ctrl+Shift+C) in its menu.
    QToolButton* bsSkinMenuSpeedButton_Copy = nullptr;
    QAction* ActionCopy = nullptr;
    QAction* ActionCopyBbsText = nullptr;
    TThumbnailView* ThumbnailView = nullptr;
    QToolButton* bsSkinSpeedButton_Thumbnails = nullptr;
    QPushButton* bsSkinButton_downQuillet = nullptr;

    // Menus and dialogs.
    QMenu* PopupMenu_History = nullptr;
    QMenu* PopupMenu_Save = nullptr;
    QAction* MenuItem_txt = nullptr;
    QAction* MenuItem_clo = nullptr;
    QAction* MenuItem_htm = nullptr;
    QAction* MenuItem_gif = nullptr;
    QAction* MenuItem_bmp = nullptr;
    QAction* MenuItem_png = nullptr;
    QAction* LaunchFile = nullptr;
    QMenu* bsSkinPopupMenu_copyto = nullptr;
    QMenu* bsSkinPopupMenu_moveto = nullptr;
    QMenu* bsSkinPopupMenu_File = nullptr;
    /// popm_1 … popm_9, popm_0: the folder history items in display order.
    std::array<QAction*, 10> HistoryItems{};
    QAction* MenuItem_CopytoNewPath = nullptr;
    QAction* MenuItem_MovetoNewPath = nullptr;
    std::array<QAction*, 9> MenuItem_copyto{};
    std::array<QAction*, 9> MenuItem_Moveto{};
    QAction* MenuItem_DelectFile = nullptr;
    QAction* MenuItem_Rename = nullptr;
    QAction* MenuItem_Launch = nullptr;
    /// Made on first use, as the open dialog.
    QFileDialog* bsSkinSelectDirectoryDialog1 = nullptr;
    /// Null until the first open: made at start, it cost the window a third of its start-up.
    QFileDialog* bsSkinOpenDialog1 = nullptr;
    /// Null until the first save.
    QFileDialog* SaveDialog1 = nullptr;
    TProgressForm* ProgressForm1 = nullptr;
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
    QComboBox* CreateEncodingBox(QWidget* parent);
    QToolButton* CreateCopyButton(QWidget* parent);
    QFileDialog* OpenDialog();
    QFileDialog* SelectDirectoryDialog();
    void ConnectHandlers();
    void ConnectFileCommands();
    void CreateShortcuts();
    void AcceptDrops();
    /// The files of the document shown: both of a colour document's, even when only its text
    /// could be shown; none when nothing is shown.
    std::vector<std::string> ShownFiles() const;
    void ShowRecentCaptions();
    void RefreshFileList();
    /// Tells the user, once a run, that the settings will not be kept, and why.
    void TellSettingsNotKept(const std::string& reason);
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
    QFileDialog* SaveDialog();
    void FinishSave();

    std::unique_ptr<TMessageBoxSink> FMessageSink;
    /// TempDir while it lasts: removed with the window.
    std::unique_ptr<TScratchFolder> FScratch;
    std::optional<TEncoding> FEncodingChoice;
    std::string FEncodingChoiceFile;
    bool FSettingsTold = false;
    bool FSettingsReadable = true;
    bool FSettingsWritten = false;
    bool FFileListPlaced = false;
    bool FFontsRequested = false;
    bool FSaving = false;
    /// The window was closed during a save, and closes when it ends.
    bool FCloseAfterSave = false;
    /// PreparePages was called: the first paint makes the browser.
    bool FPreparePages = false;
};

}  // namespace morvane
