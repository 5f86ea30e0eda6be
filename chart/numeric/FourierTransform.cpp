#include "numeric/FourierTransform.h"

#include "numeric/Splines.h"
#include "util/Exceptions.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

using Complex = std::complex<double>;

// The plain product: std::complex's operator* also mends infinities and NaNs through a
// library call, which costs several times the arithmetic in the inner loops.
inline Complex Mul(Complex a, Complex b) {
    return {a.real() * b.real() - a.imag() * b.imag(), a.real() * b.imag() + a.imag() * b.real()};
}

// -i z
inline Complex MinusI(Complex z) {
    return {z.imag(), -z.real()};
}

// e^(-2 pi i T / N) for 0 <= T < N, from the exact ratio: the rounding error does not grow
// with N or T.
Complex Root(std::size_t T, std::size_t N) {
    const double ang = -2 * std::numbers::pi * static_cast<double>(T) / static_cast<double>(N);
    return {std::cos(ang), std::sin(ang)};
}

// The roots e^(-2 pi i T / N) of one N as the product of a coarse and a fine table of about
// sqrt(N) exact roots each: two roundings per root, and N roots for 2 sqrt(N) sines. The
// fine table's length is a power of two, so splitting T costs no division.
class TRoots {
public:
    explicit TRoots(std::size_t N) {
        while ((std::size_t{1} << (2 * FShift)) < N)
            ++FShift;
        const std::size_t block = std::size_t{1} << FShift;
        FFine.resize(std::min(block, N));
        FCoarse.resize((N + block - 1) >> FShift);
        for (std::size_t t = 0; t < FFine.size(); ++t)
            FFine[t] = Root(t, N);
        for (std::size_t t = 0; t < FCoarse.size(); ++t)
            FCoarse[t] = Root(t << FShift, N);
    }
    // e^(-2 pi i T / N) for 0 <= T < N.
    Complex operator()(std::size_t T) const {
        const std::size_t hi = T >> FShift, lo = T & ((std::size_t{1} << FShift) - 1);
        if (lo == 0)
            return FCoarse[hi];
        if (hi == 0)
            return FFine[lo];
        return Mul(FCoarse[hi], FFine[lo]);
    }

private:
    unsigned FShift = 0;
    std::vector<Complex> FFine, FCoarse;
};

// The radices of N in the order their passes run (fours, a two, threes, fives, then the
// other primes ascending).
std::vector<std::size_t> Radices(std::size_t N) {
    std::vector<std::size_t> r;
    for (; N % 4 == 0; N /= 4)
        r.push_back(4);
    for (; N % 2 == 0; N /= 2)
        r.push_back(2);
    for (std::size_t p = 3; p * p <= N; p += 2)
        for (; N % p == 0; N /= p)
            r.push_back(p);
    if (N > 1)
        r.push_back(N);
    return r;
}

// Arithmetic of one transform of length N by passes of these radices, in units of one
// complex multiply-add per element: a pass of radix R costs about R per element.
double Cost(std::size_t N, const std::vector<std::size_t>& Radix) {
    double perElement = 0;
    for (std::size_t r : Radix)
        perElement += static_cast<double>(r);
    return static_cast<double>(N) * perElement;
}

// The smallest 2^a 3^b 5^c not below N.
std::size_t SmoothLength(std::size_t N) {
    std::size_t best = std::numeric_limits<std::size_t>::max();
    for (std::size_t p5 = 1;; p5 *= 5) {
        for (std::size_t p35 = p5;; p35 *= 3) {
            std::size_t v = p35;
            while (v < N)
                v *= 2;
            best = std::min(best, v);
            if (p35 >= N)
                break;
        }
        if (p5 >= N)
            break;
    }
    return best;
}

// A self-sorting (Stockham) mixed-radix transform of one length. Pass i splits the
// remaining length Radix * Span at stride Stride: for p < Span and q < Stride it transforms
// the Radix values x[q + Stride (p + r Span)], multiplies output k by e^(-2 pi i p k / (Radix
// Span)) and stores it at y[q + Stride (Radix p + k)]; the output comes out in natural order.
class TMixedRadixPlan {
public:
    TMixedRadixPlan(std::size_t N, std::vector<std::size_t> Radix) : FN(N) {
        const TRoots roots(N);
        std::size_t stride = 1, count = 0;
        for (std::size_t r : Radix) {
            count += N / (stride * r) * (r - 1);
            stride *= r;
        }
        FTwiddles.resize(count);
        stride = 1;
        count = 0;
        for (std::size_t r : Radix) {
            TPass pass{r, FN / (stride * r), stride, count, FRoots.size()};
            // Twiddle (p, k) of the pass: e^(-2 pi i p k stride / N), p k stride < N.
            for (std::size_t p = 0; p < pass.Span; ++p)
                for (std::size_t k = 1; k < r; ++k)
                    FTwiddles[count++] = roots(p * k * stride);
            if (r > 5)
                for (std::size_t j = 0; j < r; ++j)
                    FRoots.push_back(Root(j, r));
            FPasses.push_back(pass);
            stride *= r;
        }
    }

