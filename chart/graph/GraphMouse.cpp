// The mouse on a graph: a drag with StartZoom draws a focus rectangle and zooms into it,
// a drag with StartPanning moves a zoomed chart, a click beside the data area steps one
// zoom stage back and a double click beside it resets the zoom.
//
// The focus rectangle is drawn over the cached frame of the chart (see paintEvent): moving
// it repaints only its outline from the frame, never the chart itself.

#include "graph/Graph.h"
#include "util/EventGuard.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <cmath>

namespace {

QRect Normalised(QPoint A, QPoint B) {
    return QRect(QPoint(std::min(A.x(), B.x()), std::min(A.y(), B.y())),
                 QPoint(std::max(A.x(), B.x()), std::max(A.y(), B.y())));
}

/// The pixels a focus rectangle covers: its outline, one pixel of margin on both sides.
QRegion Outline(const QRect& R) {
    if (R.isNull())
        return {};
    const QRect outer = R.adjusted(-1, -1, 1, 1);
    const QRect inner = R.adjusted(2, 2, -2, -2);
    QRegion region(outer);
    if (inner.width() > 0 && inner.height() > 0)
        region -= QRegion(inner);
    return region;
}

void Fire(const TVxZoomSettings::TNotifyEvent& Event, TVxGraph2D* Graph) {
    if (Event)
        Event(Graph);
}

} // namespace

QRect TVxGraph2D::ZoomRectangle() const {
    return FZoomDragging ? Normalised(FDragStart, FLastDrag) : QRect();
}

bool TVxGraph2D::InDataArea(QPoint Position) const {
    // The edges count as inside.
    const QRectF da = FDrawingArea;
    return Position.x() >= da.x() && Position.x() <= da.x() + da.width() &&
           Position.y() >= da.y() && Position.y() <= da.y() + da.height();
}

void TVxGraph2D::UpdateFocusRectangle(const QRect& Old, const QRect& New) {
    update(Outline(Old) + Outline(New));
}

void TVxGraph2D::PaintOverlay(QPainter& Painter) {
    if (!FZoomDragging)
        return;
    // Inverted pixels in a dotted outline: visible on any background.
    Painter.save();
    Painter.setRenderHint(QPainter::Antialiasing, false);
    Painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    QPen pen(Qt::white);
    pen.setStyle(Qt::DotLine);
    pen.setWidth(1);
    Painter.setPen(pen);
    Painter.setBrush(Qt::NoBrush);
    const QRect r = ZoomRectangle();
    Painter.drawRect(r.adjusted(0, 0, -1, -1));
    Painter.restore();
}

// --- the rules ---------------------------------------------------------------------------

void TVxGraph2D::MouseDown(TVxShiftState Shift, QPoint Position) {
    if (!FZoom->Auto())
        return;
    FDragStart = Position;
    FLastDrag = Position;
    if (Shift == FZoom->StartZoom()) {
        FZoomDragging = true;
        UpdateFocusRectangle(QRect(), ZoomRectangle());
        Fire(OnBeginZoom, this);
    }
    if (CanZoomBack() && Shift == FZoom->StartPanning()) {
        FPanDragging = true;
        FOldCursor = cursor();
        setCursor(FZoom->PanningCursor());
        const std::vector<TVxAxis*> axes = Axes();
        FInitialStarts.resize(axes.size());
        FInitialStops.resize(axes.size());
        for (std::size_t i = 0; i < axes.size(); ++i) {
            const TVxAxis& axis = *axes[i];
            const bool log = axis.Scale().HasLogScaling;
            FInitialStarts[i] = log ? std::log10(axis.Start()) : axis.Start();
            FInitialStops[i] = log ? std::log10(axis.Stop()) : axis.Stop();
        }
        Fire(OnBeginPanning, this);
    }
}

void TVxGraph2D::MouseMove(QPoint Position) {
    if (FZoomDragging) {
        const QRect old = ZoomRectangle();
        FLastDrag = Position;
        UpdateFocusRectangle(old, ZoomRectangle());
    }
    if (FPanDragging)
        PanTo(Position);
}

