// The saved forms of a double vector: binary record (file or stream), XML element and ini
// section. A vector bound to a data source stores the binding instead of its values.

#include "persistence/AtomicFile.h"
#include "persistence/BinaryStream.h"
#include "persistence/IniFile.h"
#include "persistence/LargeBuffer.h"
#include "persistence/XmlCodec.h"
#include "util/ComponentPaths.h"
#include "util/Exceptions.h"
#include "util/InvariantText.h"
#include "util/NumberExtraction.h"
#include "vectors/DoubleVector.h"

#include <QBuffer>
#include <QFile>
#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <string>
#include <string_view>

namespace {

constexpr const char* NoneText = "None";

// The values as invariant numbers separated by single spaces, zero-terminated: the text
// of a vector's "Values" element in the tree (files hold one "Item" line per value) and
// its ini value. Room for the longest texts is taken at once (a reused large room for many
// values) and not cleared, so the text is neither moved nor written twice.
struct TValueListText {
    TVxRoom Text;
    size_t Size = 0;
};

TValueListText ValueListText(std::span<const double> Values) {
    // At most InvariantTextMaxLength - 7 characters and a space each, and room for the
    // longest writes of the last.
    const size_t capacity = Values.size() * (InvariantTextMaxLength - 6) + InvariantTextMaxLength;
    TValueListText result{AcquireRoom(capacity), 0};
    if (!result.Text)
        throw std::bad_alloc();
    char* const begin = result.Text.get();
    char* out = begin;
    for (const double value : Values) {
        out = FloatToInvariantChars(value, out);
        *out++ = ' ';
    }
    if (out != begin)
        --out;
    *out = '\0';
    result.Size = size_t(out - begin);
    return result;
}

// The number of values in the layout ValueListText gives: numbers separated by single
// spaces. The spaces are counted sixteen bytes at a time (a compiler vector type).
size_t PlainListCount(std::string_view Text) {
    if (Text.empty())
        return 0;
    using TBytes = unsigned char __attribute__((vector_size(16)));
    const char* p = Text.data();
    const char* const end = p + Text.size();
    size_t spaces = 0;
    while (end - p >= 16) {
        // Up to 255 blocks add into one byte per lane before they are summed.
        TBytes lanes{};
        for (int block = 0; block < 255 && end - p >= 16; ++block, p += 16) {
            TBytes bytes;
            std::memcpy(&bytes, p, 16);
            lanes -= (TBytes)(bytes == (TBytes{} + ' '));
        }
        for (int k = 0; k < 16; ++k)
            spaces += lanes[k];
    }
    spaces += size_t(std::count(p, end, ' '));
    return spaces + 1;
}

// Reads that layout into Values (room for PlainListCount); false for anything else, which
// the general list reader then takes.
bool ReadPlainList(std::string_view Text, double* Values) {
    const char* p = Text.data();
    const char* end = p + Text.size();
    while (true) {
        const char* stop = static_cast<const char*>(std::memchr(p, ' ', size_t(end - p)));
        if (stop == nullptr)
            stop = end;
        if (stop == p || !TryInvariantTextToFloat(std::string_view(p, size_t(stop - p)), *Values))
            return false;
        ++Values;
        if (stop == end)
            return true;
        p = stop + 1;
    }
}

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
    const QByteArray path = ComponentPath(this).toUtf8();
    if (!FDBData) // room for the whole record: the values are copied once
        out.Reserve(64 + path.size() + qint64(FCount) * 8 + qint64(Outliers().GetCount()) * 4);
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
        if (in.BytesLeft() >= qint64(count) * 8) {
            // The stream holds them all: one block read straight into the storage, which
            // is not zeroed first.
            double* storage = LoadStorage(count);
            try {
                in.ReadDoubles(std::span<double>(storage, size_t(count)));
            } catch (const EVxStreamError&) {
                FCount = 0; // a device that failed mid-block: none of the values is sure
                throw;
            }
        } else {
            SetValuesDirect(in.ReadDoubles(count));
        }
    }
    if (in.ReadBool()) {
        const int32_t count = in.ReadCount(4);
        for (int32_t k = 0; k < count; ++k)
            AddOutlier(in.ReadInt32());
    }
    in.ReadByte();
}

