#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QToolButton>

#include "app/ansi2html.h"
#include "app/messageboxsink.h"
#include "app/noticebar.h"
#include "display/showpanel.h"

namespace morvane {
namespace {

// The items of the encoding box, in order: found from the text, or chosen.
constexpr int kAutoItem = 0;
constexpr int kGbItem = 1;
constexpr int kBig5Item = 2;
constexpr int kUtf8Item = 3;

QString EncodingName(TEncoding encoding) {
    switch (encoding) {
        case TEncoding::Big5:
            return QStringLiteral("Big5");
        case TEncoding::Utf8:
            return QStringLiteral("UTF-8");
        default:
            return QStringLiteral("GB");
    }
}

}  // namespace

QComboBox* Tansi2html::CreateEncodingBox(QWidget* parent) {
    CbEncoding = new QComboBox(parent);
    CbEncoding->setObjectName(QStringLiteral("CbEncoding"));
    CbEncoding->addItems({tr("Auto"), EncodingName(TEncoding::Gb), EncodingName(TEncoding::Big5),
                          EncodingName(TEncoding::Utf8)});
    CbEncoding->setToolTip(tr("Encoding of the text shown: found from the text, or chosen"));
    CbEncoding->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    // It gives way in a narrow window rather than widen the window.
    CbEncoding->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    CbEncoding->setMinimumWidth(40);
    CbEncoding->setEnabled(false);
    connect(CbEncoding, &QComboBox::activated, this, &Tansi2html::CbEncodingChange);
    return CbEncoding;
}

std::optional<TEncoding> Tansi2html::EncodingChoiceFor(const std::string& path) {
    if (path != FEncodingChoiceFile) {
        FEncodingChoice.reset();
        FEncodingChoiceFile.clear();
    }
    return FEncodingChoice;
}

void Tansi2html::ShowEncoding(const Tabc& doc) {
    const bool text = doc.FKind == dkText || doc.FKind == dkColor;
    CbEncoding->setEnabled(text);
    EnableCopy(doc);
    const std::optional<TEncoding> choice =
        CurrentFile == FEncodingChoiceFile ? FEncodingChoice : std::nullopt;
    CbEncoding->setItemText(
        kAutoItem, text && !choice ? tr("Auto (%1)").arg(EncodingName(doc.FEncoding)) : tr("Auto"));
    CbEncoding->setCurrentIndex(!text || !choice             ? kAutoItem
                                : *choice == TEncoding::Big5 ? kBig5Item
                                : *choice == TEncoding::Utf8 ? kUtf8Item
                                                             : kGbItem);
}

void Tansi2html::CbEncodingChange(int index) {
    if (CurrentFile.empty()) return;
    FEncodingChoiceFile = CurrentFile;
    FEncodingChoice = index == kGbItem     ? std::optional<TEncoding>(TEncoding::Gb)
                      : index == kBig5Item ? std::optional<TEncoding>(TEncoding::Big5)
                      : index == kUtf8Item ? std::optional<TEncoding>(TEncoding::Utf8)
                                           : std::nullopt;
    const QString name =
        QFileInfo(QFile::decodeName(QByteArray::fromStdString(CurrentFile))).fileName();
    NoticeBar->Clear();
    try {
        const int shown = FMessageSink->Shown();
        if (!LoadDocument(CurrentFile)) {
            ReportLoadFailure(name, CurrentFile, FMessageSink->Shown() != shown);
            ShowNothing();
            ShowEncoding(abc);
            return;
        }
        ShowPanel->ShowDocument(abc, bsSkinSpeedButton_ViewSource->isChecked());
        ChangeWindowType(abc);
    } catch (const std::exception& error) {
        ShowMessage(QString::fromLocal8Bit(error.what()), TMsgType::Error, TMsgButtons::Ok);
    }
}

}  // namespace morvane
