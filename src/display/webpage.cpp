// The browser module: the only code that links the web engine, loaded with the first page so
// that the window starts without it.
#include <QDeadlineTimer>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <memory>

#include "display/browserpage.h"
#include "platform/webpolicy.h"

namespace morvane {
namespace {

// How long a frame the page has drawn may take to be painted before the view is taken as is:
// a page that scrolls without changing what it shows paints nothing new.
constexpr int kPaintWaitMs = 1000;
// How long the page may take to draw its frames, after which the view is taken as it is: a page
// replaced meanwhile never answers.
constexpr int kFrameWaitMs = 5000;

// Marks, in the page's script world of our own, when the page has drawn two frames: by then the
// frame for what the script changed before it has been drawn.
const char kAfterNextFrame[] =
    "window.__morvaneFrame = false;"
    "requestAnimationFrame(function () {"
    "  requestAnimationFrame(function () { window.__morvaneFrame = true; });"
    "});";

QPoint PointAt(const QVariantList& list, int index) {
    return {list.value(index).toInt(), list.value(index + 1).toInt()};
}

class TWebPage : public QWebEngineView, public IBrowserPage {
public:
    explicit TWebPage(QWidget* parent) : QWebEngineView(parent) {
        setPage(FPage = new TGuardedPage(this));
        connect(this, &QWebEngineView::loadFinished, this, [this](bool ok) {
            if (FLoadFinished) FLoadFinished(ok);
        });
        connect(this, &QWebEngineView::titleChanged, this, [this](const QString& title) {
            if (FTitleChanged) FTitleChanged(title);
        });
        FPaintTimer.setSingleShot(true);
        FPaintTimer.setInterval(kPaintWaitMs);
        connect(&FPaintTimer, &QTimer::timeout, this, [this]() { EndPaintWait(); });
        connect(this, &QWebEngineView::loadStarted, this, [this]() {
            if (FLoadStarted) FLoadStarted();
        });
    }

    // The engine answers the scripts still running with nothing as the page goes, when this
    // object is no more.
    ~TWebPage() override { *FAlive = false; }

    QWidget* Widget() override { return this; }
    void Navigate(const QUrl& url) override { setUrl(url); }
    QUrl Url() const override { return url(); }
    QString Title() const override { return title(); }

    // In a world of the program's own: pages run no scripts of theirs, and cannot see these.
    void RunJavaScript(const QString& code, std::function<void(const QVariant&)> done) override {
        page()->runJavaScript(code, QWebEngineScript::ApplicationWorld,
                              [done = std::move(done)](const QVariant& value) {
                                  if (done) done(value);
                              });
    }

    void AllowWebBrowsing() override { FPage->SetReach(TPageReach::UserBrowsing); }

    void OnLoadFinished(std::function<void(bool ok)> handler) override {
        FLoadFinished = std::move(handler);
    }

    void OnTitleChanged(std::function<void(const QString& title)> handler) override {
        FTitleChanged = std::move(handler);
    }

    void ReadGeometry(std::function<void(const TPageGeometry& geometry)> done) override {
        WatchPaints();
        const QString code = QStringLiteral(
                                 "(function () {"
                                 "  var e = document.scrollingElement || document.documentElement;"
                                 "  if (!e) return null;") +
                             QLatin1String(kAfterNextFrame) +
                             QStringLiteral(
                                 "  return [e.scrollWidth, e.scrollHeight, e.clientWidth,"
                                 "          e.clientHeight, Math.round(window.scrollX),"
                                 "          Math.round(window.scrollY)];"
                                 "})()");
        RunIsolated(code, [this, done = std::move(done)](const QVariant& value) {
            const QVariantList list = value.toList();
            TPageGeometry geometry;
            if (list.size() == 6) {
                geometry.Page = QSize(list[0].toInt(), list[1].toInt());
                geometry.Client = QSize(list[2].toInt(), list[3].toInt());
                geometry.Scroll = PointAt(list, 4);
            }
            AfterFrame(-1, QDeadlineTimer(kFrameWaitMs), [done, geometry]() { done(geometry); });
        });
    }

