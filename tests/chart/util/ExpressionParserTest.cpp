// Expected values come from tests/chart/util/expression_reference.py (Python's math module).
#include "util/ExpressionParser.h"

#include "QStringPrinter.h"
#include "util/Exceptions.h"
#include "util/ExpressionFunctions.h"
#include "util/FormatSettings.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

double Evaluate(const QString& Text) {
    TVxFunctionParser parser;
    parser.SetExpression(Text);
    return parser.Result();
}

// The message of the EVxException that Body raises ("" when it raises none).
template <class Fn> QString MessageOf(Fn&& Body) {
    try {
        Body();
    } catch (const EVxException& e) {
        return e.Message();
    }
    return {};
}

struct TValueCase {
    const char* Text;
    double Expected;
};

const TValueCase ValueCases[] = {
    {"2^3^2", 64.0},
    {"-2^2", -4.0},
    {"2^-1", 0.5},
    {"1E-3*2", 0.002},
    {"10-2-3", 5.0},
    {"8/4/2", 1.0},
    {"sin[pi / 2]", 1.0},
    {"2*(-3)", -6.0},
    {"1+2*3^2", 19.0},
    {"(1+2)*3", 9.0},
    {"-(3-5)^2", -4.0},
    {"2^3*2", 16.0},
    {"+4-2", 2.0},
    {"2^-1^2", 0.25},
    {"1.5E+2/3", 50.0},
    {".5+5.", 5.5},
    {"(-8)^(1/3*3)", -8.0},
    {"Round(2.5)", 2.0},
    {"Round(3.5)", 4.0},
    {"Round(-2.5)", -2.0},
    {"Round(-2.6)", -3.0},
    {"Frac(-2.75)", -0.75},
    {"ArcTanh(0.5)", 0.5493061443340548},
    {"Int(-2.7)", -2.0},
    {"e", 2.71828182845905},
    {"E*2", 5.4365636569181},
    {"PI", 3.141592653589793},
    {"Exp(Ln(2)*10)", 1024.0},
    {"Sqr(3)+Sqrt(16)", 13.0},
    {"Lg(1000)+Lg10(100)+Lg2(8)", 8.0},
    {"Abs(-3)*Cos(0)", 3.0},
    {"[[[1]]]", 1.0},
};

TEST(ExpressionParserTest, EvaluatesGrammarAndPrecedence) {
    for (const TValueCase& c : ValueCases) {
        SCOPED_TRACE(c.Text);
        EXPECT_DOUBLE_EQ(Evaluate(c.Text), c.Expected);
    }
}

struct TFunctionCase {
    const char* Id;
    double Argument;
    double Expected;
};

const TFunctionCase FunctionCases[] = {
    {"Abs", -2.5, 2.5},
    {"ArcCos", 0.3, 1.2661036727794992},
    {"ArcCosh", 2.0, 1.3169578969248166},
    {"ArcSin", 0.3, 0.3046926540153975},
    {"ArcSinh", 2.0, 1.4436354751788103},
    {"ArcTan", 2.0, 1.1071487177940904},
    {"ArcTanh", -0.3, -0.30951960420311175},
    {"Ceil", -2.5, -2.0},
    {"Cos", 1.2, 0.3623577544766736},
    {"Cosh", 1.2, 1.8106555673243747},
    {"Cotan", 1.2, 0.38877956936820496},
    {"DegToRad", 30.0, 0.5235987755982988},
    {"Exp", 1.2, 3.3201169227365472},
    {"Floor", -2.5, -3.0},
    {"Frac", 2.75, 0.75},
    {"Int", 2.75, 2.0},
    {"Ln", 7.0, 1.9459101490553132},
    {"Lg10", 7.0, 0.8450980400142568},
    {"Lg", 7.0, 0.8450980400142568},
    {"Lg2", 7.0, 2.807354922057604},
    {"RadToDeg", 1.2, 68.75493541569878},
    {"Round", 0.5, 0.0},
    {"Sin", 1.2, 0.9320390859672263},
    {"Sinh", 1.2, 1.5094613554121725},
    {"Sqrt", 7.0, 2.6457513110645907},
    {"Sqr", -1.5, 2.25},
    {"Tan", 1.2, 2.5721516221263188},
    {"Tanh", 1.2, 0.8336546070121552},
};

