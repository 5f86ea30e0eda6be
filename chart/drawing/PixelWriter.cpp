#include "drawing/PixelWriter.h"

#include <algorithm>
#include <cmath>

namespace {

// A world coordinate that is a whole number in the range of any target, as an int.
inline bool Whole(double V, int& Out) {
    if (!(V > -1e8 && V < 1e8))
        return false;
    Out = static_cast<int>(V);
    return double(Out) == V;
}

// x * A / 255 on the four channels at once, rounded as the painter's blending rounds.
inline std::uint32_t ByteMul(std::uint32_t X, std::uint32_t A) {
    std::uint32_t t = (X & 0xff00ff) * A;
    t = (t + ((t >> 8) & 0xff00ff) + 0x800080) >> 8;
    t &= 0xff00ff;
    X = ((X >> 8) & 0xff00ff) * A;
    X = X + ((X >> 8) & 0xff00ff) + 0x800080;
    X &= 0xff00ff00;
    return X | t;
}

} // namespace

TVxPixelWriter::TVxPixelWriter(QImage& Image, const QRect& Clip, QPoint Offset)
    : FBits(Image.bits()), FStride(Image.bytesPerLine()), FClip(Clip & Image.rect()),
      FInside(Image.rect().adjusted(1, 1, -1, -1)), FOffset(Offset) {}

bool TVxPixelWriter::Supports(const QImage& Image) {
    return Image.format() == QImage::Format_ARGB32_Premultiplied ||
           Image.format() == QImage::Format_RGB32;
}

bool TVxPixelWriter::Inside(int X0, int Y0, int X1, int Y1) const {
    // With a pixel to spare: the shape's pixels before any clipping.
    return X0 + FOffset.x() >= FInside.left() && X1 + FOffset.x() <= FInside.right() &&
           Y0 + FOffset.y() >= FInside.top() && Y1 + FOffset.y() <= FInside.bottom();
}

void TVxPixelWriter::Span(int Y, int X0, int X1, std::uint32_t Pixel) {
    Block(X0, Y, X1, Y, Pixel);
}

void TVxPixelWriter::Block(int X0, int Y0, int X1, int Y1, std::uint32_t Pixel) {
    X0 = std::max(X0 + FOffset.x(), FClip.left());
    X1 = std::min(X1 + FOffset.x(), FClip.right());
    Y0 = std::max(Y0 + FOffset.y(), FClip.top());
    Y1 = std::min(Y1 + FOffset.y(), FClip.bottom());
    if (X1 < X0 || Y1 < Y0)
        return;
    for (int y = Y0; y <= Y1; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(FBits + FStride * y);
        std::fill(row + X0, row + X1 + 1, Pixel);
    }
}

bool TVxPixelWriter::Fill(const QRectF& Rect, TVxColor Color) {
    int l, t, r, b;
    if (!Whole(Rect.left(), l) || !Whole(Rect.top(), t) || !Whole(Rect.right(), r) ||
        !Whole(Rect.bottom(), b))
        return false;
    if (l > r)
        std::swap(l, r);
    if (t > b)
        std::swap(t, b);
    if (!Inside(l, t, r - 1, b - 1))
        return false;
    // Opaque colours are their own premultiplied form.
    Block(l, t, r - 1, b - 1, Color);
    return true;
}

bool TVxPixelWriter::TakesLine(QPointF A, QPointF B) const {
    int ax, ay, bx, by;
    if (!Whole(A.x(), ax) || !Whole(A.y(), ay) || !Whole(B.x(), bx) || !Whole(B.y(), by) ||
        (ax == bx) == (ay == by))
        return false;
    return ay == by ? Inside(std::min(ax, bx) + 1, ay, std::max(ax, bx), ay)
                    : Inside(ax, std::min(ay, by) + 1, ax, std::max(ay, by));
}

bool TVxPixelWriter::Line(QPointF A, QPointF B, TVxColor Color) {
    if (!TakesLine(A, B))
        return false;
    const int ax = int(A.x()), ay = int(A.y()), bx = int(B.x()), by = int(B.y());
    if (ay == by)
        Span(ay, std::min(ax, bx) + 1, std::max(ax, bx), Color);
    else
        Block(ax, std::min(ay, by) + 1, ax, std::max(ay, by), Color);
    return true;
}

bool TVxPixelWriter::Outline(const QRectF& Rect, TVxColor Color) {
    int l, t, r, b;
    if (!Whole(Rect.left(), l) || !Whole(Rect.top(), t) || !Whole(Rect.right(), r) ||
        !Whole(Rect.bottom(), b))
        return false;
    if (l > r)
        std::swap(l, r);
    if (t > b)
        std::swap(t, b);
    if (r - l < 1 || b - t < 1 || !Inside(l, t, r, b))
        return false;
    Span(t, l, r, Color);
    Span(b, l, r, Color);
    Block(l, t + 1, l, b - 1, Color);
    Block(r, t + 1, r, b - 1, Color);
    return true;
}

bool TVxPixelWriter::Blend(const QImage& Image, QPointF TopLeft) {
    if (Image.format() != QImage::Format_ARGB32_Premultiplied || Image.devicePixelRatio() != 1)
        return false;
    const double fx = std::floor(TopLeft.x() + 0.5), fy = std::floor(TopLeft.y() + 0.5);
    int x0, y0;
    if (!Whole(fx, x0) || !Whole(fy, y0) ||
        !Inside(x0, y0, x0 + Image.width() - 1, y0 + Image.height() - 1))
        return false;
    x0 += FOffset.x();
    y0 += FOffset.y();
    const int left = std::max(x0, FClip.left()),
              right = std::min(x0 + Image.width() - 1, FClip.right());
    const int top = std::max(y0, FClip.top()),
              bottom = std::min(y0 + Image.height() - 1, FClip.bottom());
    for (int y = top; y <= bottom; ++y) {
        const auto* src = reinterpret_cast<const std::uint32_t*>(Image.constScanLine(y - y0)) - x0;
        auto* dst = reinterpret_cast<std::uint32_t*>(FBits + FStride * y);
        for (int x = left; x <= right; ++x) {
            const std::uint32_t s = src[x];
            const std::uint32_t alpha = s >> 24;
            if (alpha == 255)
                dst[x] = s;
            else if (s != 0)
                dst[x] = s + ByteMul(dst[x], 255 - alpha);
        }
    }
    return true;
}
