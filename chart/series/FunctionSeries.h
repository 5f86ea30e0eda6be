#pragma once
// The frame of every series whose curve is computed from its data instead of drawn point by
// point: a calculation object (TVxCalculation) gathers the valid points, a kind's
// mathematics (chart/numeric) fits them, and the series samples the fitted GetY once per
// pixel column of the X axis, for its Y extent and for drawing.
//
// Extension points for a new kind:
// - derive the calculation object from TVxCalculation, override Calculate (and Xi/Yi when
//   the kind works on changed values); create it in the kind's constructor and hand it to
//   SetCalculation;
// - override GetY (the fitted curve at a value) and Formula (its rich-caption text);
// - override RecalculateFunction when the kind needs more than "hand over, calculate,
//   sample the Y extent, OnCalculated" (RecalculateFunction below does exactly that);
// - override CalculatePoints when a few points draw the curve exactly (a straight line);
// - set FMinCount, the usable pairs needed before anything is computed (2 here);
// - register the kind's caption variables in its own constructor, after this one's.
// Recalculation is lazy: setters and vector messages ask for it (Recalculate), the next
// poll or paint runs Calculate once. An error of the calculation reaches OnCalculationError
// when assigned, else the caller; either way the series shows no curve until the next
// successful recalculation and captions keep the last good results.

#include "numeric/Samples.h"
#include "series/Series.h"

#include <exception>
#include <functional>
#include <memory>
#include <span>
#include <vector>

class TVxFunctionSeries;
class TVxReferenceReader;
class TVxStreamReader;

/// The data a computed curve is fitted to and the point selection shared by every kind.
/// A plain object owned by its series; the series fills it before each calculation.
class TVxCalculation {
public:
    TVxCalculation() = default;
    virtual ~TVxCalculation() = default;
    TVxCalculation(const TVxCalculation&) = delete;
    TVxCalculation& operator=(const TVxCalculation&) = delete;

    /// Raw X range of the points used (all of them at creation).
    double Start = -MaxDouble;
    double Stop = MaxDouble;
    /// The data; Weight may be nullptr (every weight 1).
    const TVxCustomDoubleVector* XData = nullptr;
    const TVxCustomDoubleVector* YData = nullptr;
    const TVxCustomDoubleVector* Weight = nullptr;
    /// Every index counts, outliers included.
    bool OutliersVisible = false;
    /// Value transformations of X, Y and the weights (empty: none); Sender is their first
    /// argument.
    TVxValueTransformation mXValueTransformation;
    TVxValueTransformation mYValueTransformation;
    TVxValueTransformation mWeightValueTransformation;
    TVxSeries* Sender = nullptr;

    /// X[Idx] through the X transformation.
    virtual double Xi(int Idx) const;
    /// Y[Idx] through the Y transformation.
    virtual double Yi(int Idx) const;
    /// Computes the kind's results; nothing here.
    virtual void Calculate() {}

    /// |W[Idx]| (through the weight transformation, again as magnitude); 1 without weights.
    double Wi(int Idx) const;
    /// Idx takes part: every index with OutliersVisible, else one no vector marks as an
    /// outlier whose raw X lies within [Start, Stop].
    bool IsValid(int Idx) const;
    /// The smallest count of the X, Y and (when set) weight vectors.
    int DataCount() const;

    /// One pass over the data: the valid indices whose Xi, Yi (and Wi) are finite and, when
    /// Accept is given, accepted by it, as contiguous arrays (reused from call to call, or
    /// the vectors' own arrays when every pair of plain data is taken). The spans are valid
    /// until the next Gather or a change of the vectors.
    /// Raises "No X vector defined for calculation" / "No Y vector defined for calculation".
    TVxSamples Gather(const std::function<bool(double X, double Y)>& Accept = {});

protected:
    /// Whether Xi and Yi are the plain transformed values (the gathering reads the vectors'
    /// arrays directly then).
    virtual bool PlainValues() const { return true; }

private:
    std::vector<double> FX, FY, FW;
};

/// Receives an error raised while a function series recalculates.
using TVxCalculationErrorHandler =
    std::function<void(TVxFunctionSeries* Sender, const std::exception& e)>;
/// Called after each successful recalculation.
using TVxNotifyHandler = std::function<void(TVxFunctionSeries* Sender)>;

