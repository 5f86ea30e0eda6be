// The recording surface's state, regions and paths.
#include "drawing/RecordingSurface.h"

#include "util/Exceptions.h"

#include <gtest/gtest.h>

namespace {

TEST(RecordingSurface, RecordsCallsWithTheStateInForce) {
    TVxRecordingSurface surface;
    surface.TranslateTransform(10, 20);
    surface.SetClip(QRectF(0, 0, 50, 50));
    surface.SetSmoothingMode(TSmoothingMode::SmoothingModeAntiAlias);
    surface.DrawLine(TVxPen::Solid(VxColor(0xFFFF0000), 2), QPointF(1, 2), QPointF(3, 4));
    const TVxDrawRecord& line = surface.Records().back();
    EXPECT_EQ(line.Op, TVxDrawOp::DrawLine);
    EXPECT_EQ(line.Points, (std::vector<QPointF>{{1, 2}, {3, 4}}));
    EXPECT_EQ(line.Pen->Width, 2);
    EXPECT_EQ(line.Transform, QTransform::fromTranslate(10, 20));
    EXPECT_EQ(line.Clip, TVxRegion::FromRect(QRectF(0, 0, 50, 50)));
    EXPECT_EQ(line.Smoothing, TSmoothingMode::SmoothingModeAntiAlias);
    // The clip stays where it was put on the target when the transform changes.
    surface.SetTransform(QTransform());
    EXPECT_EQ(surface.GetClip(), TVxRegion::FromRect(QRectF(10, 20, 50, 50)));
    EXPECT_EQ(surface.RecordsOf(TVxDrawOp::SetTransform).size(), 2u);
}

TEST(RecordingSurface, TranslateTransformPrepends) {
    TVxRecordingSurface surface;
    surface.SetTransform(QTransform::fromScale(2, 2));
    surface.TranslateTransform(5, 0);
    EXPECT_EQ(surface.GetTransform().map(QPointF(0, 0)), QPointF(10, 0));
}

TEST(RecordingSurface, ShapeExclusionsRestoreTheClipAndDoNotNest) {
    TVxRecordingSurface surface;
    surface.SetClip(QRectF(0, 0, 10, 10));
    TVxPath shapes;
    shapes.AddEllipse(QRectF(2, 2, 4, 4));
    surface.BeginShapeExclusion(shapes);
    EXPECT_THROW(surface.BeginShapeExclusion(shapes), EVxException);
    surface.SetClip(QRectF(0, 0, 3, 3));
    surface.EndShapeExclusion();
    EXPECT_EQ(surface.GetClip(), TVxRegion::FromRect(QRectF(0, 0, 10, 10)));
    EXPECT_EQ(surface.RecordsOf(TVxDrawOp::BeginShapeExclusion).front().Path, shapes);
}

TEST(Region, CombineModes) {
    const TVxRegion a = TVxRegion::FromRect(QRectF(0, 0, 10, 10));
    const TVxRegion b = TVxRegion::FromRect(QRectF(5, 0, 10, 10));
    EXPECT_EQ(a.Combined(b, TCombineMode::CombineModeIntersect),
              TVxRegion::FromRect(QRectF(5, 0, 5, 10)));
    EXPECT_EQ(TVxRegion().Combined(b, TCombineMode::CombineModeIntersect), b);
    EXPECT_EQ(a.Combined(b, TCombineMode::CombineModeReplace), b);
    const struct {
        TCombineMode Mode;
        bool Left, Middle, Right;
    } cases[] = {
        {TCombineMode::CombineModeIntersect, false, true, false},
        {TCombineMode::CombineModeUnion, true, true, true},
        {TCombineMode::CombineModeXor, true, false, true},
        {TCombineMode::CombineModeExclude, true, false, false},
    };
    for (const auto& c : cases) {
        const TVxRegion r = a.Combined(b, c.Mode);
        EXPECT_EQ(r.Contains(QPointF(2, 5)), c.Left) << static_cast<int>(c.Mode);
        EXPECT_EQ(r.Contains(QPointF(7, 5)), c.Middle) << static_cast<int>(c.Mode);
        EXPECT_EQ(r.Contains(QPointF(12, 5)), c.Right) << static_cast<int>(c.Mode);
    }
    EXPECT_TRUE(TVxRegion().Combined(a, TCombineMode::CombineModeExclude).Contains({500, 500}));
    EXPECT_FALSE(TVxRegion().Combined(a, TCombineMode::CombineModeExclude).Contains({5, 5}));
}

TEST(Path, ArcsRunClockwiseAndJoinOpenFigures) {
    TVxPath path;
    path.AddArc(QRectF(0, 0, 20, 20), 0, 90);
    const QPainterPath& q = path.ToQt();
    EXPECT_NEAR(q.elementAt(0).x, 20, 1e-9); // starts at 0 degrees: the right
    EXPECT_NEAR(q.elementAt(0).y, 10, 1e-9);
    EXPECT_NEAR(q.currentPosition().x(), 10, 1e-9); // ends at 90 degrees: the bottom
    EXPECT_NEAR(q.currentPosition().y(), 20, 1e-9);
    const QPointF more[] = {{0, 30}, {0, 40}};
    path.AddLines(more);
    EXPECT_EQ(path.ToQt().currentPosition(), QPointF(0, 40));
    EXPECT_EQ(path.ToQt().toSubpathPolygons().size(), 1); // one figure
    path.CloseFigure();
    path.AddRectangle(QRectF(50, 50, 5, 5));
    EXPECT_EQ(path.ToQt().toSubpathPolygons().size(), 2);
}

TEST(Path, FillRulesAndTransforms) {
    TVxPath alternate;
    alternate.AddRectangle(QRectF(0, 0, 10, 10));
    alternate.AddRectangle(QRectF(2, 2, 6, 6));
    EXPECT_FALSE(alternate.ToQt().contains(QPointF(5, 5)));
    TVxPath winding(TFillMode::FillModeWinding);
    winding.AddPath(alternate);
    EXPECT_TRUE(winding.ToQt().contains(QPointF(5, 5)));
    alternate.Transform(QTransform::fromTranslate(100, 0));
    EXPECT_EQ(alternate.Bounds(), QRectF(100, 0, 10, 10));
    TVxPath line;
    line.AddLine({0, 0}, {10, 0});
    line.Widen(TVxPen::Solid(0, 4));
    EXPECT_EQ(line.Bounds(), QRectF(0, -2, 10, 4));
}

TEST(DrawTypes, RectangleHelpers) {
    EXPECT_EQ(NormalizedRect({10, 5}, {2, 8}), QRect(2, 5, 8, 3));
    EXPECT_EQ(NormalizedRectF({3, 3}, {3, 1}), QRectF(3, 1, 0.0001, 2));
    EXPECT_EQ(RectFromLTRB(1, 2, 11, 22), QRectF(1, 2, 10, 20));
    TVxMatrix m;
    RotateAt(m, 90, {10, 10});
    const QPointF p = m.map(QPointF(20, 10));
    EXPECT_NEAR(p.x(), 10, 1e-9); // clockwise on screen: right goes to bottom
    EXPECT_NEAR(p.y(), 20, 1e-9);
}

} // namespace
