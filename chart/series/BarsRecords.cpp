// The saved record of a bar series after the series record: the graph-wide look, the labels
// and the captions (or their data-set binding), in a binary stream, an XML element and an
// ini section. BarsHorizontal is stored as read: the series record has already restored the
// X and Y data as they were saved.

#include "persistence/BinaryStream.h"
#include "persistence/IniFile.h"
#include "persistence/PendingReferences.h"
#include "persistence/RecordErrors.h"
#include "persistence/XmlCodec.h"
#include "series/Bars.h"
#include "styles/StyleRecords.h"
#include "styles/VxFont.h"
#include "util/ComponentPaths.h"
#include "util/Exceptions.h"

#include <pugixml.hpp>

namespace {

constexpr int LastOverlay = int(TVxBarsOverlayStyle::Stack);
constexpr int LastStyle = int(TVxBarStyle::Cylinder);
constexpr int LastPosition = int(TVxBarLabelPosition::OnTopOfBar);
constexpr int LastFrom = int(TVxLabelStyle::CaptionAndPercent);

void CheckOrdinal(int Value, int Last, const char* Name) {
    if (Value < 0 || Value > Last)
        throw EVxStreamError("value " + std::to_string(Value) + " of " + Name + " out of range");
}

} // namespace

void TVxBars::StoreLook(int Overlay, bool Horizontal, int Style) {
    CheckOrdinal(Overlay, LastOverlay, "OverlayStyle");
    CheckOrdinal(Style, LastStyle, "BarStyle");
    FOverlayStyle = TVxBarsOverlayStyle(Overlay);
    if (FOverlayStyle == TVxBarsOverlayStyle::Shift)
        DropStacking();
    FBarsHorizontal = Horizontal;
    FBarStyle = TVxBarStyle(Style);
    RangesModified();
}

void TVxBars::WriteTo(QIODevice& Stream) const {
    TVxSeries::WriteTo(Stream);
    TVxStreamWriter out(Stream);
    out.WriteByte(uint8_t(FOverlayStyle));
    out.WriteBool(FBarsHorizontal);
    out.WriteDouble(F3DDepth);
    out.WriteDouble(FClassesDistance);
    out.WriteSingle(FLabelSize);
    out.WriteBool(FLabelVertical);
    out.WriteColor(FFont->FillColor());
    out.WriteByte(uint8_t(FLabelPosition));
    out.WriteByte(uint8_t(FLabelFrom));
    out.WriteText(FLabelFormat);
    out.WriteText(FFont->Name());
    out.WriteByte(uint8_t(int(FFont->Style())));
    const bool bound = FDataLink->DataSource() != nullptr && !FCaptionsField.isEmpty();
    out.WriteBool(bound);
    if (bound) {
        out.WriteText(ComponentPath(FDataLink->DataSource()));
        out.WriteText(FCaptionsField);
    } else {
        const QStringList captions = Captions();
        out.WriteInt32(int32_t(captions.size()));
        for (const QString& c : captions)
            out.WriteText(c);
    }
    out.WriteContinuation(true);
    WriteFontSettings(out, *FFont);
    out.WriteByte(uint8_t(FBarStyle));
    out.WriteContinuation(false);
}

void TVxBars::ReadFrom(QIODevice& Stream) {
    TVxSeries::ReadFrom(Stream);
    TVxReferenceReader refs;
    ReadNamedRecord("TVxBars", [&] {
        TVxStreamReader in(Stream);
        const int overlay = in.ReadByte();
        const bool horizontal = in.ReadBool();
        const double depth = in.ReadDouble();
        const double distance = in.ReadDouble();
        const float size = in.ReadSingle();
        const bool vertical = in.ReadBool();
        const TVxColor color = in.ReadColor();
        const int position = in.ReadByte();
        const int from = in.ReadByte();
        CheckOrdinal(position, LastPosition, "LabelPosition");
        CheckOrdinal(from, LastFrom, "LabelFrom");
        const QString format = in.ReadText();
        const QString fontName = in.ReadText();
        const int fontStyle = in.ReadByte();
        const bool bound = in.ReadBool();
        StoreLook(overlay, horizontal, int(FBarStyle));
        SetDepth3D(depth);
        SetClassesDistance(distance);
        SetLabelSize(size);
        SetLabelVertical(vertical);
        SetLabelColor(color);
        SetLabelPosition(TVxBarLabelPosition(position));
        SetLabelFrom(TVxLabelStyle(from));
        SetLabelFormat(format);
        FFont->SetName(fontName);
        FFont->SetStyle(TVxFontStyles::fromInt(fontStyle & 0x0F));
        if (bound) {
            const QString source = in.ReadText();
            SetCaptionsField(in.ReadText());
            refs.Add(this, source, TVxDataSource::staticMetaObject,
                     [this](QObject* c) { SetDataSource(qobject_cast<TVxDataSource*>(c)); });
        } else {
            const int32_t n = in.ReadInt32();
            if (n < -1 || (n > 0 && qint64(n) > Stream.bytesAvailable() / 4))
                throw EVxStreamError("caption count " + std::to_string(n) + " out of range");
            QStringList captions;
            for (int32_t k = 0; k < n; ++k)
                captions.append(in.ReadText());
            if (n >= 0)
                SetCaptions(captions);
        }
        if (!in.ReadContinuation())
            return; // an older record ends after the captions
        // The stored font has the size the labels were last laid out with; the label size
        // read above stays (a font change of the application would scale it).
        ReadFontSettings(in, *FFont);
        SetLabelSize(size);
        const int style = in.ReadByte();
        StoreLook(int(FOverlayStyle), FBarsHorizontal, style);
        CheckEndMarker(in.ReadByte(), "after the bar style");
    });
    refs.Finish();
}

