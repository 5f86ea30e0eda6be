// The saved form of markers in a binary stream, an XML element and an ini section. Readers
// treat their input as hostile: enumerations are range-checked, non-finite numbers are
// refused with a clear error, pixel lengths pass through the clamping setters, and a record
// that ends early raises while keeping the values read before.

#include "annotations/CrossHair.h"
#include "annotations/LabelWithArrow.h"
#include "annotations/LineMarker.h"
#include "axes/Axis.h"
#include "persistence/XmlCodec.h"
#include "series/Series.h"
#include "styles/StyleRecords.h"
#include "util/Exceptions.h"

#include <cmath>

namespace {

double FiniteDouble(double Value) {
    if (!std::isfinite(Value))
        throw EVxStreamError("Invalid floating point value in marker record");
    return Value;
}

float FiniteSingle(float Value) {
    if (!std::isfinite(Value))
        throw EVxStreamError("Invalid floating point value in marker record");
    return Value;
}

double FiniteXml(pugi::xml_node Node, const char* Name, double Default) {
    const double value = XmlFloat(Node, Name, Default);
    if (!std::isfinite(value))
        throw EVxConvertError(QString("Invalid floating point value in \"%1\"")
                                  .arg(QString::fromUtf8(Name))
                                  .toStdString());
    return value;
}

double FiniteIni(const TVxIniFile& Ini, const QString& Section, const QString& Key,
                 double Default) {
    const double value = Ini.ReadFloat(Section, Key, Default);
    if (!std::isfinite(value))
        throw EVxConvertError(
            QString("Invalid floating point value in \"%1\"").arg(Key).toStdString());
    return value;
}

int OrdinalIni(const TVxIniFile& Ini, const QString& Section, const QString& Key, int Last,
               int Current) {
    const int value = Ini.ReadInteger(Section, Key, Current);
    if (value < 0 || value > Last)
        throw EVxConvertError(
            QString("Invalid value %1 of \"%2\"").arg(value).arg(Key).toStdString());
    return value;
}

TVxAxis* AxisOf(QObject* Object) {
    return qobject_cast<TVxAxis*>(Object);
}

/// The second child element called Name of Parent, or an empty node.
pugi::xml_node SecondChild(pugi::xml_node Parent, const char* Name) {
    pugi::xml_node first = Parent.child(Name);
    return first ? first.next_sibling(Name) : pugi::xml_node();
}

} // namespace

// --- binary stream --------------------------------------------------------------------------

void TVxMovable::WriteTo(QIODevice& Stream) const {
    TVxStreamWriter out(Stream);
    WriteToStream(out);
}

void TVxMovable::ReadFrom(QIODevice& Stream) {
    TVxStreamReader in(Stream);
    ReadFromStream(in);
}

void TVxMovable::WriteBaseStream(TVxStreamWriter& Out, bool WithPosition) const {
    Out.WriteText(QString::fromUtf8(metaObject()->className()));
    Out.WriteComponent(this);
    Out.WriteBool(Visible());
    Out.WriteText(FHint);
    Out.WriteBool(FParentShowHint);
    Out.WriteBool(FShowHint);
    Out.WriteBool(FClipToData);
    Out.WriteBool(FMouseDrag);
    Out.WriteInt16(uint16_t(FStartMoveKeys));
    Out.WriteComponent(FSnapToSingleSeries ? FSnappedSeries.data() : nullptr);
    Out.WriteColor(ForeColor());
    WriteSimpleLineSettings(Out, *FLineSettings);
    Out.WriteContinuation(true);
    WriteFontSettings(Out, *FFont);
    Out.WriteText(FCaptionRec.Caption);
    Out.WriteBool(FCaptionVisible);
    Out.WriteBool(FCaptionVertical);
    Out.WriteInt32(FCaptionDeltaX);
    Out.WriteInt32(FCaptionDeltaY);
    if (WithPosition)
        Out.WriteByte(uint8_t(FCaptionPosition));
    Out.WriteContinuation(true);
    Out.WriteInt32(FSnappedIdx);
    Out.WriteContinuation(true);
    Out.WriteColor(FCaptionBackColor);
    WriteGradientSettings(Out, *FCaptionBackGradient);
    WriteLineSettings(Out, *FCaptionBackFrame);
    Out.WriteBool(FCaptionBackRaised);
    Out.WriteBool(FCaptionBackLowered);
    Out.WriteBool(FCaptionBackShadow);
    Out.WriteSingle(FCaptionBackSpaceToBorder);
    Out.WriteSingle(FCaptionBackRounding);
    Out.WriteContinuation(false);
}

