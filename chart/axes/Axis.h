#pragma once
// TVxAxis: the axis of a chart. It gathers the data range of its series, applies its end
// modes, rounds its ends and chooses its partition (through the scale engine of
// AxisScale.h), keeps its zoom history, converts values to pixels and back, and generates
// its ticks and labels. Layout, painting, fonts and captions belong to the graph's layout
// and are added there; the axis takes label measurements from its host.

#include "axes/AxisHost.h"
#include "axes/AxisRangeSource.h"
#include "axes/AxisScale.h"
#include "axes/AxisTransform.h"
#include "axes/ZoomHistory.h"
#include "undo/UndoStack.h"
#include "util/Component.h"
#include "util/Rounding.h"

#include <QPointer>
#include <QStringList>
#include <QVariant>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

class QIODevice;
class TVxDataSource;
class TVxIniFile;
namespace pugi {
class xml_node;
}

/// The label text an OnGetScaleLabel handler may replace.
struct TVxScaleLabelEventArgs {
    double Value = 0;
    QString Caption;
};

/// One label of the last tick calculation, measured by the host.
struct TVxAxisLabel {
    QString Caption;
    /// Pixel along the axis (a rubric label is shifted half a step).
    float Pixel = 0;
    double Value = 0;
    /// The measured size of the text.
    double Width = 0;
    double Height = 0;
};

class TVxAxis : public TVxComponent {
    Q_OBJECT
    Q_PROPERTY(TVxAxisEnums::TVxAxisScaling Scaling READ Scaling WRITE SetScaling)
    Q_PROPERTY(TVxAxisEnums::TVxAxisPosition Position READ Position WRITE SetPosition)
    Q_PROPERTY(bool Twisted READ Twisted WRITE SetTwisted)
    Q_PROPERTY(double Start READ Start WRITE SetStart STORED false)
    Q_PROPERTY(double Stop READ Stop WRITE SetStop STORED false)
    Q_PROPERTY(TVxAxisEnums::TVxAxisEnd StartEnd READ StartEnd WRITE SetStartEnd)
    Q_PROPERTY(TVxAxisEnums::TVxAxisEnd StopEnd READ StopEnd WRITE SetStopEnd)
    Q_PROPERTY(TVxAxisEnums::TVxAxisEndRounding EndRounding READ EndRounding WRITE SetEndRounding)
    Q_PROPERTY(double MovingSlitWidth READ MovingSlitWidth WRITE SetMovingSlitWidth)
    Q_PROPERTY(double MovingSlitIncrement READ MovingSlitIncrement WRITE SetMovingSlitIncrement)
    Q_PROPERTY(bool AutoTickParts READ AutoTickParts WRITE SetAutoTickParts)
    Q_PROPERTY(double LabelPart READ LabelPart WRITE SetLabelPart)
    Q_PROPERTY(double MajorTickPart READ MajorTickPart WRITE SetMajorTickPart)
    Q_PROPERTY(double TickPart READ TickPart WRITE SetTickPart)
    Q_PROPERTY(
        TVxAxisEnums::TVxMajorGridMode MajorGridMode READ MajorGridMode WRITE SetMajorGridMode)
    Q_PROPERTY(double LogToNormalScalingLevel READ LogToNormalScalingLevel WRITE
                   SetLogToNormalScalingLevel)
    Q_PROPERTY(float LabelDistanceFactor READ LabelDistanceFactor WRITE SetLabelDistanceFactor)
    Q_PROPERTY(double MaxForExtraExponent READ MaxForExtraExponent WRITE SetMaxForExtraExponent)
    Q_PROPERTY(double MinForExtraExponent READ MinForExtraExponent WRITE SetMinForExtraExponent)
    Q_PROPERTY(int ExtraDigits READ ExtraDigits WRITE SetExtraDigits)
    Q_PROPERTY(QString ShortMonthFormat READ ShortMonthFormat WRITE SetShortMonthFormat)
    Q_PROPERTY(QString LongMonthFormat READ LongMonthFormat WRITE SetLongMonthFormat)
    Q_PROPERTY(QString DayFormat READ DayFormat WRITE SetDayFormat)
    Q_PROPERTY(QString MinuteFormat READ MinuteFormat WRITE SetMinuteFormat)
    Q_PROPERTY(QString DayAndHourFormat READ DayAndHourFormat WRITE SetDayAndHourFormat)
    Q_PROPERTY(QString SecondFormat READ SecondFormat WRITE SetSecondFormat)
    Q_PROPERTY(QString MilliSecondFormat READ MilliSecondFormat WRITE SetMilliSecondFormat)
    Q_PROPERTY(bool Horizontal READ Horizontal)
    Q_PROPERTY(bool IsClipped READ IsClipped)
    Q_PROPERTY(bool CanZoomBack READ CanZoomBack)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(bool IsSlaveAxis READ IsSlaveAxis WRITE SetIsSlaveAxis)
    Q_PROPERTY(TVxAxis* MasterAxis READ MasterAxis WRITE SetMasterAxis)
    Q_PROPERTY(double SlaveOffset READ SlaveOffset WRITE SetSlaveOffset)
    Q_PROPERTY(double SlaveSlope READ SlaveSlope WRITE SetSlaveSlope)
    Q_PROPERTY(QObject* DataSource READ DataSourceObject WRITE SetDataSourceObject)
    Q_PROPERTY(QString RubricsField READ RubricsField WRITE SetRubricsField)
    Q_PROPERTY(QVariant AStart READ AStart WRITE SetAStart)
    Q_PROPERTY(QVariant AStop READ AStop WRITE SetAStop)
    Q_PROPERTY(int ZoomStage READ ZoomStage)
    Q_PROPERTY(int ZoomBufferSize READ ZoomBufferSize)

public:
    /// An axis of 400 x 20 pixels with the date-time patterns of the process's locale.
    explicit TVxAxis(QObject* AOwner = nullptr);
    ~TVxAxis() override;

