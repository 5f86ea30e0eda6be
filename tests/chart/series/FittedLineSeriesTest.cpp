// The fitted line: the analysis of formulas (order, refused formulas that change nothing),
// a fit against the generating coefficients, the step budget and StopIterations, a budget of
// 0 drawing the given coefficients, letters beyond the order, covariance with too few
// points, re-entry from OnIteration, setters with their undo steps and the saved tail.

#include "series/FittedLineSeries.h"

#include "FakeSeriesGraph.h"
#include "persistence/IniFile.h"
#include "persistence/XmlCodec.h"
#include "undo/UndoStack.h"
#include "util/Exceptions.h"
#include "util/VariableRegistries.h"
#include "vectors/DoubleVector.h"

#include <QBuffer>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <pugixml.hpp>

namespace {

constexpr double Left = 50, Top = 20, Width = 400, Height = 150;

class FittedLineSeriesTest : public testing::Test {
protected:
    FittedLineSeriesTest() : Graph(Left, Top, Width, Height) { Graph.SetRanges(0, 3, 0, 20); }

    void Attach(TVxSeries& S) {
        Graph.Attach(S);
        S.SetXData(&X);
        S.SetYData(&Y);
    }
    // x = 0, 0.5 .. 3 and y = 2 e^(0.7 x).
    void FillExponential() {
        X.Clear();
        Y.Clear();
        for (int i = 0; i <= 6; ++i) {
            X.Add(0.5 * i);
            Y.Add(2 * std::exp(0.7 * 0.5 * i));
        }
    }

