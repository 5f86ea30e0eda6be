#include "drawing/FaceFill.h"

#include "drawing/GradientBrushes.h"
#include "drawing/Surface.h"

#include <algorithm>
#include <cmath>

TVxBrush LinearStopsBrush(const QRectF& Rect, std::span<const TVxGradientStop> Stops,
                          double Angle) {
    const TVxColor first = Stops.empty() ? 0 : Stops.front().Color;
    const TVxColor last = Stops.empty() ? 0 : Stops.back().Color;
    TVxBrush b = LinearGradientBrush(Rect, first, last, Angle);
    b.Stops.assign(Stops.begin(), Stops.end());
    return b;
}

namespace {

double Cross(QPointF A, QPointF B) {
    return A.x() * B.y() - A.y() * B.x();
}

QPointF Centre(TVxFaceCorners C) {
    return (C[0] + C[1] + C[2] + C[3]) / 4;
}

// Barycentric weights of P in the triangle (A, B, C), clamped to the triangle: negative
// weights are dropped and the rest renormalised onto the nearest edge or corner.
void Weights(QPointF A, QPointF B, QPointF C, QPointF P, double W[3]) {
    const double d = Cross(B - A, C - A);
    if (d == 0) {
        W[0] = 1;
        W[1] = W[2] = 0;
        return;
    }
    W[1] = Cross(P - A, C - A) / d;
    W[2] = Cross(B - A, P - A) / d;
    W[0] = 1 - W[1] - W[2];
    if (W[0] >= 0 && W[1] >= 0 && W[2] >= 0)
        return;
    // Outside: the nearest point on the triangle's edges.
    const QPointF pts[3] = {A, B, C};
    double best = -1;
    double bw[3] = {1, 0, 0};
    for (int k = 0; k < 3; ++k) {
        const QPointF u = pts[k], v = pts[(k + 1) % 3];
        const QPointF e = v - u;
        const double len2 = e.x() * e.x() + e.y() * e.y();
        double t = len2 > 0 ? ((P - u).x() * e.x() + (P - u).y() * e.y()) / len2 : 0;
        t = std::clamp(t, 0.0, 1.0);
        const QPointF q = u + e * t;
        const double dist = std::hypot(P.x() - q.x(), P.y() - q.y());
        if (best < 0 || dist < best) {
            best = dist;
            bw[0] = bw[1] = bw[2] = 0;
            bw[k] = 1 - t;
            bw[(k + 1) % 3] = t;
        }
    }
    std::copy(bw, bw + 3, W);
}

// Whether P lies inside the quadrilateral (either orientation, convex faces).
bool Inside(TVxFaceCorners C, QPointF P) {
    int pos = 0, neg = 0;
    for (int k = 0; k < 4; ++k) {
        const double c = Cross(C[(k + 1) % 4] - C[k], P - C[k]);
        pos += c > 0;
        neg += c < 0;
    }
    return pos == 0 || neg == 0;
}

double EdgeDistance(TVxFaceCorners C, QPointF P) {
    double best = 1e300;
    for (int k = 0; k < 4; ++k) {
        const QPointF u = C[k], e = C[(k + 1) % 4] - C[k];
        const double len2 = e.x() * e.x() + e.y() * e.y();
        double t = len2 > 0 ? ((P - u).x() * e.x() + (P - u).y() * e.y()) / len2 : 0;
        t = std::clamp(t, 0.0, 1.0);
        const QPointF q = u + e * t;
        best = std::min(best, std::hypot(P.x() - q.x(), P.y() - q.y()));
    }
    return best;
}

// The edge P faces: the triangle of the centre and edge k contains P's direction.
int FacingEdge(TVxFaceCorners C, QPointF G, QPointF P) {
    const QPointF d = P - G;
    double orient = 0;
    for (int k = 0; k < 4; ++k)
        orient += Cross(C[k] - G, C[(k + 1) % 4] - G);
    const double s = orient < 0 ? -1 : 1;
    for (int k = 0; k < 4; ++k) {
        const QPointF a = C[k] - G, b = C[(k + 1) % 4] - G;
        if (s * Cross(a, d) >= 0 && s * Cross(d, b) >= 0)
            return k;
    }
    return 0;
}

} // namespace

