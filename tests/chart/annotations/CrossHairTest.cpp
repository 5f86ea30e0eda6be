// The cross-hair: its size and caption quadrants, the coupling with its two line markers,
// one undo step per drag that restores all three, snapping on both axes, records.

#include "annotations/CrossHair.h"

#include "MarkerTestSupport.h"
#include "persistence/XmlCodec.h"

#include <QBuffer>

namespace {

class CrossHairTest : public MarkerFixture {
protected:
    TVxCrossHair* MakeCrossHair(const QString& Name, bool Caption = false) {
        auto* c = new TVxCrossHair(&Form);
        c->setObjectName(Name);
        UseTestFont(*c->Font());
        c->SetCaption(Caption ? "Here" : "");
        c->SetXAxis(XAxis());
        c->SetYAxis(YAxis());
        c->SetHost(Graph);
        return c;
    }
    QPoint Crossing(const TVxMovable& M) const { return QPoint(M.Left(), M.Top()) + M.HotDelta(); }
};

} // namespace

TEST_F(CrossHairTest, WithoutCaptionTheSizeFollowsTheLineWidth) {
    auto* c = MakeCrossHair("C");
    for (const auto& [width, size, centre] : {std::tuple{1.0f, 13, 6}, {3.0f, 17, 8}}) {
        c->Line()->SetWidth(width);
        c->UpdatePosition();
        EXPECT_EQ(c->Width(), size);
        EXPECT_EQ(c->Height(), size);
        EXPECT_EQ(c->HotDelta(), QPoint(centre, centre));
    }
}

// The box's corner nearest the crossing point sits at the crossing point moved away from it
// by the offsets; the bounds cover the box.
TEST_F(CrossHairTest, CaptionQuadrantsPutTheNearestCornerAtTheOffsetCrossingPoint) {
    auto* c = MakeCrossHair("C", true);
    const TReferenceMetrics metrics(MarkerPoints);
    const double boxW = metrics.Run("Here") + 2 * SidePadding(MarkerPoints);
    const double boxH = metrics.LineHeight();
    for (int quadrant = 0; quadrant < 4; ++quadrant)
        for (const auto& [dx, dy] : {std::pair{0, 0}, {7, 3}, {-4, -9}, {-40, 25}}) {
            SCOPED_TRACE(testing::Message() << quadrant << " " << dx << " " << dy);
            c->SetQuadrant(TVxXHairCaptionPosition(quadrant));
            c->SetCaptionDeltaX(dx);
            c->SetCaptionDeltaY(dy);
            c->UpdatePosition();
            const QRect box = c->CaptionRect();
            const QPoint x = c->HotDelta();
            const bool right = quadrant <= 1, top = quadrant == 0 || quadrant == 3;
            EXPECT_NEAR(box.width(), boxW, 1.0);
            EXPECT_NEAR(box.height(), boxH, 1.0);
            EXPECT_NEAR(right ? box.left() : box.left() + box.width(),
                        right ? x.x() + dx : x.x() - dx, 1.0);
            EXPECT_NEAR(top ? box.top() + box.height() : box.top(), top ? x.y() - dy : x.y() + dy,
                        1.0);
            EXPECT_TRUE(QRect(0, 0, c->Width(), c->Height()).contains(box));
        }
}

TEST_F(CrossHairTest, SettingXOrYMovesTheLineMarkersWhichAreSubComponents) {
    auto* c = MakeCrossHair("C");
    Undo.Clear();
    c->SetX(3);
    c->SetY(70);
    EXPECT_EQ(c->VerticalMarker()->X(), 3);
    EXPECT_EQ(c->HorizontalMarker()->Y(), 70);
    Layout();
    EXPECT_EQ(Crossing(*c), QPoint(XPixel(3), YPixel(70)));
    EXPECT_EQ(c->VerticalMarker()->Left() + c->VerticalMarker()->HotDelta().x(), XPixel(3));
    EXPECT_TRUE(c->HorizontalMarker()->IsSubComponent());
    EXPECT_TRUE(c->VerticalMarker()->IsSubComponent());
    EXPECT_FALSE(c->IsSubComponent());
    EXPECT_EQ(c->VerticalMarker()->objectName(), "VertikalMarker");
    // Two steps, both the cross-hair's.
    EXPECT_EQ(Undo.UndoCount(), 2);
}

TEST_F(CrossHairTest, ADragIsOneStepWhoseUndoRestoresAllThreeMarkers) {
    auto* c = MakeCrossHair("C");
    c->SetX(5);
    c->SetY(50);
    Undo.Clear();
    Undo.SetLimit(20);
    Layout();
    const QPointF at = Crossing(*c);
    std::vector<QPointF> moves;
    for (int i = 1; i <= 30; ++i)
        moves.push_back(at + QPointF(2 * i, -i));
    Drag(at, moves);
    EXPECT_EQ(Crossing(*c), at.toPoint() + QPoint(60, -30));
    EXPECT_EQ(c->VerticalMarker()->X(), c->X());
    EXPECT_EQ(c->HorizontalMarker()->Y(), c->Y());
    ASSERT_EQ(Undo.UndoCount(), 1);
    ASSERT_TRUE(Undo.Undo());
    EXPECT_EQ(c->X(), 5);
    EXPECT_EQ(c->Y(), 50);
    EXPECT_EQ(c->VerticalMarker()->X(), 5);
    EXPECT_EQ(c->HorizontalMarker()->Y(), 50);
}

