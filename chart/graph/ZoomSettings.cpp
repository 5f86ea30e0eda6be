#include "graph/ZoomSettings.h"

#include "graph/Graph.h"
#include "undo/UndoStack.h"
#include "util/Exceptions.h"

TVxShiftState ShiftStateOf(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons, bool Double) {
    TVxShiftState s;
    if (Modifiers & Qt::ShiftModifier)
        s = s | TVxShift::Shift;
    if (Modifiers & Qt::AltModifier)
        s = s | TVxShift::Alt;
    if (Modifiers & Qt::ControlModifier)
        s = s | TVxShift::Ctrl;
    if (Buttons & Qt::LeftButton)
        s = s | TVxShift::Left;
    if (Buttons & Qt::RightButton)
        s = s | TVxShift::Right;
    if (Buttons & Qt::MiddleButton)
        s = s | TVxShift::Middle;
    if (Double)
        s = s | TVxShift::Double;
    return s;
}

namespace {

const char* const SameStartMessage =
    "Zooming and panning not allowed to start with same parameters";

} // namespace

TVxZoomSettings::TVxZoomSettings(TVxGraph2D* AGraph) : QObject(AGraph), FGraph(AGraph) {}

bool TVxZoomSettings::Recording() const {
    return FUndoStack && !FUndoStack->Restoring();
}

void TVxZoomSettings::Record(const char* Comment, const char* Name) {
    if (Recording())
        FUndoStack->PushProperty(this, QString::fromUtf8(Comment), Name);
}

void TVxZoomSettings::SetFlag(bool& Field, bool Value, const char* Comment, const char* Name) {
    if (Field == Value)
        return;
    Record(Comment, Name);
    Field = Value;
}

void TVxZoomSettings::SetAuto(bool Value) {
    SetFlag(FAuto, Value, "Graph auto zooming", "Auto");
}

void TVxZoomSettings::SetBufferType(TVxZoomBufferType Value) {
    FBufferType = Value;
}

void TVxZoomSettings::SetBufferTypeOrdinal(int Value) {
    if (Value >= 0 && Value <= int(TVxZoomBufferType::AsStack))
        SetBufferType(TVxZoomBufferType(Value));
}

void TVxZoomSettings::SetOptimizeSeries(bool Value) {
    SetFlag(FOptimizeSeries, Value, "Graph zoom optimize for series data", "OptimizeSeries");
}

void TVxZoomSettings::SetBackOnClickBeside(bool Value) {
    SetFlag(FBackOnClickBeside, Value, "Graph zoom back clicking beside data", "BackOnClickBeside");
}

void TVxZoomSettings::SetBackOnRightBottomLeftTopFrame(bool Value) {
    SetFlag(FBackOnRightBottomLeftTopFrame, Value, "Graph zoom back clicking beside data",
            "BackOnRightBottomLeftTopFrame");
}

void TVxZoomSettings::SetResetOnDoubleClickBeside(bool Value) {
    SetFlag(FResetOnDoubleClickBeside, Value, "Graph zoom reset double clicking beside data",
            "ResetOnDoubleClickBeside");
}

void TVxZoomSettings::SetResetOnRightBottomLeftTopFrame(bool Value) {
    SetFlag(FResetOnRightBottomLeftTopFrame, Value,
            "Graph zoom reset dragging bottom/right top/left", "ResetOnRightBottomLeftTopFrame");
}

void TVxZoomSettings::SetStartZoom(TVxShiftState Value) {
    if (Value == FStartZoom)
        return;
    if (Value == FStartPanning)
        throw EVxException(SameStartMessage);
    Record("Graph zoom start keys", "StartZoom");
    FStartZoom = Value;
}

void TVxZoomSettings::SetStartPanning(TVxShiftState Value) {
    if (Value == FStartPanning)
        return;
    if (Value == FStartZoom)
        throw EVxException(SameStartMessage);
    Record("Graph panning start keys", "StartPanning");
    FStartPanning = Value;
}

void TVxZoomSettings::SetPanningCursor(Qt::CursorShape Value) {
    FPanningCursor = Value;
}

void TVxZoomSettings::SetPanningCursorOrdinal(int Value) {
    if (Value >= 0 && Value <= int(Qt::LastCursor))
        SetPanningCursor(Qt::CursorShape(Value));
}

void TVxZoomSettings::SetHScrollbarVisible(bool Value) {
    SetFlag(FHScrollbarVisible, Value, "Graph zoomed show horizontal scrollbar",
            "HScrollbarVisible");
}

