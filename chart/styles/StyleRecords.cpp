#include "styles/StyleRecords.h"

#include "persistence/XmlCodec.h"
#include "util/Exceptions.h"

#include <cmath>
#include <limits>

namespace {

// A double narrowed to a float; beyond the float range it becomes an infinity, which the
// setters then treat as any other value (narrowing such a double directly is undefined).
float ToSingle(double Value) {
    constexpr double max = std::numeric_limits<float>::max();
    if (Value > max)
        return std::numeric_limits<float>::infinity();
    if (Value < -max)
        return -std::numeric_limits<float>::infinity();
    return float(Value);
}

constexpr int LastDashStyle = int(TDashStyle::DashStyleCustom);
constexpr int LastGradientStyle = int(TVxGradientStyle::Elliptical);
constexpr int LastAreaStyle = int(TVxAreaStyle::Total);
constexpr int LastRenderingHint = int(TVxTextRenderingHint::ClearTypeGridFit);
constexpr int AllBits = 15;

// An integer key that must lie in Min..Max; Default when missing; raises EVxConvertError.
int ReadIniInRange(const TVxIniFile& Ini, const QString& Section, const QString& Key, int Min,
                   int Max, int Default) {
    if (!Ini.ValueExists(Section, Key))
        return Default;
    bool ok = false;
    const int value = Ini.ReadString(Section, Key, {}).trimmed().toInt(&ok);
    if (!ok || value < Min || value > Max)
        throw EVxConvertError(
            QString("'%1' is not a valid value of %2").arg(Ini.ReadString(Section, Key, {}), Key));
    return value;
}

float ReadIniSingle(const TVxIniFile& Ini, const QString& Section, const QString& Key,
                    double Default) {
    return ToSingle(Ini.ReadFloat(Section, Key, Default));
}

float XmlSingle(pugi::xml_node Node, const char* Name, float Default) {
    return ToSingle(XmlFloat(Node, Name, Default));
}

} // namespace

// Binary records.

void WriteLineSettings(TVxStreamWriter& Out, const TVxLineSettings& Line) {
    Out.WriteBool(Line.Visible());
    Out.WriteColor(Line.Color());
    Out.WriteSingle(Line.Width());
    Out.WriteByte(uint8_t(Line.DashStyle()));
    Out.WriteContinuation(false);
}

void ReadLineSettings(TVxStreamReader& In, TVxLineSettings& Line) {
    Line.SetVisible(In.ReadBool());
    Line.SetColor(In.ReadColor());
    Line.SetWidth(In.ReadSingle());
    Line.SetDashStyle(TDashStyle(In.ReadEnum(LastDashStyle)));
    In.ReadByte();
}

void WriteSimpleLineSettings(TVxStreamWriter& Out, const TVxSimpleLineSettings& Line) {
    Out.WriteColor(Line.Color());
    Out.WriteSingle(Line.Width());
    Out.WriteByte(uint8_t(Line.DashStyle()));
    Out.WriteContinuation(true);
    WriteGradientSettings(Out, *Line.Gradient());
    Out.WriteContinuation(false);
}

void ReadSimpleLineSettings(TVxStreamReader& In, TVxSimpleLineSettings& Line) {
    Line.SetColor(In.ReadColor());
    Line.SetWidth(In.ReadSingle());
    Line.SetDashStyle(TDashStyle(In.ReadEnum(LastDashStyle)));
    if (In.ReadContinuation()) {
        ReadGradientSettings(In, *Line.Gradient());
        In.ReadByte();
    }
}

void WriteGradientSettings(TVxStreamWriter& Out, const TVxGradientSettings& Gradient) {
    Out.WriteBool(Gradient.Visible());
    Out.WriteByte(uint8_t(Gradient.Style()));
    Out.WriteColor(Gradient.FirstColor());
    Out.WriteColor(Gradient.MiddleColor());
    Out.WriteColor(Gradient.LastColor());
    Out.WriteSingle(Gradient.LinearAngle());
    Out.WriteSingle(Gradient.LinearCenter());
    Out.WriteSingle(Gradient.RadialCenterX());
    Out.WriteSingle(Gradient.RadialCenterY());
    Out.WriteContinuation(false);
}

