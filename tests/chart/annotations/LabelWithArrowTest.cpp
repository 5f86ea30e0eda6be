// The label with arrow: length and angle of the arrow against label_arrow_reference.py,
// their undo steps, the caption per quadrant, the head at the data point, the hit band, the
// grips and the records.

#include "annotations/LabelWithArrow.h"

#include "MarkerTestSupport.h"
#include "annotations/ArrowGrips.h"
#include "drawing/ArrowCap.h"
#include "drawing/RecordingSurface.h"
#include "persistence/XmlCodec.h"

#include <QBuffer>
#include <limits>

namespace {

class LabelWithArrowTest : public MarkerFixture {
protected:
    TVxLabelWithArrowMarker* MakeLabel(const QString& Name, const QString& Caption = "Note") {
        auto* l = new TVxLabelWithArrowMarker(&Form);
        l->setObjectName(Name);
        UseTestFont(*l->Font());
        l->SetCaption(Caption);
        l->SetXAxis(XAxis());
        l->SetYAxis(YAxis());
        l->SetHost(Graph);
        l->SetX(5);
        l->SetY(50);
        return l;
    }
    QPoint DataPoint(const TVxMovable& M) const { return QPoint(M.Left(), M.Top()) + M.HotDelta(); }
    void Hover(QPointF At) {
        SendMarkerMouse(Graph, QEvent::MouseMove, At, Qt::NoButton, Qt::NoButton);
    }
};

} // namespace

TEST_F(LabelWithArrowTest, LengthAndAngleOfTheDeltas) {
    struct TCase {
        int Dx, Dy;
        double Length, Angle;
    };
    // Printed by label_arrow_reference.py.
    const TCase cases[] = {
        {50, -50, 70.71067811865476, 45.0},
        {0, 0, 0.0, 270.0},
        {10, 0, 10.0, 0.0},
        {-10, 0, 10.0, 180.0},
        {0, -7, 7.0, 90.0},
        {0, 7, 7.0, 270.0},
        {3, 4, 5.0, 306.86989764584405},
        {-3, 4, 5.0, 233.13010235415598},
        {-3, -4, 5.0, 126.86989764584402},
        {3, -4, 5.0, 53.13010235415598},
        {-12, -6, 13.416407864998739, 153.434948822922},
        {1000000, -1, 1000000.0000005, 5.729577951306322e-05},
        {-1, 1000000, 1000000.0000005, 269.9999427042205},
        {123, 456, 472.2975756871932, 285.0955208442111},
    };
    auto* l = MakeLabel("L");
    EXPECT_EQ(l->ArrowDeltaX(), 50); // the defaults
    EXPECT_EQ(l->ArrowDeltaY(), -50);
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Dx << ", " << c.Dy);
        l->SetArrowDeltaX(c.Dx);
        l->SetArrowDeltaY(c.Dy);
        EXPECT_NEAR(l->ArrowLength(), c.Length, 1e-6 * std::max(1.0, c.Length));
        EXPECT_NEAR(l->ArrowAngle(), c.Angle, 1e-4);
    }
}

