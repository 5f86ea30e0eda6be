// Pens and brushes of the style settings, as the recording surface receives them.
#include "drawing/GradientBrushes.h"
#include "drawing/RecordingSurface.h"
#include "styles/AreaSettings.h"
#include "styles/ArrowSettings.h"
#include "styles/PointSymbolSettings.h"
#include "styles/VxFont.h"

#include <gtest/gtest.h>

namespace {

const QRectF View(10, 20, 200, 100);

TVxPen RecordedPen(const TVxPen& Pen) {
    TVxRecordingSurface surface;
    surface.DrawLine(Pen, QPointF(0, 0), QPointF(50, 0));
    return *surface.Records().at(0).Pen;
}

TVxBrush RecordedBrush(const TVxBrush& Brush) {
    TVxRecordingSurface surface;
    surface.FillRectangle(Brush, View);
    return *surface.Records().at(0).Brush;
}

TEST(StylePaint, LinePenIsSolidWithWidthDashAndMiterLimitZero) {
    TVxLineSettings line;
    line.SetColor(VxColor(0xFF008000));
    line.SetWidth(2.5f);
    line.SetDashStyle(TDashStyle::DashStyleDashDot);
    TVxPen expected;
    expected.Color = VxColor(0xFF008000);
    expected.Width = 2.5f;
    expected.DashStyle = TDashStyle::DashStyleDashDot;
    expected.MiterLimit = 0;
    EXPECT_EQ(RecordedPen(line.GetPen(View)), expected);
    EXPECT_EQ(line.GetPen(QRect(10, 20, 200, 100)), expected);
}

TEST(StylePaint, LinePenWithAVisibleGradientPaintsWithTheGradientBrush) {
    TVxLineSettings line;
    line.SetWidth(3);
    line.Gradient()->SetVisible(true);
    line.Gradient()->SetLinearAngle(30);
    line.Gradient()->SetLinearCenter(0.25f);
    const TVxPen pen = RecordedPen(line.GetPen(View, 15));
    ASSERT_TRUE(pen.Brush.has_value());
    EXPECT_EQ(*pen.Brush, LinearThreeColorBrush(View, VxColor(0xFFD3D3D3), VxColor(0xFFB0B0B0),
                                                VxColor(0xFF808080), 0.25, 45));
    EXPECT_EQ(pen.Width, 3.0f);
    EXPECT_EQ(pen.MiterLimit, 0.0f);
}

TEST(StylePaint, GradientBrushesOfEachStyle) {
    TVxGradientSettings g;
    g.SetFirstColor(1);
    g.SetMiddleColor(2);
    g.SetLastColor(3);
    g.SetRadialCenterX(0.25f);
    g.SetRadialCenterY(0.75f);
    g.SetStyle(TVxGradientStyle::Radial);
    EXPECT_EQ(RecordedBrush(g.GetBrush(View)), RadialBrush(View, QPointF(0.25, 0.75), 1, 2, 3));
    g.SetStyle(TVxGradientStyle::Elliptical);
    EXPECT_EQ(RecordedBrush(g.GetBrush(View)), EllipticalBrush(View, QPointF(0.25, 0.75), 1, 2, 3));
    // The integer rectangle is X, Y, Width, Height.
    EXPECT_EQ(g.GetBrush(QRect(10, 20, 200, 100)), g.GetBrush(View));
}

TEST(StylePaint, ArrowPenEndsInTheHeadCap) {
    TVxArrowSettings arrow;
    arrow.SetPointLength(8);
    arrow.SetInnerLength(4);
    arrow.SetPointHeight(3);
    const TVxPen pen = RecordedPen(arrow.GetPen(View));
    ASSERT_TRUE(pen.CustomEndCap.has_value());
    EXPECT_EQ(*pen.CustomEndCap, (TVxArrowCap{8, 4, 3}));
    EXPECT_FALSE(pen.CustomStartCap.has_value());
    EXPECT_EQ(pen.Color, VxColor(0xFFFF0000));
    EXPECT_EQ(pen.MiterLimit, 0.0f);

    TVxAxisArrowPoint tip;
    const TVxPen axis = TVxPen::Solid(VxColor(0xFF000000));
    EXPECT_EQ(tip.ApplyTo(axis), axis);
    tip.SetVisible(true);
    EXPECT_EQ(tip.ApplyTo(axis).CustomEndCap, (TVxArrowCap{7, 5, 3}));
}

TEST(StylePaint, AreaBrushSolidHatchOrGradient) {
    TVxAreaSettings area;
    EXPECT_EQ(RecordedBrush(area.GetBrush(View)), TVxBrush::SolidBrush(VxColor(0xFFD3D3D3)));
    area.SetAreaStyle(TVxAreaStyle::Percent50);
    EXPECT_FALSE(area.Solid());
    EXPECT_EQ(
        RecordedBrush(area.GetBrush(View)),
        TVxBrush::HatchBrush(TVxHatchStyle::Percent50, VxColor(0xFFD3D3D3), VxColor(0xFFA9A9A9)));
    area.SetAreaStyle(TVxAreaStyle::SolidDiamond);
    EXPECT_EQ(area.GetBrush(View).Hatch, TVxHatchStyle::SolidDiamond);
    area.Gradient()->SetVisible(true);
    EXPECT_EQ(RecordedBrush(area.GetBrush(View)), area.Gradient()->GetBrush(View, 0));
    EXPECT_EQ(area.GetBrush(View).Kind, TVxBrushKind::LinearGradient);
}

TEST(StylePaint, SymbolAndFontDrawThroughTheSurface) {
    TVxPointSymbolSettings symbol;
    symbol.SetBorderLineWidth(2);
    symbol.SetFillColor(VxColor(0xFFFFFF00));
    TVxRecordingSurface surface;
    DrawPointSymbol(surface, symbol.GetPen(), symbol.GetBrush(), symbol.PointSymbol(),
                    symbol.Size(), 50, 50);
    ASSERT_FALSE(surface.Records().empty());
    bool filled = false;
    bool stroked = false;
    for (const TVxDrawRecord& r : surface.Records()) {
        if (r.Brush && *r.Brush == TVxBrush::SolidBrush(VxColor(0xFFFFFF00)))
            filled = true;
        if (r.Pen && *r.Pen == TVxPen::Solid(VxColor(0xFF0000FF), 2))
            stroked = true;
    }
    EXPECT_TRUE(filled);
    EXPECT_TRUE(stroked);

    TVxFont font;
    font.SetName("DejaVu Sans");
    font.SetSize(12.5f);
    font.SetStyle(TVxFontStyle::Bold);
    font.SetFillColor(VxColor(0xFF123456));
    surface.DrawString("T", font.FontSpec(), font.GetBrush(View), View, {});
    const TVxDrawRecord& text = surface.Records().back();
    EXPECT_EQ(text.Font.Family, "DejaVu Sans");
    EXPECT_EQ(text.Font.Size, 12.5);
    EXPECT_EQ(text.Font.Unit, TVxFontUnit::Point);
    EXPECT_TRUE(text.Font.Bold);
    EXPECT_EQ(*text.Brush, TVxBrush::SolidBrush(VxColor(0xFF123456)));
}

} // namespace
