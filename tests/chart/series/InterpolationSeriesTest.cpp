// The interpolation, derivative, integral and moving-average series: their curves against
// values computed independently (interpolation_reference.py), the data orders and outliers
// they accept, the minimum counts, the extremum captions, the setters with their undo steps
// and messages, the default axis of the derivative and the saved tails.

#include "series/InterpolationSeries.h"

#include "FakeSeriesGraph.h"
#include "persistence/IniFile.h"
#include "persistence/XmlCodec.h"
#include "series/MovingAverageSeries.h"
#include "undo/UndoStack.h"
#include "util/Exceptions.h"
#include "util/LibraryMessage.h"
#include "util/VariableRegistries.h"
#include "vectors/DoubleVector.h"

#include <QBuffer>
#include <QStringList>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <pugixml.hpp>

namespace {

constexpr double Left = 50, Top = 20, Width = 400, Height = 150;

// The data of the reference values; Variant 1 gives them in reverse, 2 adds the hidden
// outlier (3.5, 100) between the third and fourth point.
const std::vector<double> Xs{0, 1, 2.5, 3, 4.5, 6, 7}, Ys{1, 3, 2, 5, 4, 4.5, 1};

class InterpolationSeriesTest : public testing::Test {
protected:
    InterpolationSeriesTest() : Graph(Left, Top, Width, Height) { Graph.SetRanges(0, 7, 0, 10); }

    void Attach(TVxSeries& S) {
        Graph.Attach(S);
        S.SetXData(&X);
        S.SetYData(&Y);
    }
    void Fill(const std::vector<double>& Xv, const std::vector<double>& Yv) {
        X.Clear();
        Y.Clear();
        X.AddRange(std::span<const double>(Xv));
        Y.AddRange(std::span<const double>(Yv));
    }
    void FillVariant(int Variant) {
        std::vector<double> xv = Xs, yv = Ys;
        if (Variant == 1) {
            std::reverse(xv.begin(), xv.end());
            std::reverse(yv.begin(), yv.end());
        }
        if (Variant == 2) {
            xv.insert(xv.begin() + 3, 3.5);
            yv.insert(yv.begin() + 3, 100);
        }
        Fill(xv, yv);
        if (Variant == 2)
            Y.AddOutlier(3);
    }

