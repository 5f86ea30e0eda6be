// The legend's saved form in a binary stream, an XML element and an ini section. Readers
// treat their input as hostile: enumerations and counts are range-checked, non-finite
// numbers are refused with a clear error, lengths pass through the clamping setters, and a
// record that ends early raises while keeping the values read before.

#include "annotations/Legend.h"
#include "persistence/XmlCodec.h"
#include "styles/StyleRecords.h"
#include "util/ComponentPaths.h"
#include "util/Exceptions.h"

#include <cmath>

namespace {

/// The parent the legend is painted on (its host's widget), nullptr for none.
const QObject* ParentOf(const TVxLegend& Legend) {
    TVxChartItemHost* host = Legend.Host();
    return host ? host->HostWidget() : nullptr;
}

float FiniteSingle(TVxStreamReader& In) {
    const float value = In.ReadSingle();
    if (!std::isfinite(value))
        throw EVxStreamError("Invalid floating point value in legend record");
    return value;
}

float FiniteXml(pugi::xml_node Node, const char* Name, float Default) {
    const double value = XmlFloat(Node, Name, Default);
    if (!std::isfinite(value))
        throw EVxConvertError(QString("Invalid floating point value in \"%1\"")
                                  .arg(QString::fromUtf8(Name))
                                  .toStdString());
    return float(std::clamp(value, -1e6, 1e6));
}

float FiniteIni(const TVxIniFile& Ini, const QString& Section, const QString& Key, float Default) {
    const double value = Ini.ReadFloat(Section, Key, Default);
    if (!std::isfinite(value))
        throw EVxConvertError(
            QString("Invalid floating point value in \"%1\"").arg(Key).toStdString());
    return float(std::clamp(value, -1e6, 1e6));
}

/// Joins the parent the record names when the legend is painted nowhere yet.
void JoinParent(TVxLegend& Legend, QObject* Parent) {
    if (auto* host = dynamic_cast<TVxChartItemHost*>(Parent); host && !Legend.Host())
        Legend.SetHost(host);
}

} // namespace

// --- binary stream --------------------------------------------------------------------------

void TVxLegend::WriteToStream(TVxStreamWriter& Out) const {
    Out.WriteComponent(this);
    Out.WriteComponent(ParentOf(*this));
    Out.WriteBool(Visible());
    Out.WriteText(FHint);
    Out.WriteBool(FParentShowHint);
    Out.WriteBool(FShowHint);
    Out.WriteByte(uint8_t(FPosition));
    Out.WriteComponent(FGraphWidget.data());
    Out.WriteInt32(Top());
    Out.WriteInt32(Left());
    Out.WriteBool(FAutoSize);
    Out.WriteInt32(Width());
    Out.WriteInt32(Height());
    // The property, not the effective height: a loaded legend still follows its font.
    Out.WriteSingle(FItemHeightSet);
    Out.WriteSingle(FItemWidth);
    Out.WriteColor(ForeColor());
    Out.WriteColor(FBackColor);
    Out.WriteByte(uint8_t(FLegendCaptionColorFrom));
    Out.WriteByte(uint8_t(FItemsOrder));
    Out.WriteInt32(FRows);
    Out.WriteInt32(FColumns);
    Out.WriteInt32(int32_t(FItemsOrderList.size()));
    for (const QString& path : FItemsOrderList)
        Out.WriteText(path);
    WriteFontSettings(Out, *FFont);
    WriteLineSettings(Out, *FFrame);
    Out.WriteSingle(FCornerRounding);
    Out.WriteSingle(FDistanceItemCaption);
    Out.WriteSingle(FDistanceBetweenLines);
    Out.WriteSingle(FDistanceBetweenColumns);
    Out.WriteSingle(FDistanceToBorder);
    Out.WriteBool(FCaptionVisible);
    Out.WriteText(FCaption);
    Out.WriteByte(uint8_t(FCaptionAlignment));
    Out.WriteColor(CaptionColor());
    Out.WriteSingle(FCaptionDistanceBefore);
    Out.WriteSingle(FCaptionDistanceAfter);
    WriteFontSettings(Out, *FCaptionFont);
    Out.WriteContinuation(true);
    Out.WriteBool(FDropShadow);
    WriteGradientSettings(Out, *FBackgroundGradient);
    Out.WriteContinuation(false);
}

