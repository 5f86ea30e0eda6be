// The Fourier series: line frequencies, amplitudes and phases of sampled cosines (closed
// forms), the resampling of uneven data and of data with hidden samples, the phase child,
// too few samples, the reduced points and their line indices, and the child's records.

#include "series/FourierSeries.h"

#include "FakeSeriesGraph.h"
#include "drawing/ColorText.h"
#include "persistence/IniFile.h"
#include "persistence/XmlCodec.h"
#include "styles/LineSettings.h"
#include "vectors/DoubleVector.h"

#include <QBuffer>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <pugixml.hpp>

namespace {

constexpr double Left = 50, Top = 20, Width = 400, Height = 150;
constexpr double Pi = std::numbers::pi;

class FourierSeriesTest : public testing::Test {
protected:
    FourierSeriesTest() : Graph(Left, Top, Width, Height) { Graph.SetRanges(0, 0.5, 0, 8); }

    void Attach(TVxSeries& S) {
        Graph.Attach(S);
        S.SetXData(&X);
        S.SetYData(&Y);
    }
    // Samples f(n) at x = n for n = 0 .. Count - 1.
    void Sample(int Count, const std::function<double(int)>& F) {
        X.Clear();
        Y.Clear();
        for (int n = 0; n < Count; ++n) {
            X.Add(n);
            Y.Add(F(n));
        }
    }

