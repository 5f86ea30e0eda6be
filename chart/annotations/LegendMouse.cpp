// Dragging a free-floating legend with the mouse. A press anywhere on a legend is the
// legend's: with exactly the start keys it starts a drag of a free-floating legend, otherwise
// nothing happens (the graph neither zooms nor pans under a legend).

#include "annotations/Legend.h"
#include "undo/UndoStack.h"

#include <cmath>

int MouseShiftBits(const TVxItemMouseEvent& e) {
    int bits = 0;
    if (e.Modifiers.testFlag(Qt::ShiftModifier))
        bits |= 1;
    if (e.Modifiers.testFlag(Qt::AltModifier))
        bits |= 2;
    if (e.Modifiers.testFlag(Qt::ControlModifier))
        bits |= 4;
    const Qt::MouseButtons buttons = e.Buttons | e.Button;
    if (buttons.testFlag(Qt::LeftButton))
        bits |= 8;
    if (buttons.testFlag(Qt::RightButton))
        bits |= 16;
    if (buttons.testFlag(Qt::MiddleButton))
        bits |= 32;
    return bits;
}

bool TVxLegend::MousePress(const TVxItemMouseEvent& e) {
    if (FPosition != TVxLegendPosition::FreeFloating || !Host() || MouseShiftBits(e) != FStartKeys)
        return true;
    if (Recording()) {
        FUndoStack->StartGroup(QStringLiteral("Legend position"));
        try {
            FUndoStack->PushProperty(this, QString(), "Left");
            FUndoStack->PushProperty(this, QString(), "Top");
        } catch (...) {
            FUndoStack->StopGroup();
            throw;
        }
        FUndoStack->StopGroup();
    }
    FDragging = true;
    FDragStart = e.Position;
    FDragOrigin = QPoint(Left(), Top());
    if (OnStartFreeFloating)
        OnStartFreeFloating(this);
    return true;
}

void TVxLegend::MouseMove(const TVxItemMouseEvent& e) {
    if (!FDragging)
        return;
    const QPointF offset = e.Position - FDragStart;
    const bool was = FSetting;
    FSetting = true;
    SetBounds(FDragOrigin.x() + int(std::nearbyint(offset.x())),
              FDragOrigin.y() + int(std::nearbyint(offset.y())), Width(), Height());
    FSetting = was;
    Repaint();
}

void TVxLegend::MouseRelease(const TVxItemMouseEvent& e) {
    (void)e;
    FDragging = false;
}
