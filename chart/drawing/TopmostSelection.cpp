#include "drawing/TopmostSelection.h"

#include <algorithm>
#include <cmath>

namespace {

// Aliased drawing on the surface's raster targets takes pixel i (centre at i) in a direction
// where a shape spans the edges A..B when A < i <= B for strokes, and when A - 1/64 < i <=
// B - 1/64 for fills (the surface moves fills a little so that they take their left and top
// edge pixels). Edges on the 1/64 grid of the rasteriser are exact; others may be rounded to
// either neighbour on the grid, so for them a centre within one grid step may go either way.
constexpr double Step = 1.0 / 64;
constexpr double Far = 1e6; // beyond any target: keeps the int conversions in range

bool OnGrid(double V) {
    const double scaled = V * 64;
    return scaled == std::floor(scaled);
}

// Pixels [First, Last] that the span A..B (shifted by Shift) may take, or surely takes.
void Span(double A, double B, double Shift, bool Sure, int& First, int& Last) {
    A = std::clamp(A, -Far, Far);
    B = std::clamp(B, -Far, Far);
    const double slackA = OnGrid(A) ? 0 : Sure ? Step : -Step;
    const double slackB = OnGrid(B) ? 0 : Sure ? -Step : Step;
    First = static_cast<int>(std::floor(A + Shift + slackA)) + 1;
    Last = static_cast<int>(std::floor(B + Shift + slackB));
}

constexpr double FillShift = -Step;
constexpr double StrokeShift = 0;

std::uint64_t MaskFrom(int Bit) {
    return ~std::uint64_t(0) << Bit;
}

std::uint64_t MaskTo(int Bit) {
    return Bit == 63 ? ~std::uint64_t(0) : (std::uint64_t(1) << (Bit + 1)) - 1;
}

} // namespace

bool IsOpaqueSolidPen(const TVxPen& Pen) {
    return !Pen.Brush && GetAlpha(Pen.Color) == 0xFF &&
           Pen.DashStyle == TDashStyle::DashStyleSolid && !Pen.CustomStartCap && !Pen.CustomEndCap;
}

void TVxTopmostSelection::Reset(const QRect& Area) {
    FArea = Area.isValid() ? Area : QRect();
    FWords = FArea.isEmpty() ? 0 : (FArea.width() + 63) / 64;
    FBits.assign(static_cast<std::size_t>(FWords) *
                     static_cast<std::size_t>(std::max(FArea.height(), 0)),
                 0);
    FTouched.clear();
    FOpaque.clear();
}

void TVxTopmostSelection::BeginItem() {
    FTouched.clear();
    FOpaque.clear();
}

void TVxTopmostSelection::AddPixels(const TVxPixelRect& Touched, bool Opaque) {
    if (Touched.IsEmpty())
        return;
    FTouched.push_back(Touched);
    if (Opaque)
        FOpaque.push_back(Touched);
}

void TVxTopmostSelection::AddFill(const QRectF& Rect, bool Opaque) {
    const QRectF r = Rect.normalized();
    if (!std::isfinite(r.left()) || !std::isfinite(r.right()) || !std::isfinite(r.top()) ||
        !std::isfinite(r.bottom())) {
        // Nothing sure about such a shape: it may reach every pixel.
        AddPixels({FArea.left(), FArea.top(), FArea.right(), FArea.bottom()}, false);
        return;
    }
    TVxPixelRect touched;
    Span(r.left(), r.right(), FillShift, false, touched.Left, touched.Right);
    Span(r.top(), r.bottom(), FillShift, false, touched.Top, touched.Bottom);
    AddPixels(touched, false);
    if (Opaque) {
        TVxPixelRect inside;
        Span(r.left(), r.right(), FillShift, true, inside.Left, inside.Right);
        Span(r.top(), r.bottom(), FillShift, true, inside.Top, inside.Bottom);
        if (!inside.IsEmpty())
            FOpaque.push_back(inside);
    }
}

void TVxTopmostSelection::AddLine(QPointF A, QPointF B, const TVxPen& Pen) {
    AddStroke(A, B, Pen, false);
}

