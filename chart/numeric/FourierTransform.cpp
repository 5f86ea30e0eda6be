#include "numeric/FourierTransform.h"

#include "numeric/Splines.h"
#include "util/Exceptions.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

using Complex = std::complex<double>;

// The plain product: std::complex's operator* also mends infinities and NaNs through a
// library call, which costs several times the arithmetic in the inner loops.
inline Complex Mul(Complex a, Complex b) {
    return {a.real() * b.real() - a.imag() * b.imag(), a.real() * b.imag() + a.imag() * b.real()};
}

bool IsPowerOfTwo(std::size_t n) {
    return n && !(n & (n - 1));
}

// e^(-2 pi i k / n) for k < n / 2: the twiddles of every stage of a length-n transform.
std::vector<Complex> Twiddles(std::size_t n) {
    std::vector<Complex> tw(n / 2);
    for (std::size_t k = 0; k < n / 2; ++k) {
        // From the angle directly, so the rounding error does not grow with n.
        const double ang = -2 * std::numbers::pi * static_cast<double>(k) / static_cast<double>(n);
        tw[k] = {std::cos(ang), std::sin(ang)};
    }
    return tw;
}

// Iterative radix-2 transform with the table of Twiddles(a.size()); Inverse uses the
// conjugate twiddles (unscaled).
void Radix2(std::vector<Complex>& a, const std::vector<Complex>& Table, bool Inverse) {
    const std::size_t n = a.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(a[i], a[j]);
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        const std::size_t half = len / 2, stride = n / len;
        for (std::size_t i = 0; i < n; i += len)
            for (std::size_t k = 0; k < half; ++k) {
                const Complex t = Inverse ? std::conj(Table[k * stride]) : Table[k * stride];
                const Complex u = a[i + k], v = Mul(a[i + k + half], t);
                a[i + k] = u + v;
                a[i + k + half] = u - v;
            }
    }
}

void Bluestein(std::vector<Complex>& a) {
    const std::size_t n = a.size();
    std::size_t m = 1;
    while (m < 2 * n - 1)
        m <<= 1;
    // Chirp e^(-i pi k^2 / n); k^2 is reduced modulo 2n so the angle stays exact.
    std::vector<Complex> chirp(n);
    for (std::size_t k = 0; k < n; ++k) {
        const unsigned long long k2 =
            (static_cast<unsigned long long>(k) * k) % (2ull * static_cast<unsigned long long>(n));
        const double ang = -std::numbers::pi * static_cast<double>(k2) / static_cast<double>(n);
        chirp[k] = {std::cos(ang), std::sin(ang)};
    }
    std::vector<Complex> u(m), v(m);
    for (std::size_t k = 0; k < n; ++k)
        u[k] = Mul(a[k], chirp[k]);
    v[0] = std::conj(chirp[0]);
    for (std::size_t k = 1; k < n; ++k)
        v[k] = v[m - k] = std::conj(chirp[k]);
    const auto table = Twiddles(m);
    Radix2(u, table, false);
    Radix2(v, table, false);
    for (std::size_t k = 0; k < m; ++k)
        u[k] = Mul(u[k], v[k]);
    Radix2(u, table, true);
    const double scale = 1.0 / static_cast<double>(m);
    for (std::size_t k = 0; k < n; ++k)
        a[k] = Mul(u[k], chirp[k]) * scale;
}

} // namespace

void FourierTransform(std::vector<Complex>& Data) {
    if (Data.size() < 2)
        return;
    if (IsPowerOfTwo(Data.size()))
        Radix2(Data, Twiddles(Data.size()), false);
    else
        Bluestein(Data);
}

TVxSpectrum DiscreteFourier(const TVxSamples& Data, double Start, double Stop) {
    TVxSpectrum s;
    std::vector<double> x, y;
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
