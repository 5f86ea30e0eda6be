#pragma once
// Angles, point-in-rectangle tests (edges included) and the sign of a number, as markers
// and legends use them.

#include <cstdint>

/// a brought into [0, 360). Raises EVxMathError for an angle that is not finite.
double NormalizeAngle(double a);
/// The quadrant of the normalized angle: 1 up to 90, 2 up to 180, 3 up to 270, else 4.
int AngleQuadrant(double a);

/// Left <= X <= Right and Top <= Y <= Bottom.
bool PointInRect(int X, int Y, int Left, int Top, int Right, int Bottom);
/// PointInRect for a point packed as two signed 16-bit halves (X low, Y high).
bool PointInRect(std::uint32_t PackedPoint, int Left, int Top, int Right, int Bottom);
/// X <= Px <= X + Width and Y <= Py <= Y + Height.
bool PointInRectF(double Px, double Py, double X, double Y, double Width, double Height);

/// -1 for negative n, 1 otherwise.
inline int Sign(long long n) {
    return n < 0 ? -1 : 1;
}
/// -1 for negative x, 1 otherwise (also for NaN).
inline int Sign(double x) {
    return x < 0 ? -1 : 1;
}
