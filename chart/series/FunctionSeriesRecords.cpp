// The saved fields of a function series, after the series record: the weight reference,
// the Auto flags, the four range values, coupling and clipping, in a binary stream (ending
// with a marker byte), an XML child element "FunctionSeries" and keys of the ini section.
// Every value is applied through its setter, so non-finite range values are refused.

#include "persistence/BinaryStream.h"
#include "persistence/IniFile.h"
#include "persistence/PendingReferences.h"
#include "persistence/RecordErrors.h"
#include "persistence/XmlCodec.h"
#include "series/FunctionSeries.h"
#include "util/ComponentPaths.h"
#include "vectors/Indexer.h"

#include <pugixml.hpp>

namespace {

// The flags and values of the tail in their saved order.
struct TTail {
    bool AutoStart, AutoStop, DisplayAutoStart, DisplayAutoStop;
    double CalculationStart, CalculationStop, DisplayStart, DisplayStop;
    bool Couple, Clip;
};

} // namespace

static void AddWeightLink(TVxReferenceReader& Refs, TVxFunctionSeries* Series,
                          const QString& Path) {
    Refs.Add(Series, Path, TVxCustomDoubleVector::staticMetaObject,
             [Series](QObject* c) { Series->SetWeight(qobject_cast<TVxCustomDoubleVector*>(c)); });
}

static void ApplyTail(TVxFunctionSeries& S, const TTail& T) {
    // The values first: switching an Auto flag on afterwards keeps them for undo.
    S.SetCalculationStart(T.CalculationStart);
    S.SetCalculationStop(T.CalculationStop);
    S.SetDisplayStart(T.DisplayStart);
    S.SetDisplayStop(T.DisplayStop);
    S.SetAutoStart(T.AutoStart);
    S.SetAutoStop(T.AutoStop);
    S.SetDisplayAutoStart(T.DisplayAutoStart);
    S.SetDisplayAutoStop(T.DisplayAutoStop);
    S.SetCoupleCalculationAndDisplay(T.Couple);
    S.SetClipYValues(T.Clip);
}

QString TVxFunctionSeries::WeightPath() const {
    const QObject* weight = FWeight.data();
    return weight == FIndexer ? QString() : ComponentPath(weight);
}

// ---------------------------------------------------------------------------------------------
// Binary stream

void TVxFunctionSeries::WriteTo(QIODevice& Stream) const {
    TVxLineSeries::WriteTo(Stream);
    TVxStreamWriter out(Stream);
    out.WriteText(WeightPath());
    out.WriteBool(FAutoStart);
    out.WriteBool(FAutoStop);
    out.WriteBool(FDisplayAutoStart);
    out.WriteBool(FDisplayAutoStop);
    out.WriteDouble(FCalcStart);
    out.WriteDouble(FCalcStop);
    out.WriteDouble(FDisplayStart);
    out.WriteDouble(FDisplayStop);
    out.WriteBool(FCoupleCalculationAndDisplay);
    out.WriteBool(FClipYValues);
    out.WriteContinuation(false);
}

void TVxFunctionSeries::ReadTail(TVxStreamReader& In, TVxReferenceReader& Refs) {
    const QString weight = In.ReadText();
    TTail t;
    t.AutoStart = In.ReadBool();
    t.AutoStop = In.ReadBool();
    t.DisplayAutoStart = In.ReadBool();
    t.DisplayAutoStop = In.ReadBool();
    t.CalculationStart = In.ReadDouble();
    t.CalculationStop = In.ReadDouble();
    t.DisplayStart = In.ReadDouble();
    t.DisplayStop = In.ReadDouble();
    t.Couple = In.ReadBool();
    t.Clip = In.ReadBool();
    In.ReadByte(); // written as 0, ignored
    // The whole tail is read before anything changes: a short record changes nothing here.
    AddWeightLink(Refs, this, weight);
    ApplyTail(*this, t);
}

void TVxFunctionSeries::ReadFrom(QIODevice& Stream) {
    // One collection for the series record and the tail: the references resolve at the end.
    TVxReferenceReader refs;
    TVxLineSeries::ReadFrom(Stream);
    ReadNamedRecord(metaObject()->className(), [&] {
        TVxStreamReader in(Stream);
        ReadTail(in, refs);
    });
    refs.Finish();
}

// ---------------------------------------------------------------------------------------------
// XML