void TVxBars::WriteXmlContent(pugi::xml_node Element) const {
    TVxSeries::WriteXmlContent(Element);
    pugi::xml_node bars = Element.append_child("Bars");
    SetXmlInt(bars, "OverlayStyle", int(FOverlayStyle));
    SetXmlInt(bars, "BarStyle", int(FBarStyle));
    SetXmlBool(bars, "Horizontal", FBarsHorizontal);
    SetXmlFloat(bars, "Depth3D", F3DDepth);
    SetXmlFloat(bars, "ClassesDistance", FClassesDistance);
    pugi::xml_node labels = Element.append_child("Labels");
    SetXmlFloat(labels, "Size", FLabelSize);
    SetXmlBool(labels, "Vertical", FLabelVertical);
    SetXmlColor(labels, "Color", FFont->FillColor());
    SetXmlInt(labels, "Position", int(FLabelPosition));
    SetXmlInt(labels, "From", int(FLabelFrom));
    SetXmlText(labels, "Format", FLabelFormat);
    WriteFontSettings(labels, *FFont);
    if (FDataLink->DataSource() != nullptr && !FCaptionsField.isEmpty()) {
        pugi::xml_node db = Element.append_child("Database");
        SetXmlText(db, "DataSource", ComponentPath(FDataLink->DataSource()));
        SetXmlText(db, "CaptionsField", FCaptionsField);
    } else {
        const QStringList captions = Captions();
        pugi::xml_node list = Element.append_child("Captions");
        SetXmlInt(list, "Count", captions.size());
        for (const QString& c : captions)
            SetXmlElementText(list.append_child("Item"), c);
    }
}

void TVxBars::ReadFrom(pugi::xml_node Element) {
    TVxSeries::ReadFrom(Element);
    TVxReferenceReader refs;
    ReadNamedRecord("TVxBars", [&] {
        if (const pugi::xml_node bars = Element.child("Bars")) {
            StoreLook(XmlInt(bars, "OverlayStyle", int(FOverlayStyle)),
                      XmlBool(bars, "Horizontal", FBarsHorizontal),
                      XmlInt(bars, "BarStyle", int(FBarStyle)));
            SetDepth3D(XmlFloat(bars, "Depth3D", F3DDepth));
            SetClassesDistance(XmlFloat(bars, "ClassesDistance", FClassesDistance));
        }
        if (const pugi::xml_node labels = Element.child("Labels")) {
            const float size = float(XmlFloat(labels, "Size", FLabelSize));
            SetLabelSize(size);
            SetLabelVertical(XmlBool(labels, "Vertical", FLabelVertical));
            SetLabelColor(XmlColor(labels, "Color", FFont->FillColor()));
            SetLabelPosition(TVxBarLabelPosition(
                XmlIntInRange(labels, "Position", 0, LastPosition, int(FLabelPosition))));
            SetLabelFrom(
                TVxLabelStyle(XmlIntInRange(labels, "From", 0, LastFrom, int(FLabelFrom))));
            SetLabelFormat(XmlText(labels, "Format", FLabelFormat));
            ReadFontSettings(labels, *FFont);
            SetLabelSize(size); // as in the stream record
        }
        if (const pugi::xml_node db = Element.child("Database")) {
            SetCaptionsField(XmlText(db, "CaptionsField"));
            refs.Add(this, XmlText(db, "DataSource"), TVxDataSource::staticMetaObject,
                     [this](QObject* c) { SetDataSource(qobject_cast<TVxDataSource*>(c)); });
        } else if (const pugi::xml_node list = Element.child("Captions")) {
            QStringList captions;
            for (pugi::xml_node item = list.child("Item"); item; item = item.next_sibling("Item"))
                captions.append(XmlElementText(item));
            SetCaptions(captions);
        }
    });
    refs.Finish();
}