void TVxLegend::ReadFromStream(TVxStreamReader& In) {
    In.ReadText(); // the legend's own path: the chart reader found the legend by it
    JoinParent(*this, In.ReadComponent());
    SetVisible(In.ReadBool());
    FHint = In.ReadText();
    FParentShowHint = In.ReadBool();
    FShowHint = In.ReadBool();
    SetPosition(TVxLegendPosition(In.ReadEnum(int(TVxLegendPosition::FreeFloating))));
    if (QObject* graph = In.ReadComponent())
        SetGraphWidget(qobject_cast<QWidget*>(graph));
    const int top = In.ReadInt32();
    const int left = In.ReadInt32();
    SetAutoSize(In.ReadBool());
    const int width = In.ReadInt32();
    const int height = In.ReadInt32();
    SetBounds(left, top, width, height);
    SetItemHeight(FiniteSingle(In));
    SetItemWidth(FiniteSingle(In));
    SetForeColor(In.ReadColor());
    SetBackColor(In.ReadColor());
    SetLegendCaptionColorFrom(TVxLegendCaptionColorFrom(
        In.ReadEnum(int(TVxLegendCaptionColorFrom::SeriesAreaForeColor))));
    const auto order = TVxItemsOrder(In.ReadEnum(int(TVxItemsOrder::ByRow)));
    SetRows(In.ReadInt32());
    SetColumns(In.ReadInt32());
    const int32_t count = In.ReadCount(4);
    QStringList paths;
    for (int32_t i = 0; i < count; ++i)
        paths.append(In.ReadText());
    SetItemsOrderList(paths);
    ReadFontSettings(In, *FFont);
    ReadLineSettings(In, *FFrame);
    SetCornerRounding(FiniteSingle(In));
    SetDistanceItemCaption(FiniteSingle(In));
    SetDistanceBetweenLines(FiniteSingle(In));
    SetDistanceBetweenColumns(FiniteSingle(In));
    SetDistanceToBorder(FiniteSingle(In));
    SetCaptionVisible(In.ReadBool());
    SetCaption(In.ReadText());
    SetCaptionAlignment(TVxCaptionAlignment(In.ReadEnum(int(TVxCaptionAlignment::Center))));
    SetCaptionColor(In.ReadColor());
    SetCaptionDistanceBefore(FiniteSingle(In));
    SetCaptionDistanceAfter(FiniteSingle(In));
    ReadFontSettings(In, *FCaptionFont);
    if (In.ReadContinuation()) {
        SetDropShadow(In.ReadBool());
        ReadGradientSettings(In, *FBackgroundGradient);
        In.ReadByte();
    }
    // The order after the position: docking sets an order of its own.
    SetItemsOrder(order);
    Modified();
}

// --- XML --------------------------------------------------------------------------------

void TVxLegend::WriteToXml(pugi::xml_node Parent) const {
    pugi::xml_node e = Parent.append_child("TVxLegend");
    SetXmlComponent(e, "Name", this);
    pugi::xml_node p = e.append_child("Properties");
    SetXmlComponent(p, "Parent", ParentOf(*this));
    SetXmlBool(p, "Visible", Visible());
    SetXmlText(p, "Hint", FHint);
    SetXmlBool(p, "ParentShowHint", FParentShowHint);
    SetXmlBool(p, "ShowHint", FShowHint);
    SetXmlComponent(p, "Graph", FGraphWidget.data());
    SetXmlInt(p, "Position", int(FPosition));
    SetXmlInt(p, "Top", Top());
    SetXmlInt(p, "Left", Left());
    SetXmlBool(p, "AutoSize", FAutoSize);
    SetXmlInt(p, "Width", Width());
    SetXmlInt(p, "Height", Height());
    SetXmlFloat(p, "ItemHeight", FItemHeightSet);
    SetXmlFloat(p, "ItemWidth", FItemWidth);
    SetXmlColor(p, "ForeColor", ForeColor());
    SetXmlColor(p, "BackColor", FBackColor);
    SetXmlBool(p, "DropShadow", FDropShadow);
    SetXmlInt(p, "LegendCaptionColorFrom", int(FLegendCaptionColorFrom));
    SetXmlInt(p, "ItemsOrder", int(FItemsOrder));
    SetXmlInt(p, "Rows", FRows);
    SetXmlInt(p, "Columns", FColumns);
    pugi::xml_node list = e.append_child("ItemsOrderList");
    SetXmlInt(list, "Count", FItemsOrderList.size());
    for (const QString& path : FItemsOrderList)
        SetXmlElementText(list.append_child("Item"), path);
    WriteFontSettings(e, *FFont);
    WriteLineSettings(e, "Frame", *FFrame);
    pugi::xml_node d = e.append_child("Distances");
    SetXmlFloat(d, "CornerRounding", FCornerRounding);
    SetXmlFloat(d, "ItemCaption", FDistanceItemCaption);
    SetXmlFloat(d, "BetweenLines", FDistanceBetweenLines);
    SetXmlFloat(d, "BetweenColumns", FDistanceBetweenColumns);
    SetXmlFloat(d, "ToBorder", FDistanceToBorder);
    pugi::xml_node c = e.append_child("Caption");
    SetXmlText(c, "Text", FCaption);
    pugi::xml_node cp = c.append_child("Properties");
    SetXmlBool(cp, "Visible", FCaptionVisible);
    SetXmlInt(cp, "Alignment", int(FCaptionAlignment));
    SetXmlColor(cp, "Color", CaptionColor());
    SetXmlFloat(cp, "DistanceBefore", FCaptionDistanceBefore);
    SetXmlFloat(cp, "DistanceAfter", FCaptionDistanceAfter);
    WriteFontSettings(c, *FCaptionFont);
    WriteGradientSettings(c, "Gradient", *FBackgroundGradient);
}

