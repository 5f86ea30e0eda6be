#pragma once
// The base of the windowless things a graph paints and offers the mouse to: legends, labels
// and markers. An item is a rectangle in its host's client pixels with a layer and a
// visibility. The host paints its items in layer order, each translated to its top-left
// corner, and offers mouse events in the reverse order; the first item that takes a press
// keeps the mouse until the release.

#include "annotations/ChartItemHost.h"
#include "util/Component.h"

#include <QPointF>
#include <QPointer>
#include <QRect>
#include <QWidget>

class TVxSurface;

/// A mouse event as the host passes it on, in the host's client pixels.
struct TVxItemMouseEvent {
    /// The mouse position in host client pixels.
    QPointF Position;
    /// The button that changed (none for moves).
    Qt::MouseButton Button = Qt::NoButton;
    /// The buttons held after the event.
    Qt::MouseButtons Buttons;
    /// The keyboard modifiers held.
    Qt::KeyboardModifiers Modifiers;
};

class TVxChartItem : public TVxComponent {
    Q_OBJECT
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(int Left READ Left WRITE SetLeft)
    Q_PROPERTY(int Top READ Top WRITE SetTop)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(int Layer READ Layer WRITE SetLayer)

public:
    /// A visible 100 x 50 item at (0, 0), layer 0, on no host.
    explicit TVxChartItem(QObject* AOwner = nullptr);
    ~TVxChartItem() override;

    /// Shown (painted and offered the mouse).
    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool Value);
    /// The rectangle in host client pixels.
    QRect BoundsRect() const { return FBounds; }
    /// Moves and sizes the item; lengths are clamped to +-1e6 and sizes to 0..QWIDGETSIZE_MAX.
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    int Left() const { return FBounds.left(); }
    int Top() const { return FBounds.top(); }
    int Width() const { return FBounds.width(); }
    int Height() const { return FBounds.height(); }
    void SetLeft(int Value) { SetBounds(Value, Top(), Width(), Height()); }
    void SetTop(int Value) { SetBounds(Left(), Value, Width(), Height()); }
    void SetWidth(int Value) { SetBounds(Left(), Top(), Value, Height()); }
    void SetHeight(int Value) { SetBounds(Left(), Top(), Width(), Value); }
    /// Painting order among the host's items: lower layers first.
    int Layer() const { return FLayer; }
    void SetLayer(int Value);

    /// The host painting the item, nullptr for none (or once it is destroyed).
    TVxChartItemHost* Host() const { return FHostWidget ? FHost : nullptr; }
    /// Called by the host's AddItem and RemoveItem only.
    void AttachHost(TVxChartItemHost* AHost);
    /// Host(), and then joins AHost (leaving the old host) or leaves it (nullptr).
    void SetHost(TVxChartItemHost* AHost);

    /// Draws the item with its top-left corner at (0, 0) of the surface.
    virtual void PaintGr(TVxSurface& Gr) = 0;
    /// The host position lies inside the item (edges included).
    virtual bool HitTest(QPointF Position) const;
    /// A press inside the item; true takes the mouse until the release.
    virtual bool MousePress(const TVxItemMouseEvent& e);
    /// A move while the item holds the mouse.
    virtual void MouseMove(const TVxItemMouseEvent& e);
    /// The release that ends the item's hold of the mouse.
    virtual void MouseRelease(const TVxItemMouseEvent& e);
    /// A double click inside the item; true takes it.
    virtual bool DoubleClick(const TVxItemMouseEvent& e);
    /// The mouse came over the item (sent while the host tracks the mouse).
    virtual void MouseEnter() {}
    /// The mouse left the item.
    virtual void MouseLeave() {}
    /// The cursor the host shows over the item; false keeps the host's own.
    virtual bool ItemCursor(Qt::CursorShape& Shape) const {
        (void)Shape;
        return false;
    }

    /// Asks the host for a repaint.
    void Repaint();

protected:
    /// The bounds changed (Resized: width or height changed).
    virtual void BoundsChanged(bool Resized) { (void)Resized; }
    /// The host changed (joined, left or replaced).
    virtual void HostChanged() {}

private:
    QRect FBounds{0, 0, 100, 50};
    int FLayer = 0;
    bool FVisible = true;
    TVxChartItemHost* FHost = nullptr;
    QPointer<QWidget> FHostWidget;
};
