// Reference values: splines_reference.py (numpy.fft) and closed forms.
#include "numeric/FourierTransform.h"

#include <cmath>
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

} // namespace

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