class TVxFunctionSeries : public TVxLineSeries {
    Q_OBJECT
    Q_PROPERTY(TVxCustomDoubleVector* Weight READ Weight WRITE SetWeight)
    Q_PROPERTY(bool AutoStart READ AutoStart WRITE SetAutoStart)
    Q_PROPERTY(bool AutoStop READ AutoStop WRITE SetAutoStop)
    Q_PROPERTY(double CalculationStart READ CalculationStart WRITE SetCalculationStart)
    Q_PROPERTY(double CalculationStop READ CalculationStop WRITE SetCalculationStop)
    Q_PROPERTY(bool DisplayAutoStart READ DisplayAutoStart WRITE SetDisplayAutoStart)
    Q_PROPERTY(bool DisplayAutoStop READ DisplayAutoStop WRITE SetDisplayAutoStop)
    Q_PROPERTY(double DisplayStart READ DisplayStart WRITE SetDisplayStart)
    Q_PROPERTY(double DisplayStop READ DisplayStop WRITE SetDisplayStop)
    Q_PROPERTY(bool CoupleCalculationAndDisplay READ CoupleCalculationAndDisplay WRITE
                   SetCoupleCalculationAndDisplay)
    Q_PROPERTY(bool ClipYValues READ ClipYValues WRITE SetClipYValues)

public:
    /// Automatic ranges coupled, clipped Y values, no calculation object (the kind makes one).
    explicit TVxFunctionSeries(QObject* AOwner = nullptr);
    ~TVxFunctionSeries() override;

    // Published properties (undoable; see docs/series.md for what each recomputes).
    /// Weights of the data points (nullptr: all 1).
    TVxCustomDoubleVector* Weight() const { return FWeight.data(); }
    void SetWeight(TVxCustomDoubleVector* Value);
    /// The calculation range follows the data's X extent.
    bool AutoStart() const { return FAutoStart; }
    void SetAutoStart(bool Value);
    bool AutoStop() const { return FAutoStop; }
    void SetAutoStop(bool Value);
    /// The fixed calculation range; non-finite values are refused.
    double CalculationStart() const { return FCalcStart; }
    void SetCalculationStart(double Value);
    double CalculationStop() const { return FCalcStop; }
    void SetCalculationStop(double Value);
    /// The display range follows the data's X extent (when not coupled).
    bool DisplayAutoStart() const { return FDisplayAutoStart; }
    void SetDisplayAutoStart(bool Value);
    bool DisplayAutoStop() const { return FDisplayAutoStop; }
    void SetDisplayAutoStop(bool Value);
    /// The range the curve is drawn over; non-finite values are refused.
    double DisplayStart() const { return FDisplayStart; }
    void SetDisplayStart(double Value);
    double DisplayStop() const { return FDisplayStop; }
    void SetDisplayStop(double Value);
    /// The display range is the calculation range.
    bool CoupleCalculationAndDisplay() const { return FCoupleCalculationAndDisplay; }
    void SetCoupleCalculationAndDisplay(bool Value);
    /// The curve does not widen a Y axis that shows other visible series.
    bool ClipYValues() const { return FClipYValues; }
    void SetClipYValues(bool Value);
    /// Transformation of the weights (no undo step); the ranges are recomputed.
    void SetWeightValueTransformation(TVxValueTransformation Value);

    /// Called after each successful recalculation.
    TVxNotifyHandler OnCalculated;
    /// Receives the errors of a recalculation; without it they reach the caller.
    TVxCalculationErrorHandler OnCalculationError;

    /// The curve's formula as rich-caption markup; each kind gives its own (raises here).
    virtual QString Formula() const;
    /// The calculation object (nullptr until the kind made one).
    TVxCalculation* Calculation() const { return FCalculation; }
    /// The last recalculation failed: no curve is shown.
    bool CalculationFailed() const { return mCalculationError; }
    /// A recalculation has succeeded since creation or the last failure.
    bool Calculated() const { return mCalculated; }
    /// The usable pairs needed before anything is computed.
    int MinCount() const { return FMinCount; }

    /// Takes the X extent as calculation and display range where the Auto flags say so
    /// (stored directly: no undo step).
    void SetLimits();
    /// The Y axis shows a visible series that is not a function series.
    bool AnyOtherSeries() const;

    // What the graph calls.
    bool IsFunctionSeries() const override { return true; }
    /// Recomputes the curve when the data grew or a setter asked for it (never re-entered).
    void Calculate() override;
    void PaintGr(TVxSurface& Gr) override;
    /// 0 when a computed pixel point lies within Delta of (X, Y), else -1.
    int FindPoint(float X, float Y, float Delta) override;
    using TVxSeries::FindPoint;
    /// The curve at AtX (NaN here: no curve).
    double GetY(double AtX) const override;
    /// Y[i] = GetY(X[i]), NaN where GetY raises; X ascend when the series samples its curve.
    /// A kind may compute them in one pass.
    virtual void GetYs(std::span<const double> X, std::span<double> Y) const;
    /// The vectors referred to: X, Y and the weights.
    std::vector<TVxCustomDoubleVector*> ReferencedVectors() const override;

