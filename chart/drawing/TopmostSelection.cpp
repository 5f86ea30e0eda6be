#include "drawing/TopmostSelection.h"

#include <algorithm>
#include <cmath>

namespace {

// Aliased drawing on the surface's raster targets takes pixel i (centre at i) in a direction
// where a shape spans the edges A..B when A < i <= B for strokes, and when A - 1/64 < i <=
// B - 1/64 for fills (the surface moves fills a little so that they take their left and top
// edge pixels). The rasteriser works in steps of 1/64: edges on that grid are exact, others
// go to either neighbour on it.
constexpr double Far = 64e6; // beyond any target, in 1/64 steps: keeps the conversions in range

// V in steps of 1/64, rounded down; Exact when V lies on the grid.
inline std::int64_t Steps(double V, bool& Exact) {
    double s = V * 64;
    if (!(s > -Far && s < Far))
        s = s > 0 ? Far : -Far;
    std::int64_t i = static_cast<std::int64_t>(s); // truncates toward zero
    if (double(i) > s)
        --i;
    Exact = double(i) == s;
    return i;
}

// The pixels the span A..B (moved by Shift steps) may take, and those it surely takes. Off the
// grid, an edge is rounded to the step below or above: the pixels it may take come from the
// wider choice, those it surely takes from the narrower one.
struct TSpan {
    int MayFirst, MayLast, SureFirst, SureLast;
};

inline TSpan Spans(double A, double B, int Shift) {
    bool exactA, exactB;
    const std::int64_t a = Steps(A, exactA) + Shift, b = Steps(B, exactB) + Shift;
    // Arithmetic shifts: divisions by 64 rounding down.
    TSpan r;
    r.MayFirst = static_cast<int>(a >> 6) + 1;
    r.SureFirst = exactA ? r.MayFirst : static_cast<int>((a + 1) >> 6) + 1;
    r.SureLast = static_cast<int>(b >> 6);
    r.MayLast = exactB ? r.SureLast : static_cast<int>((b + 1) >> 6);
    return r;
}

TVxPixelRect MayRect(const TSpan& X, const TSpan& Y) {
    return {X.MayFirst, Y.MayFirst, X.MayLast, Y.MayLast};
}

TVxPixelRect SureRect(const TSpan& X, const TSpan& Y) {
    return {X.SureFirst, Y.SureFirst, X.SureLast, Y.SureLast};
}

bool Finite(QPointF P) {
    return std::isfinite(P.x()) && std::isfinite(P.y());
}

constexpr int FillShift = -1;
constexpr int StrokeShift = 0;

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
    if (!Finite(r.topLeft()) || !Finite(r.bottomRight())) {
        // Nothing sure about such a shape: it may reach every pixel.
        AddPixels({FArea.left(), FArea.top(), FArea.right(), FArea.bottom()}, false);
        return;
    }
    const TSpan x = Spans(r.left(), r.right(), FillShift);
    const TSpan y = Spans(r.top(), r.bottom(), FillShift);
    AddPixels(MayRect(x, y), false);
    if (Opaque) {
        const TVxPixelRect inside = SureRect(x, y);
        if (!inside.IsEmpty())
            FOpaque.push_back(inside);
    }
}

void TVxTopmostSelection::AddLine(QPointF A, QPointF B, const TVxPen& Pen) {
    if (!Finite(A) || !Finite(B)) {
        AddPixels({FArea.left(), FArea.top(), FArea.right(), FArea.bottom()}, false);
        return;
    }
    // Thin lines are drawn one pixel wide. Caps other than flat may reach half the width
    // beyond the ends, arrow heads further.
    const double half = std::max<double>(Pen.Width, 1.0) / 2;
    const bool flat = Pen.StartCap == TLineCap::LineCapFlat && Pen.EndCap == TLineCap::LineCapFlat;
    const bool square =
        Pen.StartCap == TLineCap::LineCapSquare && Pen.EndCap == TLineCap::LineCapSquare;
    const bool arrows = Pen.CustomStartCap || Pen.CustomEndCap;
    const double reach = arrows ? 4 * half + 2 : flat ? 0 : half;
    const double x0 = std::min(A.x(), B.x()), x1 = std::max(A.x(), B.x());
    const double y0 = std::min(A.y(), B.y()), y1 = std::max(A.y(), B.y());
    const bool horizontal = y0 == y1, vertical = x0 == x1;
    if (!horizontal && !vertical) {
        // A slanted stroke: somewhere in its box widened by the pen.
        const double m = half + reach + 1;
        AddPixels(MayRect(Spans(x0 - m, x1 + m, StrokeShift), Spans(y0 - m, y1 + m, StrokeShift)),
                  false);
        return;
    }
    const double a0 = horizontal ? x0 : y0, a1 = horizontal ? x1 : y1;
    const double cross = horizontal ? y0 : x0;
    // Thin lines off the pixel centres may be put on either neighbour.
    const bool offCentre = Pen.Width <= 1 && cross != std::floor(cross);
    const TSpan along = Spans(a0 - reach, a1 + reach, StrokeShift);
    const TSpan across = Spans(cross - half - (offCentre ? 0.5 : 0),
                               cross + half + (offCentre ? 0.5 : 0), StrokeShift);
    AddPixels(horizontal ? MayRect(along, across) : MayRect(across, along), false);
    if (!IsOpaqueSolidPen(Pen) || offCentre)
        return;
    // Surely taken along the line: between the ends, and the square caps.
    const TSpan sureAlong = square || reach == 0 ? along : Spans(a0, a1, StrokeShift);
    const TVxPixelRect inside =
        horizontal ? SureRect(sureAlong, across) : SureRect(across, sureAlong);
    if (!inside.IsEmpty())
        FOpaque.push_back(inside);
}

void TVxTopmostSelection::AddOutline(const QRectF& Rect, const TVxPen& Pen) {
    const QRectF r = Rect.normalized();
    if (!Finite(r.topLeft()) || !Finite(r.bottomRight())) {
        AddPixels({FArea.left(), FArea.top(), FArea.right(), FArea.bottom()}, false);
        return;
    }
    // The joins reach half the width beyond the corners: the box widened by that may be
    // taken (its inside too, which a fill of the same item covers anyway).
    const double half = std::max<double>(Pen.Width, 1.0) / 2;
    const double l = r.left(), t = r.top(), rt = r.right(), b = r.bottom();
    AddPixels(
        MayRect(Spans(l - half, rt + half, StrokeShift), Spans(t - half, b + half, StrokeShift)),
        false);
    if (!IsOpaqueSolidPen(Pen))
        return;
    // Each side surely takes the pixels between its ends across its width.
    const bool thin = Pen.Width <= 1;
    const TSpan cols = Spans(l, rt, StrokeShift), rows = Spans(t, b, StrokeShift);
    auto side = [&](double Cross, bool Horizontal) {
        if (thin && Cross != std::floor(Cross))
            return; // may go to either neighbour
        const TSpan across = Spans(Cross - half, Cross + half, StrokeShift);
        const TVxPixelRect inside = Horizontal ? SureRect(cols, across) : SureRect(across, rows);
        if (!inside.IsEmpty())
            FOpaque.push_back(inside);
    };
    side(t, true);
    side(b, true);
    side(l, false);
    side(rt, false);
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
