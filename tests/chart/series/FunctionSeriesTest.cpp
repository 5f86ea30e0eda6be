// The frame of computed curves, through a small kind of its own (a line through the origin
// whose slope is the weighted mean of the Y values): per-pixel sampling on linear and
// logarithmic axes, samples that raise or are not finite, pixel clamping, lazy
// recalculation, errors and their single report, re-entry, weights, display range changes,
// setters with their undo steps, clipping beside other series and the saved tail.

#include "series/FunctionSeries.h"

#include "drawing/RecordingSurface.h"
#include "graph/Graph.h"
#include "persistence/IniFile.h"
#include "persistence/XmlCodec.h"
#include "series/SeriesHost.h"
#include "undo/UndoStack.h"
#include "util/Application.h"
#include "util/Exceptions.h"
#include "vectors/DoubleVector.h"

#include <QApplication>
#include <QBuffer>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <pugixml.hpp>

namespace {

constexpr double Left = 50, Top = 20, Height = 150;

class FakeGraph : public TVxAxisHost, public TVxSeriesHost {
public:
    double LabelFontSize(const TVxAxis&) const override { return 10; }
    QSizeF MeasureLabel(const TVxAxis&, const QString& Text) const override {
        return {6.0 * double(Text.size()), 12.0};
    }
    void AxisModified(TVxAxis&) override {}
    void RegisterSeries(TVxSeries* Series) override {
        if (std::find(List.begin(), List.end(), Series) == List.end())
            List.push_back(Series);
    }
    void UnregisterSeries(TVxSeries* Series) override { std::erase(List, Series); }
    QRectF DrawingArea() const override { return {Left, Top, Width, Height}; }
    TVxAxis* PrimaryXAxis() const override { return nullptr; }
    TVxAxis* PrimaryYAxis() const override { return nullptr; }
    TVxUndoStack* HostUndoStack() const override { return nullptr; }
    void SeriesInvalidated(TVxSeries&) override {}
    void SeriesLayoutModified(TVxSeries&) override {}
    void LegendsModified() override {}
    bool HostDestroying() const override { return false; }
    bool Panning() const override { return false; }
    bool DoingImage() const override { return false; }
    bool DoingMetafile() const override { return false; }
    bool AntiAliased() const override { return false; }

    std::vector<TVxSeries*> List;
    double Width = 400;
};

// The weighted mean of the valid Y values; Fail makes the calculation raise.
class TMeanCalculation : public TVxCalculation {
public:
    void Calculate() override {
        ++Calls;
        if (Fail)
            throw EVxMathError("mean failed");
        const TVxSamples s = Gather();
        double sw = 0, swy = 0;
        for (std::size_t i = 0; i < s.Count(); ++i) {
            sw += s.Wi(i);
            swy += s.Wi(i) * s.Y[i];
        }
        if (!(sw > 0))
            throw EVxMathError("Not enough data points to calculate function");
        Mean = swy / sw;
    }
    double Mean = 0;
    int Calls = 0;
    bool Fail = false;
};

// Y = Mean * X. Curve, when set, replaces the curve (to raise or return non-finite values);
// every sampled X is recorded.
class TOriginLine : public TVxFunctionSeries {
public:
    explicit TOriginLine(QObject* AOwner = nullptr) : TVxFunctionSeries(AOwner) {
        auto calc = std::make_unique<TMeanCalculation>();
        Calc = calc.get();
        SetCalculation(std::move(calc));
    }
    double GetY(double AtX) const override {
        Sampled.push_back(AtX);
        return Curve ? Curve(AtX) : Calc->Mean * AtX;
    }
    QString Formula() const override { return QStringLiteral("Y=mX"); }
    void Sample() { CalculatePoints(); }

