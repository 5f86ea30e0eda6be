// The saved records of price series: the series record, then the open, high and low vector
// references and the bar width, then the fields of OHLC bars or of candlesticks.

#include "persistence/BinaryStream.h"
#include "persistence/IniFile.h"
#include "persistence/PendingReferences.h"
#include "persistence/RecordErrors.h"
#include "persistence/XmlCodec.h"
#include "series/OHLC.h"
#include "util/ComponentPaths.h"

#include <pugixml.hpp>

namespace {

// Keeps a vector reference; Set applies it once resolved.
template <typename TSet>
void AddVectorLink(TVxReferenceReader& Refs, TVxCustomOHLC* Series, const QString& Path, TSet Set) {
    Refs.Add(Series, Path, TVxCustomDoubleVector::staticMetaObject, [Series, Set](QObject* c) {
        (Series->*Set)(qobject_cast<TVxCustomDoubleVector*>(c));
    });
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TVxCustomOHLC

void TVxCustomOHLC::WriteTo(QIODevice& Stream) const {
    TVxSeries::WriteTo(Stream);
    TVxStreamWriter out(Stream);
    out.WriteText(ComponentPath(OpenData()));
    out.WriteText(ComponentPath(HighData()));
    out.WriteText(ComponentPath(LowData()));
    out.WriteSingle(FBarWidth);
    out.WriteContinuation(false);
}

void TVxCustomOHLC::ReadFrom(QIODevice& Stream) {
    TVxReferenceReader refs; // collects the base record's references too
    TVxSeries::ReadFrom(Stream);
    ReadNamedRecord(metaObject()->className(), [&] {
        TVxStreamReader in(Stream);
        AddVectorLink(refs, this, in.ReadText(), &TVxCustomOHLC::SetOpenData);
        AddVectorLink(refs, this, in.ReadText(), &TVxCustomOHLC::SetHighData);
        AddVectorLink(refs, this, in.ReadText(), &TVxCustomOHLC::SetLowData);
        SetBarWidth(in.ReadSingle());
        CheckEndMarker(in.ReadByte(), "after the bar width");
    });
    refs.Finish();
}

void TVxCustomOHLC::WriteXmlContent(pugi::xml_node Element) const {
    TVxSeries::WriteXmlContent(Element);
    pugi::xml_node e = Element.append_child("CustomOHLC");
    SetXmlText(e, "OpenData", ComponentPath(OpenData()));
    SetXmlText(e, "HighData", ComponentPath(HighData()));
    SetXmlText(e, "LowData", ComponentPath(LowData()));
    SetXmlFloat(e, "BarWidth", FBarWidth);
}

void TVxCustomOHLC::ReadFrom(pugi::xml_node Element) {
    TVxReferenceReader refs;
    TVxSeries::ReadFrom(Element);
    ReadNamedRecord(metaObject()->className(), [&] {
        const pugi::xml_node e = Element.child("CustomOHLC");
        if (e.attribute("OpenData"))
            AddVectorLink(refs, this, XmlText(e, "OpenData"), &TVxCustomOHLC::SetOpenData);
        if (e.attribute("HighData"))
            AddVectorLink(refs, this, XmlText(e, "HighData"), &TVxCustomOHLC::SetHighData);
        if (e.attribute("LowData"))
            AddVectorLink(refs, this, XmlText(e, "LowData"), &TVxCustomOHLC::SetLowData);
        SetBarWidth(float(XmlFloat(e, "BarWidth", FBarWidth)));
    });
    refs.Finish();
}

void TVxCustomOHLC::WriteTo(TVxIniFile& Ini, const QString& Section) const {
    TVxSeries::WriteTo(Ini, Section);
    Ini.WriteString(Section, "OpenData", ComponentPath(OpenData()));
    Ini.WriteString(Section, "HighData", ComponentPath(HighData()));
    Ini.WriteString(Section, "LowData", ComponentPath(LowData()));
    Ini.WriteFloat(Section, "BarWidth", FBarWidth);
}

void TVxCustomOHLC::ReadFrom(const TVxIniFile& Ini, const QString& Section) {
    TVxReferenceReader refs;
    TVxSeries::ReadFrom(Ini, Section);
    ReadNamedRecord(metaObject()->className(), [&] {
        const QString& s = Section;
        if (Ini.ValueExists(s, "OpenData"))
            AddVectorLink(refs, this, Ini.ReadString(s, "OpenData", {}),
                          &TVxCustomOHLC::SetOpenData);
        if (Ini.ValueExists(s, "HighData"))
            AddVectorLink(refs, this, Ini.ReadString(s, "HighData", {}),
                          &TVxCustomOHLC::SetHighData);
        if (Ini.ValueExists(s, "LowData"))
            AddVectorLink(refs, this, Ini.ReadString(s, "LowData", {}), &TVxCustomOHLC::SetLowData);
        SetBarWidth(float(Ini.ReadFloat(s, "BarWidth", FBarWidth)));
    });
    refs.Finish();
}

// ---------------------------------------------------------------------------------------------
// TVxOHLC

void TVxOHLC::WriteTo(QIODevice& Stream) const {
    TVxCustomOHLC::WriteTo(Stream);
    TVxStreamWriter out(Stream);
    out.WriteSingle(FIndicatorLength);
    out.WriteContinuation(false);
}

void TVxOHLC::ReadFrom(QIODevice& Stream) {
    TVxReferenceReader refs;
    TVxCustomOHLC::ReadFrom(Stream);
    ReadNamedRecord(metaObject()->className(), [&] {
        TVxStreamReader in(Stream);
        SetIndicatorLength(in.ReadSingle());
        CheckEndMarker(in.ReadByte(), "after the indicator length");
    });
    refs.Finish();
}

void TVxOHLC::WriteXmlContent(pugi::xml_node Element) const {
    TVxCustomOHLC::WriteXmlContent(Element);
    SetXmlFloat(Element.append_child("OHLC"), "IndicatorLength", FIndicatorLength);
}

void TVxOHLC::ReadFrom(pugi::xml_node Element) {
    TVxReferenceReader refs;
    TVxCustomOHLC::ReadFrom(Element);
    ReadNamedRecord(metaObject()->className(), [&] {
        SetIndicatorLength(
            float(XmlFloat(Element.child("OHLC"), "IndicatorLength", FIndicatorLength)));
    });
    refs.Finish();
}

void TVxOHLC::WriteTo(TVxIniFile& Ini, const QString& Section) const {
    TVxCustomOHLC::WriteTo(Ini, Section);
    Ini.WriteFloat(Section, "IndicatorLength", FIndicatorLength);
}

void TVxOHLC::ReadFrom(const TVxIniFile& Ini, const QString& Section) {
    TVxReferenceReader refs;
    TVxCustomOHLC::ReadFrom(Ini, Section);
    ReadNamedRecord(metaObject()->className(), [&] {
        SetIndicatorLength(float(Ini.ReadFloat(Section, "IndicatorLength", FIndicatorLength)));
    });
    refs.Finish();
}

// ---------------------------------------------------------------------------------------------
// TVxCandleSticks

void TVxCandleSticks::WriteTo(QIODevice& Stream) const {
    TVxCustomOHLC::WriteTo(Stream);
    TVxStreamWriter out(Stream);
    out.WriteColor(FBullColor);
    out.WriteColor(FBearColor);
    out.WriteBool(FShadowsSameColorAsFill);
    out.WriteContinuation(false);
}

void TVxCandleSticks::ReadFrom(QIODevice& Stream) {
    TVxReferenceReader refs;
    TVxCustomOHLC::ReadFrom(Stream);
    ReadNamedRecord(metaObject()->className(), [&] {
        TVxStreamReader in(Stream);
        SetBullColor(in.ReadColor());
        SetBearColor(in.ReadColor());
        SetShadowsSameColorAsFill(in.ReadBool());
        CheckEndMarker(in.ReadByte(), "after the candle colours");
    });
    refs.Finish();
}

void TVxCandleSticks::WriteXmlContent(pugi::xml_node Element) const {
    TVxCustomOHLC::WriteXmlContent(Element);
    pugi::xml_node e = Element.append_child("CandleSticks");
    SetXmlColor(e, "BullColor", FBullColor);
    SetXmlColor(e, "BearColor", FBearColor);
    SetXmlBool(e, "ShadowsSameColorAsFill", FShadowsSameColorAsFill);
}

void TVxCandleSticks::ReadFrom(pugi::xml_node Element) {
    TVxReferenceReader refs;
    TVxCustomOHLC::ReadFrom(Element);
    ReadNamedRecord(metaObject()->className(), [&] {
        const pugi::xml_node e = Element.child("CandleSticks");
        SetBullColor(XmlColor(e, "BullColor", FBullColor));
        SetBearColor(XmlColor(e, "BearColor", FBearColor));
        SetShadowsSameColorAsFill(XmlBool(e, "ShadowsSameColorAsFill", FShadowsSameColorAsFill));
    });
    refs.Finish();
}

void TVxCandleSticks::WriteTo(TVxIniFile& Ini, const QString& Section) const {
    TVxCustomOHLC::WriteTo(Ini, Section);
    Ini.WriteColor(Section, "BullColor", FBullColor);
    Ini.WriteColor(Section, "BearColor", FBearColor);
    Ini.WriteBool(Section, "ShadowsSameColorAsFill", FShadowsSameColorAsFill);
}

void TVxCandleSticks::ReadFrom(const TVxIniFile& Ini, const QString& Section) {
    TVxReferenceReader refs;
    TVxCustomOHLC::ReadFrom(Ini, Section);
    ReadNamedRecord(metaObject()->className(), [&] {
        SetBullColor(Ini.ReadColor(Section, "BullColor", FBullColor));
        SetBearColor(Ini.ReadColor(Section, "BearColor", FBearColor));
        SetShadowsSameColorAsFill(
            Ini.ReadBool(Section, "ShadowsSameColorAsFill", FShadowsSameColorAsFill));
    });
    refs.Finish();
}
