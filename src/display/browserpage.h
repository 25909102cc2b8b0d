#pragma once

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QUrl>
#include <QVariant>
#include <functional>
#include <stdexcept>

class QWidget;

namespace morvane {

/// Reading the loaded page failed, or no page could be made: the message says why.
class EPageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// Where a page stands in its view, in CSS pixels.
struct TPageGeometry {
    /// The whole page: its scroll width and height.
    QSize Page;
    /// The part of the page the view shows, without its scroll bars.
    QSize Client;
    /// The page's point at the view's top left.
    QPoint Scroll;
};

// Only inline and pure members: the browser module implements it without needing a symbol of
// the executable, and the executable uses it without linking the web engine.
/// A web page view living in the browser module. Owned by its widget's Qt parent.
class IBrowserPage {
public:
    virtual ~IBrowserPage() = default;
    /// The view itself, a child of the parent it was made on.
    virtual QWidget* Widget() = 0;
    /// Starts loading url; the load-finished handler runs once it completes.
    virtual void Navigate(const QUrl& url) = 0;
    virtual QUrl Url() const = 0;
    /// The page's title, or its address while it has none.
    virtual QString Title() const = 0;
    /// Runs the program's code on the page, apart from the page's own scripts (which never run);
    /// done gets its value later, through the event loop.
    virtual void RunJavaScript(const QString& code,
                               std::function<void(const QVariant&)> done) = 0;
    /// Lets the user browse the web in this view: addresses typed and the links of local pages.
    /// A view starts limited to local files. Either way no page runs scripts of its own, and a
    /// local page reaches nothing remote.
    virtual void AllowWebBrowsing() = 0;
    /// Replaces the handler run whenever a load completes; an empty handler removes it.
    virtual void OnLoadFinished(std::function<void(bool ok)> handler) = 0;
    /// Runs handler whenever the page's title changes; an empty handler removes it.
    virtual void OnTitleChanged(std::function<void(const QString& title)> handler) = 0;
    /// Reads the page's geometry; done gets it later, through the event loop, once the view has
    /// painted what the page last drew. Page scripts can neither see nor change the reading.
    virtual void ReadGeometry(std::function<void(const TPageGeometry& geometry)> done) = 0;
    /// Scrolls the page to pos, as far as it goes; shown gets the position reached once the view
    /// has painted the page there.
    virtual void ScrollTo(QPoint pos, std::function<void(QPoint reached)> shown) = 0;
    /// The view as it is painted now, scroll bars included, one pixel per CSS pixel.
    virtual QImage GrabView() = 0;
    /// Starts going back in the page's history; false, doing nothing, when there is no page before.
    virtual bool GoBack() = 0;
    /// Starts going forward in the page's history; false, doing nothing, when there is none.
    virtual bool GoForward() = 0;
    /// Runs handler whenever a load starts; an empty handler removes it.
    virtual void OnLoadStarted(std::function<void()> handler) = 0;
};

/// Loads the browser module beside the executable on first use and makes a page on parent.
/// Throws EPageError (with the module path and QLibrary's error) when it cannot.
IBrowserPage* CreateBrowserPage(QWidget* parent);

}  // namespace morvane

/// The browser module's one export: a new page owned by parent. The executable only looks it up.
extern "C" morvane::IBrowserPage* MorvaneCreateBrowserPage(QWidget* parent);
