#pragma once
// Picks, among many small items drawn one after another on a raster target, those that are
// the last to reach at least one pixel. An item every pixel of which a later item paints over
// opaquely cannot change the image, so drawing only the picked items in their order gives the
// same pixels as drawing them all (exactly so without anti-aliasing).
//
// Items are offered from the last drawn to the first. Each describes the pixels it may touch
// (a superset) and those it surely paints opaquely (a subset); the helpers below derive both
// from the geometry with the pixel centres on integer coordinates, as TVxSurface draws it.

#include "drawing/Pen.h"

#include <QPointF>
#include <QRect>
#include <QRectF>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

/// A block of pixels, both ends included (empty when Right < Left or Bottom < Top).
struct TVxPixelRect {
    int Left = 0;
    int Top = 0;
    int Right = -1;
    int Bottom = -1;
    /// No pixel.
    bool IsEmpty() const { return Right < Left || Bottom < Top; }
};

class TVxTopmostSelection {
public:
    /// An empty selection over no pixels.
    TVxTopmostSelection() = default;
    /// Starts over for drawing restricted to Area (pixels): nothing is covered yet, and pixels
    /// outside Area count as covered since no drawing reaches them. Keeps its buffers for the
    /// next paint.
    void Reset(const QRect& Area);

    /// Starts the description of the next item (the one drawn just before the last ended).
    /// Without WithOpaque only the pixels it may touch are gathered: enough to tell whether it
    /// shows, which is all that matters for the many items that do not.
    void BeginItem(bool WithOpaque = true) {
        FTouchedCount = 0;
        FOpaqueCount = 0;
        FOverflow = false;
        FWithOpaque = WithOpaque;
    }
    /// The item may touch the pixels of Touched; with Opaque it paints all of them opaquely.
    void AddPixels(const TVxPixelRect& Touched, bool Opaque) {
        if (Touched.IsEmpty())
            return;
        PushTouched(Touched);
        if (Opaque && FWithOpaque)
            PushOpaque(Touched);
    }
    /// The item fills Rect (an aliased fill takes the pixels whose centres lie inside); Opaque
    /// when the brush is a solid, opaque colour.
    void AddFill(const QRectF& Rect, bool Opaque);
    /// The item strokes the line from A to B with Pen; only horizontal and vertical lines of a
    /// solid, opaque, undashed pen count as painting pixels opaquely.
    void AddLine(QPointF A, QPointF B, const TVxPen& Pen);
    /// The item strokes the outline of Rect with Pen.
    void AddOutline(const QRectF& Rect, const TVxPen& Pen);
    /// Ends the item: true when some pixel it may touch is not yet covered by a later item, so
    /// it must be drawn. Its opaque pixels then cover those of the items before it.
    bool EndItem();
    /// Ends an item described with its opaque pixels: they cover those of the items before it.
    void CoverItem();

    /// Pixels covered so far (for tests).
    bool IsCovered(int X, int Y) const;

private:
    static constexpr int MaxRects = 16;
    static bool Contains(const TVxPixelRect& A, const TVxPixelRect& B) {
        return A.Left <= B.Left && A.Right >= B.Right && A.Top <= B.Top && A.Bottom >= B.Bottom;
    }
    void PushTouched(const TVxPixelRect& R) {
        // A fill inside its own outline needs no check of its own.
        for (int i = 0; i < FTouchedCount; ++i) {
            if (Contains(FTouched[i], R))
                return;
            if (Contains(R, FTouched[i])) {
                FTouched[i] = R;
                return;
            }
        }
        if (FTouchedCount < MaxRects)
            FTouched[FTouchedCount++] = R;
        else
            FOverflow = true; // more than there is room for: the item is drawn
    }
    void PushOpaque(const TVxPixelRect& R) {
        if (FOpaqueCount < MaxRects) // beyond that, fewer pixels count as covered: still sound
            FOpaque[FOpaqueCount++] = R;
    }
    void AddEverywhere();
    bool RectCovered(TVxPixelRect R) const;
    void CoverRect(TVxPixelRect R);

    QRect FArea;
    int FWords = 0; // 64-bit words per row
    std::vector<std::uint64_t> FBits;
    // The same bits column by column: tall, narrow items are checked a column at a time.
    int FColumnWords = 0; // 64-bit words per column
    std::vector<std::uint64_t> FColumnBits;
    TVxPixelRect FTouched[MaxRects];
    TVxPixelRect FOpaque[MaxRects];
    int FTouchedCount = 0;
    int FOpaqueCount = 0;
    bool FOverflow = false;
    bool FWithOpaque = true;
};

/// True when Pen paints every pixel of its stroke with one opaque colour (solid colour, no
/// dashes, no custom caps).
bool IsOpaqueSolidPen(const TVxPen& Pen);

/// Into Picked, the indices 0..Count-1 (in drawing order) of the items that are the last to
/// reach some pixel of Sel's area (Sel is Reset first by the caller); Describe(i, Sel) adds the
/// pixels of item i between BeginItem and EndItem.
template <typename TDescribe>
void SelectTopmostInto(TVxTopmostSelection& Sel, int Count, TDescribe&& Describe,
                       std::vector<int>& Picked) {
    Picked.clear();
    for (int i = Count - 1; i >= 0; --i) {
        Sel.BeginItem(false);
        Describe(i, Sel);
        if (!Sel.EndItem())
            continue;
        Picked.push_back(i);
        Sel.BeginItem(true);
        Describe(i, Sel);
        Sel.CoverItem();
    }
    std::reverse(Picked.begin(), Picked.end());
}

/// The indices 0..Count-1 (in drawing order) of the items that are the last to reach some pixel
/// of Area; Describe(i, selection) adds the pixels of item i between BeginItem and EndItem.
std::vector<int> SelectTopmost(int Count, const QRect& Area,
                               const std::function<void(int, TVxTopmostSelection&)>& Describe);