void TVxZoomSettings::SetVScrollbarVisible(bool Value) {
    SetFlag(FVScrollbarVisible, Value, "Graph zoomed show vertical scrollbar", "VScrollbarVisible");
}

void TVxZoomSettings::SetScrollSmallIncrement(TVxScrollIncrement Value) {
    if (Value == FScrollSmallIncrement)
        return;
    Record("Graph scrollbars small increment", "ScrollSmallIncrement");
    FScrollSmallIncrement = Value;
}

void TVxZoomSettings::SetScrollSmallIncrementOrdinal(int Value) {
    if (Value >= 0 && Value <= int(TVxScrollIncrement::Pixel))
        SetScrollSmallIncrement(TVxScrollIncrement(Value));
}

void TVxZoomSettings::SetScrollLargeIncrement(TVxScrollIncrement Value) {
    if (Value == FScrollLargeIncrement)
        return;
    Record("Graph scrollbars large increment", "ScrollLargeIncrement");
    FScrollLargeIncrement = Value;
}

void TVxZoomSettings::SetScrollLargeIncrementOrdinal(int Value) {
    if (Value >= 0 && Value <= int(TVxScrollIncrement::Pixel))
        SetScrollLargeIncrement(TVxScrollIncrement(Value));
}

TVxZoomSettings::TNotifyEvent& TVxZoomSettings::OnBeginZoom() {
    return FGraph->OnBeginZoom;
}

TVxZoomSettings::TNotifyEvent& TVxZoomSettings::OnEndZoom() {
    return FGraph->OnEndZoom;
}

TVxZoomSettings::TNotifyEvent& TVxZoomSettings::OnBeginPanning() {
    return FGraph->OnBeginPanning;
}

TVxZoomSettings::TNotifyEvent& TVxZoomSettings::OnEndPanning() {
    return FGraph->OnEndPanning;
}

bool TVxZoomSettings::CanZoomBack() const {
    return FGraph->CanZoomBack();
}

bool TVxZoomSettings::CanRedoZoom() const {
    return FGraph->CanRedoZoom();
}

int TVxZoomSettings::ZoomStage() const {
    return FGraph->ZoomStage();
}

int TVxZoomSettings::ZoomBufferSize() const {
    return FGraph->ZoomBufferSize();
}

void TVxZoomSettings::ZoomTo(QPoint Corner1, QPoint Corner2) {
    FGraph->ZoomTo(Corner1, Corner2);
}

void TVxZoomSettings::ZoomBack() {
    FGraph->ZoomBack();
}

void TVxZoomSettings::RedoZoom() {
    FGraph->RedoZoom();
}

void TVxZoomSettings::ZoomToStage(int Stage) {
    FGraph->ZoomToStage(Stage);
}

void TVxZoomSettings::ZoomReset() {
    FGraph->ZoomReset();
}

void TVxZoomSettings::Assign(const TVxZoomSettings& Source) {
    if (&Source == this)
        return;
    SetAuto(Source.FAuto);
    SetBufferType(Source.FBufferType);
    SetOptimizeSeries(Source.FOptimizeSeries);
    SetBackOnClickBeside(Source.FBackOnClickBeside);
    SetBackOnRightBottomLeftTopFrame(Source.FBackOnRightBottomLeftTopFrame);
    SetResetOnDoubleClickBeside(Source.FResetOnDoubleClickBeside);
    SetResetOnRightBottomLeftTopFrame(Source.FResetOnRightBottomLeftTopFrame);
    // The pair may be swapped: clear the way through a state neither side holds.
    if (Source.FStartZoom == FStartPanning || Source.FStartPanning == FStartZoom) {
        const TVxShiftState none = TVxShiftState::FromBits(TVxShiftState::AllBits);
        if (FStartZoom != none && FStartPanning != none)
            SetStartPanning(none);
    }
    SetStartZoom(Source.FStartZoom);
    SetStartPanning(Source.FStartPanning);
    SetPanningCursor(Source.FPanningCursor);
    SetHScrollbarVisible(Source.FHScrollbarVisible);
    SetVScrollbarVisible(Source.FVScrollbarVisible);
    SetScrollSmallIncrement(Source.FScrollSmallIncrement);
    SetScrollLargeIncrement(Source.FScrollLargeIncrement);
}

void TVxZoomSettings::StopForMovingSlit(bool Horizontal) {
    FAuto = false;
    (Horizontal ? FHScrollbarVisible : FVScrollbarVisible) = false;
}
