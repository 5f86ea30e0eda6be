#pragma once
// TVxAxisLook: what an axis shows and how it is spaced: fonts and colours of numbers and
// caption, tick marks, the axis line with its arrow point, label angle and the distances
// the layout uses. It lives as a child object of its axis (AxisLook finds or creates it)
// so that the numeric core of the axis stays free of drawing; its setters record on the
// axis' undo stack and tell the axis (layout change) or its host (repaint only).

#include "axes/Axis.h"
#include "captions/CaptionVariables.h"
#include "captions/RichCaption.h"
#include "drawing/Color.h"
#include "styles/ArrowSettings.h"
#include "styles/VxFont.h"

#include <QHash>
#include <QObject>
#include <QPointF>
#include <QString>
#include <optional>
#include <vector>

/// Where a caption sits along its axis.
enum class TVxCaptionAlignment {
    Left,  ///< at the low end (left of a horizontal axis, bottom of a vertical one)
    Right, ///< at the high end
    Center ///< centred
};

/// The anchor of a text: which point of its box lies at the text's position (in the order of
/// TVxContentAlignment).
enum class TVxTextAnchor {
    TopLeft,
    TopCenter,
    TopRight,
    MiddleLeft,
    MiddleCenter,
    MiddleRight,
    BottomLeft,
    BottomCenter,
    BottomRight
};

/// One text of an axis placed by the layout: position, anchor, angle and measured size.
struct TVxPlacedText {
    QString Text;
    /// The anchor point in the axis' own pixels.
    QPointF Position;
    TVxTextAnchor Anchor = TVxTextAnchor::MiddleCenter;
    /// Degrees counter-clockwise; the anchor is taken in the rotated frame.
    double Angle = 0;
    /// Unrotated measured size.
    double Width = 0;
    double Height = 0;
    /// The measured rich caption of Text; painting sets its anchor, alignment and angle from
    /// the fields above and walks its runs (hence mutable: drawing state, not layout).
    mutable TVxRichCaptionRec Rec;
};

/// The texts of an axis as the last tick calculation placed them.
struct TVxAxisPlacement {
    /// The line labels are anchored on (y for horizontal axes, x for vertical ones).
    double LabelLine = 0;
    std::vector<TVxPlacedText> Labels;
    TVxPlacedText Caption;
    bool HasCaption = false;
    TVxPlacedText Exponent;
    bool HasExponent = false;
    /// A tick the layout hides (where crossing axes meet), in the axis' pixels.
    std::optional<float> HiddenTick;
};