void TVxBars::WriteTo(TVxIniFile& Ini, const QString& Section) const {
    TVxSeries::WriteTo(Ini, Section);
    const QString& s = Section;
    Ini.WriteInteger(s, "OverlayStyle", int(FOverlayStyle));
    Ini.WriteBool(s, "BarsHorizontal", FBarsHorizontal);
    Ini.WriteInteger(s, "BarStyle", int(FBarStyle));
    Ini.WriteFloat(s, "Depth3D", F3DDepth);
    Ini.WriteFloat(s, "ClassesDistance", FClassesDistance);
    WriteFontSettings(Ini, s, "Font", *FFont);
    Ini.WriteFloat(s, "LabelSize", FLabelSize);
    Ini.WriteBool(s, "LabelVertical", FLabelVertical);
    Ini.WriteColor(s, "LabelColor", FFont->FillColor());
    Ini.WriteInteger(s, "LabelPosition", int(FLabelPosition));
    Ini.WriteInteger(s, "LabelFrom", int(FLabelFrom));
    Ini.WriteString(s, "LabelFormat", FLabelFormat);
    const bool bound = FDataLink->DataSource() != nullptr && !FCaptionsField.isEmpty();
    Ini.WriteBool(s, "FromDatabase", bound);
    if (bound) {
        Ini.WriteString(s, "DataSource", ComponentPath(FDataLink->DataSource()));
        Ini.WriteString(s, "CaptionsField", FCaptionsField);
        return;
    }
    const QStringList captions = Captions();
    Ini.WriteInteger(s, "Captions.Count", captions.size());
    for (int k = 0; k < captions.size(); ++k)
        Ini.WriteCaption(s, QStringLiteral("Captions[%1]").arg(k), captions[k]);
}

void TVxBars::ReadFrom(const TVxIniFile& Ini, const QString& Section) {
    TVxSeries::ReadFrom(Ini, Section);
    TVxReferenceReader refs;
    ReadNamedRecord("TVxBars", [&] {
        const QString& s = Section;
        StoreLook(Ini.ReadInteger(s, "OverlayStyle", int(FOverlayStyle)),
                  Ini.ReadBool(s, "BarsHorizontal", FBarsHorizontal),
                  Ini.ReadInteger(s, "BarStyle", int(FBarStyle)));
        SetDepth3D(Ini.ReadFloat(s, "Depth3D", F3DDepth));
        SetClassesDistance(Ini.ReadFloat(s, "ClassesDistance", FClassesDistance));
        ReadFontSettings(Ini, s, "Font", *FFont);
        SetLabelSize(float(Ini.ReadFloat(s, "LabelSize", FLabelSize)));
        SetLabelVertical(Ini.ReadBool(s, "LabelVertical", FLabelVertical));
        SetLabelColor(Ini.ReadColor(s, "LabelColor", FFont->FillColor()));
        const int position = Ini.ReadInteger(s, "LabelPosition", int(FLabelPosition));
        const int from = Ini.ReadInteger(s, "LabelFrom", int(FLabelFrom));
        CheckOrdinal(position, LastPosition, "LabelPosition");
        CheckOrdinal(from, LastFrom, "LabelFrom");
        SetLabelPosition(TVxBarLabelPosition(position));
        SetLabelFrom(TVxLabelStyle(from));
        SetLabelFormat(Ini.ReadString(s, "LabelFormat", FLabelFormat));
        if (Ini.ReadBool(s, "FromDatabase", false)) {
            SetCaptionsField(Ini.ReadString(s, "CaptionsField", {}));
            refs.Add(this, Ini.ReadString(s, "DataSource", {}), TVxDataSource::staticMetaObject,
                     [this](QObject* c) { SetDataSource(qobject_cast<TVxDataSource*>(c)); });
            return;
        }
        const int n = Ini.ReadInteger(s, "Captions.Count", -1);
        if (n < -1 || n > 1000000)
            throw EVxStreamError("caption count " + std::to_string(n) + " out of range");
        QStringList captions;
        for (int k = 0; k < n; ++k)
            captions.append(Ini.ReadCaption(s, QStringLiteral("Captions[%1]").arg(k), {}));
        if (n >= 0)
            SetCaptions(captions);
    });
    refs.Finish();
}