    TFakeSeriesGraph Graph;
    TVxDoubleVector X;
    TVxDoubleVector Y;
};

TEST_F(FourierSeriesTest, ACosineOfPeriodFourHasOneLineAtAQuarter) {
    TVxDiscreteFourier s;
    Attach(s);
    Sample(8, [](int n) { return std::cos(2 * Pi * n / 4); });
    s.Calculate();
    const TVxSpectrum& sp = s.FourierCalculation().Spectrum();
    ASSERT_EQ(sp.Amplitude.size(), 4u);
    EXPECT_DOUBLE_EQ(sp.Delta, 0.125);
    for (int k = 0; k < 4; ++k)
        EXPECT_NEAR(sp.Amplitude[size_t(k)], k == 2 ? 1.0 : 0.0, 1e-12) << k;
    EXPECT_DOUBLE_EQ(s.XStart(), 0);
    EXPECT_DOUBLE_EQ(s.XStop(), 0.375);
    EXPECT_NEAR(s.GetY(0.25), 1, 1e-12);
    EXPECT_NEAR(s.GetY(0.3), 0.6, 1e-12); // 1 + (0.3 - 0.25) (0 - 1) / 0.125
    EXPECT_NEAR(s.YStop(), 1, 1e-12);
}

TEST_F(FourierSeriesTest, AmplitudesAndThePhaseChildOfAShiftedCosine) {
    TVxDiscreteFourier s;
    Attach(s);
    Sample(12, [](int n) { return 3 + 2 * std::cos(2 * Pi * 3 * n / 12 + 0.7); });
    s.Calculate();
    const TVxSpectrum& sp = s.FourierCalculation().Spectrum();
    ASSERT_EQ(sp.Amplitude.size(), 6u);
    EXPECT_NEAR(sp.Amplitude[0], 6, 1e-12); // a constant counts twice
    EXPECT_NEAR(sp.Amplitude[3], 2, 1e-12);
    TVxChildSeries* phase = s.Phase();
    ASSERT_NE(phase, nullptr);
    EXPECT_EQ(phase->objectName(), "Phase");
    EXPECT_FALSE(phase->Visible());
    EXPECT_EQ(phase->Line()->Color(), ColorFromText("Green"));
    EXPECT_EQ(phase->YAxis(), &Graph.YAxis);
    ASSERT_EQ(phase->YData()->GetCount(), 6);
    // The child's point of line 3 (after the graph's extent pass): X through its
    // transformation, Y the phase.
    phase->Calculate();
    EXPECT_NEAR(phase->TransformedX(3), 0.25, 1e-15);
    EXPECT_NEAR(phase->TransformedY(3), 0.7, 1e-12);
    // More samples move Delta: the child's X follow.
    Sample(24, [](int n) { return 3 + 2 * std::cos(2 * Pi * 6 * n / 24 + 0.7); });
    s.Calculate();
    phase->Calculate();
    EXPECT_NEAR(phase->TransformedX(6), 0.25, 1e-15);
    EXPECT_NEAR(phase->TransformedY(6), 0.7, 1e-12);
}

TEST_F(FourierSeriesTest, UnevenDataAreResampledTo512Lines) {
    TVxDiscreteFourier s;
    Attach(s);
    X.Clear();
    Y.Clear();
    for (int n = 0; n < 100; ++n) {
        X.Add(n + 0.3 * (n % 3));
        Y.Add(std::cos(n * 0.1));
    }
    s.Calculate();
    EXPECT_EQ(s.FourierCalculation().PointsN(), 512);
}

TEST_F(FourierSeriesTest, HiddenSamplesTakeTheResamplingPathAndKeepTheTimeBase) {
    TVxDiscreteFourier s;
    Attach(s);
    Sample(1000, [](int n) { return std::cos(2 * Pi * n / 10); });
    for (int n = 5; n < 1000; n += 10)
        Y.AddOutlier(n);
    s.Calculate();
    const TVxSpectrum& sp = s.FourierCalculation().Spectrum();
    ASSERT_EQ(sp.Amplitude.size(), 512u);
    const auto peak = std::max_element(sp.Amplitude.begin(), sp.Amplitude.end());
    const double frequency = double(peak - sp.Amplitude.begin()) * sp.Delta;
    // 1024 samples over 0 .. 999 (the last visible x is 999): lines 1023 / (1024 * 999) apart.
    EXPECT_NEAR(sp.Delta, 1023.0 / (1024.0 * 999.0), 1e-15);
    EXPECT_NEAR(frequency, 0.1, sp.Delta);
}

TEST_F(FourierSeriesTest, FewerThanTwoUsableSamplesLeaveNoSpectrum) {
    TVxDiscreteFourier s;
    Attach(s);
    Sample(3, [](int n) { return double(n); });
    Y.AddOutlier(1);
    Y.AddOutlier(2);
    Graph.Paint(s);
    EXPECT_TRUE(s.Calculated());
    EXPECT_GT(s.XStart(), s.XStop()); // unknown extent
    EXPECT_GT(s.YStart(), s.YStop());
    EXPECT_TRUE(s.Points().empty());
    EXPECT_EQ(s.GetY(0.1), 0);
    EXPECT_EQ(s.Phase()->YData()->GetCount(), 0);
}

TEST_F(FourierSeriesTest, PointsAreReducedPerColumnAndFindPointGivesTheLineIndex) {
    TVxDiscreteFourier s;
    Attach(s);
    Sample(8, [](int n) { return std::cos(2 * Pi * n / 4); });
    Graph.Paint(s);
    ASSERT_EQ(s.Points().size(), 4u);
    EXPECT_EQ(s.FindPoint(float(Graph.PX(0.25)), float(Graph.PY(1)), 1), 2);
    EXPECT_EQ(s.FindPoint(float(Graph.PX(0.25)), float(Graph.PY(4)), 1), -1);
    // 65536 lines on 400 px: at most four points per column, and one beyond each end.
    Sample(131072, [](int n) { return std::cos(2 * Pi * n / 4) + 0.001 * (n % 7); });
    Graph.Paint(s);
    EXPECT_LE(s.Points().size(), 4u * 401 + 2);
    EXPECT_GT(s.Points().size(), 400u);
}

QByteArray WriteBytes(const TVxSeries& Series) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    Series.WriteTo(static_cast<QIODevice&>(buffer));
    return bytes;
}

TEST_F(FourierSeriesTest, ThePhaseChildKeepsItsDataThroughItsRecords) {
    TVxDiscreteFourier s;
    Attach(s);
    Sample(12, [](int n) { return 3 + 2 * std::cos(2 * Pi * 3 * n / 12 + 0.7); });
    s.Calculate();
    TVxChildSeries* phase = s.Phase();
    TVxCustomDoubleVector* data = phase->YData();
    phase->PointSymbol()->SetSize(9);
    TVxDiscreteFourier other;
    QByteArray bytes = WriteBytes(*phase);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    other.Phase()->ReadFrom(static_cast<QIODevice&>(buffer));
    EXPECT_TRUE(buffer.atEnd());
    EXPECT_EQ(other.Phase()->PointSymbol()->Size(), 9);
    EXPECT_NE(other.Phase()->YData(), nullptr);
    pugi::xml_document doc;
    phase->WriteTo(static_cast<pugi::xml_node>(doc));
    phase->ReadFrom(doc.first_child());
    EXPECT_EQ(phase->YData(), data);
    TVxIniFile ini;
    phase->WriteTo(ini, "Phase");
    phase->ReadFrom(ini, "Phase");
    EXPECT_EQ(phase->YData(), data);
    EXPECT_TRUE(phase->ReferencedVectors().empty());
}

} // namespace