    TFakeSeriesGraph Graph;
    TVxDoubleVector X;
    TVxDoubleVector Y;
};

TEST_F(FittedLineSeriesTest, FormulasAnalyseToTheirHighestCoefficientLetter) {
    struct TCase {
        const char* Formula;
        int Iterations;
        int Order; // -1: refused
    };
    const TCase cases[] = {
        {"a*x+b", 300, 2},    {"a * x + b", 300, 2},  {"c*x", 300, 3},     {"e*exp(x)", 300, 5},
        {"abs(x)*a", 300, 1}, {"a*exp[b*x]", 300, 2}, {"a*x^[b]", 300, 2}, {"x^2", 0, 0},
        {"2^a", 300, -1},     {"x^2", 300, -1},       {"a*x+", 300, -1},
    };
    for (const TCase& c : cases) {
        TVxFittedLine s;
        s.SetIterations(c.Iterations);
        s.SetExpression("a*x");
        if (c.Order < 0) {
            EXPECT_THROW(s.SetExpression(c.Formula), EVxException) << c.Formula;
            EXPECT_EQ(s.Expression(), "a*x") << c.Formula;
            EXPECT_EQ(s.Order(), 1) << c.Formula;
            // Refused again, not taken for the stored text.
            EXPECT_THROW(s.SetExpression(c.Formula), EVxException) << c.Formula;
        } else {
            s.SetExpression(c.Formula);
            EXPECT_EQ(s.Order(), c.Order) << c.Formula;
            EXPECT_EQ(s.Formula(), c.Formula);
        }
    }
}

TEST_F(FittedLineSeriesTest, EIsTheFifthCoefficientNotEulersNumber) {
    TVxFittedLine s;
    s.SetIterations(0);
    s.SetExpression("e*exp(x)");
    s.SetCoefficients({0, 0, 0, 0, 3});
    EXPECT_DOUBLE_EQ(s.GetY(1), 3 * std::exp(1.0));
}

TEST_F(FittedLineSeriesTest, AnExponentialIsFittedToItsGeneratingCoefficients) {
    TVxFittedLine s;
    Attach(s);
    FillExponential();
    s.SetExpression("a*exp(b*x)");
    s.SetIterations(2000);
    s.Calculate();
    ASSERT_TRUE(s.Calculated());
    ASSERT_EQ(s.Order(), 2);
    EXPECT_NEAR(s.Coefficients()[0], 2, 1e-6);
    EXPECT_NEAR(s.Coefficients()[1], 0.7, 1e-6);
    EXPECT_NEAR(s.GetY(1.25), 2 * std::exp(0.875), 1e-5);
    double coefficient = 0;
    for (const TVxDoubleArrayRec& r : GlobalDoubleArrays().Items())
        if (r.Container == &s && r.Id == "Coefficients")
            coefficient = r.AArray(1);
    EXPECT_NEAR(coefficient, 0.7, 1e-6);
}

TEST_F(FittedLineSeriesTest, StopIterationsEndsTheFitAfterTheCurrentStep) {
    TVxFittedLine s;
    Attach(s);
    FillExponential();
    s.SetExpression("a*exp(b*x)");
    int calls = 0;
    s.OnIteration = [&](TVxFittedLine* Sender) {
        if (++calls == 5)
            Sender->StopIterations();
    };
    s.Calculate();
    EXPECT_EQ(calls, 5);
    EXPECT_EQ(s.CurrentIteration(), 295);
}

TEST_F(FittedLineSeriesTest, AnEventLoopInOnIterationDoesNotReenterTheFit) {
    TVxFittedLine s;
    Attach(s);
    FillExponential();
    s.SetExpression("a*exp(b*x)");
    int calls = 0;
    s.OnIteration = [&](TVxFittedLine* Sender) {
        ++calls;
        // What a paint inside a processed event would do: more data, then a recalculation.
        if (calls == 3) {
            X.Add(3.5);
            Y.Add(2 * std::exp(0.7 * 3.5));
        }
        Sender->Calculate();
        Graph.Paint(*Sender);
    };
    s.Calculate();
    EXPECT_EQ(calls, 301);
    EXPECT_TRUE(s.Calculated());
}

TEST_F(FittedLineSeriesTest, WithoutABudgetTheGivenCoefficientsAreDrawnAndRedrawn) {
    TVxFittedLine s;
    Attach(s);
    FillExponential();
    s.SetIterations(0);
    s.SetExpression("x^2");
    EXPECT_EQ(s.Order(), 0);
    Graph.Paint(s);
    ASSERT_TRUE(s.Calculated());
    EXPECT_NEAR(s.YStop(), 9, 1e-12);
    ASSERT_GT(s.Points().size(), 2u);
    EXPECT_NEAR(s.Points().back().y(), Graph.PY(9), 1e-3);

    s.SetExpression("a*x^2");
    Graph.Paint(s);
    EXPECT_NEAR(s.YStop(), 4.5, 1e-12); // the new coefficient is 0.5
    s.SetCoefficients({2});
    EXPECT_NEAR(s.YStop(), 18, 1e-12); // re-sampled at once, no fit
    EXPECT_TRUE(s.RecalculatePoints());
    Graph.Paint(s);
    EXPECT_NEAR(s.Points().back().y(), Graph.PY(18), 1e-3);
    EXPECT_EQ(s.Coefficients()[0], 2);
}

TEST_F(FittedLineSeriesTest, ALetterBeyondTheOrderFailsThroughTheErrorPath) {
    TVxFittedLine s;
    Attach(s);
    FillExponential();
    s.SetExpression("a*x+b");
    s.SetOrder(1);
    std::string message;
    s.OnCalculationError = [&](TVxFunctionSeries*, const std::exception& e) { message = e.what(); };
    s.Calculate();
    EXPECT_EQ(message, "Fitted line: Index of variable out of range");
    EXPECT_TRUE(s.CalculationFailed());
    EXPECT_THROW(s.Coefficient(1), EVxRangeError);
}

TEST_F(FittedLineSeriesTest, FormulaErrorsAbortTheFitThroughTheErrorPath) {
    // The first corner (the start coefficients 0.5, the first one doubled and more) meets an
    // error on the data x = 0, 0.5 .. 3: ln(0 - 1.025), 1.025 / (0.5 - 0.5), exp(1537.5).
    const struct {
        const char* Formula;
        const char* Message;
    } cases[] = {
        {"ln(x-a)", "Invalid floating point operation"},
        {"a/(x-b)", "Floating point division by zero"},
        {"exp(a*x*1000)", "Floating point overflow"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Formula);
        TVxFittedLine s;
        Attach(s);
        FillExponential();
        s.SetExpression(c.Formula);
        int steps = 0;
        s.OnIteration = [&](TVxFittedLine*) { ++steps; };
        std::string message;
        s.OnCalculationError = [&](TVxFunctionSeries*, const std::exception& e) {
            message = e.what();
        };
        s.Calculate();
        EXPECT_EQ(message, c.Message);
        EXPECT_EQ(steps, 0);
        EXPECT_TRUE(s.CalculationFailed());
    }
}

TEST_F(FittedLineSeriesTest, CovarianceWithTooFewDistinctPointsSwitchesOffAndReports) {
    TVxFittedLine s;
    Attach(s);
    X.Clear();
    Y.Clear();
    for (double v : {1.0, 1.0, 2.0, 2.0}) {
        X.Add(v);
        Y.Add(v * 3);
    }
    s.SetExpression("a*x");
    s.SetDoCovariance(true);
    std::string message;
    s.OnCalculationError = [&](TVxFunctionSeries*, const std::exception& e) { message = e.what(); };
    s.Calculate();
    EXPECT_EQ(message, "SimplexFit: DoCovariance, reciprocal indefinite!");
    EXPECT_FALSE(s.DoCovariance());
}

TEST_F(FittedLineSeriesTest, NoModelIsAnError) {
    TVxFittedLine s;
    Attach(s);
    FillExponential();
    EXPECT_THROW(s.Calculate(), EVxMathError);
    // A program's model needs no formula.
    s.SetFittingFunction([](TVxFittedLine*, const TVxFittingFunctionArgs& e) {
        return (*e.Coefficients)[0] * std::exp((*e.Coefficients)[1] * e.X);
    });
    s.SetOrder(2);
    s.SetIterations(2000);
    FillExponential();
    s.Calculate();
    EXPECT_NEAR(s.Coefficients()[1], 0.7, 1e-6);
}

TEST_F(FittedLineSeriesTest, SettersRecordTheirUndoSteps) {
    TVxUndoStack undo;
    TVxFittedLine s;
    s.SetUndoStack(&undo);
    struct TCase {
        const char* Property;
        QVariant Value;
        const char* Description;
    };
    const TCase cases[] = {
        {"Expression", "a*x+b", "Fitted line expression"},
        {"Iterations", 12, "Fitted line iterations"},
        {"Order", 3, "Fitted line coefficients"},
        {"Coefficients", QVariant::fromValue(QList<double>{1, 2}), "Fitted line coefficients"},
        {"DoCovariance", true, "Fitting using covariance/variance"},
    };
    for (const TCase& c : cases) {
        const int before = undo.UndoCount();
        ASSERT_TRUE(s.setProperty(c.Property, c.Value)) << c.Property;
        EXPECT_EQ(undo.UndoCount(), before + 1) << c.Property;
        EXPECT_EQ(undo.UndoList().value(0), c.Description) << c.Property;
    }
    ASSERT_TRUE(undo.Undo()); // DoCovariance
    ASSERT_TRUE(undo.Undo()); // Coefficients
    EXPECT_EQ(s.Order(), 3);
    s.SetIterations(-5);
    EXPECT_EQ(s.Iterations(), 0);
    s.SetUndoStack(nullptr);
}

// ---------------------------------------------------------------------------------------------
// Records

QByteArray WriteBytes(const TVxSeries& Series) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    Series.WriteTo(static_cast<QIODevice&>(buffer));
    return bytes;
}

