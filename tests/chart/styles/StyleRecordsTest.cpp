// The style records in the binary stream, XML and ini: exact layouts, round trips, older
// records, partial sections and hostile input.
#include "styles/StyleRecords.h"

#include "persistence/XmlCodec.h"
#include "util/Exceptions.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace {

// Bytes of a hexadecimal text such as "01 00 FF".
QByteArray Hex(const char* Text) {
    return QByteArray::fromHex(QByteArray(Text).replace(' ', ""));
}

template <class T, class Write> QByteArray Record(const T& Object, Write WriteRecord) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    TVxStreamWriter out(buffer);
    WriteRecord(out, Object);
    return buffer.data();
}

// Reads Data as a record and returns how many bytes were consumed.
template <class T, class Read> qint64 ReadRecord(T& Object, QByteArray Data, Read ReadRecord) {
    QBuffer buffer(&Data);
    buffer.open(QIODevice::ReadOnly);
    TVxStreamReader in(buffer);
    ReadRecord(in, Object);
    return buffer.pos();
}

// Layouts from styles_reference.py (struct.pack, little-endian).
const char* DefaultGradient = "00 00 D3 D3 D3 FF B0 B0 B0 FF 80 80 80 FF 00 00 00 00"
                              " 00 00 00 3F 00 00 00 3F 00 00 00 3F 00";

void SetSample(TVxGradientSettings& g) {
    g.SetVisible(true);
    g.SetStyle(TVxGradientStyle::Elliptical);
    g.SetFirstColor(VxColor(0x80102030));
    g.SetMiddleColor(VxColor(0xFF405060));
    g.SetLastColor(0);
    g.SetLinearAngle(123.25f);
    g.SetLinearCenter(0.1f);
    g.SetRadialCenterX(0.3f);
    g.SetRadialCenterY(0.7f);
}

void ExpectSample(const TVxGradientSettings& g) {
    EXPECT_TRUE(g.Visible());
    EXPECT_EQ(g.Style(), TVxGradientStyle::Elliptical);
    EXPECT_EQ(g.FirstColor(), VxColor(0x80102030));
    EXPECT_EQ(g.MiddleColor(), VxColor(0xFF405060));
    EXPECT_EQ(g.LastColor(), 0);
    EXPECT_EQ(g.LinearAngle(), 123.25f);
    EXPECT_EQ(g.LinearCenter(), 0.1f);
    EXPECT_EQ(g.RadialCenterX(), 0.3f);
    EXPECT_EQ(g.RadialCenterY(), 0.7f);
}

void SetSample(TVxFont& f) {
    f.SetName("Liberation Sans \u00e9");
    f.SetSize(10.75f);
    f.SetStyle(TVxFontStyle::Italic | TVxFontStyle::StrikeOut);
    f.SetDrawEffects(TVxCharDrawEffect::Lowered);
    f.SetRenderingHint(TVxTextRenderingHint::ClearTypeGridFit);
    f.SetFillColor(VxColor(0x7F00AA00));
    SetSample(*f.Gradient());
}

void ExpectSample(const TVxFont& f) {
    EXPECT_EQ(f.Name(), "Liberation Sans \u00e9");
    EXPECT_EQ(f.GetSize(), 10.75f);
    EXPECT_EQ(f.IntegerSize(), 11);
    EXPECT_EQ(f.Style(), TVxFontStyle::Italic | TVxFontStyle::StrikeOut);
    EXPECT_EQ(f.DrawEffects(), TVxCharDrawEffects(TVxCharDrawEffect::Lowered));
    EXPECT_EQ(f.RenderingHint(), TVxTextRenderingHint::ClearTypeGridFit);
    EXPECT_EQ(f.FillColor(), VxColor(0x7F00AA00));
    ExpectSample(*f.Gradient());
}

void SetSample(TVxLineSettings& l) {
    l.SetVisible(false);
    l.SetColor(VxColor(0xFF008000));
    l.SetWidth(0.1f);
    l.SetDashStyle(TDashStyle::DashStyleCustom);
}

void ExpectSample(const TVxSimpleLineSettings& l) {
    EXPECT_EQ(l.Color(), VxColor(0xFF008000));
    EXPECT_EQ(l.Width(), 0.1f);
    EXPECT_EQ(l.DashStyle(), TDashStyle::DashStyleCustom);
}

