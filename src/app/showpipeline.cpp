#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QToolButton>
#include <exception>

#include "app/ansi2html.h"
#include "app/caption.h"
#include "app/filelistbox.h"
#include "app/imagelist.h"
#include "app/messageboxsink.h"
#include "app/noticebar.h"
#include "display/showpanel.h"
#include "platform/files.h"
#include "platform/gbcodec.h"
#include "platform/gbtext.h"

namespace morvane {
namespace {

struct TKindSettings {
    int LaunchPicture;
    bool SendAndFormats;
};

// Indexed by the document kind.
constexpr TKindSettings kKindSettings[] = {
    {10, false},  // dkHtml
    {9, true},    // dkColor
    {8, true},    // dkText
    {11, false},  // dkNone
};

}  // namespace

void Tansi2html::FileListBoxExcute() {
    if (FileListBox1->count() == 0) {
        for (QToolButton* button : {bsSkinSpeedButton_DelectFile, bsSkinSpeedButton_Rename,
                                    bsSkinMenuSpeedButton_Copyto, bsSkinMenuSpeedButton_Moveto}) {
            button->setEnabled(false);
        }
        return;
    }
    int index = -1;
    for (int i = FileListBox1->count() - 1; i >= 0 && index < 0; --i) {
        if (FileListBox1->item(i)->isSelected()) index = i;
    }
    if (index <= 0) {
        index = 0;
        FileListBox1->setCurrentRow(0);
    }
    FileSelected(index);
}

void Tansi2html::FileSelected(int index) {
    const QString item = FileListBox1->item(index)->text();
    try {
        const std::string path =
            QFile::encodeName(FileListBox1->Directory() + QLatin1Char('/') + item).toStdString();
        if (path == CurrentFile) return;
        NoticeBar->Clear();
        const int shown = FMessageSink->Shown();
        if (!LoadDocument(path)) {
            ReportLoadFailure(item, path, FMessageSink->Shown() != shown);
            FinishLoading(false);
            return;
        }
        CurrentFile = path;
        AddPopMenu(CurrentFile);
        ShowPanel->ShowDocument(abc, bsSkinSpeedButton_ViewSource->isChecked());
        ChangeWindowType(abc);
    } catch (const std::exception& error) {
        // The reason goes on a line of its own, so the user can act on it.
        ShowMessage(QStringLiteral("File: ") + item + QStringLiteral(" Open Error\n") +
                        QString::fromLocal8Bit(error.what()),
                    TMsgType::Error, TMsgButtons::Ok);
    }
}

bool Tansi2html::LoadDocument(const std::string& path) {
    abc.Reset();
    abc.SetEncodingChoice(EncodingChoiceFor(path));
    std::string colourFailure;
    try {
        if (abc.LoadFile(path)) return true;
        colourFailure = abc.FLoadError;
    } catch (const EFileError& error) {
        if (abc.FTextPath.empty()) throw;
        colourFailure = FileNameToGb(error.what());
    }
    // Art whose colour part is broken is still worth seeing as text.
    if (abc.DetectKind(path) != dkColor || !abc.LoadTextPart()) return false;
    NoticeBar->Add(tr("The colours could not be read, so the text is shown without them: %1")
                       .arg(DecodeGb(colourFailure)));
    return true;
}

void Tansi2html::ReportLoadFailure(const QString& item, const std::string& path, bool told) {
    const QFileInfo info(QFile::decodeName(QByteArray::fromStdString(path)));
    if (!info.exists() && !info.isSymLink()) {
        ShowMessage(QStringLiteral("File: ") + item + QStringLiteral(" not found"),
                    TMsgType::Error, TMsgButtons::Ok);
    } else {
        QString text = QStringLiteral("File: ") + item + QStringLiteral(" Open Error");
        if (!told) text += QLatin1Char('\n') + DecodeGb(abc.FLoadError);
        ShowMessage(text, TMsgType::Error, TMsgButtons::Ok);
    }
}

void Tansi2html::bsSkinMenuSpeedButton_OpenFileClick() {
    QFileDialog* dialog = OpenDialog();
    if (!FileListBox1->Directory().isEmpty()) dialog->setDirectory(FileListBox1->Directory());
    if (dialog->exec() != QDialog::Accepted) return;
    const QStringList chosen = dialog->selectedFiles();
    if (chosen.isEmpty() || !QFileInfo(chosen.first()).isFile()) return;
    OpenFile(QFile::encodeName(chosen.first()).toStdString());
}

void Tansi2html::bsSkinSpeedButton_ReloadClick() {
    if (CurrentFile.empty()) return;
    const QString name = QFileInfo(QFile::decodeName(QByteArray::fromStdString(CurrentFile))).fileName();
    NoticeBar->Clear();
    if (!FileExists(CurrentFile)) {
        ShowMessage(QStringLiteral("File: ") + name + QStringLiteral(" not found"), TMsgType::Error,
                    TMsgButtons::Ok);
        ShowNothing();
        return;
    }
    try {
        abc.SetEncodingChoice(EncodingChoiceFor(CurrentFile));
        if (abc.LoadFile(CurrentFile)) {
            ShowPanel->ShowDocument(abc, bsSkinSpeedButton_ViewSource->isChecked());
            ShowEncoding(abc);
        }
    } catch (const std::exception& error) {
        ShowMessage(QString::fromLocal8Bit(error.what()), TMsgType::Error, TMsgButtons::Ok);
    }
}

void Tansi2html::ShowNothing() {
    abc.Reset();
    CurrentFile.clear();
    ShowPanel->ShowDocument(abc, false);
    setWindowTitle(QString::fromStdString(SoftwareName));
    FinishLoading(false);
    bsSkinSpeedButton_Send->setEnabled(false);
    ShowEncoding(abc);
}

void Tansi2html::ChangeWindowType(const Tabc& doc) {
    SetFormCaption(doc.FSourcePath);
    FinishLoading(true);
    if (doc.FKind <= dkNone) {
        const TKindSettings& settings = kKindSettings[doc.FKind];
        SetPicture(bsSkinSpeedButton_laugch, settings.LaunchPicture);
        bsSkinSpeedButton_Send->setEnabled(settings.SendAndFormats);
        MenuItem_gif->setEnabled(settings.SendAndFormats);
        MenuItem_clo->setEnabled(settings.SendAndFormats);
    }
    if (bsSkinSpeedButton_ViewSource->isChecked()) ShowPanel->SetViewMode(vmText);
    ShowEncoding(doc);
}

void Tansi2html::FinishLoading(bool enabled) {
    for (QToolButton* button :
         {bsSkinSpeedButton_DelectFile, bsSkinSpeedButton_Rename, bsSkinMenuSpeedButton_Copyto,
          bsSkinMenuSpeedButton_Moveto, bsSkinMenuSpeedButton_SaveFile, bsSkinSpeedButton_Reload}) {
        button->setEnabled(enabled);
    }
}

void Tansi2html::SetFormCaption(const std::string& path) {
    const std::string caption = ShortCaption(path, frameGeometry().width());
    setWindowTitle(QFile::decodeName(QByteArray::fromStdString(caption)));
}

void Tansi2html::bsSkinSpeedButton_ViewSourceClick() {
    if (bsSkinSpeedButton_ViewSource->isChecked()) {
        try {
            if (ShowPanel->FViewMode == vmBrowser && ShowPanel->FPageLoaded) {
                ShowPanel->LoadPageText();
            }
        } catch (const std::exception& error) {
            ShowMessage(QString::fromLocal8Bit(error.what()), TMsgType::Error, TMsgButtons::Ok);
        }
        ShowPanel->SetViewMode(vmText);
        return;
    }
    switch (abc.FKind) {
        case dkHtml:
            // Making the browser loads its module, which can fail.
            try {
                ShowPanel->SetViewMode(vmBrowser);
            } catch (const std::exception& error) {
                ShowMessage(QString::fromLocal8Bit(error.what()), TMsgType::Error,
                            TMsgButtons::Ok);
            }
            break;
        case dkColor:
            ShowPanel->SetViewMode(vmPicture);
            break;
        case dkText:
            ShowPanel->SetViewMode(abc.FHasEscapes ? vmPicture : vmText);
            break;
        case dkNone:
            break;
    }
}

void Tansi2html::bsSkinSpeedButton_WordWrapClick() {
    ShowPanel->SetWordWrap(!ShowPanel->WordWrap());
    bsSkinSpeedButton_WordWrap->setChecked(ShowPanel->WordWrap());
}

}  // namespace morvane
