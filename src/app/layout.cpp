#include <QButtonGroup>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/ansi2html.h"
#include "app/directorytree.h"
#include "app/filelistbox.h"
#include "app/imagelist.h"
#include "app/noticebar.h"

namespace morvane {
namespace {

constexpr int kBarHeight = 24;

QWidget* Panel(QWidget* parent, const char* name) {
    auto* panel = new QWidget(parent);
    panel->setObjectName(QLatin1String(name));
    return panel;
}

QHBoxLayout* BarLayout(QWidget* bar) {
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    bar->setFixedHeight(kBarHeight);
    return layout;
}

QToolButton* Button(QHBoxLayout* bar, const char* name, int width, int picture, bool enabled) {
    auto* button = new QToolButton(bar->parentWidget());
    button->setObjectName(QLatin1String(name));
    button->setFixedSize(width, kBarHeight);
    button->setIconSize(QSize(20, 20));
    button->setAutoRaise(true);
    button->setEnabled(enabled);
    SetPicture(button, picture);
    bar->addWidget(button);
    return button;
}

void Spacer(QHBoxLayout* bar, const char* name) {
    auto* spacer = Panel(bar->parentWidget(), name);
    spacer->setFixedWidth(10);
    bar->addWidget(spacer);
}

QAction* Item(QMenu* menu, const char* name, const QString& caption, int tag) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    action->setData(tag);
    return action;
}

QMenu* Menu(QWidget* owner, const char* name) {
    auto* menu = new QMenu(owner);
    menu->setObjectName(QLatin1String(name));
    return menu;
}

}  // namespace

void Tansi2html::CreateRegions() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    bsSkinPanel_adv = Panel(this, "bsSkinPanel_adv");
    bsSkinPanel_adv->setFixedHeight(76);
    auto* banner = new QLabel(QStringLiteral("Morvane"), bsSkinPanel_adv);
    banner->setObjectName(QStringLiteral("bsSkinLabel_adv"));
    banner->setGeometry(12, 0, 400, 76);
    layout->addWidget(bsSkinPanel_adv);

    bsSkinPanel5 = Panel(this, "bsSkinPanel5");
    auto* mainLayout = new QHBoxLayout(bsSkinPanel5);
    mainLayout->setContentsMargins(0, 0, 0, 0);
    bsSkinSplitter2 = new QSplitter(Qt::Horizontal, bsSkinPanel5);
    bsSkinSplitter2->setObjectName(QStringLiteral("bsSkinSplitter2"));
    bsSkinSplitter2->setHandleWidth(10);
    bsSkinSplitter2->setChildrenCollapsible(false);
    bsSkinSplitter2->addWidget(CreateLeftColumn());
    bsSkinSplitter2->addWidget(CreateRightArea());
    bsSkinSplitter2->setStretchFactor(1, 1);
    bsSkinSplitter2->setSizes({153, 400});
    mainLayout->addWidget(bsSkinSplitter2);
    layout->addWidget(bsSkinPanel5, 1);

    bsSkinPanel_Option = CreateOptionsStrip();
    layout->addWidget(bsSkinPanel_Option);
    bsSkinPanel_Option->hide();
}

QWidget* Tansi2html::CreateLeftColumn() {
    bsSkinPanel16 = Panel(this, "bsSkinPanel16");
    bsSkinPanel16->setMinimumWidth(10);
    auto* column = new QVBoxLayout(bsSkinPanel16);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(CreateLeftToolbar());

    bsSkinSplitter3 = new QSplitter(Qt::Vertical, bsSkinPanel16);
    bsSkinSplitter3->setObjectName(QStringLiteral("bsSkinSplitter3"));
    bsSkinSplitter3->setHandleWidth(5);
    bsSkinPanel17 = Panel(bsSkinSplitter3, "bsSkinPanel17");
    bsSkinPanel17->setFixedHeight(kBarHeight);
    auto* driveLayout = new QHBoxLayout(bsSkinPanel17);
    driveLayout->setContentsMargins(0, 0, 0, 0);
    DriveComboBox1 = new QComboBox(bsSkinPanel17);
    DriveComboBox1->setObjectName(QStringLiteral("DriveComboBox1"));
    DriveComboBox1->setMaxVisibleItems(8);
    driveLayout->addWidget(DriveComboBox1);
    bsSkinSplitter3->addWidget(bsSkinPanel17);

    bsSkinSplitter1 = new QSplitter(Qt::Vertical, bsSkinSplitter3);
    bsSkinSplitter1->setObjectName(QStringLiteral("bsSkinSplitter1"));
    bsSkinSplitter1->setHandleWidth(5);
    bsSkinSplitter1->setChildrenCollapsible(false);
    DirectoryListBox1 = new TDirectoryTree(bsSkinSplitter1);
    DirectoryListBox1->setObjectName(QStringLiteral("DirectoryListBox1"));
    FileListBox1 = new TFileListBox(bsSkinSplitter1);
    FileListBox1->setObjectName(QStringLiteral("FileListBox1"));
    FileListBox1->SetMask(QStringLiteral("*.txt;*.ans;*.clo;*.htm;*.html"));
    FileListBox1->setContextMenuPolicy(Qt::CustomContextMenu);
    bsSkinSplitter1->addWidget(DirectoryListBox1);
    bsSkinSplitter1->addWidget(FileListBox1);
    bsSkinSplitter1->setStretchFactor(0, 1);
    bsSkinSplitter1->setStretchFactor(1, 0);
    bsSkinSplitter3->addWidget(bsSkinSplitter1);
    bsSkinSplitter3->setStretchFactor(1, 1);
    column->addWidget(bsSkinSplitter3, 1);
    AddThumbnailView();
    return bsSkinPanel16;
}

