#pragma once
// The grips of a label with arrow: small items above the label that show while the mouse is
// over it. TVxArrowGrip drags the arrow end, TVxBentLengthGrip the bent length and
// TVxCaptionGrip the caption offsets; a drag from press to release is one undo step. The
// grip images are drawn in code.

#include "annotations/ChartItem.h"

#include <QImage>

class TVxLabelWithArrowMarker;

class TVxArrowGrip : public TVxChartItem {
    Q_OBJECT

public:
    /// A hidden 8 x 8 grip of Label (owned by it).
    explicit TVxArrowGrip(TVxLabelWithArrowMarker* Label);

    /// The label the grip belongs to.
    TVxLabelWithArrowMarker* ParentArrow() const { return FParentArrow; }
    /// A drag is under way.
    bool Dragging() const { return FDragging; }

    void PaintGr(TVxSurface& Gr) override;
    bool MousePress(const TVxItemMouseEvent& e) override;
    void MouseMove(const TVxItemMouseEvent& e) override;
    void MouseRelease(const TVxItemMouseEvent& e) override;
    void MouseEnter() override;
    void MouseLeave() override;
    bool ItemCursor(Qt::CursorShape& Shape) const override;

protected:
    /// Applies the movement Moved (pixels since the press) to the label.
    virtual void Apply(QPoint Moved);
    /// Called at the release.
    virtual void Released();

    TVxLabelWithArrowMarker* FParentArrow;
    bool FDragging = false;
    QPointF FDragStart;
    QPoint FStartDeltaArrow;
    QPoint FStartDeltaCaption;
    int FStartBent = 0;
};

class TVxBentLengthGrip : public TVxArrowGrip {
    Q_OBJECT

public:
    /// A hidden 18 x 4 grip (4 x 18 with a vertical caption).
    explicit TVxBentLengthGrip(TVxLabelWithArrowMarker* Label);
    void PaintGr(TVxSurface& Gr) override;
    bool ItemCursor(Qt::CursorShape& Shape) const override;

protected:
    void Apply(QPoint Moved) override;
    void Released() override {}
};

class TVxCaptionGrip : public TVxArrowGrip {
    Q_OBJECT

public:
    /// A hidden 14 x 14 grip.
    explicit TVxCaptionGrip(TVxLabelWithArrowMarker* Label);
    void PaintGr(TVxSurface& Gr) override;

protected:
    void Apply(QPoint Moved) override;
    void Released() override {}
};

/// The arrow-end grip's image: 8 x 8, transparent around a framed square.
const QImage& ArrowGripImage();
/// The caption grip's image: 14 x 14, transparent around three diagonal ridges.
const QImage& CaptionGripImage();
