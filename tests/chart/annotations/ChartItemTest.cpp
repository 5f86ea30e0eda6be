// The item base as the graph hosts it: painting in layer order at each item's place, the
// mouse offered topmost first with the press's taker keeping it until the release, and
// items that die or outlive their graph.

#include "annotations/ChartItem.h"

#include "drawing/RecordingSurface.h"
#include "graph/Graph.h"

#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

/// Fills its own rectangle and logs what it is offered.
class TProbeItem : public TVxChartItem {
public:
    TProbeItem(QObject* AOwner, std::string AName, std::vector<std::string>& ALog, bool ATakes)
        : TVxChartItem(AOwner), FName(std::move(AName)), FLog(ALog), FTakes(ATakes) {}

    void PaintGr(TVxSurface& Gr) override {
        Gr.FillRectangle(TVxBrush::SolidBrush(VxColor(0xFF0000FF)),
                         QRectF(0, 0, Width(), Height()));
    }
    bool MousePress(const TVxItemMouseEvent& e) override {
        FLog.push_back(FName + " press " + Pos(e));
        return FTakes;
    }
    void MouseMove(const TVxItemMouseEvent& e) override {
        FLog.push_back(FName + " move " + Pos(e));
    }
    void MouseRelease(const TVxItemMouseEvent& e) override {
        FLog.push_back(FName + " release " + Pos(e));
    }

private:
    static std::string Pos(const TVxItemMouseEvent& e) {
        return std::to_string(int(e.Position.x())) + "," + std::to_string(int(e.Position.y()));
    }
    std::string FName;
    std::vector<std::string>& FLog;
    bool FTakes;
};

class ChartItemTest : public ::testing::Test {
protected:
    void SetUp() override {
        Graph = new TVxGraph2D(&Form);
        Graph->TestPrimaryAxis();
    }
    TProbeItem* Make(const char* Name, QRect Bounds, int Layer, bool Takes) {
        auto* item = new TProbeItem(&Form, Name, Log, Takes);
        item->SetBounds(Bounds.left(), Bounds.top(), Bounds.width(), Bounds.height());
        item->SetLayer(Layer);
        item->SetHost(Graph);
        return item;
    }

    QWidget Form;
    TVxGraph2D* Graph = nullptr;
    std::vector<std::string> Log;
};

} // namespace

TEST_F(ChartItemTest, ItemsPaintInLayerOrderTranslatedToTheirPlace) {
    Make("top", QRect(50, 60, 30, 20), 2, true);
    Make("bottom", QRect(10, 20, 40, 25), 1, true);
    TVxRecordingSurface surface;
    Graph->PaintGr(surface);
    std::vector<QRectF> placed;
    for (const TVxDrawRecord& r : surface.RecordsOf(TVxDrawOp::FillRectangle))
        if (r.Brush && r.Brush->Color == VxColor(0xFF0000FF))
            placed.push_back(r.Transform.mapRect(r.Rect));
    ASSERT_EQ(placed.size(), 2u);
    EXPECT_EQ(placed[0], QRectF(10, 20, 40, 25));
    EXPECT_EQ(placed[1], QRectF(50, 60, 30, 20));
    // The world transform is back to what it was after the items.
    EXPECT_TRUE(surface.Records().back().Transform.isIdentity());
}

TEST_F(ChartItemTest, ThePressGoesTopmostFirstAndItsTakerKeepsTheMouse) {
    // "low" lies under "high"; "high" declines, so "low" takes the press.
    Make("low", QRect(100, 100, 100, 100), 1, true);
    Make("high", QRect(150, 150, 100, 100), 5, false);
    Graph->show();
    QTest::mousePress(Graph, Qt::LeftButton, {}, QPoint(160, 160));
    QTest::mouseMove(Graph, QPoint(400, 300));
    QTest::mouseRelease(Graph, Qt::LeftButton, {}, QPoint(400, 310));
    const std::vector<std::string> expected{"high press 160,160", "low press 160,160",
                                            "low move 400,300", "low release 400,310"};
    EXPECT_EQ(Log, expected);
}

TEST_F(ChartItemTest, APressOutsideEveryItemReachesNoItem) {
    Make("only", QRect(100, 100, 50, 50), 0, true);
    Graph->show();
    QTest::mousePress(Graph, Qt::LeftButton, {}, QPoint(151, 100));
    QTest::mouseRelease(Graph, Qt::LeftButton, {}, QPoint(151, 100));
    QTest::mousePress(Graph, Qt::LeftButton, {}, QPoint(150, 150)); // edges belong to the item
    EXPECT_EQ(Log, std::vector<std::string>{"only press 150,150"});
}

TEST_F(ChartItemTest, AnItemFreedWhileHoldingTheMouseIsForgotten) {
    TProbeItem* item = Make("gone", QRect(0, 0, 50, 50), 0, true);
    Graph->show();
    QTest::mousePress(Graph, Qt::LeftButton, {}, QPoint(10, 10));
    delete item;
    EXPECT_TRUE(Graph->Items().empty());
    QTest::mouseMove(Graph, QPoint(20, 20));
    QTest::mouseRelease(Graph, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(Log, std::vector<std::string>{"gone press 10,10"});
}

TEST_F(ChartItemTest, AnItemOutlivesItsGraphAndMovesBetweenGraphs) {
    TProbeItem* item = Make("item", QRect(0, 0, 50, 50), 0, true);
    auto* other = new TVxGraph2D(&Form);
    item->SetHost(other);
    EXPECT_TRUE(Graph->Items().empty());
    EXPECT_EQ(other->Items(), std::vector<TVxChartItem*>{item});
    delete other;
    EXPECT_EQ(item->Host(), nullptr);
    item->Repaint(); // no host: nothing to tell
}

TEST_F(ChartItemTest, BoundsAreClamped) {
    TProbeItem* item = Make("item", QRect(0, 0, 50, 50), 0, true);
    item->SetBounds(-2000000000, 2000000000, -5, 2000000000);
    EXPECT_EQ(item->BoundsRect(), QRect(-1000000, 1000000, 0, 1000000));
}