void TVxFunctionSeries::WriteXmlContent(pugi::xml_node Element) const {
    TVxLineSeries::WriteXmlContent(Element);
    pugi::xml_node f = Element.append_child("FunctionSeries");
    SetXmlText(f, "Weight", WeightPath());
    SetXmlBool(f, "AutoStart", FAutoStart);
    SetXmlBool(f, "AutoStop", FAutoStop);
    SetXmlBool(f, "DisplayAutoStart", FDisplayAutoStart);
    SetXmlBool(f, "DisplayAutoStop", FDisplayAutoStop);
    SetXmlFloat(f, "CalculationStart", FCalcStart);
    SetXmlFloat(f, "CalculationStop", FCalcStop);
    SetXmlFloat(f, "DisplayStart", FDisplayStart);
    SetXmlFloat(f, "DisplayStop", FDisplayStop);
    SetXmlBool(f, "CoupleCalculationAndDisplay", FCoupleCalculationAndDisplay);
    SetXmlBool(f, "ClipYValues", FClipYValues);
}

void TVxFunctionSeries::ReadFrom(pugi::xml_node Element) {
    TVxReferenceReader refs;
    TVxLineSeries::ReadFrom(Element);
    ReadNamedRecord(metaObject()->className(), [&] {
        const pugi::xml_node f = Element.child("FunctionSeries");
        if (!f)
            return;
        TTail t;
        t.AutoStart = XmlBool(f, "AutoStart", FAutoStart);
        t.AutoStop = XmlBool(f, "AutoStop", FAutoStop);
        t.DisplayAutoStart = XmlBool(f, "DisplayAutoStart", FDisplayAutoStart);
        t.DisplayAutoStop = XmlBool(f, "DisplayAutoStop", FDisplayAutoStop);
        t.CalculationStart = XmlFloat(f, "CalculationStart", FCalcStart);
        t.CalculationStop = XmlFloat(f, "CalculationStop", FCalcStop);
        t.DisplayStart = XmlFloat(f, "DisplayStart", FDisplayStart);
        t.DisplayStop = XmlFloat(f, "DisplayStop", FDisplayStop);
        t.Couple = XmlBool(f, "CoupleCalculationAndDisplay", FCoupleCalculationAndDisplay);
        t.Clip = XmlBool(f, "ClipYValues", FClipYValues);
        if (f.attribute("Weight"))
            AddWeightLink(refs, this, XmlText(f, "Weight"));
        ApplyTail(*this, t);
    });
    refs.Finish();
}

// ---------------------------------------------------------------------------------------------
// Ini

void TVxFunctionSeries::WriteTo(TVxIniFile& Ini, const QString& Section) const {
    TVxLineSeries::WriteTo(Ini, Section);
    const QString& s = Section;
    Ini.WriteString(s, "Weight", WeightPath());
    Ini.WriteBool(s, "AutoStart", FAutoStart);
    Ini.WriteBool(s, "AutoStop", FAutoStop);
    Ini.WriteBool(s, "DisplayAutoStart", FDisplayAutoStart);
    Ini.WriteBool(s, "DisplayAutoStop", FDisplayAutoStop);
    Ini.WriteFloat(s, "CalculationStart", FCalcStart);
    Ini.WriteFloat(s, "CalculationStop", FCalcStop);
    Ini.WriteFloat(s, "DisplayStart", FDisplayStart);
    Ini.WriteFloat(s, "DisplayStop", FDisplayStop);
    Ini.WriteBool(s, "CoupleCalculationAndDisplay", FCoupleCalculationAndDisplay);
    Ini.WriteBool(s, "ClipYValues", FClipYValues);
}

void TVxFunctionSeries::ReadFrom(const TVxIniFile& Ini, const QString& Section) {
    TVxReferenceReader refs;
    TVxLineSeries::ReadFrom(Ini, Section);
    ReadNamedRecord(metaObject()->className(), [&] {
        const QString& s = Section;
        TTail t;
        t.AutoStart = Ini.ReadBool(s, "AutoStart", FAutoStart);
        t.AutoStop = Ini.ReadBool(s, "AutoStop", FAutoStop);
        t.DisplayAutoStart = Ini.ReadBool(s, "DisplayAutoStart", FDisplayAutoStart);
        t.DisplayAutoStop = Ini.ReadBool(s, "DisplayAutoStop", FDisplayAutoStop);
        t.CalculationStart = Ini.ReadFloat(s, "CalculationStart", FCalcStart);
        t.CalculationStop = Ini.ReadFloat(s, "CalculationStop", FCalcStop);
        t.DisplayStart = Ini.ReadFloat(s, "DisplayStart", FDisplayStart);
        t.DisplayStop = Ini.ReadFloat(s, "DisplayStop", FDisplayStop);
        t.Couple = Ini.ReadBool(s, "CoupleCalculationAndDisplay", FCoupleCalculationAndDisplay);
        t.Clip = Ini.ReadBool(s, "ClipYValues", FClipYValues);
        if (Ini.ValueExists(s, "Weight"))
            AddWeightLink(refs, this, Ini.ReadString(s, "Weight", {}));
        ApplyTail(*this, t);
    });
    refs.Finish();
}
