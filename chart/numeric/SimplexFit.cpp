#include "numeric/SimplexFit.h"

#include "util/Exceptions.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <numeric>

namespace {

bool IsOperatorBefore(char c) {
    return std::string_view("*+-/^(").find(c) != std::string::npos;
}
bool IsOperatorAfter(char c) {
    return std::string_view("*+-/^)").find(c) != std::string::npos;
}

bool Standalone(const std::string& Text, char Letter) {
    for (std::size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] != Letter)
            continue;
        const bool before = i == 0 || IsOperatorBefore(Text[i - 1]);
        const bool after = i + 1 == Text.size() || IsOperatorAfter(Text[i + 1]);
        if (before && after)
            return true;
    }
    return false;
}

} // namespace

int FittingExpressionOrder(const std::string& Expression, int Iterations) {
    std::string text;
    for (char c : Expression)
        if (!std::isspace(static_cast<unsigned char>(c)))
            text.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    if (!Standalone(text, 'X'))
        throw EVxMathError("Expression must contain the independent variable X!");
    for (char letter = 'P'; letter >= 'A'; --letter)
        if (Standalone(text, letter))
            return letter - 'A' + 1;
    if (Iterations > 0)
        throw EVxMathError("Expression must contain a variable a..p");
    return 0;
}

void TVxSimplexFit::SetOrder(int N) {
    N = std::clamp(N, 0, MaxCoefficientCount);
    FCoefs.resize(static_cast<std::size_t>(N), 0.5);
    Simplex.assign(static_cast<std::size_t>(N + 1),
                   std::vector<double>(static_cast<std::size_t>(N)));
    ChiSqrs.assign(static_cast<std::size_t>(N + 1), 0.0);
}

void TVxSimplexFit::SetCoefficients(const std::vector<double>& Values) {
    if (Values.size() != FCoefs.size())
        SetOrder(static_cast<int>(std::min<std::size_t>(Values.size(), MaxCoefficientCount)));
    std::copy_n(Values.begin(), FCoefs.size(), FCoefs.begin());
}

double TVxSimplexFit::Misfit(const TVxSamples& Data, const std::vector<double>& Vertex) {
    if (OnNewCorner)
        OnNewCorner(Vertex);
    double chi = 0;
    const std::size_t n = Data.Count();
    if (ArrayModel) {
        FModelY.resize(n);
        ArrayModel(Data.X.first(n), Vertex, FModelY);
    }
    for (std::size_t i = 0; i < n; ++i) {
        const double y = ArrayModel ? FModelY[i] : Model(Data.X[i], Vertex);
        if (!DoCovariance) {
            const double d = Data.Y[i] - y;
            chi += Data.Wi(i) * d * d;
        } else {
            // The run that covers x_i maps the model's value back to an x.
            const auto it = std::upper_bound(FRunStart.begin(), FRunStart.end(), Data.X[i]);
            const std::size_t run =
                it == FRunStart.begin() ? 0 : static_cast<std::size_t>(it - FRunStart.begin()) - 1;
            const double xHat = FRuns[run].Interpolate(y);
            chi += Data.Wi(i) * std::abs((Data.X[i] - xHat) * (Data.Y[i] - y));
        }
    }
    // A misfit that is not a number never counts as the best.
    return std::isnan(chi) ? std::numeric_limits<double>::infinity() : chi;
}

void TVxSimplexFit::Rank() {
    Min = Max = 0;
    const int n = static_cast<int>(ChiSqrs.size());
    for (int k = 0; k < n; ++k) {
        if (ChiSqrs[k] >= ChiSqrs[Max])
            Max = k;
        else if (ChiSqrs[k] <= ChiSqrs[Min])
            Min = k;
    }
    Two = Min;
    for (int k = 0; k < n; ++k)
        if (k != Max && ChiSqrs[k] >= ChiSqrs[Two])
            Two = k;
}

void TVxSimplexFit::BuildInverseRuns(const TVxSamples& Data) {
    const std::size_t count = Data.Count();
    if (count < 3)
        throw EVxMathError("Not enough data points to interpolate covariance");
    std::vector<std::size_t> order(count);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return Data.X[a] < Data.X[b]; });
    // Equal x merged into their mean y, then equal neighbouring y into their mean x.
    std::vector<double> x, y;
    for (std::size_t k = 0; k < count;) {
        std::size_t e = k;
        double sum = 0;
        for (; e < count && Data.X[order[e]] == Data.X[order[k]]; ++e)
            sum += Data.Y[order[e]];
        x.push_back(Data.X[order[k]]);
        y.push_back(sum / static_cast<double>(e - k));
        k = e;
    }
    std::vector<double> mx, my;
    for (std::size_t k = 0; k < x.size();) {
        std::size_t e = k;
        double sum = 0;
        for (; e < x.size() && y[e] == y[k]; ++e)
            sum += x[e];
        mx.push_back(sum / static_cast<double>(e - k));
        my.push_back(y[k]);
        k = e;
    }
    const std::size_t p = mx.size();
    if (p < 3)
        throw EVxMathError("Not enough data points to interpolate covariance");
    FRuns.clear();
    FRunStart.clear();
    bool rising = my[0] < my[1];
    for (std::size_t s = 0; s + 1 < p;) {
        std::size_t e = s + 1;
        while (e < p && (rising ? my[e - 1] < my[e] : my[e - 1] > my[e]))
            ++e;
        std::vector<double> rx(mx.begin() + static_cast<std::ptrdiff_t>(s),
                               mx.begin() + static_cast<std::ptrdiff_t>(e));
        std::vector<double> ry(my.begin() + static_cast<std::ptrdiff_t>(s),
                               my.begin() + static_cast<std::ptrdiff_t>(e));
        if (rx.size() == 1) { // a lone point continues the step from its predecessor
            rx.insert(rx.begin(), mx[s - 1]);
            ry.insert(ry.begin(), my[s - 1]);
        }
        while (rx.size() < 3) {
            const std::size_t l = rx.size() - 1;
            rx.push_back(2 * rx[l] - rx[l - 1]);
            ry.push_back(2 * ry[l] - ry[l - 1]);
        }
        TVxSpline inverse;
        inverse.Calculate({ry, rx, {}}, TVxInterpolationMethod::Akima);
        FRuns.push_back(std::move(inverse));
        FRunStart.push_back(mx[s]);
        rising = !rising;
        s = e;
    }
}