TEST_F(LabelWithArrowTest, SettingAngleOrLengthKeepsTheOtherAndUndoRestoresTheDeltas) {
    struct TCase {
        int Dx, Dy;
        double Value;
        int NewDx, NewDy;
    };
    // Printed by label_arrow_reference.py.
    const TCase angles[] = {
        {-12, -6, 45, 9, -9},  {50, -50, 180, -71, 0}, {50, -50, 90, 0, -71},
        {50, -50, -90, 0, 71}, {3, 4, 750, 4, -2},     {0, 0, 10, 0, 0},
    };
    const TCase lengths[] = {
        {50, -50, 10, 7, -7},
        {3, 4, -10, 6, 8},
        {-12, -6, 100, -89, -45},
        {0, 0, 5, 0, 5},
    };
    auto* l = MakeLabel("L");
    for (bool angle : {true, false})
        for (const TCase& c :
             angle ? std::span<const TCase>(angles) : std::span<const TCase>(lengths)) {
            SCOPED_TRACE(testing::Message()
                         << angle << " " << c.Dx << ", " << c.Dy << " " << c.Value);
            l->SetArrowDeltaX(c.Dx);
            l->SetArrowDeltaY(c.Dy);
            Undo.Clear();
            if (angle)
                l->SetArrowAngle(float(c.Value));
            else
                l->SetArrowLength(float(c.Value));
            EXPECT_EQ(l->ArrowDeltaX(), c.NewDx);
            EXPECT_EQ(l->ArrowDeltaY(), c.NewDy);
            ASSERT_EQ(Undo.UndoCount(), 1);
            EXPECT_EQ(Undo.UndoList().front(),
                      angle ? "Marker arrow angle" : "Marker length of arrow");
            ASSERT_TRUE(Undo.Undo());
            EXPECT_EQ(l->ArrowDeltaX(), c.Dx);
            EXPECT_EQ(l->ArrowDeltaY(), c.Dy);
        }
    Undo.Clear();
    l->SetArrowAngle(std::numeric_limits<float>::quiet_NaN());
    l->SetArrowLength(std::numeric_limits<float>::infinity());
    EXPECT_EQ(Undo.UndoCount(), 0);
}

TEST_F(LabelWithArrowTest, BentLengthStoresTheMagnitudeWithinTheLimit) {
    auto* l = MakeLabel("L");
    l->SetBentLength(-12);
    EXPECT_EQ(l->BentLength(), 12);
    l->SetBentLength(std::numeric_limits<int>::min());
    EXPECT_EQ(l->BentLength(), MaxMarkerPixels);
    l->SetArrowDeltaX(std::numeric_limits<int>::max());
    EXPECT_EQ(l->ArrowDeltaX(), MaxMarkerPixels);
    l->UpdatePosition();
    EXPECT_GT(l->Width(), 0);
}

// The box's corner nearest the data point sits at the end of the bent, moved by the caption
// offsets; the box extends away from the data point and the text aligns with the arrow.
TEST_F(LabelWithArrowTest, CaptionCornerAndAlignmentPerQuadrant) {
    auto* l = MakeLabel("L");
    l->SetBentLength(10);
    l->SetCaptionDeltaX(3);
    l->SetCaptionDeltaY(-2);
    struct TCase {
        int Dx, Dy;
        bool Left, Up;
        TVxContentAlignment Align;
    };
    const TCase cases[] = {
        {50, -50, false, true, TVxContentAlignment::BottomLeft},
        {-50, -50, true, true, TVxContentAlignment::BottomRight},
        {-50, 50, true, false, TVxContentAlignment::TopRight},
        {50, 50, false, false, TVxContentAlignment::TopLeft},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Dx << ", " << c.Dy);
        l->SetArrowDeltaX(c.Dx);
        l->SetArrowDeltaY(c.Dy);
        l->UpdatePosition();
        const QPoint corner = l->HotDelta() + QPoint(c.Dx + (c.Dx < 0 ? -10 : 10) + 3, c.Dy - 2);
        const QRect box = l->CaptionRect();
        EXPECT_NEAR(c.Left ? box.left() + box.width() : box.left(), corner.x(), 1.0);
        EXPECT_NEAR(c.Up ? box.top() + box.height() : box.top(), corner.y(), 1.0);
        EXPECT_EQ(l->CaptionRec().Align, c.Align);
        EXPECT_TRUE(QRect(0, 0, l->Width(), l->Height()).contains(box));
    }
}

