#include "drawing/Color.h"

#include "drawing/SystemColors.h"

#include <algorithm>
#include <cmath>

TVxColor SystemColor(int Index) {
    if (Index < 0 || Index >= SystemColorCount)
        return MakeColor(0xFF, 0, 0, 0);
    return ReadSystemColors()[static_cast<std::size_t>(Index)];
}

TVxColor ToArgb(TColor Color) {
    if (IsSystemColorCode(Color))
        return SystemColor(Color & 0xFF);
    const auto bgr = static_cast<std::uint32_t>(Color);
    return MakeColor(0xFF, static_cast<std::uint8_t>(bgr), static_cast<std::uint8_t>(bgr >> 8),
                     static_cast<std::uint8_t>(bgr >> 16));
}

namespace {

struct THsl {
    double H; // degrees, 0 for grey
    double S;
    double L;
};

THsl RgbToHsl(double R, double G, double B) {
    const double maxC = std::max({R, G, B});
    const double minC = std::min({R, G, B});
    const double l = (maxC + minC) / 2;
    const double delta = maxC - minC;
    if (delta == 0)
        return {0, 0, l};
    const double s = l <= 0.5 ? delta / (maxC + minC) : delta / (2 - maxC - minC);
    double h = 0;
    if (maxC == R)
        h = (G - B) / delta;
    else if (maxC == G)
        h = 2 + (B - R) / delta;
    else
        h = 4 + (R - G) / delta;
    h *= 60;
    if (h < 0)
        h += 360;
    return {h, s, l};
}

double HueToChannel(double P, double Q, double T) {
    if (T < 0)
        T += 1;
    if (T > 1)
        T -= 1;
    if (T < 1.0 / 6)
        return P + (Q - P) * 6 * T;
    if (T < 0.5)
        return Q;
    if (T < 2.0 / 3)
        return P + (Q - P) * (2.0 / 3 - T) * 6;
    return P;
}

std::uint8_t ToByte(double Channel) {
    // nearbyint rounds halves to even, the library's rule for float-to-integer conversion.
    return static_cast<std::uint8_t>(std::nearbyint(std::clamp(Channel, 0.0, 1.0) * 255));
}

} // namespace

TVxColor ScaleBrightness(TVxColor Color, double Factor) {
    const THsl hsl =
        RgbToHsl(GetRed(Color) / 255.0, GetGreen(Color) / 255.0, GetBlue(Color) / 255.0);
    const double l = hsl.L * Factor;
    if (!(l > 0)) // also catches a NaN factor
        return MakeColor(GetAlpha(Color), 0, 0, 0);
    if (hsl.S == 0)
        return MakeColor(GetAlpha(Color), ToByte(l), ToByte(l), ToByte(l));
    const double q = l < 0.5 ? l * (1 + hsl.S) : l + hsl.S - l * hsl.S;
    const double p = 2 * l - q;
    const double h = hsl.H / 360;
    return MakeColor(GetAlpha(Color), ToByte(HueToChannel(p, q, h + 1.0 / 3)),
                     ToByte(HueToChannel(p, q, h)), ToByte(HueToChannel(p, q, h - 1.0 / 3)));
}
