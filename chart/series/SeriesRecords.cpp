// The saved record of a series in a binary stream (or a file holding one), an XML element
// and an ini section: the base record that every kind writes first. References to vectors,
// axes and other series are kept with the kind they must name and resolve at the end of
// the read (or with the loader's collection), so a record may name a series read later; a
// component of another kind resolves to none.

#include "persistence/AtomicFile.h"
#include "persistence/BinaryStream.h"
#include "persistence/IniFile.h"
#include "persistence/PendingReferences.h"
#include "persistence/RecordErrors.h"
#include "persistence/XmlCodec.h"
#include "series/Series.h"
#include "styles/StyleRecords.h"
#include "util/ComponentPaths.h"
#include "vectors/Indexer.h"

#include <QBuffer>
#include <QFile>
#include <array>

namespace {

constexpr int LastSymbol = int(TVxPointSymbol::Nabla);

// The six references in the order they are written.
const char* const LinkNames[6] = {"XData",     "YData", "XAxis", "YAxis", "MergeLegendItemWith",
                                  "DrawBandTo"};

} // namespace

// ---------------------------------------------------------------------------------------------
// References

namespace {

// The path of each reference; the series' own indexer is written as "".
std::array<QString, 6> LinkPaths(const QObject* XData, const QObject* YData, const QObject* Indexer,
                                 const QObject* XAxis, const QObject* YAxis, const QObject* Merge,
                                 const QObject* Band) {
    const auto vectorPath = [Indexer](const QObject* v) {
        return v == Indexer ? QString() : ComponentPath(v);
    };
    return {vectorPath(XData),    vectorPath(YData),    ComponentPath(XAxis),
            ComponentPath(YAxis), ComponentPath(Merge), ComponentPath(Band)};
}

} // namespace

// Keeps reference Link (index into LinkNames) with its path; it is applied through its
// setter once resolved. A band or merge partner that names the series itself is none.
static void AddLink(TVxReferenceReader& Refs, TVxSeries* Series, int Link, const QString& Path) {
    switch (Link) {
    case 0:
        Refs.Add(Series, Path, TVxCustomDoubleVector::staticMetaObject, [Series](QObject* c) {
            Series->SetXData(qobject_cast<TVxCustomDoubleVector*>(c));
        });
        break;
    case 1:
        Refs.Add(Series, Path, TVxCustomDoubleVector::staticMetaObject, [Series](QObject* c) {
            Series->SetYData(qobject_cast<TVxCustomDoubleVector*>(c));
        });
        break;
    case 2:
        Refs.Add(Series, Path, TVxAxis::staticMetaObject,
                 [Series](QObject* c) { Series->SetXAxis(qobject_cast<TVxAxis*>(c)); });
        break;
    case 3:
        Refs.Add(Series, Path, TVxAxis::staticMetaObject,
                 [Series](QObject* c) { Series->SetYAxis(qobject_cast<TVxAxis*>(c)); });
        break;
    case 4:
        Refs.Add(Series, Path, TVxSeries::staticMetaObject, [Series](QObject* c) {
            Series->SetMergeLegendItemWith(c == Series ? nullptr : qobject_cast<TVxSeries*>(c));
        });
        break;
    default:
        Refs.Add(Series, Path, TVxLineSeries::staticMetaObject, [Series](QObject* c) {
            Series->SetDrawBandTo(c == Series ? nullptr : qobject_cast<TVxLineSeries*>(c));
        });
        break;
    }
}

// ---------------------------------------------------------------------------------------------
// Binary stream

void TVxSeries::WriteTo(QIODevice& Stream) const {
    TVxStreamWriter out(Stream);
    out.WriteText(QString::fromLatin1(metaObject()->className()));
    out.WriteComponent(this);
    out.WriteText(FCaption);
    out.WriteBool(FVisible);
    out.WriteBool(FOutliersVisible);
    out.WriteBool(FIncludeInLegend);
    out.WriteBool(FAutoUpdate);
    out.WriteInt32(FLayer);
    WriteLineSettings(out, *FLine);
    WriteAreaSettings(out, *FArea);
    const std::array<QString, 6> paths =
        LinkPaths(FXData.data(), FYData.data(), FIndexer, FXAxis.data(), FYAxis.data(),
                  FMergeLegendItemWith.data(), FDrawBandTo.data());
    for (int k = 0; k < 4; ++k)
        out.WriteText(paths[size_t(k)]);
    out.WriteContinuation(true);
    out.WriteText(paths[4]);
    out.WriteText(paths[5]);
    out.WriteContinuation(false);
    if (FDoPointSettingsStorage) {
        out.WriteBool(FPointSymbol->Visible());
        out.WriteSingle(FPointSymbol->Size());
        out.WriteSingle(FPointSymbol->BorderLineWidth());
        out.WriteColor(FPointSymbol->BorderColor());
        out.WriteColor(FPointSymbol->FillColor());
        out.WriteByte(uint8_t(FPointSymbol->PointSymbol()));
        out.WriteContinuation(false);
    }
}

