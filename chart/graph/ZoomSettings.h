#pragma once
// The zoom settings of a graph: whether and how the mouse zooms, pans and steps through
// the zoom history, the scrollbars' visibility and steps, and the mouse states that start
// zooming and panning. The history itself lives in the axes; the operations here forward
// to the graph that owns the settings.

#include <QObject>
#include <QPointer>
#include <Qt>
#include <functional>

class TVxGraph2D;
class TVxUndoStack;

/// One key or mouse button of a mouse state.
enum class TVxShift : unsigned {
    Shift = 1u << 0,  ///< a Shift key is down
    Alt = 1u << 1,    ///< an Alt key is down
    Ctrl = 1u << 2,   ///< a Control key is down
    Left = 1u << 3,   ///< the left button is down
    Right = 1u << 4,  ///< the right button is down
    Middle = 1u << 5, ///< the middle button is down
    Double = 1u << 6, ///< the press is the second of a double click
};

/// A set of keys and mouse buttons; compared by exact equality.
class TVxShiftState {
public:
    constexpr TVxShiftState() = default;
    constexpr TVxShiftState(TVxShift Flag) : FBits(unsigned(Flag)) {}
    /// The set with the given bits (unknown bits are dropped).
    static constexpr TVxShiftState FromBits(unsigned Bits) {
        TVxShiftState s;
        s.FBits = Bits & AllBits;
        return s;
    }
    /// The bits of the set, for persistence and Q_PROPERTY.
    constexpr unsigned Bits() const { return FBits; }
    /// Flag is in the set.
    constexpr bool Contains(TVxShift Flag) const { return (FBits & unsigned(Flag)) != 0; }
    /// The set with Flag added.
    constexpr TVxShiftState operator|(TVxShiftState Other) const {
        return FromBits(FBits | Other.FBits);
    }
    constexpr bool operator==(const TVxShiftState&) const = default;

    /// Every bit a set may hold.
    static constexpr unsigned AllBits = (1u << 7) - 1;

private:
    unsigned FBits = 0;
};

constexpr TVxShiftState operator|(TVxShift A, TVxShift B) {
    return TVxShiftState(A) | TVxShiftState(B);
}

/// The mouse state of an event: Shift, Alt and Control from the modifiers, the buttons held
/// (for a press, including the pressed one) and Double for the second press of a double
/// click.
TVxShiftState ShiftStateOf(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons,
                           bool Double = false);

/// How the zoom history steps: as a stack (back stops at the unzoomed range) or as a ring.
enum class TVxZoomBufferType { AsCircularBuffer, AsStack };

/// A scrollbar action: a line or page towards lower or higher bar positions, the thumb
/// being dragged, a jump to either end, and the end of a scroll action.
enum class TVxScrollCode { LineUp, LineDown, PageUp, PageDown, Track, Top, Bottom, EndScroll };

/// The step of a scrollbar's arrow (small) or track click (large).
enum class TVxScrollIncrement { Page, MajorTick, MinorTick, Pixel };

