#pragma once
// Binding of chart data to a table: a data source is a named component that wraps a
// QAbstractItemModel (rows are records, columns are fields named by their horizontal
// header); a list link follows one data source and calls back when its data changes.

#include "util/Component.h"

#include <QAbstractItemModel>
#include <QMetaObject>
#include <QPointer>
#include <QVariant>
#include <functional>
#include <optional>

class TVxDataSource : public TVxComponent {
    Q_OBJECT
    Q_PROPERTY(QAbstractItemModel* DataSet READ DataSet WRITE SetDataSet)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)

public:
    explicit TVxDataSource(QObject* AOwner = nullptr);
    ~TVxDataSource() override;

    /// The table the source reads (not owned); nullptr when none.
    QAbstractItemModel* DataSet() const { return FDataSet; }
    void SetDataSet(QAbstractItemModel* Model);
    /// A disabled source reads as having no data.
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    /// The data set exists and the source is enabled.
    bool IsActive() const { return FDataSet != nullptr && FEnabled; }

    /// Loads every record the model can fetch (models may load rows lazily).
    void FetchAll() const;
    /// The number of records (after FetchAll).
    int RecordCount() const;
    /// The column of the field named Field (horizontal header), if any.
    std::optional<int> FieldColumn(const QString& Field) const;
    /// The value of a field in one record; a null QVariant for a null field.
    QVariant FieldValue(int Record, int Column) const;

signals:
    /// Field values changed, records were added or removed, or the data set was replaced.
    void DataChanged();

private:
    void Connect();

    QPointer<QAbstractItemModel> FDataSet;
    bool FEnabled = true;
    QList<QMetaObject::Connection> FConnections;
};

/// Follows one data source for a vector (or an axis' rubrics): calls OnChange whenever the
/// source reports a change, and drops the source when it is destroyed.
class TVxListLink : public QObject {
    Q_OBJECT

public:
    explicit TVxListLink(std::function<void()> OnChange);

    TVxDataSource* DataSource() const { return FDataSource; }
    void SetDataSource(TVxDataSource* Source);
    /// Whether Object is the followed source; safe while Object is being destroyed.
    bool Follows(const QObject* Object) const {
        return Object != nullptr && Object == FSourceObject;
    }
    /// The source exists and has a data set.
    bool HasDataSet() const { return FDataSource && FDataSource->DataSet() != nullptr; }

private:
    QPointer<TVxDataSource> FDataSource;
    // The same object as a plain QObject, for identity tests that must not downcast a
    // source whose destruction has begun.
    QPointer<QObject> FSourceObject;
    QMetaObject::Connection FConnection;
    std::function<void()> FOnChange;
};
