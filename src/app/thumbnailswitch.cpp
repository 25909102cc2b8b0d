#include <QHBoxLayout>
#include <QSplitter>
#include <QStyle>
#include <QToolButton>
#include <utility>

#include "app/ansi2html.h"
#include "app/filelistbox.h"
#include "app/thumbnailview.h"

namespace morvane {

void Tansi2html::AddThumbnailView() {
    ThumbnailView = new TThumbnailView(bsSkinSplitter1);
    ThumbnailView->hide();
    bsSkinSplitter1->addWidget(ThumbnailView);
    bsSkinSplitter1->setStretchFactor(bsSkinSplitter1->indexOf(ThumbnailView), 0);

    // Beside the drive box, which gives way to it: the left toolbar's buttons fill its width.
    bsSkinSpeedButton_Thumbnails = new QToolButton(bsSkinPanel17);
    bsSkinSpeedButton_Thumbnails->setObjectName(QStringLiteral("bsSkinSpeedButton_Thumbnails"));
    bsSkinSpeedButton_Thumbnails->setFixedSize(25, 24);
    bsSkinSpeedButton_Thumbnails->setIconSize(QSize(20, 20));
    bsSkinSpeedButton_Thumbnails->setAutoRaise(true);
    bsSkinSpeedButton_Thumbnails->setCheckable(true);
    bsSkinSpeedButton_Thumbnails->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    bsSkinSpeedButton_Thumbnails->setToolTip(tr("Thumbnails or file list"));
    if (auto* row = qobject_cast<QHBoxLayout*>(bsSkinPanel17->layout()))
        row->addWidget(bsSkinSpeedButton_Thumbnails);
    connect(bsSkinSpeedButton_Thumbnails, &QToolButton::toggled, this,
            &Tansi2html::bsSkinSpeedButton_ThumbnailsClick);
    connect(ThumbnailView, &TThumbnailView::FileClicked, this, &Tansi2html::ThumbnailClick);
    // The thumbnails follow the folder the file list lists.
    connect(FileListBox1->model(), &QAbstractItemModel::modelReset, this, [this] {
        if (ThumbnailView->isVisible()) ThumbnailView->SetFolder(FileListBox1->Directory());
    });
}

void Tansi2html::bsSkinSpeedButton_ThumbnailsClick() {
    const bool thumbnails = bsSkinSpeedButton_Thumbnails->isChecked();
    if (thumbnails) ThumbnailView->SetFolder(FileListBox1->Directory());
    // The view shown takes the place of the one hidden.
    QList<int> sizes = bsSkinSplitter1->sizes();
    const int list = bsSkinSplitter1->indexOf(FileListBox1);
    const int view = bsSkinSplitter1->indexOf(ThumbnailView);
    if (list >= 0 && view >= 0 && list < sizes.size() && view < sizes.size())
        std::swap(sizes[list], sizes[view]);
    ThumbnailView->setVisible(thumbnails);
    FileListBox1->setVisible(!thumbnails);
    bsSkinSplitter1->setSizes(sizes);
}

void Tansi2html::ThumbnailClick(const QString& name) {
    if (ThumbnailView->Folder() != FileListBox1->Directory()) return;
    const QList<QListWidgetItem*> found = FileListBox1->findItems(name, Qt::MatchExactly);
    if (found.isEmpty()) return;
    FileListBox1->setCurrentItem(found.first());
    FileSelected(FileListBox1->row(found.first()));
}

}  // namespace morvane
