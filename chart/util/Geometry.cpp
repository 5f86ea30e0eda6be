#include "Geometry.h"

#include "util/Exceptions.h"

#include <cmath>

double NormalizeAngle(double a) {
    if (!std::isfinite(a))
        throw EVxMathError("Invalid angle");
    // fmod is exact; adding or subtracting 360 in a loop would never end for huge angles.
    double r = std::fmod(a, 360.0);
    if (r < 0)
        r += 360.0;
    if (r >= 360.0) // a tiny negative angle plus 360 rounds to 360
        r = 0;
    return r;
}

int AngleQuadrant(double a) {
    const double n = NormalizeAngle(a);
    if (n <= 90)
        return 1;
    if (n <= 180)
        return 2;
    if (n <= 270)
        return 3;
    return 4;
}

bool PointInRect(int X, int Y, int Left, int Top, int Right, int Bottom) {
    return Left <= X && X <= Right && Top <= Y && Y <= Bottom;
}

bool PointInRect(std::uint32_t PackedPoint, int Left, int Top, int Right, int Bottom) {
    const auto x = std::int16_t(PackedPoint & 0xFFFFu);
    const auto y = std::int16_t(PackedPoint >> 16);
    return PointInRect(x, y, Left, Top, Right, Bottom);
}

bool PointInRectF(double Px, double Py, double X, double Y, double Width, double Height) {
    return X <= Px && Px <= X + Width && Y <= Py && Py <= Y + Height;
}
