// Colour conversions, the named colour table and the colour texts.
#include "drawing/Color.h"

#include "drawing/ColorText.h"
#include "drawing/NamedColors.h"
#include "util/Exceptions.h"

#include <QColor>
#include <QSet>
#include <gtest/gtest.h>

namespace {

TEST(NamedColorTable, HasTheDocumentedLayout) {
    const auto& table = NamedColorTable();
    ASSERT_EQ(table.size(), 167u);
    EXPECT_STREQ(NamedColor(1).Name, "ActiveBorder");
    EXPECT_STREQ(NamedColor(26).Name, "WindowText");
    EXPECT_STREQ(NamedColor(27).Name, "Transparent");
    EXPECT_EQ(NamedColor(27).Value, VxColor(0x00FFFFFF));
    EXPECT_STREQ(NamedColor(28).Name, "Black");
    EXPECT_STREQ(NamedColor(167).Name, "LightPink");
    QSet<QString> names;
    for (const auto& entry : table)
        names.insert(QString::fromLatin1(entry.Name).toUpper());
    EXPECT_EQ(names.size(), 167);
    EXPECT_THROW(NamedColor(0), EVxRangeError);
    EXPECT_THROW(NamedColor(168), EVxRangeError);
}

TEST(NamedColorTable, WebColoursMatchQtsNamedColours) {
    for (int i = 28; i <= NamedColorCount; ++i) {
        const TVxNamedColor& entry = NamedColor(i);
        const QColor reference(QString::fromLatin1(entry.Name).toLower());
        ASSERT_TRUE(reference.isValid()) << entry.Name;
        EXPECT_EQ(ColorArgb(entry.Value), reference.rgba()) << entry.Name;
    }
}

TEST(NamedColorTable, SystemEntriesFollowTheirSystemIndex) {
    for (int i = 1; i <= NamedSystemColorCount; ++i) {
        EXPECT_EQ(NamedColor(i).Value, SystemColor(NamedSystemColorIndex(i))) << NamedColor(i).Name;
        EXPECT_EQ(GetAlpha(NamedColor(i).Value), 0xFF);
    }
    EXPECT_EQ(NamedSystemColorIndex(23), 0);  // ScrollBar
    EXPECT_EQ(NamedSystemColorIndex(15), 26); // HotTrack
}

TEST(ColorFromText, ReadsNamesAndNumbers) {
    const struct {
        const char* Text;
        std::uint32_t Expected;
    } cases[] = {
        {"LightGray", 0xFFD3D3D3},
        {"lightgray", 0xFFD3D3D3},
        {"LIGHTGRAY", 0xFFD3D3D3},
        {"$FFB0B0B0", 0xFFB0B0B0},
        {"$ffb0b0b0", 0xFFB0B0B0},
        {"-16777216", 0xFF000000},
        {"255", 0x000000FF},
        {"Transparent", 0x00FFFFFF},
        {"Fuchsia", 0xFFFF00FF},
        {"no colour", 0},
        {"", 0},
        {"$1FFFFFFFF", 0},
        {"2147483648", 0},
        {"12abc", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ColorArgb(ColorFromText(QString::fromLatin1(c.Text))), c.Expected) << c.Text;
}

TEST(ColorToText, NamesFirstMatchElseHexadecimal) {
    const struct {
        std::uint32_t Color;
        const char* Expected;
    } cases[] = {
        {0xFF00FFFF, "Aqua"},        {0xFFFF00FF, "Magenta"},   {0xFF000000, "Black"},
        {0x00FFFFFF, "Transparent"}, {0xFFB0B0B0, "$FFB0B0B0"}, {0x80FF0000, "$80FF0000"},
        {0x00000000, "$00000000"},   {0xFF008000, "Green"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ColorToText(VxColor(c.Color)), QString::fromLatin1(c.Expected));
}

TEST(ColorToText, SystemNamesOnlyWhenIncluded) {
    const TVxColor activeBorder = NamedColor(1).Value;
    EXPECT_EQ(ColorToText(activeBorder, true), "ActiveBorder");
    EXPECT_NE(ColorToText(activeBorder, false), "ActiveBorder");
    // Whatever the false form is, it reads back to the same colour.
    EXPECT_EQ(ColorFromText(ColorToText(activeBorder, false)), activeBorder);
}

TEST(ColorRgbText, RoundTrips) {
    EXPECT_EQ(ColorToRgbText(VxColor(0xFF008000)), "[A=255, R=0, G=128, B=0]");
    EXPECT_EQ(ColorFromRgbText("[A=255, R=0, G=128, B=0]"), VxColor(0xFF008000));
    EXPECT_EQ(TColorFromRgbText("[A=128, R=255, G=0, B=0]"), 0x000000FF);
    EXPECT_EQ(TColorToRgbText(0x000000FF), "[A=255, R=255, G=0, B=0]");
}

TEST(ColorRgbText, OutOfRangeValuesKeepToTheirChannel) {
    // Each value keeps its low 8 bits; a negative one must not spill into other channels.
    EXPECT_EQ(ColorFromRgbText("[A=255, R=-1, G=0, B=0]"), VxColor(0xFFFF0000));
    EXPECT_EQ(ColorFromRgbText("[A=-256, R=300, G=256, B=-255]"), VxColor(0x002C0001));
}

TEST(ColorRgbText, BadNumbersRaiseConversionErrors) {
    for (const char* text : {"[A=x, R=0, G=0, B=0]", "[A=255, R=0, G=0]", "[A=1, R=2, G=3, B=4", "",
                             "[A=, R=0, G=0, B=0]"})
        EXPECT_THROW(ColorFromRgbText(QString::fromLatin1(text)), EVxConvertError) << text;
}

TEST(ColorConversion, ToolkitAndArgbForms) {
    EXPECT_EQ(ToArgb(0x000000FF), VxColor(0xFFFF0000));
    EXPECT_EQ(ToArgb(0x00563412), VxColor(0xFF123456));
    EXPECT_EQ(ToTColor(VxColor(0x80FF0000)), 0x000000FF);
    EXPECT_EQ(ToTColor(VxColor(0xFF123456)), 0x00563412);
    EXPECT_EQ(ToArgb(SystemColorCode(5)), SystemColor(5));
    EXPECT_EQ(VxColor(0xFF000000), -16777216);
    EXPECT_EQ(MakeColor(0x12, 0x34, 0x56, 0x78), VxColor(0x12345678));
    EXPECT_EQ(GetAlpha(VxColor(0x12345678)), 0x12);
    EXPECT_EQ(GetRed(VxColor(0x12345678)), 0x34);
    EXPECT_EQ(GetGreen(VxColor(0x12345678)), 0x56);
    EXPECT_EQ(GetBlue(VxColor(0x12345678)), 0x78);
}

TEST(ScaleBrightness, MatchesHslReference) {
    // Expected values from Python's colorsys (rgb_to_hls / hls_to_rgb), rounded half to even.
    const struct {
        std::uint32_t Color;
        double Factor;
        std::uint32_t Expected;
    } cases[] = {
        {0xFF808080, 1.2, 0xFF9A9A9A}, {0xFF808080, 0.0, 0xFF000000}, {0x40808080, 1.2, 0x409A9A9A},
        {0xFFFF0000, 0.5, 0xFF800000}, {0xFF2E8B57, 1.3, 0xFF3CB571}, {0xFF6495ED, 0.7, 0xFF195BD3},
        {0xC0DA70D6, 1.1, 0xC0E18ADE}, {0xFF3366CC, 3.0, 0xFFFFFFFF}, {0xFF000000, 2.0, 0xFF000000},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ColorArgb(ScaleBrightness(VxColor(c.Color), c.Factor)), c.Expected)
            << std::hex << c.Color << " x " << c.Factor;
}

} // namespace
