#include "series/MovingAverageSeries.h"

#include "persistence/BinaryStream.h"
#include "persistence/IniFile.h"
#include "persistence/RecordErrors.h"
#include "persistence/XmlCodec.h"
#include "util/Exceptions.h"
#include "util/VariableRegistries.h"

#include <cmath>
#include <string>

namespace {

constexpr int LastMethod = int(TVxAveragingMethod::ExponentiallyWeighted);
constexpr int LastDirection = int(TVxAveragingDirection::UpAndDownwards);
constexpr int LastRangeMethod = int(TVxAveragingRangeMethod::NasXDistance);

bool Differs(double A, double B) {
    return A < B || A > B;
}

// An ini ordinal in 0..Last; anything else raises.
int IniOrdinal(const TVxIniFile& Ini, const QString& Section, const char* Key, int Last,
               int Default) {
    const int v = Ini.ReadInteger(Section, Key, Default);
    if (v < 0 || v > Last)
        throw EVxStreamError("value " + std::to_string(v) + " of " + Key + " out of range");
    return v;
}

} // namespace

void TVxMovingAverageCalculation::Calculate() {
    FCurve = TVxSpline();
    FCurve = MovingAverageCurve(Gather(), Options);
}

TVxMovingAverage::TVxMovingAverage(QObject* AOwner) : TVxFunctionSeries(AOwner) {
    auto calc = std::make_unique<TVxMovingAverageCalculation>();
    FAvg = calc.get();
    SetCalculation(std::move(calc));
    FMinCount = 3;
    RegisterDoubleGetter(QStringLiteral("N"),
                         QStringLiteral("Count/Distance of values used for averaging"), this,
                         GlobalDoubleGetters(), [this] { return N(); });
    RegisterDoubleGetter(QStringLiteral("ExponentialFactorForN"),
                         QStringLiteral("Factor (<1) to multiply n\u00b11 th value for "
                                        "exponential decay of weighting"),
                         this, GlobalDoubleGetters(), [this] { return ExponentialFactorForN(); });
}

void TVxMovingAverage::SetAveragingMethod(TVxAveragingMethod Value) {
    if (Value == AveragingMethod())
        return;
    RecordUndo("Moving average averaging method", "AveragingMethod");
    FAvg->Options.Method = Value;
    Recalculate();
}

void TVxMovingAverage::SetAveragingDirection(TVxAveragingDirection Value) {
    if (Value == AveragingDirection())
        return;
    RecordUndo("Moving average averaging directions", "AveragingDirection");
    FAvg->Options.Direction = Value;
    Recalculate();
}

void TVxMovingAverage::SetAveragingRangeMethod(TVxAveragingRangeMethod Value) {
    if (Value == AveragingRangeMethod())
        return;
    RecordUndo("Moving average by count/diatance", "AveragingRangeMethod");
    FAvg->Options.RangeMethod = Value;
    Recalculate();
}

void TVxMovingAverage::SetN(double Value) {
    if (!std::isfinite(Value))
        return;
    Value = std::abs(Value);
    if (!Differs(Value, N()))
        return;
    RecordUndo("Moving average N", "N");
    FAvg->Options.N = Value;
    Recalculate();
}

void TVxMovingAverage::SetExponentialFactorForN(double Value) {
    if (std::isnan(Value))
        return;
    Value = std::abs(Value);
    if (Value > 1)
        Value = 1;
    if (!Differs(Value, ExponentialFactorForN()))
        return;
    RecordUndo("Moving average exponential factor for N", "ExponentialFactorForN");
    FAvg->Options.ExponentialFactorForN = Value;
    Recalculate();
}

void TVxMovingAverage::SetAveragingMethodOrdinal(int Value) {
    if (Value >= 0 && Value <= LastMethod)
        SetAveragingMethod(TVxAveragingMethod(Value));
}

void TVxMovingAverage::SetAveragingDirectionOrdinal(int Value) {
    if (Value >= 0 && Value <= LastDirection)
        SetAveragingDirection(TVxAveragingDirection(Value));
}

void TVxMovingAverage::SetAveragingRangeMethodOrdinal(int Value) {
    if (Value >= 0 && Value <= LastRangeMethod)
        SetAveragingRangeMethod(TVxAveragingRangeMethod(Value));
}

QString TVxMovingAverage::Formula() const {
    switch (AveragingMethod()) {
    case TVxAveragingMethod::Simple:
        return QStringLiteral("Simple moving average (all values equally weighted)");
    case TVxAveragingMethod::LinearWeighted:
        return QStringLiteral("Weight the values linear with the distance");
    case TVxAveragingMethod::ExponentiallyWeighted:
        break;
    }
    return QStringLiteral("Weight the values exponentially with the distance");
}

