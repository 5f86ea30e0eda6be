// The legend on its graph: which series it lists and how each draws its own glyph, the
// room docked legends take from the data area, dragging with the mouse, undo, and pixels of
// a painted chart.

#include "LegendTestSupport.h"
#include "drawing/RecordingSurface.h"
#include "util/EventGuard.h"

#include <QImage>

namespace {

int R(double Value) {
    return int(std::nearbyint(Value));
}

class LegendGraphTest : public LegendFixture {
protected:
    std::vector<TVxSeries*> Listed() {
        Legend->PreparePaint();
        return Legend->ItemSeries();
    }
    TVxUndoStack Undo{&Form};
};

/// Maps a record's rectangle or point into legend pixels.
QPointF Mapped(const TVxDrawRecord& r, QPointF P) {
    return r.Transform.map(P);
}

} // namespace

TEST_F(LegendGraphTest, ListsSeriesByInclusionVisibilityAndOrderList) {
    TVxSeries* a = MakeSeries("A", "SA");
    TVxSeries* b = MakeSeries("B", "SB");
    TVxSeries* c = MakeSeries("C", "SC");
    EXPECT_EQ(Listed(), (std::vector<TVxSeries*>{a, b, c}));
    b->SetIncludeInLegend(false);
    EXPECT_EQ(Listed(), (std::vector<TVxSeries*>{a, c}));
    b->SetIncludeInLegend(true);
    c->SetVisible(false);
    EXPECT_EQ(Listed(), (std::vector<TVxSeries*>{a, b}));
    c->SetVisible(true);
    // Named first, then the rest in graph order; unknown paths are skipped.
    Legend->SetItemsOrderList({"LegendForm.SB", "LegendForm.Nothing"});
    EXPECT_EQ(Listed(), (std::vector<TVxSeries*>{b, a, c}));
}

TEST_F(LegendGraphTest, AnInvisibleMergeTargetIsListedAndDrawnWithTheMergingSeriesGlyph) {
    TVxSeries* target = MakeSeries("Target");
    TVxSeries* merging = MakeSeries("Merging");
    target->Line()->SetColor(VxColor(0xFF0000FF));
    merging->Line()->SetColor(VxColor(0xFF00FF00));
    target->SetVisible(false);
    EXPECT_EQ(Listed(), std::vector<TVxSeries*>{merging});
    merging->SetMergeLegendItemWith(target);
    Legend->Modified();
    // The target carries the item; the merging series gets none of its own.
    ASSERT_EQ(Listed(), std::vector<TVxSeries*>{target});
    TVxRecordingSurface surface;
    Legend->PaintGr(surface);
    const QRect item = Legend->ItemRects()[0];
    int green = 0, blue = 0;
    for (const TVxDrawRecord& r : surface.RecordsOf(TVxDrawOp::DrawLine)) {
        green += r.Pen->Color == VxColor(0xFF00FF00);
        blue += r.Pen->Color == VxColor(0xFF0000FF);
        EXPECT_TRUE(QRectF(item).contains(Mapped(r, r.Points[0])));
    }
    EXPECT_EQ(green, 1);
    EXPECT_EQ(blue, 0);
}