TEST_F(LabelWithArrowTest, TheHeadIsDrawnAtTheDataPointInsideTheBounds) {
    auto* l = MakeLabel("L");
    l->Arrow()->SetWidth(3);
    l->SetArrowDeltaX(-40);
    l->SetArrowDeltaY(30);
    Layout();
    EXPECT_EQ(DataPoint(*l), QPoint(XPixel(5), YPixel(50)));
    TVxRecordingSurface surface;
    l->PaintGr(surface);
    const auto line =
        std::find_if(surface.Records().begin(), surface.Records().end(),
                     [](const TVxDrawRecord& r) { return r.Op == TVxDrawOp::DrawLines; });
    ASSERT_NE(line, surface.Records().end());
    ASSERT_EQ(line->Points.size(), 2u);
    EXPECT_EQ(line->Points[0], QPointF(l->HotDelta()));
    EXPECT_EQ(line->Points[1], QPointF(l->HotDelta() + QPoint(-40, 30)));
    ASSERT_TRUE(line->Pen->CustomStartCap.has_value());
    EXPECT_FALSE(line->Pen->CustomEndCap.has_value());
    const QRectF bounds(0, 0, l->Width(), l->Height());
    for (QPointF p : ArrowHead(line->Points[0], line->Points[1], *line->Pen->CustomStartCap, 3))
        EXPECT_TRUE(bounds.contains(p)) << p.x() << ", " << p.y();
}

