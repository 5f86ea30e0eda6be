// TVxLinearRegression: results against function_series_reference.py and closed forms, the
// documented edge cases, logarithmic axes (values <= 0 left out, the switching level and its
// single note), the two drawn ends inside the axis range however far it is zoomed, caption
// variables re-expanded after an append, setters and records.

#include "series/RegressionSeries.h"

#include "FunctionSeriesFixture.h"
#include "captions/CaptionVariables.h"
#include "undo/UndoStack.h"
#include "util/Application.h"
#include "util/Exceptions.h"
#include "util/LibraryMessage.h"

#include <cmath>

namespace {

using RegressionTest = CurveTest;

// The reference data: index 4 an outlier the series hides, calculation range 1..8.
void UseReferenceData(RegressionTest& T, TVxLinearRegression& S, TVxDoubleVector& X,
                      TVxDoubleVector& Y) {
    (void)T;
    X.AddRange(std::span<const double>(std::vector<double>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    Y.AddRange(std::span<const double>(
        std::vector<double>{1.0, 2.9, 5.2, 7.1, 30.0, 10.8, 13.1, 15.0, 16.8, 19.2}));
    Y.AddOutlier(4);
    S.SetAutoStart(false);
    S.SetAutoStop(false);
    S.SetCalculationStart(1);
    S.SetCalculationStop(8);
}

TEST_F(RegressionTest, FitsTheValidPointsOfTheCalculationRange) {
    TVxLinearRegression s;
    Attach(s);
    UseReferenceData(*this, s, X, Y);
    s.Calculate();
    // function_series_reference.py
    EXPECT_NEAR(s.Slope(), 1.97739726027397, 1e-12);
    EXPECT_NEAR(s.Offset(), 1.08904109589041, 1e-12);
    EXPECT_NEAR(s.SumOfResiduals(), 0.127260273972602, 1e-12);
    EXPECT_NEAR(s.Probability(), 0.99922038269463, 1e-12);
    EXPECT_NEAR(s.Correlation(), 0.999610115342292, 1e-12);
    EXPECT_NEAR(s.DeltaSlope(), 0.0247012549984566, 1e-12);
    EXPECT_NEAR(s.DeltaOffset(), 0.128011481470425, 1e-12);
    // Alone on its Y axis: the extent is the line's value at both display ends.
    EXPECT_NEAR(s.YStart(), 3.06643835616438, 1e-11);
    EXPECT_NEAR(s.YStop(), 16.9082191780822, 1e-11);
    EXPECT_EQ(s.Formula(), "Y=a+b(X)");
}

TEST_F(RegressionTest, DocumentedEdgeCases) {
    struct TCase {
        std::vector<double> Xs, Ys;
        bool Fixed;
        double Slope, Offset, Probability, Correlation, SumOfResiduals, DeltaOffset;
    };
    const TCase cases[] = {
        // Exactly on a line.
        {{0, 1, 2}, {1, 3, 5}, false, 2, 1, 1, 1, 0, 0},
        // All X equal: a vertical line.
        {{2, 2, 2}, {1, 3, 5}, false, MaxDouble, MaxDouble, 1, 1, 0, 0},
        // Through the origin with a fixed offset 0.
        {{1, 2}, {2, 4}, true, 2, 0, 1, 0, 0, 0},
    };
    for (const TCase& c : cases) {
        TVxLinearRegression s;
        Attach(s);
        Fill(c.Xs, c.Ys);
        s.SetFixedOffset(c.Fixed);
        s.SetOffset(0);
        s.Calculate();
        EXPECT_DOUBLE_EQ(s.Slope(), c.Slope);
        EXPECT_DOUBLE_EQ(s.Offset(), c.Offset);
        EXPECT_DOUBLE_EQ(s.Probability(), c.Probability);
        EXPECT_DOUBLE_EQ(s.Correlation(), c.Correlation);
        EXPECT_DOUBLE_EQ(s.SumOfResiduals(), c.SumOfResiduals);
        EXPECT_DOUBLE_EQ(s.DeltaOffset(), c.DeltaOffset);
        Draw(s);
    }
}

TEST_F(RegressionTest, AVerticalLineHasNoExtentAndDrawsNothing) {
    TVxLinearRegression s;
    Attach(s);
    Fill({2, 2, 2}, {1, 3, 5});
    s.Calculate();
    EXPECT_EQ(s.YStart(), MaxDouble);
    EXPECT_EQ(s.YStop(), -MaxDouble);
    Draw(s);
    EXPECT_TRUE(s.Points().empty());
}

TEST_F(RegressionTest, TooFewValidPointsRaiseAndKeepTheLastResults) {
    TVxLinearRegression s;
    Attach(s);
    Fill({0, 1, 2}, {1, 3, 5});
    s.Calculate();
    std::string error;
    s.OnCalculationError = [&](TVxFunctionSeries*, const std::exception& e) { error = e.what(); };
    Y.AddOutlier(0);
    Y.AddOutlier(1);
    s.Calculate();
    EXPECT_EQ(error, "Not enough data points to calculate function");
    EXPECT_EQ(s.Slope(), 2);
    EXPECT_EQ(s.Offset(), 1);
}

TEST_F(RegressionTest, BothAxesLogarithmicFitTheDecimalLogarithms) {
    XAxis.SetScaling(TVxAxisScaling::Log);
    YAxis.SetScaling(TVxAxisScaling::Log);
    XAxis.SetStartStop(1, 10000);
    YAxis.SetStartStop(1, 100000);
    XAxis.CalculateTicks();
    YAxis.CalculateTicks();
    TVxLinearRegression s;
    Attach(s);
    // Values <= 0 cannot be shown on these axes and are left out of the fit.
    Fill({1, 10, -5, 100, 0, 1000, 50}, {3, 30, 7, 300, 2, 3000, -1});
    s.Calculate();
    EXPECT_NEAR(s.Slope(), 1, 1e-14);
    EXPECT_NEAR(s.Offset(), 0.477121254719663, 1e-14);
    EXPECT_NEAR(s.GetY(10000), 30000, 1e-9);
    EXPECT_EQ(s.Formula(), "lg(Y)=a+b(lg(X))");
    // The line is straight in pixels: its two ends lie on the fitted power law.
    Draw(s);
    ASSERT_EQ(s.Points().size(), 2u);
    for (const QPointF& p : s.Points()) {
        const double x = XAxis.WorldToNumber(float(p.x()));
        EXPECT_NEAR(YAxis.WorldToNumber(float(p.y())) / (3 * x), 1, 1e-4);
    }
    std::string error;
    s.OnCalculationError = [&](TVxFunctionSeries*, const std::exception& e) { error = e.what(); };
    Fill({1, -10, 100}, {3, 30, -300});
    s.Calculate();
    EXPECT_EQ(error, "Not enough data points to calculate function");
}

TEST_F(RegressionTest, ALogarithmicYAxisIsSwitchedBackOnceWithANoteAndNoUndoStep) {
    TVxUndoStack undo;
    XAxis.SetScaling(TVxAxisScaling::Log);
    YAxis.SetScaling(TVxAxisScaling::Log);
    XAxis.SetLogToNormalScalingLevel(3);
    YAxis.SetLogToNormalScalingLevel(2);
    XAxis.SetUndoStack(&undo);
    YAxis.SetUndoStack(&undo);
    std::vector<QString> notes;
    const auto old = SetLibraryMessageHandler([&](const QString& Text) { notes.push_back(Text); });
    TVxLinearRegression s;
    Attach(s);
    Fill({1, 10, 100}, {2, 20, 200});
    s.Calculate();
    X.Add(1000);
    Y.Add(2000);
    s.Calculate();
    SetLibraryMessageHandler(old);
    EXPECT_EQ(notes, std::vector<QString>{"Log Y-Axis with regression and "
                                          "LogToNormalScalingLevel>0 not possible\rSetting to 0"});
    EXPECT_EQ(XAxis.LogToNormalScalingLevel(), 0);
    EXPECT_EQ(YAxis.LogToNormalScalingLevel(), 0);
    EXPECT_EQ(undo.UndoCount(), 0);
    XAxis.SetUndoStack(nullptr);
    YAxis.SetUndoStack(nullptr);
}

TEST_F(RegressionTest, DrawsTheEndsInsideTheAxisRangeHoweverDeepTheZoom) {
    TVxLinearRegression s;
    Attach(s);
    Fill({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {1, 3, 5, 7, 9, 11, 13, 15, 17, 19});
    s.Calculate();
    struct TRange {
        double X0, X1, Y0, Y1;
    };
    // A deep zoom, a range reaching past the data, and the line leaving the data area.
    const TRange ranges[] = {{4.5, 4.5 + 1e-7, 10, 10 + 2e-7}, {-100, 100, -50, 50}, {0, 10, 0, 5}};
    for (const TRange& r : ranges) {
        XAxis.SetStartStop(r.X0, r.X1);
        YAxis.SetStartStop(r.Y0, r.Y1);
        s.PointsModified();
        Draw(s);
        ASSERT_EQ(s.Points().size(), 2u);
        for (const QPointF& p : s.Points()) {
            // On the line y = 2x + 1, within the axis' X range and the band around the area.
            const double x = r.X0 + (p.x() - 50) / 400 * (r.X1 - r.X0);
            const double y = r.Y0 + (170 - p.y()) / 150 * (r.Y1 - r.Y0);
            EXPECT_NEAR(y, 2 * x + 1, 1e-3 * (r.Y1 - r.Y0));
            EXPECT_GE(p.x(), 50 - 1e-3);
            EXPECT_LE(p.x(), 450 + 1e-3);
            EXPECT_GE(p.y(), 20 - 10000);
            EXPECT_LE(p.y(), 170 + 10000);
        }
    }
}

TEST_F(RegressionTest, ADisplayStartAtOrBelowZeroOnALogarithmicAxisDrawsFromTheAxisStart) {
    XAxis.SetScaling(TVxAxisScaling::Log);
    XAxis.SetStartStop(1, 1000);
    XAxis.CalculateTicks();
    TVxLinearRegression s;
    Attach(s);
    Fill({1, 10, 100, 1000}, {1, 2, 3, 4});
    s.SetCoupleCalculationAndDisplay(false);
    s.SetDisplayAutoStart(false);
    s.SetDisplayStart(-5);
    s.Calculate();
    EXPECT_NEAR(s.YStart(), 1, 1e-12); // the end at -5 has no value: the other ends count
    EXPECT_NEAR(s.YStop(), 4, 1e-12);
    Draw(s);
    ASSERT_EQ(s.Points().size(), 2u);
    EXPECT_NEAR(s.Points()[0].x(), 50, 1e-3);
    EXPECT_NEAR(s.Points()[0].y(), 170 - 1.0 / 20 * 150, 1e-3);
}

// Re-expands its caption whenever a variable it shows changes.
class TCaptionWatcher : public QObject, public TVxCaptionDependent {
public:
    explicit TCaptionWatcher(QString Caption) : FCaption(std::move(Caption)) {
        UpdateCaptionVariables();
    }
    void UpdateCaptionVariables() override {
        Text = ExpandVariables(FCaption, this);
        ++Updates;
    }
    QString Text;
    int Updates = 0;

private:
    QString FCaption;
};

TEST_F(RegressionTest, CaptionsShowingItsResultsAreReexpandedAfterAnAppend) {
    QObject form;
    form.setObjectName("RegForm");
    TVxApplication::Instance().RegisterForm(&form);
    auto* s = new TVxLinearRegression(&form);
    s->SetName("Reg");
    Attach(*s);
    Fill({0, 1, 2}, {1, 3, 5});
    s->Calculate();
    TCaptionWatcher watcher("<%RegForm.Reg.Slope;0.0%> <%RegForm.Reg.Formula%>");
    EXPECT_EQ(watcher.Text, "2.0 Y=a+b(X)");
    X.Add(3);
    Y.Add(10);
    s->Calculate();
    EXPECT_EQ(watcher.Text, "2.9 Y=a+b(X)");
    const int updates = watcher.Updates;
    s->Calculate(); // nothing new
    EXPECT_EQ(watcher.Updates, updates);
    delete s;
}

TEST_F(RegressionTest, RegistersItsResultsInTheDocumentedOrder) {
    QObject form;
    form.setObjectName("OrderForm");
    TVxLinearRegression s(&form);
    QStringList ids;
    for (const TVxDoubleGetterRec& r : GlobalDoubleGetters().Items())
        if (r.Container == &s)
            ids << r.Id;
    EXPECT_EQ(ids, QStringList({"CalculationStart", "CalculationStop", "DisplayStart",
                                "DisplayStop", "Offset", "Slope", "DeltaSlope", "DeltaOffset",
                                "AverageX", "AverageY", "VarianceX", "VarianceY", "Probability",
                                "Correlation", "SumOfResiduals"}));
}

TEST_F(RegressionTest, OffsetIsUndoableOnlyWhileFixed) {
    TVxUndoStack undo;
    TVxLinearRegression s;
    Attach(s);
    s.SetUndoStack(&undo);
    s.SetOffset(4);
    EXPECT_EQ(undo.UndoCount(), 0);
    s.SetFixedOffset(true);
    EXPECT_EQ(undo.UndoList().value(0), "Linear regression fixed offset");
    s.SetOffset(-2.5);
    EXPECT_EQ(undo.UndoList().value(0), "Linear regression offset");
    s.SetOffset(std::nan(""));
    EXPECT_EQ(s.Offset(), -2.5);
    Fill({1, 2}, {0.5, 3.5});
    s.Calculate();
    EXPECT_DOUBLE_EQ(s.Slope(), (1 * 3 + 2 * 6) / 5.0);
    EXPECT_EQ(s.Offset(), -2.5);
}

TEST_F(RegressionTest, RecordsRoundTripAndEndWithTheOffsetOnlyWhenFixed) {
    TVxLinearRegression free;
    QByteArray record = CurveBytes(free);
    EXPECT_EQ(record.right(2).toHex(), "0000");
    for (TCurveContainer c :
         {TCurveContainer::Stream, TCurveContainer::Xml, TCurveContainer::Ini}) {
        TVxLinearRegression source, target;
        source.SetFixedOffset(true);
        source.SetOffset(-2.5);
        source.SetClipYValues(false);
        TransferCurve(source, target, c);
        EXPECT_TRUE(target.FixedOffset()) << int(c);
        EXPECT_EQ(target.Offset(), -2.5) << int(c);
        EXPECT_FALSE(target.ClipYValues()) << int(c);
    }
    TVxLinearRegression fixed;
    fixed.SetFixedOffset(true);
    fixed.SetOffset(-2.5);
    record = CurveBytes(fixed);
    const double offset = -2.5;
    EXPECT_EQ(record.right(10).toHex(),
              (QByteArray("\x01") + QByteArray(reinterpret_cast<const char*>(&offset), 8) +
               QByteArray(1, '\0'))
                  .toHex());
}

} // namespace
