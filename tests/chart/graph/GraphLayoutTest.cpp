// The data-area layout of a graph with two axes, derived by hand from the layout rules
// with every text measured through QFontMetricsF of DejaVu Sans; the axis drawing through
// the recording surface; a few pixels of a painted image.
//
// Every text of an axis is a rich caption block: its width is the run width
// w("I" + text + "I") - w("II") plus the default string layout's padding of 1/6 em on
// either side, its height the line spacing; the run is drawn that padding in from the
// block's left edge, with its top at the block's top.

#include "axes/AxisLabels.h"
#include "axes/AxisPainter.h"
#include "drawing/RecordingSurface.h"
#include "graph/Graph.h"
#include "styles/LineSettings.h"
#include "styles/VxFont.h"

#include <QFontMetricsF>
#include <QImage>
#include <cmath>
#include <gtest/gtest.h>

namespace {

/// The padding of the default string layout on either side: 1/6 em of PointSize at 96 dpi.
double Pad(double PointSize) {
    return PointSize * 96.0 / 72.0 / 6.0;
}

/// Block width and line height of the caption Text in DejaVu Sans of PointSize at 96 dots
/// per inch.
QSizeF Measure(const QString& Text, double PointSize) {
    QImage device(1, 1, QImage::Format_ARGB32);
    device.setDotsPerMeterX(3780); // 96.01 dpi: Qt rounds the logical dpi to 96
    device.setDotsPerMeterY(3780);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(PointSize);
    const QFontMetricsF metrics(font, &device);
    const double run = metrics.horizontalAdvance(u'I' + Text + u'I') -
                       metrics.horizontalAdvance(QStringLiteral("II"));
    return {run + 2 * Pad(PointSize), metrics.lineSpacing()};
}

void UseTestFonts(TVxAxis& Axis) {
    TVxAxisLook& look = AxisLook(Axis);
    look.Font()->SetName("DejaVu Sans");
    look.Font()->SetStyle({});
    look.Font()->SetSize(10);
    look.CaptionFont()->SetName("DejaVu Sans");
    look.CaptionFont()->SetStyle({});
    look.CaptionFont()->SetSize(12);
    // Labels at 0, 2, ..., 10: steps of 0.2 * 10^1.
    Axis.SetAutoTickParts(false);
    Axis.SetLabelPart(0.2);
    Axis.SetMajorTickPart(0.2);
    Axis.SetTickPart(0.1);
}

class GraphLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        Graph = new TVxGraph2D(&Form);
        Graph->resize(600, 400);
        Graph->TestPrimaryAxis();
        X = Graph->PrimaryXAxis();
        Y = Graph->PrimaryYAxis();
        UseTestFonts(*X);
        UseTestFonts(*Y);
        Graph->Calculate();
    }

    QStringList LabelTexts(const TVxAxis& Axis) const {
        QStringList texts;
        for (const TVxPlacedText& t : FindAxisLook(Axis)->Placement.Labels)
            texts << t.Text;
        return texts;
    }

    QWidget Form;
    TVxGraph2D* Graph = nullptr;
    TVxAxis* X = nullptr;
    TVxAxis* Y = nullptr;
};

const QStringList Numbers{"0", "2", "4", "6", "8", "10"};

} // namespace