    std::size_t Length() const { return FN; }

    // Transforms Data (Length() values) in place; Work holds Length() values of scratch.
    void Forward(Complex* Data, Complex* Work) const {
        Complex* src = Data;
        Complex* dst = Work;
        for (const TPass& pass : FPasses) {
            const Complex* tw = FTwiddles.data() + pass.Twiddle;
            switch (pass.Radix) {
            case 2:
                Pass2(pass, tw, src, dst);
                break;
            case 3:
                Pass3(pass, tw, src, dst);
                break;
            case 4:
                Pass4(pass, tw, src, dst);
                break;
            case 5:
                Pass5(pass, tw, src, dst);
                break;
            default:
                PassOdd(pass, tw, FRoots.data() + pass.Root, src, dst);
                break;
            }
            std::swap(src, dst);
        }
        if (src != Data)
            std::copy(src, src + FN, Data);
    }

private:
    struct TPass {
        std::size_t Radix;
        std::size_t Span;
        std::size_t Stride;
        std::size_t Twiddle; // offset of Span * (Radix - 1) twiddles in FTwiddles
        std::size_t Root;    // offset of the Radix roots of unity in FRoots (radices above 5)
    };

    // Runs Group(x, InStride, y, OutStride, Tw) over every group of a pass: Group transforms
    // the R values x[r InStride], multiplies output k by Tw[k - 1] (k >= 1) and stores it at
    // y[k OutStride]. The values stay in registers from load to store.
    template <std::size_t R, class TGroup>
    static void Run(const TPass& P, const Complex* Tw, const Complex* Src, Complex* Dst,
                    TGroup Group) {
        const std::size_t m = P.Span, s = P.Stride, sm = s * m;
        for (std::size_t p = 0; p < m; ++p, Tw += R - 1) {
            const Complex* in = Src + s * p;
            Complex* out = Dst + s * R * p;
            for (std::size_t q = 0; q < s; ++q)
                Group(in + q, sm, out + q, s, Tw);
        }
    }

    static void Pass2(const TPass& P, const Complex* Tw, const Complex* Src, Complex* Dst) {
        Run<2>(P, Tw, Src, Dst,
               [](const Complex* x, std::size_t is, Complex* y, std::size_t os, const Complex* w) {
                   const Complex a0 = x[0], a1 = x[is];
                   y[0] = a0 + a1;
                   y[os] = Mul(a0 - a1, w[0]);
               });
    }

    static void Pass3(const TPass& P, const Complex* Tw, const Complex* Src, Complex* Dst) {
        Run<3>(P, Tw, Src, Dst,
               [](const Complex* x, std::size_t is, Complex* y, std::size_t os, const Complex* w) {
                   constexpr double h = 0.86602540378443864676; // sin(2 pi / 3)
                   const Complex a0 = x[0], a1 = x[is], a2 = x[2 * is];
                   const Complex s12 = a1 + a2;
                   const Complex t = a0 - 0.5 * s12;
                   const Complex d = MinusI(h * (a1 - a2));
                   y[0] = a0 + s12;
                   y[os] = Mul(t + d, w[0]);
                   y[2 * os] = Mul(t - d, w[1]);
               });
    }

    static void Pass4(const TPass& P, const Complex* Tw, const Complex* Src, Complex* Dst) {
        Run<4>(P, Tw, Src, Dst,
               [](const Complex* x, std::size_t is, Complex* y, std::size_t os, const Complex* w) {
                   const Complex a0 = x[0], a1 = x[is], a2 = x[2 * is], a3 = x[3 * is];
                   const Complex s02 = a0 + a2, d02 = a0 - a2;
                   const Complex s13 = a1 + a3, d13 = MinusI(a1 - a3);
                   y[0] = s02 + s13;
                   y[os] = Mul(d02 + d13, w[0]);
                   y[2 * os] = Mul(s02 - s13, w[1]);
                   y[3 * os] = Mul(d02 - d13, w[2]);
               });
    }

