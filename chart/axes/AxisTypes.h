#pragma once
// The enumerations and small value types of an axis: scaling kinds, end modes, end
// rounding, positions, grid modes, and the partitions of date-time and seconds axes.

#include "util/TimeSpan.h"

#include <QObject>
#include <QString>

/// The enumerations of the axis, registered with the meta-object system so that the undo
/// stack and persistence read and write them as enumerations.
class TVxAxisEnums {
    Q_GADGET

public:
    /// How values are laid out along an axis.
    enum class TVxAxisScaling {
        Normal,   ///< linear numbers
        Log,      ///< logarithmic, labels as plain numbers
        LogEE,    ///< logarithmic, labels as powers of ten
        Seconds,  ///< values are seconds, labelled as durations
        DateTime, ///< values are TDateTime, labelled with calendar texts
        Rubrics   ///< text categories at integer positions
    };
    Q_ENUM(TVxAxisScaling)

    /// How one end of the range follows the data.
    enum class TVxAxisEnd {
        AutoRange, ///< the end follows the data
        FirstSet,  ///< the set value, widened to data outside it
        Fixed,     ///< the set value
        MovingSlit ///< a window of fixed width that moves along with the data (stop end only)
    };
    Q_ENUM(TVxAxisEnd)

    /// To which step the ends are rounded, without and with a zoom history.
    enum class TVxAxisEndRounding {
        RndToMajorZoomToMinor,   ///< major step; minor step while zoomed
        RndToMajorZoomToNothing, ///< major step; unrounded while zoomed
        RndToMajor,              ///< major step always
        RndToMinorZoomToNothing, ///< minor step; unrounded while zoomed
        RndToMinor,              ///< minor step always
        RndNothing               ///< never rounded
    };
    Q_ENUM(TVxAxisEndRounding)

    /// The side of the data area an axis stands at.
    enum class TVxAxisPosition {
        Bottom, ///< below the data area (horizontal)
        Left,   ///< left of the data area (vertical)
        Top,    ///< above the data area (horizontal)
        Right   ///< right of the data area (vertical)
    };
    Q_ENUM(TVxAxisPosition)

    /// At which ticks the graph draws major grid lines.
    enum class TVxMajorGridMode {
        AtLabel,    ///< at labelled ticks
        AtMajorTick ///< at major ticks
    };
    Q_ENUM(TVxMajorGridMode)

    /// Calendar units of a date-time partition (ordinals 0 to 6).
    enum class TVxDtRegion {
        Year,       ///< years
        Month,      ///< months
        Day,        ///< days
        Hour,       ///< hours
        Minute,     ///< minutes
        Second,     ///< seconds
        MilliSecond ///< milliseconds
    };
    Q_ENUM(TVxDtRegion)
};

using TVxAxisScaling = TVxAxisEnums::TVxAxisScaling;
using TVxAxisEnd = TVxAxisEnums::TVxAxisEnd;
using TVxAxisEndRounding = TVxAxisEnums::TVxAxisEndRounding;
using TVxAxisPosition = TVxAxisEnums::TVxAxisPosition;
using TVxMajorGridMode = TVxAxisEnums::TVxMajorGridMode;
using TVxDtRegion = TVxAxisEnums::TVxDtRegion;

/// The partition of a date-time axis.
struct TVxDtParameters {
    /// Unit of the labels and major ticks.
    TVxDtRegion MajorRgn = TVxDtRegion::Day;
    /// Unit in which ticks are counted and stepped.
    TVxDtRegion MinorRgn = TVxDtRegion::Day;
    /// Minor tick step in MinorRgn units.
    int Increment = 1;
    /// A tick is major when its position in MinorRgn units is a multiple of this.
    int MajorMod = 7;
    /// A major tick is labelled when its position is a multiple of this.
    int LabelMod = 1;
    /// Date-time pattern of the labels.
    QString Format;
};

/// The partition of a seconds axis.
struct TVxSecParameters {
    /// Unit of the parts: Day, Hour, Minute or Second.
    TVxDtRegion Rgn = TVxDtRegion::Second;
    /// The parts count in units of 10^Exponent regions.
    int Exponent = 0;
    /// The leading fields the labels show.
    TVxSecondsFormatRange Format = TVxSecondsFormatRange::Second;
};

/// The label patterns of a date-time axis.
struct TVxDateTimeFormats {
    QString ShortMonthFormat = "MMM yy";
    QString LongMonthFormat = "MMMM yyyy";
    QString DayFormat;
    QString MinuteFormat;
    QString DayAndHourFormat;
    QString SecondFormat;
    QString MilliSecondFormat;
};

/// Data units per pixel and the range ends far beyond any sensible data: values of larger
/// magnitude are clamped, so that every range width stays finite.
inline constexpr double MaxAxisValue = 1e300;
/// The earliest value of a DateTime range (1 January 100).
inline constexpr double MinDateTimeAxis = -657434.0;
/// The latest value of a DateTime range (31 December 9999, 23:59:59.999).
inline constexpr double MaxDateTimeAxis = 2958465.99999;