void SetSample(TVxAreaSettings& a) {
    a.SetVisible(true);
    a.SetForeColor(VxColor(0x01020304));
    a.SetBackColor(VxColor(0xFFFFFFFF));
    a.SetAreaStyle(TVxAreaStyle::Horizontal);
    SetSample(*a.Gradient());
}

void ExpectSample(const TVxAreaSettings& a) {
    EXPECT_TRUE(a.Visible());
    EXPECT_EQ(a.ForeColor(), VxColor(0x01020304));
    EXPECT_EQ(a.BackColor(), VxColor(0xFFFFFFFF));
    EXPECT_EQ(a.AreaStyle(), TVxAreaStyle::Horizontal);
    ExpectSample(*a.Gradient());
}

TEST(StyleRecords, DefaultRecordsAreByteExact) {
    const QByteArray gradient = Hex(DefaultGradient);
    ASSERT_EQ(gradient.size(), 31);
    EXPECT_EQ(Record(TVxGradientSettings(), [](auto& o, auto& s) { WriteGradientSettings(o, s); }),
              gradient);
    EXPECT_EQ(Record(TVxLineSettings(), [](auto& o, auto& s) { WriteLineSettings(o, s); }),
              Hex("01 00 00 FF FF 00 00 80 3F 00 00"));
    EXPECT_EQ(
        Record(TVxSimpleLineSettings(), [](auto& o, auto& s) { WriteSimpleLineSettings(o, s); }),
        Hex("00 00 FF FF 00 00 80 3F 00 01") + gradient + Hex("00"));
    EXPECT_EQ(Record(TVxAreaSettings(), [](auto& o, auto& s) { WriteAreaSettings(o, s); }),
              Hex("00 D3 D3 D3 FF A9 A9 A9 FF 35 01") + gradient + Hex("00"));
    EXPECT_EQ(Record(TVxFont(), [](auto& o, auto& s) { WriteFontSettings(o, s); }),
              Hex("05 00 00 00 41 72 69 61 6C 08 00 00 00 00 01 00 00 00 00 00 FF") + gradient +
                  Hex("01 00 00 00 41 00"));
}

TEST(StyleRecords, LineRecordWithDashStyleInOneByte) {
    TVxLineSettings line;
    line.SetColor(VxColor(0xFF008000));
    line.SetDashStyle(TDashStyle::DashStyleDash);
    const QByteArray expected = Hex("01 00 80 00 FF 00 00 80 3F 01 00");
    EXPECT_EQ(Record(line, [](auto& o, auto& s) { WriteLineSettings(o, s); }), expected);

    // Read back into a line whose gradient was changed: the gradient keeps its values.
    TVxLineSettings read;
    read.SetVisible(false);
    read.Gradient()->SetVisible(true);
    EXPECT_EQ(ReadRecord(read, expected, [](auto& i, auto& s) { ReadLineSettings(i, s); }), 11);
    EXPECT_TRUE(read.Visible());
    EXPECT_EQ(read.Color(), VxColor(0xFF008000));
    EXPECT_EQ(read.Width(), 1.0f);
    EXPECT_EQ(read.DashStyle(), TDashStyle::DashStyleDash);
    EXPECT_TRUE(read.Gradient()->Visible());
}