class TVxAxisLook : public QObject, public TVxCaptionDependent {
    Q_OBJECT
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(TVxFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(int NumbersColor READ NumbersColor WRITE SetNumbersColor STORED false)
    Q_PROPERTY(bool NumbersVisible READ NumbersVisible WRITE SetNumbersVisible)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(TVxFont* CaptionFont READ CaptionFont WRITE SetCaptionFont)
    Q_PROPERTY(int CaptionColor READ CaptionColor WRITE SetCaptionColor STORED false)
    Q_PROPERTY(bool CaptionVisible READ CaptionVisible WRITE SetCaptionVisible)
    Q_PROPERTY(int CaptionAlignment READ CaptionAlignmentOrdinal WRITE SetCaptionAlignmentOrdinal)
    Q_PROPERTY(bool CaptionHorizontalOnVerticalAxis READ CaptionHorizontalOnVerticalAxis WRITE
                   SetCaptionHorizontalOnVerticalAxis)
    Q_PROPERTY(
        float CaptionDistanceBefore READ CaptionDistanceBefore WRITE SetCaptionDistanceBefore)
    Q_PROPERTY(float CaptionDistanceAfter READ CaptionDistanceAfter WRITE SetCaptionDistanceAfter)
    Q_PROPERTY(float DistanceNumbersCaption READ DistanceNumbersCaption WRITE
                   SetDistanceNumbersCaption STORED false)
    Q_PROPERTY(float DistanceToBorder READ DistanceToBorder WRITE SetDistanceToBorder STORED false)
    Q_PROPERTY(float DistanceValuesAxis READ DistanceValuesAxis WRITE SetDistanceValuesAxis)
    Q_PROPERTY(float DistanceAxisLabels READ DistanceAxisLabels WRITE SetDistanceAxisLabels)
    Q_PROPERTY(float DistanceAxisExtraExponent READ DistanceAxisExtraExponent WRITE
                   SetDistanceAxisExtraExponent)
    Q_PROPERTY(int ForeColor READ ForeColor WRITE SetForeColor)
    Q_PROPERTY(int MajorTickColor READ MajorTickColor WRITE SetMajorTickColor)
    Q_PROPERTY(int TickColor READ TickColor WRITE SetTickColor)
    Q_PROPERTY(float AxisThicknes READ AxisThicknes WRITE SetAxisThicknes)
    Q_PROPERTY(float MajorTickThicknes READ MajorTickThicknes WRITE SetMajorTickThicknes)
    Q_PROPERTY(float TickThicknes READ TickThicknes WRITE SetTickThicknes)
    Q_PROPERTY(float MajorTickLength READ MajorTickLength WRITE SetMajorTickLength)
    Q_PROPERTY(float TickLength READ TickLength WRITE SetTickLength)
    Q_PROPERTY(bool TicksPointToData READ TicksPointToData WRITE SetTicksPointToData)
    Q_PROPERTY(TVxAxisArrowPoint* ArrowPoint READ ArrowPoint WRITE SetArrowPoint)
    Q_PROPERTY(float RubricsAngle READ RubricsAngle WRITE SetRubricsAngle)

public:
    /// The look of Axis with its defaults; made a child of Axis.
    explicit TVxAxisLook(TVxAxis& Axis);
    ~TVxAxisLook() override;

    TVxAxis& Axis() const { return FAxis; }

    /// The axis is shown and takes space ("Axis visible").
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    /// The layout sets the axis' thickness.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    /// Font of the number labels and the common exponent [Arial, 12, bold, DarkBlue].
    TVxFont* Font() const { return FFont; }
    /// Copies Value into the owned font (one undo group); nullptr is ignored.
    void SetFont(TVxFont* Value);
    /// The fill colour of Font.
    TVxColor NumbersColor() const;
    void SetNumbersColor(TVxColor Value);
    bool NumbersVisible() const { return FNumbersVisible; }
    void SetNumbersVisible(bool Value);
    /// Axis title; trailing blanks are removed.
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& Value);
    /// [Times New Roman, 14, bold, DarkRed].
    TVxFont* CaptionFont() const { return FCaptionFont; }
    void SetCaptionFont(TVxFont* Value);
    TVxColor CaptionColor() const;
    void SetCaptionColor(TVxColor Value);
    bool CaptionVisible() const { return FCaptionVisible; }
    void SetCaptionVisible(bool Value);
    TVxCaptionAlignment CaptionAlignment() const { return FCaptionAlignment; }
    void SetCaptionAlignment(TVxCaptionAlignment Value);
    /// A vertical axis writes its caption horizontally instead of rotated by 90 degrees.
    bool CaptionHorizontalOnVerticalAxis() const { return FCaptionHorizontal; }
    void SetCaptionHorizontalOnVerticalAxis(bool Value);
    /// Space before and after the caption in reading order.
    float CaptionDistanceBefore() const { return FCaptionDistanceBefore; }
    void SetCaptionDistanceBefore(float Value);
    float CaptionDistanceAfter() const { return FCaptionDistanceAfter; }
    void SetCaptionDistanceAfter(float Value);
    /// Between numbers and caption: CaptionDistanceAfter of Left and Top axes,
    /// CaptionDistanceBefore of Bottom and Right axes.
    float DistanceNumbersCaption() const;
    void SetDistanceNumbersCaption(float Value);
    /// Between caption and outer border: the other one of the two.
    float DistanceToBorder() const;
    void SetDistanceToBorder(float Value);
    /// Gap between the axis line and the data area.
    float DistanceValuesAxis() const { return FDistanceValuesAxis; }
    void SetDistanceValuesAxis(float Value);
    /// Gap between the tick marks and the labels.
    float DistanceAxisLabels() const { return FDistanceAxisLabels; }
    void SetDistanceAxisLabels(float Value);
    /// Gap between the tick marks and the common exponent [10].
    float DistanceAxisExtraExponent() const { return FDistanceAxisExtraExponent; }
    void SetDistanceAxisExtraExponent(float Value);
    /// Colour of the axis line; tick colours equal to it follow it.
    TVxColor ForeColor() const { return FForeColor; }
    void SetForeColor(TVxColor Value);
    TVxColor MajorTickColor() const { return FMajorTickColor; }
    void SetMajorTickColor(TVxColor Value);
    TVxColor TickColor() const { return FTickColor; }
    void SetTickColor(TVxColor Value);
    /// Pen widths, stored as magnitudes.
    float AxisThicknes() const { return FAxisThicknes; }
    void SetAxisThicknes(float Value);
    float MajorTickThicknes() const { return FMajorTickThicknes; }
    void SetMajorTickThicknes(float Value);
    float TickThicknes() const { return FTickThicknes; }
    void SetTickThicknes(float Value);
    /// Tick lengths [10, 6], stored as magnitudes.
    float MajorTickLength() const { return FMajorTickLength; }
    void SetMajorTickLength(float Value);
    float TickLength() const { return FTickLength; }
    void SetTickLength(float Value);
    /// Tick marks point into the data area.
    bool TicksPointToData() const { return FTicksPointToData; }
    void SetTicksPointToData(bool Value);
    /// Arrow at the high end of the axis line (owned).
    TVxAxisArrowPoint* ArrowPoint() const { return FArrowPoint; }
    void SetArrowPoint(TVxAxisArrowPoint* Value);
    /// Angle of the number labels in degrees, kept within 0 .. 360.
    float RubricsAngle() const { return FRubricsAngle; }
    void SetRubricsAngle(float Value);