    static void Pass5(const TPass& P, const Complex* Tw, const Complex* Src, Complex* Dst) {
        Run<5>(P, Tw, Src, Dst,
               [](const Complex* x, std::size_t is, Complex* y, std::size_t os, const Complex* w) {
                   constexpr double c1 = 0.30901699437494742410;  // cos(2 pi / 5)
                   constexpr double c2 = -0.80901699437494742410; // cos(4 pi / 5)
                   constexpr double s1 = 0.95105651629515357212;  // sin(2 pi / 5)
                   constexpr double s2 = 0.58778525229247312917;  // sin(4 pi / 5)
                   const Complex a0 = x[0], a1 = x[is], a2 = x[2 * is], a3 = x[3 * is],
                                 a4 = x[4 * is];
                   const Complex s14 = a1 + a4, d14 = a1 - a4;
                   const Complex s23 = a2 + a3, d23 = a2 - a3;
                   const Complex e1 = a0 + c1 * s14 + c2 * s23;
                   const Complex e2 = a0 + c2 * s14 + c1 * s23;
                   const Complex o1 = MinusI(s1 * d14 + s2 * d23);
                   const Complex o2 = MinusI(s2 * d14 - s1 * d23);
                   y[0] = a0 + s14 + s23;
                   y[os] = Mul(e1 + o1, w[0]);
                   y[2 * os] = Mul(e2 + o2, w[1]);
                   y[3 * os] = Mul(e2 - o2, w[2]);
                   y[4 * os] = Mul(e1 - o1, w[3]);
               });
    }

    // Any odd radix R: output k and R - k share the sums and differences of the inputs r
    // and R - r, so a group costs about R^2 / 2 real multiply-adds of each kind.
    static void PassOdd(const TPass& P, const Complex* Tw, const Complex* Roots, const Complex* Src,
                        Complex* Dst) {
        const std::size_t R = P.Radix, half = R / 2, m = P.Span, s = P.Stride;
        std::vector<Complex> sum(half + 1), dif(half + 1);
        for (std::size_t p = 0; p < m; ++p, Tw += R - 1) {
            const Complex* in = Src + s * p;
            Complex* out = Dst + s * R * p;
            for (std::size_t q = 0; q < s; ++q) {
                const Complex a0 = in[q];
                Complex total = a0;
                for (std::size_t r = 1; r <= half; ++r) {
                    const Complex x = in[q + s * m * r], y = in[q + s * m * (R - r)];
                    sum[r] = x + y;
                    dif[r] = x - y;
                    total += sum[r];
                }
                out[q] = total;
                for (std::size_t k = 1; k <= half; ++k) {
                    Complex even = a0, odd = 0;
                    std::size_t rk = 0; // r k mod R
                    for (std::size_t r = 1; r <= half; ++r) {
                        rk += k;
                        if (rk >= R)
                            rk -= R;
                        // Roots[rk] = cos - i sin of 2 pi r k / R.
                        even += Roots[rk].real() * sum[r];
                        odd += -Roots[rk].imag() * dif[r];
                    }
                    odd = MinusI(odd);
                    out[q + s * k] = Mul(even + odd, Tw[k - 1]);
                    out[q + s * (R - k)] = Mul(even - odd, Tw[R - k - 1]);
                }
            }
        }
    }

    std::size_t FN;
    std::vector<TPass> FPasses;
    std::vector<Complex> FTwiddles;
    std::vector<Complex> FRoots;
};

// Bluestein's chirp: X_k = w_k sum_n (x_n w_n) conj(w_(k-n)) with w_k = e^(-i pi k^2 / N), a
// cyclic convolution of length M >= 2 N - 1 done by three transforms of length M.
void Bluestein(std::vector<Complex>& A, std::size_t M) {
    const std::size_t n = A.size();
    const TMixedRadixPlan plan(M, Radices(M));
    // w_k = e^(-2 pi i (k^2 mod 2N) / 2N): k^2 reduced in integers, so the angle stays exact
    // for any k.
    const TRoots roots(2 * n);
    std::vector<Complex> chirp(n);
    for (std::size_t k = 0, k2 = 0; k < n; ++k) {
        chirp[k] = roots(k2);
        // (k + 1)^2 = k^2 + 2k + 1, and 2k + 1 < 2N: one subtraction keeps it reduced.
        k2 += 2 * k + 1;
        if (k2 >= 2 * n)
            k2 -= 2 * n;
    }
    std::vector<Complex> u(M), v(M), work(M);
    for (std::size_t k = 0; k < n; ++k)
        u[k] = Mul(A[k], chirp[k]);
    v[0] = std::conj(chirp[0]);
    for (std::size_t k = 1; k < n; ++k)
        v[k] = v[M - k] = std::conj(chirp[k]);
    plan.Forward(u.data(), work.data());
    plan.Forward(v.data(), work.data());
    // The inverse transform as the conjugate of the forward transform of the conjugate.
    for (std::size_t k = 0; k < M; ++k)
        u[k] = std::conj(Mul(u[k], v[k]));
    plan.Forward(u.data(), work.data());
    const double scale = 1.0 / static_cast<double>(M);
    for (std::size_t k = 0; k < n; ++k)
        A[k] = Mul(std::conj(u[k]), chirp[k]) * scale;
}

} // namespace