TEST(StyleRecords, BinaryRoundTrips) {
    TVxGradientSettings g;
    SetSample(g);
    TVxGradientSettings g2;
    ReadRecord(g2, Record(g, [](auto& o, auto& s) { WriteGradientSettings(o, s); }),
               [](auto& i, auto& s) { ReadGradientSettings(i, s); });
    ExpectSample(g2);

    TVxLineSettings l;
    SetSample(l);
    TVxLineSettings l2;
    ReadRecord(l2, Record(l, [](auto& o, auto& s) { WriteLineSettings(o, s); }),
               [](auto& i, auto& s) { ReadLineSettings(i, s); });
    ExpectSample(l2);
    EXPECT_FALSE(l2.Visible());

    TVxSimpleLineSettings s;
    s.SetColor(VxColor(0xFF008000));
    s.SetWidth(0.1f);
    s.SetDashStyle(TDashStyle::DashStyleCustom);
    SetSample(*s.Gradient());
    TVxSimpleLineSettings s2;
    ReadRecord(s2, Record(s, [](auto& o, auto& x) { WriteSimpleLineSettings(o, x); }),
               [](auto& i, auto& x) { ReadSimpleLineSettings(i, x); });
    ExpectSample(s2);
    ExpectSample(*s2.Gradient());

    TVxAreaSettings a;
    SetSample(a);
    TVxAreaSettings a2;
    ReadRecord(a2, Record(a, [](auto& o, auto& x) { WriteAreaSettings(o, x); }),
               [](auto& i, auto& x) { ReadAreaSettings(i, x); });
    ExpectSample(a2);

    TVxFont f;
    SetSample(f);
    TVxFont f2;
    ReadRecord(f2, Record(f, [](auto& o, auto& x) { WriteFontSettings(o, x); }),
               [](auto& i, auto& x) { ReadFontSettings(i, x); });
    ExpectSample(f2);
}

// Records of older writers end where their continuation byte says so.
TEST(StyleRecords, ShorterRecordsOfOlderWriters) {
    TVxFont font;
    font.SetDrawEffects(TVxCharDrawEffect::Raised);
    font.SetRenderingHint(TVxTextRenderingHint::AntiAlias);
    font.SetFillColor(VxColor(0xFF0000FF));
    font.Gradient()->SetVisible(true);
    // "Tahoma", size 12, bold, continuation 0.
    const QByteArray old = Hex("06 00 00 00 54 61 68 6F 6D 61 0C 00 00 00 01 00");
    EXPECT_EQ(ReadRecord(font, old, [](auto& i, auto& x) { ReadFontSettings(i, x); }), old.size());
    EXPECT_EQ(font.Name(), "Tahoma");
    EXPECT_EQ(font.GetSize(), 12.0f);
    EXPECT_EQ(font.Style(), TVxFontStyles(TVxFontStyle::Bold));
    EXPECT_EQ(font.DrawEffects(), TVxCharDrawEffects(TVxCharDrawEffect::Raised));
    EXPECT_EQ(font.RenderingHint(), TVxTextRenderingHint::AntiAlias);
    EXPECT_EQ(font.FillColor(), VxColor(0xFF0000FF));
    EXPECT_TRUE(font.Gradient()->Visible());

    // A font record with the first group only keeps the integer size.
    TVxFont mid;
    const QByteArray group1 =
        Hex("00 00 00 00 09 00 00 00 00 01 02 03 AA BB CC DD") + Hex(DefaultGradient) + Hex("00");
    EXPECT_EQ(ReadRecord(mid, group1, [](auto& i, auto& x) { ReadFontSettings(i, x); }),
              group1.size());
    EXPECT_EQ(mid.Name(), "Arial"); // an empty name is ignored
    EXPECT_EQ(mid.GetSize(), 9.0f);
    EXPECT_EQ(mid.DrawEffects(), TVxCharDrawEffects(TVxCharDrawEffect::Outline));
    EXPECT_EQ(mid.RenderingHint(), TVxTextRenderingHint::AntiAliasGridFit);
    EXPECT_EQ(mid.FillColor(), VxColor(0xDDCCBBAA));

    // An area (and a simple line) without a gradient group keeps its gradient.
    TVxAreaSettings area;
    area.Gradient()->SetLinearAngle(10);
    const QByteArray areaRecord = Hex("01 01 00 00 00 02 00 00 00 0C 00");
    EXPECT_EQ(ReadRecord(area, areaRecord, [](auto& i, auto& x) { ReadAreaSettings(i, x); }),
              areaRecord.size());
    EXPECT_EQ(area.AreaStyle(), TVxAreaStyle::Percent50);
    EXPECT_EQ(area.Gradient()->LinearAngle(), 10.0f);
    TVxSimpleLineSettings line;
    const QByteArray lineRecord = Hex("00 00 00 FF 00 00 00 40 02 00");
    EXPECT_EQ(ReadRecord(line, lineRecord, [](auto& i, auto& x) { ReadSimpleLineSettings(i, x); }),
              lineRecord.size());
    EXPECT_EQ(line.Color(), VxColor(0xFF000000));
    EXPECT_EQ(line.Width(), 2.0f);
    EXPECT_EQ(line.DashStyle(), TDashStyle::DashStyleDot);
}