TEST_F(CrossHairTest, DraggingOneLineMovesTheCrossHairAlongItInOneStep) {
    auto* c = MakeCrossHair("C");
    c->SetX(5);
    c->SetY(50);
    Undo.Clear();
    Layout();
    // On the vertical line, far from the crossing point.
    const QPointF at(XPixel(5), YPixel(90));
    std::vector<QPointF> moves;
    for (int i = 1; i <= 25; ++i)
        moves.push_back(at + QPointF(i, 3 * i));
    Drag(at, moves);
    EXPECT_EQ(Crossing(*c), QPoint(XPixel(5) + 25, YPixel(50)));
    EXPECT_EQ(c->X(), c->VerticalMarker()->X());
    EXPECT_EQ(c->Y(), 50);
    ASSERT_EQ(Undo.UndoCount(), 1);
    ASSERT_TRUE(Undo.Undo());
    EXPECT_EQ(c->X(), 5);
    EXPECT_EQ(c->VerticalMarker()->X(), 5);
}

TEST_F(CrossHairTest, SnapsOnlyToSeriesOnBothOfItsAxes) {
    auto* right = new TVxAxis(&Form);
    right->setObjectName("Right");
    right->SetPosition(TVxAxisPosition::Right);
    Graph->AddAxis(right);
    FixRange(right, 0, 1000);
    Layout();
    // On the other Y axis this series' point lies right under the drag point.
    MakeSeries({6}, {right->WorldToNumber(float(YPixel(50)))}, "Other", right);
    TVxSeries* own = MakeSeries({2, 8}, {20, 80}, "Own");
    auto* c = MakeCrossHair("C");
    c->SetX(5);
    c->SetY(50);
    c->SetSnapToSeriesValues(true);
    Layout();
    ASSERT_EQ(Rounded(right->NumberToWorld(right->WorldToNumber(float(YPixel(50))))), YPixel(50));
    Drag(Crossing(*c), {QPointF(XPixel(6), YPixel(50))});
    EXPECT_EQ(c->SnappedSeries(), own);
    EXPECT_EQ(c->SnappedIdx(), 1);
    EXPECT_EQ(c->X(), 8);
    EXPECT_EQ(c->Y(), 80);
    EXPECT_EQ(c->VerticalMarker()->X(), 8);
    EXPECT_EQ(c->HorizontalMarker()->Y(), 80);
}

// Each cross-hair brings its own lines up to date at its first paint, whatever other
// cross-hairs painted before.
TEST_F(CrossHairTest, EveryCrossHairResynchronisesItsLinesAtItsFirstPaint) {
    auto* a = MakeCrossHair("A");
    a->SetY(20);
    Layout();
    auto* b = MakeCrossHair("B");
    b->SetY(40);
    b->HorizontalMarker()->MoveDataTo(0, 77);
    Layout();
    EXPECT_EQ(b->HorizontalMarker()->Y(), 40);
    EXPECT_EQ(a->HorizontalMarker()->Y(), 20);
}

TEST_F(CrossHairTest, RecordsCarryTheLineMarkersInEveryContainer) {
    auto* c = MakeCrossHair("C", true);
    c->SetQuadrant(TVxXHairCaptionPosition::LeftBottom);
    c->SetX(2.25);
    c->SetY(61.5);
    c->Line()->SetWidth(2);
    c->HorizontalMarker()->SetCaptionDeltaX(11);
    c->VerticalMarker()->SetCaptionDeltaY(-13);
    const auto check = [&](TVxCrossHair& r) {
        EXPECT_EQ(r.Quadrant(), TVxXHairCaptionPosition::LeftBottom);
        EXPECT_EQ(r.X(), 2.25);
        EXPECT_EQ(r.Y(), 61.5);
        EXPECT_EQ(r.XAxis(), XAxis());
        EXPECT_EQ(r.YAxis(), YAxis());
        EXPECT_EQ(r.Caption(), "Here");
        EXPECT_EQ(r.HorizontalMarker()->CaptionDeltaX(), 11);
        EXPECT_EQ(r.VerticalMarker()->CaptionDeltaY(), -13);
        EXPECT_EQ(r.VerticalMarker()->X(), 2.25);
        EXPECT_EQ(r.HorizontalMarker()->Y(), 61.5);
        EXPECT_EQ(r.HorizontalMarker()->Line()->Width(), 2);
    };
    {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        c->WriteTo(buffer);
        auto* r = MakeCrossHair("R1");
        QBuffer in(&buffer.buffer());
        in.open(QIODevice::ReadOnly);
        r->ReadFrom(in);
        EXPECT_TRUE(in.atEnd());
        check(*r);
    }
    {
        pugi::xml_document doc;
        c->WriteTo(doc);
        pugi::xml_document read;
        LoadXmlDocument(read, SaveXmlDocument(doc));
        EXPECT_EQ(read.first_child().child("Caption").attribute("Position").as_int(), 2);
        auto* r = MakeCrossHair("R2");
        r->ReadFrom(read.first_child());
        check(*r);
    }
    {
        TVxIniFile ini;
        c->WriteTo(ini, "Cross");
        EXPECT_TRUE(ini.SectionExists("Cross.HorizontalMarker"));
        EXPECT_TRUE(ini.SectionExists("Cross.VerticalMarker"));
        TVxIniFile read;
        read.LoadFromText(ini.SaveToText());
        auto* r = MakeCrossHair("R3");
        r->ReadFrom(read, "Cross");
        check(*r);
    }
}
