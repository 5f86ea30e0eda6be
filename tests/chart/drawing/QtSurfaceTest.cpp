// Pixel probes of the QPainter surface on an offscreen image.
#include "drawing/QtSurface.h"

#include "drawing/GradientBrushes.h"
#include "drawing/HatchPatterns.h"
#include "drawing/QtConvert.h"
#include "drawing/RecordingSurface.h"

#include <QImage>
#include <QPainter>
#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace {

constexpr TVxColor White = VxColor(0xFFFFFFFF);
constexpr TVxColor Black = VxColor(0xFF000000);

QImage Paint(int W, int H, const std::function<void(TVxQtSurface&)>& Draw) {
    QImage image(W, H, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    TVxQtSurface surface(painter);
    Draw(surface);
    return image;
}

TVxColor Pixel(const QImage& Image, int X, int Y) {
    return VxColor(Image.pixel(X, Y));
}

// The pixels of one row from X0 to X1 as '#' (black) and '.' (white), '?' otherwise.
std::string Row(const QImage& Image, int Y, int X0, int X1) {
    std::string s;
    for (int x = X0; x <= X1; ++x) {
        const TVxColor c = Pixel(Image, x, Y);
        s += c == Black ? '#' : c == White ? '.' : '?';
    }
    return s;
}

bool Near(TVxColor A, TVxColor B, int Tolerance) {
    return std::abs(GetRed(A) - GetRed(B)) <= Tolerance &&
           std::abs(GetGreen(A) - GetGreen(B)) <= Tolerance &&
           std::abs(GetBlue(A) - GetBlue(B)) <= Tolerance;
}

TEST(QtSurface, OnePixelLinesCoverTheRowOfTheirCoordinate) {
    for (const TSmoothingMode mode :
         {TSmoothingMode::SmoothingModeNone, TSmoothingMode::SmoothingModeAntiAlias}) {
        const QImage image = Paint(30, 30, [&](TVxQtSurface& s) {
            s.SetSmoothingMode(mode);
            s.DrawLine(TVxPen::Solid(Black), QPointF(2, 10), QPointF(20, 10));
            s.DrawLine(TVxPen::Solid(Black), QPointF(25, 2), QPointF(25, 20));
        });
        EXPECT_EQ(Row(image, 9, 4, 18), std::string(15, '.'));
        EXPECT_EQ(Row(image, 10, 4, 18), std::string(15, '#'));
        EXPECT_EQ(Row(image, 11, 4, 18), std::string(15, '.'));
        EXPECT_EQ(Row(image, 12, 24, 26), ".#.");
    }
}

TEST(QtSurface, FilledRectanglesCoverTheirPixelsExactly) {
    const QImage image = Paint(12, 12, [](TVxQtSurface& s) {
        s.FillRectangle(TVxBrush::SolidBrush(Black), QRectF(2, 2, 4, 4));
    });
    EXPECT_EQ(Row(image, 1, 0, 7), "........");
    EXPECT_EQ(Row(image, 2, 0, 7), "..####..");
    EXPECT_EQ(Row(image, 5, 0, 7), "..####..");
    EXPECT_EQ(Row(image, 6, 0, 7), "........");
}

TEST(QtSurface, DashPatternsFollowTheLibrarysProportions) {
    const struct {
        TDashStyle Style;
        const char* Expected; // 2-pixel pen: each unit is two pixels
    } cases[] = {
        {TDashStyle::DashStyleDash, "######..######..######.."},
        {TDashStyle::DashStyleDot, "##..##..##..##..##..##.."},
        {TDashStyle::DashStyleDashDot, "######..##..######..##.."},
        {TDashStyle::DashStyleDashDotDot, "######..##..##..######.."},
    };
    for (const auto& c : cases) {
        const QImage image = Paint(60, 10, [&](TVxQtSurface& s) {
            TVxPen pen = TVxPen::Solid(Black, 2);
            pen.DashStyle = c.Style;
            // A 2-unit line at y = 4.5 covers rows 4 and 5; it starts at the left edge of
            // pixel 10 (x = 9.5 with pixel centres on integers).
            s.DrawLine(pen, QPointF(9.5, 4.5), QPointF(55.5, 4.5));
        });
        EXPECT_EQ(Row(image, 4, 10, 33), c.Expected) << static_cast<int>(c.Style);
        EXPECT_EQ(Row(image, 5, 10, 33), c.Expected) << static_cast<int>(c.Style);
        EXPECT_EQ(Row(image, 4, 8, 9), "..") << "flat cap";
    }
}

TEST(QtSurface, ArcsRunClockwise) {
    const QImage image = Paint(50, 50, [](TVxQtSurface& s) {
        s.DrawArc(TVxPen::Solid(Black, 3), QRectF(5, 5, 40, 40), 0, 90);
    });
    // Centre (25, 25), radius 20: 45 degrees clockwise from the x axis is below right.
    EXPECT_EQ(Pixel(image, 39, 39), Black);
    EXPECT_EQ(Pixel(image, 39, 11), White);
    EXPECT_EQ(Pixel(image, 29, 44), Black); // 78 degrees
    EXPECT_EQ(Pixel(image, 21, 44), White); // 102 degrees
    EXPECT_EQ(Pixel(image, 25, 5), White);
}

TEST(QtSurface, HatchPatternsLieOnTheDeviceGrid) {
    const TVxHatchStyle style = TVxHatchStyle::Weave;
    const QImage image = Paint(40, 40, [&](TVxQtSurface& s) {
        s.TranslateTransform(3.0, 5.0);
        s.FillRectangle(TVxBrush::HatchBrush(style, Black, White), QRectF(0, 0, 30, 30));
    });
    for (int y = 5; y < 35; ++y)
        for (int x = 3; x < 33; ++x)
            ASSERT_EQ(Pixel(image, x, y), HatchBit(style, x, y) ? Black : White) << x << "," << y;
}

TEST(QtSurface, LinearGradientShowsItsEndColours) {
    constexpr TVxColor Red = VxColor(0xFFFF0000), Green = VxColor(0xFF00FF00),
                       Blue = VxColor(0xFF0000FF);
    const QRectF view(0, 0, 200, 10);
    const auto paint = [&](double Center) {
        return Paint(200, 10, [&](TVxQtSurface& s) {
            s.FillRectangle(LinearThreeColorBrush(view, Red, Green, Blue, Center, 0), view);
        });
    };
    const QImage middle = paint(0.5);
    EXPECT_TRUE(Near(Pixel(middle, 0, 5), Red, 8));
    EXPECT_TRUE(Near(Pixel(middle, 199, 5), Blue, 8));
    EXPECT_TRUE(Near(Pixel(middle, 99, 5), Green, 8));
    // Centre 0 puts the middle colour at the first edge and keeps the last colour.
    const QImage atStart = paint(0);
    EXPECT_TRUE(Near(Pixel(atStart, 0, 5), Green, 8));
    EXPECT_TRUE(Near(Pixel(atStart, 199, 5), Blue, 8));
    // Centre 1 keeps the first colour and puts the middle colour at the last edge.
    const QImage atEnd = paint(1);
    EXPECT_TRUE(Near(Pixel(atEnd, 0, 5), Red, 8));
    EXPECT_TRUE(Near(Pixel(atEnd, 199, 5), Green, 8));
    // Angle 90 runs downwards.
    const QImage down = Paint(10, 200, [&](TVxQtSurface& s) {
        const QRectF v(0, 0, 10, 200);
        s.FillRectangle(LinearThreeColorBrush(v, Red, Green, Blue, 0.5, 90), v);
    });
    EXPECT_TRUE(Near(Pixel(down, 5, 0), Red, 8));
    EXPECT_TRUE(Near(Pixel(down, 5, 199), Blue, 8));
}

TEST(QtSurface, RadialGradientRunsFromCentreToRim) {
    constexpr TVxColor Rim = VxColor(0xFFFF0000), Half = VxColor(0xFF00FF00),
                       Centre = VxColor(0xFF0000FF);
    for (const bool elliptical : {false, true}) {
        const QRectF view(0, 0, 100, 60);
        const QPointF fraction(0.25, 0.5);
        const QImage image = Paint(100, 60, [&](TVxQtSurface& s) {
            s.FillRectangle(elliptical ? EllipticalBrush(view, fraction, Rim, Half, Centre)
                                       : RadialBrush(view, fraction, Rim, Half, Centre),
                            view);
        });
        EXPECT_TRUE(Near(Pixel(image, 25, 30), Centre, 12)) << elliptical;
        // Corners of the view lie on the rim (circle through the corners, or the ellipse of
        // the view's proportions, which passes through them too).
        EXPECT_TRUE(Near(Pixel(image, 99, 59), Rim, 24)) << elliptical;
        EXPECT_TRUE(Near(Pixel(image, 99, 0), Rim, 24)) << elliptical;
    }
}

TEST(QtSurface, ArrowHeadIsFilledAndTheLineStopsAtItsNotch) {
    const QImage image = Paint(80, 40, [](TVxQtSurface& s) {
        TVxPen pen = TVxPen::Solid(Black, 2);
        pen.CustomEndCap = TVxArrowCap{5, 3, 2}; // head 10 long, 8 wide at width 2
        s.DrawLine(pen, QPointF(10, 20), QPointF(60, 20));
    });
    EXPECT_EQ(Pixel(image, 30, 20), Black); // the line
    EXPECT_EQ(Pixel(image, 52, 23), Black); // a barb of the head, beside the line
    EXPECT_EQ(Pixel(image, 52, 17), Black);
    EXPECT_EQ(Pixel(image, 45, 23), White); // behind the head
    EXPECT_EQ(Pixel(image, 62, 20), White); // beyond the tip
}

TEST(QtSurface, ShapeExclusionKeepsDrawingOutOfTheShapes) {
    const std::vector<QPointF> centres = {{20, 20}, {27, 22}, {50, 30}, {70, 12}};
    constexpr double Radius = 6;
    TVxPath shapes(TFillMode::FillModeWinding);
    for (const QPointF& c : centres)
        shapes.AddEllipse(QRectF(c.x() - Radius, c.y() - Radius, 2 * Radius, 2 * Radius));
    const auto lines = [](TVxQtSurface& s) {
        s.SetSmoothingMode(TSmoothingMode::SmoothingModeAntiAlias);
        const QPointF zigzag[] = {{0, 0}, {30, 40}, {60, 0}, {90, 40}};
        s.DrawLines(TVxPen::Solid(VxColor(0xC0FF0000), 3), zigzag);
        s.DrawLine(TVxPen::Solid(Black, 1), QPointF(0, 20), QPointF(90, 20));
    };
    const QImage plain = Paint(90, 40, lines);
    const QImage excluded = Paint(90, 40, [&](TVxQtSurface& s) {
        s.SetClip(QRectF(0, 0, 85, 40));
        s.BeginShapeExclusion(shapes);
        lines(s);
        s.EndShapeExclusion();
        EXPECT_EQ(s.GetClip(), TVxRegion::FromRect(QRectF(0, 0, 85, 40)));
    });
    // Pixel centres lie on integer coordinates: inside a circle nothing is drawn, well
    // outside all of them the drawing is untouched; the clip edges are hard.
    int inside = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 85; ++x) {
            double nearest = 1e9;
            for (const QPointF& c : centres)
                nearest = std::min(nearest, std::hypot(x - c.x(), y - c.y()));
            if (nearest < Radius - 0.05) {
                ++inside;
                ASSERT_EQ(Pixel(excluded, x, y), White) << x << "," << y;
            } else if (nearest > Radius + 0.05) {
                ASSERT_EQ(Pixel(excluded, x, y), Pixel(plain, x, y)) << x << "," << y;
            }
        }
    EXPECT_GT(inside, 300);
    EXPECT_EQ(Pixel(excluded, 87, 20), White); // outside the clip rectangle
    EXPECT_EQ(Pixel(plain, 87, 20), Black);
}

