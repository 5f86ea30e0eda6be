// The saved forms of a double vector: binary record (file or stream), XML element and ini
// section. A vector bound to a data source stores the binding instead of its values.

#include "persistence/AtomicFile.h"
#include "persistence/BinaryStream.h"
#include "persistence/IniFile.h"
#include "persistence/XmlCodec.h"
#include "util/ComponentPaths.h"
#include "util/Exceptions.h"
#include "util/InvariantText.h"
#include "util/NumberExtraction.h"
#include "vectors/DoubleVector.h"

#include <QBuffer>
#include <QFile>

namespace {

constexpr const char* NoneText = "None";

} // namespace

void TVxDoubleVector::BindTo(QObject* Source, const QString& Field) {
    SetDataSource(qobject_cast<TVxDataSource*>(Source));
    SetDataField(Field);
}

// Loading sets the count directly: the statistics were reset by Clear and fold lazily.
void TVxDoubleVector::SetValuesDirect(const std::vector<double>& Values) {
    SetCountDirect(int(Values.size()));
    std::copy(Values.begin(), Values.end(), Storage());
}

void TVxDoubleVector::WriteTo(const QString& FileName) const {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    WriteTo(buffer);
    WriteFileAtomically(FileName, buffer.data());
}

void TVxDoubleVector::ReadFrom(const QString& FileName) {
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EVxStreamError(QString("Cannot open %1: %2").arg(FileName, file.errorString()));
    ReadFrom(file);
}

void TVxDoubleVector::WriteTo(QIODevice& Stream) const {
    TVxStreamWriter out(Stream);
    out.WriteComponent(this);
    out.WriteInt32(FIncrement);
    out.WriteInt32(FCapacity);
    out.WriteBool(FDBData);
    if (FDBData) {
        out.WriteComponent(DataSource());
        out.WriteText(FDataField);
    } else {
        out.WriteInt32(FCount);
        out.WriteDoubles(InternalArray());
    }
    out.WriteBool(AnyOutliers());
    if (AnyOutliers()) {
        out.WriteInt32(Outliers().GetCount());
        for (int k = 0; k < Outliers().GetCount(); ++k)
            out.WriteInt32(Outliers().GetValue(k));
    }
    out.WriteByte(0);
}

void TVxDoubleVector::ReadFrom(QIODevice& Stream) {
    TVxStreamReader in(Stream);
    Clear(true);
    in.ReadText(); // the stored path names the vector that was saved, not this one
    SetIncrement(in.ReadInt32());
    SetCapacity(in.ReadInt32());
    if (in.ReadBool()) {
        QObject* source = in.ReadComponent();
        BindTo(source, in.ReadText());
    } else {
        const int32_t count = in.ReadCount(8);
        SetValuesDirect(in.ReadDoubles(count));
    }
    if (in.ReadBool()) {
        const int32_t count = in.ReadCount(4);
        for (int32_t k = 0; k < count; ++k)
            AddOutlier(in.ReadInt32());
    }
    in.ReadByte();
}

void TVxDoubleVector::WriteTo(pugi::xml_node Node) const {
    pugi::xml_node element = Node.append_child("TVxDoubleVector");
    SetXmlText(element, "Name", ComponentPath(this));
    SetXmlInt(element, "Increment", FIncrement);
    SetXmlInt(element, "Capacity", FCapacity);
    if (FDBData) {
        pugi::xml_node database = element.append_child("Database");
        SetXmlComponent(database, "DataSource", DataSource());
        SetXmlText(database, "DataField", FDataField);
    } else {
        pugi::xml_node values = element.append_child("Values");
        SetXmlInt(values, "Count", FCount);
        for (double value : InternalArray())
            values.append_child("Item").text().set(FloatToInvariantString(value).c_str());
    }
    if (AnyOutliers()) {
        pugi::xml_node outliers = element.append_child("Outliers");
        SetXmlInt(outliers, "Count", Outliers().GetCount());
        for (int k = 0; k < Outliers().GetCount(); ++k)
            outliers.append_child("Item").text().set(Outliers().GetValue(k));
    }
}

void TVxDoubleVector::ReadFrom(pugi::xml_node Element) {
    Clear(true);
    SetIncrement(XmlInt(Element, "Increment", FIncrement));
    SetCapacity(XmlInt(Element, "Capacity", FCapacity));
    const pugi::xml_node first = Element.first_child();
    if (std::string_view(first.name()) == "Database") {
        BindTo(XmlComponent(first, "DataSource"), XmlText(first, "DataField"));
    } else if (std::string_view(first.name()) == "Values") {
        std::vector<double> values;
        try {
            for (pugi::xml_node item : first.children())
                values.push_back(InvariantTextToFloat(std::string_view(item.text().get())));
        } catch (const EVxConvertError&) {
            SetValuesDirect(values);
            throw;
        }
        SetValuesDirect(values);
    }
    const pugi::xml_node second = first.next_sibling();
    if (std::string_view(second.name()) == "Outliers")
        for (pugi::xml_node item : second.children())
            AddOutlier(XmlElementInt(item));
}

void TVxDoubleVector::WriteTo(TVxIniFile& Ini, const QString& Section) const {
    Ini.WriteString(Section, "Name", ComponentPath(this));
    Ini.WriteInteger(Section, "Increment", FIncrement);
    Ini.WriteInteger(Section, "Capacity", FCapacity);
    Ini.WriteBool(Section, "FromDatabase", FDBData);
    if (FDBData) {
        Ini.WriteComponent(Section, "DataSource", DataSource());
        Ini.WriteString(Section, "DataField", FDataField);
    } else {
        QString values;
        for (double value : InternalArray()) {
            if (!values.isEmpty())
                values += ' ';
            values += FloatToInvariantText(value);
        }
        Ini.WriteString(Section, "Values", values.isEmpty() ? NoneText : values);
    }
    QString outliers;
    for (int k = 0; k < Outliers().GetCount(); ++k) {
        if (!outliers.isEmpty())
            outliers += ' ';
        outliers += QString::number(Outliers().GetValue(k));
    }
    Ini.WriteString(Section, "Outliers", outliers.isEmpty() ? NoneText : outliers);
}

void TVxDoubleVector::ReadFrom(const TVxIniFile& Ini, const QString& Section) {
    Clear(true);
    SetIncrement(Ini.ReadInteger(Section, "Increment", FIncrement));
    SetCapacity(Ini.ReadInteger(Section, "Capacity", FCapacity));
    if (Ini.ReadBool(Section, "FromDatabase", false)) {
        BindTo(Ini.ReadComponent(Section, "DataSource"), Ini.ReadString(Section, "DataField", {}));
    } else {
        const QString text = Ini.ReadString(Section, "Values", NoneText);
        if (text != NoneText) {
            std::vector<double> values;
            TVxNumberListReader reader(text);
            try {
                while (!reader.AtEnd())
                    values.push_back(reader.ReadFloat());
            } catch (const EVxConvertError&) {
                AddRange(std::span<const double>(values));
                throw;
            }
            AddRange(std::span<const double>(values));
        }
    }
    const QString outliers = Ini.ReadString(Section, "Outliers", NoneText);
    if (outliers != NoneText) {
        TVxNumberListReader reader(outliers);
        while (!reader.AtIntegerEnd())
            AddOutlier(reader.ReadInteger());
    }
}
