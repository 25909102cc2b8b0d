#pragma once

#include <QString>

#include "document/messages.h"

class QWidget;

namespace morvane {

class TNoticeBar;

/// Shows the document's messages in message boxes over parent, titled title, and its notices in
/// the notice strip.
class TMessageBoxSink : public TMessageSink {
public:
    TMessageBoxSink(QWidget* parent, QString title, TNoticeBar* notices)
        : FParent(parent), FTitle(std::move(title)), FNotices(notices) {}
    void ShowMessage(const std::string& text) override;
    void ShowNotice(const std::string& text) override;
    /// How many messages have been shown so far.
    int Shown() const { return FShown; }

private:
    int FShown = 0;
    QWidget* FParent;
    QString FTitle;
    TNoticeBar* FNotices;
};

}  // namespace morvane