TEST_F(LegendGraphTest, EachSeriesDrawsItsOwnGlyphInItsItem) {
    TVxSeries* line = MakeSeries("Line");
    line->Line()->SetColor(VxColor(0xFFFF0000));
    line->Area()->SetVisible(true);
    line->Area()->SetForeColor(VxColor(0xFF00FFFF));
    auto* points = new TVxPointSeries(&Form);
    points->SetXData(&XData);
    points->SetYData(&YData);
    points->SetXAxis(Graph->PrimaryXAxis());
    points->SetYAxis(Graph->PrimaryYAxis());
    points->Line()->SetVisible(false);
    points->PointSymbol()->SetPointSymbol(TVxPointSymbol::Circle);
    points->PointSymbol()->SetSize(11);
    TVxRecordingSurface surface;
    Legend->PaintGr(surface);
    ASSERT_EQ(Legend->ItemSeries().size(), 2u);
    const QRect first = Legend->ItemRects()[0];
    const QRect second = Legend->ItemRects()[1];
    // The line series: the lower half filled with its area colour, its line across the middle.
    const auto fills = surface.RecordsOf(TVxDrawOp::FillRectangle);
    const auto areaFill = std::find_if(fills.begin(), fills.end(), [](const TVxDrawRecord& r) {
        return r.Brush->Color == VxColor(0xFF00FFFF);
    });
    ASSERT_NE(areaFill, fills.end());
    const double middle = first.y() + first.height() / 2.0;
    EXPECT_EQ(areaFill->Rect, QRectF(first.x(), middle, first.width(), first.height() / 2.0));
    const auto lines = surface.RecordsOf(TVxDrawOp::DrawLine);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].Points[0], QPointF(first.x(), middle));
    EXPECT_EQ(lines[0].Points[1], QPointF(first.x() + first.width(), middle));
    // The point series: its circle of radius (11 - 1) / 2 at the centre of its item.
    const auto ellipses = surface.RecordsOf(TVxDrawOp::DrawEllipse);
    ASSERT_EQ(ellipses.size(), 1u);
    const QPointF centre(second.x() + second.width() / 2.0, second.y() + second.height() / 2.0);
    EXPECT_EQ(ellipses[0].Rect, QRectF(centre.x() - 5, centre.y() - 5, 10, 10));
}

TEST_F(LegendGraphTest, ACoupledGraphListsTheAxisOwnersSeriesThenItsOwn) {
    TVxSeries* ownerSeries = MakeSeries("Owner");
    auto* child = new TVxGraph2D(&Form);
    child->SetPrimaryXAxis(Graph->PrimaryXAxis());
    child->TestPrimaryAxis();
    auto* childSeries = new TVxLineSeries(&Form);
    childSeries->SetXData(&XData);
    childSeries->SetYData(&YData);
    childSeries->SetXAxis(Graph->PrimaryXAxis());
    childSeries->SetYAxis(child->PrimaryYAxis());
    Graph->Modified();
    child->Modified();
    Legend->SetGraph(child);
    EXPECT_EQ(Listed(), (std::vector<TVxSeries*>{ownerSeries, childSeries}));
}

TEST_F(LegendGraphTest, CaptionsPassTheHandlerAndTakeTheirColourSource) {
    TVxSeries* s = MakeSeries("Temp");
    s->Line()->SetColor(VxColor(0xFF112233));
    s->Area()->SetForeColor(VxColor(0xFF445566));
    Legend->OnGetLegendItemCaption = [](TVxSeries*, TVxLegendItemCaptionEventArgs& e) {
        e.Caption = QString("%1: %2").arg(e.Index).arg(e.Caption);
    };
    Legend->Modified();
    Legend->PreparePaint();
    EXPECT_EQ(Legend->ItemCaptions()[0].Caption, "0: Temp");
    const std::pair<TVxLegendCaptionColorFrom, TVxColor> cases[] = {
        {TVxLegendCaptionColorFrom::LegendForeColor, 0},
        {TVxLegendCaptionColorFrom::SeriesLineColor, VxColor(0xFF112233)},
        {TVxLegendCaptionColorFrom::SeriesAreaForeColor, VxColor(0xFF445566)},
    };
    for (const auto& [from, colour] : cases) {
        Legend->SetLegendCaptionColorFrom(from);
        Legend->PreparePaint();
        EXPECT_EQ(Legend->ItemCaptions()[0].FColorOverride, colour) << int(from);
    }
}