TEST_F(GraphLayoutTest, DataAreaOfA600By400GraphFollowsTheLayoutRules) {
    ASSERT_EQ(LabelTexts(*X), Numbers);
    ASSERT_EQ(LabelTexts(*Y), Numbers);
    // h: label height; w0, w10: widths of "0" and "10" (the widest label); c: caption
    // height (12 pt). Default look: line width 1, major ticks 10, all distances 0.
    const double h = Measure("0", 10).height();
    const double w0 = Measure("0", 10).width();
    double wMax = 0;
    for (const QString& n : Numbers)
        wMax = std::max(wMax, Measure(n, 10).width());
    const double c = Measure("Y-Axis", 12).height();

    // Thickness: ceil(1/2) + DistanceToBorder 0 + MajorTickLength 10 + DistanceAxisLabels 0
    // + labels + caption + DistanceNumbersCaption 0.
    const double tX = 1 + 10 + h + c;    // labels measured across: their height
    const double tY = 1 + 10 + wMax + c; // labels measured across: their width; caption rotated
    // Left: the Y axis takes ceil(tY); its line lies at ceil(tY - 1/2) inside it and the
    // data area starts there (DistanceValuesAxis 0).
    const double left = std::ceil(tY - 0.5);
    // Right: no right axis, so the overhang of the last X label "10" centred on the axis
    // end: w10/2 + 2, rounded up.
    const double right = std::ceil(wMax / 2 + 2);
    // Top: no top axis, the overhang of the top Y label: h/2, rounded up.
    const double top = std::ceil(h / 2);
    // Bottom: the X axis takes ceil(tX); the data area ends at its line, ceil(1/2) = 1
    // below the axis' top edge.
    const double bottom = std::ceil(tX) - 1;

    const QRectF da = Graph->DrawingArea();
    EXPECT_DOUBLE_EQ(da.x(), left);
    EXPECT_DOUBLE_EQ(da.y(), top);
    EXPECT_DOUBLE_EQ(da.width(), 600 - left - right + 1);
    EXPECT_DOUBLE_EQ(da.height(), 400 - top - bottom + 1);

    // The axes around it: X spans the data area's width along its line, Y its height.
    EXPECT_FLOAT_EQ(X->AxLeft(), float(left));
    EXPECT_FLOAT_EQ(X->AxLength(), float(600 - left - right));
    EXPECT_EQ(AxisLook(*X).Top(), 400 - int(std::ceil(tX)));
    EXPECT_EQ(X->Height(), int(std::ceil(tX)));
    EXPECT_EQ(Y->Width(), int(std::ceil(tY)));
    EXPECT_FLOAT_EQ(Y->AxTop(), float(top));
    EXPECT_FLOAT_EQ(Y->AxLength(), float(400 - top - bottom));
    (void)w0;
}

TEST_F(GraphLayoutTest, BorderDistancesTitleAndHiddenNumbersMoveTheDataArea) {
    Graph->SetDistanceBorderAxisLeft(7.5);
    Graph->SetDistanceBorderAxisTop(4);
    Graph->CaptionFont()->SetName("DejaVu Sans");
    Graph->CaptionFont()->SetStyle({});
    Graph->CaptionFont()->SetSize(14);
    Graph->SetCaption("Run 1");
    Graph->SetCaptionVisible(true);
    Graph->SetCaptionDistanceBefore(3);
    Graph->SetCaptionDistanceAfter(2);
    AxisLook(*X).SetNumbersVisible(false);
    AxisLook(*X).SetCaptionVisible(false);
    Graph->Calculate();

    const double h = Measure("0", 10).height();
    double wMax = 0;
    for (const QString& n : Numbers)
        wMax = std::max(wMax, Measure(n, 10).width());
    const double c = Measure("Y-Axis", 12).height();
    const double title = Measure("Run 1", 14).height();
    const double tY = 1 + 10 + wMax + c;
    // Left: the border distance rounded up (8) lies outside the Y axis, whose line lies
    // ceil(tY - 1/2) inside it.
    const double left = 8 + std::ceil(tY - 0.5);
    // Top: border 4 + title + distances, rounded up, then the Y label's half height.
    const double top = std::ceil(4 + title + 3 + 2) + std::ceil(h / 2);
    // Bottom: an X axis without numbers and caption is ceil(1/2) + 10 = 11 thick; the Y
    // axis' bottom label overhangs h/2, which is less than 11.
    const double bottom = 11 - 1;
    // Right: the X axis shows no labels; the minimum is half the major tick width, 1.
    const double right = 1;

    const QRectF da = Graph->DrawingArea();
    EXPECT_DOUBLE_EQ(da.x(), left);
    EXPECT_DOUBLE_EQ(da.y(), top);
    EXPECT_DOUBLE_EQ(da.width(), 600 - left - right + 1);
    EXPECT_DOUBLE_EQ(da.height(), 400 - top - bottom + 1);
    EXPECT_EQ(Graph->TitlePosition(), QPointF(300, 3));
}