TEST(QtSurface, ClipModesCombine) {
    const QImage image = Paint(40, 10, [](TVxQtSurface& s) {
        s.SetClip(QRectF(0, 0, 20, 10));
        s.SetClip(QRectF(10, 0, 20, 10), TCombineMode::CombineModeXor);
        s.ExcludeClip(QRectF(0, 0, 2, 10));
        s.Clear(Black);
        EXPECT_EQ(s.GetClip().Bounds(), QRectF(2, 0, 28, 10));
        s.ResetClip();
        EXPECT_TRUE(s.GetClip().IsInfinite());
    });
    EXPECT_EQ(Row(image, 5, 0, 31), "..########..........##########..");
}

TEST(QtSurface, ClipFollowsTheWorldTransform) {
    const QImage image = Paint(30, 10, [](TVxQtSurface& s) {
        s.TranslateTransform(10, 0);
        s.SetClip(QRectF(0, 0, 5, 10));
        EXPECT_EQ(s.GetClip().Bounds(), QRectF(0, 0, 5, 10));
        s.FillRectangle(TVxBrush::SolidBrush(Black), QRectF(-10, 0, 40, 10));
    });
    EXPECT_EQ(Row(image, 5, 8, 16), "..#####..");
}

TEST(QtSurface, ImagesLandOnWholePixels) {
    QImage stamp(2, 2, QImage::Format_ARGB32);
    stamp.fill(Qt::black);
    const QImage image = Paint(10, 10, [&](TVxQtSurface& s) { s.DrawImage(stamp, QPointF(3, 4)); });
    EXPECT_EQ(Row(image, 4, 2, 5), ".##.");
    EXPECT_EQ(Row(image, 5, 2, 5), ".##.");
    EXPECT_EQ(Row(image, 6, 2, 5), "....");
}