QWidget* Tansi2html::CreateLeftToolbar() {
    bsSkinToolBar2 = Panel(this, "bsSkinToolBar2");
    QHBoxLayout* bar = BarLayout(bsSkinToolBar2);
    bsSkinMenuSpeedButton_History = Button(bar, "bsSkinMenuSpeedButton_History", 49, 1, true);
    bsSkinSpeedButton_Rename = Button(bar, "bsSkinSpeedButton_Rename", 25, 14, false);
    bsSkinSpeedButton_About = Button(bar, "bsSkinSpeedButton_About", 25, 4, true);
    bsSkinSpeedButton_Option = Button(bar, "bsSkinSpeedButton_Option", 25, 5, true);
    bsSkinSpeedButton_Help = Button(bar, "bsSkinSpeedButton_Help", 25, 6, true);
    bar->addStretch(1);
    return bsSkinToolBar2;
}

QWidget* Tansi2html::CreateRightArea() {
    Panel10 = Panel(this, "Panel10");
    Panel10->setBackgroundRole(QPalette::Window);
    auto* area = new QVBoxLayout(Panel10);
    area->setContentsMargins(0, 0, 0, 0);
    area->setSpacing(0);
    area->addWidget(CreateRightToolbar());
    NoticeBar = new TNoticeBar(Panel10);
    area->addWidget(NoticeBar);
    bsSkinPanel1 = Panel(Panel10, "bsSkinPanel1");
    area->addWidget(bsSkinPanel1, 1);
    return Panel10;
}

QWidget* Tansi2html::CreateRightToolbar() {
    bsSkinToolBar1 = Panel(this, "bsSkinToolBar1");
    QHBoxLayout* bar = BarLayout(bsSkinToolBar1);
    bsSkinSpeedButton_OpenFile = Button(bar, "bsSkinSpeedButton_OpenFile", 25, 0, true);
    bsSkinSpeedButton_Reload = Button(bar, "bsSkinSpeedButton_Reload", 25, 18, false);
    bsSkinSpeedButton_Reload->setToolTip(QStringLiteral("刷新文件"));
    bsSkinMenuSpeedButton_SaveFile = Button(bar, "bsSkinMenuSpeedButton_SaveFile", 45, 2, false);
    bsSkinMenuSpeedButton_Copyto = Button(bar, "bsSkinMenuSpeedButton_Copyto", 45, 15, false);
    bsSkinMenuSpeedButton_Moveto = Button(bar, "bsSkinMenuSpeedButton_Moveto", 45, 13, false);
    bsSkinSpeedButton_DelectFile = Button(bar, "bsSkinSpeedButton_DelectFile", 25, 12, false);
    bsSkinSpeedButton_Send = Button(bar, "bsSkinSpeedButton_Send", 25, 3, false);
    Spacer(bar, "bsSkinBevel1");
    bsSkinSpeedButton_ViewSource = Button(bar, "bsSkinSpeedButton_ViewSource", 25, 8, true);
    bsSkinSpeedButton_ViewDefault = Button(bar, "bsSkinSpeedButton_ViewDefault", 25, 7, true);
    Spacer(bar, "bsSkinBevel2");
    bsSkinSpeedButton_WordWrap = Button(bar, "bsSkinSpeedButton_WordWrap", 25, 17, true);
    bsSkinSpeedButton_WordWrap->setToolTip(QStringLiteral("自动换行"));
    bsSkinSpeedButton_WordWrap->setCheckable(true);
    Spacer(bar, "bsSkinBevel3");
    bar->addWidget(CreateEncodingBox(bsSkinToolBar1));
    bar->addWidget(CreateCopyButton(bsSkinToolBar1));
    bar->addStretch(1);
    bsSkinSpeedButton_laugch = Button(bar, "bsSkinSpeedButton_laugch", 25, 16, true);

    auto* group1 = new QButtonGroup(bsSkinToolBar1);
    group1->setExclusive(true);
    for (QToolButton* button : {bsSkinSpeedButton_ViewSource, bsSkinSpeedButton_ViewDefault}) {
        button->setCheckable(true);
        group1->addButton(button);
    }
    bsSkinSpeedButton_ViewDefault->setChecked(true);
    return bsSkinToolBar1;
}

