#pragma once
// The arithmetic of bar charts on plain numbers, so that it can be tested without a graph:
// where a bar lies within its class, the 3-D offsets, where its label goes, the room the
// chart needs beyond the data for depth and labels, and the label texts.

#include "util/FormatSettings.h"

#include <QPointF>
#include <QRectF>
#include <QString>
#include <algorithm>
#include <cmath>

/// How the bars of a graph look: flat rectangles, shaded cuboids or shaded cylinders.
enum class TVxBarStyle {
    Flat,     ///< flat rectangles
    Cuboid,   ///< shaded boxes with a top and a side face
    Cylinder, ///< shaded cylinders
};

/// How several bar series on one category axis share a class.
enum class TVxBarsOverlayStyle {
    Shift, ///< side by side, each series in its own slot
    Stack, ///< piled up on the series below
};

/// Where the text of a bar label comes from.
enum class TVxLabelStyle {
    Value,             ///< the bar's value
    CaptionsList,      ///< the class caption
    Percent,           ///< the bar's share of the sum of the values
    CaptionAndValue,   ///< caption, a blank and the value
    CaptionAndPercent, ///< caption, a blank and the share
};

/// Where a bar's label lies along the bar.
enum class TVxBarLabelPosition {
    Invisible,   ///< no labels
    OnBottom,    ///< at the bar's foot
    Centered,    ///< half way up
    GoldenCut,   ///< at the golden section from the top
    ThreeFourth, ///< three quarters up
    InTop,       ///< just inside the bar's end
    OnTopOfBar,  ///< beyond the bar's end
};

/// The part of a class one bar takes, across the category direction.
struct TVxBarSlot {
    /// Distance of the slot's edges from the class' near edge, in pixels (Near < Far).
    double Near = 0;
    double Far = 0;
    /// The class width less the gaps on both sides.
    double InnerWidth = 0;
};

/// Slot Rank (1-based) of Share slots in the class between the pixels A and B, with a gap
/// of GapPercent per cent of the class width split between both sides of the class.
inline TVxBarSlot BarSlot(double A, double B, double GapPercent, int Share, int Rank) {
    const double w = std::abs(B - A);
    const double e = w * GapPercent / 200;
    TVxBarSlot slot;
    slot.InnerWidth = w - 2 * e;
    const double s = slot.InnerWidth / std::max(Share, 1);
    slot.Near = e + s * (Rank - 1);
    slot.Far = e + s * Rank;
    return slot;
}

/// The 3-D offsets of cuboids and cylinders in pixels, from the inner class width and the
/// depth in per cent units; each is 1 when it would not be positive.
QPointF BarDepthOffsets(double InnerWidth, double Depth);

/// What a label anchor depends on.
struct TVxBarLabelInput {
    TVxBarLabelPosition Position = TVxBarLabelPosition::Centered;
    TVxBarStyle Style = TVxBarStyle::Flat;
    /// The bar's rectangle in pixels (normalised or not).
    QRectF Bar;
    /// Bars lie along the X axis.
    bool Horizontal = false;
    /// The label is turned by 90 degrees.
    bool VerticalLabel = false;
    /// The measured size of the label before turning.
    double Width = 0;
    double Height = 0;
    /// 3-D offsets and cylinder lean in pixels.
    double DepthX = 0;
    double DepthY = 0;
    double ZylShift = 0;
    /// The series is stacked with a later series above it.
    bool StackedBelow = false;
};

/// The anchor (centre) of a bar label; a label that does not fit inside its bar along the
/// value direction moves to the bar's centre when StackedBelow, else beyond the bar's end.
QPointF BarLabelAnchor(const TVxBarLabelInput& In);

/// The room beyond the data a 3-D bar chart needs at one end of an axis.
struct TVxBarEndRoomInput {
    /// The class width in data units ((category Stop - Start) / bar count).
    double ClassWidth = 0;
    /// The category axis' data units per pixel.
    double UnitsPerPixel = 1;
    /// The room the axis already leaves beyond the data, in pixels.
    double RoomLeft = 0;
    double ClassesDistance = 0;
    double Depth3D = 50;
    /// The gap of the classes counts too (horizontal bars at the top, vertical at the right).
    bool CountGap = false;
    /// 0.0026 at the top, 0.0043 at the right.
    double Factor = 0.0026;
};

/// The 3-D part of the end room in pixels (negative when the axis leaves more than needed).
double BarEndRoom3D(const TVxBarEndRoomInput& In);

/// The label part of the end room in pixels: 0.013 x LabelSize x class width in pixels,
/// times Ratio (the label's width / height or similar; 1 for none).
double BarEndRoomLabel(double LabelSize, double ClassWidth, double UnitsPerPixel, double Ratio);

/// The number text of a label: Pattern ("#" and "0" digits, "." the decimal point, others
/// literal) or the general form with up to 15 significant digits when Pattern is empty.
QString BarNumberText(const QString& Pattern, double Value, const TVxFormatSettings& Settings);

/// The share text of Value in Sum: "##0.##%" without a pattern, the pattern when it holds
/// "%", else the pattern followed by "%". Empty when the sum is 0 or either is not finite.
QString BarPercentText(const QString& Pattern, double Value, double Sum,
                       const TVxFormatSettings& Settings);
