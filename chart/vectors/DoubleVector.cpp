#include "vectors/DoubleVector.h"

TVxDoubleVector::TVxDoubleVector(QObject* AOwner)
    : TVxCustomDoubleVector(AOwner),
      FDataLink(std::make_unique<TVxListLink>([this] { DataLinkChanged(); })) {}

TVxDoubleVector::~TVxDoubleVector() {
    BeginDestruction();
}

const double* TVxDoubleVector::Values() const {
    return ValueData().data();
}

void TVxDoubleVector::AddRange(std::span<const double> Values) {
    AppendBlock(Values.data(), int(Values.size()));
}
void TVxDoubleVector::AddRange(std::span<const float> Values) {
    AppendBlock(Values.data(), int(Values.size()));
}
void TVxDoubleVector::AddRange(std::span<const int32_t> Values) {
    AppendBlock(Values.data(), int(Values.size()));
}
void TVxDoubleVector::AddRange(std::span<const long double> Values) {
    AppendBlock(Values.data(), int(Values.size()));
}

void TVxDoubleVector::SetInternalArray(std::vector<double> Values) {
    AdoptValues(std::move(Values));
}

void TVxDoubleVector::SetDataSource(TVxDataSource* Source) {
    TVxDataSource* old = FDataLink->DataSource();
    if (Source == old)
        return;
    if (old != nullptr)
        RemoveFreeNotification(old);
    FDataLink->SetDataSource(Source);
    if (Source != nullptr) {
        FreeNotification(Source);
        FDBData = true;
        FUpdateDB = true;
        Clear(true);
    } else {
        FDBData = false;
    }
}

void TVxDoubleVector::SetDataField(const QString& Field) {
    FDataField = Field;
    FDBData = true;
    FUpdateDB = true;
    Clear(true);
}

void TVxDoubleVector::Notification(TVxComponent* AComponent, TVxOperation Operation) {
    if (Operation == TVxOperation::opRemove && FDataLink->Follows(AComponent)) {
        FDataLink->SetDataSource(nullptr);
        FDBData = false;
    }
    TVxCustomDoubleVector::Notification(AComponent, Operation);
}

void TVxDoubleVector::DataLinkChanged() {
    if (FDBData && !FSetting && !IsDestroying() && FDataLink->HasDataSet())
        FUpdateDB = true;
}

void TVxDoubleVector::UpdateDB() {
    if (!FDBData || !FUpdateDB || FSetting)
        return;
    TVxDataSource* source = FDataLink->DataSource();
    if (source == nullptr || FDataField.isEmpty()) {
        FDBData = false;
        return;
    }
    if (!source->IsActive())
        return;
    FSetting = true;
    try {
        LoadFromDataSource(*source);
    } catch (...) {
        FSetting = false;
        throw;
    }
    ResetStatistics();
    SendResetMessage();
    FSetting = false;
    FUpdateDB = false;
}

// A null field (or one that is no number) reads as 0 marked as an outlier, except on the
// last record, where it is skipped; a missing field loads nothing.
void TVxDoubleVector::LoadFromDataSource(TVxDataSource& Source) {
    Source.FetchAll();
    FCount = 0;
    ValuesChangedFrom(0);
    ClearOutlieresQuietly();
    const int records = Source.RecordCount();
    if (GetCapacity() < records)
        SetCapacity(records);
    const std::optional<int> column = Source.FieldColumn(FDataField);
    if (!column)
        return;
    for (int record = 0; record < records; ++record) {
        const QVariant value = Source.FieldValue(record, *column);
        bool ok = false;
        const double number = value.isNull() ? 0.0 : value.toDouble(&ok);
        if (ok) {
            SetCountDirect(FCount + 1);
            Storage()[FCount - 1] = number;
        } else if (record < records - 1) {
            SetCountDirect(FCount + 1);
            Storage()[FCount - 1] = 0.0;
            MarkOutlierQuietly(FCount - 1);
        }
    }
}
