// Line markers on a graph: layout of line and caption box for every position and offset,
// painting, dragging with the mouse, snapping, undo steps, following zoom and data.

#include "MarkerTestSupport.h"
#include "drawing/RecordingSurface.h"

#include <QCoreApplication>
#include <algorithm>
#include <array>
#include <tuple>

namespace {

class LineMarkerTest : public MarkerFixture {
protected:
    template <class TMarker> TMarker* MakeMarker(const QString& Name) {
        auto* marker = new TMarker(&Form);
        marker->setObjectName(Name);
        UseTestFont(*marker->Font());
        marker->SetXAxis(std::is_same_v<TMarker, TVxHorizontalMarker> ? nullptr : XAxis());
        marker->SetYAxis(std::is_same_v<TMarker, TVxVerticalMarker> ? nullptr : YAxis());
        marker->SetHost(Graph);
        return marker;
    }
    static int DrawnLines(TVxMovable& Marker) {
        TVxRecordingSurface surface;
        Marker.PaintGr(surface);
        return int(
            std::count_if(surface.Records().begin(), surface.Records().end(),
                          [](const TVxDrawRecord& r) { return r.Op == TVxDrawOp::DrawLine; }));
    }
};

bool Covers(QRect Outer, QRect Inner) {
    return Inner.isEmpty() || Outer.contains(Inner);
}

} // namespace

TEST_F(LineMarkerTest, CaptionBoxMarginFollowsFontSizeAndSpaceToBorder) {
    auto* marker = MakeMarker<TVxHorizontalMarker>("H");
    marker->SetCaption("Peak");
    marker->SetCaptionVisible(true);
    marker->UpdatePosition();
    EXPECT_EQ(marker->CaptionBoxMargin(), 0); // no background
    marker->SetCaptionBackColor(VxColor(0xFFFFFFFF));
    marker->UpdatePosition();
    EXPECT_DOUBLE_EQ(marker->CaptionBoxMargin(), 10 * 0.02 * 40); // 8 pixels
    marker->SetCaptionBackSpaceToBorder(10);
    marker->UpdatePosition();
    EXPECT_DOUBLE_EQ(marker->CaptionBoxMargin(), 2);
}