    TMeanCalculation* Calc;
    std::function<double(double)> Curve;
    mutable std::vector<double> Sampled;
};

class FunctionSeriesTest : public testing::Test {
protected:
    FunctionSeriesTest() {
        XAxis.SetHost(&Graph);
        YAxis.SetHost(&Graph);
        YAxis.SetPosition(TVxAxisPosition::Left);
        Geometry(400);
        YAxis.SetAxisGeometry(float(Left), float(Top), float(Height));
        XAxis.SetStartStop(0, 10);
        YAxis.SetStartStop(0, 100);
    }
    ~FunctionSeriesTest() override {
        XAxis.SetHost(nullptr);
        YAxis.SetHost(nullptr);
    }
    void Geometry(double Width) {
        Graph.Width = Width;
        XAxis.SetAxisGeometry(float(Left), float(Top + Height), float(Width));
    }
    void Attach(TVxSeries& S) {
        S.SetXAxis(&XAxis);
        S.SetYAxis(&YAxis);
        S.SetXData(&X);
        S.SetYData(&Y);
    }
    void Fill(const std::vector<double>& Xs, const std::vector<double>& Ys) {
        X.Clear();
        Y.Clear();
        X.AddRange(std::span<const double>(Xs));
        Y.AddRange(std::span<const double>(Ys));
    }
    // The points as drawn after a recalculation; returns the X values sampled for them.
    std::vector<double> Draw(TOriginLine& S) {
        S.Calculate();
        S.Sampled.clear();
        S.Sample();
        return S.Sampled;
    }