void TVxMovable::ReadBaseStream(TVxStreamReader& In, bool WithPosition) {
    const QString className = In.ReadText();
    if (className != QString::fromUtf8(metaObject()->className()))
        throw EVxStreamError(QString("Marker record of class \"%1\" read into a %2")
                                 .arg(className, QString::fromUtf8(metaObject()->className()))
                                 .toStdString());
    In.ReadText(); // the marker's own path: the chart reader found the marker by it
    SetVisible(In.ReadBool());
    FHint = In.ReadText();
    FParentShowHint = In.ReadBool();
    FShowHint = In.ReadBool();
    SetClipToData(In.ReadBool());
    FMouseDrag = In.ReadBool();
    SetStartMovingKeys(In.ReadInt16());
    SetSnappedSeries(qobject_cast<TVxSeries*>(In.ReadComponent()));
    SetForeColor(In.ReadColor());
    ReadSimpleLineSettings(In, *FLineSettings);
    if (!In.ReadContinuation()) {
        RequestRecalculate();
        return;
    }
    ReadFontSettings(In, *FFont);
    SetCaption(In.ReadText());
    SetCaptionVisible(In.ReadBool());
    SetCaptionVertical(In.ReadBool());
    SetCaptionDeltaX(In.ReadInt32());
    SetCaptionDeltaY(In.ReadInt32());
    if (WithPosition)
        SetCaptionPosition(TVxContentAlignment(In.ReadEnum(8)));
    if (In.ReadContinuation()) {
        FSnappedIdx = std::max(In.ReadInt32(), -1);
        if (In.ReadContinuation()) {
            SetCaptionBackColor(In.ReadColor());
            ReadGradientSettings(In, *FCaptionBackGradient);
            ReadLineSettings(In, *FCaptionBackFrame);
            SetCaptionBackRaised(In.ReadBool());
            SetCaptionBackLowered(In.ReadBool());
            SetCaptionBackShadow(In.ReadBool());
            SetCaptionBackSpaceToBorder(FiniteSingle(In.ReadSingle()));
            SetCaptionBackRounding(FiniteSingle(In.ReadSingle()));
            In.ReadByte();
        }
    }
    RequestRecalculate();
}

void TVxHorizontalMarker::WriteToStream(TVxStreamWriter& Out) const {
    WriteBaseStream(Out, true);
    Out.WriteComponent(FYAxis.data());
    Out.WriteDouble(FY);
    Out.WriteByte(0);
}

void TVxHorizontalMarker::ReadFromStream(TVxStreamReader& In) {
    ReadBaseStream(In, true);
    SetYAxis(AxisOf(In.ReadComponent()));
    SetY(FiniteDouble(In.ReadDouble()));
    In.ReadByte();
}

void TVxVerticalMarker::WriteToStream(TVxStreamWriter& Out) const {
    WriteBaseStream(Out, true);
    Out.WriteComponent(FXAxis.data());
    Out.WriteDouble(FX);
    Out.WriteByte(0);
}

void TVxVerticalMarker::ReadFromStream(TVxStreamReader& In) {
    ReadBaseStream(In, true);
    SetXAxis(AxisOf(In.ReadComponent()));
    SetX(FiniteDouble(In.ReadDouble()));
    In.ReadByte();
}

// --- XML ------------------------------------------------------------------------------------

