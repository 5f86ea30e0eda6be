// Zooming of a graph: the rectangle-to-range conversion, stepping through the axes' zoom
// histories, the reset, and keeping the histories of graphs that share an X axis in step.

#include "graph/Graph.h"

#include <algorithm>
#include <cmath>

namespace {

/// The graph that hosts an axis, when it is a graph.
TVxGraph2D* HostGraph(const TVxAxis* Axis) {
    return Axis ? dynamic_cast<TVxGraph2D*>(Axis->Host()) : nullptr;
}

/// The range between two values, ascending.
struct TRange {
    double Start = MaxDouble;
    double Stop = -MaxDouble;
};

TRange Ordered(double A, double B) {
    return A <= B ? TRange{A, B} : TRange{B, A};
}

} // namespace

void TVxGraph2D::SetZoom(TVxZoomSettings* Value) {
    if (Value && Value != FZoom)
        FZoom->Assign(*Value);
}

// --- history queries ---------------------------------------------------------------------

bool TVxGraph2D::CanZoomBack() const {
    if (FZoom->BufferType() == TVxZoomBufferType::AsStack)
        return ZoomStage() > 0;
    const TVxAxis* x = PrimaryXAxis();
    const TVxAxis* y = PrimaryYAxis();
    return (x && x->CanZoomBack()) || (y && y->CanZoomBack());
}

bool TVxGraph2D::CanRedoZoom() const {
    if (FZoom->BufferType() == TVxZoomBufferType::AsStack)
        return ZoomStage() < ZoomBufferSize() - 1;
    // The ring wraps in both directions.
    return CanZoomBack();
}

int TVxGraph2D::ZoomStage() const {
    const TVxAxis* y = PrimaryYAxis();
    return y ? y->ZoomStage() : 0;
}

int TVxGraph2D::ZoomBufferSize() const {
    const TVxAxis* y = PrimaryYAxis();
    return y ? y->ZoomBufferSize() : 0;
}

// --- coupled graphs ----------------------------------------------------------------------

std::vector<TVxGraph2D*> TVxGraph2D::CoupledOthers() const {
    std::vector<TVxGraph2D*> others;
    if (FIsCoupledGraph) {
        TVxGraph2D* owner = HostGraph(PrimaryXAxis());
        if (!owner || owner == this)
            return others;
        others.push_back(owner);
        for (TVxGraph2D* g : owner->ChildGraphs())
            if (g != this)
                others.push_back(g);
        return others;
    }
    return ChildGraphs();
}

void TVxGraph2D::AlignCoupledStages() {
    // Every axis of the coupled graphs but the shared X axis records its current range, so
    // that all coupled graphs keep equal stage counts.
    TVxAxis* shared = PrimaryXAxis();
    for (TVxGraph2D* g : CoupledOthers())
        for (TVxAxis* axis : g->ChildAxes())
            if (axis != shared)
                axis->ZoomIn(axis->Start(), axis->Stop());
}

void TVxGraph2D::RepaintCoupled() {
    TVxGraph2D* owner = FIsCoupledGraph ? HostGraph(PrimaryXAxis()) : this;
    if (!owner)
        owner = this;
    // At once, not at the next turn of the event loop: the chart follows the mouse.
    for (TVxGraph2D* child : owner->ChildGraphs()) {
        child->Repaint();
        child->repaint();
    }
    owner->Repaint();
    owner->repaint();
}

// --- zooming ----------------------------------------------------------------------------