    FakeGraph Graph;
    TVxAxis XAxis;
    TVxAxis YAxis;
    TVxDoubleVector X;
    TVxDoubleVector Y;
};

// ---------------------------------------------------------------------------------------------
// Sampling

TEST_F(FunctionSeriesTest, DrawsBothEndsExactlyAndEveryWholePixelColumnBetween) {
    TOriginLine s;
    Attach(s);
    Fill({0, 5, 10}, {2, 2, 2});
    const std::vector<double> xs = Draw(s);
    // 0..10 on 400 px: the ends and the 399 columns between them, the last exactly 10.
    ASSERT_EQ(xs.size(), 401u);
    EXPECT_EQ(xs.front(), 0.0);
    EXPECT_EQ(xs.back(), 10.0);
    for (std::size_t k = 1; k + 1 < xs.size(); ++k)
        EXPECT_NEAR(xs[k], double(k) / 40, 1e-9) << k;
    ASSERT_EQ(s.Points().size(), 401u);
    EXPECT_NEAR(s.Points().back().x(), Left + 400, 1e-3);
    EXPECT_NEAR(s.Points().back().y(), Top + Height - 20.0 / 100 * Height, 1e-3);
}

TEST_F(FunctionSeriesTest, SamplesALogarithmicAxisGeometricallyFromItsFirstDecade) {
    Geometry(300);
    XAxis.SetScaling(TVxAxisScaling::Log);
    XAxis.SetStartStop(1, 1e6);
    XAxis.CalculateTicks();
    TOriginLine s;
    Attach(s);
    Fill({1, 1e3, 1e6}, {1, 1, 1});
    const std::vector<double> xs = Draw(s);
    // Six decades on 300 px: the sample of column k is 10^(k/50).
    ASSERT_EQ(xs.size(), 301u);
    EXPECT_EQ(xs.front(), 1.0);
    EXPECT_EQ(xs.back(), 1e6);
    for (std::size_t k = 0; k < xs.size(); ++k)
        EXPECT_NEAR(xs[k] / std::pow(10.0, double(k) / 50), 1.0, 1e-9) << k;
}

TEST_F(FunctionSeriesTest, ASpanBelowTheSpacingOfDoublesEndsAfterOneSamplePerColumn) {
    Geometry(4000);
    const double a = 45000.5, b = a + 1e-10;
    XAxis.SetStartStop(a, b);
    TOriginLine s;
    Attach(s);
    Fill({a, b}, {1, 1});
    s.Calculate();
    EXPECT_LE(s.Sampled.size(), 4001u); // the Y extent
    EXPECT_EQ(s.Sampled.back(), b);
    const std::vector<double> xs = Draw(s);
    EXPECT_LE(xs.size(), 4001u);
    EXPECT_EQ(xs.front(), a);
    EXPECT_EQ(xs.back(), b);
}

TEST_F(FunctionSeriesTest, SamplesThatRaiseOrAreNotFiniteAreLeftOut) {
    TOriginLine s;
    Attach(s);
    Fill({0, 10}, {1, 1});
    // Raises on [2, 3), NaN on [5, 6), infinite on [8, 9): 30 + 30 + 30 columns missing.
    s.Curve = [](double x) {
        if (x >= 2 && x < 3)
            throw EVxMathError("outside the domain");
        if (x >= 5 && x < 6)
            return std::nan("");
        if (x >= 8 && x < 9)
            return HUGE_VAL;
        return x;
    };
    EXPECT_NO_THROW(Draw(s));
    EXPECT_EQ(s.Points().size(), 401u - 120u);
    EXPECT_EQ(s.YStart(), 0);
    EXPECT_EQ(s.YStop(), 10);
    // No finite sample: the extent is unknown, and nothing is drawn.
    s.Curve = [](double) { return std::nan(""); };
    X.Add(10);
    Y.Add(1);
    Draw(s);
    EXPECT_EQ(s.YStart(), MaxDouble);
    EXPECT_EQ(s.YStop(), -MaxDouble);
    EXPECT_TRUE(s.Points().empty());
}

TEST_F(FunctionSeriesTest, PixelsStayInABandAroundTheDataArea) {
    TOriginLine s;
    Attach(s);
    Fill({0, 10}, {1, 1});
    s.Curve = [](double x) { return x < 5 ? -1e300 : 1e300; };
    Draw(s);
    ASSERT_FALSE(s.Points().empty());
    for (const QPointF& p : s.Points()) {
        EXPECT_GE(p.y(), Top - 10000);
        EXPECT_LE(p.y(), Top + Height + 10000);
    }
}

// ---------------------------------------------------------------------------------------------
// Recalculation

TEST_F(FunctionSeriesTest, RecalculatesOncePerAppendAndNeverForIdlePollsOrZoom) {
    TOriginLine s;
    Attach(s);
    int calculated = 0;
    s.OnCalculated = [&](TVxFunctionSeries*) { ++calculated; };
    Fill({0, 1, 2}, {1, 2, 3});
    s.Calculate();
    EXPECT_EQ(calculated, 1);
    for (int i = 0; i < 10; ++i)
        s.Calculate();
    EXPECT_EQ(calculated, 1);
    X.Add(3);
    Y.Add(4);
    s.Calculate();
    EXPECT_EQ(calculated, 2);
    EXPECT_DOUBLE_EQ(s.Calc->Mean, 2.5);
    // A zoom step: new axis range, stale points, new points; no refit.
    XAxis.SetStartStop(1, 2);
    s.PointsModified();
    s.Calculate();
    s.Sample();
    EXPECT_EQ(calculated, 2);
    EXPECT_EQ(s.Calc->Calls, 2);
}

TEST_F(FunctionSeriesTest, OneUsablePairDrawsNothing) {
    TOriginLine s;
    Attach(s);
    Fill({1}, {1});
    Draw(s);
    EXPECT_EQ(s.MinCount(), 2);
    EXPECT_EQ(s.Calc->Calls, 0);
    EXPECT_TRUE(s.Points().empty());
    // More data, then less again: the curve of the larger data does not stay.
    Fill({1, 2}, {1, 1});
    Draw(s);
    EXPECT_FALSE(s.Points().empty());
    X.Delete(1);
    Draw(s);
    EXPECT_TRUE(s.Points().empty());
    EXPECT_EQ(s.YStart(), MaxDouble);
}

TEST_F(FunctionSeriesTest, AnErrorReachesTheCallerOnceAndShowsNoCurve) {
    TOriginLine s;
    Attach(s);
    Fill({0, 10}, {1, 1});
    Draw(s);
    ASSERT_FALSE(s.Points().empty());
    s.Calc->Fail = true;
    X.Add(11);
    Y.Add(1);
    EXPECT_THROW(s.Calculate(), EVxMathError);
    // Taken in: the next polls neither repeat the calculation nor raise.
    EXPECT_NO_THROW(s.Calculate());
    EXPECT_EQ(s.Calc->Calls, 2);
    EXPECT_TRUE(s.CalculationFailed());
    s.Sample();
    EXPECT_TRUE(s.Points().empty());
    EXPECT_EQ(s.LastCount(), 3);
    // The next good calculation brings the curve back.
    s.Calc->Fail = false;
    X.Add(12);
    Y.Add(1);
    Draw(s);
    EXPECT_FALSE(s.CalculationFailed());
    EXPECT_FALSE(s.Points().empty());
}

TEST_F(FunctionSeriesTest, AnErrorHandlerIsCalledOncePerFailure) {
    TOriginLine s;
    Attach(s);
    std::vector<std::string> errors;
    s.OnCalculationError = [&](TVxFunctionSeries* Sender, const std::exception& e) {
        EXPECT_EQ(Sender, &s);
        errors.push_back(e.what());
    };
    s.Calc->Fail = true;
    Fill({0, 10}, {1, 1});
    for (int i = 0; i < 5; ++i)
        EXPECT_NO_THROW(s.Calculate());
    EXPECT_EQ(errors, std::vector<std::string>{"mean failed"});
}

TEST_F(FunctionSeriesTest, AHandlerThatRunsAnEventLoopDoesNotReenterTheRecalculation) {
    TOriginLine s;
    Attach(s);
    int calculated = 0, errors = 0;
    // What a modal box inside a handler lets happen: the poll and painting run meanwhile.
    s.OnCalculated = [&](TVxFunctionSeries*) {
        ++calculated;
        X.Add(double(X.GetCount()));
        Y.Add(1);
        s.Calculate();
        s.Sample();
    };
    s.OnCalculationError = [&](TVxFunctionSeries*, const std::exception&) {
        ++errors;
        s.Calculate();
    };
    Fill({0, 1}, {1, 1});
    s.Calculate();
    EXPECT_EQ(calculated, 1);
    EXPECT_EQ(s.Calc->Calls, 1);
    // The pair the handler appended is taken in by the next poll.
    s.OnCalculated = nullptr;
    s.Calculate();
    EXPECT_EQ(s.Calc->Calls, 2);
    s.Calc->Fail = true;
    X.Add(9);
    Y.Add(1);
    s.Calculate();
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(s.Calc->Calls, 3);
}

TEST_F(FunctionSeriesTest, WeightsAddedOrChangedAfterTheDataRefit) {
    TOriginLine s;
    Attach(s);
    Fill({0, 1, 2}, {1, 2, 6});
    TVxDoubleVector w;
    s.SetWeight(&w);
    w.AddRange(std::span<const double>(std::vector<double>{1, 1}));
    s.Calculate();
    EXPECT_DOUBLE_EQ(s.Calc->Mean, 1.5); // only two pairs have a weight
    w.Add(2);
    s.Calculate();
    EXPECT_DOUBLE_EQ(s.Calc->Mean, (1 + 2 + 12) / 4.0);
    w.SetValue(0, -3); // weights count by magnitude
    s.Calculate();
    EXPECT_DOUBLE_EQ(s.Calc->Mean, (3 + 2 + 12) / 6.0);
    EXPECT_EQ(s.Calc->Calls, 3);
}

TEST_F(FunctionSeriesTest, ADestroyedWeightVectorIsDropped) {
    TOriginLine s;
    Attach(s);
    Fill({0, 1}, {1, 3});
    {
        TVxDoubleVector w;
        w.AddRange(std::span<const double>(std::vector<double>{3, 1}));
        s.SetWeight(&w);
        s.Calculate();
        EXPECT_DOUBLE_EQ(s.Calc->Mean, 1.5);
    }
    EXPECT_EQ(s.Weight(), nullptr);
    s.Calculate();
    EXPECT_DOUBLE_EQ(s.Calc->Mean, 2);
}

TEST_F(FunctionSeriesTest, ADisplayRangeInsideTheExtentResamplesTheYExtentWithoutARefit) {
    TOriginLine s;
    Attach(s);
    s.SetCoupleCalculationAndDisplay(false);
    s.SetDisplayAutoStart(false);
    Fill({0, 10}, {3, 3});
    s.Calculate();
    EXPECT_EQ(s.YStart(), 0);
    EXPECT_EQ(s.YStop(), 30);
    s.SetDisplayStart(4);
    EXPECT_EQ(s.YStart(), 12);
    EXPECT_EQ(s.YStop(), 30);
    s.Calculate();
    EXPECT_EQ(s.Calc->Calls, 1);
    // Below the extent: the X extent grows to it, which is a recalculation.
    s.SetDisplayStart(-2);
    s.Calculate();
    EXPECT_EQ(s.XStart(), -2);
    EXPECT_EQ(s.YStart(), -6);
    EXPECT_EQ(s.Calc->Calls, 2);
}

TEST_F(FunctionSeriesTest, ClippedCurvesLeaveAYAxisWithOtherVisibleSeriesAlone) {
    TOriginLine s;
    Attach(s);
    Fill({0, 10}, {2, 2});
    s.Calculate();
    EXPECT_EQ(s.YStop(), 20);
    TVxLineSeries other;
    Attach(other);
    s.SetOutliersVisible(true); // any change that recalculates
    s.Calculate();
    EXPECT_EQ(s.YStart(), MaxDouble);
    EXPECT_EQ(s.YStop(), -MaxDouble);
    other.SetVisible(false);
    s.SetClipYValues(false);
    s.Calculate();
    EXPECT_EQ(s.YStop(), 20);
    other.SetVisible(true);
    s.SetOutliersVisible(false);
    s.Calculate();
    EXPECT_EQ(s.YStop(), 20); // not clipped
}

TEST_F(FunctionSeriesTest, CalculationRangeSelectsRawXAndOutliers) {
    TOriginLine s;
    Attach(s);
    Fill({0, 1, 2, 3, 4}, {10, 1, 2, 3, 20});
    s.SetAutoStart(false);
    s.SetAutoStop(false);
    s.SetCalculationStart(1);
    s.SetCalculationStop(3);
    s.Calculate();
    EXPECT_DOUBLE_EQ(s.Calc->Mean, 2);
    EXPECT_EQ(s.DisplayStart(), 1);
    EXPECT_EQ(s.DisplayStop(), 3);
    Y.AddOutlier(3);
    s.Calculate();
    EXPECT_DOUBLE_EQ(s.Calc->Mean, 1.5);
    s.SetOutliersVisible(true); // every index counts, whatever its X
    s.Calculate();
    EXPECT_DOUBLE_EQ(s.Calc->Mean, 36.0 / 5);
}

// ---------------------------------------------------------------------------------------------
// Setters

TEST_F(FunctionSeriesTest, SettersRecordTheirUndoStepsAndRefuseNonFiniteValues) {
    struct TCase {
        const char* Property;
        QVariant Value;
        const char* Description;
    };
    const TCase cases[] = {
        {"AutoStart", false, "Function series calculation start auto"},
        {"AutoStop", false, "Function series calculation stop auto"},
        {"DisplayAutoStart", false, "Function series display start auto"},
        {"DisplayAutoStop", false, "Function series display stop auto"},
        {"CoupleCalculationAndDisplay", false, "Function series couple calculation and display"},
        {"ClipYValues", false, "Function series clip Y-values"},
        {"CalculationStart", 1.5, "Function series calculation start"},
        {"CalculationStop", 8.5, "Function series calculation stop"},
        {"DisplayStart", 2.5, "Function series display start"},
        {"DisplayStop", 7.5, "Function series display stop"},
    };
    TVxUndoStack undo;
    TOriginLine s;
    Attach(s);
    s.SetUndoStack(&undo);
    TVxDoubleVector w;
    s.SetWeight(&w);
    EXPECT_EQ(undo.UndoList().value(0), "Function series weight");
    for (const TCase& c : cases) {
        const int before = undo.UndoCount();
        ASSERT_TRUE(s.setProperty(c.Property, c.Value)) << c.Property;
        EXPECT_EQ(s.property(c.Property), c.Value) << c.Property;
        EXPECT_EQ(undo.UndoCount(), before + 1) << c.Property;
        EXPECT_EQ(undo.UndoList().value(0), c.Description) << c.Property;
        // The same value again records nothing.
        s.setProperty(c.Property, c.Value);
        EXPECT_EQ(undo.UndoCount(), before + 1) << c.Property;
    }
    const int steps = undo.UndoCount();
    for (double bad : {std::nan(""), HUGE_VAL, -HUGE_VAL}) {
        s.SetCalculationStart(bad);
        s.SetCalculationStop(bad);
        s.SetDisplayStart(bad);
        s.SetDisplayStop(bad);
    }
    EXPECT_EQ(undo.UndoCount(), steps);
    EXPECT_EQ(s.CalculationStart(), 1.5);
    EXPECT_EQ(s.DisplayStop(), 7.5);
}

TEST_F(FunctionSeriesTest, SwitchingAutoOnIsOneStepThatRestoresTheFixedValue) {
    TVxUndoStack undo;
    TOriginLine s;
    Attach(s);
    s.SetUndoStack(&undo);
    s.SetAutoStart(false);
    s.SetCalculationStart(3);
    Fill({0, 10}, {1, 1});
    s.Calculate();
    EXPECT_EQ(s.CalculationStart(), 3);
    s.SetAutoStart(true);
    s.Calculate();
    EXPECT_EQ(s.CalculationStart(), 0); // the extent, stored without an undo step
    ASSERT_EQ(undo.UndoList().value(0), "Function series calculation start auto");
    ASSERT_TRUE(undo.Undo());
    EXPECT_EQ(undo.RedoList(), QStringList{"Function series calculation start auto"});
    EXPECT_FALSE(s.AutoStart());
    EXPECT_EQ(s.CalculationStart(), 3);
    // Coupling again restores both display ends in one step as well.
    s.SetCoupleCalculationAndDisplay(false);
    s.SetDisplayStart(1);
    s.SetDisplayStop(2);
    s.SetCoupleCalculationAndDisplay(true);
    s.Calculate();
    EXPECT_EQ(s.DisplayStart(), 3);
    ASSERT_TRUE(undo.Undo());
    EXPECT_FALSE(s.CoupleCalculationAndDisplay());
    EXPECT_EQ(s.DisplayStart(), 1);
    EXPECT_EQ(s.DisplayStop(), 2);
}

TEST_F(FunctionSeriesTest, RegistersItsVariablesAfterTheSeriesOnes) {
    QObject form;
    form.setObjectName("VarForm");
    auto* s = new TOriginLine(&form);
    s->SetName("Fit");
    Attach(*s);
    Fill({0, 10}, {1, 1});
    s->Calculate();
    const auto formula = FindStringGetter(u"VarForm.Fit.Formula");
    ASSERT_TRUE(formula);
    EXPECT_EQ(formula->Comment, "Formula used for calculation");
    EXPECT_EQ(formula->AGetter(), "Y=mX");
    const struct {
        const char16_t* Name;
        double Value;
    } numbers[] = {{u"VarForm.Fit.CalculationStart", 0},
                   {u"VarForm.Fit.CalculationStop", 10},
                   {u"VarForm.Fit.DisplayStart", 0},
                   {u"VarForm.Fit.DisplayStop", 10}};
    for (const auto& n : numbers) {
        const auto v = FindDoubleGetter(n.Name);
        ASSERT_TRUE(v) << QString::fromUtf16(n.Name).toStdString();
        EXPECT_EQ(v->AGetter(), n.Value);
    }
    int order = 0, formulaAt = -1, nameAt = -1;
    for (const TVxStringGetterRec& r : GlobalStringGetters().Items()) {
        if (r.Container == s && r.Id == "Name")
            nameAt = order;
        if (r.Container == s && r.Id == "Formula")
            formulaAt = order;
        ++order;
    }
    EXPECT_LT(nameAt, formulaAt);
    delete s;
    EXPECT_FALSE(FindStringGetter(u"VarForm.Fit.Formula"));
}

TEST_F(FunctionSeriesTest, TheBaseFormulaRaises) {
    TVxFunctionSeries s;
    EXPECT_THROW(s.Formula(), EVxException);
    EXPECT_TRUE(std::isnan(s.GetY(1)));
}

// ---------------------------------------------------------------------------------------------
// Painting and queries

TEST_F(FunctionSeriesTest, HandlersSeeTheValueOfThePointsColumnAndNoIndex) {
    TOriginLine s;
    Attach(s);
    Fill({0, 10}, {2, 2});
    std::vector<TVxPenEventArgs> seen;
    s.OnGetPen = [&](TVxSeries*, TVxPenEventArgs& e) { seen.push_back(e); };
    s.Calculate();
    TVxRecordingSurface surface;
    s.PaintGr(surface);
    ASSERT_EQ(seen.size(), 400u);
    for (std::size_t k : {std::size_t(0), std::size_t(200), std::size_t(399)}) {
        EXPECT_EQ(seen[k].Index, -1);
        EXPECT_NEAR(seen[k].X, double(k) / 40, 1e-6);
        EXPECT_NEAR(seen[k].Y, 2 * seen[k].X, 1e-9);
    }
    EXPECT_EQ(s.FindPoint(float(Left + 200), float(Top + Height - 10.0 / 100 * Height), 1), 0);
    EXPECT_EQ(s.FindPoint(float(Left + 200), float(Top), 1), -1);
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

// Reads Bytes into Series; true when the record used every byte.
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

TEST_F(FunctionSeriesTest, TheDefaultTailFollowsTheSeriesRecord) {
    TOriginLine s;
    const QByteArray record = WriteBytes(s);
    QByteArray base;
    {
        QBuffer buffer(&base);
        buffer.open(QIODevice::WriteOnly);
        s.TVxSeries::WriteTo(static_cast<QIODevice&>(buffer));
    }
    // No weight (an empty reference), four Auto flags, four zero doubles, coupled,
    // clipped, end marker.
    const QByteArray tail = QByteArray::fromHex("00000000"
                                                "01010101" +
                                                QByteArray(64, '0') + "010100");
    ASSERT_EQ(tail.size(), 43);
    EXPECT_EQ(record.size(), base.size() + 43);
    EXPECT_EQ(record.right(43).toHex(), tail.toHex());
    EXPECT_TRUE(record.startsWith(base.left(4)));
}

TEST_F(FunctionSeriesTest, TheTailRoundTripsThroughEveryContainer) {
    QObject form;
    form.setObjectName("TailForm");
    TVxApplication::Instance().RegisterForm(&form);
    auto* w = new TVxDoubleVector(&form);
    w->SetName("W");
    for (TContainer c : {TContainer::Stream, TContainer::Xml, TContainer::Ini}) {
        TOriginLine source(&form), target(&form);
        source.SetWeight(w);
        source.SetAutoStart(false);
        source.SetDisplayAutoStop(false);
        source.SetCalculationStart(-1.25);
        source.SetCalculationStop(1e-300);
        source.SetDisplayStart(0.1);
        source.SetDisplayStop(7.5e12);
        source.SetCoupleCalculationAndDisplay(false);
        source.SetClipYValues(false);
        Transfer(source, target, c);
        EXPECT_EQ(target.Weight(), w) << int(c);
        EXPECT_FALSE(target.AutoStart());
        EXPECT_TRUE(target.AutoStop());
        EXPECT_TRUE(target.DisplayAutoStart());
        EXPECT_FALSE(target.DisplayAutoStop());
        EXPECT_EQ(target.CalculationStart(), -1.25) << int(c);
        EXPECT_EQ(target.CalculationStop(), 1e-300) << int(c);
        EXPECT_EQ(target.DisplayStart(), 0.1) << int(c);
        EXPECT_EQ(target.DisplayStop(), 7.5e12) << int(c);
        EXPECT_FALSE(target.CoupleCalculationAndDisplay());
        EXPECT_FALSE(target.ClipYValues());
        // The weights are among the vectors a chart saved with its values stores.
        EXPECT_EQ(target.ReferencedVectors().back(), w);
    }
}

TEST_F(FunctionSeriesTest, AShortOrNonFiniteTailChangesNothingOfIt) {
    TOriginLine source;
    source.SetCalculationStart(5);
    QByteArray record = WriteBytes(source);
    // A NaN written in place of CalculationStop is refused by its setter.
    const int stopAt = int(record.size()) - 43 + 8 + 8;
    const double nan = std::nan("");
    record.replace(stopAt, 8, QByteArray(reinterpret_cast<const char*>(&nan), 8));
    TOriginLine target;
    target.SetCalculationStop(3);
    EXPECT_TRUE(ReadBytes(target, record));
    EXPECT_EQ(target.CalculationStart(), 5);
    EXPECT_EQ(target.CalculationStop(), 3);
    // Cut inside the tail: an error, and the tail's values stay as they were.
    TOriginLine cut;
    cut.SetCalculationStart(2);
    EXPECT_THROW(ReadBytes(cut, record.left(record.size() - 5)), EVxStreamError);
    EXPECT_EQ(cut.CalculationStart(), 2);
}

// ---------------------------------------------------------------------------------------------
// The graph

TEST(FunctionSeriesGraphTest, TheGraphReportsAFailedRecalculationOnce) {
    QWidget form;
    auto* graph = new TVxGraph2D(&form);
    graph->resize(400, 300);
    graph->TestPrimaryAxis();
    TVxDoubleVector x, y;
    x.AddRange(std::span<const double>(std::vector<double>{0, 1, 2}));
    y.AddRange(std::span<const double>(std::vector<double>{0, 1, 2}));
    TOriginLine s(&form);
    s.SetXAxis(graph->PrimaryXAxis());
    s.SetYAxis(graph->PrimaryYAxis());
    s.SetXData(&x);
    s.SetYData(&y);
    s.Calc->Fail = true;
    std::vector<QString> messages;
    QObject::connect(graph, &TVxGraph2D::CalculationError,
                     [&](TVxSeries* Series, const QString& Message) {
                         EXPECT_EQ(Series, &s);
                         messages.push_back(Message);
                     });
    for (int i = 0; i < 5; ++i)
        EXPECT_NO_THROW(graph->Poll());
    QImage image(400, 300, QImage::Format_ARGB32_Premultiplied);
    graph->render(&image);
    EXPECT_EQ(messages, std::vector<QString>{"mean failed"});
    x.Add(3);
    y.Add(3);
    graph->Poll();
    EXPECT_EQ(messages.size(), 2u);
}

} // namespace