void TVxMovable::WriteBaseXml(pugi::xml_node e, bool WithPosition) const {
    SetXmlComponent(e, "Name", this);
    pugi::xml_node p = e.append_child("Properties");
    SetXmlBool(p, "Visible", Visible());
    SetXmlText(p, "Hint", FHint);
    SetXmlBool(p, "ParentShowHint", FParentShowHint);
    SetXmlBool(p, "ShowHint", FShowHint);
    SetXmlBool(p, "ClipToData", FClipToData);
    SetXmlBool(p, "MouseDrag", FMouseDrag);
    SetXmlInt(p, "StartMovingKeys", FStartMoveKeys);
    SetXmlComponent(p, "SnappedSeries", FSnapToSingleSeries ? FSnappedSeries.data() : nullptr);
    SetXmlInt(p, "SnappedIdx", FSnappedIdx);
    SetXmlColor(p, "ForeColor", ForeColor());
    WriteSimpleLineSettings(e, *FLineSettings);
    pugi::xml_node c = e.append_child("Caption");
    SetXmlElementText(c, FCaptionRec.Caption);
    SetXmlBool(c, "Visible", FCaptionVisible);
    SetXmlBool(c, "Vertical", FCaptionVertical);
    SetXmlInt(c, "DeltaX", FCaptionDeltaX);
    SetXmlInt(c, "DeltaY", FCaptionDeltaY);
    if (WithPosition)
        SetXmlInt(c, "Position", int(FCaptionPosition));
    SetXmlColor(c, "BackColor", FCaptionBackColor);
    SetXmlBool(c, "BackRaised", FCaptionBackRaised);
    SetXmlBool(c, "BackLowered", FCaptionBackLowered);
    SetXmlBool(c, "BackShadow", FCaptionBackShadow);
    SetXmlFloat(c, "BackSpaceToBorder", FCaptionBackSpaceToBorder);
    SetXmlFloat(c, "BackRounding", FCaptionBackRounding);
    WriteFontSettings(e, *FFont);
    WriteGradientSettings(e, "Gradient", *FCaptionBackGradient);
    // The frame is the second "Line" child: readers tell the two apart by position.
    WriteLineSettings(e, "Line", *FCaptionBackFrame);
}

void TVxMovable::ReadBaseXml(pugi::xml_node e, bool WithPosition) {
    if (pugi::xml_node p = e.child("Properties")) {
        SetVisible(XmlBool(p, "Visible", Visible()));
        FHint = XmlText(p, "Hint", FHint);
        FParentShowHint = XmlBool(p, "ParentShowHint", FParentShowHint);
        FShowHint = XmlBool(p, "ShowHint", FShowHint);
        SetClipToData(XmlBool(p, "ClipToData", FClipToData));
        FMouseDrag = XmlBool(p, "MouseDrag", FMouseDrag);
        SetStartMovingKeys(XmlIntInRange(p, "StartMovingKeys", 0, 127, FStartMoveKeys));
        SetSnappedSeries(qobject_cast<TVxSeries*>(XmlComponent(p, "SnappedSeries")));
        FSnappedIdx = std::max(XmlInt(p, "SnappedIdx", FSnappedIdx), -1);
        SetForeColor(XmlColor(p, "ForeColor", ForeColor()));
    }
    ReadSimpleLineSettings(e, *FLineSettings);
    if (pugi::xml_node c = e.child("Caption")) {
        SetCaption(XmlElementText(c));
        SetCaptionVisible(XmlBool(c, "Visible", FCaptionVisible));
        SetCaptionVertical(XmlBool(c, "Vertical", FCaptionVertical));
        SetCaptionDeltaX(XmlInt(c, "DeltaX", FCaptionDeltaX));
        SetCaptionDeltaY(XmlInt(c, "DeltaY", FCaptionDeltaY));
        if (WithPosition)
            SetCaptionPosition(
                TVxContentAlignment(XmlIntInRange(c, "Position", 0, 8, int(FCaptionPosition))));
        SetCaptionBackColor(XmlColor(c, "BackColor", FCaptionBackColor));
        SetCaptionBackRaised(XmlBool(c, "BackRaised", FCaptionBackRaised));
        SetCaptionBackLowered(XmlBool(c, "BackLowered", FCaptionBackLowered));
        SetCaptionBackShadow(XmlBool(c, "BackShadow", FCaptionBackShadow));
        SetCaptionBackSpaceToBorder(
            float(FiniteXml(c, "BackSpaceToBorder", FCaptionBackSpaceToBorder)));
        SetCaptionBackRounding(float(FiniteXml(c, "BackRounding", FCaptionBackRounding)));
    }
    ReadFontSettings(e, *FFont);
    ReadGradientSettings(e, "Gradient", *FCaptionBackGradient);
    if (pugi::xml_node frame = SecondChild(e, "Line")) {
        pugi::xml_document holder;
        holder.append_copy(frame);
        ReadLineSettings(holder, "Line", *FCaptionBackFrame);
    }
    RequestRecalculate();
}

