#pragma once

#include <string>
#include <vector>

#include "document/messages.h"

namespace morvane::test {

/// A fresh folder under the system's temporary folder, removed with everything in it.
class TTempFolder {
public:
    TTempFolder();
    ~TTempFolder();
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    /// The folder, ending in '/'.
    const std::string& Path() const { return FPath; }
    /// Writes bytes to name inside the folder and returns the full path.
    std::string Write(const std::string& name, const std::string& bytes) const;
    std::string Read(const std::string& name) const;

private:
    std::string FPath;
};

/// A small tmpfs mounted on folder in a mount namespace of this test process's own, so nothing
/// outlives it; Mounted() is false where the test may not mount (not root).
class TTmpfs {
  public:
    TTmpfs(const std::string& folder, unsigned long flags);
    ~TTmpfs();
    TTmpfs(const TTmpfs&) = delete;
    TTmpfs& operator=(const TTmpfs&) = delete;
    bool Mounted() const { return FMounted; }

  private:
    std::string FFolder;
    bool FMounted = false;
};

/// Keeps every message and notice the core shows, in order.
class TRecordingSink : public TMessageSink {
public:
    void ShowMessage(const std::string& text) override { Messages.push_back(text); }
    void ShowNotice(const std::string& text) override { Notices.push_back(text); }
    std::vector<std::string> Messages;
    std::vector<std::string> Notices;
};

/// The lines joined with CR LF after each, as the program writes text files.
std::string CrLf(const std::vector<std::string>& lines);

}  // namespace morvane::test