    // Published properties (setters compare, record undo, store and notify).
    TVxAxisScaling Scaling() const { return FScale.Scaling; }
    void SetScaling(TVxAxisScaling Value);
    TVxAxisPosition Position() const { return FPosition; }
    void SetPosition(TVxAxisPosition Value);
    /// Values grow leftwards (horizontal) or downwards (vertical).
    bool Twisted() const { return FScale.Twisted; }
    void SetTwisted(bool Value);
    /// The visible range; non-finite values are refused.
    double Start() const { return FScale.Start; }
    void SetStart(double Value);
    double Stop() const { return FScale.Stop; }
    void SetStop(double Value);
    TVxAxisEnd StartEnd() const { return FScale.StartEnd; }
    void SetStartEnd(TVxAxisEnd Value);
    TVxAxisEnd StopEnd() const { return FScale.StopEnd; }
    void SetStopEnd(TVxAxisEnd Value);
    TVxAxisEndRounding EndRounding() const { return FScale.EndRounding; }
    void SetEndRounding(TVxAxisEndRounding Value);
    /// Window width and step of the MovingSlit mode (0: derived from the initial range).
    double MovingSlitWidth() const { return FMovingSlitWidth; }
    void SetMovingSlitWidth(double Value);
    double MovingSlitIncrement() const { return FMovingSlitIncrement; }
    void SetMovingSlitIncrement(double Value);
    /// Choose the parts automatically (always for Seconds, DateTime and Rubrics).
    bool AutoTickParts() const { return FScale.AutoTickParts; }
    void SetAutoTickParts(bool Value);
    /// Label, major and minor step in units of 10^RangeExponent (decades when logarithmic);
    /// ignored while AutoTickParts is set; 0 becomes 0.001, negative values their magnitude.
    double LabelPart() const { return FScale.LabelPart; }
    void SetLabelPart(double Value);
    double MajorTickPart() const { return FScale.MajorTickPart; }
    void SetMajorTickPart(double Value);
    double TickPart() const { return FScale.TickPart; }
    void SetTickPart(double Value);
    TVxMajorGridMode MajorGridMode() const { return FScale.MajorGridMode; }
    void SetMajorGridMode(TVxMajorGridMode Value);
    /// A Log or LogEE axis spanning no more decades than this is drawn linearly (0: never).
    double LogToNormalScalingLevel() const { return FScale.LogToNormalScalingLevel; }
    void SetLogToNormalScalingLevel(double Value);
    /// Scales the space wanted between labels; kept within 0.1 .. 10.
    float LabelDistanceFactor() const { return float(FScale.LabelDistanceFactor); }
    void SetLabelDistanceFactor(float Value);
    /// Thresholds for a common exponent of the labels (stored as magnitudes).
    double MaxForExtraExponent() const { return FScale.MaxForExtraExponent; }
    void SetMaxForExtraExponent(double Value);
    double MinForExtraExponent() const { return FScale.MinForExtraExponent; }
    void SetMinForExtraExponent(double Value);
    /// Extra decimals of the labels.
    int ExtraDigits() const { return FScale.ExtraDigits; }
    void SetExtraDigits(int Value);
    /// Label patterns of DateTime axes.
    QString ShortMonthFormat() const { return FScale.Formats.ShortMonthFormat; }
    void SetShortMonthFormat(const QString& Value);
    QString LongMonthFormat() const { return FScale.Formats.LongMonthFormat; }
    void SetLongMonthFormat(const QString& Value);
    QString DayFormat() const { return FScale.Formats.DayFormat; }
    void SetDayFormat(const QString& Value);
    QString MinuteFormat() const { return FScale.Formats.MinuteFormat; }
    void SetMinuteFormat(const QString& Value);
    QString DayAndHourFormat() const { return FScale.Formats.DayAndHourFormat; }
    void SetDayAndHourFormat(const QString& Value);
    QString SecondFormat() const { return FScale.Formats.SecondFormat; }
    void SetSecondFormat(const QString& Value);
    QString MilliSecondFormat() const { return FScale.Formats.MilliSecondFormat; }
    void SetMilliSecondFormat(const QString& Value);