void TVxHorizontalMarker::WriteToXml(pugi::xml_node Parent) const {
    pugi::xml_node e = Parent.append_child(metaObject()->className());
    WriteBaseXml(e, true);
    pugi::xml_node l = e.append_child("Location");
    SetXmlComponent(l, "YAxis", FYAxis.data());
    SetXmlFloat(l, "Y", FY);
}

void TVxHorizontalMarker::ReadFromXml(pugi::xml_node Element) {
    ReadBaseXml(Element, true);
    if (pugi::xml_node l = Element.child("Location")) {
        if (l.attribute("YAxis"))
            SetYAxis(AxisOf(XmlComponent(l, "YAxis")));
        SetY(FiniteXml(l, "Y", FY));
    }
}

void TVxVerticalMarker::WriteToXml(pugi::xml_node Parent) const {
    pugi::xml_node e = Parent.append_child(metaObject()->className());
    WriteBaseXml(e, true);
    pugi::xml_node l = e.append_child("Location");
    SetXmlComponent(l, "XAxis", FXAxis.data());
    SetXmlFloat(l, "X", FX);
}

void TVxVerticalMarker::ReadFromXml(pugi::xml_node Element) {
    ReadBaseXml(Element, true);
    if (pugi::xml_node l = Element.child("Location")) {
        if (l.attribute("XAxis"))
            SetXAxis(AxisOf(XmlComponent(l, "XAxis")));
        SetX(FiniteXml(l, "X", FX));
    }
}

// --- ini ------------------------------------------------------------------------------------

void TVxMovable::WriteBaseIni(TVxIniFile& Ini, const QString& Section, bool WithPosition) const {
    Ini.WriteComponent(Section, "Name", this);
    Ini.WriteString(Section, "Type", QString::fromUtf8(metaObject()->className()));
    Ini.WriteBool(Section, "Visible", Visible());
    Ini.WriteCaption(Section, "Hint", FHint);
    Ini.WriteBool(Section, "ParentShowHint", FParentShowHint);
    Ini.WriteBool(Section, "ShowHint", FShowHint);
    Ini.WriteBool(Section, "ClipToData", FClipToData);
    Ini.WriteBool(Section, "MouseDrag", FMouseDrag);
    Ini.WriteInteger(Section, "StartMovingKeys", FStartMoveKeys);
    Ini.WriteComponent(Section, "SnappedSeries",
                       FSnapToSingleSeries ? FSnappedSeries.data() : nullptr);
    Ini.WriteInteger(Section, "SnappedIdx", FSnappedIdx);
    Ini.WriteColor(Section, "ForeColor", ForeColor());
    WriteSimpleLineSettings(Ini, Section, "Line", *FLineSettings);
    WriteFontSettings(Ini, Section, "Font", *FFont);
    Ini.WriteCaption(Section, "Caption", FCaptionRec.Caption);
    Ini.WriteBool(Section, "Caption.Visible", FCaptionVisible);
    Ini.WriteBool(Section, "Caption.Vertical", FCaptionVertical);
    Ini.WriteInteger(Section, "Caption.DeltaX", FCaptionDeltaX);
    Ini.WriteInteger(Section, "Caption.DeltaY", FCaptionDeltaY);
    if (WithPosition)
        Ini.WriteInteger(Section, "Caption.Position", int(FCaptionPosition));
    Ini.WriteColor(Section, "Caption.BackColor", FCaptionBackColor);
    WriteGradientSettings(Ini, Section, "Caption.BackGradient", *FCaptionBackGradient);
    WriteLineSettings(Ini, Section, "Caption.BackFrame", *FCaptionBackFrame);
    Ini.WriteBool(Section, "Caption.BackRaised", FCaptionBackRaised);
    Ini.WriteBool(Section, "Caption.BackLowered", FCaptionBackLowered);
    Ini.WriteBool(Section, "Caption.BackShadow", FCaptionBackShadow);
    Ini.WriteFloat(Section, "CaptionBack.SpaceToBorder", FCaptionBackSpaceToBorder);
    Ini.WriteFloat(Section, "CaptionBack.Rounding", FCaptionBackRounding);
}

