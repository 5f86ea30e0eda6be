#pragma once
// Discrete Fourier transform of sampled data: amplitude and phase spectrum.

#include "numeric/Samples.h"

#include <complex>
#include <vector>

/// Transforms Data in place to X_k = sum_n x_n e^(-2 pi i n k / N), for any N in O(N log N):
/// self-sorting mixed-radix passes (radices 4, 2, 3, 5 and any other prime factor) when N has
/// only small prime factors, Bluestein's chirp convolution of a 2^a 3^b 5^c length otherwise.
void FourierTransform(std::vector<std::complex<double>>& Data);

/// A one-sided spectrum: line k has the frequency k * Delta.
struct TVxSpectrum {
    std::vector<double> Amplitude; ///< |X_k| / (N / 2), k = 0 .. N / 2 - 1
    std::vector<double> Phase; ///< atan2(Im X_k, Re X_k) in (-pi, pi]; 0 where |X_k| is negligible
    double Delta = 0;          ///< frequency step 1 / (N * sample step)
};

/// The spectrum of Data (points with a weight not above 0 are left out). Strictly ascending,
/// evenly spaced x (each step within 1 % of the mean step) are used as they are; other data
/// are resampled at 1024 points from Start to Stop (the data's x range when Stop <= Start)
/// through an Akima curve. Fewer than two usable samples give an empty spectrum.
TVxSpectrum DiscreteFourier(const TVxSamples& Data, double Start, double Stop);

/// The amplitude at frequency AtX, interpolated linearly between the lines (clamped to the
/// first and the last line); 0 for an empty spectrum.
double SpectrumValue(const TVxSpectrum& Spectrum, double AtX);
