// The BMP and PNG writers against Qt's image readers, pixel for pixel, over the widths that pad
// BMP rows and the colour counts of each PNG pixel depth.
#include <QImage>
#include <QtTest>

#include "display/raster/bmpfile.h"
#include "display/raster/pngfile.h"

using namespace morvane;

namespace {

// A picture of width x height whose pixels cycle through colours distinct colours.
TPixelBuffer Pattern(int width, int height, int colours) {
    TPixelBuffer picture{width, height, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const auto k = static_cast<std::uint32_t>((x * 7 + y * 13) % colours);
            picture.Pixels.push_back(0xFF000000 | (k * 37 % 256) << 16 | (k % 256) << 8 |
                                     (k / 256 * 61 + 5) % 256);
        }
    }
    return picture;
}

int Differences(const QImage& read, const TPixelBuffer& picture) {
    if (read.width() != picture.Width || read.height() != picture.Height) return -1;
    int differences = 0;
    for (int y = 0; y < picture.Height; ++y) {
        for (int x = 0; x < picture.Width; ++x) {
            const std::uint32_t want = picture.Pixels[std::size_t(y) * picture.Width + x];
            differences += (read.pixel(x, y) & 0xFFFFFF) != (want & 0xFFFFFF);
        }
    }
    return differences;
}

}  // namespace

class PictureFileTest : public QObject {
    Q_OBJECT
private slots:
    void bmpReadsBackAsWritten_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("colours");
        QTest::newRow("rows without padding") << 8 << 2;
        QTest::newRow("1 byte of padding") << 1 << 1;
        QTest::newRow("2 bytes of padding") << 2 << 3;
        QTest::newRow("3 bytes of padding") << 3 << 300;
        QTest::newRow("many colours") << 97 << 5000;
    }

    void bmpReadsBackAsWritten() {
        QFETCH(int, width);
        QFETCH(int, colours);
        const TPixelBuffer picture = Pattern(width, 5, colours);
        const TLargeVector<char> bytes = EncodeBmp(picture);
        QImage read;
        QVERIFY(read.loadFromData(reinterpret_cast<const uchar*>(bytes.data()),
                                  int(bytes.size()), "BMP"));
        QCOMPARE(read.depth(), 32);
        QCOMPARE(Differences(read, picture), 0);
        // 24 bits a pixel, no compression.
        QCOMPARE(quint8(bytes[28]), quint8(24));
        QCOMPARE(quint8(bytes[30]), quint8(0));
        QCOMPARE(bytes.size(), std::size_t(54 + (width * 3 + 3) / 4 * 4 * 5));
    }

    void pngIsIndexedUpTo256Colours_data() {
        QTest::addColumn<int>("colours");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("bitDepth");
        QTest::addColumn<int>("colourType");
        QTest::newRow("one colour") << 1 << 9 << 1 << 3;
        QTest::newRow("two colours, partial last byte") << 2 << 11 << 1 << 3;
        QTest::newRow("four colours") << 4 << 7 << 2 << 3;
        QTest::newRow("sixteen colours") << 16 << 33 << 4 << 3;
        QTest::newRow("seventeen colours") << 17 << 20 << 8 << 3;
        QTest::newRow("256 colours") << 256 << 64 << 8 << 3;
        QTest::newRow("257 colours are RGB") << 257 << 64 << 8 << 2;
    }

    void pngIsIndexedUpTo256Colours() {
        QFETCH(int, colours);
        QFETCH(int, width);
        QFETCH(int, bitDepth);
        QFETCH(int, colourType);
        const TPixelBuffer picture = Pattern(width, 9, colours);
        const TLargeVector<char> bytes = EncodePng(picture);
        QImage read;
        QVERIFY(read.loadFromData(reinterpret_cast<const uchar*>(bytes.data()),
                                  int(bytes.size()), "PNG"));
        QCOMPARE(Differences(read, picture), 0);
        // IHDR: bit depth and colour type follow the signature, chunk head, width and height.
        QCOMPARE(int(quint8(bytes[24])), bitDepth);
        QCOMPARE(int(quint8(bytes[25])), colourType);
    }

    void pngRefusesAPictureWithoutPixels() {
        QVERIFY_THROWS_EXCEPTION(EPngError, EncodePng(TPixelBuffer{0, 3, {}}));
    }
};

QTEST_APPLESS_MAIN(PictureFileTest)
#include "picturefile_test.moc"