void TVxSeries::ReadFrom(QIODevice& Stream) {
    TVxReferenceReader refs;
    ReadNamedRecord(metaObject()->className(), [&] {
        TVxStreamReader in(Stream);
        in.ReadText(); // the class and the path name the series that was saved
        in.ReadText();
        SetCaption(in.ReadText());
        SetVisible(in.ReadBool());
        SetOutliersVisible(in.ReadBool());
        SetIncludeInLegend(in.ReadBool());
        FAutoUpdate = in.ReadBool();
        SetLayer(in.ReadInt32());
        ReadLineSettings(in, *FLine);
        ReadAreaSettings(in, *FArea);
        for (int k = 0; k < 4; ++k)
            AddLink(refs, this, k, in.ReadText());
        if (in.ReadContinuation()) {
            AddLink(refs, this, 4, in.ReadText());
            AddLink(refs, this, 5, in.ReadText());
            CheckEndMarker(in.ReadByte(), "after the references");
        }
        if (FDoPointSettingsStorage) {
            FPointSymbol->SetVisible(in.ReadBool());
            FPointSymbol->SetSize(in.ReadSingle());
            FPointSymbol->SetBorderLineWidth(in.ReadSingle());
            FPointSymbol->SetBorderColor(in.ReadColor());
            FPointSymbol->SetFillColor(in.ReadColor());
            FPointSymbol->SetPointSymbol(TVxPointSymbol(in.ReadEnum(LastSymbol)));
            CheckEndMarker(in.ReadByte(), "after the point symbol");
        }
    });
    refs.Finish();
}

void TVxSeries::WriteTo(const QString& FileName) const {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    WriteTo(static_cast<QIODevice&>(buffer));
    WriteFileAtomically(FileName, buffer.data());
}

void TVxSeries::ReadFrom(const QString& FileName) {
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EVxStreamError(QString("Cannot open %1: %2").arg(FileName, file.errorString()));
    ReadFrom(static_cast<QIODevice&>(file));
}

// ---------------------------------------------------------------------------------------------
// XML

void TVxSeries::WriteTo(pugi::xml_node Node) const {
    pugi::xml_node element = Node.append_child(metaObject()->className());
    SetXmlText(element, "Name", ComponentPath(this));
    WriteXmlContent(element);
}

void TVxSeries::WriteXmlContent(pugi::xml_node Element) const {
    SetXmlElementText(Element.append_child("Caption"), FCaption);
    pugi::xml_node props = Element.append_child("Properties");
    SetXmlBool(props, "Visible", FVisible);
    SetXmlBool(props, "OutliersVisible", FOutliersVisible);
    SetXmlBool(props, "AutoUpdate", FAutoUpdate);
    SetXmlBool(props, "IncludeInLegend", FIncludeInLegend);
    SetXmlInt(props, "Layer", FLayer);
    WriteLineSettings(Element, "Line", *FLine);
    WriteAreaSettings(Element, *FArea);
    pugi::xml_node links = Element.append_child("Links");
    const std::array<QString, 6> paths =
        LinkPaths(FXData.data(), FYData.data(), FIndexer, FXAxis.data(), FYAxis.data(),
                  FMergeLegendItemWith.data(), FDrawBandTo.data());
    for (int k = 0; k < 6; ++k)
        SetXmlText(links, LinkNames[k], paths[size_t(k)]);
    if (FDoPointSettingsStorage) {
        pugi::xml_node symbol = Element.append_child("PointSymbol");
        SetXmlBool(symbol, "Visible", FPointSymbol->Visible());
        SetXmlFloat(symbol, "Size", FPointSymbol->Size());
        SetXmlFloat(symbol, "BorderLineWidth", FPointSymbol->BorderLineWidth());
        SetXmlColor(symbol, "BorderColor", FPointSymbol->BorderColor());
        SetXmlColor(symbol, "FillColor", FPointSymbol->FillColor());
        SetXmlInt(symbol, "Symbol", int(FPointSymbol->PointSymbol()));
    }
}

void TVxSeries::ReadFrom(pugi::xml_node Element) {
    TVxReferenceReader refs;
    ReadNamedRecord(metaObject()->className(), [&] {
        if (const pugi::xml_node caption = Element.child("Caption"))
            SetCaption(XmlElementText(caption));
        const pugi::xml_node props = Element.child("Properties");
        SetVisible(XmlBool(props, "Visible", FVisible));
        SetOutliersVisible(XmlBool(props, "OutliersVisible", FOutliersVisible));
        FAutoUpdate = XmlBool(props, "AutoUpdate", FAutoUpdate);
        SetIncludeInLegend(XmlBool(props, "IncludeInLegend", FIncludeInLegend));
        SetLayer(XmlInt(props, "Layer", FLayer));
        ReadLineSettings(Element, "Line", *FLine);
        ReadAreaSettings(Element, *FArea);
        const pugi::xml_node links = Element.child("Links");
        for (int k = 0; k < 6; ++k)
            if (links.attribute(LinkNames[k]))
                AddLink(refs, this, k, XmlText(links, LinkNames[k]));
        const pugi::xml_node symbol = Element.child("PointSymbol");
        if (FDoPointSettingsStorage && symbol) {
            TVxPointSymbolSettings& p = *FPointSymbol;
            p.SetVisible(XmlBool(symbol, "Visible", p.Visible()));
            p.SetSize(float(XmlFloat(symbol, "Size", p.Size())));
            p.SetBorderLineWidth(float(XmlFloat(symbol, "BorderLineWidth", p.BorderLineWidth())));
            p.SetBorderColor(XmlColor(symbol, "BorderColor", p.BorderColor()));
            p.SetFillColor(XmlColor(symbol, "FillColor", p.FillColor()));
            p.SetPointSymbol(TVxPointSymbol(
                XmlIntInRange(symbol, "Symbol", 0, LastSymbol, int(p.PointSymbol()))));
        }
    });
    refs.Finish();
}