TEST(StyleRecords, HostileBinaryInputRaisesAndKeepsWhatWasRead) {
    const struct {
        const char* Name;
        QByteArray Data;
        bool Visible;
        TVxGradientStyle Style;
    } gradients[] = {
        {"style 3", Hex("01 03") + Hex(DefaultGradient).mid(2), true, TVxGradientStyle::Linear},
        {"ends in the colours", Hex("01 01 11 22 33"), true, TVxGradientStyle::Radial},
        {"empty", QByteArray(), false, TVxGradientStyle::Linear},
    };
    for (const auto& c : gradients) {
        TVxGradientSettings g;
        EXPECT_THROW(ReadRecord(g, c.Data, [](auto& i, auto& x) { ReadGradientSettings(i, x); }),
                     EVxStreamError)
            << c.Name;
        // The values read before the failure stay set.
        EXPECT_EQ(g.Visible(), c.Visible) << c.Name;
        EXPECT_EQ(g.Style(), c.Style) << c.Name;
        EXPECT_EQ(g.FirstColor(), VxColor(0xFFD3D3D3)) << c.Name;
    }

    TVxLineSettings line;
    EXPECT_THROW(ReadRecord(line, Hex("00 00 00 00 FF 00 00 80 3F 06 00"),
                            [](auto& i, auto& x) { ReadLineSettings(i, x); }),
                 EVxStreamError);
    EXPECT_FALSE(line.Visible());
    EXPECT_EQ(line.DashStyle(), TDashStyle::DashStyleSolid);

    TVxAreaSettings area;
    EXPECT_THROW(ReadRecord(area, Hex("01 00 00 00 00 00 00 00 00 36 00"),
                            [](auto& i, auto& x) { ReadAreaSettings(i, x); }),
                 EVxStreamError);
    EXPECT_EQ(area.AreaStyle(), TVxAreaStyle::Total);

    // A name whose count claims more bytes than there are, a style set with unknown bits,
    // an unknown rendering hint.
    const QByteArray fonts[] = {
        Hex("FF FF FF 7F 41"),
        Hex("01 00 00 00 41 08 00 00 00 10 00"),
        Hex("01 00 00 00 41 08 00 00 00 00 01 00 06"),
    };
    for (const QByteArray& data : fonts) {
        TVxFont font;
        EXPECT_THROW(ReadRecord(font, data, [](auto& i, auto& x) { ReadFontSettings(i, x); }),
                     EVxStreamError);
        EXPECT_EQ(font.RenderingHint(), TVxTextRenderingHint::SystemDefault);
    }
}

// A font size far beyond any real one and a huge angle load without hanging.
TEST(StyleRecords, ExtremeNumbersLoadBounded) {
    TVxFont font;
    ReadRecord(font,
               Hex("00 00 00 00 FF FF FF 7F 00 01 00 00 00 00 00 00") + Hex(DefaultGradient) +
                   Hex("01 00 00 80 7F 00"),
               [](auto& i, auto& x) { ReadFontSettings(i, x); });
    EXPECT_EQ(font.GetSize(), TVxFont::MaxFontSize); // the float size is infinite: ignored

    TVxGradientSettings g;
    QByteArray data = Hex(DefaultGradient);
    data.replace(14, 4, Hex("CA F2 49 71")); // 1e30f
    ReadRecord(g, data, [](auto& i, auto& x) { ReadGradientSettings(i, x); });
    EXPECT_EQ(g.LinearAngle(), 120.0f); // styles_reference.py
}