    // Vector and axis messages.
    /// A stored value changes the fit: recalculate.
    void VectorChanged() override;
    void AxisRangeModifiedAlone(TVxAxis& Axis) override;

    // Records: the series record, then this frame's tail (and each kind's after it).
    using TVxSeries::ReadFrom;
    using TVxSeries::WriteTo;
    void WriteTo(QIODevice& Stream) const override;
    void ReadFrom(QIODevice& Stream) override;
    void ReadFrom(pugi::xml_node Element) override;
    void WriteTo(TVxIniFile& Ini, const QString& Section) const override;
    void ReadFrom(const TVxIniFile& Ini, const QString& Section) override;
    void WriteXmlContent(pugi::xml_node Element) const override;

protected:
    /// Hands the calculation the data and settings, calculates, samples the Y extent over
    /// the display range and calls OnCalculated. Kinds may replace it.
    virtual void RecalculateFunction();
    /// Samples GetY at both ends of the axis' part of the display range and at every whole
    /// pixel column between; samples that raise or are not finite are left out.
    void CalculatePoints() override;
    int GetUsableCount() override;
    void Notification(TVxComponent* AComponent, TVxOperation Operation) override;

    /// Records the undo step of a kind's own property, as the series base does for its own.
    void RecordUndo(const char* Description, const char* PropName) {
        TVxSeries::RecordUndo(Description, PropName);
    }
    /// Starts the pixel points anew: clears them and notes the axes' mapping; false when
    /// there is no curve to draw (no axes, no successful calculation, too few pairs).
    bool BeginPoints();
    /// Makes Calculation the series' calculation object (owned by the series).
    void SetCalculation(std::unique_ptr<TVxCalculation> Calculation);
    /// Fills the calculation with the data, the ranges and the transformations.
    void PrepareCalculation();
    /// The next Calculate runs in full.
    void Recalculate();
    /// Samples GetY over the display range (k = 0 .. pixel width, geometric on logarithmic
    /// X axes) and stores the Y extent (unknown when no sample is finite, or when clipped
    /// beside other series); tells the Y axis when it changed.
    void SampleYExtent();
    /// Stores a Y extent and tells the Y axis when it changed.
    void SetYExtent(double Start, double Stop);
    /// Stores an X extent (a kind whose curve has an X range of its own) and tells the X
    /// axis when it changed.
    void SetXExtent(double Start, double Stop);
    /// The axis' part of the display range, [X0, X1]; false when nothing of it shows.
    bool VisibleDisplayRange(double& X0, double& X1) const;
    /// Appends the pixel point of (X, Y), its Y pixel kept within a band around the data area.
    void AppendPixelPoint(double X, double Y);
    /// Y pixels are kept within this band around the data area.
    void PixelBand(double& Top, double& Bottom) const;
    /// Closes the area polygon of the computed points.
    void FinishPoints();
    /// The X / Y axis draws logarithmically.
    bool XLogarithmic() const;
    bool YLogarithmic() const;

    int FMinCount = 2;
    TVxCalculation* FCalculation = nullptr;
    bool mCalculationError = false;
    bool mCalculated = false;

private:
    void RecordAutoSwitch(bool On, const char* Description, const char* ValueName,
                          const char* FlagName);
    void ClearCurve();
    void ListenToWeight(TVxCustomDoubleVector* Vector, bool Listen);
    // Reads the frame's stream tail; the weight reference goes to Refs.
    void ReadTail(TVxStreamReader& In, TVxReferenceReader& Refs);
    // The saved reference of the weights ("" for none or the own indexer).
    QString WeightPath() const;

    std::unique_ptr<TVxCalculation> FOwnedCalculation;
    QPointer<TVxCustomDoubleVector> FWeight;
    const QObject* FWeightIdentity = nullptr; // compared only: the vector may be half destroyed
    TVxValueTransformation FWeightValueTransformation;
    bool FAutoStart = true;
    bool FAutoStop = true;
    bool FDisplayAutoStart = true;
    bool FDisplayAutoStop = true;
    bool FCoupleCalculationAndDisplay = true;
    bool FClipYValues = true;
    double FCalcStart = 0;
    double FCalcStop = 0;
    double FDisplayStart = 0;
    double FDisplayStop = 0;
    bool FInRecalculation = false; // Calculate runs (a handler's event loop must not re-enter)
    bool FSampling = false;        // CalculatePoints runs
    std::vector<double> FSampleX, FSampleY; // the sampled curve, kept from paint to paint
};
