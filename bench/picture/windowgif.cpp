// The window saving its largest picture, 2048 x 8860 (the text view of 600 lines of 300 bytes
// drawn), as GIF, progress window and all, against the time giflib needs to encode the same
// picture from its colour indices.
#include <gif_lib.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/ansi2html.h"
#include "app/filelistbox.h"
#include "display/showpanel.h"
#include "platform/webengine.h"

using namespace morvane;

namespace {

constexpr int kRuns = 7;

// Bulletin-board text: Chinese, box drawing and ASCII in lines longer than the picture is wide.
std::string LongText() {
    const std::string pattern =
        "\xD6\xD0\xCE\xC4 text art \xA9\xB0\xA9\xA4\xA9\xB4 \xA8\x80\xA8\x88 ";
    std::string text;
    for (int row = 0; row < 600; ++row) {
        std::string line;
        while (line.size() < 300) line += pattern.substr(row % 7 * 2);
        text += line.substr(0, 300) + "\r\n";
    }
    return text;
}

struct TIndexed {
    int Width = 0;
    int Height = 0;
    std::vector<GifByteType> Pixels;
    std::vector<GifColorType> Palette;
};

TIndexed ReadIndices(const QString& path) {
    TIndexed indexed;
    int error = 0;
    GifFileType* gif = DGifOpenFileName(QFile::encodeName(path).constData(), &error);
    if (gif && DGifSlurp(gif) == GIF_OK && gif->SColorMap) {
        indexed.Width = gif->SavedImages[0].ImageDesc.Width;
        indexed.Height = gif->SavedImages[0].ImageDesc.Height;
        const GifByteType* bits = gif->SavedImages[0].RasterBits;
        indexed.Pixels.assign(bits, bits + std::size_t(indexed.Width) * indexed.Height);
        indexed.Palette.assign(gif->SColorMap->Colors,
                               gif->SColorMap->Colors + gif->SColorMap->ColorCount);
    }
    if (gif) DGifCloseFile(gif, &error);
    return indexed;
}

int WriteToString(GifFileType* gif, const GifByteType* bytes, int length) {
    static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(bytes), length);
    return length;
}

double GiflibEncodeMs(const TIndexed& indexed) {
    QElapsedTimer timer;
    timer.start();
    std::string out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, WriteToString, &error);
    ColorMapObject* map = GifMakeMapObject(int(indexed.Palette.size()), indexed.Palette.data());
    EGifSetGifVersion(gif, false);
    EGifPutScreenDesc(gif, indexed.Width, indexed.Height, map->BitsPerPixel, 0, map);
    EGifPutImageDesc(gif, 0, 0, indexed.Width, indexed.Height, false, nullptr);
    auto* row = const_cast<GifByteType*>(indexed.Pixels.data());
    for (int y = 0; y < indexed.Height; ++y, row += indexed.Width) {
        EGifPutLine(gif, row, indexed.Width);
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return timer.nsecsElapsed() / 1e6;
}

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char* argv[]) {
    PrepareWebEngineProcess();
    QApplication app(argc, argv);
    QTemporaryDir folder;
    QFile file(folder.path() + "/long.txt");
    if (!file.open(QIODevice::WriteOnly)) return 1;
    const std::string text = LongText();
    file.write(text.data(), qint64(text.size()));
    file.close();

    Tansi2html window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return 1;
    window.SetExplorer(QFile::encodeName(folder.path() + "/long.txt").toStdString());
    QListWidgetItem* item = window.FileListBox1->findItems("long.txt", Qt::MatchExactly).first();
    QTest::mouseClick(window.FileListBox1->viewport(), Qt::LeftButton, {},
                      window.FileListBox1->visualItemRect(item).center());

    const QString saved = folder.path() + "/long.gif";
    const std::string savedBytes = QFile::encodeName(saved).toStdString();
    std::vector<double> saves;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        window.ShowPanel->SavePicture(savedBytes, 1);
        saves.push_back(timer.nsecsElapsed() / 1e6);
    }
    const TIndexed indexed = ReadIndices(saved);
    std::vector<double> encodes;
    for (int run = 0; run < kRuns; ++run) encodes.push_back(GiflibEncodeMs(indexed));

    const double save = Median(saves);
    const double encode = Median(encodes);
    std::printf("window GIF save of %d x %d (%zu colours), median of %d: %.1f ms; giflib encode: "
                "%.1f ms; ratio %.2f (target <= 1)\n",
                indexed.Width, indexed.Height, indexed.Palette.size(), kRuns, save, encode,
                save / encode);
    return 0;
}
