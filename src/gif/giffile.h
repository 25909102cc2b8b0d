#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gif/colortable.h"
#include "gif/extensionlist.h"
#include "gif/gifbitmap.h"
#include "gif/gifsubimage.h"

namespace morvane {

/// A GIF file built from bitmaps: one colour table of the colours met in all of them, LZW data.
/// A file of bitmaps alone is a GIF 87a without extensions; frames of an animation and the loop
/// make it a GIF 89a. Bitmaps of more than 256 colours together are first reduced to 256.
class TGifFile {
public:
    TGifFile();

    /// Appends an image holding bitmap at the top left corner; the file owns it from now on.
    void AddBitmap(TGifBitmap&& bitmap);
    /// Appends a frame of an animation: bitmap with its top left corner at (left, top) of the
    /// logical screen, shown for delayCentiseconds hundredths of a second and then left in place
    /// under the next frame (a graphic control extension, disposal "do not dispose", no
    /// transparency). The file owns the bitmap from now on. Throws EGifException, and takes
    /// nothing, when left or top is outside 0 to 65535; the save throws one when the frame
    /// reaches past 65535 or has no pixels.
    void AddFrame(TGifBitmap&& bitmap, int left, int top, std::uint16_t delayCentiseconds);
    /// Makes viewers play the frames over and over without end: a NETSCAPE2.0 application
    /// extension with loop count 0 after the global colour table. Calling it again adds nothing.
    void SetLoopForever();
    /// Builds the whole file in memory, then replaces fileName with it, so a failure leaves an
    /// existing file as it was. Throws EGifException (for instance for a bitmap without pixels)
    /// or EFileError.
    void SaveToFile(const std::string& fileName);
    /// Appends the whole file to stream; on an exception stream is unchanged. Saving again writes
    /// the same bytes without converting or encoding again. The logical screen is the extent of
    /// all images; progress runs from 0 to 1 twice, once while colours are collected and once
    /// while pixels are encoded, each over all images.
    void SaveToStream(std::string& stream);

private:
    void ConvertBitmapImages();
    void EncodeImages();
    std::uint8_t PackedScreenFields() const;

    std::string FHeader = "GIF87a";
    std::uint16_t FScreenWidth = 0;
    std::uint16_t FScreenHeight = 0;
    std::uint8_t FScreenPacked = 0;
    std::uint8_t FBackgroundIndex = 0;
    std::uint8_t FAspectRatio = 0;
    bool FHasGlobalTable = true;
    TColorTable FGlobalTable;
    std::uint8_t FColorBits = 1;
    // Written after the global colour table: the loop extension.
    TExtensionList FExtensions;
    bool FLoopsForever = false;
    std::vector<TGifSubImage> FImages;
};

}  // namespace morvane
