// The painting order of a graph: background, data area, title, grids, series lines and
// areas (clipped to the data area), frame, axes, point symbols, legends, scrollbars. The
// same routine paints the screen, images and the test recorder.

#include "axes/AxisPainter.h"
#include "drawing/Region.h"
#include "drawing/Surface.h"
#include "graph/Graph.h"
#include "styles/GradientSettings.h"
#include "styles/LineSettings.h"
#include "styles/VxFont.h"

#include <QScrollBar>
#include <cmath>

namespace {

bool Transparent(TVxColor Color) {
    return GetAlpha(Color) == 0;
}

} // namespace

void TVxGraph2D::PaintGr(TVxSurface& Gr) {
    // 1. The first paint creates the missing primary axes.
    if (FOnce) {
        FOnce = false;
        TestPrimaryAxis();
        SizeChanged();
    }
    // 2. Without both primary axes there is nothing to draw.
    TVxAxis* px = PrimaryXAxis();
    TVxAxis* py = PrimaryYAxis();
    if (!px || !py)
        return;
    // 3. Fresh data and a pending layout.
    Poll();
    if (FRecalculate || px->NeedsRecalculation() || py->NeedsRecalculation())
        Calculate();
    if (Updating() || AxesCalculating())
        return;

    const QRectF da = FDrawingArea;
    const TVxMatrix saved = Gr.GetTransform();
    SetHighQuality(Gr, false);

    // 5. Background.
    const QRectF client(0, 0, width(), height());
    if (!Transparent(FBackColor))
        Gr.FillRectangle(TVxBrush::SolidBrush(FBackColor), client);
    if (FBackgroundGradient->Visible())
        Gr.FillRectangle(FBackgroundGradient->GetBrush(client, 0), client);

    // 6. Data area.
    if (FDataAreaGradient->Visible() ||
        (FDataAreaColor != FBackColor && !Transparent(FDataAreaColor))) {
        const QRectF fill(da.x(), da.y(), da.width() - 1, da.height() - 1);
        Gr.FillRectangle(FDataAreaGradient->Visible() ? FDataAreaGradient->GetBrush(da, 0)
                                                      : TVxBrush::SolidBrush(FDataAreaColor),
                         fill);
    }

    // 7. Title.
    if (FCaptionVisible && !FCaption.isEmpty())
        FTitleRec.PaintGr(Gr);

    // 8. Grids.
    PaintGrids(Gr);

    // 9. Series lines and areas, clipped to the data area.
    ClipToDataArea(Gr);
    SetHighQuality(Gr, true);
    const std::vector<QPointer<TVxSeries>> series(FRelatedSeries.begin(), FRelatedSeries.end());
    for (const QPointer<TVxSeries>& s : series)
        if (s && s->Visible())
            s->PaintGr(Gr);
    Gr.ResetClip();

    // 10. Frame of the data area.
    if (FDataAreaFrame->Visible()) {
        const double w = FDataAreaFrame->Width();
        Gr.DrawRectangle(FDataAreaFrame->GetPen(da.adjusted(-w, -w, w, w), 0),
                         QRectF(da.x(), da.y(), da.width() - 1, da.height() - 1));
    }

    // 11. Axes, each translated to its place.
    for (TVxAxis* axis : Axes()) {
        const TVxAxisLook* look = FindAxisLook(*axis);
        if (!look || !look->Visible() || axis->Host() != this)
            continue;
        TVxMatrix m;
        m.translate(look->Left(), look->Top());
        Gr.SetTransform(m * saved);
        PaintAxis(Gr, *axis, *look, FDoingMetafile);
    }
    Gr.SetTransform(saved);

    // 12. Point symbols above lines, frame and axes.
    SetHighQuality(Gr, true);
    ClipToDataArea(Gr);
    for (const QPointer<TVxSeries>& s : series)
        if (s && s->Visible())
            s->DrawSymbols(Gr);
    Gr.ResetClip();

    // 13. Legends, labels and markers in layer order.
    PaintItems(Gr);

    // 14. Scrollbars as the layout decided.
    SetHighQuality(Gr, false);
    if (!FDoingImage) {
        FHScrollBar->setVisible(FDoHScrollBar);
        FVScrollBar->setVisible(FDoVScrollBar);
    }
}

void TVxGraph2D::PaintGrids(TVxSurface& Gr) {
    const QRectF da = FDrawingArea;
    TVxAxis* px = PrimaryXAxis();
    TVxAxis* py = PrimaryYAxis();
    const auto snap = [this](float t) { return FDoingMetafile ? double(t) : std::nearbyint(t); };
    const auto grid = [&](const TVxLineSettings& Settings, const TVxAxis& Axis, bool Major,
                          bool Vertical) {
        if (!Settings.Visible())
            return;
        const TVxPen pen = Settings.GetPen(da, 0);
        const auto& ticks = Axis.Ticks();
        const auto& gridTicks = Axis.MajorGridTicks();
        for (std::size_t i = 0; i < ticks.size(); ++i) {
            const bool isMajor = i < gridTicks.size() && gridTicks[i];
            if (isMajor != Major)
                continue;
            const double t = snap(ticks[i]);
            if (Vertical)
                Gr.DrawLine(pen, QPointF(t, da.y()), QPointF(t, da.y() + da.height() - 1));
            else
                Gr.DrawLine(pen, QPointF(da.x(), t), QPointF(da.x() + da.width() - 1, t));
        }
    };
    // Tick pixels run along the axis; for the primary axes those are graph pixels (a
    // horizontal axis spans the graph from x = 0, a vertical one from y = 0).
    grid(*FMajorGridVertical, *px, true, true);
    grid(*FMinorGridVertical, *px, false, true);
    grid(*FMajorGridHorizontal, *py, true, false);
    grid(*FMinorGridHorizontal, *py, false, false);
}

void TVxGraph2D::ClipToDataArea(TVxSurface& Gr) const {
    const QRectF da = FDrawingArea;
    double l = 0, t = 0, r = width(), b = height();
    bool clipped = false;
    for (TVxAxis* axis : Axes()) {
        if (!axis->IsClipped())
            continue;
        clipped = true;
        const bool lowCut = axis->Start() > axis->ValuesStart();
        const bool highCut = axis->Stop() < axis->ValuesStop();
        const bool twisted = axis->Twisted();
        if (axis->Horizontal()) {
            if (twisted ? highCut : lowCut)
                l = da.x();
            if (twisted ? lowCut : highCut)
                r = da.x() + da.width();
        } else {
            if (twisted ? highCut : lowCut)
                b = da.y() + da.height();
            if (twisted ? lowCut : highCut)
                t = da.y();
        }
    }
    if (clipped)
        Gr.SetClip(QRectF(l, t, r - l, b - t), TCombineMode::CombineModeIntersect);
    else
        Gr.ResetClip();
}