    void ScrollTo(QPoint pos, std::function<void(QPoint reached)> shown) override {
        WatchPaints();
        const int paintsBefore = FPaints;
        const QString code =
            QStringLiteral(
                "(function (x, y) {"
                "  var before = [Math.round(window.scrollX), Math.round(window.scrollY)];"
                "  window.scrollTo({left: x, top: y, behavior: 'instant'});") +
            QLatin1String(kAfterNextFrame) +
            QStringLiteral(
                "  return before.concat([Math.round(window.scrollX), Math.round(window.scrollY)]);"
                "})(%1, %2)")
                .arg(pos.x())
                .arg(pos.y());
        RunIsolated(code, [this, paintsBefore, shown = std::move(shown)](const QVariant& value) {
            const QVariantList list = value.toList();
            const QPoint before = PointAt(list, 0);
            const QPoint reached = PointAt(list, 2);
            // Where the page did not move, the view already shows it.
            AfterFrame(reached == before ? -1 : paintsBefore, QDeadlineTimer(kFrameWaitMs),
                       [shown, reached]() {
                           if (shown) shown(reached);
                       });
        });
    }

    QImage GrabView() override {
        QImage image = grab().toImage();
        if (image.devicePixelRatio() != 1.0) {
            image = image.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            image.setDevicePixelRatio(1.0);
        }
        return image;
    }

    bool GoBack() override {
        if (!history()->canGoBack()) return false;
        back();
        return true;
    }

    bool GoForward() override {
        if (!history()->canGoForward()) return false;
        forward();
        return true;
    }

    void OnLoadStarted(std::function<void()> handler) override {
        FLoadStarted = std::move(handler);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == FPainted && event->type() == QEvent::Paint) {
            ++FPaints;
            // After the frame's own paint has been handled, so a grab then shows it.
            if (FPaintWaiter) {
                const int wait = FPaintWait;
                QTimer::singleShot(0, this, [this, wait]() {
                    if (wait == FPaintWait) EndPaintWait();
                });
            }
        }
        return QWebEngineView::eventFilter(watched, event);
    }

private:
    void RunIsolated(const QString& code, std::function<void(const QVariant&)> done) {
        page()->runJavaScript(code, QWebEngineScript::ApplicationWorld,
                              [alive = FAlive, done = std::move(done)](const QVariant& value) {
                                  if (*alive) done(value);
                              });
    }

    // The view paints the page through a widget of its own, which the engine may replace.
    void WatchPaints() {
        QWidget* painted = focusProxy();
        if (painted == FPainted) return;
        if (FPainted) FPainted->removeEventFilter(this);
        FPainted = painted;
        if (FPainted) FPainted->installEventFilter(this);
    }

    // Runs then once the page has drawn two frames (or the deadline has passed) and, unless
    // paintsBefore is -1, the view has painted since paintsBefore paints.
    void AfterFrame(int paintsBefore, QDeadlineTimer deadline, std::function<void()> then) {
        RunIsolated(QStringLiteral("window.__morvaneFrame === true"),
                    [this, paintsBefore, deadline, then = std::move(then)](const QVariant& drawn) {
                        if (!drawn.toBool() && !deadline.hasExpired()) {
                            AfterFrame(paintsBefore, deadline, then);
                        } else if (paintsBefore < 0 || FPaints > paintsBefore) {
                            then();
                        } else {
                            ++FPaintWait;
                            FPaintWaiter = then;
                            FPaintTimer.start();
                        }
                    });
    }

    void EndPaintWait() {
        FPaintTimer.stop();
        std::function<void()> waiter = std::move(FPaintWaiter);
        FPaintWaiter = nullptr;
        if (waiter) waiter();
    }

    TGuardedPage* FPage = nullptr;
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
    std::function<void(bool)> FLoadFinished;
    std::function<void(const QString&)> FTitleChanged;
    QPointer<QWidget> FPainted;
    int FPaints = 0;
    // The wait for a paint under way, if any, and its number.
    std::function<void()> FPaintWaiter;
    int FPaintWait = 0;
    QTimer FPaintTimer;
    std::function<void()> FLoadStarted;
};

}  // namespace
}  // namespace morvane

extern "C" Q_DECL_EXPORT morvane::IBrowserPage* MorvaneCreateBrowserPage(QWidget* parent) {
    return new morvane::TWebPage(parent);
}
