// Every surface operation on image, PDF, SVG and picture targets; fonts across devices;
// sprite stamping against direct drawing.
#include "drawing/GradientBrushes.h"
#include "drawing/LabelBox.h"
#include "drawing/PointSymbol.h"
#include "drawing/QtSurface.h"
#include "drawing/RecordingSurface.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPdfWriter>
#include <QPicture>
#include <QSvgGenerator>
#include <QSvgRenderer>
#include <gtest/gtest.h>

namespace {

// One call of every surface operation, and the shapes drawn through them.
void DrawEverything(TVxSurface& S) {
    const TVxPen pen = TVxPen::Solid(VxColor(0xFF204080), 2);
    TVxPen arrow = pen;
    arrow.CustomEndCap = TVxArrowCap{};
    TVxPen dashed =
        TVxPen::FromBrush(LinearThreeColorBrush(QRectF(0, 0, 200, 100), VxColor(0xFFFF0000),
                                                VxColor(0xFF00FF00), VxColor(0xFF0000FF), 0.3, 45),
                          3);
    dashed.DashStyle = TDashStyle::DashStyleDashDot;
    const TVxBrush hatch = TVxBrush::HatchBrush(TVxHatchStyle::DiagonalCross, VxColor(0xFF000000),
                                                VxColor(0xFFFFFFFF));
    const QPointF polyline[] = {{5, 5}, {50, 40}, {90, 10}};
    TVxPath path;
    path.AddArc(QRectF(100, 10, 30, 30), 45, 200);
    path.AddLines(polyline);
    path.CloseFigure();

    S.Clear(VxColor(0xFFFFFFFF));
    S.SetSmoothingMode(TSmoothingMode::SmoothingModeHighQuality);
    S.SetTextRenderingHint(TVxTextRenderingHint::AntiAliasGridFit);
    S.SetClip(QRectF(0, 0, 190, 95));
    S.SetClip(QRectF(180, 0, 20, 20), TCombineMode::CombineModeExclude);
    S.DrawLine(arrow, {10, 90}, {80, 60});
    S.DrawLines(dashed, polyline);
    S.DrawRectangle(pen, QRectF(2, 2, 30, 20));
    S.DrawEllipse(pen, QRectF(40, 50, 30, 20));
    S.DrawArc(arrow, QRectF(60, 20, 40, 40), 180, 120);
    S.DrawPolygon(pen, polyline);
    S.DrawPath(pen, path);
    S.FillRectangle(hatch, QRectF(120, 60, 30, 30));
    S.FillEllipse(RadialBrush(QRectF(150, 50, 40, 40), QPointF(0.3, 0.3), VxColor(0xFF000080),
                              VxColor(0xFF8080FF), VxColor(0xFFFFFFFF)),
                  QRectF(150, 50, 40, 40));
    S.FillPolygon(TVxBrush::SolidBrush(VxColor(0x8000FF00)), polyline);
    S.FillPath(EllipticalBrush(QRectF(100, 10, 30, 30), QPointF(0.5, 0.5), VxColor(0xFFFF0000),
                               VxColor(0xFFFFFF00), VxColor(0xFFFFFFFF)),
               path);
    TVxFontSpec font;
    font.Family = QStringLiteral("DejaVu Sans");
    font.Size = 9;
    S.DrawString(QStringLiteral("Temperature"), font, TVxBrush::SolidBrush(VxColor(0xFF000000)),
                 QRectF(5, 70, 100, 20), TVxStringFormat::GenericDefault());
    QImage image(4, 4, QImage::Format_ARGB32);
    image.fill(Qt::red);
    S.DrawImage(image, QPointF(170, 80));
    S.DrawImage(image, QRectF(160, 80, 8, 8));
    S.TranslateTransform(5, 5);
    TVxPath shapes;
    shapes.AddEllipse(QRectF(20, 20, 10, 10));
    S.BeginShapeExclusion(shapes);
    S.DrawLine(pen, {0, 25}, {60, 25});
    S.EndShapeExclusion();
    const QPointF centres[] = {{25, 25}, {60, 30}};
    DrawPointSymbols(S, pen, TVxBrush::SolidBrush(VxColor(0x400000FF)), TVxPointSymbol::Circle, 11,
                     centres);
    DrawLabelBox(S, TVxBrush::SolidBrush(VxColor(0xFFFFFFE1)), pen,
                 {.Raised = true, .DropShadow = true, .Rounding = 6}, QRectF(120, 5, 50, 20));
    S.ResetClip();
    S.SetTransform(QTransform());
}

TEST(Devices, ImageReceivesEveryOperation) {
    QImage image(200, 100, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        TVxQtSurface surface(painter);
        EXPECT_TRUE(surface.IsRaster());
        DrawEverything(surface);
    }
    EXPECT_EQ(image.pixel(190, 99), 0xFFFFFFFFu); // cleared, outside the clip afterwards
    EXPECT_EQ(image.pixel(171, 81), 0xFFFF0000u); // the stamped image
}

TEST(Devices, PdfReceivesEveryOperation) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(96);
        QPainter painter(&writer);
        TVxQtSurface surface(painter);
        EXPECT_FALSE(surface.IsRaster());
        DrawEverything(surface);
    }
    EXPECT_TRUE(buffer.data().startsWith("%PDF"));
    EXPECT_GT(buffer.data().size(), 2000);
}