TEST_F(GraphLayoutTest, AxisPaintingDrawsTicksLabelsAndARotatedCaption) {
    TVxRecordingSurface bottom;
    PaintAxis(bottom, *X, AxisLook(*X));
    // Major ticks every 2 units from ceil(AxTop - 1/2) = 1 down by 10; the pixel of value v
    // is AxLeft + v / 10 * AxLength.
    const double axLeft = X->AxLeft();
    const double axLength = X->AxLength();
    std::vector<double> majors;
    std::vector<double> minors;
    for (const TVxDrawRecord& r : bottom.RecordsOf(TVxDrawOp::DrawLine)) {
        if (r.Points[0].x() != r.Points[1].x())
            continue; // the axis line
        ASSERT_EQ(r.Points[0].y(), 1);
        const double length = r.Points[1].y() - r.Points[0].y();
        (length == 10 ? majors : minors).push_back(r.Points[0].x());
        EXPECT_TRUE(length == 10 || length == 6) << length;
    }
    ASSERT_EQ(majors.size(), 6u);
    ASSERT_EQ(minors.size(), 5u);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(majors[i], std::nearbyint(axLeft + 2 * i / 10.0 * axLength)) << i;
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(minors[i], std::nearbyint(axLeft + (2 * i + 1) / 10.0 * axLength)) << i;

    // Labels: blocks centred on their tick, the run a padding in from the block's left
    // edge, its top on the label line AxTop + 10 = 11.
    const auto strings = bottom.RecordsOf(TVxDrawOp::DrawString);
    ASSERT_EQ(strings.size(), 7u); // six numbers and the caption
    for (int i = 0; i < 6; ++i) {
        const TVxDrawRecord& r = strings[i];
        const QSizeF size = Measure(Numbers[i], 10);
        const QPointF origin = r.Transform.map(r.Rect.topLeft());
        EXPECT_EQ(r.Text, Numbers[i]);
        EXPECT_NEAR(origin.x(), axLeft + 2 * i / 10.0 * axLength - size.width() / 2 + Pad(10),
                    1e-3);
        EXPECT_NEAR(origin.y(), 11, 1e-3);
        EXPECT_TRUE(r.Transform.isTranslating() || r.Transform.isIdentity());
    }
    // The X caption lies centred below the labels, unrotated.
    const TVxDrawRecord& xCaption = strings[6];
    const QSizeF xc = Measure("X-Axis", 12);
    EXPECT_EQ(xCaption.Text, "X-Axis");
    const QPointF xo = xCaption.Transform.map(xCaption.Rect.topLeft());
    EXPECT_NEAR(xo.x(), axLeft + axLength / 2 - xc.width() / 2 + Pad(12), 1e-3);
    EXPECT_NEAR(xo.y(), 11 + Measure("0", 10).height(), 1e-3);

    // The Y caption is rotated by 90 degrees: its text runs upwards, its baseline side
    // towards the axis, centred on the axis' length.
    TVxRecordingSurface left;
    PaintAxis(left, *Y, AxisLook(*Y));
    const auto yStrings = left.RecordsOf(TVxDrawOp::DrawString);
    ASSERT_FALSE(yStrings.empty());
    const TVxDrawRecord& yCaption = yStrings.back();
    EXPECT_EQ(yCaption.Text, "Y-Axis");
    EXPECT_NEAR(yCaption.Transform.m11(), 0, 1e-12);
    EXPECT_NEAR(yCaption.Transform.m12(), -1, 1e-12);
    EXPECT_NEAR(yCaption.Transform.m21(), 1, 1e-12);
    const QSizeF yc = Measure("Y-Axis", 12);
    double wMax = 0;
    for (const QString& n : Numbers)
        wMax = std::max(wMax, Measure(n, 10).width());
    // Anchor BottomCenter in the rotated frame: the block's bottom edge is its right edge on
    // screen, at the label line minus the widest label. The block in its own frame starts a
    // padding left of the run.
    const double labelLine = Y->AxLeft() - 10;
    const QRectF block(yCaption.Rect.topLeft() - QPointF(Pad(12), 0), yc);
    const QRectF onScreen = yCaption.Transform.mapRect(block);
    EXPECT_NEAR(onScreen.right(), labelLine - wMax, 1e-3);
    EXPECT_NEAR(onScreen.width(), yc.height(), 1e-3);
    EXPECT_NEAR(onScreen.center().y(), Y->AxTop() + Y->AxLength() / 2, 1e-3);
}

