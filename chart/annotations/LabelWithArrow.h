#pragma once
// The label with arrow: a caption joined to a data point by an arrow whose head touches the
// point, with an optional bent segment before the caption. Three grips (ArrowGrips.h) show
// while the mouse is over the label and drag the arrow end, the bent and the caption; a grip
// drag is one undo step. The arrow's direction places the caption: its box extends from the
// end of the bent away from the data point.

#include "annotations/LineMarker.h"
#include "styles/ArrowSettings.h"

class TVxArrowGrip;

/// What the mouse may drag on a label with arrow (bits of DraggingOptions).
enum TVxArrowMarkerDraggingOption {
    amdHotspot = 1,     ///< the label by its data point (a plain marker drag)
    amdArrowEnd = 2,    ///< the arrow end by its grip
    amdBentGrip = 4,    ///< the bent length by its grip
    amdCaptionGrip = 8, ///< the caption offsets by its grip
};

class TVxLabelWithArrowMarker : public TVxMovable {
    Q_OBJECT
    Q_PROPERTY(TVxArrowSettings* Arrow READ Arrow WRITE SetArrow)
    Q_PROPERTY(int ArrowDeltaX READ ArrowDeltaX WRITE SetArrowDeltaX)
    Q_PROPERTY(int ArrowDeltaY READ ArrowDeltaY WRITE SetArrowDeltaY)
    Q_PROPERTY(float ArrowLength READ ArrowLength WRITE SetArrowLength STORED false)
    Q_PROPERTY(float ArrowAngle READ ArrowAngle WRITE SetArrowAngle STORED false)
    Q_PROPERTY(int BentLength READ BentLength WRITE SetBentLength)
    Q_PROPERTY(int DraggingOptions READ DraggingOptions WRITE SetDraggingOptions)
    Q_PROPERTY(bool HoverGrips READ HoverGrips WRITE SetHoverGrips)

public:
    /// A label at (0, 0) with its arrow end 50 pixels right of and above the point.
    Q_INVOKABLE explicit TVxLabelWithArrowMarker(QObject* AOwner = nullptr);
    ~TVxLabelWithArrowMarker() override;

    /// The arrow (owned; it is the marker's Line too).
    TVxArrowSettings* Arrow() const { return FArrowSettings; }
    void SetArrow(TVxArrowSettings* Value);
    /// The arrow end relative to the data point, in pixels (clamped to +-1e6; undoable).
    int ArrowDeltaX() const { return FArrowDeltaX; }
    void SetArrowDeltaX(int Value);
    int ArrowDeltaY() const { return FArrowDeltaY; }
    void SetArrowDeltaY(int Value);
    /// The arrow's length, sqrt(dx^2 + dy^2); setting it keeps the angle (one undo step
    /// holding both deltas; non-finite values are refused).
    float ArrowLength() const;
    void SetArrowLength(float Value);
    /// The arrow's angle in degrees, counter-clockwise with screen Y down, 0 <= a < 360;
    /// setting it keeps the length.
    float ArrowAngle() const;
    void SetArrowAngle(float Value);
    /// The bent before the caption, in pixels (never negative: the magnitude is stored).
    int BentLength() const { return FBentLength; }
    void SetBentLength(int Value);
    /// Bits of TVxArrowMarkerDraggingOption (default all four).
    int DraggingOptions() const { return FDraggingOptions; }
    void SetDraggingOptions(int Value) { FDraggingOptions = Value & 15; }
    /// The grips show while the mouse is over the label.
    bool HoverGrips() const { return FHoverGrips; }
    void SetHoverGrips(bool Value);
    /// The grips: arrow end, bent length and caption.
    TVxArrowGrip* ArrowGrip() const { return FArrowGrip; }
    TVxArrowGrip* BentLengthGrip() const { return FBentLengthGrip; }
    TVxArrowGrip* CaptionGrip() const { return FCaptionGrip; }

    /// Called on every move of the arrow-end grip, and when it is released.
    std::function<void(TVxLabelWithArrowMarker*)> OnArrowEndMoving;
    std::function<void(TVxLabelWithArrowMarker*)> OnArrowEndMoved;

    /// The arrow end and the end of the bent, relative to the data point.
    QPoint ArrowEnd() const { return {FArrowDeltaX, FArrowDeltaY}; }
    QPoint BentEnd() const;
    /// Half the width of the band along the arrow that takes the mouse.
    double BandHalfWidth() const;
    /// The bent's hit rectangle, in the label's pixels.
    QRectF BentRect() const { return FBentRect; }

    bool HitTest(QPointF Position) const override;
    Qt::CursorShape MarkerCursor() const override { return Qt::PointingHandCursor; }
    void StartMarkerDrag(QPointF Position) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void SetVisible(bool Value) override;

    /// Shows the grips the options allow (ShowThem) or hides them all.
    void ShowGrips(bool ShowThem);
    /// Moves the grips to the arrow end, the bent end and the caption box's corner.
    void PlaceGrips();
    /// What a grip drag sets (no undo step: the grip's press recorded it).
    void MoveArrowEnd(int DeltaX, int DeltaY);
    void MoveBentLength(int Value);
    void MoveCaption(int DeltaX, int DeltaY);

    void WriteToStream(TVxStreamWriter& Out) const override;
    void ReadFromStream(TVxStreamReader& In) override;
    void WriteToXml(pugi::xml_node Parent) const override;
    void ReadFromXml(pugi::xml_node Element) override;
    void WriteToIni(TVxIniFile& Ini, const QString& Section) const override;
    void ReadFromIni(const TVxIniFile& Ini, const QString& Section) override;

protected:
    void SetHotDelta() override;
    void PaintMarker(TVxSurface& Gr) override;
    void HostChanged() override;
    void BoundsChanged(bool Resized) override;

private:
    void SetDeltas(int DeltaX, int DeltaY, const char* Comment);

    TVxArrowSettings* FArrowSettings;
    bool FHoverGrips = true;
    int FArrowDeltaX = 50;
    int FArrowDeltaY = -50;
    int FBentLength = 0;
    TVxArrowGrip* FArrowGrip;
    TVxArrowGrip* FBentLengthGrip;
    TVxArrowGrip* FCaptionGrip;
    QRectF FBentRect;
    int FDraggingOptions = amdHotspot | amdArrowEnd | amdBentGrip | amdCaptionGrip;
};