void TVxTopmostSelection::AddStroke(QPointF A, QPointF B, const TVxPen& Pen, bool Joined) {
    if (!std::isfinite(A.x()) || !std::isfinite(A.y()) || !std::isfinite(B.x()) ||
        !std::isfinite(B.y())) {
        AddPixels({FArea.left(), FArea.top(), FArea.right(), FArea.bottom()}, false);
        return;
    }
    // Thin lines are drawn one pixel wide. Caps other than flat, and the joins of an
    // outline, may reach half the width beyond the ends; arrow heads further.
    const double half = std::max<double>(Pen.Width, 1.0) / 2;
    const bool flat = Pen.StartCap == TLineCap::LineCapFlat && Pen.EndCap == TLineCap::LineCapFlat;
    const bool square =
        Pen.StartCap == TLineCap::LineCapSquare && Pen.EndCap == TLineCap::LineCapSquare;
    const double reach = Pen.CustomStartCap || Pen.CustomEndCap ? 4 * half + 2
                         : Joined || !flat                      ? half
                                                                : 0;
    const double x0 = std::min(A.x(), B.x()), x1 = std::max(A.x(), B.x());
    const double y0 = std::min(A.y(), B.y()), y1 = std::max(A.y(), B.y());
    const bool horizontal = y0 == y1, vertical = x0 == x1;
    if (!horizontal && !vertical) {
        // A slanted stroke: somewhere in its box widened by the pen.
        TVxPixelRect box;
        Span(x0 - half - reach - 1, x1 + half + reach + 1, StrokeShift, false, box.Left, box.Right);
        Span(y0 - half - reach - 1, y1 + half + reach + 1, StrokeShift, false, box.Top, box.Bottom);
        AddPixels(box, false);
        return;
    }
    // Thin lines off the pixel centres may be put on either neighbour.
    const double cross = horizontal ? y0 : x0;
    const double crossSlack = Pen.Width <= 1 && cross != std::floor(cross) ? 0.5 : 0;
    TVxPixelRect touched, inside;
    const double along = square && !Joined ? half : 0;
    int* t[4] = {&touched.Left, &touched.Right, &touched.Top, &touched.Bottom};
    int* s[4] = {&inside.Left, &inside.Right, &inside.Top, &inside.Bottom};
    if (vertical) {
        std::swap(t[0], t[2]);
        std::swap(t[1], t[3]);
        std::swap(s[0], s[2]);
        std::swap(s[1], s[3]);
    }
    const double a0 = horizontal ? x0 : y0, a1 = horizontal ? x1 : y1;
    Span(a0 - reach, a1 + reach, StrokeShift, false, *t[0], *t[1]);
    Span(cross - half - crossSlack, cross + half + crossSlack, StrokeShift, false, *t[2], *t[3]);
    AddPixels(touched, false);
    if (!IsOpaqueSolidPen(Pen) || crossSlack > 0)
        return;
    Span(a0 - along, a1 + along, StrokeShift, true, *s[0], *s[1]);
    Span(cross - half, cross + half, StrokeShift, true, *s[2], *s[3]);
    if (!inside.IsEmpty())
        FOpaque.push_back(inside);
}

void TVxTopmostSelection::AddOutline(const QRectF& Rect, const TVxPen& Pen) {
    const QRectF r = Rect.normalized();
    AddStroke(r.topLeft(), r.topRight(), Pen, true);
    AddStroke(r.topRight(), r.bottomRight(), Pen, true);
    AddStroke(r.bottomRight(), r.bottomLeft(), Pen, true);
    AddStroke(r.bottomLeft(), r.topLeft(), Pen, true);
}

bool TVxTopmostSelection::Clip(TVxPixelRect& R) const {
    R.Left = std::max(R.Left, FArea.left());
    R.Right = std::min(R.Right, FArea.right());
    R.Top = std::max(R.Top, FArea.top());
    R.Bottom = std::min(R.Bottom, FArea.bottom());
    return !R.IsEmpty();
}

bool TVxTopmostSelection::RowCovered(int Row, int Left, int Right) const {
    const std::uint64_t* row = FBits.data() + static_cast<std::size_t>(Row) * FWords;
    const int first = Left / 64, last = Right / 64;
    for (int w = first; w <= last; ++w) {
        std::uint64_t mask = ~std::uint64_t(0);
        if (w == first)
            mask &= MaskFrom(Left % 64);
        if (w == last)
            mask &= MaskTo(Right % 64);
        if ((row[w] & mask) != mask)
            return false;
    }
    return true;
}

void TVxTopmostSelection::CoverRow(int Row, int Left, int Right) {
    std::uint64_t* row = FBits.data() + static_cast<std::size_t>(Row) * FWords;
    const int first = Left / 64, last = Right / 64;
    for (int w = first; w <= last; ++w) {
        std::uint64_t mask = ~std::uint64_t(0);
        if (w == first)
            mask &= MaskFrom(Left % 64);
        if (w == last)
            mask &= MaskTo(Right % 64);
        row[w] |= mask;
    }
}

bool TVxTopmostSelection::EndItem() {
    bool visible = false;
    for (TVxPixelRect r : FTouched) {
        if (!Clip(r))
            continue;
        for (int y = r.Top; y <= r.Bottom && !visible; ++y)
            visible = !RowCovered(y - FArea.top(), r.Left - FArea.left(), r.Right - FArea.left());
        if (visible)
            break;
    }
    for (TVxPixelRect r : FOpaque) {
        if (!Clip(r))
            continue;
        for (int y = r.Top; y <= r.Bottom; ++y)
            CoverRow(y - FArea.top(), r.Left - FArea.left(), r.Right - FArea.left());
    }
    FTouched.clear();
    FOpaque.clear();
    return visible;
}

bool TVxTopmostSelection::IsCovered(int X, int Y) const {
    if (!FArea.contains(X, Y))
        return true;
    return RowCovered(Y - FArea.top(), X - FArea.left(), X - FArea.left());
}

std::vector<int> SelectTopmost(int Count, const QRect& Area,
                               const std::function<void(int, TVxTopmostSelection&)>& Describe) {
    TVxTopmostSelection selection;
    selection.Reset(Area);
    std::vector<int> picked;
    for (int i = Count - 1; i >= 0; --i) {
        selection.BeginItem();
        Describe(i, selection);
        if (selection.EndItem())
            picked.push_back(i);
    }
    std::reverse(picked.begin(), picked.end());
    return picked;
}
