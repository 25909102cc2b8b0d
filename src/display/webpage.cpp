// The browser module: the only code that links the web engine, loaded with the first page so
// that the window starts without it.
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "display/browserpage.h"
#include "platform/webpolicy.h"

namespace morvane {
namespace {

class TWebPage : public QWebEngineView, public IBrowserPage {
public:
    explicit TWebPage(QWidget* parent) : QWebEngineView(parent) {
        ApplyLocalPagePolicy(page());
        connect(this, &QWebEngineView::loadFinished, this, [this](bool ok) {
            if (FLoadFinished) FLoadFinished(ok);
        });
        connect(this, &QWebEngineView::titleChanged, this, [this](const QString& title) {
            if (FTitleChanged) FTitleChanged(title);
        });
        connect(this, &QWebEngineView::loadStarted, this, [this]() {
            if (FLoadStarted) FLoadStarted();
        });
    }

    QWidget* Widget() override { return this; }
    void Navigate(const QUrl& url) override { setUrl(url); }
    QUrl Url() const override { return url(); }
    QString Title() const override { return title(); }

    void RunJavaScript(const QString& code, std::function<void(const QVariant&)> done) override {
        page()->runJavaScript(code, [done = std::move(done)](const QVariant& value) {
            if (done) done(value);
        });
    }

    void OnLoadFinished(std::function<void(bool ok)> handler) override {
        FLoadFinished = std::move(handler);
    }

    void OnTitleChanged(std::function<void(const QString& title)> handler) override {
        FTitleChanged = std::move(handler);
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

private:
    std::function<void(bool)> FLoadFinished;
    std::function<void(const QString&)> FTitleChanged;
    std::function<void()> FLoadStarted;
};

}  // namespace
}  // namespace morvane

extern "C" Q_DECL_EXPORT morvane::IBrowserPage* MorvaneCreateBrowserPage(QWidget* parent) {
    return new morvane::TWebPage(parent);
}
