// Cost of one evaluation of a fit model, as a simplex fit runs it millions of times: the
// model "a*exp(b*x)+c" with its coefficients and x read through the parser's variables,
// next to the same formula written in C++ (the floor set by exp itself). Also the cost of
// parsing, which happens once per expression change, and of a long flat sum.
#include "util/ExpressionParser.h"

#include <benchmark/benchmark.h>
#include <cmath>

namespace {

struct TModel {
    double A = 2.0, B = -0.5, X = 0.0, C = 1.0;

    void RegisterIn(TVxFunctionParser& Parser) {
        RegisterDoubleGetter("A", "", nullptr, Parser.VariablesList, [this] { return A; });
        RegisterDoubleGetter("B", "", nullptr, Parser.VariablesList, [this] { return B; });
        RegisterDoubleGetter("X", "", nullptr, Parser.VariablesList, [this] { return X; });
        RegisterDoubleGetter("C", "", nullptr, Parser.VariablesList, [this] { return C; });
    }
};

void BM_EvaluateModel(benchmark::State& State) {
    TModel model;
    TVxFunctionParser parser;
    model.RegisterIn(parser);
    parser.SetExpression("a*exp(b*x)+c");
    for (auto _ : State) {
        model.X += 1e-6;
        benchmark::DoNotOptimize(parser.Result());
    }
    State.SetItemsProcessed(State.iterations());
}
BENCHMARK(BM_EvaluateModel);

void BM_ModelInCpp(benchmark::State& State) {
    TModel model;
    for (auto _ : State) {
        model.X += 1e-6;
        benchmark::DoNotOptimize(model.A * std::exp(model.B * model.X) + model.C);
    }
    State.SetItemsProcessed(State.iterations());
}
BENCHMARK(BM_ModelInCpp);

void BM_ParseModel(benchmark::State& State) {
    TModel model;
    TVxFunctionParser parser;
    model.RegisterIn(parser);
    bool flip = false;
    for (auto _ : State) {
        // Two texts in turn, so that every iteration parses.
        parser.SetExpression((flip = !flip) ? "a*exp(b*x)+c" : "a*exp(b*x)+c+0");
        benchmark::DoNotOptimize(parser.Expression().data());
    }
    State.SetItemsProcessed(State.iterations());
}
BENCHMARK(BM_ParseModel);

// Parse and evaluate "1+1+...+1" of n terms: both should grow linearly with n.
void BM_ParseLongSum(benchmark::State& State) {
    QString text = "1";
    for (int i = 1; i < State.range(0); ++i)
        text += "+1";
    for (auto _ : State) {
        TVxFunctionParser parser;
        parser.SetExpression(text);
        benchmark::DoNotOptimize(parser.Result());
    }
    State.SetComplexityN(State.range(0));
    State.SetItemsProcessed(State.iterations() * State.range(0));
}
BENCHMARK(BM_ParseLongSum)->RangeMultiplier(10)->Range(100, 100000)->Complexity();

} // namespace
