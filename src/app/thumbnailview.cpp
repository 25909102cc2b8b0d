#include "app/thumbnailview.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QStyle>

#include "display/raster/cellfont.h"
#include "display/raster/thumbnail.h"

namespace morvane {
namespace {

const QStringList kArtMasks = {QStringLiteral("*.txt"), QStringLiteral("*.ans"),
                               QStringLiteral("*.clo")};

// Each drawing thread keeps fonts of its own: the shared ones are not for two threads at once.
TCellFont& ThreadFont() {
    thread_local std::unique_ptr<TCellFont> font = TCellFont::LoadDefault();
    return *font;
}

// Quick edits come in bursts of changes; they are taken together.
constexpr int kRefreshDelayMs = 50;

}  // namespace

TThumbnailView::TThumbnailView(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("ThumbnailView"));
    setViewMode(QListView::IconMode);
    setIconSize(QSize(kSize, kSize));
    setGridSize(QSize(kSize + 12, kSize + 32));
    setResizeMode(QListView::Adjust);
    setMovement(QListView::Static);
    setUniformItemSizes(true);
    setWordWrap(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // The window comes first: drawing takes what the user leaves.
    FPool.setThreadPriority(QThread::LowPriority);
    FRefreshTimer.setSingleShot(true);
    FRefreshTimer.setInterval(kRefreshDelayMs);
    connect(&FRefreshTimer, &QTimer::timeout, this, &TThumbnailView::Refresh);
    connect(&FWatcher, &QFileSystemWatcher::directoryChanged, &FRefreshTimer,
            qOverload<>(&QTimer::start));
    connect(&FWatcher, &QFileSystemWatcher::fileChanged, &FRefreshTimer,
            qOverload<>(&QTimer::start));
    connect(this, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { emit FileClicked(item->text()); });
    connect(this, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { emit FileClicked(item->text()); });
}

TThumbnailView::~TThumbnailView() {
    FPool.clear();
    FPool.waitForDone();
}

void TThumbnailView::SetFolder(const QString& folder) {
    if (folder == FFolder) return;
    FFolder = folder;
    // Pictures of the folder left are no longer wanted; those under way still fill the cache.
    FPool.clear();
    FPending.clear();
    clear();
    Refresh();
}

std::string TThumbnailView::PathOf(const QString& name) const {
    return QFile::encodeName(FFolder + QLatin1Char('/') + name).toStdString();
}

void TThumbnailView::Refresh() {
    QStringList names;
    if (!FFolder.isEmpty()) {
        names = QDir(FFolder).entryList(kArtMasks, QDir::Files | QDir::Hidden | QDir::System,
                                        QDir::Name | QDir::IgnoreCase);
    }
    QStringList shown;
    for (int i = 0; i < count(); ++i) shown.append(item(i)->text());
    if (shown != names) {
        clear();
        for (const QString& name : names) addItem(new QListWidgetItem(name));
    }
    std::map<std::string, TPending> pending;
    for (int i = 0; i < count(); ++i) {
        const std::string path = PathOf(item(i)->text());
        const TArtStamp stamp = ArtStampOf(path);
        if (const TPixelBuffer* picture = FCache.Find(path, kSize, stamp)) {
            ShowPicture(item(i), picture);
            continue;
        }
        const auto drawing = FPending.find(path);
        if (drawing != FPending.end() && drawing->second.Stamp == stamp) {
            pending[path] = drawing->second;
        } else {
            pending[path] = TPending{stamp, false};
        }
    }
    FPending = std::move(pending);
    for (auto& [path, drawing] : FPending) {
        if (drawing.Started) continue;
        drawing.Started = true;
        Draw(path, drawing.Stamp);
    }
    Watch();
    if (FPending.empty()) emit AllShown();
}

void TThumbnailView::Watch() {
    if (!FWatcher.files().isEmpty()) FWatcher.removePaths(FWatcher.files());
    if (!FWatcher.directories().isEmpty()) FWatcher.removePaths(FWatcher.directories());
    if (FFolder.isEmpty()) return;
    FWatcher.addPath(FFolder);
    // A file written in place changes no entry of its folder, so the files are watched too.
    QStringList files;
    for (int i = 0; i < count(); ++i) files.append(FFolder + QLatin1Char('/') + item(i)->text());
    if (!files.isEmpty()) FWatcher.addPaths(files);
}

void TThumbnailView::Draw(const std::string& path, const TArtStamp& stamp) {
    FPool.start([this, path, stamp] {
        auto picture = std::make_shared<TPixelBuffer>();
        try {
            if (!RenderThumbnail(path, kSize, ThreadFont(), *picture)) *picture = TPixelBuffer();
        } catch (const std::exception&) {
            // Without fonts nothing can be drawn; the item keeps its plain icon.
            *picture = TPixelBuffer();
        }
        QMetaObject::invokeMethod(
            this, [this, path, stamp, picture] { Drawn(path, stamp, picture); },
            Qt::QueuedConnection);
    });
}

void TThumbnailView::Drawn(const std::string& path, const TArtStamp& stamp,
                           const std::shared_ptr<TPixelBuffer>& picture) {
    ++FDrawnCount;
    FCache.Store(path, kSize, stamp, std::move(*picture));
    const auto drawing = FPending.find(path);
    if (drawing == FPending.end() || drawing->second.Stamp != stamp) return;
    FPending.erase(drawing);
    QString name;
    for (int i = 0; i < count(); ++i) {
        if (PathOf(item(i)->text()) == path) {
            name = item(i)->text();
            ShowPicture(item(i), FCache.Find(path, kSize, stamp));
        }
    }
    if (!name.isEmpty()) emit ThumbnailDrawn(name);
    if (FPending.empty()) emit AllShown();
}

void TThumbnailView::ShowPicture(QListWidgetItem* item, const TPixelBuffer* picture) {
    if (!picture || picture->Width <= 0 || picture->Height <= 0) {
        item->setIcon(style()->standardIcon(QStyle::SP_FileIcon));
        return;
    }
    const QImage image(reinterpret_cast<const uchar*>(picture->Pixels.data()), picture->Width,
                       picture->Height, picture->Width * 4, QImage::Format_RGB32);
    item->setIcon(QIcon(QPixmap::fromImage(image.copy())));
}

}  // namespace morvane
