// The GIF writer, read back by Qt's GIF reader: an exact colour table up to 256 colours,
// the transparent index, partial alpha composed onto white, the median-cut reduction
// beyond 256 colours and the size limits of the format.

#include "graph/GifWriter.h"

#include "util/Exceptions.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <gtest/gtest.h>

namespace {

QImage ReadGif(const QByteArray& Bytes) {
    QImage image = QImage::fromData(Bytes, "gif");
    EXPECT_FALSE(image.isNull());
    return image.convertToFormat(QImage::Format_ARGB32);
}

/// An image of N distinct opaque colours, one per pixel, in rows of 16.
QImage DistinctColours(int N) {
    QImage image(16, (N + 15) / 16, QImage::Format_ARGB32);
    image.fill(qRgb(0, 0, 10)); // the colour of i = 0: no extra colour
    for (int i = 0; i < N; ++i)
        image.setPixel(i % 16, i / 16, qRgb(i & 0xFF, (i * 7) & 0xFF, i >> 8 ? 200 : 10));
    return image;
}

} // namespace

TEST(GifWriterTest, FewColoursAreExactAndTransparentPixelsTakeTheTransparentIndex) {
    QImage image(5, 3, QImage::Format_ARGB32);
    image.fill(0x00FFFFFF);
    image.setPixel(0, 0, 0xFFFF0000);
    image.setPixel(1, 0, 0xFF00FF00);
    image.setPixel(2, 1, 0xFF0000FF);
    image.setPixel(4, 2, 0xFF123456);
    TVxGifPalette palette = TVxGifPalette::MedianCut;
    const QByteArray gif = EncodeGif(image, &palette);
    EXPECT_EQ(gif.left(6), QByteArray("GIF89a"));
    EXPECT_EQ(palette, TVxGifPalette::Exact);
    const QImage back = ReadGif(gif);
    ASSERT_EQ(back.size(), image.size());
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            SCOPED_TRACE(testing::Message() << x << "," << y);
            if (qAlpha(image.pixel(x, y)) == 0)
                EXPECT_EQ(qAlpha(back.pixel(x, y)), 0);
            else
                EXPECT_EQ(back.pixel(x, y), image.pixel(x, y));
        }
}

TEST(GifWriterTest, PartlyTransparentPixelsAreComposedOntoWhite) {
    QImage image(2, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(0, 0, 0, 128));   // (0 * 128 + 255 * 127) / 255 = 127
    image.setPixel(1, 0, qRgba(255, 0, 51, 51)); // red 255, green 204, blue 214.2 -> 214
    const QImage back = ReadGif(EncodeGif(image));
    EXPECT_EQ(back.pixel(0, 0), qRgb(127, 127, 127));
    EXPECT_EQ(back.pixel(1, 0), qRgb(255, 204, 214));
}

TEST(GifWriterTest, TheTableIsExactUpTo256ColoursTheTransparentOneIncluded) {
    struct Case {
        int Colours;
        bool Transparent;
        TVxGifPalette Expected;
    };
    const Case cases[] = {
        {2, false, TVxGifPalette::Exact},       {256, false, TVxGifPalette::Exact},
        {255, true, TVxGifPalette::Exact},      {256, true, TVxGifPalette::MedianCut},
        {257, false, TVxGifPalette::MedianCut},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Colours << " colours, transparent " << c.Transparent);
        QImage image = DistinctColours(c.Colours);
        if (c.Transparent) {
            image = image.copy(0, 0, 16, image.height() + 1);
            image.setPixel(0, image.height() - 1, 0x00000000);
        }
        TVxGifPalette palette{};
        const QImage back = ReadGif(EncodeGif(image, &palette));
        EXPECT_EQ(palette, c.Expected);
        if (c.Expected == TVxGifPalette::Exact) {
            for (int i = 0; i < c.Colours; ++i)
                ASSERT_EQ(back.pixel(i % 16, i / 16), image.pixel(i % 16, i / 16)) << i;
        }
        if (c.Transparent) {
            EXPECT_EQ(qAlpha(back.pixel(0, image.height() - 1)), 0);
        }
    }
}

TEST(GifWriterTest, ManyColoursAreReducedByMedianCutCloseToTheOriginal) {
    // A smooth two-dimensional ramp of 64 x 64 colours and a transparent corner.
    QImage image(64, 64, QImage::Format_ARGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            image.setPixel(x, y, qRgb(x * 4, y * 4, 128));
    image.setPixel(0, 0, 0x00000000);
    TVxGifPalette palette{};
    const QImage back = ReadGif(EncodeGif(image, &palette));
    EXPECT_EQ(palette, TVxGifPalette::MedianCut);
    EXPECT_EQ(qAlpha(back.pixel(0, 0)), 0);
    int worst = 0;
    double sum = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            if (x == 0 && y == 0)
                continue;
            const QRgb a = image.pixel(x, y), b = back.pixel(x, y);
            EXPECT_EQ(qAlpha(b), 255);
            const int e = std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                    std::abs(qBlue(a) - qBlue(b))});
            worst = std::max(worst, e);
            sum += e;
        }
    // 4096 colours in 255 boxes: about 4 x 4 ramp steps of 4 each per box.
    EXPECT_LE(worst, 16);
    EXPECT_LT(sum / (64 * 64 - 1), 8.0);
}

TEST(GifWriterTest, ImagesBeyondTheFormatsLimitsRaise) {
    for (QSize size : {QSize(65536, 1), QSize(1, 65536), QSize(0, 0)}) {
        SCOPED_TRACE(testing::Message() << size.width() << " x " << size.height());
        QImage image(size, QImage::Format_ARGB32);
        if (!size.isEmpty())
            image.fill(Qt::white);
        EXPECT_THROW(EncodeGif(image), EVxException);
    }
}