void TVxDoubleVector::ReadXmlItems(pugi::xml_node Values) {
    // The children are counted first (the document holds them, so the count is safe to
    // allocate from) and read straight into the storage.
    int count = 0;
    for (pugi::xml_node item = Values.first_child(); item; item = item.next_sibling())
        if (++count == std::numeric_limits<int>::max())
            throw EVxStreamError("Too many values in the XML record of a vector");
    double* storage = LoadStorage(count);
    int read = 0;
    try {
        for (pugi::xml_node item = Values.first_child(); item; item = item.next_sibling())
            storage[read++] = InvariantTextToFloat(std::string_view(item.text().get()));
    } catch (const EVxConvertError&) {
        FCount = read; // the vector keeps what was read before the bad text
        throw;
    }
}

void TVxDoubleVector::ReadValueList(std::string_view Text, bool Strict) {
    // The layout this library writes is read straight into the storage (its count comes
    // from the text itself, so it is safe to allocate from).
    const size_t count = PlainListCount(Text);
    bool plain = count > 0 && count < size_t(std::numeric_limits<int>::max());
    if (plain) {
        plain = ReadPlainList(Text, LoadStorage(int(count)));
        if (!plain)
            FCount = 0;
    }
    if (plain)
        return;
    std::vector<double> values;
    if (Strict) {
        // Words separated by any white space, each of them a number: the first that is
        // not raises, and the values before it are kept.
        const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
        const char* p = Text.data();
        const char* end = p + Text.size();
        try {
            while (true) {
                while (p != end && space(*p))
                    ++p;
                if (p == end)
                    break;
                const char* word = p;
                while (p != end && !space(*p))
                    ++p;
                values.push_back(InvariantTextToFloat(std::string_view(word, size_t(p - word))));
            }
        } catch (const EVxConvertError&) {
            AddRange(std::span<const double>(values));
            throw;
        }
        AddRange(std::span<const double>(values));
        return;
    }
    // Any other layout: the general list reader, which skips any separators and stops at
    // the first bad number, keeping the values before it.
    const QString text = QString::fromUtf8(Text.data(), qsizetype(Text.size())).trimmed();
    if (text != NoneText) {
        TVxNumberListReader reader(text);
        try {
            while (!reader.AtEnd())
                values.push_back(reader.ReadFloat());
        } catch (const EVxConvertError&) {
            AddRange(std::span<const double>(values));
            throw;
        }
    }
    AddRange(std::span<const double>(values));
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
        if (FCount > 0) {
            const TValueListText text = ValueListText(InternalArray());
            values.text().set(text.Text.get(), text.Size);
        }
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
        // Item elements (a document built or parsed elsewhere), or the one text that
        // LoadXmlDocument and WriteTo give.
        if (first.find_child(
                [](pugi::xml_node Child) { return Child.type() == pugi::node_element; }))
            ReadXmlItems(first);
        else
            ReadValueList(first.text().get(), /*Strict=*/true);
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
        const std::span<const double> values = InternalArray();
        if (values.empty()) {
            Ini.WriteString(Section, "Values", NoneText);
        } else {
            TValueListText text = ValueListText(values);
            Ini.WriteUtf8(Section, "Values", std::move(text.Text), text.Size);
        }
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
        std::string_view bytes;
        if (Ini.ReadUtf8(Section, "Values", bytes) && bytes != NoneText)
            ReadValueList(bytes, /*Strict=*/false);
    }
    const QString outliers = Ini.ReadString(Section, "Outliers", NoneText);
    if (outliers != NoneText) {
        TVxNumberListReader reader(outliers);
        while (!reader.AtIntegerEnd())
            AddOutlier(reader.ReadInteger());
    }
}
