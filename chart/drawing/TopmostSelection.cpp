#include "drawing/TopmostSelection.h"

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

// V as an int when it is a whole number in range (pixels snapped to whole coordinates).
inline bool Whole(double V, int& Out) {
    if (!(V > -1e8 && V < 1e8))
        return false;
    Out = static_cast<int>(V);
    return double(Out) == V;
}

// A thin pen with flat ends and no arrow heads: on whole coordinates its horizontal and
// vertical lines take one row or column of pixels between the ends.
inline bool ThinFlat(const TVxPen& Pen) {
    return Pen.Width <= 1 && Pen.StartCap == TLineCap::LineCapFlat &&
           Pen.EndCap == TLineCap::LineCapFlat && !Pen.CustomStartCap && !Pen.CustomEndCap;
}

inline std::uint64_t MaskFrom(int Bit) {
    return ~std::uint64_t(0) << Bit;
}

inline std::uint64_t MaskTo(int Bit) {
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
    FColumnWords = FArea.isEmpty() ? 0 : (FArea.height() + 63) / 64;
    FColumnBits.assign(static_cast<std::size_t>(FColumnWords) *
                           static_cast<std::size_t>(std::max(FArea.width(), 0)),
                       0);
    BeginItem();
}

void TVxTopmostSelection::AddEverywhere() {
    // Nothing sure about such a shape: it may reach every pixel.
    PushTouched({FArea.left(), FArea.top(), FArea.right(), FArea.bottom()});
}

void TVxTopmostSelection::AddFill(const QRectF& Rect, bool Opaque) {
    int il, it, ir, ib;
    if (Whole(Rect.left(), il) && Whole(Rect.top(), it) && Whole(Rect.right(), ir) &&
        Whole(Rect.bottom(), ib)) {
        // The spans below for whole edges: the pixels from the first edge to before the last.
        const TVxPixelRect r{std::min(il, ir), std::min(it, ib), std::max(il, ir) - 1,
                             std::max(it, ib) - 1};
        AddPixels(r, Opaque);
        return;
    }
    double l = Rect.left(), r = l + Rect.width(), t = Rect.top(), b = t + Rect.height();
    if (l > r)
        std::swap(l, r);
    if (t > b)
        std::swap(t, b);
    if (!std::isfinite(l) || !std::isfinite(r) || !std::isfinite(t) || !std::isfinite(b)) {
        AddEverywhere();
        return;
    }
    const TSpan x = Spans(l, r, FillShift), y = Spans(t, b, FillShift);
    const TVxPixelRect may = MayRect(x, y);
    if (may.IsEmpty())
        return;
    PushTouched(may);
    if (Opaque && FWithOpaque) {
        const TVxPixelRect inside = SureRect(x, y);
        if (!inside.IsEmpty())
            PushOpaque(inside);
    }
}

