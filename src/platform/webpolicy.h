#pragma once

#include <QWebEnginePage>
#include <atomic>

namespace morvane {

/// How far a page of the browser views may go.
enum class TPageReach {
    /// Local files only: the display panel, which shows the pages of a browsed folder.
    LocalFiles,
    /// Also the web addresses the user asks for: the about window, a small browser.
    UserBrowsing,
};

/// A page that shows what a local file holds and nothing more. No page runs scripts of its own
/// (the program's scripts run in a world of their own). A local page loads its file and the local
/// pictures, style sheets and fonts it shows, and no other file or address; it goes nowhere by
/// itself: no form, refresh or frame leaves it. In a browser (UserBrowsing) the user may follow
/// its links to the web, and web pages browse as usual, without scripts, never into local files.
class TGuardedPage : public QWebEnginePage {
  public:
    explicit TGuardedPage(QObject* parent);

    void SetReach(TPageReach reach) { FReach = reach; }
    TPageReach Reach() const { return FReach; }

  protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;

  private:
    std::atomic<TPageReach> FReach{TPageReach::LocalFiles};
};

}  // namespace morvane