TEST_F(GraphLayoutTest, SlantedLabelsMeetTheirTicks) {
    AxisLook(*X).SetRubricsAngle(45);
    Graph->Calculate();
    // Bottom axis, quadrant 1: the centre moves by so - wr/2 along and hr/2 across, with
    // so = size * sin 45 * 0.8 and wr = hr = (W + H) * sqrt(1/2).
    const double s = std::sqrt(0.5);
    const auto& labels = AxisLook(*X).Placement.Labels;
    ASSERT_EQ(labels.size(), 6u);
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const QSizeF size = Measure(Numbers[int(i)], 10);
        const double r = (size.width() + size.height()) * s;
        const double pixel = X->AxLeft() + 2 * double(i) / 10 * X->AxLength();
        EXPECT_NEAR(labels[i].Position.x(), pixel + 10 * s * 0.8 - r / 2, 1e-3) << i;
        EXPECT_NEAR(labels[i].Position.y(), X->AxTop() + 10 + r / 2, 1e-3) << i;
        EXPECT_EQ(labels[i].Angle, 45);
    }
}

TEST_F(GraphLayoutTest, PaintedImageShowsDataAreaAxisLineAndBackground) {
    Graph->SetBackColor(VxColor(0xFFFFFFFF));
    Graph->SetDataAreaColor(VxColor(0xFFFFFF00));
    Graph->MajorGridVertical()->SetVisible(true);
    const QImage image = Graph->PaintToImage();
    const QRectF da = Graph->DrawingArea();
    // Inside the data area, away from grid lines (they lie at every 2 units).
    const int cx = int(std::nearbyint(X->NumberToWorld(3)));
    EXPECT_EQ(image.pixel(cx, int(da.center().y())), 0xFFFFFF00u);
    // A vertical major grid line in green at value 4.
    const int gx = int(std::nearbyint(X->NumberToWorld(4)));
    EXPECT_EQ(image.pixel(gx, int(da.center().y())), 0xFF008000u);
    // Top right corner: background.
    EXPECT_EQ(image.pixel(598, 1), 0xFFFFFFFFu);
    // The X axis line in black, one pixel below the data area's last row.
    const int lineY = AxisLook(*X).Top() + int(X->AxTop());
    EXPECT_EQ(image.pixel(cx, lineY), 0xFF000000u);

    // The default transparent background leaves everything outside the axes untouched.
    Graph->SetBackColor(VxColor(0x00FFFFFF));
    Graph->SetDataAreaColor(VxColor(0x00FFFFFF));
    const QImage clear = Graph->PaintToImage();
    EXPECT_EQ(qAlpha(clear.pixel(cx, int(da.center().y()))), 0);
    EXPECT_EQ(clear.pixel(gx, int(da.center().y())), 0xFF008000u);
    EXPECT_EQ(qAlpha(clear.pixel(598, 1)), 0);
}

TEST_F(GraphLayoutTest, ZeroOriginCrossesThePrimaryAxesAtZero) {
    X->SetStartStop(-6, 6);
    Y->SetStartStop(-10, 10);
    Graph->Calculate();
    ASSERT_TRUE(LabelTexts(*X).contains("0"));
    ASSERT_TRUE(LabelTexts(*Y).contains("0"));

    Graph->SetZeroOrigin(true);
    Graph->Calculate();
    ASSERT_NEAR(X->Start(), -6, 1e-9);
    ASSERT_NEAR(Y->Stop(), 10, 1e-9);
    // The Y axis line runs through x = 0, the X axis line through y = 0 (whole pixels).
    EXPECT_NEAR(AxisLook(*Y).Left() + Y->AxLeft(), X->NumberToWorld(0), 0.5);
    EXPECT_NEAR(AxisLook(*X).Top() + X->AxTop(), Y->NumberToWorld(0), 0.5);
    // The label and the tick at 0 of each axis are gone.
    EXPECT_FALSE(LabelTexts(*X).contains("0"));
    EXPECT_FALSE(LabelTexts(*Y).contains("0"));
    TVxRecordingSurface surface;
    PaintAxis(surface, *X, AxisLook(*X));
    const double zero = std::nearbyint(X->NumberToWorld(0));
    for (const TVxDrawRecord& r : surface.RecordsOf(TVxDrawOp::DrawLine))
        if (r.Points[0].x() == r.Points[1].x()) {
            EXPECT_NE(r.Points[0].x(), zero);
        }
}
