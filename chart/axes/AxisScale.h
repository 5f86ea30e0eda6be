#pragma once
// The numeric state of an axis and what its calculations need from outside. The scale
// engine (end rounding, tick partition, tick generation, number labels, date-time and
// seconds scaling) works on a TVxAxisScale alone, so it needs no widget, font or graph:
// TVxAxis owns one and fills a TVxScaleContext for each calculation.

#include "axes/AxisTypes.h"
#include "util/FormatSettings.h"

#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <vector>

/// The settings and the partition state of one axis.
struct TVxAxisScale {
    // Settings (the axis' published properties).
    TVxAxisScaling Scaling = TVxAxisScaling::Normal;
    bool Horizontal = true;
    bool Twisted = false;
    TVxAxisEnd StartEnd = TVxAxisEnd::AutoRange;
    TVxAxisEnd StopEnd = TVxAxisEnd::AutoRange;
    TVxAxisEndRounding EndRounding = TVxAxisEndRounding::RndToMajorZoomToMinor;
    bool AutoTickParts = true;
    double LogToNormalScalingLevel = 0;
    double LabelDistanceFactor = 1;
    double MaxForExtraExponent = 1000;
    double MinForExtraExponent = 0.001;
    int ExtraDigits = 0;
    TVxMajorGridMode MajorGridMode = TVxMajorGridMode::AtLabel;
    bool NumbersVisible = true;
    /// Candidate table of the automatic linear partition: row i gives the label, major
    /// and minor step.
    std::array<double, 3> LabelParts{1.0, 0.5, 0.2};
    std::array<double, 3> MajorParts{0.5, 0.5, 0.1};
    std::array<double, 3> MinorParts{0.1, 0.1, 0.02};
    TVxDateTimeFormats Formats;

    // The visible range and its partition.
    double Start = 0;
    double Stop = 10;
    double LabelPart = 1;
    double MajorTickPart = 0.5;
    double TickPart = 0.1;
    /// Decimal exponent of the range (linear), decades (logarithmic), 0 for Rubrics.
    int RangeExponent = 0;
    bool HasLogScaling = false;
    double LogStart = 0;
    double LogStop = 1;
    int MaxExponent = 0;
    int DisplayDigits = 0;
    bool AdditionalExponent = false;
    TVxDtParameters DtParameters;
    TVxSecParameters SecParameters;

    // Geometry of the axis line inside its control.
    float AxLeft = 0;
    float AxTop = 0;
    float AxLength = 400;
    /// Data units per pixel (decades per pixel when logarithmic, days for DateTime).
    double NormalizeConst = 1;

    /// Scaling is Log or LogEE.
    bool IsLogKind() const {
        return Scaling == TVxAxisScaling::Log || Scaling == TVxAxisScaling::LogEE;
    }
};

/// What a calculation of the scale needs from the axis and its graph.
struct TVxScaleContext {
    /// The axis control's length along the axis (Width when horizontal, else Height).
    double ControlLength = 400;
    /// Point size of the label font, for the label extent estimate.
    double FontSize = 12;
    /// |sin| and |cos| of the label angle.
    double AngleSin = 0;
    double AngleCos = 1;
    /// The parent graph is being panned: the parts are kept and the ends stay unrounded.
    bool Panning = false;
    /// A zoom history exists.
    bool Zoomed = false;
    /// The data range last gathered (MaxDouble / -MaxDouble when none).
    double ValuesStart = 1.7976931348623157e308;
    /// The smallest positive data value of the related series, or a value <= 0 when
    /// there are none (unset: no related series).
    std::function<double()> SmallestPositive;
    /// May replace a label text (the axis' OnGetScaleLabel).
    std::function<void(double Value, QString& Caption)> GetScaleLabel;
    /// The category texts of a Rubrics axis.
    const QStringList* RubricTexts = nullptr;
    /// Number and date conventions of the label texts (nullptr: the process's).
    const TVxFormatSettings* Settings = nullptr;

    /// The settings to format with.
    const TVxFormatSettings& FormatSettings() const {
        return Settings ? *Settings : TVxFormatSettings::Current();
    }
};

/// One label made by the tick generation.
struct TVxTickLabel {
    QString Text;
    /// Pixel of the label along the axis.
    float Pixel = 0;
    /// The value labelled.
    double Value = 0;
};

/// The ticks of one calculation: pixel positions with their flags, and the labels.
struct TVxTickList {
    std::vector<float> Ticks;
    std::vector<bool> MajorTick;
    std::vector<bool> MajorGridTick;
    std::vector<TVxTickLabel> Labels;

    /// Empties all lists.
    void Clear() {
        Ticks.clear();
        MajorTick.clear();
        MajorGridTick.clear();
        Labels.clear();
    }
    /// Appends one tick.
    void Add(float Pixel, bool Major, bool Grid) {
        Ticks.push_back(Pixel);
        MajorTick.push_back(Major);
        MajorGridTick.push_back(Grid);
    }
};
