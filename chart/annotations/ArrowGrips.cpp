// The grips of a label with arrow: their images, hover and dragging.

#include "annotations/ArrowGrips.h"

#include "annotations/LabelWithArrow.h"
#include "annotations/Legend.h"
#include "drawing/Color.h"
#include "drawing/Surface.h"
#include "undo/UndoStack.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

/// System colour indices of button faces and shadows.
constexpr int ButtonFaceIndex = 15;
constexpr int ButtonShadowIndex = 16;

QImage MakeArrowGripImage() {
    QImage image(8, 8, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.fillRect(1, 1, 6, 6, QColor(255, 255, 255));
    p.setPen(QColor(0, 0, 0));
    p.drawRect(0, 0, 7, 7);
    p.fillRect(3, 3, 2, 2, QColor(0, 0, 0));
    return image;
}

QImage MakeCaptionGripImage() {
    QImage image(14, 14, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    for (int k = 0; k < 3; ++k) {
        const int o = 4 * k;
        p.setPen(QColor(255, 255, 255));
        p.drawLine(13, o, o, 13);
        p.setPen(QColor(96, 96, 96));
        p.drawLine(13, o + 1, o + 1, 13);
    }
    return image;
}

int Rounded(double Value) {
    return int(std::nearbyint(std::clamp(Value, -1e6, 1e6)));
}

} // namespace

const QImage& ArrowGripImage() {
    static const QImage image = MakeArrowGripImage();
    return image;
}

const QImage& CaptionGripImage() {
    static const QImage image = MakeCaptionGripImage();
    return image;
}

TVxArrowGrip::TVxArrowGrip(TVxLabelWithArrowMarker* Label)
    : TVxChartItem(Label), FParentArrow(Label) {
    SetVisible(false);
    SetBounds(0, 0, 8, 8);
}

void TVxArrowGrip::PaintGr(TVxSurface& Gr) {
    Gr.DrawImage(ArrowGripImage(), QPointF(0, 0));
}

bool TVxArrowGrip::ItemCursor(Qt::CursorShape& Shape) const {
    Shape = Qt::SizeAllCursor;
    return true;
}

bool TVxArrowGrip::MousePress(const TVxItemMouseEvent& e) {
    // A press on a grip is the grip's: no zoom, no drag of the label underneath.
    TVxLabelWithArrowMarker* label = FParentArrow;
    if (MouseShiftBits(e) != label->StartMovingKeys())
        return true;
    if (TVxUndoStack* stack = label->UndoStack(); stack && !stack->Restoring()) {
        stack->StartGroup(QStringLiteral("Marker arrow hovered grip moved"));
        try {
            for (const char* name :
                 {"ArrowDeltaX", "ArrowDeltaY", "CaptionDeltaX", "CaptionDeltaY", "BentLength"})
                stack->PushProperty(label, QString(), name);
        } catch (...) {
            stack->StopGroup();
            throw;
        }
        stack->StopGroup();
    }
    FDragging = true;
    FDragStart = e.Position;
    FStartDeltaArrow = label->ArrowEnd();
    FStartDeltaCaption = QPoint(label->CaptionDeltaX(), label->CaptionDeltaY());
    FStartBent = label->BentLength();
    return true;
}

void TVxArrowGrip::MouseMove(const TVxItemMouseEvent& e) {
    if (!FDragging)
        return;
    const QPointF moved = e.Position - FDragStart;
    Apply(QPoint(Rounded(moved.x()), Rounded(moved.y())));
}

void TVxArrowGrip::MouseRelease(const TVxItemMouseEvent& e) {
    (void)e;
    if (!FDragging)
        return;
    FDragging = false;
    Released();
}

void TVxArrowGrip::Apply(QPoint Moved) {
    FParentArrow->MoveArrowEnd(FStartDeltaArrow.x() + Moved.x(), FStartDeltaArrow.y() + Moved.y());
    if (FParentArrow->OnArrowEndMoving)
        FParentArrow->OnArrowEndMoving(FParentArrow);
}

void TVxArrowGrip::Released() {
    if (FParentArrow->OnArrowEndMoved)
        FParentArrow->OnArrowEndMoved(FParentArrow);
}

void TVxArrowGrip::MouseEnter() {
    // Over a grip the label counts as hovered: all its grips show.
    FParentArrow->ShowGrips(true);
}

void TVxArrowGrip::MouseLeave() {
    // Moving on to the label shows them again (its enter follows this leave).
    if (!FDragging)
        FParentArrow->ShowGrips(false);
}

TVxBentLengthGrip::TVxBentLengthGrip(TVxLabelWithArrowMarker* Label) : TVxArrowGrip(Label) {
    SetBounds(0, 0, 18, 4);
}

void TVxBentLengthGrip::PaintGr(TVxSurface& Gr) {
    const QRectF r(0, 0, Width(), Height());
    Gr.FillRectangle(TVxBrush::SolidBrush(SystemColor(ButtonShadowIndex)), r);
    Gr.DrawRectangle(TVxPen::Solid(SystemColor(ButtonFaceIndex)), r.adjusted(0.5, 0.5, -0.5, -0.5));
}

bool TVxBentLengthGrip::ItemCursor(Qt::CursorShape& Shape) const {
    Shape = FParentArrow->CaptionVertical() ? Qt::SplitVCursor : Qt::SplitHCursor;
    return true;
}

void TVxBentLengthGrip::Apply(QPoint Moved) {
    // Along the bent: its direction follows the sign of the arrow's delta.
    int along;
    if (FParentArrow->CaptionVertical())
        along = FParentArrow->ArrowDeltaY() > 0 ? Moved.y() : -Moved.y();
    else
        along = FParentArrow->ArrowDeltaX() < 0 ? -Moved.x() : Moved.x();
    FParentArrow->MoveBentLength(std::max(0, FStartBent + along));
}

TVxCaptionGrip::TVxCaptionGrip(TVxLabelWithArrowMarker* Label) : TVxArrowGrip(Label) {
    SetBounds(0, 0, 14, 14);
}

void TVxCaptionGrip::PaintGr(TVxSurface& Gr) {
    Gr.DrawImage(CaptionGripImage(), QPointF(0, 0));
}

void TVxCaptionGrip::Apply(QPoint Moved) {
    FParentArrow->MoveCaption(FStartDeltaCaption.x() + Moved.x(),
                              FStartDeltaCaption.y() + Moved.y());
}
