// TVxRichLabel: the size of an auto-sized label at any angle, the anchor that puts the rotated
// text block against the edges its alignment names, the background, the host's font, the
// painting by the graph and the refresh of a placeholder. Sizes come from QFontMetricsF of
// DejaVu Sans; the drawn block is read back from the recorded transforms.

#include "annotations/RichLabel.h"

#include "../captions/CaptionTestSupport.h"
#include "drawing/QtSurface.h"
#include "drawing/RecordingSurface.h"
#include "graph/Graph.h"

#include <QPainter>
#include <QWidget>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString Text = u"Tank\\b 4\\b"_qs;

/// The measured block of Text in the test font of 12 points: the runs "Tank" and " 4" (bold)
/// and the padding of 1/6 em on either side; one line high.
QSizeF Block() {
    const TReferenceMetrics regular(12), bold(12, true);
    return {regular.Run(u"Tank"_qs) + bold.Run(u" 4"_qs) + 2 * SidePadding(12),
            regular.LineHeight()};
}

void UseTestFont(TVxRichLabel& Label) {
    Label.Font()->SetName(TestFamily);
    Label.Font()->SetStyle({});
    Label.Font()->SetSize(12);
}

/// The text block as drawn: the first run's block frame (the run lies a padding in from the
/// block's left edge) mapped to the surface.
QPolygonF DrawnBlock(const TVxRecordingSurface& Surface, QSizeF Size) {
    const auto strings = Surface.RecordsOf(TVxDrawOp::DrawString);
    if (strings.empty())
        return {};
    const TVxDrawRecord& r = strings.front();
    const QRectF block(r.Rect.topLeft() - QPointF(SidePadding(12), 0), Size);
    return r.Transform.map(QPolygonF(block));
}

} // namespace

TEST(RichLabel, AutoSizeTakesTheRotatedBlockRoundedUp) {
    const QSizeF block = Block();
    for (const double angle : {0.0, 30.0, 90.0, 180.0, 270.0, 300.0}) {
        TVxRichLabel label;
        UseTestFont(label);
        label.SetAngle(float(angle));
        label.SetCaption(Text + u"   "_qs); // trailing blanks are dropped
        ASSERT_EQ(label.Caption(), Text);
        const double a = angle * std::numbers::pi / 180;
        const double c = std::fabs(std::cos(a)), s = std::fabs(std::sin(a));
        EXPECT_EQ(label.Width(), int(std::nearbyint(c * block.width() + s * block.height() + 0.5)))
            << angle;
        EXPECT_EQ(label.Height(), int(std::nearbyint(s * block.width() + c * block.height() + 0.5)))
            << angle;
        EXPECT_EQ(label.PlainText(), u"Tank 4"_qs);
    }
    // At 90 degrees: as wide as the text is high, as tall as it is wide.
    TVxRichLabel upright;
    UseTestFont(upright);
    upright.SetCaption(Text);
    upright.SetAngle(90);
    EXPECT_EQ(upright.Width(), int(std::nearbyint(block.height() + 0.5)));
    EXPECT_EQ(upright.Height(), int(std::nearbyint(block.width() + 0.5)));
    // Angles are kept within [0, 360).
    upright.SetAngle(-270);
    EXPECT_EQ(upright.Angle(), 90);
}

TEST(RichLabel, BlockTouchesTheEdgesItsAlignmentNames) {
    const QSizeF block = Block();
    for (int align = 0; align < 9; ++align)
        for (const double angle : {0.0, 45.0, 90.0, 135.0, 225.0, 315.0})
            for (const bool autoSize : {true, false}) {
                TVxRichLabel label;
                UseTestFont(label);
                label.SetAutoSize(autoSize);
                if (!autoSize)
                    label.SetBounds(10, 20, 150, 120);
                label.SetTextAlign(TVxContentAlignment(align));
                label.SetAngle(float(angle));
                label.SetCaption(Text);
                TVxRecordingSurface surface;
                label.PaintGr(surface);
                const QRectF box = DrawnBlock(surface, block).boundingRect();
                const double w = label.Width(), h = label.Height();
                const std::string where =
                    "align " + std::to_string(align) + " angle " + std::to_string(angle);
                // Inside the label (a fixed label of 150 x 120 holds the block at any angle).
                EXPECT_GE(box.left(), -1e-3) << where;
                EXPECT_GE(box.top(), -1e-3) << where;
                EXPECT_LE(box.right(), w + 1e-3) << where;
                EXPECT_LE(box.bottom(), h + 1e-3) << where;
                // Against the named edges, or centred.
                const int column = align % 3, row = align / 3;
                const double x = column == 0   ? box.left()
                                 : column == 1 ? box.center().x()
                                               : box.right();
                const double y = row == 0 ? box.top() : row == 1 ? box.center().y() : box.bottom();
                EXPECT_NEAR(x, column * w / 2, 1e-3) << where;
                EXPECT_NEAR(y, row * h / 2, 1e-3) << where;
                // The text runs counter-clockwise by the angle on the screen.
                const TVxDrawRecord& r = surface.RecordsOf(TVxDrawOp::DrawString).front();
                const QPointF along = r.Transform.map(QPointF(1, 0)) - r.Transform.map(QPointF());
                const double a = angle * std::numbers::pi / 180;
                EXPECT_NEAR(along.x(), std::cos(a), 1e-9) << where;
                EXPECT_NEAR(along.y(), -std::sin(a), 1e-9) << where;
            }
}