    /// Passes the undo stack on to the fonts and the arrow point.
    void SetUndoStack(TVxUndoStack* Stack);

    // Control position in the graph (the axis knows its own Width and Height).
    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    void SetPosition(int ALeft, int ATop) {
        FLeft = ALeft;
        FTop = ATop;
    }

    /// The texts placed by the last layout of the axis.
    TVxAxisPlacement Placement;

    // Rich captions (AxisLabels.cpp). The look is the axis' caption dependent: series and
    // graphs whose variables its texts show list the look in their FObjectsToUpdate.
    /// Measures the caption anew (placeholders expanded) and forgets the measured labels,
    /// so that the layout that follows measures every text once.
    void ParseCaption();
    /// The caption as the last ParseCaption measured it.
    const TVxRichCaptionRec& CaptionRecord() const { return FCaptionRec; }
    /// A number label, rubric or common exponent text measured in Font, once until the next
    /// ParseCaption or change of Font.
    const TVxRichCaptionRec& TextRecord(const QString& Text) const;
    /// A variable one of the texts shows changed: measure again and lay out.
    void UpdateCaptionVariables() override;

private:
    bool Recording() const;
    void Record(const char* Comment, const char* Name);
    bool SetFloat(float& Field, float Value, const char* Comment, const char* Name);
    void Changed();
    void Repaint();
    int CaptionAlignmentOrdinal() const { return int(FCaptionAlignment); }
    void SetCaptionAlignmentOrdinal(int Value);
    bool IsLowOrLeft() const;

    TVxAxis& FAxis;
    TVxFont* FFont;
    TVxFont* FCaptionFont;
    TVxAxisArrowPoint* FArrowPoint;
    QString FCaption;
    TVxColor FForeColor;
    TVxColor FMajorTickColor;
    TVxColor FTickColor;
    TVxCaptionAlignment FCaptionAlignment = TVxCaptionAlignment::Center;
    float FCaptionDistanceBefore = 0;
    float FCaptionDistanceAfter = 0;
    float FDistanceValuesAxis = 0;
    float FDistanceAxisLabels = 0;
    float FDistanceAxisExtraExponent = 10;
    float FAxisThicknes = 1;
    float FMajorTickThicknes = 1;
    float FTickThicknes = 1;
    float FMajorTickLength = 10;
    float FTickLength = 6;
    float FRubricsAngle = 0;
    int FLeft = 0;
    int FTop = 0;
    bool FVisible = true;
    bool FAutoSize = true;
    bool FNumbersVisible = true;
    bool FCaptionVisible = true;
    bool FCaptionHorizontal = false;
    bool FTicksPointToData = false;
    bool FMajorForeColor = true;
    bool FMinorForeColor = true;
    TVxRichCaptionRec FCaptionRec;
    mutable QHash<QString, TVxRichCaptionRec> FTextRecords;
};

/// The look of Axis, created with its defaults on first use.
TVxAxisLook& AxisLook(TVxAxis& Axis);
/// The look of Axis when it has one.
const TVxAxisLook* FindAxisLook(const TVxAxis& Axis);