void ReadBytes(TVxSeries& Series, QByteArray Bytes) {
    QBuffer buffer(&Bytes);
    buffer.open(QIODevice::ReadOnly);
    Series.ReadFrom(static_cast<QIODevice&>(buffer));
}

TEST_F(FittedLineSeriesTest, TheFitSurvivesEveryContainer) {
    TVxFittedLine source;
    source.SetIterations(77);
    source.SetDoCovariance(true);
    source.SetExpression("a*exp(b*x)+c");
    source.SetCoefficients({1, 2.5, -3});
    for (int c = 0; c < 3; ++c) {
        TVxFittedLine target;
        if (c == 0) {
            ReadBytes(target, WriteBytes(source));
        } else if (c == 1) {
            pugi::xml_document doc;
            source.WriteTo(static_cast<pugi::xml_node>(doc));
            pugi::xml_document loaded;
            LoadXmlDocument(loaded, SaveXmlDocument(doc));
            target.ReadFrom(loaded.first_child());
        } else {
            TVxIniFile ini;
            source.WriteTo(ini, "S");
            EXPECT_EQ(ini.ReadString("S", "Coefficients", {}), "1 2.5 -3");
            TVxIniFile loaded;
            loaded.LoadFromText(ini.SaveToText());
            target.ReadFrom(loaded, "S");
        }
        EXPECT_EQ(target.Iterations(), 77) << c;
        EXPECT_TRUE(target.DoCovariance()) << c;
        EXPECT_EQ(target.Expression(), "a*exp(b*x)+c") << c;
        EXPECT_EQ(target.Coefficients(), (std::vector<double>{1, 2.5, -3})) << c;
    }
    TVxFittedLine none;
    TVxIniFile ini;
    none.WriteTo(ini, "S");
    EXPECT_EQ(ini.ReadString("S", "Coefficients", {}), "None");
}

TEST_F(FittedLineSeriesTest, ForgedCoefficientCountsAreRefused) {
    TVxFittedLine source;
    source.SetExpression("a*x+b");
    QByteArray bytes = WriteBytes(source);
    // The count stands before the two coefficients, the formula text and the end byte.
    const QByteArray formula = QByteArray("a*x+b");
    const qsizetype countAt = bytes.size() - 1 - (4 + formula.size()) - 16 - 4;
    ASSERT_EQ(bytes[countAt], 2);
    TVxFittedLine target;
    for (int forged : {4, -1, 2000}) {
        QByteArray b = bytes;
        std::memcpy(b.data() + countAt, &forged, 4);
        EXPECT_THROW(ReadBytes(target, b), EVxStreamError) << forged;
    }
    pugi::xml_document doc;
    source.WriteTo(static_cast<pugi::xml_node>(doc));
    doc.first_child().child("Fit").child("Coefficients").attribute("Count").set_value("5");
    EXPECT_THROW(target.ReadFrom(doc.first_child()), EVxConvertError);
    doc.first_child().child("Fit").child("Coefficients").attribute("Count").set_value("99999");
    EXPECT_THROW(target.ReadFrom(doc.first_child()), EVxConvertError);
    TVxIniFile ini;
    source.WriteTo(ini, "S");
    ini.WriteInteger("S", "Order", 3);
    EXPECT_THROW(target.ReadFrom(ini, "S"), EVxConvertError);
    ini.WriteInteger("S", "Order", 5000);
    EXPECT_THROW(target.ReadFrom(ini, "S"), EVxStreamError);
    EXPECT_EQ(target.Order(), 0);
}

} // namespace