    /// Position is Bottom or Top.
    bool Horizontal() const { return FScale.Horizontal; }
    /// The data reach outside the range (on a graph with series, data range known).
    bool IsClipped() const;

    // Events.
    /// Called at the start of every tick calculation.
    std::function<void(TVxAxis*)> OnGetTicks;
    /// Called by the layout after each axis calculation of the parent.
    std::function<void(TVxAxis*)> OnCalculated;
    /// May replace the text of any label.
    std::function<void(TVxAxis*, TVxScaleLabelEventArgs&)> OnGetScaleLabel;

    // Host, undo stack and series.
    /// The graph (or test host) the axis lives in; the host sets nullptr before it goes.
    void SetHost(TVxAxisHost* AHost);
    TVxAxisHost* Host() const { return FHost; }
    /// The undo stack setters record into (the graph's); may be nullptr.
    void SetUndoStack(TVxUndoStack* Stack) { FUndoStack = Stack; }
    TVxUndoStack* UndoStack() const { return FUndoStack; }
    /// Registers a series that uses this axis (kept in registration order, once).
    void AddRelatedSeries(TVxAxisRangeSource* Series);
    /// Unregisters a series.
    void RemoveRelatedSeries(TVxAxisRangeSource* Series);
    const std::vector<TVxAxisRangeSource*>& RelatedSeries() const { return FRelatedSeries; }
    /// Category texts of a Rubrics axis.
    const QStringList& Rubrics() const { return FRubrics; }
    void SetRubricTexts(const QStringList& Texts);

    // Control geometry (kept here until the shared item base takes it over).
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    /// Resizes the control; a changed size runs CheckResize.
    void SetSize(int AWidth, int AHeight);
    /// The axis line inside the control: origin and length in pixels.
    void SetAxisGeometry(float AxLeft, float AxTop, float AxLength);
    float AxLeft() const { return FScale.AxLeft; }
    float AxTop() const { return FScale.AxTop; }
    float AxLength() const { return FScale.AxLength; }

    // Transforms.
    /// The pixel of a value in the parent's coordinates.
    float NumberToWorld(double Value) const {
        if (FTransformDirty)
            RebuildTransform();
        return FTransform.NumberToWorld(Value);
    }
    /// The value at a pixel.
    double WorldToNumber(float Pixel) const {
        if (FTransformDirty)
            RebuildTransform();
        return FTransform.WorldToNumber(Pixel);
    }