class TVxZoomSettings : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Auto READ Auto WRITE SetAuto)
    Q_PROPERTY(int BufferType READ BufferTypeOrdinal WRITE SetBufferTypeOrdinal)
    Q_PROPERTY(bool OptimizeSeries READ OptimizeSeries WRITE SetOptimizeSeries)
    Q_PROPERTY(bool BackOnClickBeside READ BackOnClickBeside WRITE SetBackOnClickBeside)
    Q_PROPERTY(bool BackOnRightBottomLeftTopFrame READ BackOnRightBottomLeftTopFrame WRITE
                   SetBackOnRightBottomLeftTopFrame)
    Q_PROPERTY(bool ResetOnDoubleClickBeside READ ResetOnDoubleClickBeside WRITE
                   SetResetOnDoubleClickBeside)
    Q_PROPERTY(bool ResetOnRightBottomLeftTopFrame READ ResetOnRightBottomLeftTopFrame WRITE
                   SetResetOnRightBottomLeftTopFrame)
    Q_PROPERTY(int StartZoom READ StartZoomBits WRITE SetStartZoomBits)
    Q_PROPERTY(int StartPanning READ StartPanningBits WRITE SetStartPanningBits)
    Q_PROPERTY(int PanningCursor READ PanningCursorOrdinal WRITE SetPanningCursorOrdinal)
    Q_PROPERTY(bool HScrollbarVisible READ HScrollbarVisible WRITE SetHScrollbarVisible)
    Q_PROPERTY(bool VScrollbarVisible READ VScrollbarVisible WRITE SetVScrollbarVisible)
    Q_PROPERTY(int ScrollSmallIncrement READ ScrollSmallIncrementOrdinal WRITE
                   SetScrollSmallIncrementOrdinal)
    Q_PROPERTY(int ScrollLargeIncrement READ ScrollLargeIncrementOrdinal WRITE
                   SetScrollLargeIncrementOrdinal)
    Q_PROPERTY(bool CanZoomBack READ CanZoomBack)
    Q_PROPERTY(bool CanRedoZoom READ CanRedoZoom)
    Q_PROPERTY(int ZoomStage READ ZoomStage)
    Q_PROPERTY(int ZoomBufferSize READ ZoomBufferSize)

public:
    /// A graph event: the sender is the graph.
    using TNotifyEvent = std::function<void(TVxGraph2D*)>;

    /// The defaults: automatic zoom with the left button, panning with Shift and the left
    /// button, back on a click beside the data area, reset on a double click beside it,
    /// both scrollbars, minor-tick arrows and page-wise track clicks, a stack history.
    explicit TVxZoomSettings(TVxGraph2D* AGraph);

    /// The mouse zooms, pans and steps through the history.
    bool Auto() const { return FAuto; }
    void SetAuto(bool Value);
    /// Stack or ring history; not recorded for undo.
    TVxZoomBufferType BufferType() const { return FBufferType; }
    void SetBufferType(TVxZoomBufferType Value);
    /// A zoom rectangle fits the ranges to the data points inside it.
    bool OptimizeSeries() const { return FOptimizeSeries; }
    void SetOptimizeSeries(bool Value);
    /// A click beside the data area steps one stage back.
    bool BackOnClickBeside() const { return FBackOnClickBeside; }
    void SetBackOnClickBeside(bool Value);
    /// A rectangle dragged towards the upper left steps one stage back.
    bool BackOnRightBottomLeftTopFrame() const { return FBackOnRightBottomLeftTopFrame; }
    void SetBackOnRightBottomLeftTopFrame(bool Value);
    /// A double click beside the data area resets the zoom.
    bool ResetOnDoubleClickBeside() const { return FResetOnDoubleClickBeside; }
    void SetResetOnDoubleClickBeside(bool Value);
    /// A rectangle dragged towards the upper left resets the zoom.
    bool ResetOnRightBottomLeftTopFrame() const { return FResetOnRightBottomLeftTopFrame; }
    void SetResetOnRightBottomLeftTopFrame(bool Value);
    /// The mouse state that starts a zoom rectangle; raises EVxException when it equals
    /// StartPanning.
    TVxShiftState StartZoom() const { return FStartZoom; }
    void SetStartZoom(TVxShiftState Value);
    /// The mouse state that starts panning a zoomed chart; raises EVxException when it
    /// equals StartZoom.
    TVxShiftState StartPanning() const { return FStartPanning; }
    void SetStartPanning(TVxShiftState Value);
    /// The cursor shown while panning; not recorded for undo.
    Qt::CursorShape PanningCursor() const { return FPanningCursor; }
    void SetPanningCursor(Qt::CursorShape Value);
    /// The horizontal scrollbar shows while a horizontal axis cuts its data.
    bool HScrollbarVisible() const { return FHScrollbarVisible; }
    void SetHScrollbarVisible(bool Value);
    /// The vertical scrollbar shows while a vertical axis cuts its data.
    bool VScrollbarVisible() const { return FVScrollbarVisible; }
    void SetVScrollbarVisible(bool Value);
    /// The step of a scrollbar arrow.
    TVxScrollIncrement ScrollSmallIncrement() const { return FScrollSmallIncrement; }
    void SetScrollSmallIncrement(TVxScrollIncrement Value);
    /// The step of a click into a scrollbar's track.
    TVxScrollIncrement ScrollLargeIncrement() const { return FScrollLargeIncrement; }
    void SetScrollLargeIncrement(TVxScrollIncrement Value);

    /// The graph's zoom and panning events (reading or writing them here is the graph's).
    TNotifyEvent& OnBeginZoom();
    TNotifyEvent& OnEndZoom();
    TNotifyEvent& OnBeginPanning();
    TNotifyEvent& OnEndPanning();

    /// The graph's history queries and operations.
    bool CanZoomBack() const;
    bool CanRedoZoom() const;
    int ZoomStage() const;
    int ZoomBufferSize() const;
    void ZoomTo(QPoint Corner1, QPoint Corner2);
    void ZoomBack();
    void RedoZoom();
    void ZoomToStage(int Stage);
    void ZoomReset();

    /// The graph that owns the settings.
    TVxGraph2D* Graph() const { return FGraph; }
    /// The stack setters record on (the graph's).
    TVxUndoStack* UndoStack() const { return FUndoStack.data(); }
    void SetUndoStack(TVxUndoStack* Stack) { FUndoStack = Stack; }
    /// Copies every setting of Source through the setters.
    void Assign(const TVxZoomSettings& Source);

    /// Switches Auto off and hides one scrollbar without recording (an axis' StopEnd became
    /// MovingSlit; the axis recorded the old values in its own step).
    void StopForMovingSlit(bool Horizontal);