TEST(ExpressionParserTest, BuiltInFunctionsInTheirOrder) {
    const TVxFunctionsList& functions = GlobalFunctions();
    ASSERT_GE(functions.Count(), int(std::size(FunctionCases)));
    for (std::size_t i = 0; i < std::size(FunctionCases); ++i) {
        const TFunctionCase& c = FunctionCases[i];
        SCOPED_TRACE(c.Id);
        EXPECT_EQ(functions[int(i)].Id, QString::fromLatin1(c.Id));
        const QString call = QString::fromLatin1(c.Id).toLower() + u'(' +
                             QString::number(c.Argument, 'g', 17) + u')';
        EXPECT_DOUBLE_EQ(Evaluate(call), c.Expected);
    }
    EXPECT_EQ(functions[0].Comment, "Absolute positive value");
    EXPECT_EQ(GlobalFunctions().Find(u"round")->AFunction(-0.5), 0.0);
}

struct TErrorCase {
    const char* Text;
    const char* Message;
};

TEST(ExpressionParserTest, ParseErrorsLeaveNoProgram) {
    const TErrorCase cases[] = {
        {"(1+2", "1 closing brackets missing"},
        {"((1+2", "2 closing brackets missing"},
        {"1+2)", "1 opening brackets missing"},
        {"2*-3", "Parsing error in function:\r"},
        {"2^^3", "Parsing error in function:\r"},
        {"4-+2", "Parsing error in function:\r"},
        {"foo+1", "Parsing error in function:\rFOO"},
        {"Sin(1)(2)", "Parsing error in function:\r1)(2"},
        {"1E400", "Parsing error in function:\r1E400"},
        {"1.2.3", "Parsing error in function:\r1.2.3"},
        {"1,5", "Parsing error in function:\r1,5"},
        {"NAN", "Parsing error in function:\rNAN"},
        {"Sin", "Parsing error in function:\rSIN"},
    };
    const TVxFormatSettings previous = TVxFormatSettings::Current();
    TVxFormatSettings::SetCurrent(TVxFormatSettings::Invariant());
    for (const TErrorCase& c : cases) {
        SCOPED_TRACE(c.Text);
        TVxFunctionParser parser;
        EXPECT_THROW(parser.SetExpression(c.Text), EVxMathError);
        EXPECT_EQ(MessageOf([&] { parser.SetExpression(c.Text); }), QString(c.Message));
        EXPECT_EQ(MessageOf([&] { parser.Result(); }), "No valid expression defined");
    }
    TVxFormatSettings::SetCurrent(previous);
}

TEST(ExpressionParserTest, NonFiniteResultsOfFiniteOperandsRaise) {
    const char* const divide = "Floating point division by zero";
    const char* const invalid = "Invalid floating point operation";
    const char* const overflow = "Floating point overflow";
    const TErrorCase cases[] = {
        {"1/0", divide},           {"-1/0", divide},           {"0/0", invalid},
        {"Ln(0)", divide},         {"Ln(-1)", invalid},        {"Sqrt(-1)", invalid},
        {"Exp(1000)", overflow},   {"10^400", overflow},       {"0^-1", divide},
        {"(-8)^(1/3)", invalid},   {"Cotan(0)", divide},       {"1E308*10", overflow},
        {"ArcTanh(1)", divide},    {"ArcCos(2)", invalid},     {"Sqr(1E200)", overflow},
        {"1E308+1E308", overflow}, {"-1E308-1E308", overflow},
    };
    for (const TErrorCase& c : cases) {
        SCOPED_TRACE(c.Text);
        TVxFunctionParser parser;
        parser.SetExpression(c.Text);
        EXPECT_THROW(parser.Result(), EVxMathError);
        EXPECT_EQ(MessageOf([&] { parser.Result(); }), QString(c.Message));
    }
}

TEST(ExpressionParserTest, NonFiniteVariablesPassThrough) {
    TVxFunctionParser parser;
    double value = std::numeric_limits<double>::quiet_NaN();
    RegisterDoubleGetter("V", "", nullptr, parser.VariablesList, [&] { return value; });
    parser.SetExpression("V*2+Ln(V)");
    EXPECT_TRUE(std::isnan(parser.Result()));
    value = std::numeric_limits<double>::infinity();
    EXPECT_EQ(parser.Result(), std::numeric_limits<double>::infinity());
}