// Every position, both orientations, offsets -30 .. 30 in both directions: the caption keeps
// its side and anchor as the position table says, the line spans the data area with its
// centre on the value, and the bounds cover line and box.
TEST_F(LineMarkerTest, CaptionPlacementTableForBothLineMarkers) {
    const TReferenceMetrics metrics(MarkerPoints);
    const double margin = MarkerPoints * 0.02 * 40;
    const double boxW = metrics.Run("Peak") + 2 * SidePadding(MarkerPoints) + 2 * margin;
    const double boxH = metrics.LineHeight() + 2 * margin;
    const std::array<int, 5> deltas{-30, -3, 0, 3, 30};
    auto* h = MakeMarker<TVxHorizontalMarker>("H");
    auto* v = MakeMarker<TVxVerticalMarker>("V");
    for (TVxMovable* m : {static_cast<TVxMovable*>(h), static_cast<TVxMovable*>(v)}) {
        m->SetCaption("Peak");
        m->SetCaptionVisible(true);
        m->SetCaptionBackColor(VxColor(0xFFFFFFFF));
    }
    h->SetY(50);
    v->SetX(5);
    for (int position = 0; position < 9; ++position)
        for (int dx : deltas)
            for (int dy : deltas) {
                const int row = position / 3, column = position % 3;
                SCOPED_TRACE(testing::Message()
                             << "position " << position << " dx " << dx << " dy " << dy);
                for (TVxMovable* m : {static_cast<TVxMovable*>(h), static_cast<TVxMovable*>(v)}) {
                    m->SetCaptionPosition(TVxContentAlignment(position));
                    m->SetCaptionDeltaX(dx);
                    m->SetCaptionDeltaY(dy);
                    m->UpdatePosition();
                    const QRect bounds(0, 0, m->Width(), m->Height());
                    EXPECT_TRUE(Covers(bounds, m->LineRect()));
                    EXPECT_TRUE(Covers(bounds, m->CaptionRect()));
                    EXPECT_NEAR(m->CaptionRect().width(), m == h ? boxW : boxW, 2.0);
                    EXPECT_NEAR(m->CaptionRect().height(), boxH, 2.0);
                }
                // Horizontal marker: along x from the line's start, across y from its centre.
                {
                    const QRect line = h->LineRect();
                    EXPECT_EQ(line.height(), 5);
                    EXPECT_EQ(line.width(), Rounded(Area().width()));
                    EXPECT_EQ(h->Left() + line.left(), Rounded(Area().left()));
                    EXPECT_EQ(h->HotDelta().y(), line.top() + 2);
                    EXPECT_EQ(h->Top() + h->HotDelta().y(), YPixel(50));
                    const double w = line.width();
                    const double along = column == 1               ? w / 2 + dx - boxW / 2
                                         : row == 1 && column == 0 ? -dx - boxW
                                         : row == 1                ? w + dx
                                         : column == 0             ? -dx
                                                                   : w + dx - boxW;
                    const double across = row == 0 ? -dy - boxH : row == 1 ? -dy - boxH / 2 : dy;
                    EXPECT_NEAR(h->CaptionRect().left() - line.left(), along, 1.0);
                    EXPECT_NEAR(h->CaptionRect().top() - h->HotDelta().y(), across, 1.0);
                }
                // Vertical marker: along y from the line's top, across x from its centre.
                {
                    const QRect line = v->LineRect();
                    EXPECT_EQ(line.width(), 5);
                    EXPECT_EQ(line.height(), Rounded(Area().height()));
                    EXPECT_EQ(v->Top() + line.top(), Rounded(Area().top()));
                    EXPECT_EQ(v->HotDelta().x(), line.left() + 2);
                    EXPECT_EQ(v->Left() + v->HotDelta().x(), XPixel(5));
                    const double l = line.height();
                    const double along = row == 1                  ? l / 2 + dy - boxH / 2
                                         : column == 1 && row == 0 ? -dy - boxH
                                         : column == 1             ? l + dy
                                         : row == 0                ? -dy
                                                                   : l + dy - boxH;
                    const double across = column == 0   ? -dx - boxW
                                          : column == 1 ? dx - boxW / 2
                                                        : dx;
                    EXPECT_NEAR(v->CaptionRect().top() - line.top(), along, 1.0);
                    EXPECT_NEAR(v->CaptionRect().left() - v->HotDelta().x(), across, 1.0);
                }
            }
}

TEST_F(LineMarkerTest, OffsetsBeforeTheStartMoveTheLeftEdgeAndAfterTheEndWidenTheMarker) {
    auto* h = MakeMarker<TVxHorizontalMarker>("H");
    h->SetCaption("Peak");
    h->SetCaptionVisible(true);
    h->SetY(50);
    const double boxW = TReferenceMetrics(MarkerPoints).Run("Peak") + 2 * SidePadding(MarkerPoints);
    const int w = Rounded(Area().width());
    h->SetCaptionPosition(TVxContentAlignment::MiddleRight);
    h->SetCaptionDeltaX(10);
    h->UpdatePosition();
    EXPECT_NEAR(h->Width(), w + 10 + boxW, 1.0);
    EXPECT_EQ(h->CaptionRect().left(), w + 10);
    h->SetCaptionPosition(TVxContentAlignment::TopLeft);
    h->UpdatePosition();
    EXPECT_EQ(h->Left(), Rounded(Area().left()) - 10);
    EXPECT_EQ(h->CaptionRect().left(), 0);
    EXPECT_EQ(h->LineRect().left(), 10);
}

TEST_F(LineMarkerTest, WithoutCaptionTheMarkerIsTheLineOfThicknessAtLeastFive) {
    auto* h = MakeMarker<TVxHorizontalMarker>("H");
    h->SetY(25);
    for (const auto& [width, thickness] : {std::pair{1.0f, 5}, {7.4f, 7}, {8.5f, 8}}) {
        h->Line()->SetWidth(width);
        h->UpdatePosition();
        EXPECT_EQ(h->Height(), thickness);
        EXPECT_EQ(h->Width(), Rounded(Area().width()));
        EXPECT_EQ(h->Top() + thickness / 2, YPixel(25));
    }
    // Without ClipToData the line spans the whole graph.
    h->SetClipToData(false);
    h->UpdatePosition();
    EXPECT_EQ(h->Left(), 0);
    EXPECT_EQ(h->Width(), 600);
}