TEST_F(LegendGraphTest, FreedSeriesAndGraphAreDropped) {
    TVxSeries* a = MakeSeries("A");
    TVxSeries* b = MakeSeries("B");
    EXPECT_EQ(Listed().size(), 2u);
    delete a;
    EXPECT_EQ(Legend->ItemSeries(), std::vector<TVxSeries*>{b});
    TVxRecordingSurface surface;
    Legend->PaintGr(surface);
    EXPECT_EQ(Legend->ItemSeries(), std::vector<TVxSeries*>{b});
    delete Graph;
    Graph = nullptr;
    EXPECT_EQ(Legend->Graph(), nullptr);
    EXPECT_EQ(Legend->Host(), nullptr);
    Legend->Modified();
    Legend->PaintGr(surface); // a legend without a graph paints its panel only
    EXPECT_TRUE(Legend->ItemSeries().empty());
}

TEST_F(LegendGraphTest, DockedLegendsTakeTheirRoomFromTheDataArea) {
    using P = TVxLegendPosition;
    MakeSeries("Alpha");
    MakeSeries("Beta");
    enum TSide { Left, Top, Right, Bottom };
    const std::pair<P, TSide> cases[] = {
        {P::BottomCenterOfGraph, Bottom}, {P::BottomCenterOfAxis, Bottom},
        {P::LeftCenterOfGraph, Left},     {P::LeftCenterOfAxis, Left},
        {P::LeftTopOfAxis, Left},         {P::TopCenterOfGraph, Top},
        {P::TopCenterOfAxis, Top},        {P::RightCenterOfGraph, Right},
        {P::RightCenterOfAxis, Right},    {P::RightTopOfAxis, Right},
    };
    for (const auto& [position, side] : cases) {
        SCOPED_TRACE(int(position));
        Legend->SetPosition(position);
        Legend->SetVisible(false);
        Graph->Calculate();
        const QRectF free = Graph->DrawingArea();
        Legend->SetVisible(true);
        Graph->Calculate();
        const QRectF da = Graph->DrawingArea();
        const int w = Legend->Width(), h = Legend->Height();
        switch (side) {
        case Left:
            EXPECT_EQ(da.left(), free.left() + w);
            EXPECT_EQ(da.right(), free.right());
            EXPECT_EQ(Legend->Left(), 0);
            break;
        case Right:
            EXPECT_EQ(da.right(), free.right() - w);
            EXPECT_EQ(da.left(), free.left());
            EXPECT_EQ(Legend->Left(), 600 - w);
            break;
        case Top:
            EXPECT_EQ(da.top(), free.top() + h);
            EXPECT_EQ(da.bottom(), free.bottom());
            EXPECT_EQ(Legend->Top(), 0);
            break;
        case Bottom:
            EXPECT_EQ(da.bottom(), free.bottom() - h);
            EXPECT_EQ(da.top(), free.top());
            EXPECT_EQ(Legend->Top(), 400 - h);
            break;
        }
        switch (position) {
        case P::BottomCenterOfGraph:
        case P::TopCenterOfGraph:
            EXPECT_EQ(Legend->Left(), R((600 - w) / 2.0));
            break;
        case P::BottomCenterOfAxis:
        case P::TopCenterOfAxis:
            EXPECT_EQ(Legend->Left(), R(da.x() + (da.width() - w) / 2));
            break;
        case P::LeftCenterOfGraph:
        case P::RightCenterOfGraph:
            EXPECT_EQ(Legend->Top(), R((400 - h) / 2.0));
            break;
        case P::LeftCenterOfAxis:
        case P::RightCenterOfAxis:
            EXPECT_EQ(Legend->Top(), R(da.y() + (da.height() - h) / 2));
            break;
        default:
            EXPECT_EQ(Legend->Top(), R(da.y()));
            break;
        }
    }
    // Floating again: the data area is as without a legend.
    Legend->SetPosition(P::FreeFloating);
    Legend->SetVisible(false);
    Graph->Calculate();
    const QRectF free = Graph->DrawingArea();
    Legend->SetVisible(true);
    Graph->Calculate();
    EXPECT_EQ(Graph->DrawingArea(), free);
}