TEST(ExpressionParserTest, FailedAssignmentKeepsTextAndProgram) {
    TVxFunctionParser parser;
    EXPECT_EQ(MessageOf([&] { parser.Result(); }), "No valid expression defined");
    parser.SetExpression("sin [ pi / 2 ] + 2");
    EXPECT_EQ(parser.Expression(), "sin(pi/2)+2");
    for (const char* bad : {"(1", "1)", "nosuch", "nosuch"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(parser.SetExpression(bad), EVxMathError);
        EXPECT_EQ(parser.Expression(), "sin(pi/2)+2");
        EXPECT_DOUBLE_EQ(parser.Result(), 3.0);
    }
    parser.SetExpression("");
    EXPECT_EQ(parser.Expression(), "");
    EXPECT_EQ(MessageOf([&] { parser.Result(); }), "No valid expression defined");
}

QString Repeat(const QString& Text, int Count) {
    QString result;
    for (int i = 0; i < Count; ++i)
        result += Text;
    return result;
}

TEST(ExpressionParserTest, NestingIsCappedChainsAreNot) {
    const int max = TVxFunctionParser::MaxNesting;
    EXPECT_DOUBLE_EQ(Evaluate(Repeat("(", max) + "1" + Repeat(")", max)), 1.0);
    const QString deepError = "Parsing error in function:\rbrackets nested deeper than 256 levels";
    EXPECT_EQ(MessageOf([&] { Evaluate(Repeat("(", max + 1) + "1" + Repeat(")", max + 1)); }),
              deepError);
    EXPECT_EQ(MessageOf([&] { Evaluate(Repeat("(", 100000) + "1" + Repeat(")", 100000)); }),
              deepError);
    EXPECT_EQ(MessageOf([&] { Evaluate(Repeat("Sin(", 100000) + "1" + Repeat(")", 100000)); }),
              deepError);
    // Brackets opened and closed in turn are not nested.
    EXPECT_DOUBLE_EQ(Evaluate(Repeat("(1)+", 1000) + "0"), 1000.0);
    // Right-nested sums keep up to MaxNesting values on the evaluation stack.
    EXPECT_DOUBLE_EQ(Evaluate(Repeat("1+(", 200) + "1" + Repeat(")", 200)), 201.0);
    // Long chains of one level are flat, however long.
    EXPECT_DOUBLE_EQ(Evaluate("1" + Repeat("+1", 99999)), 100000.0);
    EXPECT_DOUBLE_EQ(Evaluate("1" + Repeat("-1", 99999)), -99998.0);
    EXPECT_DOUBLE_EQ(Evaluate("1" + Repeat("*2", 1000) + Repeat("/2", 1000)), 1.0);
    EXPECT_DOUBLE_EQ(Evaluate("1" + Repeat("^1", 100000)), 1.0);
}

TEST(ExpressionParserTest, ParserVariablesAreLiveAndShadowGlobalOnes) {
    const struct {
        double A, B, X, C, Expected;
    } cases[] = {
        {2.0, 0.5, 3.0, 1.0, 9.963378140676129},
        {-1.5, -0.25, 4.0, 0.5, -0.0518191617571635},
    };
    TVxFunctionParser parser;
    double a = 0, b = 0, x = 0, c = 0;
    RegisterDoubleGetter("A", "", nullptr, parser.VariablesList, [&] { return a; });
    RegisterDoubleGetter("B", "", nullptr, parser.VariablesList, [&] { return b; });
    RegisterDoubleGetter("X", "", nullptr, parser.VariablesList, [&] { return x; });
    RegisterDoubleGetter("C", "", nullptr, parser.VariablesList, [&] { return c; });
    parser.SetExpression("a*exp(b*x)+c");
    for (const auto& m : cases) {
        a = m.A, b = m.B, x = m.X, c = m.C;
        EXPECT_DOUBLE_EQ(parser.Result(), m.Expected);
    }
    // "E" registered by the parser's user replaces Euler's number, whatever the case.
    RegisterDoubleGetter("E", "", nullptr, parser.VariablesList, [] { return 5.0; });
    EXPECT_EQ(parser.VariablesList.Count(), 7);
    parser.SetExpression("e*2");
    EXPECT_EQ(parser.Result(), 10.0);
    // A function of the parser's own list comes before the built-in one.
    RegisterFunction(
        "sin", "", [](double) { return 42.0; }, parser.FunctionsList);
    parser.SetExpression("Sin(0)");
    EXPECT_EQ(parser.Result(), 42.0);
}

TEST(ExpressionParserTest, RandomIsUniformAndNotRepeatedAcrossParsers) {
    TVxFunctionParser first;
    TVxFunctionParser second;
    first.SetExpression("Random");
    second.SetExpression("random");
    std::vector<double> a, b;
    for (int i = 0; i < 8; ++i) {
        a.push_back(first.Result());
        b.push_back(second.Result());
        EXPECT_GE(a.back(), 0.0);
        EXPECT_LT(a.back(), 1.0);
    }
    EXPECT_NE(a, b);
    EXPECT_NE(a[0], a[1]);
}

TEST(ExpressionParserTest, NumbersWithTheUserDecimalSeparator) {
    const TVxFormatSettings previous = TVxFormatSettings::Current();
    TVxFormatSettings::SetCurrent(TVxFormatSettings::FromLocale(QLocale(QLocale::German)));
    EXPECT_DOUBLE_EQ(Evaluate("1,5*2"), 3.0);
    EXPECT_DOUBLE_EQ(Evaluate("1.5*2"), 3.0);
    EXPECT_DOUBLE_EQ(Evaluate("2,5E-1"), 0.25);
    EXPECT_THROW(Evaluate("1,5,0"), EVxMathError);
    TVxFormatSettings::SetCurrent(previous);
}

TEST(ExpressionParserTest, ChangingTheExpressionWhileEvaluatingRaises) {
    TVxFunctionParser parser;
    RegisterDoubleGetter("Self", "", nullptr, parser.VariablesList, [&] {
        parser.SetExpression("2");
        return 1.0;
    });
    parser.SetExpression("Self+1");
    EXPECT_EQ(MessageOf([&] { parser.Result(); }), "Expression changed while being evaluated");
    EXPECT_EQ(parser.Expression(), "Self+1");
}

} // namespace