TEST_F(LabelWithArrowTest, HitBandReachesTheWidthBeyondBothEnds) {
    auto* l = MakeLabel("L", "");
    l->SetArrowDeltaX(100);
    l->SetArrowDeltaY(0);
    Layout();
    const double w = l->BandHalfWidth();
    ASSERT_EQ(w, 4); // max(1 x 2 + 1, 1, 4)
    const QPointF p = DataPoint(*l);
    struct TCase {
        double Along, Across;
        bool Hit;
    };
    const TCase cases[] = {
        {-w + 0.1, 0, true},       {-w - 0.1, 0, false}, {50, w - 0.1, true},
        {50, -w + 0.1, true},      {50, w + 0.1, false}, {100 + w - 0.1, 0, true},
        {100 + w + 0.1, 0, false},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(l->HitTest(p + QPointF(c.Along, c.Across)), c.Hit) << c.Along << ", " << c.Across;
    // The bent answers around itself.
    l->SetBentLength(30);
    l->UpdatePosition();
    EXPECT_TRUE(l->HitTest(p + QPointF(125, 2)));
    EXPECT_FALSE(l->HitTest(p + QPointF(125, 9)));
}

TEST_F(LabelWithArrowTest, GripsShowOnHoverHideOnLeaveAndEachDragsItsPartInOneStep) {
    auto* l = MakeLabel("L");
    Graph->setMouseTracking(true);
    Layout();
    const QPoint data = DataPoint(*l);
    EXPECT_FALSE(l->ArrowGrip()->Visible());
    Hover(data + QPointF(25, -25)); // on the arrow
    EXPECT_TRUE(l->ArrowGrip()->Visible());
    EXPECT_TRUE(l->BentLengthGrip()->Visible());
    EXPECT_TRUE(l->CaptionGrip()->Visible());
    EXPECT_EQ(Graph->cursor().shape(), Qt::PointingHandCursor);
    // On to a grip: still shown, with the grip's cursor.
    const QPoint end = data + QPoint(50, -50);
    Hover(end);
    EXPECT_TRUE(l->ArrowGrip()->Visible());
    EXPECT_EQ(Graph->cursor().shape(), Qt::SizeAllCursor);
    Hover(QPointF(50, 350)); // nowhere near
    EXPECT_FALSE(l->ArrowGrip()->Visible());
    EXPECT_FALSE(l->CaptionGrip()->Visible());

    Undo.Clear();
    Hover(end);
    Drag(end, {end + QPointF(4, 2), end + QPointF(10, 5)});
    EXPECT_EQ(l->ArrowEnd(), QPoint(60, -45));
    EXPECT_EQ(DataPoint(*l), data); // the data point stays
    // The bent grip's outer part: its middle lies under the arrow-end grip while the bent is 0.
    const QPointF bent = QPointF(l->BentLengthGrip()->BoundsRect().center()) + QPointF(7, 0);
    Hover(bent);
    EXPECT_EQ(Graph->cursor().shape(), Qt::SplitHCursor);
    Drag(bent, {bent + QPointF(15, 7)});
    EXPECT_EQ(l->BentLength(), 15);
    const QPointF grip = l->CaptionGrip()->BoundsRect().center();
    Hover(grip);
    Drag(grip, {grip + QPointF(-6, 9)});
    EXPECT_EQ(l->CaptionDeltaX(), -6);
    EXPECT_EQ(l->CaptionDeltaY(), 9);
    ASSERT_EQ(Undo.UndoCount(), 3);
    EXPECT_EQ(Undo.UndoList().front(), "Marker arrow hovered grip moved");
    ASSERT_TRUE(Undo.Undo(2));
    EXPECT_EQ(l->ArrowEnd(), QPoint(50, -50));
    EXPECT_EQ(l->BentLength(), 0);
    EXPECT_EQ(l->CaptionDeltaX(), 0);
}

TEST_F(LabelWithArrowTest, TheDataPointIsDraggedOnlyWithTheHotspotOption) {
    auto* l = MakeLabel("L");
    Layout();
    const QPointF on = QPointF(DataPoint(*l)) + QPointF(10, -10);
    l->SetDraggingOptions(amdArrowEnd | amdCaptionGrip);
    Drag(on, {on + QPointF(20, 0)});
    EXPECT_EQ(l->X(), 5);
    l->SetDraggingOptions(amdHotspot);
    Drag(on, {on + QPointF(20, 0)});
    EXPECT_EQ(DataPoint(*l), QPoint(XPixel(5) + 20, YPixel(50)));
}

TEST_F(LabelWithArrowTest, RecordsRoundTripInEveryContainer) {
    auto* l = MakeLabel("L", "Two\rlines");
    l->SetArrowDeltaX(-33);
    l->SetArrowDeltaY(21);
    l->SetBentLength(7);
    l->SetHoverGrips(false);
    l->SetDraggingOptions(amdBentGrip | amdHotspot);
    l->Arrow()->SetPointLength(7.5f);
    l->Arrow()->SetInnerLength(4.25f);
    l->Arrow()->SetPointHeight(3.5f);
    l->SetX(1.125);
    l->SetY(99.5);
    const auto check = [&](TVxLabelWithArrowMarker& r) {
        EXPECT_EQ(r.ArrowEnd(), QPoint(-33, 21));
        EXPECT_EQ(r.BentLength(), 7);
        EXPECT_FALSE(r.HoverGrips());
        EXPECT_EQ(r.DraggingOptions(), amdBentGrip | amdHotspot);
        EXPECT_EQ(r.Arrow()->PointLength(), 7.5f);
        EXPECT_EQ(r.Arrow()->InnerLength(), 4.25f);
        EXPECT_EQ(r.Arrow()->PointHeight(), 3.5f);
        EXPECT_EQ(r.X(), 1.125);
        EXPECT_EQ(r.Y(), 99.5);
        EXPECT_EQ(r.XAxis(), XAxis());
        EXPECT_EQ(r.Caption(), "Two\rlines");
    };
    {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        l->WriteTo(buffer);
        auto* r = MakeLabel("R1");
        QBuffer in(&buffer.buffer());
        in.open(QIODevice::ReadOnly);
        r->ReadFrom(in);
        EXPECT_TRUE(in.atEnd());
        check(*r);
    }
    {
        pugi::xml_document doc;
        l->WriteTo(doc);
        pugi::xml_document read;
        LoadXmlDocument(read, SaveXmlDocument(doc));
        EXPECT_FALSE(read.first_child().child("Caption").attribute("Position"));
        auto* r = MakeLabel("R2");
        r->ReadFrom(read.first_child());
        check(*r);
    }
    {
        TVxIniFile ini;
        l->WriteTo(ini, "Label");
        TVxIniFile read;
        read.LoadFromText(ini.SaveToText());
        auto* r = MakeLabel("R3");
        r->ReadFrom(read, "Label");
        check(*r);
    }
}