private:
    bool Recording() const;
    void Record(const char* Comment, const char* Name);
    void SetFlag(bool& Field, bool Value, const char* Comment, const char* Name);
    int BufferTypeOrdinal() const { return int(FBufferType); }
    void SetBufferTypeOrdinal(int Value);
    int StartZoomBits() const { return int(FStartZoom.Bits()); }
    void SetStartZoomBits(int Value) { SetStartZoom(TVxShiftState::FromBits(unsigned(Value))); }
    int StartPanningBits() const { return int(FStartPanning.Bits()); }
    void SetStartPanningBits(int Value) {
        SetStartPanning(TVxShiftState::FromBits(unsigned(Value)));
    }
    int PanningCursorOrdinal() const { return int(FPanningCursor); }
    void SetPanningCursorOrdinal(int Value);
    int ScrollSmallIncrementOrdinal() const { return int(FScrollSmallIncrement); }
    void SetScrollSmallIncrementOrdinal(int Value);
    int ScrollLargeIncrementOrdinal() const { return int(FScrollLargeIncrement); }
    void SetScrollLargeIncrementOrdinal(int Value);

    TVxGraph2D* FGraph;
    QPointer<TVxUndoStack> FUndoStack;
    bool FAuto = true;
    bool FOptimizeSeries = false;
    bool FHScrollbarVisible = true;
    bool FVScrollbarVisible = true;
    bool FBackOnClickBeside = true;
    bool FResetOnDoubleClickBeside = true;
    bool FBackOnRightBottomLeftTopFrame = false;
    bool FResetOnRightBottomLeftTopFrame = false;
    TVxShiftState FStartZoom = TVxShift::Left;
    TVxShiftState FStartPanning = TVxShift::Shift | TVxShift::Left;
    TVxScrollIncrement FScrollSmallIncrement = TVxScrollIncrement::MinorTick;
    TVxScrollIncrement FScrollLargeIncrement = TVxScrollIncrement::Page;
    Qt::CursorShape FPanningCursor = Qt::PointingHandCursor;
    TVxZoomBufferType FBufferType = TVxZoomBufferType::AsStack;
};
