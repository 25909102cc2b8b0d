#pragma once

#include <QFileSystemWatcher>
#include <QListWidget>
#include <QThreadPool>
#include <QTimer>
#include <map>
#include <memory>
#include <string>

#include "display/raster/thumbnailcache.h"

namespace morvane {

/// A grid of small pictures of a folder's art files (.txt, .ans, .clo), listed and sorted as the
/// file list lists them. The pictures are drawn by background threads, so the window never waits
/// for them, kept by path, size and modification time, and drawn again when a file changes.
class TThumbnailView : public QListWidget {
    Q_OBJECT
public:
    /// The larger side of a thumbnail, in pixels.
    static constexpr int kSize = 96;

    explicit TThumbnailView(QWidget* parent);
    /// Waits for the pictures being drawn; those not yet started are dropped.
    ~TThumbnailView() override;

    /// Shows folder's art files; an empty or unreadable folder shows none.
    void SetFolder(const QString& folder);
    const QString& Folder() const { return FFolder; }
    /// Pictures drawn (files read and drawn) since the view was made; those from the cache do not
    /// count.
    int DrawnCount() const { return FDrawnCount; }
    /// Items still waiting for their picture.
    int PendingCount() const { return static_cast<int>(FPending.size()); }

signals:
    /// The user clicked or activated the item of the file name in the folder shown.
    void FileClicked(const QString& name);
    /// A newly drawn picture is on the item of the file name.
    void ThumbnailDrawn(const QString& name);
    /// Every item has its picture, or is known to have none.
    void AllShown();

private:
    struct TPending {
        TArtStamp Stamp;
        bool Started = false;
    };

    /// Lists the folder again and gives each item its picture: from the cache, or drawn.
    void Refresh();
    void Watch();
    void Draw(const std::string& path, const TArtStamp& stamp);
    void Drawn(const std::string& path, const TArtStamp& stamp,
               const std::shared_ptr<TPixelBuffer>& picture);
    std::string PathOf(const QString& name) const;
    void ShowPicture(QListWidgetItem* item, const TPixelBuffer* picture);

    QString FFolder;
    QFileSystemWatcher FWatcher;
    QTimer FRefreshTimer;
    TThumbnailCache FCache;
    /// Paths in the folder shown whose pictures are being drawn, with the stamp drawn for.
    std::map<std::string, TPending> FPending;
    int FDrawnCount = 0;
    QThreadPool FPool;
};

}  // namespace morvane