TEST(StyleRecords, XmlElementsAndRoundTrips) {
    pugi::xml_document doc;
    pugi::xml_node owner = doc.append_child("Owner");
    TVxLineSettings line;
    SetSample(line);
    TVxSimpleLineSettings simple;
    simple.SetColor(VxColor(0xFF008000));
    simple.SetWidth(0.1f);
    simple.SetDashStyle(TDashStyle::DashStyleCustom);
    TVxGradientSettings g;
    SetSample(g);
    TVxAreaSettings area;
    SetSample(area);
    TVxFont font;
    SetSample(font);
    WriteLineSettings(owner, "MajorGridHorizontal", line);
    WriteSimpleLineSettings(owner, simple);
    WriteGradientSettings(owner, "BackgroundGradient", g);
    WriteAreaSettings(owner, area);
    WriteFontSettings(owner, font);

    // Attribute order as documented.
    std::vector<std::string> names;
    for (pugi::xml_attribute a : owner.child("Font").attributes())
        names.push_back(a.name());
    EXPECT_EQ(names, (std::vector<std::string>{"Name", "Size", "Style", "DrawEffects",
                                               "RenderingHint", "FillColor"}));
    EXPECT_STREQ(owner.child("MajorGridHorizontal").attribute("Visible").value(), "False");
    EXPECT_STREQ(owner.child("Area").child("Gradient").attribute("Style").value(), "2");
    EXPECT_STREQ(owner.child("Area").attribute("AreaStyle").value(), "0");

    pugi::xml_document copy;
    LoadXmlDocument(copy, SaveXmlDocument(doc));
    pugi::xml_node read = copy.child("Owner");
    TVxLineSettings line2;
    TVxSimpleLineSettings simple2;
    TVxGradientSettings g2;
    TVxAreaSettings area2;
    TVxFont font2;
    EXPECT_TRUE(ReadLineSettings(read, "MajorGridHorizontal", line2));
    EXPECT_TRUE(ReadSimpleLineSettings(read, simple2));
    EXPECT_TRUE(ReadGradientSettings(read, "BackgroundGradient", g2));
    EXPECT_TRUE(ReadAreaSettings(read, area2));
    EXPECT_TRUE(ReadFontSettings(read, font2));
    ExpectSample(line2);
    EXPECT_FALSE(line2.Visible());
    ExpectSample(simple2);
    ExpectSample(g2);
    ExpectSample(area2);
    ExpectSample(font2);

    TVxLineSettings untouched;
    EXPECT_FALSE(ReadLineSettings(read, "MinorGrid", untouched));
    EXPECT_TRUE(untouched.Visible());
}

TEST(StyleRecords, HostileXmlRaisesConversionErrors) {
    const char* documents[] = {
        R"(<O><Area AreaStyle="54"/></O>)",    R"(<O><Area AreaStyle="x"/></O>)",
        R"(<O><Font RenderingHint="6"/></O>)", R"(<O><Font Style="16"/></O>)",
        R"(<O><Font Size="big"/></O>)",        R"(<O><Area><Gradient Style="-1"/></Area></O>)",
    };
    for (const char* text : documents) {
        pugi::xml_document doc;
        LoadXmlDocument(doc, text);
        TVxAreaSettings area;
        TVxFont font;
        EXPECT_THROW(
            {
                ReadAreaSettings(doc.first_child(), area);
                ReadFontSettings(doc.first_child(), font);
            },
            EVxConvertError)
            << text;
    }
    // A partial element keeps the values it does not name; a huge width becomes infinite.
    pugi::xml_document doc;
    LoadXmlDocument(doc, R"(<O><L Color="Blue" Width="1e300"/></O>)");
    TVxLineSettings line;
    line.SetDashStyle(TDashStyle::DashStyleDot);
    ASSERT_TRUE(ReadLineSettings(doc.first_child(), "L", line));
    EXPECT_EQ(line.Color(), VxColor(0xFF0000FF));
    EXPECT_TRUE(std::isinf(line.Width()));
    EXPECT_EQ(line.DashStyle(), TDashStyle::DashStyleDot);
}

