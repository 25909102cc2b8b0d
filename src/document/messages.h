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
};

}  // namespace morvane