void TVxGraph2D::PanTo(QPoint Position) {
    const int dx = FDragStart.x() - Position.x();
    const int dy = Position.y() - FDragStart.y();
    // The chart moves once the pointer has left the start in both directions.
    if (dx == 0 || dy == 0)
        return;
    const std::vector<TVxAxis*> axes = Axes();
    const std::size_t n = std::min({axes.size(), FInitialStarts.size(), FInitialStops.size()});
    for (std::size_t i = 0; i < n; ++i) {
        TVxAxis& axis = *axes[i];
        // Each axis moves by its own value per pixel, against its own direction.
        double delta = (axis.Horizontal() ? dx : dy) * axis.Scale().NormalizeConst;
        if (axis.Twisted())
            delta = -delta;
        double start = FInitialStarts[i] + delta;
        double stop = FInitialStops[i] + delta;
        if (axis.Scale().HasLogScaling) {
            start = std::pow(10.0, start);
            stop = std::pow(10.0, stop);
        }
        if (!std::isfinite(start) || !std::isfinite(stop))
            continue;
        if (start >= axis.ScrollStart() && stop <= axis.ScrollStop())
            axis.SetStartStop(start, stop);
    }
    SeriesModified();
    RepaintCoupled();
}

void TVxGraph2D::MouseUp() {
    if (FZoomDragging) {
        FZoomDragging = false;
        const QRect dragged = Normalised(FDragStart, FLastDrag);
        UpdateFocusRectangle(dragged, QRect());
        const bool upperLeft = FDragStart.x() >= FLastDrag.x() && FDragStart.y() >= FLastDrag.y();
        const int w = std::abs(FLastDrag.x() - FDragStart.x());
        const int h = std::abs(FLastDrag.y() - FDragStart.y());
        if (FZoom->ResetOnRightBottomLeftTopFrame() && upperLeft) {
            ZoomReset();
        } else if (w < 5 || h < 5) {
            // Too small to be meant: only the rectangle goes.
        } else if (FZoom->BackOnRightBottomLeftTopFrame() && upperLeft) {
            ZoomBack();
        } else {
            ZoomTo(FDragStart, FLastDrag);
            Fire(OnEndZoom, this);
        }
    }
    if (FPanDragging) {
        FPanDragging = false;
        setCursor(FOldCursor);
        for (TVxAxis* axis : Axes())
            axis->ZoomIn(axis->Start(), axis->Stop());
        AlignCoupledStages();
        SeriesModified();
        Fire(OnEndPanning, this);
    }
}

void TVxGraph2D::Click(QPoint Position) {
    if (FZoom->BackOnClickBeside() && CanZoomBack() &&
        std::abs(FLastDrag.x() - FDragStart.x()) < 4 &&
        std::abs(FLastDrag.y() - FDragStart.y()) < 4 && !InDataArea(Position))
        ZoomBack();
}

void TVxGraph2D::DblClick(QPoint Position) {
    if (FZoom->ResetOnDoubleClickBeside() && CanZoomBack() && !InDataArea(Position))
        ZoomReset();
}

// --- the widget's handlers ------------------------------------------------------------------

void TVxGraph2D::mousePressEvent(QMouseEvent* Event) {
    Event->accept();
    const QPoint position = Event->position().toPoint();
    FClicked = Event->button() == Qt::LeftButton;
    GuardEvent([&] { MouseDown(ShiftStateOf(Event->modifiers(), Event->buttons()), position); });
}

void TVxGraph2D::mouseMoveEvent(QMouseEvent* Event) {
    Event->accept();
    const QPoint position = Event->position().toPoint();
    GuardEvent([&] { MouseMove(position); });
}

void TVxGraph2D::mouseReleaseEvent(QMouseEvent* Event) {
    Event->accept();
    const QPoint position = Event->position().toPoint();
    // A click is a left press and release on the control, as the second half of a double
    // click is not.
    const bool click = FClicked && Event->button() == Qt::LeftButton && rect().contains(position);
    FClicked = false;
    if (click)
        GuardEvent([&] { Click(position); });
    GuardEvent([&] { MouseUp(); });
}

void TVxGraph2D::mouseDoubleClickEvent(QMouseEvent* Event) {
    Event->accept();
    const QPoint position = Event->position().toPoint();
    FClicked = false;
    GuardEvent([&] {
        if (Event->button() == Qt::LeftButton)
            DblClick(position);
        MouseDown(ShiftStateOf(Event->modifiers(), Event->buttons(), true), position);
    });
}
