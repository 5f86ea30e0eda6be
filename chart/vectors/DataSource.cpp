#include "vectors/DataSource.h"

TVxDataSource::TVxDataSource(QObject* AOwner) : TVxComponent(AOwner) {}

TVxDataSource::~TVxDataSource() {
    BeginDestruction();
}

void TVxDataSource::SetDataSet(QAbstractItemModel* Model) {
    if (Model == FDataSet)
        return;
    for (const QMetaObject::Connection& connection : FConnections)
        disconnect(connection);
    FConnections.clear();
    FDataSet = Model;
    Connect();
    emit DataChanged();
}

void TVxDataSource::SetEnabled(bool Value) {
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    emit DataChanged();
}

void TVxDataSource::Connect() {
    if (FDataSet == nullptr)
        return;
    auto changed = [this] { emit DataChanged(); };
    QAbstractItemModel* model = FDataSet;
    FConnections = {
        connect(model, &QAbstractItemModel::dataChanged, this, changed),
        connect(model, &QAbstractItemModel::rowsInserted, this, changed),
        connect(model, &QAbstractItemModel::rowsRemoved, this, changed),
        connect(model, &QAbstractItemModel::rowsMoved, this, changed),
        connect(model, &QAbstractItemModel::modelReset, this, changed),
        connect(model, &QAbstractItemModel::layoutChanged, this, changed),
        connect(model, &QObject::destroyed, this, changed),
    };
}

void TVxDataSource::FetchAll() const {
    if (FDataSet == nullptr)
        return;
    while (FDataSet->canFetchMore(QModelIndex()))
        FDataSet->fetchMore(QModelIndex());
}

int TVxDataSource::RecordCount() const {
    return FDataSet ? FDataSet->rowCount() : 0;
}

std::optional<int> TVxDataSource::FieldColumn(const QString& Field) const {
    if (FDataSet == nullptr)
        return std::nullopt;
    for (int column = 0; column < FDataSet->columnCount(); ++column)
        if (FDataSet->headerData(column, Qt::Horizontal)
                .toString()
                .compare(Field, Qt::CaseInsensitive) == 0)
            return column;
    return std::nullopt;
}

QVariant TVxDataSource::FieldValue(int Record, int Column) const {
    if (FDataSet == nullptr)
        return {};
    return FDataSet->data(FDataSet->index(Record, Column));
}

TVxListLink::TVxListLink(std::function<void()> OnChange) : FOnChange(std::move(OnChange)) {}

void TVxListLink::SetDataSource(TVxDataSource* Source) {
    if (static_cast<QObject*>(Source) == FSourceObject.data())
        return;
    disconnect(FConnection);
    FDataSource = Source;
    FSourceObject = Source;
    if (Source != nullptr)
        FConnection = connect(Source, &TVxDataSource::DataChanged, this, [this] { FOnChange(); });
}