void TVxGraph2D::ZoomTo(QPoint Corner1, QPoint Corner2) {
    const QRectF da = FDrawingArea;
    double left = std::min(Corner1.x(), Corner2.x());
    double right = std::max(Corner1.x(), Corner2.x());
    double top = std::min(Corner1.y(), Corner2.y());
    double bottom = std::max(Corner1.y(), Corner2.y());
    if (left < da.x())
        left = std::floor(da.x());
    if (right > da.x() + da.width())
        right = std::ceil(da.x() + da.width());
    if (top < da.y())
        top = std::floor(da.y());
    if (bottom > da.y() + da.height())
        bottom = std::ceil(da.y() + da.height());

    const std::vector<TVxAxis*> axes = Axes();
    const auto valuesOn = [&](const TVxAxis& Axis) {
        return Axis.Horizontal()
                   ? Ordered(Axis.WorldToNumber(float(left)), Axis.WorldToNumber(float(right)))
                   : Ordered(Axis.WorldToNumber(float(bottom)), Axis.WorldToNumber(float(top)));
    };

    std::vector<TRange> ranges(axes.size());
    if (!FZoom->OptimizeSeries()) {
        for (std::size_t i = 0; i < axes.size(); ++i)
            ranges[i] = valuesOn(*axes[i]);
    } else {
        const auto indexOf = [&](const TVxAxis* Axis, std::size_t Fallback) {
            const auto it = std::find(axes.begin(), axes.end(), Axis);
            return it != axes.end() ? std::size_t(it - axes.begin()) : Fallback;
        };
        for (TVxSeries* series : RelatedSeries()) {
            if (!series->SeriesVisible())
                continue;
            const std::size_t xi = indexOf(series->XAxis(), 0);
            const std::size_t yi = indexOf(series->YAxis(), 1);
            if (xi >= axes.size() || yi >= axes.size())
                continue;
            const TRange xr = valuesOn(*axes[xi]);
            const TRange yr = valuesOn(*axes[yi]);
            TRange& xOut = ranges[xi];
            TRange& yOut = ranges[yi];
            const int count = series->Count();
            for (int i = 0; i < count; ++i) {
                if (!series->HasValuesAt(i))
                    continue;
                const double x = series->TransformedX(i);
                const double y = series->TransformedY(i);
                if (!(x >= xr.Start && x <= xr.Stop && y >= yr.Start && y <= yr.Stop))
                    continue;
                xOut.Start = std::min(xOut.Start, x);
                xOut.Stop = std::max(xOut.Stop, x);
                yOut.Start = std::min(yOut.Start, y);
                yOut.Stop = std::max(yOut.Stop, y);
            }
        }
    }

    BeginUpdate();
    try {
        for (std::size_t i = 0; i < axes.size(); ++i) {
            if (!(ranges[i].Stop < ranges[i].Start))
                axes[i]->ZoomIn(ranges[i].Start, ranges[i].Stop);
            else
                Repaint();
        }
        AlignCoupledStages();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TVxGraph2D::StepHistory(int Direction, int Stage) {
    // Direction -1: back, +1: forward, 0: to Stage. Each axis is stepped by the graph that
    // hosts it, so a shared X axis moves once.
    const auto step = [Direction, Stage](TVxGraph2D& Graph) {
        for (TVxAxis* axis : Graph.ChildAxes()) {
            if (Direction < 0)
                axis->ZoomBack();
            else if (Direction > 0)
                axis->RedoZoom();
            else
                axis->ZoomToStage(Stage);
        }
        Graph.SeriesModified();
    };
    step(*this);
    for (TVxGraph2D* g : CoupledOthers())
        step(*g);
}

void TVxGraph2D::ZoomBack() {
    if (CanZoomBack())
        StepHistory(-1, 0);
}

void TVxGraph2D::RedoZoom() {
    if (CanRedoZoom())
        StepHistory(+1, 0);
}

void TVxGraph2D::ZoomToStage(int Stage) {
    if (CanZoomBack() && Stage < ZoomBufferSize())
        StepHistory(0, Stage);
}

void TVxGraph2D::ZoomResetOwn(bool KeepSharedX) {
    // The unzoomed range first, then an explicit end of the history: an axis without series
    // (for which a range change does nothing) and Fixed or FirstSet ends (which the
    // automatic ranging rebuilds from the current start and stop) come back unzoomed.
    TVxAxis* shared = PrimaryXAxis();
    for (TVxAxis* axis : Axes()) {
        if (KeepSharedX && axis == shared)
            continue;
        if (axis->CanZoomBack())
            axis->ZoomToStage(0);
        axis->ZoomClearBuffer();
        axis->RangeModified();
    }
    SeriesModified();
}

void TVxGraph2D::ZoomReset() {
    ZoomResetOwn(false);
    for (TVxGraph2D* g : CoupledOthers())
        g->ZoomResetOwn(true);
}

// --- what the axes tell the graph ---------------------------------------------------------

void TVxGraph2D::AxisScalingChanged(TVxAxis& Axis) {
    (void)Axis;
    if (!FDestroying && !FLoading)
        ZoomReset();
}

void TVxGraph2D::AxisMovingSlitStarted(TVxAxis& Axis) {
    FZoom->StopForMovingSlit(Axis.Horizontal());
    Modified();
}

void TVxGraph2D::RecordZoomState(TVxAxis& Axis, TVxUndoStack& Stack, const QString& Comment) {
    Stack.PushProperty(FZoom, Comment, "Auto");
    Stack.PushProperty(FZoom, Comment,
                       Axis.Horizontal() ? "HScrollbarVisible" : "VScrollbarVisible");
}
