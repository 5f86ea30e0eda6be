// The texts of an axis as rich captions: markup in the caption, the common exponent and
// logarithmic labels with a real superscript, measured once by the layout and only drawn when
// painting. Expected positions and sizes come from QFontMetricsF of DejaVu Sans.

#include "../captions/CaptionTestSupport.h"
#include "axes/AxisLabels.h"
#include "axes/AxisPainter.h"
#include "drawing/RecordingSurface.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// Measures labels the way the graph does: through the look's rich caption records.
class TMeasuringHost : public TVxAxisHost {
public:
    double LabelFontSize(const TVxAxis& Axis) const override {
        return FindAxisLook(Axis)->Font()->GetSize();
    }
    QSizeF MeasureLabel(const TVxAxis& Axis, const QString& Text) const override {
        const TVxRichCaptionRec& rec = FindAxisLook(Axis)->TextRecord(Text);
        return {rec.FWidth, rec.FHeight};
    }
    void AxisModified(TVxAxis&) override { ++Modified; }
    int Modified = 0;
};

// A recording surface that counts how often it is asked to measure.
class TCountingSurface : public TVxRecordingSurface {
public:
    QRectF MeasureString(const QString& Text, const TVxFontSpec& Font, const QRectF& Layout,
                         const TVxStringFormat& Format) const override {
        ++Measures;
        return TVxRecordingSurface::MeasureString(Text, Font, Layout, Format);
    }
    double GetFontHeight(const TVxFontSpec& Font) const override {
        ++Measures;
        return TVxRecordingSurface::GetFontHeight(Font);
    }
    mutable int Measures = 0;
};

QPointF Origin(const TVxDrawRecord& r) {
    return r.Transform.map(r.Rect.topLeft());
}

class AxisCaption : public ::testing::Test {
protected:
    void SetUp() override {
        Axis.SetHost(&Host);
        TVxAxisLook& look = AxisLook(Axis);
        for (TVxFont* font : {look.Font(), look.CaptionFont()}) {
            font->SetName(TestFamily);
            font->SetStyle({});
        }
        look.Font()->SetSize(10);
        look.CaptionFont()->SetSize(12);
        Axis.SetSize(500, 60);
    }
    void TearDown() override { Axis.SetHost(nullptr); }

    // What the graph's layout does for one horizontal axis.
    void Layout() {
        TVxAxisLook& look = AxisLook(Axis);
        look.ParseCaption();
        Axis.SetAxisGeometry(50, 1, 400);
        Axis.CalculateScale();
        PlaceAxisTexts(Axis, look);
    }

    std::vector<TVxDrawRecord> Paint() {
        TVxRecordingSurface surface;
        PaintAxis(surface, Axis, AxisLook(Axis));
        return surface.RecordsOf(TVxDrawOp::DrawString);
    }

    TMeasuringHost Host;
    TVxAxis Axis;
};

} // namespace

TEST_F(AxisCaption, CommonExponentIsRaisedThroughMarkup) {
    Axis.SetStartStop(0, 2e6);
    Layout();
    const TVxAxisPlacement& p = AxisLook(Axis).Placement;
    ASSERT_TRUE(p.HasExponent);
    ASSERT_EQ(Axis.Scale().MaxExponent, 6); // 2e6 = 2 * 10^6
    EXPECT_EQ(p.Exponent.Text, QStringLiteral("\u00B710\\+6"));

    // The exponent is the last text drawn: "·10" in the label font, then "6" at 0.66 of the
    // size, 0.075 line heights higher and 0.045 line heights further right.
    const auto strings = Paint();
    ASSERT_GE(strings.size(), 2u);
    const TVxDrawRecord& base = strings[strings.size() - 2];
    const TVxDrawRecord& raised = strings.back();
    EXPECT_EQ(base.Text, QStringLiteral("\u00B710"));
    EXPECT_EQ(raised.Text, QStringLiteral("6"));
    EXPECT_DOUBLE_EQ(base.Font.Size, 10);
    EXPECT_NEAR(raised.Font.Size, 6.6, 1e-5);
    const TReferenceMetrics full(10), small(6.6);
    const double h = full.LineHeight();
    EXPECT_NEAR(Origin(raised).x() - Origin(base).x(), full.Run(u"\u00B710"_qs) + 0.045 * h, 1e-3);
    EXPECT_NEAR(Origin(raised).y() - Origin(base).y(), -0.075 * h, 1e-3);

    // Measured: the runs, the script's shift of 0.045 line heights (the superscript stays on
    // to the end), the padding; one line high. Anchored TopCenter below the label line,
    // midway between the last two labels.
    const double width =
        full.Run(u"\u00B710"_qs) + 0.045 * h + small.Run(u"6"_qs) + 2 * SidePadding(10);
    EXPECT_NEAR(p.Exponent.Width, width, 1e-3);
    EXPECT_NEAR(p.Exponent.Height, h, 1e-3);
    const auto& labels = Axis.Labels();
    const double along = (labels[labels.size() - 1].Pixel + labels[labels.size() - 2].Pixel) / 2;
    EXPECT_NEAR(Origin(base).x(), along - width / 2 + SidePadding(10), 1e-3);
    EXPECT_NEAR(Origin(base).y(), p.LabelLine + AxisLook(Axis).DistanceAxisExtraExponent(), 1e-3);
}