void TVxSimplexFit::Calculate(const TVxSamples& Data) {
    if (Iterations > 0 && !Model)
        throw EVxMathError("No FittingFunction or Expression defined");
    FIteration = Iterations;
    FStopIterations = false;
    if (Iterations <= 0)
        return;
    const int n = Order();
    if (n < 1)
        throw EVxMathError("SimplexFit: no order set!");
    if (Data.Count() < static_cast<std::size_t>(n))
        throw EVxMathError("Not enough data points to calculate function");
    if (DoCovariance) {
        try {
            BuildInverseRuns(Data);
        } catch (const EVxException&) {
            DoCovariance = false;
            throw EVxMathError("SimplexFit: DoCovariance, reciprocal indefinite!");
        }
    }
    SetOrder(n);
    for (double& c : FCoefs)
        if (c == 0 || std::isnan(c))
            c = 1.0;

    for (int k = 0; k <= n; ++k) {
        Simplex[k] = FCoefs;
        if (k < n)
            Simplex[k][k] *= 2.05;
        ChiSqrs[k] = Misfit(Data, Simplex[k]);
    }
    Rank();
    FCurrentChiSquare = ChiSqrs[Min];
    FCoefs = Simplex[Min];

    std::vector<double> center(n), saved(n);
    while (!FStopIterations && FIteration >= 0 && FCurrentChiSquare != 0) {
        std::fill(center.begin(), center.end(), 0.0);
        for (int k = 0; k <= n; ++k)
            if (k != Max)
                for (int j = 0; j < n; ++j)
                    center[j] += Simplex[k][j];
        for (double& c : center)
            c /= n;
        auto& worst = Simplex[Max];
        for (int j = 0; j < n; ++j)
            worst[j] = center[j] + (center[j] - worst[j]);
        const double r = ChiSqrs[Max] = Misfit(Data, worst);
        if (ChiSqrs[Min] > r) {
            saved = worst;
            for (int j = 0; j < n; ++j)
                worst[j] = center[j] - 2 * (center[j] - saved[j]);
            ChiSqrs[Max] = Misfit(Data, worst);
            if (ChiSqrs[Max] >= r) {
                worst = saved;
                ChiSqrs[Max] = r;
            }
        } else if (r > ChiSqrs[Two]) {
            for (int j = 0; j < n; ++j)
                worst[j] = center[j] + (worst[j] - center[j]) / 2;
            ChiSqrs[Max] = Misfit(Data, worst);
            if (ChiSqrs[Two] >= ChiSqrs[Max]) {
                for (int k = 0; k <= n; ++k) {
                    if (k == Min)
                        continue;
                    for (int j = 0; j < n; ++j)
                        Simplex[k][j] = (Simplex[k][j] + Simplex[Min][j]) / 2;
                    ChiSqrs[k] = Misfit(Data, Simplex[k]);
                }
            }
        }
        Rank();
        // The misfit and the coefficients always come from the same vertex.
        FCurrentChiSquare = ChiSqrs[Min];
        FCoefs = Simplex[Min];
        if (OnIteration)
            OnIteration();
        --FIteration;
    }

    FAverageX = FAverageY = FVarianceX = FVarianceY = 0;
    const std::size_t count = Data.Count();
    double w = 0, swx = 0, swy = 0;
    for (std::size_t i = 0; i < count; ++i) {
        w += Data.Wi(i);
        swx += Data.Wi(i) * Data.X[i];
        swy += Data.Wi(i) * Data.Y[i];
    }
    if (w > 0) {
        FAverageX = swx / w;
        FAverageY = swy / w;
    }
    double sxx = 0, syy = 0;
    for (std::size_t i = 0; i < count; ++i) {
        sxx += Data.Wi(i) * (Data.X[i] - FAverageX) * (Data.X[i] - FAverageX);
        syy += Data.Wi(i) * (Data.Y[i] - FAverageY) * (Data.Y[i] - FAverageY);
    }
    const double scale = DoCovariance ? std::sqrt(syy * sxx) : syy;
    FProbability = scale > 0 ? 1 - FCurrentChiSquare / scale : 1.0;
    if (w > 1) {
        FVarianceX = sxx / (w - 1);
        FVarianceY = syy / (w - 1);
    }
}
