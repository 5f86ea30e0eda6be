#pragma once
// Markers: windowless items of a graph that mark a point in data coordinates. TVxMovable is
// their base: the data position (X, Y) through two axes, a rich caption in an optional
// background box, dragging with the mouse, snapping to the nearest value of a series, undo
// recording and the saved records. TVxHorizontalMarker is a line at Y across the data area,
// TVxVerticalMarker a line at X over its height (CrossHair.h and LabelWithArrow.h hold the
// other two).
//
// A marker keeps its data position; its pixel position (the hot point, in the graph's client
// pixels) follows from the axes at every paint, so zooming and panning keep it on its values.
// Setters record one undo step each; a drag records one step at the press and nothing while
// it moves; placements by a series (snapped markers follow their data) record nothing.
// Files: LineMarker.cpp (base), LineMarkerLayout.cpp (the two line markers), MarkerRecords.cpp
// (stream, XML and ini records).

#include "annotations/ChartItem.h"
#include "captions/CaptionVariables.h"
#include "captions/RichCaption.h"
#include "drawing/Color.h"
#include "persistence/BinaryStream.h"
#include "persistence/IniFile.h"
#include "series/LinkedMarkers.h"
#include "series/Series.h"
#include "styles/GradientSettings.h"
#include "styles/LineSettings.h"
#include "styles/VxFont.h"

#include <QPointer>
#include <QRect>
#include <functional>
#include <pugixml.hpp>

class TVxAxis;
class TVxUndoStack;

/// The keys and buttons that start a marker drag: the bits of MouseShiftBits (Shift 1, Alt 2,
/// Ctrl 4, Left 8, Right 16, Middle 32, Double 64); default the left button alone.
inline constexpr int MarkerLeftButton = 8;
/// Lengths in pixels (deltas, bent lengths, widths) are kept within +-this.
inline constexpr int MaxMarkerPixels = 1000000;

class TVxMovable : public TVxChartItem, public TVxCaptionDependent, public TVxLinkedMarker {
    Q_OBJECT
    Q_PROPERTY(double X READ X WRITE SetX)
    Q_PROPERTY(double Y READ Y WRITE SetY)
    Q_PROPERTY(TVxAxis* XAxis READ XAxis WRITE SetXAxis)
    Q_PROPERTY(TVxAxis* YAxis READ YAxis WRITE SetYAxis)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool CaptionVisible READ CaptionVisible WRITE SetCaptionVisible)
    Q_PROPERTY(bool CaptionVertical READ CaptionVertical WRITE SetCaptionVertical)
    Q_PROPERTY(int CaptionDeltaX READ CaptionDeltaX WRITE SetCaptionDeltaX)
    Q_PROPERTY(int CaptionDeltaY READ CaptionDeltaY WRITE SetCaptionDeltaY)
    Q_PROPERTY(int CaptionPosition READ CaptionPositionOrdinal WRITE SetCaptionPositionOrdinal)
    Q_PROPERTY(int ForeColor READ ForeColor WRITE SetForeColor)
    Q_PROPERTY(TVxFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(TVxSimpleLineSettings* Line READ Line WRITE SetLine)
    Q_PROPERTY(bool ClipToData READ ClipToData WRITE SetClipToData)
    Q_PROPERTY(bool MouseDrag READ MouseDrag WRITE SetMouseDrag)
    Q_PROPERTY(int StartMovingKeys READ StartMovingKeys WRITE SetStartMovingKeys)
    Q_PROPERTY(bool SnapToSeriesValues READ SnapToSeriesValues WRITE SetSnapToSeriesValues)
    Q_PROPERTY(bool SnapToFunctions READ SnapToFunctions WRITE SetSnapToFunctions)
    Q_PROPERTY(TVxSeries* SnappedSeries READ SnappedSeries WRITE SetSnappedSeries)
    Q_PROPERTY(int CaptionBackColor READ CaptionBackColor WRITE SetCaptionBackColor)
    Q_PROPERTY(TVxGradientSettings* CaptionBackGradient READ CaptionBackGradient WRITE
                   SetCaptionBackGradient)
    Q_PROPERTY(TVxLineSettings* CaptionBackFrame READ CaptionBackFrame WRITE SetCaptionBackFrame)
    Q_PROPERTY(bool CaptionBackRaised READ CaptionBackRaised WRITE SetCaptionBackRaised)
    Q_PROPERTY(bool CaptionBackLowered READ CaptionBackLowered WRITE SetCaptionBackLowered)
    Q_PROPERTY(bool CaptionBackShadow READ CaptionBackShadow WRITE SetCaptionBackShadow)
    Q_PROPERTY(float CaptionBackSpaceToBorder READ CaptionBackSpaceToBorder WRITE
                   SetCaptionBackSpaceToBorder)
    Q_PROPERTY(float CaptionBackRounding READ CaptionBackRounding WRITE SetCaptionBackRounding)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)