void ReadGradientSettings(TVxStreamReader& In, TVxGradientSettings& Gradient) {
    Gradient.SetVisible(In.ReadBool());
    Gradient.SetStyle(TVxGradientStyle(In.ReadEnum(LastGradientStyle)));
    Gradient.SetFirstColor(In.ReadColor());
    Gradient.SetMiddleColor(In.ReadColor());
    Gradient.SetLastColor(In.ReadColor());
    Gradient.SetLinearAngle(In.ReadSingle());
    Gradient.SetLinearCenter(In.ReadSingle());
    Gradient.SetRadialCenterX(In.ReadSingle());
    Gradient.SetRadialCenterY(In.ReadSingle());
    In.ReadByte();
}

void WriteAreaSettings(TVxStreamWriter& Out, const TVxAreaSettings& Area) {
    Out.WriteBool(Area.Visible());
    Out.WriteColor(Area.ForeColor());
    Out.WriteColor(Area.BackColor());
    Out.WriteByte(uint8_t(Area.AreaStyle()));
    Out.WriteContinuation(true);
    WriteGradientSettings(Out, *Area.Gradient());
    Out.WriteContinuation(false);
}

void ReadAreaSettings(TVxStreamReader& In, TVxAreaSettings& Area) {
    Area.SetVisible(In.ReadBool());
    Area.SetForeColor(In.ReadColor());
    Area.SetBackColor(In.ReadColor());
    Area.SetAreaStyle(TVxAreaStyle(In.ReadEnum(LastAreaStyle)));
    if (In.ReadContinuation()) {
        ReadGradientSettings(In, *Area.Gradient());
        In.ReadByte();
    }
}

void WriteFontSettings(TVxStreamWriter& Out, const TVxFont& Font) {
    Out.WriteText(Font.Name());
    Out.WriteInt32(int32_t(std::nearbyint(Font.GetSize())));
    Out.WriteByte(uint8_t(Font.Style().toInt()));
    Out.WriteContinuation(true);
    Out.WriteByte(uint8_t(Font.DrawEffects().toInt()));
    Out.WriteByte(uint8_t(Font.RenderingHint()));
    Out.WriteColor(Font.FillColor());
    WriteGradientSettings(Out, *Font.Gradient());
    Out.WriteContinuation(true);
    Out.WriteSingle(Font.GetSize());
    Out.WriteContinuation(false);
}

void ReadFontSettings(TVxStreamReader& In, TVxFont& Font) {
    Font.SetName(In.ReadText());
    Font.SetSize(float(In.ReadInt32()));
    Font.SetStyle(TVxFontStyles::fromInt(In.ReadEnum(AllBits)));
    // Each continuation byte of 0 ends the record; the byte after the last known group is
    // read whatever it holds.
    if (!In.ReadContinuation())
        return;
    Font.SetDrawEffects(TVxCharDrawEffects::fromInt(In.ReadEnum(AllBits)));
    Font.SetRenderingHint(TVxTextRenderingHint(In.ReadEnum(LastRenderingHint)));
    Font.SetFillColor(In.ReadColor());
    ReadGradientSettings(In, *Font.Gradient());
    if (!In.ReadContinuation())
        return;
    Font.SetSize(In.ReadSingle());
    In.ReadByte();
}

// XML elements.

void WriteLineSettings(pugi::xml_node Parent, const char* Name, const TVxLineSettings& Line) {
    pugi::xml_node e = Parent.append_child(Name);
    SetXmlBool(e, "Visible", Line.Visible());
    SetXmlColor(e, "Color", Line.Color());
    SetXmlFloat(e, "Width", Line.Width());
    SetXmlInt(e, "DashStyle", int(Line.DashStyle()));
}

bool ReadLineSettings(pugi::xml_node Parent, const char* Name, TVxLineSettings& Line) {
    const pugi::xml_node e = Parent.child(Name);
    if (!e)
        return false;
    Line.SetVisible(XmlBool(e, "Visible", Line.Visible()));
    Line.SetColor(XmlColor(e, "Color", Line.Color()));
    Line.SetWidth(XmlSingle(e, "Width", Line.Width()));
    Line.SetDashStyle(
        TDashStyle(XmlIntInRange(e, "DashStyle", 0, LastDashStyle, int(Line.DashStyle()))));
    return true;
}

void WriteSimpleLineSettings(pugi::xml_node Parent, const TVxSimpleLineSettings& Line) {
    pugi::xml_node e = Parent.append_child("Line");
    SetXmlColor(e, "Color", Line.Color());
    SetXmlFloat(e, "Width", Line.Width());
    SetXmlInt(e, "DashStyle", int(Line.DashStyle()));
}