TEST(QtSurface, TextHangsFromTheTopOfItsLayout) {
    TVxFontSpec font;
    font.Family = QStringLiteral("DejaVu Sans");
    font.Size = 12;
    int firstInk = -1;
    const QImage image = Paint(100, 60, [&](TVxQtSurface& s) {
        s.DrawString(QStringLiteral("Hg"), font, TVxBrush::SolidBrush(Black), QRectF(5, 20, 90, 40),
                     TVxStringFormat::GenericDefault());
        EXPECT_NEAR(s.GetFontHeight(font),
                    QFontMetricsF(ToQFont(font, {}, MeasuringDevice())).lineSpacing(), 1e-9);
    });
    for (int y = 0; y < 60 && firstInk < 0; ++y)
        for (int x = 0; x < 100; ++x)
            if (GetRed(Pixel(image, x, y)) < 128) {
                firstInk = y;
                break;
            }
    // The cap height of a 16-unit font starts a few units below the top of the line.
    EXPECT_GE(firstInk, 20);
    EXPECT_LE(firstInk, 26);
}

TEST(QtSurface, MeasuresTextWithTheTargetsMetrics) {
    TVxFontSpec font;
    font.Family = QStringLiteral("DejaVu Sans");
    font.Size = 12; // 16 units: the default format pads 16 / 6 on either side
    const QString text = QStringLiteral("Temperature");
    QRectF padded, typographic;
    Paint(10, 10, [&](TVxQtSurface& s) {
        padded =
            s.MeasureString(text, font, QRectF(10, 20, 0, 0), TVxStringFormat::GenericDefault());
        typographic = s.MeasureString(text, font, QRectF(10, 20, 0, 0),
                                      TVxStringFormat::GenericTypographic());
    });
    const QFontMetricsF metrics(ToQFont(font, {}, MeasuringDevice()), MeasuringDevice());
    EXPECT_NEAR(typographic.width(), metrics.horizontalAdvance(text), 0.01);
    EXPECT_NEAR(padded.width() - typographic.width(), 2 * 16.0 / 6, 0.01);
    EXPECT_EQ(typographic.topLeft(), QPointF(10, 20));
    EXPECT_NEAR(typographic.height(), metrics.height(), 0.01);
    TVxRecordingSurface recorder;
    EXPECT_EQ(recorder.MeasureString(text, font, QRectF(10, 20, 0, 0),
                                     TVxStringFormat::GenericTypographic()),
              typographic);
    EXPECT_TRUE(IsFontAvailable(QStringLiteral("dejavu sans")));
    EXPECT_FALSE(IsFontAvailable(QStringLiteral("No Such Family 42")));
}