TEST(ExpressionParserTest, ArrayEvaluationGivesThePointByPointResults) {
    // Values over three blocks: -2 .. 10 in steps of 0.02 (0 and 1 exactly included).
    std::vector<double> values;
    for (int i = 0; i <= 600; ++i)
        values.push_back((i - 100) / 50.0);
    double a = 0.75, b = 0.5, x = 0;
    TVxFunctionParser parser;
    RegisterDoubleGetter("X", "", nullptr, parser.VariablesList, [&] { return x; });
    RegisterDoubleGetter("A", "", nullptr, parser.VariablesList, [&] { return a; });
    RegisterDoubleGetter("B", "", nullptr, parser.VariablesList, [&] { return b; });
    parser.SetArrayVariable("x");
    EXPECT_EQ(parser.ArrayVariable(), "X");
    // Values, or the message of the first error, value by value through Result.
    auto pointByPoint = [&](std::vector<double>& Out) {
        return MessageOf([&] {
            for (std::size_t i = 0; i < values.size(); ++i) {
                x = values[i];
                Out[i] = parser.Result();
            }
        });
    };
    const char* const divide = "Floating point division by zero";
    const char* const invalid = "Invalid floating point operation";
    const char* const overflow = "Floating point overflow";
    const TErrorCase cases[] = {
        {"a*exp(b*x)", ""},
        {"x", ""},
        {"2.5", ""},
        {"-x^2+a*x-b", ""},
        {"Sin(x)*Cos(a)/(1+x*x)", ""},
        {"(a+b)*x^3", ""},
        {"Random*0+x", ""},
        {"Sqrt(x+2)", ""},            // 0 at the first value
        {"1/x", divide},              // at the 101st value
        {"Ln(x)", invalid},           // from the first value on
        {"1/(x-5)+Ln(x+1)", invalid}, // a later value divides by zero
        {"Exp(x*100)", overflow},     // in the last block
        {"(x-1)^-1", divide},         // 0^-1 in the second block
        {"Sqrt(x-9.9)*0+x", invalid}, // the first value
        {"x/0.0+a", divide},          // every value
        {"ArcTanh(x/10)", divide},    // the last value
    };
    for (const TErrorCase& c : cases) {
        SCOPED_TRACE(c.Text);
        parser.SetExpression(c.Text);
        std::vector<double> expected(values.size(), 0.0), got(values.size(), 0.0);
        ASSERT_EQ(pointByPoint(expected), QString(c.Message));
        EXPECT_EQ(MessageOf([&] { parser.ResultArray(values, got); }), QString(c.Message));
        if (QString(c.Message).isEmpty()) {
            for (std::size_t i = 0; i < values.size(); ++i)
                EXPECT_EQ(got[i], expected[i]) << "at " << values[i];
        }
    }
    // A coefficient that is not finite passes through, as in Result.
    a = std::numeric_limits<double>::quiet_NaN();
    parser.SetExpression("a*x+Ln(a)");
    std::vector<double> got(values.size(), 0.0);
    parser.ResultArray(values, got);
    EXPECT_TRUE(std::all_of(got.begin(), got.end(), [](double v) { return std::isnan(v); }));
    // Without an expression, as Result.
    parser.SetExpression("");
    EXPECT_EQ(MessageOf([&] { parser.ResultArray(values, got); }), "No valid expression defined");
}
