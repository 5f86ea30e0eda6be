#include "ExpressionFunctions.h"

#include <cmath>

namespace {

struct TBuiltIn {
    const char* Id;
    const char* Comment;
    TVxOnePrmFunction Function;
};

// Plain functions, so that the evaluator calls them through one pointer without overload
// resolution or wrappers.
double Abs(double x) {
    return std::fabs(x);
}
double ArcCos(double x) {
    return std::acos(x);
}
double ArcCosh(double x) {
    return std::acosh(x);
}
double ArcSin(double x) {
    return std::asin(x);
}
double ArcSinh(double x) {
    return std::asinh(x);
}
double ArcTan(double x) {
    return std::atan(x);
}
double ArcTanh(double x) {
    return std::atanh(x);
}
double Ceil(double x) {
    return std::ceil(x);
}
double Cos(double x) {
    return std::cos(x);
}
double Cosh(double x) {
    return std::cosh(x);
}
double Cotan(double x) {
    return 1.0 / std::tan(x);
}
double DegToRad(double x) {
    return x * 0.017453292519943295769;
}
double Exp(double x) {
    return std::exp(x);
}
double Floor(double x) {
    return std::floor(x);
}
double Frac(double x) {
    return x - std::trunc(x);
}
double Int(double x) {
    return std::trunc(x);
}
double Ln(double x) {
    return std::log(x);
}
double Lg10(double x) {
    return std::log10(x);
}
double Lg2(double x) {
    return std::log2(x);
}
double RadToDeg(double x) {
    return x * 57.295779513082320877;
}
double Sin(double x) {
    return std::sin(x);
}
double Sinh(double x) {
    return std::sinh(x);
}
double Sqrt(double x) {
    return std::sqrt(x);
}
double Sqr(double x) {
    return x * x;
}
double Tan(double x) {
    return std::tan(x);
}
double Tanh(double x) {
    return std::tanh(x);
}

const TBuiltIn BuiltIns[] = {
    {"Abs", "Absolute positive value", Abs},
    {"ArcCos", "Reciprocal of cosine", ArcCos},
    {"ArcCosh", "Reciprocal of hyperbolic cosine", ArcCosh},
    {"ArcSin", "Reciprocal of Sine", ArcSin},
    {"ArcSinh", "Reciprocal of hyperbolic sine", ArcSinh},
    {"ArcTan", "Reciprocal of tangent", ArcTan},
    {"ArcTanh", "Reciprocal of hyperbolic tangent", ArcTanh},
    {"Ceil", "The smallest integer greater than or equal to its argument", Ceil},
    {"Cos", "Cosine", Cos},
    {"Cosh", "Hyperbolic cosine", Cosh},
    {"Cotan", "Cotangent", Cotan},
    {"DegToRad", "Convert angle degrees to radiant", DegToRad},
    {"Exp", "e (the base of natural logarithms) raised to a power", Exp},
    {"Floor", "The largest integer that is not greater than the argument", Floor},
    {"Frac", "The fractional part of a real number", Frac},
    {"Int", "The integer portion of a real number", Int},
    {"Ln", "The natural logarithm of a number", Ln},
    {"Lg10", "The logarithm base 10 of a number", Lg10},
    {"Lg", "The logarithm base 10 of a number", Lg10},
    {"Lg2", "The logarithm base 2 of a number", Lg2},
    {"RadToDeg", "", RadToDeg},
    {"Round", "Returns an integer closest in value to the argument", RoundHalfEven},
    {"Sin", "Sine", Sin},
    {"Sinh", "Hyperbolic sine", Sinh},
    {"Sqrt", "Square root", Sqrt},
    {"Sqr", "Square", Sqr},
    {"Tan", "Tangent", Tan},
    {"Tanh", "Hyperbolic tangent", Tanh},
};

} // namespace

double RoundHalfEven(double x) {
    // Independent of the floating-point rounding mode, unlike nearbyint.
    const double r = std::round(x); // halves away from zero
    if (std::fabs(r - x) == 0.5)
        return 2.0 * std::round(x / 2.0);
    return r;
}

void RegisterBuiltInFunctions(TVxFunctionsList& List) {
    for (const TBuiltIn& f : BuiltIns)
        RegisterFunction(QString::fromLatin1(f.Id), QString::fromLatin1(f.Comment), f.Function,
                         List);
}