TEST_F(LegendGraphTest, ALeftDragMovesAFloatingLegendAndUndoPutsItBack) {
    MakeSeries("Alpha");
    Legend->SetUndoStack(&Undo);
    Legend->SetBounds(100, 100, Legend->Width(), Legend->Height());
    Graph->show();
    Legend->PreparePaint();
    const QSize size = Legend->BoundsRect().size();
    int started = 0;
    Legend->OnStartFreeFloating = [&](TVxLegend*) { ++started; };
    EXPECT_TRUE(
        SendMouse(Graph, QEvent::MouseButtonPress, {110, 110}, Qt::LeftButton, Qt::LeftButton));
    EXPECT_TRUE(SendMouse(Graph, QEvent::MouseMove, {140, 125}, Qt::NoButton, Qt::LeftButton));
    EXPECT_TRUE(SendMouse(Graph, QEvent::MouseMove, {160, 130}, Qt::NoButton, Qt::LeftButton));
    EXPECT_TRUE(
        SendMouse(Graph, QEvent::MouseButtonRelease, {160, 130}, Qt::LeftButton, Qt::NoButton));
    EXPECT_EQ(Legend->BoundsRect(), QRect(QPoint(150, 120), size));
    EXPECT_EQ(started, 1);
    ASSERT_EQ(Undo.UndoCount(), 1);
    EXPECT_EQ(Undo.UndoList().front(), "Legend position");
    ASSERT_TRUE(Undo.Undo());
    EXPECT_EQ(Legend->BoundsRect(), QRect(QPoint(100, 100), size));
}

TEST_F(LegendGraphTest, OtherKeysAndDockedLegendsTakeThePressWithoutMoving) {
    MakeSeries("Alpha");
    Legend->SetUndoStack(&Undo);
    Legend->SetBounds(100, 100, Legend->Width(), Legend->Height());
    Graph->show();
    Legend->PreparePaint();
    const QRect before = Legend->BoundsRect();
    const auto drag = [&](Qt::KeyboardModifiers Modifiers, QPoint From) {
        const bool taken = SendMouse(Graph, QEvent::MouseButtonPress, From, Qt::LeftButton,
                                     Qt::LeftButton, Modifiers);
        SendMouse(Graph, QEvent::MouseMove, From + QPoint(50, 30), Qt::NoButton, Qt::LeftButton,
                  Modifiers);
        SendMouse(Graph, QEvent::MouseButtonRelease, From + QPoint(50, 30), Qt::LeftButton,
                  Qt::NoButton, Modifiers);
        return taken;
    };
    // Shift-drag: the legend keeps the press (no zoom or pan) but does not move.
    EXPECT_TRUE(drag(Qt::ShiftModifier, {110, 110}));
    EXPECT_EQ(Legend->BoundsRect(), before);
    EXPECT_EQ(Undo.UndoCount(), 0);
    // Docked: the same.
    Legend->SetPosition(TVxLegendPosition::RightTopOfAxis);
    Graph->Calculate();
    const QRect docked = Legend->BoundsRect();
    EXPECT_TRUE(drag({}, docked.topLeft() + QPoint(5, 5)));
    EXPECT_EQ(Legend->BoundsRect(), docked);
}

TEST_F(LegendGraphTest, DockingAFloatingLegendIsOneStepThatRestoresPlaceAndOrder) {
    MakeSeries("Alpha");
    Legend->SetUndoStack(&Undo);
    Legend->SetBounds(100, 120, 90, 40);
    Legend->SetItemsOrder(TVxItemsOrder::ByColumn);
    Undo.Clear();
    Legend->SetPosition(TVxLegendPosition::BottomCenterOfGraph);
    Graph->Calculate();
    EXPECT_EQ(Legend->ItemsOrder(), TVxItemsOrder::ByRow);
    EXPECT_NE(Legend->Top(), 120);
    ASSERT_EQ(Undo.UndoCount(), 1);
    EXPECT_EQ(Undo.UndoList().front(), "Legend position");
    ASSERT_TRUE(Undo.Undo());
    EXPECT_EQ(Legend->Position(), TVxLegendPosition::FreeFloating);
    EXPECT_EQ(Legend->ItemsOrder(), TVxItemsOrder::ByColumn);
    EXPECT_EQ(Legend->Left(), 100);
    EXPECT_EQ(Legend->Top(), 120);
}