TEST(RichLabel, TransparentBackgroundLeavesPixelsUntouched) {
    const QRgb paper = 0xFF123456;
    const auto paint = [&](TVxColor Back) {
        QImage image(120, 60, QImage::Format_ARGB32);
        image.fill(paper);
        TVxRichLabel label;
        UseTestFont(label);
        label.SetAutoSize(false);
        label.SetBounds(0, 0, 100, 50);
        label.SetCaption(u"x"_qs);
        label.SetForeColor(VxColor(0xFF000000));
        label.SetBackColor(Back);
        QPainter painter(&image);
        TVxQtSurface surface(painter);
        label.PaintGr(surface);
        painter.end();
        return image;
    };
    // The default background is "Transparent": only the ink of the text changes pixels.
    EXPECT_EQ(TVxRichLabel().BackColor(), VxColor(0x00FFFFFF));
    const QImage clear = paint(VxColor(0x00FFFFFF));
    EXPECT_EQ(clear.pixel(90, 40), paper);
    bool ink = false;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            ink = ink || clear.pixel(x, y) != paper;
    EXPECT_TRUE(ink);
    // An opaque background fills the label's rectangle and nothing beyond it.
    const QImage filled = paint(VxColor(0xFFFF0000));
    EXPECT_EQ(filled.pixel(90, 40), 0xFFFF0000u);
    EXPECT_EQ(filled.pixel(110, 55), paper);
}

TEST(RichLabel, TheGraphPaintsItInItsFontUntilTheFontIsSetDirectly) {
    QWidget form;
    auto* graph = new TVxGraph2D(&form);
    graph->CaptionFont()->SetName(TestFamily);
    graph->CaptionFont()->SetStyle({});
    graph->CaptionFont()->SetSize(12);
    auto* label = new TVxRichLabel(&form);
    label->SetCaption(Text);
    label->SetBounds(40, 30, 10, 10);
    label->SetHost(graph);
    // The host's font: the same size as in the test font.
    EXPECT_TRUE(label->ParentFont());
    EXPECT_EQ(label->Font()->Name(), TestFamily);
    EXPECT_EQ(label->Width(), int(std::nearbyint(Block().width() + 0.5)));

    // Painted by the graph at the label's place.
    TVxRecordingSurface surface;
    graph->PaintGr(surface);
    bool found = false;
    for (const TVxDrawRecord& r : surface.RecordsOf(TVxDrawOp::DrawString))
        if (r.Text == u"Tank"_qs) {
            found = true;
            const QPointF origin = r.Transform.map(r.Rect.topLeft());
            EXPECT_NEAR(origin.x(), 40 + SidePadding(12), 1e-3);
            EXPECT_NEAR(origin.y(), 30, 1e-3);
        }
    EXPECT_TRUE(found);

    // The host's font changes follow; a font set on the label itself ends that.
    graph->CaptionFont()->SetSize(24);
    graph->PaintGr(surface);
    EXPECT_EQ(label->Font()->GetSize(), 24);
    label->Font()->SetSize(9);
    EXPECT_FALSE(label->ParentFont());
    graph->CaptionFont()->SetSize(12);
    graph->PaintGr(surface);
    EXPECT_EQ(label->Font()->GetSize(), 9);
}

TEST(RichLabel, PlaceholderFollowsTheSeriesCaption) {
    QWidget form;
    form.setObjectName(u"Form1"_qs);
    auto* series = new TVxLineSeries(&form);
    series->SetName(u"Series1"_qs);
    series->SetCaption(u"Inflow"_qs);
    TVxRichLabel label;
    UseTestFont(label);
    label.SetCaption(u"Flow: <%Form1.Series1.Caption%>"_qs);
    EXPECT_EQ(label.PlainText(), u"Flow: Inflow"_qs);
    const int before = label.Width();
    series->SetCaption(u"Inflow from the upper reservoir"_qs);
    EXPECT_EQ(label.PlainText(), u"Flow: Inflow from the upper reservoir"_qs);
    EXPECT_GT(label.Width(), before);
}
