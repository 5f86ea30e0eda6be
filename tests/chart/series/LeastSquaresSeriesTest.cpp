// TVxPolynomial and TVxGeneralLinearLeastSquares: weighted fits against
// function_series_reference.py, exact interpolation and its not-enough-points case, the
// coefficient range check, the order setter, the formulas, the caption variables and the
// records with hostile orders.

#include "series/LeastSquaresSeries.h"

#include "FunctionSeriesFixture.h"
#include "undo/UndoStack.h"
#include "util/Exceptions.h"

#include <cmath>

namespace {

using LeastSquaresTest = CurveTest;

TEST_F(LeastSquaresTest, AWeightedPolynomialMatchesTheReferenceFit) {
    TVxPolynomial s;
    Attach(s);
    TVxDoubleVector w;
    for (int i = 0; i < 20; ++i) {
        const double x = 0.5 * i;
        X.Add(x);
        Y.Add(std::cos(x) + x / 3);
        w.Add(1.0 + i % 3);
    }
    s.SetWeight(&w);
    s.SetOrder(5);
    s.Calculate();
    ASSERT_FALSE(s.CalculationFailed());
    // function_series_reference.py
    const double coeffs[] = {0.9192032982354633, 1.0632922969712506,   -1.5930167316629995,
                             0.5710439322414395, -0.07280970798866421, 0.0030809900776736};
    const double deltas[] = {8.5931127520114192e-01, 1.7990303067599345e+00,
                             1.1671230404258168e+00, 3.0877046256635554e-01,
                             3.5399089451998905e-02, 1.4615969853422517e-03};
    for (int j = 0; j <= 5; ++j) {
        EXPECT_NEAR(s.GetCoeff(j), coeffs[j], 1e-9 * std::max(1.0, std::abs(coeffs[j]))) << j;
        EXPECT_NEAR(s.GetDeltaCoeff(j), deltas[j], 1e-9 * deltas[j]) << j;
    }
    EXPECT_NEAR(s.SumOfResiduals(), 0.131402261183341, 1e-12);
    EXPECT_NEAR(s.Probability(), 0.997082134887367, 1e-12);
    EXPECT_NEAR(s.QRel(), 0.0621672935533252, 1e-12);
    double horner = 0;
    for (int j = 5; j >= 0; --j)
        horner = horner * 2.25 + coeffs[j];
    EXPECT_NEAR(s.GetY(2.25), horner, 1e-9);
}

TEST_F(LeastSquaresTest, ABasisFunctionFitMatchesTheReference) {
    TVxGeneralLinearLeastSquares s;
    Attach(s);
    for (int i = 0; i < 12; ++i) {
        X.Add(i);
        Y.Add(2 + 3 * std::sin(i) - 0.5 * std::cos(i) + 0.1 * (i % 2 ? -1 : 1));
    }
    std::string error;
    s.OnCalculationError = [&](TVxFunctionSeries*, const std::exception& e) { error = e.what(); };
    s.Calculate();
    EXPECT_EQ(error, "No BasisFunction defined");
    s.SetBasisFunction(
        [&](TVxCustomGeneralLinearLeastSquares* Sender, const TVxGeneralLinearFittingArgs& e) {
            EXPECT_EQ(Sender, &s);
            return e.Index == 0 ? 1.0 : e.Index == 1 ? std::sin(e.X) : std::cos(e.X);
        });
    s.Calculate();
    EXPECT_FALSE(s.CalculationFailed());
    EXPECT_NEAR(s.GetCoeff(0), 2, 1e-12);
    EXPECT_NEAR(s.GetCoeff(1), 3.0035708345088645, 1e-12);
    EXPECT_NEAR(s.GetCoeff(2), -0.49644493410987756, 1e-12);
    EXPECT_NEAR(s.GetY(1.5),
                2 + 3.0035708345088645 * std::sin(1.5) - 0.49644493410987756 * std::cos(1.5),
                1e-12);
    EXPECT_EQ(s.Formula(), QStringLiteral("Y=\u03A3\\-i\\-a\\-i\\-Xf\\-i\\-(X)"));
}

TEST_F(LeastSquaresTest, AnOrderTwoPolynomialThroughThreePointsReproducesThem) {
    TVxPolynomial s;
    Attach(s);
    Fill({-1, 2, 4}, {6, 3, 11}); // y = x^2 - 2x + 3
    s.Calculate();
    EXPECT_NEAR(s.GetCoeff(0), 3, 1e-12);
    EXPECT_NEAR(s.GetCoeff(1), -2, 1e-12);
    EXPECT_NEAR(s.GetCoeff(2), 1, 1e-12);
    EXPECT_NEAR(s.SumOfResiduals(), 0, 1e-20);
    // Two equal X among three points: the fit is not determined; the results stay.
    std::string error;
    s.OnCalculationError = [&](TVxFunctionSeries*, const std::exception& e) { error = e.what(); };
    Fill({1, 1, 2}, {1, 2, 3});
    s.Calculate();
    EXPECT_EQ(error, "Not enough data points to calculate function");
    EXPECT_NEAR(s.GetCoeff(2), 1, 1e-12);
}

TEST_F(LeastSquaresTest, CoefficientIndicesOutsideTheOrderRaiseTheRangeError) {
    TVxPolynomial s;
    for (int index : {-1, 3, 1 << 30}) {
        EXPECT_THROW(s.GetCoeff(index), EVxRangeError) << index;
        EXPECT_THROW(s.GetDeltaCoeff(index), EVxRangeError) << index;
        try {
            s.GetCoeff(index);
        } catch (const EVxRangeError& e) {
            EXPECT_STREQ(e.what(), "General Linear Least Squares: Index of variable out of range");
        }
    }
    EXPECT_EQ(s.GetCoeff(2), 1.0);
}

TEST_F(LeastSquaresTest, TheOrderSetterResetsTheCoefficientsAndTheMinimumCount) {
    TVxUndoStack undo;
    TVxGeneralLinearLeastSquares g;
    g.SetUndoStack(&undo);
    EXPECT_EQ(g.Order(), 2);
    EXPECT_EQ(g.MinCount(), 3);
    g.SetOrder(-4);
    EXPECT_EQ(g.Order(), 0);
    EXPECT_EQ(g.MinCount(), 1);
    EXPECT_EQ(undo.UndoList().value(0), "General linear least squares order");
    g.SetOrder(1 << 30);
    EXPECT_EQ(g.Order(), MaxCoefficientCount - 1);
    g.SetOrder(4);
    EXPECT_EQ(g.GetCoeff(4), 1.0);
    ASSERT_TRUE(undo.Undo());
    EXPECT_EQ(g.Order(), MaxCoefficientCount - 1);
    // A polynomial that has been calculated keeps at least order 2.
    TVxPolynomial p;
    Attach(p);
    Fill({0, 1, 2, 3}, {1, 2, 5, 10});
    p.SetOrder(1);
    EXPECT_EQ(p.Order(), 1);
    p.Calculate();
    p.SetOrder(0);
    EXPECT_EQ(p.Order(), 2);
}

TEST_F(LeastSquaresTest, PolynomialFormulas) {
    const struct {
        int Order;
        const char* Formula;
    } cases[] = {
        {3, "Y=a+bX+cX\\+2\\++dX\\+3\\+"},
        {5, "Y=a+bX+cX\\+2\\++dX\\+3\\++eX\\+4\\++fX\\+5\\+"},
        {6, "Y=a+bX+cX\\+2\\++dX\\+3\\++eX\\+4\\++...+gX\\+6\\+"},
        {7, "Y=a+bX+cX\\+2\\++dX\\+3\\++eX\\+4\\++...+hX\\+7\\+"},
    };
    for (const auto& c : cases) {
        TVxPolynomial p;
        p.SetOrder(c.Order);
        EXPECT_EQ(p.Formula(), c.Formula) << c.Order;
    }
}

TEST_F(LeastSquaresTest, OffersCoefficientsAsIndexedVariables) {
    QObject form;
    form.setObjectName("LsqForm");
    TVxPolynomial s(&form);
    s.SetName("Fit");
    Attach(s);
    Fill({-1, 2, 4}, {6, 3, 11});
    s.Calculate();
    const TVxDoubleArrayRec* coeffs = GlobalDoubleArrays().Find(u"LsqForm.Fit.Coefficients");
    ASSERT_NE(coeffs, nullptr);
    EXPECT_NEAR(coeffs->AArray(1), -2, 1e-12);
    EXPECT_THROW(coeffs->AArray(3), EVxRangeError);
    EXPECT_NE(GlobalDoubleArrays().Find(u"LsqForm.Fit.DEltaCoefficients"), nullptr);
    QStringList ids;
    for (const TVxDoubleGetterRec& r : GlobalDoubleGetters().Items())
        if (r.Container == &s)
            ids << r.Id;
    EXPECT_EQ(ids, QStringList({"CalculationStart", "CalculationStop", "DisplayStart",
                                "DisplayStop", "AverageX", "AverageY", "VarianceX", "VarianceY",
                                "Probability", "SumOfResiduals", "QRel"}));
}

TEST_F(LeastSquaresTest, RecordsRoundTripAndRefuseHostileOrders) {
    for (TCurveContainer c :
         {TCurveContainer::Stream, TCurveContainer::Xml, TCurveContainer::Ini}) {
        TVxPolynomial source, target;
        source.SetOrder(7);
        source.SetAutoStop(false);
        TransferCurve(source, target, c);
        EXPECT_EQ(target.Order(), 7) << int(c);
        EXPECT_FALSE(target.AutoStop()) << int(c);
    }
    TVxPolynomial p;
    p.SetOrder(4);
    const QByteArray record = CurveBytes(p);
    EXPECT_EQ(record.right(5).toHex(), "0400000000");
    for (int32_t bad : {-1, MaxCoefficientCount, 0x7FFFFFFF}) {
        QByteArray hostile = record;
        hostile.replace(hostile.size() - 5, 4, QByteArray(reinterpret_cast<const char*>(&bad), 4));
        TVxPolynomial target;
        target.SetOrder(3);
        EXPECT_THROW(ReadCurveBytes(target, hostile), EVxStreamError) << bad;
        EXPECT_EQ(target.Order(), 3);
        EXPECT_EQ(target.GetCoeff(3), 1.0);
    }
    pugi::xml_document doc;
    p.WriteTo(static_cast<pugi::xml_node>(doc));
    EXPECT_EQ(doc.first_child().child("Polynomial").attribute("Order").as_int(), 4);
    TVxGeneralLinearLeastSquares g;
    pugi::xml_document gdoc;
    g.WriteTo(static_cast<pugi::xml_node>(gdoc));
    EXPECT_TRUE(gdoc.first_child().child("GeneralLinearLeastSquares"));
}

} // namespace