void TVxMovable::ReadBaseIni(const TVxIniFile& Ini, const QString& Section, bool WithPosition) {
    SetVisible(Ini.ReadBool(Section, "Visible", Visible()));
    FHint = Ini.ReadCaption(Section, "Hint", FHint);
    FParentShowHint = Ini.ReadBool(Section, "ParentShowHint", FParentShowHint);
    FShowHint = Ini.ReadBool(Section, "ShowHint", FShowHint);
    SetClipToData(Ini.ReadBool(Section, "ClipToData", FClipToData));
    FMouseDrag = Ini.ReadBool(Section, "MouseDrag", FMouseDrag);
    SetStartMovingKeys(OrdinalIni(Ini, Section, "StartMovingKeys", 127, FStartMoveKeys));
    SetSnappedSeries(qobject_cast<TVxSeries*>(Ini.ReadComponent(Section, "SnappedSeries")));
    FSnappedIdx = std::max(Ini.ReadInteger(Section, "SnappedIdx", FSnappedIdx), -1);
    SetForeColor(Ini.ReadColor(Section, "ForeColor", ForeColor()));
    ReadSimpleLineSettings(Ini, Section, "Line", *FLineSettings);
    ReadFontSettings(Ini, Section, "Font", *FFont);
    SetCaption(Ini.ReadCaption(Section, "Caption", FCaptionRec.Caption));
    SetCaptionVisible(Ini.ReadBool(Section, "Caption.Visible", FCaptionVisible));
    SetCaptionVertical(Ini.ReadBool(Section, "Caption.Vertical", FCaptionVertical));
    SetCaptionDeltaX(Ini.ReadInteger(Section, "Caption.DeltaX", FCaptionDeltaX));
    SetCaptionDeltaY(Ini.ReadInteger(Section, "Caption.DeltaY", FCaptionDeltaY));
    if (WithPosition)
        SetCaptionPosition(TVxContentAlignment(
            OrdinalIni(Ini, Section, "Caption.Position", 8, int(FCaptionPosition))));
    SetCaptionBackColor(Ini.ReadColor(Section, "Caption.BackColor", FCaptionBackColor));
    ReadGradientSettings(Ini, Section, "Caption.BackGradient", *FCaptionBackGradient);
    ReadLineSettings(Ini, Section, "Caption.BackFrame", *FCaptionBackFrame);
    SetCaptionBackRaised(Ini.ReadBool(Section, "Caption.BackRaised", FCaptionBackRaised));
    SetCaptionBackLowered(Ini.ReadBool(Section, "Caption.BackLowered", FCaptionBackLowered));
    SetCaptionBackShadow(Ini.ReadBool(Section, "Caption.BackShadow", FCaptionBackShadow));
    SetCaptionBackSpaceToBorder(
        float(FiniteIni(Ini, Section, "CaptionBack.SpaceToBorder", FCaptionBackSpaceToBorder)));
    SetCaptionBackRounding(
        float(FiniteIni(Ini, Section, "CaptionBack.Rounding", FCaptionBackRounding)));
    RequestRecalculate();
}

void TVxHorizontalMarker::WriteToIni(TVxIniFile& Ini, const QString& Section) const {
    WriteBaseIni(Ini, Section, true);
    Ini.WriteFloat(Section, "Y", FY);
    Ini.WriteComponent(Section, "YAxis", FYAxis.data());
}

void TVxHorizontalMarker::ReadFromIni(const TVxIniFile& Ini, const QString& Section) {
    ReadBaseIni(Ini, Section, true);
    if (Ini.ValueExists(Section, "YAxis"))
        SetYAxis(AxisOf(Ini.ReadComponent(Section, "YAxis")));
    SetY(FiniteIni(Ini, Section, "Y", FY));
}

void TVxVerticalMarker::WriteToIni(TVxIniFile& Ini, const QString& Section) const {
    WriteBaseIni(Ini, Section, true);
    Ini.WriteFloat(Section, "X", FX);
    Ini.WriteComponent(Section, "XAxis", FXAxis.data());
}

void TVxVerticalMarker::ReadFromIni(const TVxIniFile& Ini, const QString& Section) {
    ReadBaseIni(Ini, Section, true);
    if (Ini.ValueExists(Section, "XAxis"))
        SetXAxis(AxisOf(Ini.ReadComponent(Section, "XAxis")));
    SetX(FiniteIni(Ini, Section, "X", FX));
}

// --- cross-hair -----------------------------------------------------------------------------