QWidget* Tansi2html::CreateOptionsStrip() {
    QWidget* strip = Panel(this, "bsSkinPanel_Option");
    strip->setFixedHeight(34);
    auto* layout = new QHBoxLayout(strip);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    bsSkinPanel3 = Panel(strip, "bsSkinPanel3");
    Panel(bsSkinPanel3, "bsSkinPanel4")->setGeometry(0, 0, 2000, 9);
    bsSkinStdLabel3 = new QLabel(QStringLiteral("Language"), bsSkinPanel3);
    bsSkinStdLabel3->setObjectName(QStringLiteral("bsSkinStdLabel3"));
    bsSkinStdLabel3->setGeometry(8, 7, 129, 17);
    CbSelect = new QComboBox(bsSkinPanel3);
    CbSelect->setObjectName(QStringLiteral("CbSelect"));
    CbSelect->setGeometry(63, 5, 74, 20);
    CbSelect->setToolTip(QStringLiteral("LanguageSelect"));
    CbSelect->setMaxVisibleItems(4);
    bsSkinButton_downQuillet = new QPushButton(QStringLiteral("DownLoad Quillet"), bsSkinPanel3);
    bsSkinButton_downQuillet->setObjectName(QStringLiteral("bsSkinButton_downQuillet"));
    bsSkinButton_downQuillet->setGeometry(208, 8, 145, 17);
    layout->addWidget(bsSkinPanel3, 1);

    bsSkinPanel2 = Panel(strip, "bsSkinPanel2");
    bsSkinPanel2->setFixedWidth(107);
    layout->addWidget(bsSkinPanel2);
    return strip;
}