TVxColor FaceColorAt(TVxFaceCorners Corners, const TVxFaceColors& Colors, QPointF P) {
    const QPointF g = Centre(Corners);
    const int k = FacingEdge(Corners, g, P);
    double w[3];
    Weights(g, Corners[k], Corners[(k + 1) % 4], P, w);
    const TVxColor c[3] = {Colors.Center, Colors.Corners[k], Colors.Corners[(k + 1) % 4]};
    auto channel = [&](int Shift) {
        double v = 0;
        for (int j = 0; j < 3; ++j)
            v += w[j] * double((ColorArgb(c[j]) >> Shift) & 0xFF);
        return std::uint32_t(std::clamp(std::lround(v), 0L, 255L));
    };
    return VxColor(channel(24) << 24 | channel(16) << 16 | channel(8) << 8 | channel(0));
}

TVxFaceImage RenderFace(TVxFaceCorners Corners, const TVxFaceColors& Colors, double Scale,
                        bool AntiAlias, double OutlineWidth) {
    TVxFaceImage out;
    if (!(Scale > 0) || !std::isfinite(Scale))
        Scale = 1;
    double x0 = Corners[0].x(), x1 = x0, y0 = Corners[0].y(), y1 = y0;
    for (const QPointF& p : Corners) {
        if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
            return out;
        x0 = std::min(x0, p.x());
        x1 = std::max(x1, p.x());
        y0 = std::min(y0, p.y());
        y1 = std::max(y1, p.y());
    }
    // Image pixels whose centres (on the world grid) can see the face.
    const double i0 = std::floor(x0 * Scale), i1 = std::ceil(x1 * Scale);
    const double j0 = std::floor(y0 * Scale), j1 = std::ceil(y1 * Scale);
    const double w = i1 - i0 + 1, h = j1 - j0 + 1;
    if (w * h > 16e6) // a face larger than any target: nothing sensible to paint
        return out;
    out.Image = QImage(int(w), int(h), QImage::Format_ARGB32_Premultiplied);
    out.Target = QRectF(i0 / Scale, j0 / Scale, w / Scale, h / Scale);
    const double step = 1 / Scale;
    // The inner half of a centred outline.
    const double band = OutlineWidth * step / 2;
    auto covered = [&](QPointF P) {
        if (!Inside(Corners, P))
            return false;
        return band <= 0 || EdgeDistance(Corners, P) <= band;
    };
    for (int j = 0; j < out.Image.height(); ++j) {
        auto* line = reinterpret_cast<std::uint32_t*>(out.Image.scanLine(j));
        const double cy = (j0 + j) * step;
        for (int i = 0; i < out.Image.width(); ++i) {
            const double cx = (i0 + i) * step;
            double cover;
            if (AntiAlias) {
                int n = 0;
                for (int sy = 0; sy < 4; ++sy)
                    for (int sx = 0; sx < 4; ++sx)
                        n += covered(
                            QPointF(cx + (sx - 1.5) * step / 4, cy + (sy - 1.5) * step / 4));
                cover = n / 16.0;
            } else {
                cover = covered(QPointF(cx, cy)) ? 1 : 0;
            }
            if (cover <= 0) {
                line[i] = 0;
                continue;
            }
            const QPointF p(cx, cy);
            const std::uint32_t c = ColorArgb(FaceColorAt(Corners, Colors, p));
            const double a = ((c >> 24) & 0xFF) * cover / 255;
            auto pre = [&](int Shift) {
                return std::uint32_t(std::lround(((c >> Shift) & 0xFF) * a));
            };
            line[i] =
                std::uint32_t(std::lround(a * 255)) << 24 | pre(16) << 16 | pre(8) << 8 | pre(0);
        }
    }
    return out;
}

namespace {

double TransformScale(const TVxSurface& Gr) {
    const TVxMatrix m = Gr.GetTransform();
    const double s = std::sqrt(std::abs(m.m11() * m.m22() - m.m12() * m.m21()));
    return s > 0 && std::isfinite(s) ? s : 1;
}

bool SmoothOn(const TVxSurface& Gr) {
    const TSmoothingMode m = Gr.GetSmoothingMode();
    return m == TSmoothingMode::SmoothingModeAntiAlias ||
           m == TSmoothingMode::SmoothingModeHighQuality;
}

} // namespace

void FillFace(TVxSurface& Gr, TVxFaceCorners Corners, const TVxFaceColors& Colors) {
    const TVxFaceImage face = RenderFace(Corners, Colors, TransformScale(Gr), SmoothOn(Gr));
    if (!face.Image.isNull())
        Gr.DrawImage(face.Image, face.Target);
}

void OutlineFace(TVxSurface& Gr, TVxFaceCorners Corners, const TVxFaceColors& Outline) {
    const TVxFaceImage face = RenderFace(Corners, Outline, TransformScale(Gr), SmoothOn(Gr), 1);
    if (!face.Image.isNull())
        Gr.DrawImage(face.Image, face.Target);
}