// ---------------------------------------------------------------------------------------------
// Records

void TVxMovingAverage::WriteTo(QIODevice& Stream) const {
    TVxFunctionSeries::WriteTo(Stream);
    TVxStreamWriter out(Stream);
    out.WriteByte(uint8_t(AveragingMethod()));
    out.WriteByte(uint8_t(AveragingDirection()));
    out.WriteByte(uint8_t(AveragingRangeMethod()));
    out.WriteDouble(N());
    out.WriteDouble(ExponentialFactorForN());
    out.WriteContinuation(false);
}

void TVxMovingAverage::ReadFrom(QIODevice& Stream) {
    TVxFunctionSeries::ReadFrom(Stream);
    ReadNamedRecord(metaObject()->className(), [&] {
        TVxStreamReader in(Stream);
        const int method = in.ReadEnum(LastMethod);
        const int direction = in.ReadEnum(LastDirection);
        const int range = in.ReadEnum(LastRangeMethod);
        const double n = in.ReadDouble();
        const double factor = in.ReadDouble();
        CheckEndMarker(in.ReadByte(), "after the exponential factor");
        SetAveragingMethodOrdinal(method);
        SetAveragingDirectionOrdinal(direction);
        SetAveragingRangeMethodOrdinal(range);
        SetN(n);
        SetExponentialFactorForN(factor);
    });
}

void TVxMovingAverage::WriteXmlContent(pugi::xml_node Element) const {
    TVxFunctionSeries::WriteXmlContent(Element);
    pugi::xml_node e = Element.append_child("MovingAverage");
    SetXmlInt(e, "AveragingMethod", int(AveragingMethod()));
    SetXmlInt(e, "AveragingDirection", int(AveragingDirection()));
    SetXmlInt(e, "AveragingRangeMethod", int(AveragingRangeMethod()));
    SetXmlFloat(e, "N", N());
    SetXmlFloat(e, "ExponentialFactorForN", ExponentialFactorForN());
}

void TVxMovingAverage::ReadFrom(pugi::xml_node Element) {
    TVxFunctionSeries::ReadFrom(Element);
    ReadNamedRecord(metaObject()->className(), [&] {
        const pugi::xml_node e = Element.child("MovingAverage");
        if (!e)
            return;
        const int method =
            XmlIntInRange(e, "AveragingMethod", 0, LastMethod, int(AveragingMethod()));
        const int direction =
            XmlIntInRange(e, "AveragingDirection", 0, LastDirection, int(AveragingDirection()));
        const int range = XmlIntInRange(e, "AveragingRangeMethod", 0, LastRangeMethod,
                                        int(AveragingRangeMethod()));
        const double n = XmlFloat(e, "N", N());
        const double factor = XmlFloat(e, "ExponentialFactorForN", ExponentialFactorForN());
        SetAveragingMethodOrdinal(method);
        SetAveragingDirectionOrdinal(direction);
        SetAveragingRangeMethodOrdinal(range);
        SetN(n);
        SetExponentialFactorForN(factor);
    });
}

void TVxMovingAverage::WriteTo(TVxIniFile& Ini, const QString& Section) const {
    TVxFunctionSeries::WriteTo(Ini, Section);
    Ini.WriteInteger(Section, "AveragingMethod", int(AveragingMethod()));
    Ini.WriteInteger(Section, "AveragingDirection", int(AveragingDirection()));
    Ini.WriteInteger(Section, "AveragingRangeMethod", int(AveragingRangeMethod()));
    Ini.WriteFloat(Section, "N", N());
    Ini.WriteFloat(Section, "ExponentialFactorForN", ExponentialFactorForN());
}

void TVxMovingAverage::ReadFrom(const TVxIniFile& Ini, const QString& Section) {
    TVxFunctionSeries::ReadFrom(Ini, Section);
    ReadNamedRecord(metaObject()->className(), [&] {
        const int method =
            IniOrdinal(Ini, Section, "AveragingMethod", LastMethod, int(AveragingMethod()));
        const int direction = IniOrdinal(Ini, Section, "AveragingDirection", LastDirection,
                                         int(AveragingDirection()));
        const int range = IniOrdinal(Ini, Section, "AveragingRangeMethod", LastRangeMethod,
                                     int(AveragingRangeMethod()));
        const double n = Ini.ReadFloat(Section, "N", N());
        const double factor =
            Ini.ReadFloat(Section, "ExponentialFactorForN", ExponentialFactorForN());
        SetAveragingMethodOrdinal(method);
        SetAveragingDirectionOrdinal(direction);
        SetAveragingRangeMethodOrdinal(range);
        SetN(n);
        SetExponentialFactorForN(factor);
    });
}