void Tansi2html::CreateMenus() {
    PopupMenu_History = Menu(this, "PopupMenu_History");
    for (int i = 1; i <= 9; ++i) {
        QByteArray name = "popm_" + QByteArray::number(i);
        HistoryItems[i - 1] = Item(PopupMenu_History, name.constData(), QString::number(i), 0);
    }
    HistoryItems[9] = Item(PopupMenu_History, "popm_0", QStringLiteral("文件夹..."), 0);
    bsSkinMenuSpeedButton_History->setMenu(PopupMenu_History);
    bsSkinMenuSpeedButton_History->setPopupMode(QToolButton::InstantPopup);

    PopupMenu_Save = Menu(this, "PopupMenu_Save");
    MenuItem_txt = Item(PopupMenu_Save, "MenuItem_txt", QStringLiteral("Text File(.txt)"), 1);
    MenuItem_clo = Item(PopupMenu_Save, "MenuItem_clo", QStringLiteral("Color File(.clo)"), 2);
    MenuItem_htm = Item(PopupMenu_Save, "MenuItem_htm", QStringLiteral("Html File(.htm)"), 3);
    MenuItem_gif = Item(PopupMenu_Save, "MenuItem_gif", QStringLiteral("Gif File(.gif)"), 4);
    MenuItem_bmp = Item(PopupMenu_Save, "MenuItem_bmp", QStringLiteral("BMP File(.bmp)"), 5);
    MenuItem_png = Item(PopupMenu_Save, "MenuItem_png", QStringLiteral("PNG File(.png)"), 6);
    PopupMenu_Save->addSeparator();
    LaunchFile = Item(PopupMenu_Save, "LaunchFile", QStringLiteral("Launch Save File"), 0);
    LaunchFile->setCheckable(true);
    LaunchFile->setChecked(true);
    bsSkinMenuSpeedButton_SaveFile->setMenu(PopupMenu_Save);
    bsSkinMenuSpeedButton_SaveFile->setPopupMode(QToolButton::InstantPopup);

    bsSkinPopupMenu_copyto = Menu(this, "bsSkinPopupMenu_copyto");
    bsSkinPopupMenu_moveto = Menu(this, "bsSkinPopupMenu_moveto");
    MenuItem_CopytoNewPath =
        Item(bsSkinPopupMenu_copyto, "MenuItem_CopytoNewPath", QStringLiteral("Copyto Path..."), 1);
    MenuItem_MovetoNewPath = Item(bsSkinPopupMenu_moveto, "MenuItem_MovetoNewPath",
                                  QStringLiteral("Move to Path..."), 2);
    for (int i = 1; i <= 9; ++i) {
        QByteArray copyName = "MenuItem_copyto" + QByteArray::number(i);
        QByteArray moveName = "MenuItem_Moveto" + QByteArray::number(i);
        MenuItem_copyto[i - 1] =
            Item(bsSkinPopupMenu_copyto, copyName.constData(), QStringLiteral("/"), 3);
        MenuItem_Moveto[i - 1] =
            Item(bsSkinPopupMenu_moveto, moveName.constData(), QStringLiteral("/"), 4);
    }
    bsSkinMenuSpeedButton_Copyto->setMenu(bsSkinPopupMenu_copyto);
    bsSkinMenuSpeedButton_Copyto->setPopupMode(QToolButton::InstantPopup);
    bsSkinMenuSpeedButton_Moveto->setMenu(bsSkinPopupMenu_moveto);
    bsSkinMenuSpeedButton_Moveto->setPopupMode(QToolButton::InstantPopup);

    bsSkinPopupMenu_File = Menu(this, "bsSkinPopupMenu_File");
    MenuItem_DelectFile =
        Item(bsSkinPopupMenu_File, "MenuItem_DelectFile", QStringLiteral("&Delect"), 0);
    MenuItem_Rename = Item(bsSkinPopupMenu_File, "MenuItem_Rename", QStringLiteral("&Rename"), 0);
    MenuItem_Launch = Item(bsSkinPopupMenu_File, "MenuItem_Launch", QStringLiteral("&Launch"), 0);
    bsSkinPopupMenu_File->addSeparator();
    Item(bsSkinPopupMenu_File, "MenuItem_FileCopy", QStringLiteral("&Copy"), 0)->setEnabled(false);
    Item(bsSkinPopupMenu_File, "MenuItem_FileCut", QStringLiteral("C&ut"), 0)->setEnabled(false);
}

QFileDialog* Tansi2html::OpenDialog() {
    if (bsSkinOpenDialog1) return bsSkinOpenDialog1;
    bsSkinOpenDialog1 = new QFileDialog(this, QStringLiteral("Open file"));
    bsSkinOpenDialog1->setObjectName(QStringLiteral("bsSkinOpenDialog1"));
    bsSkinOpenDialog1->setOption(QFileDialog::DontUseNativeDialog);
    bsSkinOpenDialog1->setFileMode(QFileDialog::ExistingFile);
    bsSkinOpenDialog1->setNameFilters({
        QStringLiteral("All (*.txt;*.ans;*.clo;*.htm) (*.txt *.ans *.clo *.htm *.html)"),
        QStringLiteral("Text files (*.txt)"),
        QStringLiteral("ANSI files (*.ans)"),
        QStringLiteral("Quillet files (*.clo)"),
        QStringLiteral("Html files (*.htm) (*.htm *.html)"),
    });
    return bsSkinOpenDialog1;
}

QFileDialog* Tansi2html::SelectDirectoryDialog() {
    if (bsSkinSelectDirectoryDialog1) return bsSkinSelectDirectoryDialog1;
    bsSkinSelectDirectoryDialog1 = new QFileDialog(this, QStringLiteral("Select folder"));
    bsSkinSelectDirectoryDialog1->setObjectName(QStringLiteral("bsSkinSelectDirectoryDialog1"));
    bsSkinSelectDirectoryDialog1->setOption(QFileDialog::DontUseNativeDialog);
    bsSkinSelectDirectoryDialog1->setOption(QFileDialog::ShowDirsOnly);
    bsSkinSelectDirectoryDialog1->setFileMode(QFileDialog::Directory);
    return bsSkinSelectDirectoryDialog1;
}

}  // namespace morvane