void TVxLegend::ReadFromXml(pugi::xml_node Element) {
    if (pugi::xml_node p = Element.child("Properties")) {
        JoinParent(*this, XmlComponent(p, "Parent"));
        SetVisible(XmlBool(p, "Visible", Visible()));
        FHint = XmlText(p, "Hint", FHint);
        FParentShowHint = XmlBool(p, "ParentShowHint", FParentShowHint);
        FShowHint = XmlBool(p, "ShowHint", FShowHint);
        if (QObject* graph = XmlComponent(p, "Graph"))
            SetGraphWidget(qobject_cast<QWidget*>(graph));
        SetPosition(TVxLegendPosition(
            XmlIntInRange(p, "Position", 0, int(TVxLegendPosition::FreeFloating), int(FPosition))));
        SetAutoSize(XmlBool(p, "AutoSize", FAutoSize));
        SetBounds(XmlInt(p, "Left", Left()), XmlInt(p, "Top", Top()), XmlInt(p, "Width", Width()),
                  XmlInt(p, "Height", Height()));
        SetItemHeight(FiniteXml(p, "ItemHeight", FItemHeightSet));
        SetItemWidth(FiniteXml(p, "ItemWidth", FItemWidth));
        SetForeColor(XmlColor(p, "ForeColor", ForeColor()));
        SetBackColor(XmlColor(p, "BackColor", FBackColor));
        SetDropShadow(XmlBool(p, "DropShadow", FDropShadow));
        SetLegendCaptionColorFrom(TVxLegendCaptionColorFrom(XmlIntInRange(
            p, "LegendCaptionColorFrom", 0, int(TVxLegendCaptionColorFrom::SeriesAreaForeColor),
            int(FLegendCaptionColorFrom))));
        SetItemsOrder(TVxItemsOrder(
            XmlIntInRange(p, "ItemsOrder", 0, int(TVxItemsOrder::ByRow), int(FItemsOrder))));
        SetRows(XmlInt(p, "Rows", FRows));
        SetColumns(XmlInt(p, "Columns", FColumns));
    }
    if (pugi::xml_node list = Element.child("ItemsOrderList")) {
        // The children are the list; the count attribute only bounds it.
        const int count = XmlIntInRange(list, "Count", 0, 1 << 30, 0);
        QStringList paths;
        for (pugi::xml_node item = list.child("Item"); item && paths.size() < count;
             item = item.next_sibling("Item"))
            paths.append(XmlElementText(item));
        SetItemsOrderList(paths);
    }
    ReadFontSettings(Element, *FFont);
    ReadLineSettings(Element, "Frame", *FFrame);
    if (pugi::xml_node d = Element.child("Distances")) {
        SetCornerRounding(FiniteXml(d, "CornerRounding", FCornerRounding));
        SetDistanceItemCaption(FiniteXml(d, "ItemCaption", FDistanceItemCaption));
        SetDistanceBetweenLines(FiniteXml(d, "BetweenLines", FDistanceBetweenLines));
        SetDistanceBetweenColumns(FiniteXml(d, "BetweenColumns", FDistanceBetweenColumns));
        SetDistanceToBorder(FiniteXml(d, "ToBorder", FDistanceToBorder));
    }
    if (pugi::xml_node c = Element.child("Caption")) {
        SetCaption(XmlText(c, "Text", FCaption));
        if (pugi::xml_node cp = c.child("Properties")) {
            SetCaptionVisible(XmlBool(cp, "Visible", FCaptionVisible));
            SetCaptionAlignment(TVxCaptionAlignment(XmlIntInRange(
                cp, "Alignment", 0, int(TVxCaptionAlignment::Center), int(FCaptionAlignment))));
            SetCaptionColor(XmlColor(cp, "Color", CaptionColor()));
            SetCaptionDistanceBefore(FiniteXml(cp, "DistanceBefore", FCaptionDistanceBefore));
            SetCaptionDistanceAfter(FiniteXml(cp, "DistanceAfter", FCaptionDistanceAfter));
        }
        ReadFontSettings(c, *FCaptionFont);
        ReadGradientSettings(c, "Gradient", *FBackgroundGradient);
    }
    Modified();
}

