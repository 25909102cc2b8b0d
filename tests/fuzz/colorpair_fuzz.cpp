// A colour document from any bytes (the input is split at its first 0xFF: text part, then
// colour part): once it has loaded, saving it and loading the copy gives the same document.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "document/abc.h"

namespace {

using morvane::Tabc;

// The pair's files live in a folder of the run's own, removed when it ends.
class TFolder {
public:
    TFolder() {
        std::string pattern = "/tmp/morvane-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data())) std::abort();
        FPath = pattern + "/";
    }
    ~TFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(FPath, ignored);
    }
    const std::string& Path() const { return FPath; }

private:
    std::string FPath;
};

std::string Folder() {
    static const TFolder folder;
    return folder.Path();
}

void Write(const std::string& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), bytes.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find('\xFF');
    const std::string dir = Folder();
    Write(dir + "a.txt", split == std::string_view::npos ? "" : input.substr(0, split));
    Write(dir + "a.clo", split == std::string_view::npos ? input : input.substr(split + 1));

    Tabc doc;
    doc.SetTempDir(dir);
    try {
        if (!doc.LoadFile(dir + "a.clo")) return 0;
        doc.SaveColorFile(dir + "b.clo");
    } catch (const std::exception&) {
        return 0;
    }
    Tabc again;
    if (!again.LoadFile(dir + "b.clo")) std::abort();
    if (again.FLines != doc.FLines || again.FRowCount != doc.FRowCount ||
        again.FColCount != doc.FColCount || again.FWideCells != doc.FWideCells ||
        again.FMarked.size() != doc.FMarked.size())
        std::abort();
    for (size_t r = 0; r < doc.FMarked.size(); ++r) {
        for (int c = 1; c <= doc.FColCount; ++c) {
            if (again.FMarked[r][c] != doc.FMarked[r][c]) std::abort();
            if (doc.FMarked[r][c] && (again.FCells[r][c].Fg != doc.FCells[r][c].Fg ||
                                      again.FCells[r][c].Bg != doc.FCells[r][c].Bg))
                std::abort();
        }
    }
    return 0;
}