TEST_F(LegendGraphTest, EverySetterRecordsItsDescriptionAndUndoes) {
    Legend->SetUndoStack(&Undo);
    struct TCase {
        const char* Description;
        std::function<void()> Change;
        std::function<bool()> Changed;
    };
    TVxLegend& l = *Legend;
    const TCase cases[] = {
        {"Drop shadow below legend", [&] { l.SetDropShadow(true); },
         [&] { return l.DropShadow(); }},
        {"Legend border raised drawing", [&] { l.SetBorderRaised(true); },
         [&] { return l.BorderRaised() && !l.Frame()->Visible(); }},
        {"Legend border lowered drawing", [&] { l.SetBorderLowered(true); },
         [&] { return l.BorderLowered() && !l.Frame()->Visible(); }},
        {"Legend items height", [&] { l.SetItemHeight(12); }, [&] { return l.ItemHeight() == 12; }},
        {"Legend item width", [&] { l.SetItemWidth(40); }, [&] { return l.ItemWidth() == 40; }},
        {"Distance between legend items and caption", [&] { l.SetDistanceItemCaption(9); },
         [&] { return l.DistanceItemCaption() == 9; }},
        {"Distance between legend item lines", [&] { l.SetDistanceBetweenLines(9); },
         [&] { return l.DistanceBetweenLines() == 9; }},
        {"Distance between legend item columns", [&] { l.SetDistanceBetweenColumns(9); },
         [&] { return l.DistanceBetweenColumns() == 9; }},
        {"Distance of legend items to border", [&] { l.SetDistanceToBorder(2); },
         [&] { return l.DistanceToBorder() == 2; }},
        {"Legend border corner rounding radius", [&] { l.SetCornerRounding(5); },
         [&] { return l.CornerRounding() == 5; }},
        {"Legend number of columns", [&] { l.SetColumns(3); }, [&] { return l.Columns() == 3; }},
        {"Legend number of rows", [&] { l.SetRows(3); }, [&] { return l.Rows() == 3; }},
        {"Legend items order by row/column", [&] { l.SetItemsOrder(TVxItemsOrder::ByRow); },
         [&] { return l.ItemsOrder() == TVxItemsOrder::ByRow; }},
        {"Legend items order list", [&] { l.SetItemsOrderList({"X.Y"}); },
         [&] { return !l.ItemsOrderList().isEmpty(); }},
        {"Legend caption", [&] { l.SetCaption("Title  "); },
         [&] { return l.Caption() == "Title"; }},
        {"Legend caption alignment", [&] { l.SetCaptionAlignment(TVxCaptionAlignment::Left); },
         [&] { return l.CaptionAlignment() == TVxCaptionAlignment::Left; }},
        {"Legend background color", [&] { l.SetBackColor(VxColor(0xFF123456)); },
         [&] { return l.BackColor() == VxColor(0xFF123456); }},
        {"Legend color of items text", [&] { l.SetForeColor(VxColor(0xFF654321)); },
         [&] { return l.ForeColor() == VxColor(0xFF654321); }},
        {"Legend caption color", [&] { l.SetCaptionColor(VxColor(0xFF0000AA)); },
         [&] { return l.CaptionColor() == VxColor(0xFF0000AA); }},
        {"Legend distance below caption", [&] { l.SetCaptionDistanceAfter(4); },
         [&] { return l.CaptionDistanceAfter() == 4; }},
        {"Legend distance above caption", [&] { l.SetCaptionDistanceBefore(4); },
         [&] { return l.CaptionDistanceBefore() == 4; }},
        {"Legend caption visible", [&] { l.SetCaptionVisible(true); },
         [&] { return l.CaptionVisible(); }},
        {"Legend visible", [&] { l.SetVisible(false); }, [&] { return !l.Visible(); }},
        {"Legend position", [&] { l.SetPosition(TVxLegendPosition::LeftTopOfAxis); },
         [&] { return l.Position() == TVxLegendPosition::LeftTopOfAxis; }},
        {"Legend graph", [&] { l.SetGraph(nullptr); }, [&] { return l.Graph() == nullptr; }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Description);
        Undo.Clear();
        c.Change();
        ASSERT_TRUE(c.Changed());
        ASSERT_EQ(Undo.UndoCount(), 1);
        EXPECT_EQ(Undo.UndoList().front(), c.Description);
        c.Change(); // the same value again records nothing
        EXPECT_EQ(Undo.UndoCount(), 1);
        ASSERT_TRUE(Undo.Undo());
        EXPECT_FALSE(c.Changed());
    }
}

