#pragma once

#include "document/messages.h"

class QWidget;

namespace morvane {

/// Shows the document's messages in message boxes over parent.
class TMessageBoxSink : public TMessageSink {
public:
    explicit TMessageBoxSink(QWidget* parent) : FParent(parent) {}
    void ShowMessage(const std::string& text) override;

private:
    QWidget* FParent;
};

}  // namespace morvane
