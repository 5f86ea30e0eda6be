// Reference values: splines_reference.py and fourier_reference.py (numpy.fft), closed forms
// and the defining sum in long double.
#include "numeric/FourierTransform.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <gtest/gtest.h>
#include <numbers>
#include <vector>

namespace {

struct TCase {
    std::vector<double> Data;
    std::vector<double> Amplitude;
    std::vector<double> Phase;
};

std::vector<double> Indices(std::size_t n) {
    std::vector<double> x(n);
    for (std::size_t i = 0; i < n; ++i)
        x[i] = static_cast<double>(i);
    return x;
}

using Complex = std::complex<double>;

// Pseudo-random complex data in [-0.5, 0.5)^2, the same as fourier_reference.py makes: a
// 64-bit linear congruential generator seeded with n, each value an exact double.
std::vector<Complex> Samples(std::size_t n) {
    std::uint64_t state = n;
    const auto next = [&state] {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<double>(state >> 11) / 9007199254740992.0 - 0.5;
    };
    std::vector<Complex> v(n);
    for (auto& z : v) {
        const double re = next();
        z = {re, next()};
    }
    return v;
}

// X_k = sum_n x_n e^(-2 pi i n k / N) summed in long double, the angle from (n k) mod N.
std::vector<Complex> DefiningSum(const std::vector<Complex>& x) {
    const std::size_t n = x.size();
    std::vector<std::complex<long double>> root(n);
    for (std::size_t t = 0; t < n; ++t) {
        const long double ang = -2 * std::numbers::pi_v<long double> * t / n;
        root[t] = {std::cos(ang), std::sin(ang)};
    }
    std::vector<Complex> out(n);
    for (std::size_t k = 0; k < n; ++k) {
        std::complex<long double> sum = 0;
        for (std::size_t j = 0; j < n; ++j)
            sum += std::complex<long double>(x[j].real(), x[j].imag()) * root[j * k % n];
        out[k] = {static_cast<double>(sum.real()), static_cast<double>(sum.imag())};
    }
    return out;
}

} // namespace

TEST(FourierTransform, MatchesDefiningSumForEveryKindOfLength) {
    // Every length to 130 (radices 2, 3, 4, 5, the odd radices 7 .. 97, primes from 101 on
    // through the chirp convolution), then powers, mixed products and larger primes.
    std::vector<std::size_t> lengths;
    for (std::size_t n = 0; n <= 130; ++n)
        lengths.push_back(n);
    for (std::size_t n : {143, 169, 210, 243, 256, 343, 361, 500, 509, 625, 1000, 1018, 1021, 1024})
        lengths.push_back(n);
    for (std::size_t n : lengths) {
        const auto x = Samples(n);
        const auto expected = DefiningSum(x);
        auto actual = x;
        FourierTransform(actual);
        ASSERT_EQ(actual.size(), n);
        double largest = 0;
        for (const Complex& z : expected)
            largest = std::max(largest, std::abs(z));
        for (std::size_t k = 0; k < n; ++k)
            ASSERT_LE(std::abs(actual[k] - expected[k]), 1e-13 * largest) << n << " " << k;
    }
}