TEST(StyleRecords, IniRoundTripsAndKeys) {
    TVxIniFile ini;
    TVxLineSettings line;
    SetSample(line);
    TVxGradientSettings g;
    SetSample(g);
    TVxAreaSettings area;
    SetSample(area);
    TVxFont font;
    SetSample(font);
    WriteLineSettings(ini, "Graph", "Grid", line);
    WriteSimpleLineSettings(ini, "Graph", "Series", line);
    WriteGradientSettings(ini, "Graph", "Background", g);
    WriteAreaSettings(ini, "Graph", "Fill", area);
    WriteFontSettings(ini, "Graph", "Caption", font);
    EXPECT_EQ(ini.ReadString("Graph", "Fill.Style", {}), "0");
    EXPECT_EQ(ini.ReadString("Graph", "Fill.Gradient.Style", {}), "2");
    EXPECT_EQ(ini.ReadString("Graph", "Caption.Gradient.LinearAngle", {}), "123.25");
    EXPECT_EQ(ini.ReadString("Graph", "Grid.Visible", {}), "0");
    EXPECT_FALSE(ini.ValueExists("Graph", "Series.Visible"));

    TVxIniFile copy;
    copy.LoadFromText(ini.SaveToText());
    TVxLineSettings line2;
    TVxSimpleLineSettings simple2;
    TVxGradientSettings g2;
    TVxAreaSettings area2;
    TVxFont font2;
    ReadLineSettings(copy, "Graph", "Grid", line2);
    ReadSimpleLineSettings(copy, "Graph", "Series", simple2);
    ReadGradientSettings(copy, "Graph", "Background", g2);
    ReadAreaSettings(copy, "Graph", "Fill", area2);
    ReadFontSettings(copy, "Graph", "Caption", font2);
    ExpectSample(line2);
    EXPECT_FALSE(line2.Visible());
    ExpectSample(simple2);
    ExpectSample(g2);
    ExpectSample(area2);
    ExpectSample(font2);
}

TEST(StyleRecords, PartialIniSectionsTakeTheDocumentedDefaults) {
    TVxIniFile ini;
    ini.LoadFromText("[S]\nG.Visible=1\nL.Color=Blue\n");
    TVxGradientSettings g;
    g.SetStyle(TVxGradientStyle::Radial);
    g.SetFirstColor(7);
    g.SetLinearAngle(10);
    g.SetLinearCenter(0.2f);
    g.SetRadialCenterX(0.1f);
    g.SetRadialCenterY(0.9f);
    ReadGradientSettings(ini, "S", "G", g);
    EXPECT_TRUE(g.Visible());
    EXPECT_EQ(g.Style(), TVxGradientStyle::Radial); // current value
    EXPECT_EQ(g.FirstColor(), 7);                   // current value
    EXPECT_EQ(g.LinearAngle(), 90.0f);
    EXPECT_EQ(g.LinearCenter(), 0.5f);
    EXPECT_EQ(g.RadialCenterX(), 0.5f);
    EXPECT_EQ(g.RadialCenterY(), 0.5f);

    TVxLineSettings line;
    line.SetWidth(4);
    line.SetVisible(false);
    line.SetDashStyle(TDashStyle::DashStyleDot);
    ReadLineSettings(ini, "S", "L", line);
    EXPECT_EQ(line.Color(), VxColor(0xFF0000FF));
    EXPECT_EQ(line.Width(), 1.0f);
    EXPECT_FALSE(line.Visible());
    EXPECT_EQ(line.DashStyle(), TDashStyle::DashStyleDot);

    TVxFont font;
    font.SetSize(13);
    font.SetDrawEffects(TVxCharDrawEffect::Shadow);
    ReadFontSettings(ini, "S", "F", font);
    EXPECT_EQ(font.GetSize(), 13.0f);
    EXPECT_EQ(font.DrawEffects(), TVxCharDrawEffects(TVxCharDrawEffect::Shadow));
    EXPECT_EQ(font.Gradient()->LinearAngle(), 90.0f);
}

TEST(StyleRecords, HostileIniValuesRaise) {
    const char* texts[] = {
        "[S]\nA.Style=54\n",
        "[S]\nA.Style=-1\n",
        "[S]\nA.Style=solid\n",
        "[S]\nA.Gradient.Style=3\n",
        "[S]\nA.Gradient.LinearAngle=north\n",
    };
    for (const char* text : texts) {
        TVxIniFile ini;
        ini.LoadFromText(text);
        TVxAreaSettings area;
        EXPECT_THROW(ReadAreaSettings(ini, "S", "A", area), EVxConvertError) << text;
        EXPECT_EQ(area.AreaStyle(), TVxAreaStyle::Total) << text;
    }
    TVxIniFile ini;
    ini.LoadFromText("[S]\nF.RenderingHint=9\n");
    TVxFont font;
    EXPECT_THROW(ReadFontSettings(ini, "S", "F", font), EVxConvertError);
}

} // namespace