public:
    /// A marker at (0, 0) on no graph, painted above legends (layer 1).
    explicit TVxMovable(QObject* AOwner = nullptr);
    ~TVxMovable() override;

    // Data position.
    double X() const { return FX; }
    /// Moves the marker to X (undoable; non-finite values are refused).
    virtual void SetX(double Value);
    double Y() const { return FY; }
    virtual void SetY(double Value);
    TVxAxis* XAxis() const { return FXAxis; }
    virtual void SetXAxis(TVxAxis* Value);
    TVxAxis* YAxis() const { return FYAxis; }
    virtual void SetYAxis(TVxAxis* Value);

    // Caption.
    QString Caption() const { return FCaptionRec.Caption; }
    void SetCaption(const QString& Value);
    bool CaptionVisible() const { return FCaptionVisible; }
    void SetCaptionVisible(bool Value);
    /// The caption is turned by 90 degrees.
    bool CaptionVertical() const { return FCaptionVertical; }
    virtual void SetCaptionVertical(bool Value);
    /// Offsets of the caption in pixels (clamped to +-1e6).
    int CaptionDeltaX() const { return FCaptionDeltaX; }
    void SetCaptionDeltaX(int Value);
    int CaptionDeltaY() const { return FCaptionDeltaY; }
    void SetCaptionDeltaY(int Value);
    /// Where the caption sits relative to the line (line markers).
    TVxContentAlignment CaptionPosition() const { return FCaptionPosition; }
    void SetCaptionPosition(TVxContentAlignment Value);
    /// The font's fill colour; setting it sets the font colour and the line colour.
    TVxColor ForeColor() const;
    void SetForeColor(TVxColor Value);
    /// The caption font (owned; SetFont copies into it as one undo step).
    TVxFont* Font() const { return FFont; }
    void SetFont(TVxFont* Value);
    /// The marker line (owned; SetLine copies into it).
    TVxSimpleLineSettings* Line() const { return FLineSettings; }
    void SetLine(TVxSimpleLineSettings* Value);

    // Behaviour.
    /// Painted only inside the data area and while the value lies in the axis range.
    bool ClipToData() const { return FClipToData; }
    virtual void SetClipToData(bool Value);
    /// The mouse may drag the marker.
    bool MouseDrag() const { return FMouseDrag; }
    void SetMouseDrag(bool Value) { FMouseDrag = Value; }
    /// The exact keys and buttons of a press that starts a drag (MarkerLeftButton).
    int StartMovingKeys() const { return FStartMoveKeys; }
    void SetStartMovingKeys(int Value) { FStartMoveKeys = Value & 127; }
    /// A drag snaps to the nearest value of the series on the marker's axes.
    bool SnapToSeriesValues() const { return FSnapToSeries; }
    void SetSnapToSeriesValues(bool Value);
    /// Snapping also considers function series (default true).
    bool SnapToFunctions() const { return FSnapToFunctions; }
    void SetSnapToFunctions(bool Value);
    /// The series snapped to. Setting it fixes the series (only it is asked; nullptr
    /// releases it); a function series turns SnapToFunctions on.
    TVxSeries* SnappedSeries() const { return FSnappedSeries; }
    void SetSnappedSeries(TVxSeries* Value);
    /// The series snapping found or was fixed to is fixed.
    bool SnapToSingleSeries() const { return FSnapToSingleSeries; }
    /// The data index snapped to, -1 for none (negative values become -1).
    int SnappedIdx() const { return FSnappedIdx; }
    void SetSnappedIdx(int Value);

    // Caption background.
    TVxColor CaptionBackColor() const { return FCaptionBackColor; }
    void SetCaptionBackColor(TVxColor Value);
    TVxGradientSettings* CaptionBackGradient() const { return FCaptionBackGradient; }
    void SetCaptionBackGradient(TVxGradientSettings* Value);
    TVxLineSettings* CaptionBackFrame() const { return FCaptionBackFrame; }
    void SetCaptionBackFrame(TVxLineSettings* Value);
    bool CaptionBackRaised() const { return FCaptionBackRaised; }
    void SetCaptionBackRaised(bool Value);
    bool CaptionBackLowered() const { return FCaptionBackLowered; }
    void SetCaptionBackLowered(bool Value);
    bool CaptionBackShadow() const { return FCaptionBackShadow; }
    void SetCaptionBackShadow(bool Value);
    /// Margin of the box around the caption, in 1/50 of the font size (default 40).
    float CaptionBackSpaceToBorder() const { return FCaptionBackSpaceToBorder; }
    void SetCaptionBackSpaceToBorder(float Value);
    /// Corner rounding, in 1/50 of the font size.
    float CaptionBackRounding() const { return FCaptionBackRounding; }
    void SetCaptionBackRounding(float Value);

    // Control properties kept for the records.
    QString Hint() const { return FHint; }
    void SetHint(const QString& Value) { FHint = Value; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value) { FShowHint = Value; }
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool Value) { FParentShowHint = Value; }
    /// Shows or hides the marker; showing it lays it out again.
    void SetVisible(bool Value) override;

    /// Called on every move of a drag.
    std::function<void(TVxMovable*)> OnMarkerMoving;
    /// Called when a drag ends and when X or Y is set.
    std::function<void(TVxMovable*)> OnMarkerMoved;

    // State.
    /// The undo stack setters record on (taken from the graph when the marker joins one).
    TVxUndoStack* UndoStack() const { return FUndoStack; }
    virtual void SetUndoStack(TVxUndoStack* Stack);
    /// The data position in the graph's client pixels.
    QPoint HotPoint() const { return FHotPoint; }
    /// The hot point's offset inside the bounds.
    QPoint HotDelta() const { return FHotDelta; }
    /// The line and the caption box in the marker's own pixels.
    QRect LineRect() const { return FLineRect; }
    QRect CaptionRect() const { return FCaptionRect; }
    /// The measured caption (anchor in the marker's own pixels).
    const TVxRichCaptionRec& CaptionRec() const { return FCaptionRec; }
    /// The margin between the caption and its box: font size x 0.02 x
    /// CaptionBackSpaceToBorder with a background, else 0.
    double CaptionBoxMargin() const;
    /// A background box is drawn behind the caption.
    bool CaptionBackDrawn() const { return FDoBack; }
    /// The box has a drop shadow (5 pixels more to the right and down).
    bool CaptionShadowDrawn() const { return FDoDropShadow; }
    /// A drag is under way.
    bool Dragging() const { return FDragging; }
    /// Owned by another marker (a cross-hair's line markers): saving a graph's markers skips
    /// it, since its owner's record carries its state.
    bool IsSubComponent() const { return FSubComponent; }

    /// Lays the marker out again at the next paint.
    virtual void RequestRecalculate();
    /// Measures the caption, lays out and places the marker on its data position now.
    void UpdatePosition();
    /// The data position from the hot point through the axes (pixels without an axis).
    virtual void SetRealPoint();
    /// Stores a data position that a drag, a series or an owning marker gives (no undo
    /// step) and places the marker.
    virtual void MoveDataTo(double AX, double AY);
    /// The caption's variables changed: measure again.
    void UpdateCaptionVariables() override { RequestRecalculate(); }

    // Mouse (the graph calls these).
    bool HitTest(QPointF Position) const override;
    bool MousePress(const TVxItemMouseEvent& e) override;
    void MouseMove(const TVxItemMouseEvent& e) override;
    void MouseRelease(const TVxItemMouseEvent& e) override;
    /// The cursor shown over the marker.
    virtual Qt::CursorShape MarkerCursor() const { return Qt::SizeAllCursor; }
    bool ItemCursor(Qt::CursorShape& Shape) const override {
        Shape = MarkerCursor();
        return true;
    }
    /// Starts a drag at the host position Position (the press had the start keys).
    virtual void StartMarkerDrag(QPointF Position);
    /// Continues a drag at Position.
    virtual void ContinueMarkerDrag(QPointF Position);
    /// Ends a drag.
    virtual void EndMarkerDrag();

    void PaintGr(TVxSurface& Gr) override;

    // Linked to a series (snapped).
    int LinkedIndex() const override { return FSnappedIdx; }
    void SetLinkedIndex(int Idx) override;
    void PlaceOnSeries(TVxSeries& Series, int Idx) override;
    void HideOnSeries() override;
    void FreeFromSeries() override;

    // Records (MarkerRecords.cpp). Readers treat their input as hostile: a bad record
    // raises a clear error and leaves the marker consistent.
    /// The binary record.
    virtual void WriteToStream(TVxStreamWriter& Out) const = 0;
    virtual void ReadFromStream(TVxStreamReader& In) = 0;
    /// An element named after the class below Parent.
    virtual void WriteToXml(pugi::xml_node Parent) const = 0;
    /// Reads the marker's own element.
    virtual void ReadFromXml(pugi::xml_node Element) = 0;
    /// The keys of Section.
    virtual void WriteToIni(TVxIniFile& Ini, const QString& Section) const = 0;
    virtual void ReadFromIni(const TVxIniFile& Ini, const QString& Section) = 0;
    /// The same records under the names the component registry and the chart files use.
    void WriteTo(QIODevice& Stream) const;
    void ReadFrom(QIODevice& Stream);
    void WriteTo(pugi::xml_node Parent) const { WriteToXml(Parent); }
    void ReadFrom(pugi::xml_node Element) { ReadFromXml(Element); }
    void WriteTo(TVxIniFile& Ini, const QString& Section) const { WriteToIni(Ini, Section); }
    void ReadFrom(const TVxIniFile& Ini, const QString& Section) { ReadFromIni(Ini, Section); }