void TVxCrossHair::WriteToStream(TVxStreamWriter& Out) const {
    WriteBaseStream(Out, false);
    Out.WriteByte(uint8_t(FCaptionQadrant));
    Out.WriteComponent(FXAxis.data());
    Out.WriteComponent(FYAxis.data());
    Out.WriteDouble(FX);
    Out.WriteDouble(FY);
    Out.WriteContinuation(true);
    FHHelper->WriteToStream(Out);
    FVHelper->WriteToStream(Out);
    Out.WriteByte(0);
}

void TVxCrossHair::ReadFromStream(TVxStreamReader& In) {
    ReadBaseStream(In, false);
    SetQuadrant(TVxXHairCaptionPosition(In.ReadEnum(3)));
    SetXAxis(AxisOf(In.ReadComponent()));
    SetYAxis(AxisOf(In.ReadComponent()));
    const double x = FiniteDouble(In.ReadDouble());
    const double y = FiniteDouble(In.ReadDouble());
    SetX(x);
    SetY(y);
    if (In.ReadContinuation()) {
        FHHelper->ReadFromStream(In);
        FVHelper->ReadFromStream(In);
        In.ReadByte();
    }
    // The lines take the cross-hair's axes, values and line again.
    SyncLines();
}

void TVxCrossHair::WriteToXml(pugi::xml_node Parent) const {
    pugi::xml_node e = Parent.append_child(metaObject()->className());
    WriteBaseXml(e, false);
    SetXmlInt(e.child("Caption"), "Position", int(FCaptionQadrant));
    pugi::xml_node l = e.append_child("Location");
    SetXmlComponent(l, "XAxis", FXAxis.data());
    SetXmlFloat(l, "X", FX);
    SetXmlComponent(l, "YAxis", FYAxis.data());
    SetXmlFloat(l, "Y", FY);
    FHHelper->WriteToXml(e);
    FVHelper->WriteToXml(e);
}

void TVxCrossHair::ReadFromXml(pugi::xml_node Element) {
    ReadBaseXml(Element, false);
    if (pugi::xml_node c = Element.child("Caption"))
        SetQuadrant(
            TVxXHairCaptionPosition(XmlIntInRange(c, "Position", 0, 3, int(FCaptionQadrant))));
    if (pugi::xml_node l = Element.child("Location")) {
        if (l.attribute("XAxis"))
            SetXAxis(AxisOf(XmlComponent(l, "XAxis")));
        if (l.attribute("YAxis"))
            SetYAxis(AxisOf(XmlComponent(l, "YAxis")));
        SetX(FiniteXml(l, "X", FX));
        SetY(FiniteXml(l, "Y", FY));
    }
    if (pugi::xml_node h = Element.child("TVxHorizontalMarker"))
        FHHelper->ReadFromXml(h);
    if (pugi::xml_node v = Element.child("TVxVerticalMarker"))
        FVHelper->ReadFromXml(v);
    SyncLines();
}

void TVxCrossHair::WriteToIni(TVxIniFile& Ini, const QString& Section) const {
    WriteBaseIni(Ini, Section, false);
    Ini.WriteFloat(Section, "X", FX);
    Ini.WriteComponent(Section, "XAxis", FXAxis.data());
    Ini.WriteFloat(Section, "Y", FY);
    Ini.WriteComponent(Section, "YAxis", FYAxis.data());
    Ini.WriteInteger(Section, "Caption.Position", int(FCaptionQadrant));
    FHHelper->WriteToIni(Ini, Section + ".HorizontalMarker");
    FVHelper->WriteToIni(Ini, Section + ".VerticalMarker");
}

void TVxCrossHair::ReadFromIni(const TVxIniFile& Ini, const QString& Section) {
    ReadBaseIni(Ini, Section, false);
    SetQuadrant(TVxXHairCaptionPosition(
        OrdinalIni(Ini, Section, "Caption.Position", 3, int(FCaptionQadrant))));
    if (Ini.ValueExists(Section, "XAxis"))
        SetXAxis(AxisOf(Ini.ReadComponent(Section, "XAxis")));
    if (Ini.ValueExists(Section, "YAxis"))
        SetYAxis(AxisOf(Ini.ReadComponent(Section, "YAxis")));
    SetX(FiniteIni(Ini, Section, "X", FX));
    SetY(FiniteIni(Ini, Section, "Y", FY));
    if (Ini.SectionExists(Section + ".HorizontalMarker"))
        FHHelper->ReadFromIni(Ini, Section + ".HorizontalMarker");
    if (Ini.SectionExists(Section + ".VerticalMarker"))
        FVHelper->ReadFromIni(Ini, Section + ".VerticalMarker");
    SyncLines();
}