TEST(FourierTransform, MatchesNumpyAtLargeLengths) {
    // 99991 is prime, 100000 = 2^5 5^5, 2187 = 3^7, 2310 = 2 3 5 7 11; the error of every
    // listed bin is bounded relative to the largest amplitude of the whole spectrum.
    struct TBin {
        std::size_t K;
        double Re, Im;
    };
    struct TReference {
        std::size_t N;
        double Largest;
        std::vector<TBin> Bins;
    };
    const std::vector<TReference> references{
        {1, 0.07736492370361789, {{0, -0.07679082912728674, 0.00940744288372064}}},
        {2187,
         66.07484305707398,
         {{0, 6.122856059791939, -20.955031168460717},
          {1, 21.008837339235697, 16.509239821376156},
          {2, -3.686013994125127, -1.3643267548687188},
          {631, -30.328134743156173, 3.097138737674894},
          {729, -2.3731350329408087, -4.971121578376516},
          {1093, 9.235286282091355, 0.9188613109077499},
          {1358, 0.007332391780572323, 15.708917673631433},
          {1940, 21.926812758786678, 3.039544513208117},
          {2186, 14.276663578797695, 25.443137490771065}}},
        {2310,
         54.39166761477001,
         {{0, -8.923500264877543, 14.901972697448615},
          {1, 19.508424833567723, -0.1845143419232702},
          {2, 17.903396316461514, -7.234631814611798},
          {770, -36.734483204263114, -11.695389417453603},
          {779, 7.941713736637331, 21.378321812203353},
          {989, 9.31041924730412, 1.3397309362126126},
          {1155, 6.9568890726460895, 21.62014645947051},
          {1489, 9.962760489479692, 10.931993635067165},
          {2309, -17.81726454154923, -21.627792260858158}}},
        {99991,
         416.03897486773025,
         {{0, -96.57027155928331, -82.06231324271883},
          {1, -133.99216205106484, -76.82464171515029},
          {2, -34.27280676768514, -68.63666168762404},
          {4738, -37.18801225574683, -42.08015530757521},
          {7919, 138.71852896782616, 139.10563752867407},
          {33330, 147.44967448073191, 11.13612062724296},
          {49995, -30.080989341557114, -105.6630606165036},
          {99817, -82.07723869348362, -41.18653526658701},
          {99990, -61.367227057189766, 51.15923865476067}}},
        {100000,
         439.2837220153459,
         {{0, 6.755007033990125, 61.26288898722289},
          {1, -100.48287717483453, 151.2017848776161},
          {2, 43.32172323587812, -52.462281085428934},
          {4729, 53.731836944681646, 75.6687618483893},
          {7919, -51.70555945622827, -4.493178226128975},
          {33333, -28.614954647835024, 0.5162294303493695},
          {50000, -42.98506996800161, 20.155591774951617},
          {99709, 101.77378145414525, -8.503785927885573},
          {99999, 171.2246879508766, -145.05390553454328}}},
    };
    for (const auto& ref : references) {
        auto x = Samples(ref.N);
        FourierTransform(x);
        for (const TBin& bin : ref.Bins)
            EXPECT_LE(std::abs(x[bin.K] - Complex(bin.Re, bin.Im)), 1e-12 * ref.Largest)
                << ref.N << " " << bin.K;
    }
}

TEST(FourierTransform, MatchesReferenceForPrimeAndCompositeLengths) {
    const std::vector<TCase> cases{
        {{0.001, 0.299, -0.274, -0.891, -0.455, -0.992, 0.06},
         {0.7506666666666667, 0.6184726955953482, 0.11467280224053104},
         {std::numbers::pi, -0.38550216831447753, -0.8673649531066588}},
        {{1.34, -0.492, -0.62, 0.49, 0.357, 0.105, -0.93, -0.029, 0.695, -1.344, -0.458, -1.901},
         {0.46449999999999997, 0.39407396762519714, 0.2103629799497367, 0.7349353902063621,
          0.19965991919595008, 0.7529508153009447},
         {std::numbers::pi, -1.9765241826398052, -1.4767725116149883, 0.06604018868496941,
          -0.918160517879483, -0.7376880882071245}},
        {{-1.29, -1.842, -0.235, -1.267, 0.271, 0.157, -0.187, -2.517, -0.539, -0.049, 0.113, -1.53,
          -0.478, -0.979, -0.809, 1.061},
         {1.2650000000000001, 0.02715639571627511, 0.20664957539610704, 0.7772696484306902,
          0.2241066989181716, 0.6476320043769783, 0.39406822440867867, 0.4047053998982341},
         {std::numbers::pi, -2.1662414251747073, 2.6155272061581982, 1.3396515101179558,
          -2.108346120001413, 1.8755752496489377, 2.1840283936444935, 2.5867459656675793}},
    };
    for (const auto& c : cases) {
        const auto x = Indices(c.Data.size());
        const auto s = DiscreteFourier({x, c.Data, {}}, 0, 0);
        ASSERT_EQ(s.Amplitude.size(), c.Amplitude.size());
        EXPECT_DOUBLE_EQ(s.Delta, 1.0 / static_cast<double>(c.Data.size()));
        for (std::size_t k = 0; k < c.Amplitude.size(); ++k) {
            EXPECT_NEAR(s.Amplitude[k], c.Amplitude[k], 1e-12) << c.Data.size() << " " << k;
            EXPECT_NEAR(s.Phase[k], c.Phase[k], 1e-9) << c.Data.size() << " " << k;
        }
    }
}