TEST_F(LegendGraphTest, AFontChangeIsOneStep) {
    Legend->SetUndoStack(&Undo);
    TVxFont other;
    other.SetName("DejaVu Serif");
    other.SetSize(14);
    other.SetStyle(TVxFontStyle::Italic);
    const auto check = [&](TVxFont* Font, const std::function<void()>& Change,
                           const char* Description) {
        SCOPED_TRACE(Description);
        Undo.Clear();
        const QString name = Font->Name();
        const TVxFontStyles style = Font->Style();
        const float size = Font->GetSize();
        Change();
        EXPECT_EQ(Font->Name(), "DejaVu Serif");
        ASSERT_EQ(Undo.UndoCount(), 1);
        EXPECT_EQ(Undo.UndoList().front(), Description);
        ASSERT_TRUE(Undo.Undo());
        EXPECT_EQ(Font->Name(), name);
        EXPECT_EQ(Font->Style(), style);
        EXPECT_EQ(Font->GetSize(), size);
    };
    check(
        Legend->Font(), [&] { Legend->SetFont(&other); }, "Legend items text font");
    check(
        Legend->CaptionFont(), [&] { Legend->SetCaptionFont(&other); }, "Legend caption font");
}

TEST_F(LegendGraphTest, PixelsOfTheDrawnPanelAndALineGlyph) {
    TVxSeries* s = MakeSeries("Alpha");
    s->Line()->SetColor(VxColor(0xFFFF0000));
    s->Line()->SetWidth(3);
    Legend->SetBackColor(VxColor(0xFF00FF00));
    Legend->Frame()->SetVisible(false);
    Legend->SetBounds(300, 50, Legend->Width(), Legend->Height());
    const QImage image = Graph->PaintToImage();
    const QRect item = Legend->ItemRects()[0].translated(300, 50);
    EXPECT_EQ(image.pixel(item.center().x(), item.y() + item.height() / 2), 0xFFFF0000u);
    EXPECT_EQ(image.pixel(303, 53), 0xFF00FF00u);
}

TEST_F(LegendGraphTest, AThrowingCaptionHandlerStopsAtThePaintBoundary) {
    MakeSeries("Alpha");
    int reports = 0;
    SetEventExceptionHandler([&](const QString&) { ++reports; });
    Legend->OnGetLegendItemCaption = [](TVxSeries*, TVxLegendItemCaptionEventArgs&) {
        throw EVxException("caption failed");
    };
    Legend->Modified();
    Graph->resize(600, 400);
    Graph->show();
    Graph->grab(); // paints through the widget's paint handler
    SetEventExceptionHandler({});
    EXPECT_EQ(reports, 1);
    Legend->OnGetLegendItemCaption = nullptr;
    Legend->Modified();
    Legend->PreparePaint();
    EXPECT_EQ(Legend->ItemSeries().size(), 1u);
}