// --- label with arrow -----------------------------------------------------------------------

namespace {

float ArrowLengthValue(float Value) {
    if (!std::isfinite(Value))
        throw EVxConvertError("Invalid floating point value in arrow record");
    return std::clamp(Value, MinArrowLength, float(MaxMarkerPixels));
}

} // namespace

void TVxLabelWithArrowMarker::WriteToStream(TVxStreamWriter& Out) const {
    WriteBaseStream(Out, false);
    Out.WriteSingle(FArrowSettings->PointLength());
    Out.WriteSingle(FArrowSettings->InnerLength());
    Out.WriteSingle(FArrowSettings->PointHeight());
    Out.WriteInt32(FArrowDeltaX);
    Out.WriteInt32(FArrowDeltaY);
    Out.WriteInt32(FBentLength);
    Out.WriteBool(FHoverGrips);
    Out.WriteComponent(FXAxis.data());
    Out.WriteComponent(FYAxis.data());
    Out.WriteDouble(FX);
    Out.WriteDouble(FY);
    Out.WriteContinuation(true);
    Out.WriteByte(uint8_t(FDraggingOptions));
    Out.WriteByte(0);
}

void TVxLabelWithArrowMarker::ReadFromStream(TVxStreamReader& In) {
    ReadBaseStream(In, false);
    FArrowSettings->SetPointLength(ArrowLengthValue(In.ReadSingle()));
    FArrowSettings->SetInnerLength(ArrowLengthValue(In.ReadSingle()));
    FArrowSettings->SetPointHeight(ArrowLengthValue(In.ReadSingle()));
    SetArrowDeltaX(In.ReadInt32());
    SetArrowDeltaY(In.ReadInt32());
    SetBentLength(In.ReadInt32());
    SetHoverGrips(In.ReadBool());
    SetXAxis(AxisOf(In.ReadComponent()));
    SetYAxis(AxisOf(In.ReadComponent()));
    const double x = FiniteDouble(In.ReadDouble());
    const double y = FiniteDouble(In.ReadDouble());
    SetX(x);
    SetY(y);
    if (In.ReadContinuation()) {
        SetDraggingOptions(In.ReadByte());
        In.ReadByte();
    }
}

void TVxLabelWithArrowMarker::WriteToXml(pugi::xml_node Parent) const {
    pugi::xml_node e = Parent.append_child(metaObject()->className());
    WriteBaseXml(e, false);
    pugi::xml_node p = e.child("Properties");
    SetXmlBool(p, "HoverGrips", FHoverGrips);
    SetXmlInt(p, "DraggingOptions", FDraggingOptions);
    pugi::xml_node a = e.append_child("Arrow");
    SetXmlBool(a, "Visible", FArrowSettings->Visible());
    SetXmlFloat(a, "PointLength", FArrowSettings->PointLength());
    SetXmlFloat(a, "InnerLength", FArrowSettings->InnerLength());
    SetXmlFloat(a, "PointHeight", FArrowSettings->PointHeight());
    SetXmlInt(a, "DeltaX", FArrowDeltaX);
    SetXmlInt(a, "DeltaY", FArrowDeltaY);
    SetXmlInt(a, "BentLength", FBentLength);
    pugi::xml_node l = e.append_child("Location");
    SetXmlComponent(l, "XAxis", FXAxis.data());
    SetXmlFloat(l, "X", FX);
    SetXmlComponent(l, "YAxis", FYAxis.data());
    SetXmlFloat(l, "Y", FY);
}

