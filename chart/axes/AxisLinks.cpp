// The control, slave-axis and data-binding properties of an axis and the form-resource
// texts of its range: state the saved records carry beside the numeric core.

#include "axes/Axis.h"
#include "util/InvariantText.h"
#include "vectors/DataSource.h"

#include <cmath>

namespace {

// Only a value less or greater counts, so a not-a-number value is never stored.
bool Differs(double a, double b) {
    return a < b || a > b;
}

} // namespace

void TVxAxis::SetHint(const QString& Value) {
    if (Value == FHint)
        return;
    Record("Axis hint", {"Hint"});
    FHint = Value;
}

void TVxAxis::SetShowHint(bool Value) {
    if (Value == FShowHint)
        return;
    Record("Axis shows hint", {"ShowHint"});
    FShowHint = Value;
}

void TVxAxis::SetParentShowHint(bool Value) {
    if (Value == FParentShowHint)
        return;
    Record("Axis shows hint as its parent", {"ParentShowHint"});
    FParentShowHint = Value;
}

void TVxAxis::SetIsSlaveAxis(bool Value) {
    if (Value == FIsSlaveAxis || (Value && !FMasterAxis))
        return;
    Record("Axis as slave to other axis", {"Start", "Stop", "Scaling", "IsSlaveAxis"});
    FIsSlaveAxis = Value;
    Modified();
}

void TVxAxis::SetMasterAxis(TVxAxis* Value) {
    if (Value && (Value == this || Value->Horizontal() != Horizontal() || Value->IsSlaveAxis()))
        Value = nullptr;
    if (Value == FMasterAxis && FIsSlaveAxis == (Value != nullptr))
        return;
    Record("Master axis", {"Start", "Stop", "Scaling", "IsSlaveAxis", "MasterAxis"});
    FMasterAxis = Value;
    FIsSlaveAxis = Value != nullptr;
    Modified();
}

void TVxAxis::SetSlaveOffset(double Value) {
    if (!std::isfinite(Value) || !Differs(Value, FSlaveOffset))
        return;
    Record("Offset to convert master scaling", {"SlaveOffset"});
    FSlaveOffset = Value;
    Modified();
}

void TVxAxis::SetSlaveSlope(double Value) {
    if (!std::isfinite(Value) || !Differs(Value, FSlaveSlope))
        return;
    Record("Multiplier to convert master scaling", {"SlaveSlope"});
    FSlaveSlope = Value;
    Modified();
}

TVxDataSource* TVxAxis::DataSource() const {
    return qobject_cast<TVxDataSource*>(FDataSource.data());
}

void TVxAxis::SetDataSource(TVxDataSource* Value) {
    if (Value == FDataSource && FRubricsBound == (Value != nullptr))
        return;
    Record("Axis rubrics data source", {"DataSource"});
    FDataSource = Value;
    FRubricsBound = Value != nullptr;
    Modified();
}

QObject* TVxAxis::DataSourceObject() const {
    return FDataSource.data();
}

void TVxAxis::SetDataSourceObject(QObject* Value) {
    SetDataSource(qobject_cast<TVxDataSource*>(Value));
}

void TVxAxis::SetRubricsField(const QString& Value) {
    if (Value == FRubricsField && FRubricsBound)
        return;
    Record("Axis rubrics data field", {"RubricsField"});
    FRubricsField = Value;
    FRubricsBound = true;
    Modified();
}

void TVxAxis::SetCandidateParts(int Row, double Label, double Major, double Minor) {
    if (Row < 0 || Row > 2)
        return;
    for (double v : {Label, Major, Minor})
        if (!std::isfinite(v) || !(v > 0))
            return;
    const auto row = std::size_t(Row);
    if (!Differs(Label, FScale.LabelParts[row]) && !Differs(Major, FScale.MajorParts[row]) &&
        !Differs(Minor, FScale.MinorParts[row]))
        return;
    FScale.LabelParts[row] = Label;
    FScale.MajorParts[row] = Major;
    FScale.MinorParts[row] = Minor;
    Modified();
}

QVariant TVxAxis::AStart() const {
    return FloatToInvariantText(FScale.Start);
}

QVariant TVxAxis::AStop() const {
    return FloatToInvariantText(FScale.Stop);
}

void TVxAxis::SetRangeDirect(double& Field, double& Initial, double& Last, const QVariant& Value) {
    double v = 0;
    if (Value.typeId() == QMetaType::QString || Value.typeId() == QMetaType::QByteArray) {
        if (!TryInvariantTextToFloat(Value.toString(), v))
            v = 0;
    } else {
        bool ok = false;
        v = Value.toDouble(&ok);
        if (!ok)
            v = 0;
    }
    // The range holds finite values only.
    if (!std::isfinite(v))
        v = 0;
    Field = Initial = Last = v;
    FTransformDirty = true;
}

void TVxAxis::SetAStart(const QVariant& Value) {
    SetRangeDirect(FScale.Start, FInitialStart, FLastStart, Value);
}

void TVxAxis::SetAStop(const QVariant& Value) {
    SetRangeDirect(FScale.Stop, FInitialStop, FLastStop, Value);
}
