#include <QEventLoop>
#include <QImage>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

#include "display/raster/exportpicture.h"
#include "display/showpanel.h"

namespace morvane {
namespace {

// Long enough for a busy engine; a tile takes a few tens of milliseconds.
constexpr int kAnswerTimeoutMs = 10000;
// A view this small or smaller has no room for tiles that overlap nothing.
constexpr int kTinyView = 20;

// Waits in a nested event loop for what the browser hands to the callback start gives it; the
// state outlives this call should the answer come too late.
template <typename T>
T AwaitAnswer(const std::function<void(std::function<void(const T&)>)>& start) {
    struct TState {
        bool Arrived = false;
        T Value{};
        QEventLoop* Loop = nullptr;
    };
    auto state = std::make_shared<TState>();
    QEventLoop loop;
    state->Loop = &loop;
    start([state](const T& value) {
        state->Arrived = true;
        state->Value = value;
        if (state->Loop) state->Loop->quit();
    });
    QTimer::singleShot(kAnswerTimeoutMs, &loop, &QEventLoop::quit);
    if (!state->Arrived) loop.exec();
    state->Loop = nullptr;
    if (!state->Arrived) throw EPageError("the page did not answer in time");
    return state->Value;
}

void CopyToPicture(const QImage& image, TPixelBuffer& picture) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    picture.Width = rgb.width();
    picture.Height = rgb.height();
    picture.Pixels.resize(static_cast<std::size_t>(picture.Width) * picture.Height);
    for (int y = 0; y < picture.Height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(rgb.constScanLine(y));
        std::copy(row, row + picture.Width,
                  picture.Pixels.begin() + static_cast<std::ptrdiff_t>(y) * picture.Width);
    }
}

}  // namespace

void TShowPanel::CapturePage(TPixelBuffer& picture) {
    IBrowserPage* page = BrowserPage();
    if (!page) throw EPageError("no page is shown");
    const auto geometry = AwaitAnswer<TPageGeometry>(
        [page](std::function<void(const TPageGeometry&)> done) { page->ReadGeometry(done); });
    const QWidget* view = page->Widget();
    if (view->width() <= kTinyView || view->height() <= kTinyView || geometry.Client.isEmpty() ||
        geometry.Page.isEmpty()) {
        CopyToPicture(page->GrabView(), picture);
        return;
    }

    const int width = geometry.Page.width();
    const int height = std::min(geometry.Page.height(), ExportRowLimit(width));
    const QSize tile = geometry.Client;
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    // Each tile is the view without its scroll bars, placed where the page really scrolled to:
    // at the right and bottom edges the page stops short and the tiles overlap.
    for (int x = 0; x < width; x += tile.width()) {
        for (int y = 0; y < height; y += tile.height()) {
            const QPoint reached =
                AwaitAnswer<QPoint>([page, x, y](std::function<void(const QPoint&)> shown) {
                    page->ScrollTo({x, y}, shown);
                });
            painter.drawImage(reached, page->GrabView(), QRect(QPoint(0, 0), tile));
        }
    }
    painter.end();
    page->ScrollTo(geometry.Scroll, {});
    CopyToPicture(image, picture);
}

}  // namespace morvane