    // Ranges and calculation.
    /// Layout may change: recompute ranges, ticks and layout at the next paint.
    void Modified();
    /// The data of a related series changed.
    void RangeModified();
    /// Gathers the data range and sets Start/Stop when it changed since the last call.
    void GetNewRanges();
    /// Sets Start/Stop from the data range Lo .. Hi as the ends ask, rounded once.
    void SetRangeFromValues(double Lo, double Hi);
    /// The range the ends ask for with the data range FValuesStart .. FValuesStop, unrounded.
    void RangeOfValues(double& start, double& stop);
    /// Normalises a range, chooses the partition and rounds the ends.
    void RoundEnds(double& AStart, double& AStop);
    /// One value rounded up or down to the major or minor step.
    double RoundEnd(bool Up, bool Major, double Value) const;
    /// Rounds the current range unless it was rounded since the last change (once per
    /// change of range), then calculates the ticks: the axis' share of a layout pass.
    void CalculateScale();
    /// Recomputes NormalizeConst, the ticks and the labels for the range and AxLength.
    void CalculateTicks();
    /// The major and minor step in data units.
    double MajorIncrement() const;
    double MinorIncrement() const;
    /// Sets both ends and the last range without undo or events, then Modified.
    void SetStartStop(double AStart, double AStop);
    /// The control was resized: auto-ranged ends return to the last automatic range.
    void CheckResize();

    // Zoom history.
    void ZoomIn(double NewStart, double NewStop);
    void ZoomBack();
    void RedoZoom();
    void ZoomToStage(int Stage);
    void ZoomClearBuffer();
    bool CanZoomBack() const { return FZoom.CanZoomBack(); }
    int ZoomStage() const { return FZoom.ZoomStage(); }
    int ZoomBufferSize() const { return FZoom.ZoomBufferSize(); }
    const TVxZoomHistory& ZoomHistory() const { return FZoom; }
    /// The unzoomed range (entry 0 of the history), else the range.
    double ScrollStart() const;
    double ScrollStop() const;
    /// The visible share of the unzoomed range in 1/10000 (0 .. 10000).
    int ScrollPageSize() const;
    /// The position of v in the unzoomed range in 1/10000.
    int ScrollPosition(double v) const;

    // The last calculation.
    const TVxAxisScale& Scale() const { return FScale; }
    const std::vector<float>& Ticks() const { return FTickList.Ticks; }
    const std::vector<bool>& MajorTicks() const { return FTickList.MajorTick; }
    const std::vector<bool>& MajorGridTicks() const { return FTickList.MajorGridTick; }
    const std::vector<TVxAxisLabel>& Labels() const { return FLabels; }
    /// Largest label extents across and along the axis, rotated by the label angle.
    double MaxNumberLabelWidth() const { return FMaxNumberLabelWidth; }
    double MaxNumberLabelHeight() const { return FMaxNumberLabelHeight; }
    /// Sets |sin| and |cos| of the label angle (the layout's RubricsAngle).
    void SetLabelAngle(double Degrees);