// --- ini --------------------------------------------------------------------------------

void TVxLegend::WriteToIni(TVxIniFile& Ini, const QString& Section) const {
    Ini.WriteComponent(Section, "Name", this);
    Ini.WriteComponent(Section, "Parent", ParentOf(*this));
    Ini.WriteBool(Section, "Visible", Visible());
    Ini.WriteComponent(Section, "Graph", FGraphWidget.data());
    Ini.WriteInteger(Section, "Position", int(FPosition));
    Ini.WriteInteger(Section, "Top", Top());
    Ini.WriteInteger(Section, "Left", Left());
    Ini.WriteBool(Section, "AutoSize", FAutoSize);
    Ini.WriteInteger(Section, "Width", Width());
    Ini.WriteInteger(Section, "Height", Height());
    Ini.WriteCaption(Section, "Hint", FHint);
    Ini.WriteBool(Section, "ParentShowHint", FParentShowHint);
    Ini.WriteBool(Section, "ShowHint", FShowHint);
    Ini.WriteFloat(Section, "ItemHeight", FItemHeightSet);
    Ini.WriteFloat(Section, "ItemWidth", FItemWidth);
    Ini.WriteColor(Section, "ForeColor", ForeColor());
    Ini.WriteColor(Section, "BackColor", FBackColor);
    Ini.WriteBool(Section, "DropShadow", FDropShadow);
    Ini.WriteInteger(Section, "LegendCaptionColorFrom", int(FLegendCaptionColorFrom));
    Ini.WriteInteger(Section, "ItemsOrder", int(FItemsOrder));
    Ini.WriteInteger(Section, "Rows", FRows);
    Ini.WriteInteger(Section, "Columns", FColumns);
    Ini.WriteInteger(Section, "ItemsOrderList.Count", int(FItemsOrderList.size()));
    for (qsizetype i = 0; i < FItemsOrderList.size(); ++i)
        Ini.WriteString(Section, QStringLiteral("ItemsOrderList[%1]").arg(i), FItemsOrderList[i]);
    WriteFontSettings(Ini, Section, "Font", *FFont);
    WriteLineSettings(Ini, Section, "Frame", *FFrame);
    Ini.WriteFloat(Section, "CornerRounding", FCornerRounding);
    Ini.WriteFloat(Section, "Distance.ItemCaption", FDistanceItemCaption);
    Ini.WriteFloat(Section, "Distance.BetweenLines", FDistanceBetweenLines);
    Ini.WriteFloat(Section, "Distance.BetweenColumns", FDistanceBetweenColumns);
    Ini.WriteFloat(Section, "Distance.ToBorder", FDistanceToBorder);
    Ini.WriteCaption(Section, "Caption", FCaption);
    Ini.WriteBool(Section, "Caption.Visible", FCaptionVisible);
    Ini.WriteInteger(Section, "Caption.Alignment", int(FCaptionAlignment));
    Ini.WriteColor(Section, "Caption.Color", CaptionColor());
    Ini.WriteFloat(Section, "Caption.DistanceBefore", FCaptionDistanceBefore);
    Ini.WriteFloat(Section, "Caption.DistanceAfter", FCaptionDistanceAfter);
    WriteFontSettings(Ini, Section, "Caption.Font", *FCaptionFont);
    WriteGradientSettings(Ini, Section, "BackgroundGradient", *FBackgroundGradient);
}