TEST_F(AxisCaption, CaptionMarkupAndLogarithmicLabelsDrawTheirRuns) {
    struct TCase {
        TVxAxisScaling Scaling;
        QString Caption;
        // The runs of the caption with their boldness; the runs of the first label with
        // their sizes (none: one run, the label's own text).
        QStringList CaptionRuns;
        std::vector<bool> CaptionBold;
        QStringList LabelRuns;
        std::vector<double> LabelSizes;
        // The pen moves right by this many line heights between the caption's two runs.
        double Shift;
    };
    const std::vector<TCase> cases{
        {TVxAxisScaling::LogEE,
         u"\\bT\\b in K"_qs,
         {u"T"_qs, u" in K"_qs},
         {true, false},
         {u"10"_qs, u"0"_qs},
         {10, 6.6},
         0},
        {TVxAxisScaling::Normal, u"x\\-i\\-"_qs, {u"x"_qs, u"i"_qs}, {false, false}, {}, {}, 0.045},
    };
    for (const TCase& c : cases) {
        Axis.SetScaling(c.Scaling);
        Axis.SetStartStop(1, 1000);
        AxisLook(Axis).SetCaption(c.Caption);
        Layout();
        const auto strings = Paint();
        const TVxAxisPlacement& p = AxisLook(Axis).Placement;
        ASSERT_TRUE(p.HasCaption);
        ASSERT_FALSE(p.Labels.empty());

        // The first label's runs come first.
        const QStringList labelRuns =
            c.LabelRuns.isEmpty() ? QStringList{Axis.Labels().front().Caption} : c.LabelRuns;
        const std::vector<double> labelSizes =
            c.LabelSizes.empty() ? std::vector<double>{10} : c.LabelSizes;
        ASSERT_GE(strings.size(), std::size_t(labelRuns.size()));
        for (qsizetype i = 0; i < labelRuns.size(); ++i) {
            EXPECT_EQ(strings[std::size_t(i)].Text, labelRuns[i]) << c.Caption.toStdString();
            EXPECT_NEAR(strings[std::size_t(i)].Font.Size, labelSizes[std::size_t(i)], 1e-5);
        }
        // The caption's runs are the last ones (no common exponent here); each run starts
        // where the one before it ends.
        const std::size_t first = strings.size() - std::size_t(c.CaptionRuns.size());
        for (qsizetype i = 0; i < c.CaptionRuns.size(); ++i) {
            const TVxDrawRecord& r = strings[first + std::size_t(i)];
            EXPECT_EQ(r.Text, c.CaptionRuns[i]) << c.Caption.toStdString();
            EXPECT_EQ(r.Font.Bold, c.CaptionBold[std::size_t(i)]) << c.Caption.toStdString();
        }
        const TReferenceMetrics caption(12, c.CaptionBold[0]);
        const double h = caption.LineHeight();
        const double second = Origin(strings[first + 1]).x() - Origin(strings[first]).x();
        EXPECT_NEAR(second, caption.Run(c.CaptionRuns[0]) + c.Shift * h, 1e-3)
            << c.Caption.toStdString();
        // The caption block: centred on the axis, its top below the labels.
        const double captionTop = p.LabelLine + Axis.MaxNumberLabelHeight();
        EXPECT_NEAR(Origin(strings[first]).y(), captionTop, 1e-3) << c.Caption.toStdString();
        EXPECT_NEAR(Origin(strings[first]).x(), 50 + 200 - p.Caption.Width / 2 + SidePadding(12),
                    1e-3)
            << c.Caption.toStdString();
    }
}

TEST_F(AxisCaption, PaintingDoesNotMeasure) {
    Axis.SetStartStop(0, 2e6);
    AxisLook(Axis).SetCaption(u"\\bPressure\\b\rin Pa"_qs);
    Layout();
    TCountingSurface surface;
    PaintAxis(surface, Axis, AxisLook(Axis));
    EXPECT_FALSE(surface.RecordsOf(TVxDrawOp::DrawString).empty());
    EXPECT_EQ(surface.Measures, 0);
    // A two-line caption is two line heights thick.
    EXPECT_NEAR(AxisLook(Axis).Placement.Caption.Height, 2 * TReferenceMetrics(12).LineHeight(),
                1e-3);
}

TEST_F(AxisCaption, FontChangeMeasuresTheLabelsAgain) {
    Axis.SetStartStop(0, 10);
    Layout();
    const double before = AxisLook(Axis).TextRecord(u"10"_qs).FWidth;
    EXPECT_NEAR(before, TReferenceMetrics(10).Run(u"10"_qs) + 2 * SidePadding(10), 1e-3);
    AxisLook(Axis).Font()->SetSize(20);
    const double after = AxisLook(Axis).TextRecord(u"10"_qs).FWidth;
    EXPECT_NEAR(after, TReferenceMetrics(20).Run(u"10"_qs) + 2 * SidePadding(20), 1e-3);
    EXPECT_GT(Host.Modified, 0);
}