protected:
    /// Computes the line rectangle, caption rectangle and caption anchor, the size and the
    /// hot delta (the caption is measured).
    virtual void SetHotDelta() = 0;
    /// The pixel point of the data position (or of the placement for line markers).
    virtual QPoint HotPointFromData() const;
    /// Which coordinates a drag moves (both by default).
    virtual bool DragsX() const { return true; }
    virtual bool DragsY() const { return true; }
    /// Records the undo group of a drag's press.
    virtual void RecordMoveGroup();
    /// Draws what the marker shows, in its own pixels (laid out already).
    virtual void PaintMarker(TVxSurface& Gr) = 0;
    /// Measures the caption (FCaptionRec, FDoBack, FDoDropShadow); false without a visible,
    /// non-empty caption.
    bool MeasureCaption();
    /// Places the measured caption's text in Box (its box, marker pixels) with Align.
    void PlaceCaptionText(const QRectF& Box, TVxContentAlignment Align);
    /// Paints the caption box and the caption.
    void PaintCaption(TVxSurface& Gr);
    /// The data area in the marker's pixels (the host's client without one).
    QRectF LocalDataArea() const;
    /// The host's client size (300 x 300 without a host).
    QSize ParentSize() const;
    /// Snaps the drag point DragPoint (host pixels): sets data position, series and index.
    void SnapDragPoint(QPointF DragPoint);
    /// The value lies inside the axis range (always true without the axis).
    static bool InRange(const TVxAxis* Axis, double Value);
    /// The line width in pixels, finite and within 0 .. 1e6.
    double LineWidth() const;
    void Record(const char* Comment, const char* Name);
    bool Recording() const;
    void HostChanged() override;
    void BoundsChanged(bool Resized) override;
    /// Places the bounds at hot point - hot delta with the laid-out size.
    void ApplyBounds();
    /// The record parts every marker shares (WithPosition: the line markers' CaptionPosition).
    void WriteBaseStream(TVxStreamWriter& Out, bool WithPosition) const;
    void ReadBaseStream(TVxStreamReader& In, bool WithPosition);
    void WriteBaseXml(pugi::xml_node Element, bool WithPosition) const;
    void ReadBaseXml(pugi::xml_node Element, bool WithPosition);
    void WriteBaseIni(TVxIniFile& Ini, const QString& Section, bool WithPosition) const;
    void ReadBaseIni(const TVxIniFile& Ini, const QString& Section, bool WithPosition);

    QPointer<TVxUndoStack> FUndoStack;
    bool FClipToData = true;
    bool FSnapToSeries = false;
    bool FSnapToSingleSeries = false;
    bool FDragging = false;
    bool FDoBack = false;
    bool FDoDropShadow = false;
    TVxSimpleLineSettings* FLineSettings;
    int FStartMoveKeys = MarkerLeftButton;
    QPointer<TVxAxis> FXAxis;
    QPointer<TVxAxis> FYAxis;
    QRect FLineRect;
    QRect FCaptionRect;
    TVxRichCaptionRec FCaptionRec;
    TVxFont* FFont;
    bool FCaptionVisible = false;
    bool FCaptionVertical = false;
    int FCaptionDeltaX = 0;
    int FCaptionDeltaY = 0;
    TVxContentAlignment FCaptionPosition = TVxContentAlignment::TopRight;
    TVxColor FCaptionBackColor = VxColor(0x00FFFFFF);
    TVxGradientSettings* FCaptionBackGradient;
    TVxLineSettings* FCaptionBackFrame;
    bool FCaptionBackRaised = false;
    bool FCaptionBackLowered = false;
    bool FCaptionBackShadow = false;
    float FCaptionBackSpaceToBorder = 40;
    float FCaptionBackRounding = 0;
    double FX = 0;
    double FY = 0;
    QPointer<TVxSeries> FSnappedSeries;
    QSize FSize{1, 1};
    int FSnappedIdx = -1;
    bool FMouseDrag = true;
    bool FSetting = false;
    bool FRecalculate = true;
    bool FSnapToFunctions = true;
    bool FSubComponent = false;
    bool FMeasured = false;     // the caption was measured since the last change
    bool FCaptionShown = false; // a visible, non-empty caption was measured
    QPoint FHotPoint;
    QPoint FHotDelta;
    QPointF FDragStart;
    QPoint FDragPointStart;
    QString FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;

