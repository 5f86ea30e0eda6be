#pragma once
// The graph as its windowless items (legends, labels, markers) see it. The graph implements
// this interface; items never name the graph's class, so annotations sit below the graph.

#include <QRectF>
#include <QSize>
#include <vector>

class QWidget;
class TVxChartItem;
class TVxSeries;
class TVxSurface;
class TVxUndoStack;

class TVxChartItemHost {
public:
    virtual ~TVxChartItemHost() = default;

    /// The widget that paints the items and receives the mouse.
    virtual QWidget* HostWidget() = 0;
    /// Makes Item one of the host's items (once): painted in layer order, offered the mouse.
    virtual void AddItem(TVxChartItem* Item) = 0;
    /// The host stops showing Item; nothing happens when it is not one of its items.
    virtual void RemoveItem(TVxChartItem* Item) = 0;
    /// Item changed its look: repaint.
    virtual void ItemRepaint(TVxChartItem& Item) = 0;
    /// Item changed what the layout depends on (a docked legend's size): lay out again.
    virtual void ItemLayoutModified(TVxChartItem& Item) = 0;

    /// The client size in pixels.
    virtual QSize HostClientSize() const = 0;
    /// The data area in client pixels (left, top, width, height).
    virtual QRectF DrawingArea() const = 0;
    /// The host's undo stack, nullptr for none.
    virtual TVxUndoStack* HostUndoStack() const = 0;
    /// Inside an update bracket: layouts wait.
    virtual bool HostUpdating() const = 0;
    /// Switches on the host's anti-aliasing for items.
    virtual void ApplyItemQuality(TVxSurface& Gr) const = 0;

    /// The series related to this host, in drawing order.
    virtual std::vector<TVxSeries*> HostSeries() const = 0;
    /// The host owning the X axis of this one when coupled (brought up to date first), else
    /// this host.
    virtual TVxChartItemHost* CouplingOwner() = 0;
    /// The hosts coupled to this one's X axis (its child graphs).
    virtual std::vector<TVxChartItemHost*> CoupledChildren() = 0;
    /// The host's layout is being destroyed: items must not call back.
    virtual bool HostDestroying() const = 0;
};