    TFakeSeriesGraph Graph;
    TVxDoubleVector X;
    TVxDoubleVector Y;
};

// Collects the library messages shown while it lives.
struct TMessages {
    QStringList Texts;
    std::function<void(const QString&)> Old;
    TMessages() {
        Old = SetLibraryMessageHandler([this](const QString& T) { Texts << T; });
    }
    ~TMessages() { SetLibraryMessageHandler(Old); }
};

// The value of an indexed caption variable of Container.
double Indexed(const QObject* Container, const char* Id, int Idx) {
    for (const TVxDoubleArrayRec& r : GlobalDoubleArrays().Items())
        if (r.Container == Container && r.Id == QLatin1String(Id))
            return r.AArray(Idx);
    ADD_FAILURE() << "no variable " << Id;
    return NAN;
}

// ---------------------------------------------------------------------------------------------
// Curves

TEST_F(InterpolationSeriesTest, CurveDerivativeAndIntegralMatchTheReferenceInAnyOrder) {
    struct TCase {
        int Kind; // 0 curve, 1 derivative, 2 integral
        double AtX, Expected;
    };
    // interpolation_reference.py
    const TCase cases[] = {
        {0, 2.75, 3.564699792961}, {1, 2.75, 8.639751552795}, {2, 3.9, 12.003424430642}};
    for (int variant = 0; variant < 3; ++variant)
        for (const TCase& c : cases) {
            std::unique_ptr<TVxInterpolation> s;
            if (c.Kind == 0)
                s = std::make_unique<TVxInterpolation>();
            else if (c.Kind == 1)
                s = std::make_unique<TVxDifferential>();
            else
                s = std::make_unique<TVxIntegral>();
            Attach(*s);
            FillVariant(variant);
            s->Calculate();
            ASSERT_TRUE(s->Calculated()) << variant;
            EXPECT_NEAR(s->GetY(c.AtX), c.Expected, 1e-9)
                << "kind " << c.Kind << " variant " << variant;
        }
}

TEST_F(InterpolationSeriesTest, TheCubicSplineHasNotAKnotEnds) {
    TVxInterpolation s;
    Attach(s);
    Fill(Xs, Ys);
    s.SetInterpolationMethod(TVxInterpolationMethod::CubicSpline);
    s.Calculate();
    // interpolation_reference.py
    EXPECT_NEAR(s.GetY(2.75), 3.507313562165, 1e-9);
    EXPECT_EQ(s.Formula(), "Interpolation (cubic spline)");
}

TEST_F(InterpolationSeriesTest, TheIntegralOfAConstantIsExactInAnyQueryOrder) {
    TVxIntegral s;
    Attach(s);
    Fill({0, 1, 2, 3, 4}, {1, 1, 1, 1, 1});
    s.Calculate();
    EXPECT_NEAR(s.GetY(2.5), 2.5, 1e-12);
    EXPECT_NEAR(s.GetY(3), 3, 1e-12);
    EXPECT_NEAR(s.GetY(1), 1, 1e-12);
}

TEST_F(InterpolationSeriesTest, TheApproximativeSplineNeedsSixPointsAndReportsNothingBelow) {
    TVxInterpolation s;
    Attach(s);
    s.SetInterpolationMethod(TVxInterpolationMethod::ApproximativeSpline);
    EXPECT_EQ(s.MinCount(), 6);
    int errors = 0;
    s.OnCalculationError = [&](TVxFunctionSeries*, const std::exception&) { ++errors; };
    Fill({0, 1, 2, 3, 4}, {1, 3, 2, 5, 4});
    Graph.Paint(s);
    EXPECT_FALSE(s.Calculated());
    EXPECT_TRUE(s.Points().empty());
    EXPECT_EQ(errors, 0);
    X.Add(5);
    Y.Add(3);
    Graph.Paint(s);
    EXPECT_TRUE(s.Calculated());
    EXPECT_GT(s.Points().size(), 2u);
    EXPECT_EQ(errors, 0);
    EXPECT_EQ(s.Formula(), "Interpolation (approximative spline)");
}

TEST_F(InterpolationSeriesTest, AParabolaHasOneMinimumShownByItsCaptionVariables) {
    TVxInterpolation s;
    Attach(s);
    std::vector<double> xv, yv;
    for (int i = 0; i <= 50; ++i) {
        xv.push_back(i * 0.1);
        yv.push_back((i * 0.1 - 2.3) * (i * 0.1 - 2.3));
    }
    Fill(xv, yv);
    s.Calculate();
    ASSERT_EQ(s.Minima().size(), 1u);
    EXPECT_TRUE(s.Maxima().empty());
    EXPECT_NEAR(Indexed(&s, "Minima.X", 0), 2.3, 1e-9);
    EXPECT_NEAR(Indexed(&s, "Minima.Y", 0), 0, 1e-12);
    EXPECT_THROW(Indexed(&s, "Minima.X", 1), EVxRangeError);
    EXPECT_THROW(Indexed(&s, "Maxima.Y", 0), EVxRangeError);
}

TEST_F(InterpolationSeriesTest, TheKindsListTheirOwnExtremaAndFormulas) {
    // y = sin x on 0 .. 6.27 (no knot on an extremum): one maximum; the derivative cos has
    // its minimum at pi (the inflection); the integral 1 - cos x has its maximum at pi.
    TVxInterpolation curve;
    TVxDifferential slope;
    TVxIntegral area;
    std::vector<double> xv, yv;
    for (int i = 0; i <= 209; ++i) {
        xv.push_back(i * 0.03);
        yv.push_back(std::sin(xv.back()));
    }
    Fill(xv, yv);
    for (TVxInterpolation* s :
         {&curve, static_cast<TVxInterpolation*>(&slope), static_cast<TVxInterpolation*>(&area)}) {
        Attach(*s);
        s->Calculate();
    }
    ASSERT_EQ(curve.Maxima().size(), 1u);
    EXPECT_NEAR(curve.Maxima()[0].X, M_PI / 2, 1e-5);
    ASSERT_FALSE(slope.Minima().empty());
    EXPECT_NEAR(slope.Minima()[0].X, M_PI, 0.03); // within the knot spacing
    EXPECT_NEAR(slope.Minima()[0].Value, -1, 1e-4);
    ASSERT_FALSE(area.Maxima().empty());
    EXPECT_NEAR(area.Maxima()[0].X, M_PI, 1e-6);
    EXPECT_NEAR(area.Maxima()[0].Value, 2, 1e-5);
    EXPECT_EQ(slope.Formula(), "Differential (Akima)");
    EXPECT_EQ(area.Formula(), "Integral (Akima)");
}

// The integral's samples as the frame takes them.
class TRecordingIntegral : public TVxIntegral {
public:
    void GetYs(std::span<const double> X, std::span<double> Y) const override {
        Sampled.insert(Sampled.end(), X.begin(), X.end());
        TVxIntegral::GetYs(X, Y);
    }
    void Sample() { CalculatePoints(); }
    mutable std::vector<double> Sampled;
};

TEST_F(InterpolationSeriesTest, ATwistedAxisIsSampledInAscendingX) {
    Graph.XAxis.SetTwisted(true);
    TRecordingIntegral s;
    Attach(s);
    Fill(Xs, Ys);
    s.Calculate();
    s.Sampled.clear();
    s.Sample();
    ASSERT_GT(s.Sampled.size(), 300u);
    EXPECT_TRUE(std::is_sorted(s.Sampled.begin(), s.Sampled.end()));
    // The pixels run right to left.
    EXPECT_GT(s.Points().front().x(), s.Points().back().x());
}

TEST_F(InterpolationSeriesTest, TheDerivativeTakesTheFirstFreeSecondaryAxis) {
    TVxAxis slave, second, third;
    for (TVxAxis* a : {&slave, &second, &third}) {
        a->SetHost(&Graph);
        a->SetPosition(TVxAxisPosition::Right);
    }
    slave.SetMasterAxis(&Graph.YAxis);
    ASSERT_TRUE(slave.IsSlaveAxis());
    TVxDifferential s;
    s.SetDefaultAxis({&Graph.XAxis, &Graph.YAxis, &slave, &second, &third}, &Graph.XAxis,
                     &Graph.YAxis);
    EXPECT_EQ(s.XAxis(), &Graph.XAxis);
    EXPECT_EQ(s.YAxis(), &second);
    TVxDifferential t;
    t.SetDefaultAxis({&Graph.XAxis, &Graph.YAxis, &slave}, &Graph.XAxis, &Graph.YAxis);
    EXPECT_EQ(t.YAxis(), &Graph.YAxis);
    s.SetYAxis(nullptr);
    for (TVxAxis* a : {&slave, &second, &third})
        a->SetHost(nullptr);
}

// ---------------------------------------------------------------------------------------------
// Moving average

TEST_F(InterpolationSeriesTest, ASimpleMovingAverageFollowsTheReference) {
    TVxMovingAverage s;
    Attach(s);
    Fill({0, 1, 2, 3, 4}, {1, 2, 3, 4, 5});
    s.SetN(2);
    s.SetAveragingMethod(TVxAveragingMethod::Simple);
    s.Calculate();
    ASSERT_TRUE(s.Calculated());
    EXPECT_NEAR(s.GetY(2.5), 2.46875, 1e-12); // interpolation_reference.py
    EXPECT_NEAR(s.GetY(1), 1.5, 1e-12);
    EXPECT_EQ(s.Formula(), "Simple moving average (all values equally weighted)");
    EXPECT_EQ(s.MinCount(), 3);
    // Two points are too few for the curve through the averages: nothing, no error.
    Fill({0, 1}, {1, 2});
    s.Calculate();
    EXPECT_FALSE(s.Calculated());
    EXPECT_FALSE(s.CalculationFailed());
}

// ---------------------------------------------------------------------------------------------
// Setters

TEST_F(InterpolationSeriesTest, SettersRecordTheirUndoStepsAndStoreWhatTheySay) {
    TVxUndoStack undo;
    TVxInterpolation s;
    TVxMovingAverage m;
    s.SetUndoStack(&undo);
    m.SetUndoStack(&undo);
    struct TCase {
        TVxSeries* Series;
        const char* Property;
        QVariant Value;
        const char* Description;
        QVariant Stored;
    };
    const TCase cases[] = {
        {&s, "InterpolationMethod", 1, "Algorithm used for interpolation", 1},
        {&s, "SmoothingRange", 0.5, "Smoothing range", 0.5},
        {&s, "SmoothPoints", true, "Smoothing ON/OFF", true},
        {&s, "ElasticityFactor", -3.0, "Elasticity of approximative spline", 1e-300},
        {&m, "AveragingMethod", 2, "Moving average averaging method", 2},
        {&m, "AveragingDirection", 1, "Moving average averaging directions", 1},
        {&m, "AveragingRangeMethod", 1, "Moving average by count/diatance", 1},
        {&m, "N", -4.0, "Moving average N", 4.0},
        {&m, "ExponentialFactorForN", 2.0, "Moving average exponential factor for N", 1.0},
        {&m, "ExponentialFactorForN", -0.5, "Moving average exponential factor for N", 0.5},
    };
    for (const TCase& c : cases) {
        const int before = undo.UndoCount();
        ASSERT_TRUE(c.Series->setProperty(c.Property, c.Value)) << c.Property;
        EXPECT_EQ(c.Series->property(c.Property), c.Stored) << c.Property;
        EXPECT_EQ(undo.UndoCount(), before + 1) << c.Property;
        EXPECT_EQ(undo.UndoList().value(0), c.Description) << c.Property;
        // The same value again is no change.
        c.Series->setProperty(c.Property, c.Stored);
        EXPECT_EQ(undo.UndoCount(), before + 1) << c.Property;
    }
    ASSERT_TRUE(undo.Undo());
    EXPECT_EQ(m.ExponentialFactorForN(), 1.0);
    // Ordinals out of range and non-finite values change nothing.
    const int steps = undo.UndoCount();
    s.SetInterpolationMethodOrdinal(3);
    m.SetAveragingMethodOrdinal(-1);
    s.SetSmoothingRange(NAN);
    m.SetN(INFINITY);
    EXPECT_EQ(undo.UndoCount(), steps);
    EXPECT_EQ(s.InterpolationMethod(), TVxInterpolationMethod::CubicSpline);
    s.SetUndoStack(nullptr);
    m.SetUndoStack(nullptr);
}

TEST_F(InterpolationSeriesTest, SmoothingAndTheApproximativeSplineExcludeEachOther) {
    TMessages messages;
    TVxUndoStack undo;
    TVxInterpolation s;
    s.SetUndoStack(&undo);
    s.SetSmoothPoints(true);
    s.SetInterpolationMethod(TVxInterpolationMethod::ApproximativeSpline);
    ASSERT_EQ(messages.Texts.size(), 1);
    EXPECT_EQ(messages.Texts[0], "Approximative spline does not need the smoothing function!\r"
                                 "Use the ElasticityFactor to adjust the elasticity of the "
                                 "spline.");
    EXPECT_FALSE(s.SmoothPoints());
    const int steps = undo.UndoCount();
    s.SetSmoothPoints(true);
    EXPECT_EQ(messages.Texts.size(), 2);
    EXPECT_FALSE(s.SmoothPoints());
    EXPECT_EQ(undo.UndoCount(), steps); // refused: no step
    s.SetUndoStack(nullptr);
}

TEST_F(InterpolationSeriesTest, SmoothingChangesTheCurve) {
    TVxInterpolation s;
    Attach(s);
    Fill(Xs, Ys);
    s.Calculate();
    const double plain = s.GetY(2.75);
    s.SetSmoothingRange(2);
    s.SetSmoothPoints(true);
    s.Calculate();
    const double smoothed = s.GetY(2.75);
    EXPECT_GT(std::abs(smoothed - plain), 0.01);
    s.SetSmoothPoints(false);
    s.Calculate();
    EXPECT_EQ(s.GetY(2.75), plain);
}

// ---------------------------------------------------------------------------------------------
// Saved records

QByteArray WriteBytes(const TVxSeries& Series) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    Series.WriteTo(static_cast<QIODevice&>(buffer));
    return bytes;
}