private:
    int CaptionPositionOrdinal() const { return int(FCaptionPosition); }
    void SetCaptionPositionOrdinal(int Value);
    void SetBool(bool& Field, bool Value, const char* Comment, const char* Name);
    void SetLength(float& Field, float Value, const char* Comment, const char* Name);
    void LinkToSnapped();
};

/// The parts of a line marker's layout (marker pixels); exposed for the tests.
struct TVxLineMarkerGeometry {
    QRect Bounds; ///< the marker's size (at 0, 0)
    QRect Line;   ///< the line rectangle
    QRectF Box;   ///< the caption box (empty without a caption)
    QPoint HotDelta;
    TVxContentAlignment TextAlign = TVxContentAlignment::TopLeft;
};

/// Lays out a line marker: Horizontal (line along x) or not, line thickness T, length L,
/// caption box BoxW x BoxH (0 x 0 without a caption, unrotated), Vertical caption, Position,
/// deltas and the drop shadow's 5 pixels.
TVxLineMarkerGeometry VxLineMarkerGeometry(bool Horizontal, int T, int L, double BoxW, double BoxH,
                                           bool VerticalCaption, TVxContentAlignment Position,
                                           int DeltaX, int DeltaY, bool Shadow);

class TVxHorizontalMarker : public TVxMovable {
    Q_OBJECT

public:
    /// A line at Y = 0, caption at the top right.
    Q_INVOKABLE explicit TVxHorizontalMarker(QObject* AOwner = nullptr);
    Qt::CursorShape MarkerCursor() const override { return Qt::SizeVerCursor; }
    void WriteToStream(TVxStreamWriter& Out) const override;
    void ReadFromStream(TVxStreamReader& In) override;
    void WriteToXml(pugi::xml_node Parent) const override;
    void ReadFromXml(pugi::xml_node Element) override;
    void WriteToIni(TVxIniFile& Ini, const QString& Section) const override;
    void ReadFromIni(const TVxIniFile& Ini, const QString& Section) override;
    /// Marks the marker as owned by another (a cross-hair's line).
    void MakeSubComponent() { FSubComponent = true; }
    /// The undo group of a press records the owner's X and Y instead (the cross-hair).
    QPointer<TVxMovable> FMaster;

protected:
    void SetHotDelta() override;
    QPoint HotPointFromData() const override;
    bool DragsX() const override { return false; }
    void RecordMoveGroup() override;
    void PaintMarker(TVxSurface& Gr) override;

private:
    int FLineStart = 0; // host pixel where the line starts
};

class TVxVerticalMarker : public TVxMovable {
    Q_OBJECT

public:
    /// A line at X = 0, caption at the top centre.
    Q_INVOKABLE explicit TVxVerticalMarker(QObject* AOwner = nullptr);
    Qt::CursorShape MarkerCursor() const override { return Qt::SizeHorCursor; }
    void WriteToStream(TVxStreamWriter& Out) const override;
    void ReadFromStream(TVxStreamReader& In) override;
    void WriteToXml(pugi::xml_node Parent) const override;
    void ReadFromXml(pugi::xml_node Element) override;
    void WriteToIni(TVxIniFile& Ini, const QString& Section) const override;
    void ReadFromIni(const TVxIniFile& Ini, const QString& Section) override;
    /// Marks the marker as owned by another (a cross-hair's line).
    void MakeSubComponent() { FSubComponent = true; }
    /// The undo group of a press records the owner's X and Y instead (the cross-hair).
    QPointer<TVxMovable> FMaster;

protected:
    void SetHotDelta() override;
    QPoint HotPointFromData() const override;
    bool DragsY() const override { return false; }
    void RecordMoveGroup() override;
    void PaintMarker(TVxSurface& Gr) override;

private:
    int FLineStart = 0;
};