bool ReadSimpleLineSettings(pugi::xml_node Parent, TVxSimpleLineSettings& Line) {
    const pugi::xml_node e = Parent.child("Line");
    if (!e)
        return false;
    Line.SetColor(XmlColor(e, "Color", Line.Color()));
    Line.SetWidth(XmlSingle(e, "Width", Line.Width()));
    Line.SetDashStyle(
        TDashStyle(XmlIntInRange(e, "DashStyle", 0, LastDashStyle, int(Line.DashStyle()))));
    return true;
}

void WriteGradientSettings(pugi::xml_node Parent, const char* Name,
                           const TVxGradientSettings& Gradient) {
    pugi::xml_node e = Parent.append_child(Name);
    SetXmlBool(e, "Visible", Gradient.Visible());
    SetXmlInt(e, "Style", int(Gradient.Style()));
    SetXmlColor(e, "FirstColor", Gradient.FirstColor());
    SetXmlColor(e, "MiddleColor", Gradient.MiddleColor());
    SetXmlColor(e, "LastColor", Gradient.LastColor());
    SetXmlFloat(e, "LinearAngle", Gradient.LinearAngle());
    SetXmlFloat(e, "LinearCenter", Gradient.LinearCenter());
    SetXmlFloat(e, "RadialCenterX", Gradient.RadialCenterX());
    SetXmlFloat(e, "RadialCenterY", Gradient.RadialCenterY());
}

bool ReadGradientSettings(pugi::xml_node Parent, const char* Name, TVxGradientSettings& Gradient) {
    const pugi::xml_node e = Parent.child(Name);
    if (!e)
        return false;
    TVxGradientSettings& g = Gradient;
    g.SetVisible(XmlBool(e, "Visible", g.Visible()));
    g.SetStyle(TVxGradientStyle(XmlIntInRange(e, "Style", 0, LastGradientStyle, int(g.Style()))));
    g.SetFirstColor(XmlColor(e, "FirstColor", g.FirstColor()));
    g.SetMiddleColor(XmlColor(e, "MiddleColor", g.MiddleColor()));
    g.SetLastColor(XmlColor(e, "LastColor", g.LastColor()));
    g.SetLinearAngle(XmlSingle(e, "LinearAngle", g.LinearAngle()));
    g.SetLinearCenter(XmlSingle(e, "LinearCenter", g.LinearCenter()));
    g.SetRadialCenterX(XmlSingle(e, "RadialCenterX", g.RadialCenterX()));
    g.SetRadialCenterY(XmlSingle(e, "RadialCenterY", g.RadialCenterY()));
    return true;
}

void WriteAreaSettings(pugi::xml_node Parent, const TVxAreaSettings& Area) {
    pugi::xml_node e = Parent.append_child("Area");
    SetXmlBool(e, "Visible", Area.Visible());
    SetXmlColor(e, "ForeColor", Area.ForeColor());
    SetXmlColor(e, "BackColor", Area.BackColor());
    SetXmlInt(e, "AreaStyle", int(Area.AreaStyle()));
    WriteGradientSettings(e, "Gradient", *Area.Gradient());
}

bool ReadAreaSettings(pugi::xml_node Parent, TVxAreaSettings& Area) {
    const pugi::xml_node e = Parent.child("Area");
    if (!e)
        return false;
    Area.SetVisible(XmlBool(e, "Visible", Area.Visible()));
    Area.SetForeColor(XmlColor(e, "ForeColor", Area.ForeColor()));
    Area.SetBackColor(XmlColor(e, "BackColor", Area.BackColor()));
    Area.SetAreaStyle(
        TVxAreaStyle(XmlIntInRange(e, "AreaStyle", 0, LastAreaStyle, int(Area.AreaStyle()))));
    ReadGradientSettings(e, "Gradient", *Area.Gradient());
    return true;
}

void WriteFontSettings(pugi::xml_node Parent, const TVxFont& Font) {
    pugi::xml_node e = Parent.append_child("Font");
    SetXmlText(e, "Name", Font.Name());
    SetXmlFloat(e, "Size", Font.GetSize());
    SetXmlInt(e, "Style", Font.Style().toInt());
    SetXmlInt(e, "DrawEffects", Font.DrawEffects().toInt());
    SetXmlInt(e, "RenderingHint", int(Font.RenderingHint()));
    SetXmlColor(e, "FillColor", Font.FillColor());
    WriteGradientSettings(e, "Gradient", *Font.Gradient());
}