TEST(FourierTransform, CosineOfPeriodFourPeaksAtQuarter) {
    // x = 0..7 and, scaled, x = 0, 0.5 .. 3.5: the line is at 1/period in x units.
    for (double scale : {1.0, 0.5}) {
        std::vector<double> x, y;
        for (int i = 0; i < 8; ++i) {
            x.push_back(i * scale);
            y.push_back(std::cos(2 * std::numbers::pi * i / 4));
        }
        const auto s = DiscreteFourier({x, y, {}}, 0, 7 * scale);
        ASSERT_EQ(s.Amplitude.size(), 4u);
        for (std::size_t k = 0; k < 4; ++k)
            EXPECT_NEAR(s.Amplitude[k], k == 2 ? 1 : 0, 1e-14) << k;
        EXPECT_DOUBLE_EQ(2 * s.Delta, 0.25 / scale);
        EXPECT_DOUBLE_EQ(SpectrumValue(s, 0.25 / scale), 1);
        EXPECT_EQ(s.Phase[1], 0); // negligible amplitude: no phase
        EXPECT_NEAR(s.Phase[2], 0, 1e-14);
    }
}

TEST(FourierTransform, LargePrimeLengthShiftedCosine) {
    // N = 1009, 5 cycles, phase 0.7: a single line of amplitude 1 and phase 0.7.
    const std::size_t n = 1009;
    std::vector<double> y(n);
    for (std::size_t i = 0; i < n; ++i)
        y[i] = std::cos(2 * std::numbers::pi * 5 * static_cast<double>(i) / n + 0.7) + 0.25;
    const auto s = DiscreteFourier({Indices(n), y, {}}, 0, 0);
    ASSERT_EQ(s.Amplitude.size(), 504u);
    EXPECT_NEAR(s.Amplitude[0], 0.25 * n / 504, 1e-11);
    EXPECT_NEAR(s.Amplitude[5], static_cast<double>(n) / 2 / 504, 1e-11);
    EXPECT_NEAR(s.Phase[5], 0.7, 1e-11);
    for (std::size_t k = 1; k < 504; ++k) {
        if (k != 5) {
            EXPECT_NEAR(s.Amplitude[k], 0, 1e-11) << k;
        }
    }
}

TEST(FourierTransform, ConstantUnevenAndTooFew) {
    const std::vector<double> x{0, 1, 2, 3}, c{3, 3, 3, 3};
    const auto s = DiscreteFourier({x, c, {}}, 0, 3);
    EXPECT_DOUBLE_EQ(s.Amplitude[0], 6);
    EXPECT_DOUBLE_EQ(s.Amplitude[1], 0);
    EXPECT_EQ(s.Phase[0], 0);
    EXPECT_EQ(s.Phase[1], 0);

    const std::vector<double> ux{0, 1, 3, 4, 7}, uy{1, 2, 3, 4, 5};
    const auto u = DiscreteFourier({ux, uy, {}}, 0, 7);
    EXPECT_EQ(u.Amplitude.size(), 512u);
    EXPECT_DOUBLE_EQ(u.Delta, 1.0 / (1024 * 7.0 / 1023));

    const std::vector<double> one{1}, w{1, 0, 1, 0};
    EXPECT_TRUE(DiscreteFourier({one, one, {}}, 0, 1).Amplitude.empty());
    EXPECT_TRUE(DiscreteFourier({x, c, std::vector<double>{1, 0, 0, 0}}, 0, 1).Amplitude.empty());
    // Weight 0 drops points: 0 and 2 remain, evenly spaced by 2.
    EXPECT_DOUBLE_EQ(DiscreteFourier({x, c, w}, 0, 3).Delta, 0.25);
}

TEST(FourierTransform, ValueLookupClampsBothWays) {
    TVxSpectrum s;
    s.Amplitude = {1, 3, 2};
    s.Delta = 0.5;
    EXPECT_DOUBLE_EQ(SpectrumValue(s, -10), 1);
    EXPECT_DOUBLE_EQ(SpectrumValue(s, 0.25), 2);
    EXPECT_DOUBLE_EQ(SpectrumValue(s, 0.75), 2.5);
    EXPECT_DOUBLE_EQ(SpectrumValue(s, 1e300), 2);
    EXPECT_DOUBLE_EQ(SpectrumValue({}, 1), 0);
}
