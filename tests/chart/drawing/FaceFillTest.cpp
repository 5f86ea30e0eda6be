// Four-corner face fills: colour probes against the barycentric rule, clamping, the coverage
// image (inside only, anti-aliased edges, inner outline) and the n-stop linear gradient.

#include "drawing/FaceFill.h"

#include "drawing/QtSurface.h"

#include <QImage>
#include <QPainter>
#include <array>
#include <gtest/gtest.h>

namespace {

// A parallelogram like a cuboid's top face: (X, Y), (X + W, Y), (X + W + dx, Y - dy),
// (X + dx, Y - dy) with X = 10, Y = 40, W = 40, dx = 16, dy = 12.
const std::array<QPointF, 4> Top = {QPointF(10, 40), QPointF(50, 40), QPointF(66, 28),
                                    QPointF(26, 28)};

TVxFaceColors Colors() {
    TVxFaceColors c;
    c.Center = MakeColor(255, 200, 100, 0);
    c.Corners[0] = MakeColor(255, 0, 0, 0);
    c.Corners[1] = MakeColor(255, 40, 0, 80);
    c.Corners[2] = MakeColor(255, 120, 200, 40);
    c.Corners[3] = MakeColor(255, 240, 60, 160);
    return c;
}

// The channel mean of colours with weights (rounded to the nearest byte).
TVxColor Mix(std::initializer_list<std::pair<double, TVxColor>> Parts) {
    double ch[4] = {0, 0, 0, 0};
    for (const auto& [w, c] : Parts) {
        ch[0] += w * GetAlpha(c);
        ch[1] += w * GetRed(c);
        ch[2] += w * GetGreen(c);
        ch[3] += w * GetBlue(c);
    }
    auto b = [](double v) { return std::uint8_t(std::lround(v)); };
    return MakeColor(b(ch[0]), b(ch[1]), b(ch[2]), b(ch[3]));
}

TEST(FaceFillTest, ColourProbesFollowTheFanOfFourTriangles) {
    const TVxFaceColors c = Colors();
    const QPointF g = (Top[0] + Top[1] + Top[2] + Top[3]) / 4;
    EXPECT_EQ(FaceColorAt(Top, c, g), c.Center);
    for (int k = 0; k < 4; ++k) {
        const int n = (k + 1) % 4;
        EXPECT_EQ(FaceColorAt(Top, c, Top[size_t(k)]), c.Corners[k]) << k;
        // The middle of an edge is the mean of its two corners.
        EXPECT_EQ(FaceColorAt(Top, c, (Top[size_t(k)] + Top[size_t(n)]) / 2),
                  Mix({{0.5, c.Corners[k]}, {0.5, c.Corners[n]}}))
            << k;
        // Half way from the centre to a corner: the mean of both.
        EXPECT_EQ(FaceColorAt(Top, c, (g + Top[size_t(k)]) / 2),
                  Mix({{0.5, c.Center}, {0.5, c.Corners[k]}}))
            << k;
        // The centroid of a fan triangle has a third of each colour.
        EXPECT_EQ(FaceColorAt(Top, c, (g + Top[size_t(k)] + Top[size_t(n)]) / 3),
                  Mix({{1.0 / 3, c.Center}, {1.0 / 3, c.Corners[k]}, {1.0 / 3, c.Corners[n]}}))
            << k;
    }
    // Outside the face the colour is that of the nearest point of the facing triangle.
    EXPECT_EQ(FaceColorAt(Top, c, QPointF(30, 100)), FaceColorAt(Top, c, QPointF(30, 40)));
}

TEST(FaceFillTest, TheImageCoversOnlyTheFace) {
    const TVxFaceColors c = Colors();
    for (bool aa : {false, true}) {
        const TVxFaceImage f = RenderFace(Top, c, 1, aa);
        ASSERT_FALSE(f.Image.isNull());
        // Pixel centres on integers: the image starts at the face's bounding pixels.
        EXPECT_EQ(f.Target, QRectF(10, 28, 57, 13));
        auto at = [&](double X, double Y) {
            return f.Image.pixel(int(X - f.Target.x()), int(Y - f.Target.y()));
        };
        // Inside: opaque, the colour of the rule; outside (corners of the box): transparent.
        EXPECT_EQ(at(38, 34), ColorArgb(FaceColorAt(Top, c, QPointF(38, 34))));
        EXPECT_EQ(qAlpha(at(10, 28)), 0);
        EXPECT_EQ(qAlpha(at(66, 40)), 0);
        EXPECT_EQ(qAlpha(at(65, 39)), 0);
    }
    // Anti-aliased, a pixel on the slanted edge is partly covered.
    const TVxFaceImage f = RenderFace(Top, c, 1, true);
    const int a = qAlpha(f.Image.pixel(58 - 10, 34 - 28));
    EXPECT_GT(a, 0);
    EXPECT_LT(a, 255);
}

TEST(FaceFillTest, TheOutlineBandLiesInsideTheFace) {
    const TVxFaceColors c = Colors();
    // A square face from 0 to 20: the band of a 1-pixel outline is the inner half pixel.
    const std::array<QPointF, 4> sq = {QPointF(0, 0), QPointF(20, 0), QPointF(20, 20),
                                       QPointF(0, 20)};
    const TVxFaceImage f = RenderFace(sq, c, 1, false, 1);
    ASSERT_EQ(f.Target, QRectF(0, 0, 21, 21));
    EXPECT_NE(qAlpha(f.Image.pixel(0, 10)), 0);  // on the edge
    EXPECT_EQ(qAlpha(f.Image.pixel(1, 10)), 0);  // inside, beyond the band
    EXPECT_EQ(qAlpha(f.Image.pixel(10, 10)), 0); // the middle
    EXPECT_NE(qAlpha(f.Image.pixel(20, 10)), 0);
    // Twice the resolution: twice the pixels, the same world rectangle.
    const TVxFaceImage f2 = RenderFace(sq, c, 2, false);
    EXPECT_EQ(f2.Image.size(), QSize(41, 41));
    EXPECT_EQ(f2.Target, QRectF(0, 0, 20.5, 20.5));
}

TEST(FaceFillTest, FillFaceDrawsOnlyInsideOnAnImage) {
    QImage img(80, 50, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        TVxQtSurface s(p);
        FillFace(s, Top, Colors());
    }
    EXPECT_EQ(img.pixel(38, 34), ColorArgb(FaceColorAt(Top, Colors(), QPointF(38, 34))));
    EXPECT_EQ(img.pixel(12, 30), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(5, 34), qRgb(255, 255, 255));
}

TEST(FaceFillTest, LinearStopsBrushKeepsEveryStop) {
    const TVxGradientStop stops[] = {{0, VxColor(0xFF000000)},
                                     {0.25, VxColor(0xFF404040)},
                                     {0.5, VxColor(0xFF808080)},
                                     {0.75, VxColor(0xFFC0C0C0)},
                                     {1, VxColor(0xFFFFFFFF)}};
    const TVxBrush b = LinearStopsBrush(QRectF(0, 0, 100, 20), stops, 0);
    EXPECT_EQ(b.Kind, TVxBrushKind::LinearGradient);
    ASSERT_EQ(b.Stops.size(), 5u);
    EXPECT_EQ(b.Stops[1], stops[1]);
    EXPECT_EQ(b.Start, QPointF(0, 10));
    EXPECT_EQ(b.End, QPointF(100, 10));
    // Drawn, the middle of each quarter shows the mean of its stops.
    QImage img(101, 20, QImage::Format_ARGB32_Premultiplied);
    {
        QPainter p(&img);
        TVxQtSurface s(p);
        s.FillRectangle(b, QRectF(0, 0, 101, 20));
    }
    EXPECT_NEAR(qRed(img.pixel(12, 10)), 0x20, 3);
    EXPECT_NEAR(qRed(img.pixel(62, 10)), 0xA0, 3);
}

} // namespace
