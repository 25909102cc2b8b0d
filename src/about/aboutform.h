#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>
#include <string>

#include "app/language/aboutpage.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace morvane {

class IBrowserPage;

/// What the about window takes from the main window.
struct TAboutHost {
    /// The executable's folder, ending in '/': the packs, and the about page where it may go.
    std::string AppDir;
    /// The program's private scratch folder: the about page when AppDir cannot take it.
    std::string TempDir;
    std::string SoftwareName;
    /// The main window's language, read at each showing; outlives the about window.
    const std::string* LanguageName = nullptr;
    /// False for an installed copy: its data folder takes no page even where it could.
    bool PageInAppDir = true;
};

/// The about window: a small browser that shows the about page "README.HTM" in the chosen
/// language, the maker's pages and typed addresses. The main window makes it on the first
/// showing, so neither it nor its browser costs anything before.
class Taboutform : public QWidget {
    Q_OBJECT
  public:
    explicit Taboutform(TAboutHost host);
    ~Taboutform() override;

    /// Applies the main window's language when it differs from the one last requested.
    void FollowLanguage();
    /// Applies the about pack of language name, then rewrites and shows the about page. A
    /// missing pack changes nothing.
    void SetAboutLanguage(const std::string& name);
    /// Writes the about page and shows it; a page that cannot be written is reported instead.
    void bsSkinSB_aboutClick();
    void bsSkinButton1Click();
    void Edit_inputKeyDown(int key);
    void bsSkinSB_backwordClick();
    void bsSkinSB_forwardClick();
    void bsSkinSB_homeClick();
    void bsSkinSB_bbsClick();
    void bsSkinSB_emailClick();
    /// Hands the location shown to an external browser, or to the desktop when none is found.
    void bsSkinSpeedButton1Click();
    void WebBrowserNavigateComplete2();
    void WebBrowserDownloadBegin();

    /// Where the about page is written: beside the executable when that folder may be written,
    /// otherwise in the scratch folder.
    const std::string& PageFolder() const { return FPageFolder; }
    /// The about page's address.
    QUrl AboutPageUrl() const;

    std::string AboutLanguage;
    QString LastLocation;
    /// Texts of the about pack: the note (13), the window caption (15) and the page's texts.
    std::string NoteText;
    std::string CaptionText;
    TAboutPageTexts PageTexts;

    QWidget* Panel_note = nullptr;
    QLabel* note = nullptr;
    QLineEdit* Edit_input = nullptr;
    QPushButton* bsSkinButton1 = nullptr;
    /// Null when the browser module could not be loaded.
    IBrowserPage* WebBrowser = nullptr;
    QToolButton* bsSkinSB_backword = nullptr;
    QToolButton* bsSkinSB_forward = nullptr;
    QToolButton* bsSkinSB_about = nullptr;
    QToolButton* bsSkinSB_home = nullptr;
    QToolButton* bsSkinSB_email = nullptr;
    QToolButton* bsSkinSB_bbs = nullptr;
    QToolButton* bsSkinSpeedButton1 = nullptr;

  signals:
    /// WebBrowserNavigateComplete2 has run.
    void NavigateCompleted();

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CreateControls();
    void ConnectHandlers();
    void FormCreate();
    void FormShow();
    /// Takes the texts of the about pack of language name; false when there is no such pack.
    bool ApplyAboutPack(const std::string& name);
    void WriteAboutPage();
    void Navigate(const QUrl& url);
    void ShowError(const QString& text);

    TAboutHost FHost;
    std::string FPageFolder;
};

}  // namespace morvane