void FourierTransform(std::vector<Complex>& Data) {
    const std::size_t n = Data.size();
    if (n < 2)
        return;
    auto radix = Radices(n);
    // A length with a large prime factor goes through the chirp convolution, whose three
    // transforms of a 5-smooth length cost less than passes of that radix.
    const std::size_t m = SmoothLength(2 * n - 1);
    if (Cost(n, radix) > 3 * Cost(m, Radices(m)) + 4 * static_cast<double>(m)) {
        Bluestein(Data, m);
        return;
    }
    const TMixedRadixPlan plan(n, std::move(radix));
    std::vector<Complex> work(n);
    plan.Forward(Data.data(), work.data());
}

TVxSpectrum DiscreteFourier(const TVxSamples& Data, double Start, double Stop) {
    TVxSpectrum s;
    std::vector<double> x, y;
    x.reserve(Data.Count());
    y.reserve(Data.Count());
    for (std::size_t i = 0; i < Data.Count(); ++i)
        if (Data.Wi(i) > 0) {
            x.push_back(Data.X[i]);
            y.push_back(Data.Y[i]);
        }
    if (x.size() < 2)
        return s;
    bool even = true;
    const double mean = (x.back() - x.front()) / static_cast<double>(x.size() - 1);
    for (std::size_t i = 1; i < x.size() && even; ++i) {
        const double step = x[i] - x[i - 1];
        even = step > 0 && std::abs(step - mean) <= 0.01 * mean;
    }
    std::vector<Complex> data;
    double step = mean;
    if (even) {
        data.assign(y.begin(), y.end());
    } else {
        if (!(Stop > Start) || !std::isfinite(Stop - Start)) {
            const auto [lo, hi] = std::minmax_element(x.begin(), x.end());
            Start = *lo;
            Stop = *hi;
        }
        TVxSpline curve;
        try {
            curve.Calculate({x, y, {}}, TVxInterpolationMethod::Akima);
        } catch (const EVxMathError&) {
            return s; // too few distinct x for a curve
        }
        constexpr int Resampled = 1024;
        step = (Stop - Start) / (Resampled - 1);
        data.resize(Resampled);
        for (int r = 0; r < Resampled; ++r)
            data[static_cast<std::size_t>(r)] = curve.Interpolate(Start + r * step);
    }
    if (!(step > 0))
        return s;
    FourierTransform(data);
    const std::size_t half = data.size() / 2;
    s.Delta = 1.0 / (static_cast<double>(data.size()) * step);
    s.Amplitude.resize(half);
    s.Phase.resize(half);
    double largest = 0;
    for (std::size_t k = 0; k < half; ++k) {
        s.Amplitude[k] = std::abs(data[k]) / static_cast<double>(half);
        largest = std::max(largest, s.Amplitude[k]);
    }
    for (std::size_t k = 0; k < half; ++k) {
        // A line at rounding-noise level has no meaningful phase.
        if (s.Amplitude[k] <= 1e-12 * largest) {
            s.Phase[k] = 0;
            continue;
        }
        const double ph = std::atan2(data[k].imag(), data[k].real());
        s.Phase[k] = ph <= -std::numbers::pi ? std::numbers::pi : ph;
    }
    return s;
}

double SpectrumValue(const TVxSpectrum& Spectrum, double AtX) {
    const auto& amp = Spectrum.Amplitude;
    if (amp.empty() || !(Spectrum.Delta > 0) || std::isnan(AtX))
        return 0;
    const double last = static_cast<double>(amp.size() - 1);
    const double pos = std::clamp(std::floor(AtX / Spectrum.Delta), 0.0, last);
    const auto a = static_cast<std::size_t>(pos);
    const std::size_t b = std::min(a + 1, amp.size() - 1);
    if (a == b)
        return amp[a];
    const double t = std::clamp(AtX - static_cast<double>(a) * Spectrum.Delta, 0.0, Spectrum.Delta);
    return amp[a] + t * (amp[b] - amp[a]) / Spectrum.Delta;
}