bool ReadFontSettings(pugi::xml_node Parent, TVxFont& Font) {
    const pugi::xml_node e = Parent.child("Font");
    if (!e)
        return false;
    Font.SetName(XmlText(e, "Name", Font.Name()));
    Font.SetSize(XmlSingle(e, "Size", Font.GetSize()));
    Font.SetStyle(
        TVxFontStyles::fromInt(XmlIntInRange(e, "Style", 0, AllBits, Font.Style().toInt())));
    Font.SetDrawEffects(TVxCharDrawEffects::fromInt(
        XmlIntInRange(e, "DrawEffects", 0, AllBits, Font.DrawEffects().toInt())));
    Font.SetRenderingHint(TVxTextRenderingHint(
        XmlIntInRange(e, "RenderingHint", 0, LastRenderingHint, int(Font.RenderingHint()))));
    Font.SetFillColor(XmlColor(e, "FillColor", Font.FillColor()));
    ReadGradientSettings(e, "Gradient", *Font.Gradient());
    return true;
}

// Ini keys.

void WriteLineSettings(TVxIniFile& Ini, const QString& Section, const QString& Prefix,
                       const TVxLineSettings& Line) {
    Ini.WriteBool(Section, Prefix + ".Visible", Line.Visible());
    WriteSimpleLineSettings(Ini, Section, Prefix, Line);
}

void ReadLineSettings(const TVxIniFile& Ini, const QString& Section, const QString& Prefix,
                      TVxLineSettings& Line) {
    Line.SetVisible(Ini.ReadBool(Section, Prefix + ".Visible", Line.Visible()));
    ReadSimpleLineSettings(Ini, Section, Prefix, Line);
}

void WriteSimpleLineSettings(TVxIniFile& Ini, const QString& Section, const QString& Prefix,
                             const TVxSimpleLineSettings& Line) {
    Ini.WriteColor(Section, Prefix + ".Color", Line.Color());
    Ini.WriteFloat(Section, Prefix + ".Width", Line.Width());
    Ini.WriteInteger(Section, Prefix + ".DashStyle", int(Line.DashStyle()));
}

void ReadSimpleLineSettings(const TVxIniFile& Ini, const QString& Section, const QString& Prefix,
                            TVxSimpleLineSettings& Line) {
    Line.SetColor(Ini.ReadColor(Section, Prefix + ".Color", Line.Color()));
    Line.SetWidth(ReadIniSingle(Ini, Section, Prefix + ".Width", 1));
    Line.SetDashStyle(TDashStyle(ReadIniInRange(Ini, Section, Prefix + ".DashStyle", 0,
                                                LastDashStyle, int(Line.DashStyle()))));
}

void WriteGradientSettings(TVxIniFile& Ini, const QString& Section, const QString& Prefix,
                           const TVxGradientSettings& Gradient) {
    Ini.WriteBool(Section, Prefix + ".Visible", Gradient.Visible());
    Ini.WriteInteger(Section, Prefix + ".Style", int(Gradient.Style()));
    Ini.WriteColor(Section, Prefix + ".FirstColor", Gradient.FirstColor());
    Ini.WriteColor(Section, Prefix + ".MiddleColor", Gradient.MiddleColor());
    Ini.WriteColor(Section, Prefix + ".LastColor", Gradient.LastColor());
    Ini.WriteFloat(Section, Prefix + ".LinearAngle", Gradient.LinearAngle());
    Ini.WriteFloat(Section, Prefix + ".LinearCenter", Gradient.LinearCenter());
    Ini.WriteFloat(Section, Prefix + ".RadialCenterX", Gradient.RadialCenterX());
    Ini.WriteFloat(Section, Prefix + ".RadialCenterY", Gradient.RadialCenterY());
}

