#include "about/aboutform.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <filesystem>
#include <system_error>

#include "app/language/languagepack.h"
#include "app/language/packfolder.h"
#include "display/browserpage.h"
#include "platform/files.h"
#include "platform/gbtext.h"
#include "platform/shell.h"

namespace morvane {
namespace {

const char kPageName[] = "README.HTM";
const char kBackground[] = "bk.gif";

QWidget* Bar(QWidget* parent, int height) {
    auto* bar = new QWidget(parent);
    bar->setFixedHeight(height);
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return bar;
}

QToolButton* BarButton(QWidget* bar, const char* name, const QString& hint,
                       QStyle::StandardPixmap icon) {
    auto* button = new QToolButton(bar);
    button->setObjectName(QLatin1String(name));
    button->setFixedSize(25, 22);
    button->setAutoRaise(true);
    button->setIcon(bar->style()->standardIcon(icon));
    button->setToolTip(hint);
    bar->layout()->addWidget(button);
    return button;
}

bool FolderWritable(const std::string& folder) {
    const QFileInfo info(QFile::decodeName(QByteArray::fromStdString(folder)));
    return info.isDir() && info.isWritable();
}

}  // namespace

Taboutform::Taboutform(TAboutHost host) : FHost(std::move(host)) {
    setObjectName(QStringLiteral("aboutform"));
    // Closing the main window ends the program even while this one is on screen.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(456, 300);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::ToolTipBase));
    setPalette(colours);
    setAutoFillBackground(true);
    CreateControls();
    ConnectHandlers();
    FormCreate();
}

Taboutform::~Taboutform() = default;

void Taboutform::CreateControls() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    QWidget* top = Bar(this, 25);
    Panel_note = new QWidget(top);
    Panel_note->setObjectName(QStringLiteral("Panel_note"));
    note = new QLabel(Panel_note);
    note->setObjectName(QStringLiteral("note"));
    note->setWordWrap(true);
    auto* noteLayout = new QHBoxLayout(Panel_note);
    noteLayout->setContentsMargins(0, 0, 0, 0);
    noteLayout->addWidget(note);
    top->layout()->addWidget(Panel_note);
    Edit_input = new QLineEdit(top);
    Edit_input->setObjectName(QStringLiteral("Edit_input"));
    top->layout()->addWidget(Edit_input);
    bsSkinButton1 = new QPushButton(QStringLiteral("确定"), top);
    bsSkinButton1->setObjectName(QStringLiteral("bsSkinButton1"));
    bsSkinButton1->setFixedWidth(47);
    top->layout()->addWidget(bsSkinButton1);
    layout->addWidget(top);
    layout->addStretch(1);

    QWidget* bottom = Bar(this, 26);
    bsSkinSB_backword =
        BarButton(bottom, "bsSkinSB_backword", QStringLiteral("后退"), QStyle::SP_ArrowBack);
    bsSkinSB_forward =
        BarButton(bottom, "bsSkinSB_forward", QStringLiteral("前进"), QStyle::SP_ArrowForward);
    bsSkinSB_forward->setEnabled(false);
    bsSkinSB_about = BarButton(bottom, "bsSkinSB_about", QStringLiteral("关于本软件"),
                               QStyle::SP_MessageBoxInformation);
    bsSkinSB_home = BarButton(bottom, "bsSkinSB_home", QStringLiteral("www.example.org"),
                              QStyle::SP_DirHomeIcon);
    bsSkinSB_email = BarButton(bottom, "bsSkinSB_email", QStringLiteral("欢迎给我来信"),
                               QStyle::SP_FileDialogContentsView);
    bsSkinSB_bbs = BarButton(bottom, "bsSkinSB_bbs", QStringLiteral("欢迎给我留言"),
                             QStyle::SP_FileDialogDetailedView);
    static_cast<QHBoxLayout*>(bottom->layout())->addStretch(1);
    bsSkinSpeedButton1 = BarButton(bottom, "bsSkinSpeedButton1", QStringLiteral("导出到外部浏览器"),
                                   QStyle::SP_DesktopIcon);
    layout->addWidget(bottom);

    // The module is loaded here, with the window's first showing.
    try {
        WebBrowser = CreateBrowserPage(this);
        // A small browser: the maker's pages and addresses typed go out; the about page, whose
        // pack texts are HTML, runs no script and reaches nothing by itself.
        WebBrowser->AllowWebBrowsing();
        QWidget* view = WebBrowser->Widget();
        view->setObjectName(QStringLiteral("WebBrowser"));
        view->setGeometry(0, 25, 456, 249);
        view->show();
    } catch (const EPageError& error) {
        ShowError(QString::fromLocal8Bit(error.what()));
    }
}