TEST_F(LineMarkerTest, PaintsOnlyWhileTheValueLiesInTheAxisRange) {
    auto* h = MakeMarker<TVxHorizontalMarker>("H");
    h->SetY(150);
    EXPECT_EQ(DrawnLines(*h), 0);
    h->SetClipToData(false);
    EXPECT_EQ(DrawnLines(*h), 1);
    h->SetClipToData(true);
    h->SetY(40);
    TVxRecordingSurface surface;
    h->PaintGr(surface);
    ASSERT_EQ(surface.Records().size() > 0, true);
    const auto line =
        std::find_if(surface.Records().begin(), surface.Records().end(),
                     [](const TVxDrawRecord& r) { return r.Op == TVxDrawOp::DrawLine; });
    ASSERT_NE(line, surface.Records().end());
    // In marker pixels: the centre row of the line rectangle, across the data area's width.
    EXPECT_EQ(line->Points[0].y() + h->Top(), YPixel(40));
    EXPECT_EQ(line->Points[1].x() - line->Points[0].x(), Rounded(Area().width()));
}

TEST_F(LineMarkerTest, PlainLeftDragMovesVerticallyAndRecordsOneStep) {
    auto* h = MakeMarker<TVxHorizontalMarker>("H");
    h->SetY(50);
    Undo.Clear();
    Layout();
    const int left = h->Left();
    const double xStart = XAxis()->Start();
    const QPointF at(300, YPixel(50));
    std::vector<QPointF> moves;
    for (int i = 1; i <= 30; ++i)
        moves.push_back(at + QPointF(i, i));
    Drag(at, moves);
    EXPECT_EQ(h->Left(), left);
    EXPECT_EQ(h->Top() + h->HotDelta().y(), YPixel(50) + 30);
    EXPECT_DOUBLE_EQ(h->Y(), YAxis()->WorldToNumber(float(YPixel(50) + 30)));
    EXPECT_EQ(XAxis()->Start(), xStart); // the press was the marker's: no zoom
    ASSERT_EQ(Undo.UndoCount(), 1);
    EXPECT_EQ(Undo.UndoList().front(), "Marker move");
    ASSERT_TRUE(Undo.Undo());
    EXPECT_EQ(h->Y(), 50);
}

TEST_F(LineMarkerTest, ThirtyMovesKeepTheEarlierHistoryWithLimitTwenty) {
    auto* v = MakeMarker<TVxVerticalMarker>("V");
    v->SetX(5);
    Undo.Clear();
    Undo.SetLimit(20);
    v->SetCaptionDeltaX(3);
    v->SetCaptionDeltaY(4);
    v->SetCaptionVisible(true);
    Layout();
    const QPointF at(XPixel(5), Area().center().y());
    std::vector<QPointF> moves;
    for (int i = 1; i <= 30; ++i)
        moves.push_back(at + QPointF(i, 2 * i));
    Drag(at, moves);
    EXPECT_EQ(v->Left() + v->HotDelta().x(), XPixel(5) + 30); // horizontally only
    EXPECT_EQ(Undo.UndoCount(), 4);
    ASSERT_TRUE(Undo.Undo());
    EXPECT_EQ(v->X(), 5);
    EXPECT_EQ(v->CaptionDeltaY(), 4);
}

