#pragma once
// The cross-hair: a horizontal and a vertical line marker crossing at (X, Y), with a caption
// in one of the four quadrants around the crossing point. The two line markers are owned
// sub-components (IsSubComponent() is true for them, so saving a graph's markers skips them:
// their state travels in the cross-hair's record). The cross-hair keeps their values, axes,
// line and visibility equal to its own; dragging the crossing moves both lines, dragging a
// line moves the cross-hair along that line. Every drag is one undo step holding the
// cross-hair's X and Y, and undoing it restores all three markers.

#include "annotations/LineMarker.h"

/// The quadrant of a cross-hair's caption (streamed as 0 to 3).
enum class TVxXHairCaptionPosition {
    RightTop,    ///< right of and above the crossing point
    RightBottom, ///< right of and below it
    LeftBottom,  ///< left of and below it
    LeftTop,     ///< left of and above it
};

class TVxCrossHair : public TVxMovable {
    Q_OBJECT
    Q_PROPERTY(int CaptionPosition READ QuadrantOrdinal WRITE SetQuadrantOrdinal)

public:
    /// A cross-hair at (0, 0) with a visible caption in the upper right quadrant.
    Q_INVOKABLE explicit TVxCrossHair(QObject* AOwner = nullptr);
    ~TVxCrossHair() override;

    /// Moves the vertical line and then the cross-hair (one undo step, the cross-hair's).
    void SetX(double Value) override;
    /// Moves the horizontal line and then the cross-hair.
    void SetY(double Value) override;
    void SetXAxis(TVxAxis* Value) override;
    void SetYAxis(TVxAxis* Value) override;
    void SetClipToData(bool Value) override;
    void SetVisible(bool Value) override;
    /// The caption's quadrant (undoable).
    TVxXHairCaptionPosition Quadrant() const { return FCaptionQadrant; }
    void SetQuadrant(TVxXHairCaptionPosition Value);
    /// The owned line markers.
    TVxHorizontalMarker* HorizontalMarker() const { return FHHelper; }
    TVxVerticalMarker* VerticalMarker() const { return FVHelper; }
    /// Gives the line markers the cross-hair's graph, axes, values, line and visibility.
    void SyncLines();

    void WriteToStream(TVxStreamWriter& Out) const override;
    void ReadFromStream(TVxStreamReader& In) override;
    void WriteToXml(pugi::xml_node Parent) const override;
    void ReadFromXml(pugi::xml_node Element) override;
    void WriteToIni(TVxIniFile& Ini, const QString& Section) const override;
    void ReadFromIni(const TVxIniFile& Ini, const QString& Section) override;

protected:
    void SetHotDelta() override;
    void PaintMarker(TVxSurface& Gr) override;
    void MoveDataTo(double AX, double AY) override;
    void ContinueMarkerDrag(QPointF Position) override;
    void HostChanged() override;

private:
    int QuadrantOrdinal() const { return int(FCaptionQadrant); }
    void SetQuadrantOrdinal(int Value);
    /// A line marker was dragged: take over its value.
    void LineMoving(TVxMovable* Line);

    TVxHorizontalMarker* FHHelper;
    TVxVerticalMarker* FVHelper;
    TVxXHairCaptionPosition FCaptionQadrant = TVxXHairCaptionPosition::RightTop;
    bool FFirstPaint = true; // this cross-hair's first paint brings its lines up to date
};
