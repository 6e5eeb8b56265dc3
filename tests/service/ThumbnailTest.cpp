// Thumbnails are real PNG files: decoded here with Qt's own PNG reader.

#include <gtest/gtest.h>

#include <QImage>
#include <set>

#include "common/Exception.h"
#include "service/CorpusGenerator.h"
#include "service/PngWriter.h"
#include "service/Thumbnail.h"

namespace zb {
namespace {

QImage Decode(const std::string& png) {
    QImage image;
    image.loadFromData(reinterpret_cast<const uchar*>(png.data()), static_cast<int>(png.size()),
                       "PNG");
    return image;
}

TEST(PngWriter, PixelsSurviveAStandardDecoder) {
    const std::vector<std::uint32_t> palette = {0xFF0000, 0x00FF00, 0x0000FF};
    std::vector<std::uint8_t> pixels;
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x)
            pixels.push_back(static_cast<std::uint8_t>((x * 3 + y) % 3));
    }
    const QImage image = Decode(EncodePng(7, 5, palette, pixels));
    ASSERT_FALSE(image.isNull());
    ASSERT_EQ(image.width(), 7);
    ASSERT_EQ(image.height(), 5);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) {
            EXPECT_EQ(image.pixel(x, y) & 0xFFFFFF, palette[(x * 3 + y) % 3]) << x << "," << y;
        }
    }
}

TEST(PngWriter, ImagesLargerThanOneStoredBlock) {
    // 300 x 300 bytes of rows need several 64 KiB deflate blocks.
    std::vector<std::uint8_t> pixels(300 * 300);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<std::uint8_t>(i % 251);
    std::vector<std::uint32_t> palette(256);
    for (std::uint32_t i = 0; i < 256; ++i)
        palette[i] = i * 0x010101;
    const QImage image = Decode(EncodePng(300, 300, palette, pixels));
    ASSERT_EQ(image.width(), 300);
    EXPECT_EQ(image.pixel(299, 299) & 0xFF, (300u * 300u - 1) % 251);
}

TEST(PngWriter, RefusesInconsistentInput) {
    EXPECT_THROW(EncodePng(2, 2, {0}, {0, 0, 0}), Exception);
    EXPECT_THROW(EncodePng(0, 0, {0}, {}), Exception);
    EXPECT_THROW(EncodePng(1, 1, {0}, {1}), Exception);
    EXPECT_THROW(EncodePng(1, 1, {}, {0}), Exception);
}

TEST(Thumbnail, SizeAndColourOfTheImageDifferentPerId) {
    const ImageCorpus corpus = GenerateCorpus();
    const ImageEntry& a = corpus.Entries()[0];
    const QImage image = Decode(ThumbnailPng(a));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), a.ThumbWidth);
    EXPECT_EQ(image.height(), a.ThumbHeight);
    bool hasMainColour = false;
    for (int x = 1; x < image.width() - 1; ++x) {
        hasMainColour |= (image.pixel(x, image.height() / 2) & 0xFFFFFF) == a.Colour;
    }
    EXPECT_TRUE(hasMainColour);

    // Images of the same size and colour still differ by their ids.
    std::set<std::string> pictures;
    for (const char* id : {"A1", "B2", "C3", "D4", "E5", "F6", "G7", "H8"}) {
        ImageEntry b = a;
        b.Id = id;
        pictures.insert(ThumbnailPng(b));
    }
    EXPECT_GT(pictures.size(), 1u);
}

}  // namespace
}  // namespace zb