TEST(Devices, SvgReceivesEveryOperation) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(QSize(200, 100));
        QPainter painter(&generator);
        TVxQtSurface surface(painter);
        EXPECT_FALSE(surface.IsRaster());
        DrawEverything(surface);
    }
    const QByteArray svg = buffer.data();
    EXPECT_TRUE(svg.contains("<svg"));
    EXPECT_TRUE(svg.contains("Temperature"));
}

TEST(Devices, SvgOutputIsClipped) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(QSize(100, 100));
        generator.setViewBox(QRect(0, 0, 100, 100));
        QPainter painter(&generator);
        TVxQtSurface surface(painter);
        surface.SetClip(QRectF(0, 0, 50, 50));
        surface.TranslateTransform(10, 0);
        TVxPath hole;
        hole.AddEllipse(QRectF(10, 10, 20, 20)); // centre (30, 20) on the target
        surface.ExcludeClip(TVxRegion::FromPath(hole));
        surface.FillRectangle(TVxBrush::SolidBrush(VxColor(0xFFFF0000)), QRectF(-10, 0, 100, 100));
        surface.DrawLine(TVxPen::Solid(VxColor(0xFF0000FF), 4), QPointF(-10, 45), QPointF(90, 45));
        TVxFontSpec font;
        font.Family = QStringLiteral("DejaVu Sans");
        font.Size = 20;
        surface.DrawString(QStringLiteral("W"), font, TVxBrush::SolidBrush(VxColor(0xFF00FF00)),
                           QRectF(-10, 30, 0, 0), TVxStringFormat::GenericTypographic());
    }
    QSvgRenderer renderer(buffer.data());
    ASSERT_TRUE(renderer.isValid());
    QImage image(100, 100, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    EXPECT_EQ(image.pixel(5, 5), 0xFFFF0000u);
    EXPECT_EQ(image.pixel(30, 20), 0xFFFFFFFFu); // the excluded hole
    int green = 0; // the text crosses the clip's lower edge: its upper part shows
    for (int y = 30; y < 50; ++y)
        for (int x = 0; x < 50; ++x)
            green += qGreen(image.pixel(x, y)) > 200 && qRed(image.pixel(x, y)) < 50;
    EXPECT_GT(green, 20);
    EXPECT_EQ(image.pixel(75, 75), 0xFFFFFFFFu); // outside the clip
    EXPECT_EQ(image.pixel(40, 45), 0xFF0000FFu);
    EXPECT_EQ(image.pixel(70, 45), 0xFFFFFFFFu);
    for (int y = 50; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            ASSERT_EQ(image.pixel(x, y), 0xFFFFFFFFu) << x << "," << y; // text clipped too
}

TEST(Devices, PictureReplaysOntoAnImage) {
    QPicture picture;
    {
        QPainter painter(&picture);
        TVxQtSurface surface(painter);
        DrawEverything(surface);
    }
    EXPECT_GT(picture.size(), 0u);
    QImage image(200, 100, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.drawPicture(0, 0, picture);
    painter.end();
    EXPECT_EQ(image.pixel(171, 81), 0xFFFF0000u);
}

TEST(Devices, RecorderLogsEveryOperation) {
    TVxRecordingSurface surface;
    DrawEverything(surface);
    for (const TVxDrawOp op : {TVxDrawOp::DrawLine,
                               TVxDrawOp::DrawLines,
                               TVxDrawOp::DrawRectangle,
                               TVxDrawOp::DrawEllipse,
                               TVxDrawOp::DrawArc,
                               TVxDrawOp::DrawPolygon,
                               TVxDrawOp::DrawPath,
                               TVxDrawOp::FillRectangle,
                               TVxDrawOp::FillEllipse,
                               TVxDrawOp::FillPolygon,
                               TVxDrawOp::FillPath,
                               TVxDrawOp::DrawString,
                               TVxDrawOp::DrawImage,
                               TVxDrawOp::Clear,
                               TVxDrawOp::SetClip,
                               TVxDrawOp::ResetClip,
                               TVxDrawOp::SetTransform,
                               TVxDrawOp::SetSmoothingMode,
                               TVxDrawOp::SetTextRenderingHint,
                               TVxDrawOp::BeginShapeExclusion,
                               TVxDrawOp::EndShapeExclusion})
        EXPECT_FALSE(surface.RecordsOf(op).empty()) << static_cast<int>(op);
}

TEST(Devices, FontSizesAreInUnitsOf96DotsPerInchOnEveryDevice) {
    TVxFontSpec font;
    font.Family = QStringLiteral("DejaVu Sans");
    font.Size = 12; // points: 16 units
    EXPECT_DOUBLE_EQ(font.PixelSize(), 16);
    QImage image(10, 10, QImage::Format_ARGB32);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(1200);
    const QFont onImage = ToQFont(font, {}, &image);
    const QFont onPdf = ToQFont(font, {}, &writer);
    EXPECT_NEAR(QFontMetricsF(onImage, &image).ascent(), QFontMetricsF(onPdf, &writer).ascent(),
                0.6);
    EXPECT_NEAR(QFontMetricsF(onImage, &image).horizontalAdvance(QStringLiteral("Temperature")),
                QFontMetricsF(onPdf, &writer).horizontalAdvance(QStringLiteral("Temperature")),
                2.0);
    // The em box of a 16-unit font: ascent plus descent of DejaVu Sans is 1.164 em.
    EXPECT_NEAR(QFontMetricsF(onImage, &image).height(), 16 * 1.164, 1.0);
}

TEST(Devices, SpritesStampTheSamePixelsAsDrawing) {
    const std::vector<QPointF> centres = {{20, 20}, {40.25, 21.5}, {60.125, 30.875}, {80.5, 9.75}};
    for (const TVxPointSymbol symbol : {TVxPointSymbol::Circle, TVxPointSymbol::Delta,
                                        TVxPointSymbol::Star, TVxPointSymbol::Dot}) {
        for (const TSmoothingMode mode :
             {TSmoothingMode::SmoothingModeNone, TSmoothingMode::SmoothingModeAntiAlias}) {
            const auto paint = [&](bool Stamped) {
                QImage image(100, 40, QImage::Format_ARGB32);
                image.fill(Qt::white);
                QPainter painter(&image);
                TVxQtSurface surface(painter);
                surface.SetSmoothingMode(mode);
                const TVxPen pen = TVxPen::Solid(VxColor(0xFF000080), 1.5);
                const TVxBrush brush = TVxBrush::SolidBrush(VxColor(0x80FF0000));
                if (Stamped)
                    DrawPointSymbols(surface, pen, brush, symbol, 11, centres);
                else
                    for (const QPointF& c : centres)
                        DrawPointSymbol(surface, pen, brush, symbol, 11, c.x(), c.y());
                return image;
            };
            const QImage stamped = paint(true);
            const QImage drawn = paint(false);
            int worst = 0;
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 100; ++x) {
                    const QRgb a = stamped.pixel(x, y), b = drawn.pixel(x, y);
                    worst =
                        std::max({worst, std::abs(qRed(a) - qRed(b)),
                                  std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
                }
            EXPECT_LE(worst, 2) << static_cast<int>(symbol) << " " << static_cast<int>(mode);
        }
    }
}

} // namespace