void ReadGradientSettings(const TVxIniFile& Ini, const QString& Section, const QString& Prefix,
                          TVxGradientSettings& Gradient) {
    TVxGradientSettings& g = Gradient;
    g.SetVisible(Ini.ReadBool(Section, Prefix + ".Visible", g.Visible()));
    g.SetStyle(TVxGradientStyle(
        ReadIniInRange(Ini, Section, Prefix + ".Style", 0, LastGradientStyle, int(g.Style()))));
    g.SetFirstColor(Ini.ReadColor(Section, Prefix + ".FirstColor", g.FirstColor()));
    g.SetMiddleColor(Ini.ReadColor(Section, Prefix + ".MiddleColor", g.MiddleColor()));
    g.SetLastColor(Ini.ReadColor(Section, Prefix + ".LastColor", g.LastColor()));
    g.SetLinearAngle(ReadIniSingle(Ini, Section, Prefix + ".LinearAngle", 90));
    g.SetLinearCenter(ReadIniSingle(Ini, Section, Prefix + ".LinearCenter", 0.5));
    g.SetRadialCenterX(ReadIniSingle(Ini, Section, Prefix + ".RadialCenterX", 0.5));
    g.SetRadialCenterY(ReadIniSingle(Ini, Section, Prefix + ".RadialCenterY", 0.5));
}

void WriteAreaSettings(TVxIniFile& Ini, const QString& Section, const QString& Prefix,
                       const TVxAreaSettings& Area) {
    Ini.WriteBool(Section, Prefix + ".Visible", Area.Visible());
    Ini.WriteColor(Section, Prefix + ".ForeColor", Area.ForeColor());
    Ini.WriteColor(Section, Prefix + ".BackColor", Area.BackColor());
    Ini.WriteInteger(Section, Prefix + ".Style", int(Area.AreaStyle()));
    WriteGradientSettings(Ini, Section, Prefix + ".Gradient", *Area.Gradient());
}

void ReadAreaSettings(const TVxIniFile& Ini, const QString& Section, const QString& Prefix,
                      TVxAreaSettings& Area) {
    Area.SetVisible(Ini.ReadBool(Section, Prefix + ".Visible", Area.Visible()));
    Area.SetForeColor(Ini.ReadColor(Section, Prefix + ".ForeColor", Area.ForeColor()));
    Area.SetBackColor(Ini.ReadColor(Section, Prefix + ".BackColor", Area.BackColor()));
    Area.SetAreaStyle(TVxAreaStyle(
        ReadIniInRange(Ini, Section, Prefix + ".Style", 0, LastAreaStyle, int(Area.AreaStyle()))));
    ReadGradientSettings(Ini, Section, Prefix + ".Gradient", *Area.Gradient());
}

void WriteFontSettings(TVxIniFile& Ini, const QString& Section, const QString& Prefix,
                       const TVxFont& Font) {
    Ini.WriteString(Section, Prefix + ".Name", Font.Name());
    Ini.WriteFloat(Section, Prefix + ".Size", Font.GetSize());
    Ini.WriteInteger(Section, Prefix + ".Style", Font.Style().toInt());
    Ini.WriteInteger(Section, Prefix + ".DrawEffects", Font.DrawEffects().toInt());
    Ini.WriteInteger(Section, Prefix + ".RenderingHint", int(Font.RenderingHint()));
    Ini.WriteColor(Section, Prefix + ".FillColor", Font.FillColor());
    WriteGradientSettings(Ini, Section, Prefix + ".Gradient", *Font.Gradient());
}

void ReadFontSettings(const TVxIniFile& Ini, const QString& Section, const QString& Prefix,
                      TVxFont& Font) {
    Font.SetName(Ini.ReadString(Section, Prefix + ".Name", Font.Name()));
    Font.SetSize(ReadIniSingle(Ini, Section, Prefix + ".Size", Font.GetSize()));
    Font.SetStyle(TVxFontStyles::fromInt(
        ReadIniInRange(Ini, Section, Prefix + ".Style", 0, AllBits, Font.Style().toInt())));
    Font.SetDrawEffects(TVxCharDrawEffects::fromInt(ReadIniInRange(
        Ini, Section, Prefix + ".DrawEffects", 0, AllBits, Font.DrawEffects().toInt())));
    Font.SetRenderingHint(TVxTextRenderingHint(ReadIniInRange(
        Ini, Section, Prefix + ".RenderingHint", 0, LastRenderingHint, int(Font.RenderingHint()))));
    Font.SetFillColor(Ini.ReadColor(Section, Prefix + ".FillColor", Font.FillColor()));
    ReadGradientSettings(Ini, Section, Prefix + ".Gradient", *Font.Gradient());
}