void Taboutform::ConnectHandlers() {
    connect(bsSkinButton1, &QPushButton::clicked, this, &Taboutform::bsSkinButton1Click);
    Edit_input->installEventFilter(this);
    connect(bsSkinSB_backword, &QToolButton::clicked, this, &Taboutform::bsSkinSB_backwordClick);
    connect(bsSkinSB_forward, &QToolButton::clicked, this, &Taboutform::bsSkinSB_forwardClick);
    connect(bsSkinSB_about, &QToolButton::clicked, this, &Taboutform::bsSkinSB_aboutClick);
    connect(bsSkinSB_home, &QToolButton::clicked, this, &Taboutform::bsSkinSB_homeClick);
    connect(bsSkinSB_email, &QToolButton::clicked, this, &Taboutform::bsSkinSB_emailClick);
    connect(bsSkinSB_bbs, &QToolButton::clicked, this, &Taboutform::bsSkinSB_bbsClick);
    connect(bsSkinSpeedButton1, &QToolButton::clicked, this, &Taboutform::bsSkinSpeedButton1Click);
    if (WebBrowser) {
        WebBrowser->OnLoadFinished([this](bool) { WebBrowserNavigateComplete2(); });
        WebBrowser->OnLoadStarted([this]() { WebBrowserDownloadBegin(); });
    }
}

void Taboutform::FormCreate() {
    FPageFolder =
        FHost.PageInAppDir && FolderWritable(FHost.AppDir) ? FHost.AppDir : FHost.TempDir;
    AboutLanguage = FHost.LanguageName ? *FHost.LanguageName : std::string();
    ApplyAboutPack(AboutLanguage);
    setWindowTitle(DecodeGb(CaptionText));
    Panel_note->setFixedWidth(40);
    note->setText(DecodeGb(NoteText));
    LastLocation = AboutPageUrl().toString();
    bsSkinSB_aboutClick();
}

void Taboutform::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FormShow();
}

void Taboutform::FormShow() {
    FollowLanguage();
    Edit_input->setFocus();
}

void Taboutform::FollowLanguage() {
    if (FHost.LanguageName && AboutLanguage != *FHost.LanguageName) {
        AboutLanguage = *FHost.LanguageName;
        SetAboutLanguage(AboutLanguage);
    }
}

bool Taboutform::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Edit_input && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        Edit_inputKeyDown(key);
        if (key == Qt::Key_Return || key == Qt::Key_Enter) return true;
    }
    return QWidget::eventFilter(watched, event);
}

void Taboutform::SetAboutLanguage(const std::string& name) {
    if (ApplyAboutPack(name)) bsSkinSB_aboutClick();
}

bool Taboutform::ApplyAboutPack(const std::string& name) {
    const std::string path = FindPackFile(FHost.AppDir, name, kAboutPackSuffix);
    if (path.empty()) return false;
    TLanguagePack pack;
    try {
        pack = ReadLanguagePack(path, kAboutPackTextBytes);
    } catch (const EFileError& error) {
        ShowError(QString::fromLocal8Bit(error.what()));
        return false;
    }
    auto text = [&pack](int id) -> const std::string* {
        const auto found = pack.Texts.find(id);
        return found == pack.Texts.end() ? nullptr : &found->second;
    };
    const struct {
        int Id;
        QWidget* Control;
    } hints[] = {{3, bsSkinSB_backword},  {4, bsSkinSB_forward}, {5, bsSkinSB_about},
                 {6, bsSkinSB_home},      {7, bsSkinSB_email},   {8, bsSkinSB_bbs},
                 {10, bsSkinSpeedButton1}};
    if (const std::string* caption = text(1)) note->setText(DecodeGb(*caption));
    if (const std::string* caption = text(2)) bsSkinButton1->setText(DecodeGb(*caption));
    for (const auto& hint : hints) {
        if (const std::string* t = text(hint.Id)) hint.Control->setToolTip(DecodeGb(*t));
    }
    const std::string& program = FHost.SoftwareName;
    if (const std::string* t = text(13)) NoteText = *t;
    if (const std::string* t = text(15)) CaptionText = *t;
    if (const std::string* t = text(31)) PageTexts.Paragraph1 = *t;
    if (const std::string* t = text(32)) PageTexts.Paragraph2 = *t;
    if (const std::string* t = text(33)) PageTexts.Signature = "[" + program + "] " + *t;
    if (const std::string* t = text(34)) PageTexts.Closing = *t;
    if (const std::string* t = text(35)) PageTexts.Heading = *t + program;
    return true;
}

QUrl Taboutform::AboutPageUrl() const { return LocalFileUrl(FPageFolder + kPageName); }

void Taboutform::bsSkinSB_aboutClick() {
    try {
        WriteAboutPage();
    } catch (const EFileError& error) {
        ShowError(QString::fromLocal8Bit(error.what()));
        return;
    }
    Navigate(AboutPageUrl());
}

// A folder that turns out not to take the page gives way to the scratch folder, for good.
void Taboutform::WriteAboutPage() {
    const std::string page = AboutPageText(PageTexts);
    if (FPageFolder != FHost.TempDir) {
        try {
            WriteFileAtomic(FPageFolder + kPageName, page);
            return;
        } catch (const EFileError&) {
            FPageFolder = FHost.TempDir;
        }
    }
    std::error_code ignored;
    std::filesystem::copy_file(FHost.AppDir + kBackground, FPageFolder + kBackground,
                               std::filesystem::copy_options::skip_existing, ignored);
    WriteFileAtomic(FPageFolder + kPageName, page);
}

void Taboutform::ShowError(const QString& text) {
    QMessageBox box(QMessageBox::Critical, windowTitle(), text, QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("bsSkinMessage1"));
    box.exec();
}

}  // namespace morvane
