#pragma once

#include <QObject>
#include <QPointer>
#include <cstdint>
#include <string>
#include <vector>

#include "display/browserpage.h"
#include "display/raster/gridpicture.h"
#include "document/abc.h"

class QPlainTextEdit;
class QWidget;

namespace morvane {

class TBlinker;
class TPictureArea;
class TPictureView;

enum TViewMode : std::uint8_t { vmBrowser = 0, vmPicture = 1, vmText = 2, vmFallback = 3 };

/// How a view is placed on the host: where its geometry puts it, or filling the host.
enum class TAlign { None, Client };

/// Shows a document on a host widget in one of four views: a browser for pages, a picture for
/// coloured documents, a read-only text view and an editable fallback view. The views are
/// children of the host; the browser is created when it is first needed.
class TShowPanel : public QObject {
    Q_OBJECT
public:
    explicit TShowPanel(QWidget* host);
    ~TShowPanel() override;

    void InitViews();
    void SetTop(int top);
    void SetLeft(int left);
    void SetWidth(int width);
    void SetAlign(TAlign align);

    /// Brings view m to the front; the others are hidden and the browser shrunk to nothing.
    void SetViewMode(TViewMode m);
    /// Takes the document's sizes and sets the view its kind calls for.
    void SelectView(const Tabc& doc);
    /// Selects the view (the text view when forceText) and fills the view the kind calls for.
    void ShowDocument(const Tabc& doc, bool forceText);
    /// Loads the document's page in the browser; FPageLoaded stays false until it completes.
    /// Throws EPageError when the browser module cannot be loaded.
    void NavigateToFile(const Tabc& doc);
    void FillTextView(const Tabc& doc);
    void FillFallbackView(const Tabc& doc);
    /// The visible text of the loaded page into the text view, without blank lines. Throws
    /// EPageError; the text view is then empty.
    void LoadPageText();
    /// Writes the text view's lines with CR LF each; throws EFileError.
    void SaveText(const std::string& fileName);

    /// Draws a coloured document on the picture, 8 x 16 pixels per byte, and puts its lines
    /// into the text view.
    void RenderGrid(const Tabc& doc);
    /// Draws the text view's lines (its display lines with word wrap on) in its colours, as a
    /// picture to save: see RenderTextPicture. The picture view keeps what it shows.
    void RenderText(TPixelBuffer& picture) const;
    /// Photographs the whole page in the browser, a view's worth at a time, down to the rows an
    /// export keeps; a view of 20 pixels or less either way gives what it shows. The page is
    /// scrolled back afterwards. Throws EPageError.
    void CapturePage(TPixelBuffer& picture);
    /// Saves what the view in front shows as format 1 (GIF), 2 (BMP) or 3 (PNG): the page
    /// photographed, the text view drawn, or the picture as it is; another format writes nothing.
    /// Throws EPageError, EEmptyPicture, EFileError, EGifException or EPngError.
    void SavePicture(const std::string& fileName, int format);
    /// The picture of the view in front, as SavePicture takes it before the export. Throws
    /// EPageError.
    void CurrentPicture(TPixelBuffer& picture);

    /// Makes the browser ahead of the first page, out of sight; a browser that cannot be made is
    /// left to the first page to report.
    void PrepareBrowser();

    /// The browser's page, or null while there is none.
    /// The browser has been made, shown or waiting out of sight.
    bool BrowserMade() const { return !FBrowser.isNull(); }
    IBrowserPage* BrowserPage() const { return FBrowser ? FBrowserPage : nullptr; }

    /// Lets blinking cells blink in the picture (the picture's Blink command).
    void SetBlinking(bool on);
    bool Blinking() const;

    void SetWordWrap(bool on);
    bool WordWrap() const { return FWordWrap; }

    /// The text view's lines as bytes in TextEncoding(), exactly as the view holds them.
    const std::vector<std::string>& TextLines() const { return FTextLines; }
    /// The encoding of the text view's lines: the document's, or GB for a page's text.
    TEncoding TextEncoding() const { return FTextEncoding; }

    std::int32_t FTop = 0;
    std::int32_t FLeft = 0;
    std::int32_t FWidth = 0;
    std::int32_t FColCount = 0;
    std::int32_t FRowCount = 0;
    bool FWideCells = false;
    TViewMode FViewMode = vmBrowser;
    bool FPageLoaded = false;
    std::int32_t FDragX = 0;
    std::int32_t FDragY = 0;
    /// The browser's view: null until the first page is shown.
    QPointer<QWidget> FBrowser;
    QPlainTextEdit* FTextView = nullptr;
    QPlainTextEdit* FFallbackView = nullptr;
    TPictureView* FPicture = nullptr;
    /// Scrolls and zooms FPicture; it is the view that comes to the front for vmPicture.
    TPictureArea* FPictureArea = nullptr;
    /// Makes the picture's blinking cells blink.
    TBlinker* FBlinker = nullptr;

signals:
    /// The browser completed a page and BrowserDocumentComplete has run.
    void PageCompleted();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BrowserDocumentComplete();
    void PictureDragOver(QPoint pos);
    void PictureEndDrag();
    IBrowserPage& Browser();
    void SetTextLines(std::vector<std::string> lines, TEncoding encoding);
    /// The text view's lines as it reports them: with word wrap on, the lines it shows.
    std::vector<std::string> ReportedTextLines() const;
    void PlaceViews();
    std::vector<QWidget*> Views() const;

    QWidget* FHost;
    /// Valid while FBrowser is: the widget owns the page.
    IBrowserPage* FBrowserPage = nullptr;
    std::vector<std::string> FTextLines;
    TEncoding FTextEncoding = TEncoding::Gb;
    bool FWordWrap = false;
    bool FBrowserFills = false;
    bool FTextFills = false;
};

}  // namespace morvane