    // Control, slave and data-binding properties (AxisLinks.cpp).
    /// The tool tip text and whether it shows (ParentShowHint: as the parent says).
    QString Hint() const { return FHint; }
    void SetHint(const QString& Value);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool Value);
    /// The range follows MasterAxis: SlaveOffset + SlaveSlope * master range.
    bool IsSlaveAxis() const { return FIsSlaveAxis; }
    /// Turning it on needs a master; off keeps the master.
    void SetIsSlaveAxis(bool Value);
    TVxAxis* MasterAxis() const { return FMasterAxis; }
    /// Only another axis of the same orientation that is no slave itself is taken, and it
    /// makes this axis a slave; nullptr (or a refused axis) clears IsSlaveAxis.
    void SetMasterAxis(TVxAxis* Value);
    double SlaveOffset() const { return FSlaveOffset; }
    void SetSlaveOffset(double Value);
    double SlaveSlope() const { return FSlaveSlope; }
    void SetSlaveSlope(double Value);
    /// The optional binding of Rubrics to a data-set field: setting either turns it on,
    /// a data source of nullptr turns it off.
    TVxDataSource* DataSource() const;
    void SetDataSource(TVxDataSource* Value);
    QString RubricsField() const { return FRubricsField; }
    void SetRubricsField(const QString& Value);
    /// The rubrics come from the data source.
    bool RubricsFromDataSource() const { return FRubricsBound; }
    /// The candidate table of the automatic linear partition: row Row (0..2) gives the
    /// label, major and minor step; non-finite or non-positive steps are refused.
    void SetCandidateParts(int Row, double Label, double Major, double Minor);
    /// Start and Stop as invariant text for form resources: reading gives the text, writing
    /// takes a text (InvariantTextToFloat) or a number; anything unreadable gives 0. The
    /// value goes straight into the range, without undo step or notification.
    QVariant AStart() const;
    void SetAStart(const QVariant& Value);
    QVariant AStop() const;
    void SetAStop(const QVariant& Value);

    // Saved records (AxisRecords.cpp). Readers treat their input as hostile and raise
    // EVxStreamError naming the record; references resolve at the end of the read, or
    // with the loader's TVxPendingReferences when one is open. With WithRange false the
    // range, the zoom history and the data range are kept.
    void WriteTo(QIODevice& Stream) const;
    void ReadFrom(QIODevice& Stream, bool WithRange);
    /// The stream record in a file, replaced atomically (a failed save keeps the old file).
    void WriteTo(const QString& FileName) const;
    void ReadFrom(const QString& FileName, bool WithRange);
    /// Appends a "TVxAxis" element to Node.
    void WriteTo(pugi::xml_node Node) const;
    /// Reads the axis' own element.
    void ReadFrom(pugi::xml_node Element, bool WithRange);
    /// Keys in Section; the zoom lists in Section + ".Zoom.Start" and ".Zoom.Stop".
    void WriteTo(TVxIniFile& Ini, const QString& Section) const;
    void ReadFrom(const TVxIniFile& Ini, const QString& Section, bool WithRange);

    // State the graph and persistence read.
    double ValuesStart() const { return FValuesStart; }
    double ValuesStop() const { return FValuesStop; }
    bool NeedsRecalculation() const { return FRecalculate; }
    bool ValuesRounded() const { return FValuesRounded; }
    bool RedoRange() const { return FRedoRange; }
    double InitialStart() const { return FInitialStart; }
    double InitialStop() const { return FInitialStop; }
    double LastStart() const { return FLastStart; }
    double LastStop() const { return FLastStop; }

private:
    TVxScaleContext ScaleContext() const;
    void RebuildTransform() const;
    bool Recording() const;
    void Record(const char* Comment, std::initializer_list<const char*> Names);
    void SetRange(double AStart, double AStop);
    bool SetPart(double& Field, double Value, const char* Comment, const char* Name);
    void SetFormat(QString TVxDateTimeFormats::*Field, const QString& Value);
    QObject* DataSourceObject() const;
    void SetDataSourceObject(QObject* Value);
    void SetRangeDirect(double& Field, double& Initial, double& Last, const QVariant& Value);
    void RestoreRange(bool HasRange, double AStart, double AStop, bool HasZoom,
                      std::vector<double> Starts, std::vector<double> Stops, int ZoomIndex,
                      bool HasValues, double AValuesStart, double AValuesStop);

    TVxAxisScale FScale;
    TVxAxisPosition FPosition = TVxAxisPosition::Bottom;
    double FMovingSlitWidth = 0;
    double FMovingSlitIncrement = 0;
    double FInitialStart = 0;
    double FInitialStop = 10;
    double FLastStart = 0;
    double FLastStop = 10;
    // The range the last ranging from the data rounded, and the rounded ends it gave.
    std::pair<double, double> FRoundedFrom{std::nan(""), std::nan("")};
    std::pair<double, double> FRoundedTo{std::nan(""), std::nan("")};
    double FValuesStart = MaxDouble;
    double FValuesStop = -MaxDouble;
    bool FRecalculate = true;
    bool FValuesRounded = false;
    bool FRedoRange = false;
    int FWidth = 400;
    int FHeight = 20;
    double FAngleSin = 0;
    double FAngleCos = 1;
    double FMaxNumberLabelWidth = 0;
    double FMaxNumberLabelHeight = 0;

    TVxZoomHistory FZoom;
    TVxTickList FTickList;
    std::vector<TVxAxisLabel> FLabels;
    std::vector<TVxAxisRangeSource*> FRelatedSeries;
    QStringList FRubrics;
    TVxAxisHost* FHost = nullptr;
    QPointer<TVxUndoStack> FUndoStack;
    QString FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    bool FIsSlaveAxis = false;
    QPointer<TVxAxis> FMasterAxis;
    double FSlaveOffset = 0;
    double FSlaveSlope = 1;
    QPointer<QObject> FDataSource;
    QString FRubricsField;
    bool FRubricsBound = false;

    mutable TVxAxisTransform FTransform;
    mutable bool FTransformDirty = true;
};