TEST_F(LineMarkerTest, CtrlLeftAndDoubleClickDoNotMoveAndDoNotZoom) {
    auto* h = MakeMarker<TVxHorizontalMarker>("H");
    h->SetY(50);
    Undo.Clear();
    Layout();
    const QPointF at(300, YPixel(50));
    const double xStart = XAxis()->Start(), xStop = XAxis()->Stop();
    Drag(at, {at + QPointF(40, 40)}, Qt::ControlModifier);
    EXPECT_EQ(h->Y(), 50);
    SendMarkerMouse(Graph, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    SendMarkerMouse(Graph, QEvent::MouseMove, at + QPointF(0, 40), Qt::NoButton, Qt::LeftButton);
    SendMarkerMouse(Graph, QEvent::MouseButtonRelease, at + QPointF(0, 40), Qt::LeftButton,
                    Qt::NoButton);
    EXPECT_EQ(h->Y(), 50);
    EXPECT_EQ(XAxis()->Start(), xStart);
    EXPECT_EQ(XAxis()->Stop(), xStop);
    EXPECT_EQ(Undo.UndoCount(), 0);
}

TEST_F(LineMarkerTest, APressBesideLineAndCaptionGoesOnToZoom) {
    auto* h = MakeMarker<TVxHorizontalMarker>("H");
    h->SetY(50);
    h->SetCaption("Peak");
    h->SetCaptionVisible(true); // top right: the bounds reach above the line's left part too
    Layout();
    const QPointF beside(h->Left() + 20, h->Top() + 2);
    ASSERT_TRUE(h->BoundsRect().contains(beside.toPoint()));
    ASSERT_FALSE(h->HitTest(beside));
    const double xStart = XAxis()->Start(), xStop = XAxis()->Stop();
    Drag(beside, {beside + QPointF(150, 150)});
    EXPECT_TRUE(XAxis()->Start() != xStart || XAxis()->Stop() != xStop);
    EXPECT_EQ(h->Y(), 50);
}

TEST_F(LineMarkerTest, DraggingPastAnEdgeStopsTheHotPointAtTheEdgePixel) {
    auto* h = MakeMarker<TVxHorizontalMarker>("H");
    h->SetY(50);
    h->SetClipToData(false);
    Layout();
    const QPointF at(300, YPixel(50));
    Drag(at, {at + QPointF(0, -5000)});
    EXPECT_EQ(h->Top() + h->HotDelta().y(), 0);
    Drag(QPointF(300, 0), {QPointF(300, 5000)});
    EXPECT_EQ(h->Top() + h->HotDelta().y(), 399);
}

TEST_F(LineMarkerTest, HoverShowsTheMarkerCursorAndLeavingRestoresTheGraphs) {
    auto* v = MakeMarker<TVxVerticalMarker>("V");
    v->SetX(5);
    Layout();
    Graph->setCursor(Qt::CrossCursor);
    Graph->setMouseTracking(true);
    SendMarkerMouse(Graph, QEvent::MouseMove, QPointF(XPixel(5), 200), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(Graph->cursor().shape(), Qt::SizeHorCursor);
    SendMarkerMouse(Graph, QEvent::MouseMove, QPointF(XPixel(5) + 40, 200), Qt::NoButton,
                    Qt::NoButton);
    EXPECT_EQ(Graph->cursor().shape(), Qt::CrossCursor);
}

TEST_F(LineMarkerTest, ZoomAndPanKeepMarkersOnTheirValuesAndClipHidesThemOutside) {
    auto* v = MakeMarker<TVxVerticalMarker>("V");
    v->SetX(5);
    Layout();
    EXPECT_EQ(v->Left() + v->HotDelta().x(), XPixel(5));
    XAxis()->ZoomIn(4, 6);
    Layout();
    EXPECT_EQ(v->Left() + v->HotDelta().x(), XPixel(5));
    EXPECT_EQ(v->X(), 5);
    XAxis()->ZoomIn(6, 8);
    Layout();
    EXPECT_EQ(DrawnLines(*v), 0);
}

TEST_F(LineMarkerTest, SnappingTakesTheNearestValueAndTiesGoToTheSeriesRelatedFirst) {
    TVxSeries* a = MakeSeries({1, 3, 5, 7}, {10, 30, 50, 70}, "A");
    TVxSeries* b = MakeSeries({2, 3, 6}, {20, 35, 60}, "B");
    auto* v = MakeMarker<TVxVerticalMarker>("V");
    v->SetX(5);
    v->SetSnapToSeriesValues(true);
    Layout();
    // Towards x = 5.8: 6 of B is nearest.
    Drag(QPointF(XPixel(5), 200), {QPointF(XPixel(5.8), 200)});
    EXPECT_EQ(v->SnappedSeries(), b);
    EXPECT_EQ(v->SnappedIdx(), 2);
    EXPECT_EQ(v->X(), 6);
    EXPECT_EQ(v->Left() + v->HotDelta().x(), XPixel(6));
    // x = 3 lies in both: the series related to the axis first wins.
    Drag(QPointF(XPixel(6), 200), {QPointF(XPixel(3.1), 200)});
    EXPECT_EQ(v->SnappedSeries(), a);
    EXPECT_EQ(v->SnappedIdx(), 1);
    // A fixed series alone is asked.
    v->SetSnappedSeries(b);
    Drag(QPointF(XPixel(3), 200), {QPointF(XPixel(4.9), 200)});
    EXPECT_EQ(v->SnappedSeries(), b);
    EXPECT_EQ(v->X(), 6);
}

TEST_F(LineMarkerTest, SnappedMarkersFollowInsertDeleteAndClearWithoutUndoSteps) {
    TVxSeries* a = MakeSeries({1, 3, 5, 7}, {10, 30, 50, 70}, "A");
    auto* xs = a->XData();
    auto* ys = a->YData();
    auto* v = MakeMarker<TVxVerticalMarker>("V");
    v->SetSnapToSeriesValues(true);
    v->SetSnappedSeries(a);
    v->SetSnappedIdx(2);
    Layout();
    EXPECT_EQ(v->X(), 5);
    Undo.Clear();
    xs->Insert(0, 0.5);
    ys->Insert(0, 5);
    Layout();
    EXPECT_EQ(v->SnappedIdx(), 3);
    EXPECT_EQ(v->X(), 5);
    EXPECT_EQ(Undo.UndoCount(), 0);
    // Deleting a value before it lowers the index; deleting its own frees it.
    ys->Delete(0);
    xs->Delete(0);
    Layout();
    EXPECT_EQ(v->SnappedIdx(), 2);
    const QPointer<TVxMovable> guard(v);
    ys->Delete(2);
    EXPECT_FALSE(v->Visible());
    EXPECT_EQ(v->Host(), nullptr);
    EXPECT_TRUE(std::find(Graph->Items().begin(), Graph->Items().end(), v) == Graph->Items().end());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
    EXPECT_EQ(Undo.UndoCount(), 0);
    // Clearing frees every snapped marker, even in the middle of a drag.
    auto* w = MakeMarker<TVxVerticalMarker>("W");
    w->SetSnapToSeriesValues(true);
    w->SetSnappedSeries(a);
    w->SetSnappedIdx(0);
    const QPointer<TVxMovable> wGuard(w);
    SendMarkerMouse(Graph, QEvent::MouseButtonPress, QPointF(XPixel(w->X()), 200), Qt::LeftButton,
                    Qt::LeftButton);
    ASSERT_TRUE(w->Dragging());
    ys->Clear();
    SendMarkerMouse(Graph, QEvent::MouseMove, QPointF(XPixel(w->X()) + 30, 200), Qt::NoButton,
                    Qt::LeftButton);
    SendMarkerMouse(Graph, QEvent::MouseButtonRelease, QPointF(XPixel(w->X()) + 30, 200),
                    Qt::LeftButton, Qt::NoButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(wGuard.isNull());
}

TEST_F(LineMarkerTest, NonFiniteAndHugeValuesAreRefusedOrClamped) {
    auto* h = MakeMarker<TVxHorizontalMarker>("H");
    h->SetY(20);
    h->SetY(std::nan(""));
    h->SetY(std::numeric_limits<double>::infinity());
    EXPECT_EQ(h->Y(), 20);
    h->SetCaptionDeltaY(std::numeric_limits<int>::min());
    EXPECT_EQ(h->CaptionDeltaY(), -MaxMarkerPixels);
    h->SetCaptionBackSpaceToBorder(std::nanf(""));
    EXPECT_EQ(h->CaptionBackSpaceToBorder(), 40);
    h->SetCaptionBackSpaceToBorder(1e30f);
    EXPECT_EQ(h->CaptionBackSpaceToBorder(), float(MaxMarkerPixels));
    h->Line()->SetWidth(1e30f);
    h->SetCaption("Huge");
    h->SetCaptionVisible(true);
    h->SetCaptionBackColor(VxColor(0xFFFFFFFF));
    h->UpdatePosition();
    EXPECT_GE(h->Width(), 0);
    EXPECT_GE(h->Height(), 0);
}