void TVxLegend::ReadFromIni(const TVxIniFile& Ini, const QString& Section) {
    const auto ordinal = [&](const char* Key, int Last, int Current) {
        const int value = Ini.ReadInteger(Section, Key, Current);
        if (value < 0 || value > Last)
            throw EVxConvertError(
                QString("Invalid value %1 of \"%2\"").arg(value).arg(Key).toStdString());
        return value;
    };
    JoinParent(*this, Ini.ReadComponent(Section, "Parent"));
    SetVisible(Ini.ReadBool(Section, "Visible", Visible()));
    if (QObject* graph = Ini.ReadComponent(Section, "Graph"))
        SetGraphWidget(qobject_cast<QWidget*>(graph));
    SetPosition(TVxLegendPosition(
        ordinal("Position", int(TVxLegendPosition::FreeFloating), int(FPosition))));
    const int top = Ini.ReadInteger(Section, "Top", Top());
    const int left = Ini.ReadInteger(Section, "Left", Left());
    SetAutoSize(Ini.ReadBool(Section, "AutoSize", FAutoSize));
    SetBounds(left, top, Ini.ReadInteger(Section, "Width", Width()),
              Ini.ReadInteger(Section, "Height", Height()));
    FHint = Ini.ReadCaption(Section, "Hint", FHint);
    FParentShowHint = Ini.ReadBool(Section, "ParentShowHint", FParentShowHint);
    FShowHint = Ini.ReadBool(Section, "ShowHint", FShowHint);
    SetItemHeight(FiniteIni(Ini, Section, "ItemHeight", FItemHeightSet));
    SetItemWidth(FiniteIni(Ini, Section, "ItemWidth", FItemWidth));
    SetForeColor(Ini.ReadColor(Section, "ForeColor", ForeColor()));
    SetBackColor(Ini.ReadColor(Section, "BackColor", FBackColor));
    SetDropShadow(Ini.ReadBool(Section, "DropShadow", FDropShadow));
    SetLegendCaptionColorFrom(TVxLegendCaptionColorFrom(
        ordinal("LegendCaptionColorFrom", int(TVxLegendCaptionColorFrom::SeriesAreaForeColor),
                int(FLegendCaptionColorFrom))));
    const auto order =
        TVxItemsOrder(ordinal("ItemsOrder", int(TVxItemsOrder::ByRow), int(FItemsOrder)));
    SetRows(Ini.ReadInteger(Section, "Rows", FRows));
    SetColumns(Ini.ReadInteger(Section, "Columns", FColumns));
    // The count only bounds the list: reading stops at the first missing entry.
    const int count = Ini.ReadInteger(Section, "ItemsOrderList.Count", 0);
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        const QString key = QStringLiteral("ItemsOrderList[%1]").arg(i);
        if (!Ini.ValueExists(Section, key))
            break;
        paths.append(Ini.ReadString(Section, key, QString()));
    }
    SetItemsOrderList(paths);
    ReadFontSettings(Ini, Section, "Font", *FFont);
    ReadLineSettings(Ini, Section, "Frame", *FFrame);
    SetCornerRounding(FiniteIni(Ini, Section, "CornerRounding", FCornerRounding));
    SetDistanceItemCaption(FiniteIni(Ini, Section, "Distance.ItemCaption", FDistanceItemCaption));
    SetDistanceBetweenLines(
        FiniteIni(Ini, Section, "Distance.BetweenLines", FDistanceBetweenLines));
    SetDistanceBetweenColumns(
        FiniteIni(Ini, Section, "Distance.BetweenColumns", FDistanceBetweenColumns));
    SetDistanceToBorder(FiniteIni(Ini, Section, "Distance.ToBorder", FDistanceToBorder));
    SetCaption(Ini.ReadCaption(Section, "Caption", FCaption));
    SetCaptionVisible(Ini.ReadBool(Section, "Caption.Visible", FCaptionVisible));
    SetCaptionAlignment(TVxCaptionAlignment(
        ordinal("Caption.Alignment", int(TVxCaptionAlignment::Center), int(FCaptionAlignment))));
    SetCaptionColor(Ini.ReadColor(Section, "Caption.Color", CaptionColor()));
    SetCaptionDistanceBefore(
        FiniteIni(Ini, Section, "Caption.DistanceBefore", FCaptionDistanceBefore));
    SetCaptionDistanceAfter(
        FiniteIni(Ini, Section, "Caption.DistanceAfter", FCaptionDistanceAfter));
    ReadFontSettings(Ini, Section, "Caption.Font", *FCaptionFont);
    ReadGradientSettings(Ini, Section, "BackgroundGradient", *FBackgroundGradient);
    SetItemsOrder(order);
    Modified();
}