void TVxLabelWithArrowMarker::ReadFromXml(pugi::xml_node Element) {
    ReadBaseXml(Element, false);
    if (pugi::xml_node p = Element.child("Properties")) {
        SetHoverGrips(XmlBool(p, "HoverGrips", FHoverGrips));
        SetDraggingOptions(XmlIntInRange(p, "DraggingOptions", 0, 15, FDraggingOptions));
    }
    if (pugi::xml_node a = Element.child("Arrow")) {
        FArrowSettings->SetVisible(XmlBool(a, "Visible", FArrowSettings->Visible()));
        FArrowSettings->SetPointLength(
            ArrowLengthValue(float(XmlFloat(a, "PointLength", FArrowSettings->PointLength()))));
        FArrowSettings->SetInnerLength(
            ArrowLengthValue(float(XmlFloat(a, "InnerLength", FArrowSettings->InnerLength()))));
        FArrowSettings->SetPointHeight(
            ArrowLengthValue(float(XmlFloat(a, "PointHeight", FArrowSettings->PointHeight()))));
        SetArrowDeltaX(XmlInt(a, "DeltaX", FArrowDeltaX));
        SetArrowDeltaY(XmlInt(a, "DeltaY", FArrowDeltaY));
        SetBentLength(XmlInt(a, "BentLength", FBentLength));
    }
    if (pugi::xml_node l = Element.child("Location")) {
        if (l.attribute("XAxis"))
            SetXAxis(AxisOf(XmlComponent(l, "XAxis")));
        if (l.attribute("YAxis"))
            SetYAxis(AxisOf(XmlComponent(l, "YAxis")));
        SetX(FiniteXml(l, "X", FX));
        SetY(FiniteXml(l, "Y", FY));
    }
}

void TVxLabelWithArrowMarker::WriteToIni(TVxIniFile& Ini, const QString& Section) const {
    WriteBaseIni(Ini, Section, false);
    Ini.WriteBool(Section, "Arrow.Visible", FArrowSettings->Visible());
    Ini.WriteFloat(Section, "Arrow.PointLength", FArrowSettings->PointLength());
    Ini.WriteFloat(Section, "Arrow.InnerLength", FArrowSettings->InnerLength());
    Ini.WriteFloat(Section, "Arrow.PointHeight", FArrowSettings->PointHeight());
    Ini.WriteInteger(Section, "Arrow.DeltaX", FArrowDeltaX);
    Ini.WriteInteger(Section, "Arrow.DeltaY", FArrowDeltaY);
    Ini.WriteInteger(Section, "Arrow.BentLength", FBentLength);
    Ini.WriteInteger(Section, "DraggingOptions", FDraggingOptions);
    Ini.WriteBool(Section, "HoverGrips", FHoverGrips);
    Ini.WriteFloat(Section, "X", FX);
    Ini.WriteComponent(Section, "XAxis", FXAxis.data());
    Ini.WriteFloat(Section, "Y", FY);
    Ini.WriteComponent(Section, "YAxis", FYAxis.data());
}

void TVxLabelWithArrowMarker::ReadFromIni(const TVxIniFile& Ini, const QString& Section) {
    ReadBaseIni(Ini, Section, false);
    FArrowSettings->SetVisible(Ini.ReadBool(Section, "Arrow.Visible", FArrowSettings->Visible()));
    FArrowSettings->SetPointLength(ArrowLengthValue(
        float(FiniteIni(Ini, Section, "Arrow.PointLength", FArrowSettings->PointLength()))));
    FArrowSettings->SetInnerLength(ArrowLengthValue(
        float(FiniteIni(Ini, Section, "Arrow.InnerLength", FArrowSettings->InnerLength()))));
    FArrowSettings->SetPointHeight(ArrowLengthValue(
        float(FiniteIni(Ini, Section, "Arrow.PointHeight", FArrowSettings->PointHeight()))));
    SetArrowDeltaX(Ini.ReadInteger(Section, "Arrow.DeltaX", FArrowDeltaX));
    SetArrowDeltaY(Ini.ReadInteger(Section, "Arrow.DeltaY", FArrowDeltaY));
    SetBentLength(Ini.ReadInteger(Section, "Arrow.BentLength", FBentLength));
    SetDraggingOptions(OrdinalIni(Ini, Section, "DraggingOptions", 15, FDraggingOptions));
    SetHoverGrips(Ini.ReadBool(Section, "HoverGrips", FHoverGrips));
    if (Ini.ValueExists(Section, "XAxis"))
        SetXAxis(AxisOf(Ini.ReadComponent(Section, "XAxis")));
    if (Ini.ValueExists(Section, "YAxis"))
        SetYAxis(AxisOf(Ini.ReadComponent(Section, "YAxis")));
    SetX(FiniteIni(Ini, Section, "X", FX));
    SetY(FiniteIni(Ini, Section, "Y", FY));
}
