#pragma once
// The graph as a series sees it. A series finds its host through its Y axis (the graph
// that hosts the axis implements this interface as well as the axis host) and registers
// there; the graph draws its registered series in layer order.
//
// Fixed first so that the graph and the series can be built side by side.

#include <QRectF>
#include <vector>

class TVxAxis;
class TVxSeries;
class TVxUndoStack;

class TVxSeriesHost {
public:
    virtual ~TVxSeriesHost() = default;

    /// Appends Series to the host's series list (once); the list order is the drawing order.
    virtual void RegisterSeries(TVxSeries* Series) = 0;
    /// Removes Series from the host's series list; nothing happens when it is not listed.
    virtual void UnregisterSeries(TVxSeries* Series) = 0;

    /// The data area in the host's pixels (left, top, width, height).
    virtual QRectF DrawingArea() const = 0;
    /// The primary axes, nullptr while the host has none.
    virtual TVxAxis* PrimaryXAxis() const = 0;
    virtual TVxAxis* PrimaryYAxis() const = 0;
    /// The host's undo stack, which a series without one takes; nullptr for none.
    virtual TVxUndoStack* HostUndoStack() const = 0;

    /// A series changed its look or its points: repaint the host and its legends.
    virtual void SeriesInvalidated(TVxSeries& Series) = 0;
    /// A series changed what the layout depends on (layer, registration): recalculate.
    virtual void SeriesLayoutModified(TVxSeries& Series) = 0;
    /// The legends must list the series anew (captions, visibility, membership).
    virtual void LegendsModified() = 0;

    /// The host is being destroyed: a series must not call back into it.
    virtual bool HostDestroying() const = 0;
    /// The user pans the chart: series changes do not repaint by themselves.
    virtual bool Panning() const = 0;
    /// Painting goes to an exported image, not the screen.
    virtual bool DoingImage() const = 0;
    /// Painting goes to a vector target (PDF, SVG, printer): exact float positions and a
    /// finer data reduction.
    virtual bool DoingMetafile() const = 0;
    /// Anti-aliasing is on for series lines.
    virtual bool AntiAliased() const = 0;
    /// The registered series in list order (kinds that share a layout across the graph).
    virtual std::vector<TVxSeries*> HostSeries() const { return {}; }
};