TEST(QtSurface, KeepsThePaintersOwnTransformAndClip) {
    for (const bool excluding : {false, true}) {
        QImage image(20, 20, QImage::Format_ARGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.translate(7, 3);
            painter.setClipRect(QRectF(0, 0, 3, 10));
            TVxQtSurface surface(painter);
            TVxPath farAway;
            farAway.AddRectangle(QRectF(100, 100, 5, 5));
            if (excluding)
                surface.BeginShapeExclusion(farAway);
            surface.SetClip(QRectF(-5, 0, 20, 2));
            surface.FillRectangle(TVxBrush::SolidBrush(Black), QRectF(0, 0, 5, 5));
            if (excluding)
                surface.EndShapeExclusion();
        }
        EXPECT_EQ(Row(image, 3, 5, 11), "..###..") << excluding;
        EXPECT_EQ(Row(image, 4, 5, 11), "..###..") << excluding;
        EXPECT_EQ(Row(image, 5, 5, 11), ".......") << excluding;
    }
}

} // namespace

TEST(QtSurface, AntiAliasedLinesOnPixelCentresMatchQtsStroker) {
    // Lines along a row or column of pixel centres take a shortcut; each must give the pixels
    // of QPainter's own anti-aliased stroke (ends on whole and half pixels, both caps,
    // opaque and translucent, with a clip, singly and in a list).
    const struct {
        QPointF A, B;
        TLineCap Cap;
        TVxColor Color;
    } cases[] = {
        {{2, 10}, {27, 10}, TLineCap::LineCapFlat, Black},
        {{27.5, 4}, {2.5, 4}, TLineCap::LineCapFlat, VxColor(0x80C01020)},
        {{13, 2}, {13, 26.5}, TLineCap::LineCapSquare, Black},
        {{6, 25}, {6, 3}, TLineCap::LineCapSquare, VxColor(0x60204080)},
        {{-5, 17}, {40, 17}, TLineCap::LineCapFlat, Black}, // crosses the clip
    };
    const QRectF clip(1, 1, 26, 26);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.A.x() + 100 * c.A.y());
        TVxPen pen = TVxPen::Solid(c.Color);
        pen.StartCap = pen.EndCap = c.Cap;
        const QImage single = Paint(30, 30, [&](TVxQtSurface& s) {
            s.SetSmoothingMode(TSmoothingMode::SmoothingModeAntiAlias);
            s.SetClip(clip);
            s.DrawLine(pen, c.A, c.B);
        });
        const QImage listed = Paint(30, 30, [&](TVxQtSurface& s) {
            s.SetSmoothingMode(TSmoothingMode::SmoothingModeAntiAlias);
            s.SetClip(clip);
            const QLineF lines[] = {QLineF(c.A, c.B)};
            s.DrawLineList(pen, lines);
        });
        QImage reference(30, 30, QImage::Format_ARGB32);
        reference.fill(Qt::white);
        {
            QPainter p(&reference);
            // The surface's clip: hard edges, pixels whose centres lie inside.
            p.setWorldTransform(QTransform::fromTranslate(0.5 - 1.0 / 64, 0.5 - 1.0 / 64));
            p.setClipRect(clip);
            p.setRenderHint(QPainter::Antialiasing, true);
            p.setWorldTransform(QTransform::fromTranslate(0.5, 0.5));
            QPen qpen(ToQColor(c.Color), 1.0);
            qpen.setCapStyle(c.Cap == TLineCap::LineCapFlat ? Qt::FlatCap : Qt::SquareCap);
            qpen.setJoinStyle(Qt::SvgMiterJoin);
            p.setPen(qpen);
            const QPointF points[] = {c.A, c.B};
            p.drawPolyline(points, 2);
        }
        EXPECT_EQ(single, reference);
        EXPECT_EQ(listed, reference);
    }
}
