#pragma once
// The place an axis lives in: the graph, later; a fake in tests. The axis asks it for the
// graph's states and for label measurements, and tells it of changes.

#include <QSizeF>
#include <QString>

class TVxAxis;
class TVxUndoStack;

class TVxAxisHost {
public:
    virtual ~TVxAxisHost() = default;

    /// The host is a graph (scrollbars, zoom settings and series exist).
    virtual bool IsGraph() const { return true; }
    /// The graph is loading: data-range changes are ignored.
    virtual bool Loading() const { return false; }
    /// The graph is being panned: the partition is kept and the ends stay unrounded.
    virtual bool Panning() const { return false; }
    /// The number of series the graph shows.
    virtual int SeriesCount() const { return 0; }

    /// Point size of the axis' label font, for the label extent estimate.
    virtual double LabelFontSize(const TVxAxis& Axis) const = 0;
    /// Width and height of a label text in the axis' label font.
    virtual QSizeF MeasureLabel(const TVxAxis& Axis, const QString& Text) const = 0;

    /// The axis changed: its layout must be recomputed and it must be repainted.
    virtual void AxisModified(TVxAxis& Axis) = 0;
    /// Only the axis' colours changed: repaint without a new layout.
    virtual void AxisRepaint(TVxAxis& Axis) { (void)Axis; }
    /// The axis' scaling changed: the graph resets its zoom.
    virtual void AxisScalingChanged(TVxAxis& Axis) { (void)Axis; }
    /// StopEnd became MovingSlit: the graph's automatic zoom is switched off and its
    /// scrollbar for the axis' direction hidden.
    virtual void AxisMovingSlitStarted(TVxAxis& Axis) { (void)Axis; }
    /// Records, inside the open undo group, the graph's zoom settings that a change of
    /// StopEnd may change (Auto, and the scrollbar of the axis' direction).
    virtual void RecordZoomState(TVxAxis& Axis, TVxUndoStack& Stack, const QString& Comment) {
        (void)Axis;
        (void)Stack;
        (void)Comment;
    }

    /// True while an axis calculation of this graph runs.
    bool AxesCalculating() const { return FAxesCalculating; }

private:
    friend class TVxAxesCalculatingScope;
    bool FAxesCalculating = false;
};

/// Marks the host's axes as calculating for its lifetime; the flag is cleared however
/// the calculation ends, by return or by exception.
class TVxAxesCalculatingScope {
public:
    explicit TVxAxesCalculatingScope(TVxAxisHost& Host) : FHost(Host), FWas(Host.FAxesCalculating) {
        FHost.FAxesCalculating = true;
    }
    ~TVxAxesCalculatingScope() { FHost.FAxesCalculating = FWas; }
    TVxAxesCalculatingScope(const TVxAxesCalculatingScope&) = delete;
    TVxAxesCalculatingScope& operator=(const TVxAxesCalculatingScope&) = delete;

private:
    TVxAxisHost& FHost;
    bool FWas;
};