void TVxTopmostSelection::AddLine(QPointF A, QPointF B, const TVxPen& Pen) {
    int ax, ay, bx, by;
    if (ThinFlat(Pen) && Whole(A.x(), ax) && Whole(A.y(), ay) && Whole(B.x(), bx) &&
        Whole(B.y(), by) && (ax == bx || ay == by)) {
        // The spans below for whole coordinates: the row or column after the smaller end up
        // to the larger one (nothing for a line of no length).
        const TVxPixelRect r = ay == by
                                   ? TVxPixelRect{std::min(ax, bx) + 1, ay, std::max(ax, bx), ay}
                                   : TVxPixelRect{ax, std::min(ay, by) + 1, ax, std::max(ay, by)};
        AddPixels(r, FWithOpaque && IsOpaqueSolidPen(Pen));
        return;
    }
    if (!Finite(A) || !Finite(B)) {
        AddEverywhere();
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
    auto spans = [](double From, double To) { return Spans(From, To, StrokeShift); };
    if (!horizontal && !vertical) {
        // A slanted stroke: somewhere in its box widened by the pen.
        const double m = half + reach + 1;
        AddPixels(MayRect(spans(x0 - m, x1 + m), spans(y0 - m, y1 + m)), false);
        return;
    }
    const double a0 = horizontal ? x0 : y0, a1 = horizontal ? x1 : y1;
    const double cross = horizontal ? y0 : x0;
    // Thin lines off the pixel centres may be put on either neighbour.
    const bool offCentre = Pen.Width <= 1 && cross != std::floor(cross);
    const TSpan along = spans(a0 - reach, a1 + reach);
    const double spread = offCentre ? 0.5 : 0;
    const TSpan across = spans(cross - half - spread, cross + half + spread);
    const TVxPixelRect may = horizontal ? MayRect(along, across) : MayRect(across, along);
    if (may.IsEmpty())
        return;
    PushTouched(may);
    if (!FWithOpaque || !IsOpaqueSolidPen(Pen) || offCentre)
        return;
    // Surely taken along the line: between the ends, and the square caps.
    const TSpan sureAlong = square || reach == 0 ? along : spans(a0, a1);
    const TVxPixelRect inside =
        horizontal ? SureRect(sureAlong, across) : SureRect(across, sureAlong);
    if (!inside.IsEmpty())
        PushOpaque(inside);
}

void TVxTopmostSelection::AddOutline(const QRectF& Rect, const TVxPen& Pen) {
    int il, it, ir, ib;
    if (Pen.Width <= 1 && Whole(Rect.left(), il) && Whole(Rect.top(), it) &&
        Whole(Rect.right(), ir) && Whole(Rect.bottom(), ib)) {
        // The spans below for whole edges: the border may be taken, and each side surely is
        // from after its first corner to its last.
        const int l = std::min(il, ir), rt = std::max(il, ir);
        const int t = std::min(it, ib), b = std::max(it, ib);
        PushTouched({l, t, rt, b});
        if (!FWithOpaque || !IsOpaqueSolidPen(Pen))
            return;
        for (const TVxPixelRect& side :
             {TVxPixelRect{l + 1, t, rt, t}, TVxPixelRect{l + 1, b, rt, b},
              TVxPixelRect{l, t + 1, l, b}, TVxPixelRect{rt, t + 1, rt, b}})
            if (!side.IsEmpty())
                PushOpaque(side);
        return;
    }
    double l = Rect.left(), rt = l + Rect.width(), t = Rect.top(), b = t + Rect.height();
    if (l > rt)
        std::swap(l, rt);
    if (t > b)
        std::swap(t, b);
    if (!std::isfinite(l) || !std::isfinite(rt) || !std::isfinite(t) || !std::isfinite(b)) {
        AddEverywhere();
        return;
    }
    auto spans = [](double From, double To) { return Spans(From, To, StrokeShift); };
    // The joins reach half the width beyond the corners: the box widened by that may be
    // taken (its inside too, which a fill of the same item covers anyway).
    const double half = std::max<double>(Pen.Width, 1.0) / 2;
    const TVxPixelRect may = MayRect(spans(l - half, rt + half), spans(t - half, b + half));
    if (may.IsEmpty())
        return;
    PushTouched(may);
    if (!FWithOpaque || !IsOpaqueSolidPen(Pen))
        return;
    // Each side surely takes the pixels between its ends across its width.
    const bool thin = Pen.Width <= 1;
    const TSpan cols = spans(l, rt), rows = spans(t, b);
    auto side = [&](double Cross, bool Horizontal) {
        if (thin && Cross != std::floor(Cross))
            return; // may go to either neighbour
        const TSpan across = spans(Cross - half, Cross + half);
        const TVxPixelRect inside = Horizontal ? SureRect(cols, across) : SureRect(across, rows);
        if (!inside.IsEmpty())
            PushOpaque(inside);
    };
    side(t, true);
    side(b, true);
    side(l, false);
    side(rt, false);
}

namespace {

// Whether the bits First..Last of Words are all set.
inline bool RunSet(const std::uint64_t* Words, int First, int Last) {
    const int first = First >> 6, last = Last >> 6;
    const std::uint64_t head = MaskFrom(First & 63), tail = MaskTo(Last & 63);
    if (first == last)
        return (Words[first] & head & tail) == (head & tail);
    if ((Words[first] & head) != head || (Words[last] & tail) != tail)
        return false;
    for (int w = first + 1; w < last; ++w)
        if (Words[w] != ~std::uint64_t(0))
            return false;
    return true;
}

// Sets the bits First..Last of Words.
inline void SetRun(std::uint64_t* Words, int First, int Last) {
    const int first = First >> 6, last = Last >> 6;
    const std::uint64_t head = MaskFrom(First & 63), tail = MaskTo(Last & 63);
    if (first == last) {
        Words[first] |= head & tail;
        return;
    }
    Words[first] |= head;
    for (int w = first + 1; w < last; ++w)
        Words[w] = ~std::uint64_t(0);
    Words[last] |= tail;
}

} // namespace

bool TVxTopmostSelection::RectCovered(TVxPixelRect R) const {
    // Pixels outside the area count as covered.
    R.Left = std::max(R.Left, FArea.left());
    R.Right = std::min(R.Right, FArea.right());
    R.Top = std::max(R.Top, FArea.top());
    R.Bottom = std::min(R.Bottom, FArea.bottom());
    if (R.IsEmpty())
        return true;
    const int left = R.Left - FArea.left(), right = R.Right - FArea.left();
    const int top = R.Top - FArea.top(), bottom = R.Bottom - FArea.top();
    // Row by row or column by column, whichever takes fewer runs.
    if (right - left < bottom - top) {
        const std::uint64_t* column =
            FColumnBits.data() + static_cast<std::size_t>(left) * FColumnWords;
        for (int x = left; x <= right; ++x, column += FColumnWords)
            if (!RunSet(column, top, bottom))
                return false;
        return true;
    }
    const std::uint64_t* row = FBits.data() + static_cast<std::size_t>(top) * FWords;
    for (int y = top; y <= bottom; ++y, row += FWords)
        if (!RunSet(row, left, right))
            return false;
    return true;
}

void TVxTopmostSelection::CoverRect(TVxPixelRect R) {
    R.Left = std::max(R.Left, FArea.left());
    R.Right = std::min(R.Right, FArea.right());
    R.Top = std::max(R.Top, FArea.top());
    R.Bottom = std::min(R.Bottom, FArea.bottom());
    if (R.IsEmpty())
        return;
    const int left = R.Left - FArea.left(), right = R.Right - FArea.left();
    const int top = R.Top - FArea.top(), bottom = R.Bottom - FArea.top();
    std::uint64_t* row = FBits.data() + static_cast<std::size_t>(top) * FWords;
    for (int y = top; y <= bottom; ++y, row += FWords)
        SetRun(row, left, right);
    std::uint64_t* column = FColumnBits.data() + static_cast<std::size_t>(left) * FColumnWords;
    for (int x = left; x <= right; ++x, column += FColumnWords)
        SetRun(column, top, bottom);
}

bool TVxTopmostSelection::EndItem() {
    bool visible = FOverflow;
    for (int i = 0; i < FTouchedCount && !visible; ++i)
        visible = !RectCovered(FTouched[i]);
    // The opaque pixels lie among the touched ones: those of an item that does not show are
    // covered already.
    if (visible)
        CoverItem();
    BeginItem();
    return visible;
}

void TVxTopmostSelection::CoverItem() {
    for (int i = 0; i < FOpaqueCount; ++i)
        CoverRect(FOpaque[i]);
    BeginItem();
}

bool TVxTopmostSelection::IsCovered(int X, int Y) const {
    return RectCovered({X, Y, X, Y});
}

std::vector<int> SelectTopmost(int Count, const QRect& Area,
                               const std::function<void(int, TVxTopmostSelection&)>& Describe) {
    TVxTopmostSelection selection;
    selection.Reset(Area);
    std::vector<int> picked;
    SelectTopmostInto(selection, Count, Describe, picked);
    return picked;
}