bool ReadBytes(TVxSeries& Series, QByteArray Bytes) {
    QBuffer buffer(&Bytes);
    buffer.open(QIODevice::ReadOnly);
    Series.ReadFrom(static_cast<QIODevice&>(buffer));
    return buffer.atEnd();
}

enum class TContainer { Stream, Xml, Ini };

void Transfer(const TVxSeries& Source, TVxSeries& Target, TContainer Container) {
    switch (Container) {
    case TContainer::Stream:
        ASSERT_TRUE(ReadBytes(Target, WriteBytes(Source)));
        break;
    case TContainer::Xml: {
        pugi::xml_document doc;
        Source.WriteTo(static_cast<pugi::xml_node>(doc));
        pugi::xml_document loaded;
        LoadXmlDocument(loaded, SaveXmlDocument(doc));
        Target.ReadFrom(loaded.first_child());
        break;
    }
    case TContainer::Ini: {
        TVxIniFile ini;
        Source.WriteTo(ini, "Series");
        TVxIniFile loaded;
        loaded.LoadFromText(ini.SaveToText());
        Target.ReadFrom(loaded, "Series");
        break;
    }
    }
}

TEST_F(InterpolationSeriesTest, SettingsSurviveEveryContainerWithoutMessages) {
    for (TContainer c : {TContainer::Stream, TContainer::Xml, TContainer::Ini}) {
        TVxIntegral source;
        source.SetInterpolationMethod(TVxInterpolationMethod::ApproximativeSpline);
        source.SetSmoothingRange(1.5);
        source.SetElasticityFactor(7.25);
        TVxIntegral target;
        target.SetSmoothPoints(true);
        TMessages messages;
        Transfer(source, target, c);
        EXPECT_TRUE(messages.Texts.isEmpty()) << int(c);
        EXPECT_EQ(target.InterpolationMethod(), TVxInterpolationMethod::ApproximativeSpline);
        EXPECT_FALSE(target.SmoothPoints());
        EXPECT_EQ(target.SmoothingRange(), 1.5);
        EXPECT_EQ(target.ElasticityFactor(), 7.25);
        EXPECT_EQ(target.MinCount(), 6);

        TVxMovingAverage a;
        a.SetAveragingMethod(TVxAveragingMethod::ExponentiallyWeighted);
        a.SetAveragingDirection(TVxAveragingDirection::UpAndDownwards);
        a.SetAveragingRangeMethod(TVxAveragingRangeMethod::NasXDistance);
        a.SetN(3.5);
        a.SetExponentialFactorForN(0.25);
        TVxMovingAverage b;
        Transfer(a, b, c);
        EXPECT_EQ(b.AveragingMethod(), TVxAveragingMethod::ExponentiallyWeighted);
        EXPECT_EQ(b.AveragingDirection(), TVxAveragingDirection::UpAndDownwards);
        EXPECT_EQ(b.AveragingRangeMethod(), TVxAveragingRangeMethod::NasXDistance);
        EXPECT_EQ(b.N(), 3.5);
        EXPECT_EQ(b.ExponentialFactorForN(), 0.25);
    }
}

TEST_F(InterpolationSeriesTest, OrdinalsOutOfRangeAreRefusedInEveryContainer) {
    TVxInterpolation source;
    // Binary: method, smoothing, two doubles and the end marker close the record.
    QByteArray bytes = WriteBytes(source);
    const qsizetype methodAt = bytes.size() - 1 - 8 - 8 - 1 - 1;
    bytes[methodAt] = 3;
    TVxInterpolation target;
    EXPECT_THROW(ReadBytes(target, bytes), EVxStreamError);

    pugi::xml_document doc;
    source.WriteTo(static_cast<pugi::xml_node>(doc));
    doc.first_child().child("Interpolation").attribute("Method").set_value("7");
    EXPECT_THROW(target.ReadFrom(doc.first_child()), EVxConvertError);

    TVxIniFile ini;
    TVxMovingAverage a;
    a.WriteTo(ini, "S");
    ini.WriteInteger("S", "AveragingDirection", 2);
    TVxMovingAverage b;
    EXPECT_THROW(b.ReadFrom(ini, "S"), EVxStreamError);
    EXPECT_EQ(target.InterpolationMethod(), TVxInterpolationMethod::Akima);
}

} // namespace
