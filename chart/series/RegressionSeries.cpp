#include "series/RegressionSeries.h"

#include "persistence/BinaryStream.h"
#include "persistence/IniFile.h"
#include "persistence/PendingReferences.h"
#include "persistence/RecordErrors.h"
#include "persistence/XmlCodec.h"
#include "undo/UndoStack.h"
#include "util/ComponentPaths.h"
#include "util/LibraryMessage.h"
#include "util/Rounding.h"

#include <algorithm>
#include <cmath>
#include <pugixml.hpp>

namespace {

bool LogKind(const TVxAxis* Axis) {
    return Axis && Axis->Scale().IsLogKind();
}

// Sets a logarithmic axis' switching level to 0 as part of a recalculation: stored, not an
// undoable change of the user's.
void ClearScalingLevel(TVxAxis& Axis) {
    TVxUndoStack* undo = Axis.UndoStack();
    Axis.SetUndoStack(nullptr);
    Axis.SetLogToNormalScalingLevel(0);
    Axis.SetUndoStack(undo);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Calculation

double TVxLinearRegressionCalculation::Xi(int Idx) const {
    const double x = TVxCalculation::Xi(Idx);
    return XLog ? std::log10(x) : x;
}

double TVxLinearRegressionCalculation::Yi(int Idx) const {
    const double y = TVxCalculation::Yi(Idx);
    return YLog ? std::log10(y) : y;
}

void TVxLinearRegressionCalculation::Calculate() {
    // Logarithms of values <= 0 are not finite and are left out by the gathering.
    const TVxSamples samples = Gather();
    const TVxLinearRegressionResult r = LinearRegression(samples, FixedOffset, Offset);
    Slope = r.Slope;
    DeltaSlope = r.DeltaSlope;
    Offset = r.Offset;
    DeltaOffset = r.DeltaOffset;
    AverageX = r.AverageX;
    AverageY = r.AverageY;
    VarianceX = r.VarianceX;
    VarianceY = r.VarianceY;
    Probability = r.Probability;
    Correlation = r.Correlation;
    SumOfResiduals = r.SumOfResiduals;
}

// ---------------------------------------------------------------------------------------------
// Series

TVxLinearRegression::TVxLinearRegression(QObject* AOwner) : TVxFunctionSeries(AOwner) {
    auto calc = std::make_unique<TVxLinearRegressionCalculation>();
    FRegr = calc.get();
    SetCalculation(std::move(calc));
    FMinCount = 2;
    SetCaption(UniqueComponentName(AOwner, QStringLiteral("VxLinearRegression")));
    const struct {
        const char* Id;
        const char* Comment;
        double TVxLinearRegressionCalculation::*Field;
    } variables[] = {
        {"Offset", "The offset a of the regression line Y=a+mX",
         &TVxLinearRegressionCalculation::Offset},
        {"Slope", "The slope m of the regression line Y=a+mX",
         &TVxLinearRegressionCalculation::Slope},
        {"DeltaSlope", "Statistical error of slope m of the regression line Y=a+mX",
         &TVxLinearRegressionCalculation::DeltaSlope},
        {"DeltaOffset", "Statistical error of offset a of the regression line Y=a+mX",
         &TVxLinearRegressionCalculation::DeltaOffset},
        {"AverageX", "Mean of X values", &TVxLinearRegressionCalculation::AverageX},
        {"AverageY", "Mean of Y values", &TVxLinearRegressionCalculation::AverageY},
        {"VarianceX", "Variance of X values", &TVxLinearRegressionCalculation::VarianceX},
        {"VarianceY", "Variance of Y values", &TVxLinearRegressionCalculation::VarianceY},
        {"Probability", "Probability of the fitted line",
         &TVxLinearRegressionCalculation::Probability},
        {"Correlation", "Correlation coefficient", &TVxLinearRegressionCalculation::Correlation},
        {"SumOfResiduals", "Sum of squared deviations of data points to fitted line",
         &TVxLinearRegressionCalculation::SumOfResiduals},
    };
    for (const auto& v : variables) {
        const auto field = v.Field;
        RegisterDoubleGetter(QString::fromLatin1(v.Id), QString::fromLatin1(v.Comment), this,
                             GlobalDoubleGetters(), [this, field] { return FRegr->*field; });
    }
}

void TVxLinearRegression::SetFixedOffset(bool Value) {
    if (Value == FRegr->FixedOffset)
        return;
    RecordUndo("Linear regression fixed offset", "FixedOffset");
    FRegr->FixedOffset = Value;
    Recalculate();
}

void TVxLinearRegression::SetOffset(double Value) {
    if (!std::isfinite(Value) || !(Value < FRegr->Offset || Value > FRegr->Offset))
        return;
    if (FRegr->FixedOffset)
        RecordUndo("Linear regression offset", "Offset");
    FRegr->Offset = Value;
    Recalculate();
}

double TVxLinearRegression::GetY(double AtX) const {
    const double x = FRegr->XLog ? std::log10(AtX) : AtX;
    const double y = FRegr->Slope * x + FRegr->Offset;
    return FRegr->YLog ? Exp10(y) : y;
}

QString TVxLinearRegression::Formula() const {
    QString text = LogKind(YAxis()) ? QStringLiteral("lg(Y)=a+b(") : QStringLiteral("Y=a+b(");
    text += LogKind(XAxis()) ? QStringLiteral("lg(X))") : QStringLiteral("X)");
    return text;
}

void TVxLinearRegression::RecalculateFunction() {
    if (Count() <= 1)
        return;
    TVxAxis* xAxis = XAxis();
    TVxAxis* yAxis = YAxis();
    if (LogKind(xAxis) && xAxis->LogToNormalScalingLevel() > 0)
        ClearScalingLevel(*xAxis);
    if (LogKind(yAxis) && yAxis->LogToNormalScalingLevel() > 0) {
        // The level goes first, so that the note is given once, and never by a modal box
        // inside painting.
        ClearScalingLevel(*yAxis);
        ShowLibraryMessage(
            QStringLiteral("Log Y-Axis with regression and LogToNormalScalingLevel>0 not "
                           "possible\rSetting to 0"));
    }
    SetLimits();
    PrepareCalculation();
    FRegr->XLog = LogKind(xAxis);
    FRegr->YLog = LogKind(yAxis);
    FRegr->Calculate();
    if (ClipYValues() && AnyOtherSeries()) {
        SetYExtent(MaxDouble, -MaxDouble);
    } else {
        double lo = MaxDouble, hi = -MaxDouble;
        for (double x : {DisplayStart(), DisplayStop()}) {
            // An end a logarithmic axis cannot show is taken at the data's first value.
            if (FRegr->XLog && !(x > 0))
                x = XStart();
            const double y = GetY(x);
            if (std::isfinite(y)) {
                lo = std::min(lo, y);
                hi = std::max(hi, y);
            }
        }
        SetYExtent(lo, hi);
    }
    if (OnCalculated)
        OnCalculated(this);
}

void TVxLinearRegression::CalculatePoints() {
    if (!BeginPoints() || Count() <= 1)
        return;
    double x0, x1;
    if (!VisibleDisplayRange(x0, x1))
        return;
    // The line u = Slope t + Offset in the axes' own coordinates (t = lg x, u = lg y on
    // logarithmic axes) is straight in pixels; it is cut where it leaves the band around the
    // data area, so both ends are pixels the drawing can take exactly.
    const bool xLog = FRegr->XLog, yLog = FRegr->YLog;
    double t0 = xLog ? std::log10(x0) : x0, t1 = xLog ? std::log10(x1) : x1;
    const double slope = FRegr->Slope, offset = FRegr->Offset;
    if (!std::isfinite(slope) || !std::isfinite(offset) || std::abs(slope) >= MaxDouble ||
        std::abs(offset) >= MaxDouble)
        return;
    double top, bottom;
    PixelBand(top, bottom);
    double ua = YAxis()->WorldToNumber(float(top)), ub = YAxis()->WorldToNumber(float(bottom));
    if (yLog) {
        ua = std::log10(ua);
        ub = std::log10(ub);
    }
    if (std::isnan(ua) || std::isnan(ub))
        return;
    // A band edge beyond what the axis maps (0 or an overflow on a logarithmic axis) leaves
    // that side open.
    ua = std::clamp(ua, -MaxDouble, MaxDouble);
    ub = std::clamp(ub, -MaxDouble, MaxDouble);
    const double uLo = std::min(ua, ub), uHi = std::max(ua, ub);
    if (slope == 0) {
        if (offset < uLo || offset > uHi)
            return;
    } else {
        const double ta = (uLo - offset) / slope, tb = (uHi - offset) / slope;
        t0 = std::max(t0, std::min(ta, tb));
        t1 = std::min(t1, std::max(ta, tb));
        if (!(t0 <= t1))
            return;
    }
    for (double t : {t0, t1}) {
        const double x = xLog ? Exp10(t) : t;
        const double y = GetY(x);
        if (std::isfinite(y))
            AppendPixelPoint(x, y);
    }
    FinishPoints();
}

// ---------------------------------------------------------------------------------------------
// Records: FixedOffset, the Offset only when it is fixed, an end marker.

void TVxLinearRegression::WriteTo(QIODevice& Stream) const {
    TVxFunctionSeries::WriteTo(Stream);
    TVxStreamWriter out(Stream);
    out.WriteBool(FRegr->FixedOffset);
    if (FRegr->FixedOffset)
        out.WriteDouble(FRegr->Offset);
    out.WriteContinuation(false);
}

void TVxLinearRegression::ReadFrom(QIODevice& Stream) {
    TVxReferenceReader refs;
    TVxFunctionSeries::ReadFrom(Stream);
    ReadNamedRecord(metaObject()->className(), [&] {
        TVxStreamReader in(Stream);
        const bool fixed = in.ReadBool();
        const double offset = fixed ? in.ReadDouble() : 0.0;
        in.ReadByte(); // written as 0, ignored
        SetFixedOffset(fixed);
        if (fixed)
            SetOffset(offset);
    });
    refs.Finish();
}

void TVxLinearRegression::WriteXmlContent(pugi::xml_node Element) const {
    TVxFunctionSeries::WriteXmlContent(Element);
    pugi::xml_node r = Element.append_child("LinearRegression");
    SetXmlBool(r, "FixedOffset", FRegr->FixedOffset);
    if (FRegr->FixedOffset)
        SetXmlFloat(r, "Offset", FRegr->Offset);
}

void TVxLinearRegression::ReadFrom(pugi::xml_node Element) {
    TVxReferenceReader refs;
    TVxFunctionSeries::ReadFrom(Element);
    ReadNamedRecord(metaObject()->className(), [&] {
        const pugi::xml_node r = Element.child("LinearRegression");
        if (!r)
            return;
        const bool fixed = XmlBool(r, "FixedOffset", FRegr->FixedOffset);
        const double offset = XmlFloat(r, "Offset", FRegr->Offset);
        SetFixedOffset(fixed);
        if (fixed)
            SetOffset(offset);
    });
    refs.Finish();
}

void TVxLinearRegression::WriteTo(TVxIniFile& Ini, const QString& Section) const {
    TVxFunctionSeries::WriteTo(Ini, Section);
    Ini.WriteBool(Section, "FixedOffset", FRegr->FixedOffset);
    if (FRegr->FixedOffset)
        Ini.WriteFloat(Section, "Offset", FRegr->Offset);
}

void TVxLinearRegression::ReadFrom(const TVxIniFile& Ini, const QString& Section) {
    TVxReferenceReader refs;
    TVxFunctionSeries::ReadFrom(Ini, Section);
    ReadNamedRecord(metaObject()->className(), [&] {
        const bool fixed = Ini.ReadBool(Section, "FixedOffset", FRegr->FixedOffset);
        const double offset = Ini.ReadFloat(Section, "Offset", FRegr->Offset);
        SetFixedOffset(fixed);
        if (fixed)
            SetOffset(offset);
    });
    refs.Finish();
}
