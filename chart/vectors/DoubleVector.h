#pragma once
// The double vector component a program places: bulk loading, optional binding to a
// field of a data source, and (elsewhere) persistence.

#include "vectors/CustomDoubleVector.h"
#include "vectors/DataSource.h"

#include <QIODevice>
#include <memory>
#include <pugixml.hpp>
#include <span>
#include <string_view>

class TVxIniFile;

class TVxDoubleVector : public TVxCustomDoubleVector {
    Q_OBJECT
    Q_PROPERTY(bool PersistentValues READ PersistentValues WRITE SetPersistentValues)
    Q_PROPERTY(QString DataField READ DataField WRITE SetDataField)
    Q_PROPERTY(TVxDataSource* DataSource READ DataSource WRITE SetDataSource)

public:
    explicit TVxDoubleVector(QObject* AOwner = nullptr);
    ~TVxDoubleVector() override;

    /// Appends all values (converted to double), then resets the statistics.
    void AddRange(std::span<const double> Values);
    void AddRange(std::span<const float> Values);
    void AddRange(std::span<const int32_t> Values);
    void AddRange(std::span<const long double> Values);

    /// Adopts Values as the storage: count and capacity become its length.
    void SetInternalArray(std::vector<double> Values);
    /// The values (count elements).
    std::span<const double> InternalArray() const { return {Values(), size_t(FCount)}; }

    /// Store the values with the form that holds the vector.
    bool PersistentValues() const { return FPersistentValues; }
    void SetPersistentValues(bool Value) { FPersistentValues = Value; }

    /// The values come from a data-source field.
    bool DBData() const { return FDBData; }
    /// The source whose records fill the vector; nullptr unbinds.
    TVxDataSource* DataSource() const { return FDataLink->DataSource(); }
    void SetDataSource(TVxDataSource* Source);
    /// The field (column name) whose values fill the vector.
    QString DataField() const { return FDataField; }
    void SetDataField(const QString& Field);
    /// Reloads from the data source when it changed since the last load.
    void UpdateDB();

    /// Saves the binary record to a file, atomically; raises EVxStreamError.
    void WriteTo(const QString& FileName) const;
    /// Loads the binary record of a file; raises EVxStreamError or EVxConvertError.
    void ReadFrom(const QString& FileName);
    /// Writes the binary record: path, Increment, Capacity, binding or values, outliers, 0.
    void WriteTo(QIODevice& Stream) const;
    /// Reads a binary record; a malformed or short record raises EVxStreamError and leaves
    /// the vector cleared or holding what was read.
    void ReadFrom(QIODevice& Stream);
    /// Appends a "TVxDoubleVector" element to Node.
    void WriteTo(pugi::xml_node Node) const;
    /// Reads the vector's own "TVxDoubleVector" element.
    void ReadFrom(pugi::xml_node Element);
    /// Writes the vector's keys into Section.
    void WriteTo(TVxIniFile& Ini, const QString& Section) const;
    /// Reads the vector's keys from Section.
    void ReadFrom(const TVxIniFile& Ini, const QString& Section);

protected:
    void Notification(TVxComponent* AComponent, TVxOperation Operation) override;

private:
    const double* Values() const;
    void DataLinkChanged();
    void LoadFromDataSource(TVxDataSource& Source);
    void BindTo(QObject* Source, const QString& Field);
    void SetValuesDirect(const std::vector<double>& Values);
    // The values of an XML record as "Item" elements, and as one list text (Strict: any
    // word that is no number raises; otherwise the general number list reader).
    void ReadXmlItems(pugi::xml_node Values);
    void ReadValueList(std::string_view Text, bool Strict);

    bool FPersistentValues = false;
    bool FDBData = false;
    bool FUpdateDB = false;
    bool FSetting = false;
    std::unique_ptr<TVxListLink> FDataLink;
    QString FDataField;
};
