#pragma once

#include <string>

namespace morvane {

/// Where the core's user messages go: message boxes in the viewer, stderr in the converter, a
/// recording list in the tests. Texts are GB2312 bytes.
class TMessageSink {
public:
    virtual ~TMessageSink() = default;
    /// Shows a plain message with an OK button and returns when it has been seen.
    virtual void ShowMessage(const std::string& text) = 0;
    /// Tells the user something about the file shown that asks for no answer (a warning).
    virtual void ShowNotice(const std::string& text) { ShowMessage(text); }
};

}  // namespace morvane