// ---------------------------------------------------------------------------------------------
// Ini

void TVxSeries::WriteTo(TVxIniFile& Ini, const QString& Section) const {
    const QString& s = Section;
    Ini.WriteString(s, "Type", QString::fromLatin1(metaObject()->className()));
    Ini.WriteString(s, "Name", ComponentPath(this));
    Ini.WriteCaption(s, "Caption", FCaption);
    Ini.WriteBool(s, "Visible", FVisible);
    Ini.WriteBool(s, "OutliersVisible", FOutliersVisible);
    Ini.WriteBool(s, "AutoUpdate", FAutoUpdate);
    Ini.WriteBool(s, "IncludeInLegend", FIncludeInLegend);
    Ini.WriteInteger(s, "Layer", FLayer);
    WriteLineSettings(Ini, s, "Line", *FLine);
    WriteAreaSettings(Ini, s, "Area", *FArea);
    const std::array<QString, 6> paths =
        LinkPaths(FXData.data(), FYData.data(), FIndexer, FXAxis.data(), FYAxis.data(),
                  FMergeLegendItemWith.data(), FDrawBandTo.data());
    for (int k = 0; k < 6; ++k)
        Ini.WriteString(s, LinkNames[k], paths[size_t(k)]);
    if (FDoPointSettingsStorage) {
        Ini.WriteBool(s, "PointSymbol.Visible", FPointSymbol->Visible());
        Ini.WriteFloat(s, "PointSymbol.Size", FPointSymbol->Size());
        Ini.WriteFloat(s, "PointSymbol.BorderLineWidth", FPointSymbol->BorderLineWidth());
        Ini.WriteColor(s, "PointSymbol.BorderColor", FPointSymbol->BorderColor());
        Ini.WriteColor(s, "PointSymbol.FillColor", FPointSymbol->FillColor());
        Ini.WriteInteger(s, "PointSymbol.Symbol", int(FPointSymbol->PointSymbol()));
    }
}

void TVxSeries::ReadFrom(const TVxIniFile& Ini, const QString& Section) {
    TVxReferenceReader refs;
    ReadNamedRecord(metaObject()->className(), [&] {
        const QString& s = Section;
        SetCaption(Ini.ReadCaption(s, "Caption", FCaption));
        SetVisible(Ini.ReadBool(s, "Visible", FVisible));
        SetOutliersVisible(Ini.ReadBool(s, "OutliersVisible", FOutliersVisible));
        FAutoUpdate = Ini.ReadBool(s, "AutoUpdate", FAutoUpdate);
        SetIncludeInLegend(Ini.ReadBool(s, "IncludeInLegend", FIncludeInLegend));
        SetLayer(Ini.ReadInteger(s, "Layer", FLayer));
        ReadLineSettings(Ini, s, "Line", *FLine);
        ReadAreaSettings(Ini, s, "Area", *FArea);
        for (int k = 0; k < 6; ++k)
            if (Ini.ValueExists(s, LinkNames[k]))
                AddLink(refs, this, k, Ini.ReadString(s, LinkNames[k], {}));
        if (FDoPointSettingsStorage) {
            TVxPointSymbolSettings& p = *FPointSymbol;
            p.SetVisible(Ini.ReadBool(s, "PointSymbol.Visible", p.Visible()));
            p.SetSize(float(Ini.ReadFloat(s, "PointSymbol.Size", p.Size())));
            p.SetBorderLineWidth(
                float(Ini.ReadFloat(s, "PointSymbol.BorderLineWidth", p.BorderLineWidth())));
            p.SetBorderColor(Ini.ReadColor(s, "PointSymbol.BorderColor", p.BorderColor()));
            p.SetFillColor(Ini.ReadColor(s, "PointSymbol.FillColor", p.FillColor()));
            const int symbol = Ini.ReadInteger(s, "PointSymbol.Symbol", int(p.PointSymbol()));
            if (symbol < 0 || symbol > LastSymbol)
                throw EVxStreamError("value " + std::to_string(symbol) +
                                     " of PointSymbol.Symbol out of range");
            p.SetPointSymbol(TVxPointSymbol(symbol));
        }
    });
    refs.Finish();
}
