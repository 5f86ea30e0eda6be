// Defaults, value rules, change callbacks and whole-object assignment of the style settings.
#include "styles/AreaSettings.h"
#include "styles/ArrowSettings.h"
#include "styles/LineSettings.h"
#include "styles/PointSymbolSettings.h"
#include "styles/VxFont.h"
#include "util/Exceptions.h"

#include <QVariant>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

constexpr float Inf = std::numeric_limits<float>::infinity();
constexpr float NaN = std::numeric_limits<float>::quiet_NaN();

// Counts the calls of a change callback.
struct TCounter {
    int Calls = 0;
    ModifiedCallback Callback() {
        return [this] { ++Calls; };
    }
};

TEST(StyleSettings, DefaultsOfEveryClass) {
    TVxGradientSettings g;
    EXPECT_FALSE(g.Visible());
    EXPECT_EQ(g.Style(), TVxGradientStyle::Linear);
    EXPECT_EQ(g.FirstColor(), VxColor(0xFFD3D3D3));
    EXPECT_EQ(g.MiddleColor(), VxColor(0xFFB0B0B0));
    EXPECT_EQ(g.LastColor(), VxColor(0xFF808080));
    EXPECT_EQ(g.LinearAngle(), 0.0f);
    EXPECT_EQ(g.LinearCenter(), 0.5f);
    EXPECT_EQ(g.RadialCenterX(), 0.5f);
    EXPECT_EQ(g.RadialCenterY(), 0.5f);

    TVxLineSettings line;
    EXPECT_EQ(line.Color(), VxColor(0xFFFF0000));
    EXPECT_EQ(line.DashStyle(), TDashStyle::DashStyleSolid);
    EXPECT_EQ(line.Width(), 1.0f);
    EXPECT_TRUE(line.Visible());
    EXPECT_FALSE(line.Gradient()->Visible());
    EXPECT_TRUE(TVxSimpleLineSettings().IsVisible());

    TVxAreaSettings area;
    EXPECT_FALSE(area.Visible());
    EXPECT_EQ(area.ForeColor(), VxColor(0xFFD3D3D3));
    EXPECT_EQ(area.BackColor(), VxColor(0xFFA9A9A9));
    EXPECT_EQ(area.AreaStyle(), TVxAreaStyle::Total);
    EXPECT_TRUE(area.Solid());

    TVxPointSymbolSettings symbol;
    EXPECT_TRUE(symbol.Visible());
    EXPECT_EQ(symbol.Size(), 11.0f);
    EXPECT_EQ(symbol.BorderLineWidth(), 1.0f);
    EXPECT_EQ(symbol.BorderColor(), VxColor(0xFF0000FF));
    EXPECT_EQ(symbol.FillColor(), VxColor(0xFF0000FF));
    EXPECT_EQ(symbol.PointSymbol(), TVxPointSymbol::Circle);

    TVxArrowSettings arrow;
    EXPECT_EQ(arrow.PointLength(), 5.0f);
    EXPECT_EQ(arrow.InnerLength(), 3.0f);
    EXPECT_EQ(arrow.PointHeight(), 2.0f);
    EXPECT_TRUE(arrow.Visible());
    EXPECT_EQ(arrow.Color(), VxColor(0xFFFF0000));

    TVxAxisArrowPoint tip;
    EXPECT_FALSE(tip.Visible());
    EXPECT_EQ(tip.PointLength(), 7.0f);
    EXPECT_EQ(tip.InnerLength(), 5.0f);
    EXPECT_EQ(tip.PointHeight(), 3.0f);

    TVxFont font;
    EXPECT_EQ(font.FillColor(), VxColor(0xFF000000));
    EXPECT_EQ(font.Color(), 0);
    EXPECT_EQ(font.RenderingHint(), TVxTextRenderingHint::SystemDefault);
    EXPECT_EQ(font.DrawEffects(), TVxCharDrawEffects());
    EXPECT_FALSE(font.Gradient()->Visible());
}

// Expected values from styles_reference.py (exact reduction modulo 360, then rounding).
TEST(StyleSettings, LinearAngleIsReducedIntoZeroTo360) {
    const struct {
        float Given;
        float Stored;
    } cases[] = {
        {-90, 270},     {720, 0},        {1e30f, 120},    {-1e-6f, 0},      {359.99999f, 0},
        {3.4e38f, 224}, {-3.4e38f, 136}, {405.5f, 45.5f}, {1e-30f, 1e-30f},
    };
    for (const auto& c : cases) {
        TVxGradientSettings g;
        g.SetLinearAngle(33);
        g.SetLinearAngle(c.Given);
        EXPECT_EQ(g.LinearAngle(), c.Stored) << "given " << c.Given;
    }
}

TEST(StyleSettings, NonFiniteAngleIsIgnoredWithoutCallback) {
    TCounter counter;
    TVxGradientSettings g(counter.Callback());
    g.SetLinearAngle(45);
    ASSERT_EQ(counter.Calls, 1);
    for (float bad : {Inf, -Inf, NaN}) {
        g.SetLinearAngle(bad);
        EXPECT_EQ(g.LinearAngle(), 45.0f);
    }
    EXPECT_EQ(counter.Calls, 1);
}

TEST(StyleSettings, CentresAreClampedBeforeTheComparison) {
    const struct {
        float Given;
        float Stored;
    } cases[] = {{1.7f, 1}, {-0.2f, 0}, {NaN, 0}, {Inf, 1}, {-Inf, 0}, {0.25f, 0.25f}};
    for (const auto& c : cases) {
        TVxGradientSettings g;
        g.SetLinearCenter(c.Given);
        g.SetRadialCenterX(c.Given);
        g.SetRadialCenterY(c.Given);
        EXPECT_EQ(g.LinearCenter(), c.Stored) << c.Given;
        EXPECT_EQ(g.RadialCenterX(), c.Stored) << c.Given;
        EXPECT_EQ(g.RadialCenterY(), c.Stored) << c.Given;
    }
    TCounter counter;
    TVxGradientSettings g(counter.Callback());
    g.SetLinearCenter(1.7f);
    g.SetLinearCenter(1.7f);
    g.SetLinearCenter(1.0f);
    EXPECT_EQ(counter.Calls, 1);
}

TEST(StyleSettings, ArrowLengthsAreFlooredButCompareTheGivenValue) {
    TCounter counter;
    TVxArrowSettings arrow(counter.Callback());
    TVxAxisArrowPoint tip(counter.Callback());
    arrow.SetPointLength(0);
    arrow.SetInnerLength(-4);
    arrow.SetPointHeight(1e-7f);
    tip.SetPointLength(0);
    EXPECT_EQ(arrow.PointLength(), MinArrowLength);
    EXPECT_EQ(arrow.InnerLength(), MinArrowLength);
    EXPECT_EQ(arrow.PointHeight(), MinArrowLength);
    EXPECT_EQ(tip.PointLength(), MinArrowLength);
    EXPECT_EQ(counter.Calls, 4);
    arrow.SetPointLength(0); // 0 is below the stored 0.00001: another change
    EXPECT_EQ(counter.Calls, 5);
    arrow.SetPointLength(MinArrowLength);
    arrow.SetPointLength(NaN);
    EXPECT_EQ(counter.Calls, 5);
}

TEST(StyleSettings, CallbackOnceForAChangeNeverForTheSameValue) {
    TCounter counter;
    TVxPointSymbolSettings symbol(counter.Callback());
    symbol.SetSize(11);
    symbol.SetBorderColor(VxColor(0xFF0000FF));
    symbol.SetPointSymbol(TVxPointSymbol::Circle);
    symbol.SetVisible(true);
    symbol.SetBorderLineWidth(NaN);
    EXPECT_EQ(counter.Calls, 0);
    symbol.SetSize(12);
    symbol.SetFillColor(VxColor(0xFF00FF00));
    symbol.SetPointSymbol(TVxPointSymbol::Nabla);
    EXPECT_EQ(counter.Calls, 3);
    EXPECT_EQ(symbol.Size(), 12.0f);
    EXPECT_EQ(symbol.PointSymbol(), TVxPointSymbol::Nabla);
}

// The enumerations behind integer properties take only their own values.
TEST(StyleSettings, PropertiesByNameRejectValuesOutsideTheirEnumeration) {
    TVxLineSettings line;
    TVxAreaSettings area;
    TVxGradientSettings g;
    TVxPointSymbolSettings symbol;
    const struct {
        QObject* Object;
        const char* Name;
        int Good;
        int Bad;
    } cases[] = {
        {&line, "DashStyle", 5, 6}, {&line, "DashStyle", 2, -1},     {&area, "AreaStyle", 52, 54},
        {&g, "Style", 2, 3},        {&symbol, "PointSymbol", 9, 10},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(c.Object->setProperty(c.Name, c.Good)) << c.Name;
        c.Object->setProperty(c.Name, c.Bad);
        EXPECT_EQ(c.Object->property(c.Name).toInt(), c.Good) << c.Name << " " << c.Bad;
    }
}

TEST(StyleSettings, LineAssignCopiesThroughTheSettersAndKeepsTheGradientObject) {
    TVxLineSettings source;
    source.SetVisible(false);
    source.SetColor(VxColor(0xFF112233));
    source.SetWidth(2.5f);
    source.SetDashStyle(TDashStyle::DashStyleDot);
    source.Gradient()->SetVisible(true);
    source.Gradient()->SetLinearAngle(30);

    TCounter counter;
    TVxLineSettings target(counter.Callback());
    TVxGradientSettings* owned = target.Gradient();
    target.Assign(&source);
    EXPECT_FALSE(target.Visible());
    EXPECT_EQ(target.Color(), VxColor(0xFF112233));
    EXPECT_EQ(target.Width(), 2.5f);
    EXPECT_EQ(target.DashStyle(), TDashStyle::DashStyleDot);
    EXPECT_EQ(target.Gradient(), owned);
    EXPECT_TRUE(owned->Visible());
    EXPECT_EQ(owned->LinearAngle(), 30.0f);
    // Visible, Color, Width, DashStyle through their setters, the gradient once.
    EXPECT_EQ(counter.Calls, 5);

    // A simple line carries no visibility: the target keeps its own.
    TVxSimpleLineSettings simple;
    TVxLineSettings hidden;
    hidden.SetVisible(false);
    hidden.Assign(&simple);
    EXPECT_FALSE(hidden.Visible());
    EXPECT_EQ(hidden.Color(), VxColor(0xFFFF0000));
}

TEST(StyleSettings, ArrowAssignCopiesLengthsOnlyFromArrows) {
    TVxArrowSettings source;
    source.SetPointLength(9);
    source.SetInnerLength(6);
    source.SetPointHeight(4);
    source.SetWidth(3);
    TVxArrowSettings target;
    target.Assign(&source);
    EXPECT_EQ(target.Cap(), (TVxArrowCap{9, 6, 4}));
    EXPECT_EQ(target.Width(), 3.0f);

    TVxLineSettings line;
    line.SetWidth(7);
    target.Assign(&line);
    EXPECT_EQ(target.Cap(), (TVxArrowCap{9, 6, 4}));
    EXPECT_EQ(target.Width(), 7.0f);
}

TEST(StyleSettings, AreaSymbolTipAndGradientAssign) {
    TVxAreaSettings area;
    area.SetVisible(true);
    area.SetAreaStyle(TVxAreaStyle::Percent50);
    area.SetForeColor(1);
    area.SetBackColor(2);
    area.Gradient()->SetStyle(TVxGradientStyle::Radial);
    TVxAreaSettings areaCopy;
    areaCopy.Assign(&area);
    EXPECT_TRUE(areaCopy.Visible());
    EXPECT_EQ(areaCopy.AreaStyle(), TVxAreaStyle::Percent50);
    EXPECT_EQ(areaCopy.ForeColor(), 1);
    EXPECT_EQ(areaCopy.BackColor(), 2);
    EXPECT_EQ(areaCopy.Gradient()->Style(), TVxGradientStyle::Radial);

    TVxPointSymbolSettings symbol;
    symbol.SetVisible(false);
    symbol.SetSize(5);
    symbol.SetBorderLineWidth(2);
    symbol.SetBorderColor(3);
    symbol.SetFillColor(4);
    symbol.SetPointSymbol(TVxPointSymbol::Star);
    TCounter counter;
    TVxPointSymbolSettings symbolCopy(counter.Callback());
    symbolCopy.Assign(&symbol);
    EXPECT_FALSE(symbolCopy.Visible());
    EXPECT_EQ(symbolCopy.Size(), 5.0f);
    EXPECT_EQ(symbolCopy.BorderLineWidth(), 2.0f);
    EXPECT_EQ(symbolCopy.BorderColor(), 3);
    EXPECT_EQ(symbolCopy.FillColor(), 4);
    EXPECT_EQ(symbolCopy.PointSymbol(), TVxPointSymbol::Star);
    EXPECT_EQ(counter.Calls, 7); // six setters, then the closing call

    TVxAxisArrowPoint tip;
    tip.SetVisible(true);
    tip.SetPointLength(1);
    tip.SetInnerLength(2);
    tip.SetPointHeight(3);
    TVxAxisArrowPoint tipCopy;
    tipCopy.Assign(&tip);
    EXPECT_TRUE(tipCopy.Visible());
    EXPECT_EQ(tipCopy.Cap(), (TVxArrowCap{1, 2, 3}));

    TVxGradientSettings g;
    g.SetVisible(true);
    g.SetStyle(TVxGradientStyle::Elliptical);
    g.SetFirstColor(5);
    g.SetMiddleColor(6);
    g.SetLastColor(7);
    g.SetLinearAngle(12);
    g.SetLinearCenter(0.1f);
    g.SetRadialCenterX(0.2f);
    g.SetRadialCenterY(0.3f);
    TCounter gradientCounter;
    TVxGradientSettings gCopy(gradientCounter.Callback());
    gCopy.Assign(&g);
    EXPECT_EQ(gradientCounter.Calls, 1);
    EXPECT_TRUE(gCopy.Visible());
    EXPECT_EQ(gCopy.Style(), TVxGradientStyle::Elliptical);
    EXPECT_EQ(gCopy.FirstColor(), 5);
    EXPECT_EQ(gCopy.MiddleColor(), 6);
    EXPECT_EQ(gCopy.LastColor(), 7);
    EXPECT_EQ(gCopy.LinearAngle(), 12.0f);
    EXPECT_EQ(gCopy.LinearCenter(), 0.1f);
    EXPECT_EQ(gCopy.RadialCenterX(), 0.2f);
    EXPECT_EQ(gCopy.RadialCenterY(), 0.3f);
}

TEST(StyleSettings, AssignFromAnUnrelatedClassRaisesAndChangesNothing) {
    TVxLineSettings line;
    TVxAreaSettings area;
    TVxGradientSettings g;
    TVxFont font;
    QObject plain;
    EXPECT_THROW(line.Assign(&area), EVxConvertError);
    EXPECT_THROW(area.Assign(&line), EVxConvertError);
    EXPECT_THROW(g.Assign(&plain), EVxConvertError);
    EXPECT_THROW(g.Assign(nullptr), EVxConvertError);
    EXPECT_THROW(font.Assign(static_cast<const QObject*>(&line)), EVxConvertError);
    EXPECT_EQ(line.Color(), VxColor(0xFFFF0000));
}

TEST(StyleSettings, GradientPropertyCopiesIntoTheOwnedObject) {
    TVxGradientSettings source;
    source.SetVisible(true);
    source.SetLastColor(9);
    TVxAreaSettings area;
    TVxGradientSettings* owned = area.Gradient();
    ASSERT_TRUE(area.setProperty("Gradient", QVariant::fromValue(&source)));
    EXPECT_EQ(area.Gradient(), owned);
    EXPECT_TRUE(owned->Visible());
    EXPECT_EQ(owned->LastColor(), 9);
}

TEST(StyleFont, DrawEffectsAreMutuallyExclusive) {
    using E = TVxCharDrawEffect;
    const struct {
        TVxCharDrawEffects Current;
        TVxCharDrawEffects Given;
        TVxCharDrawEffects Result;
    } cases[] = {
        {{}, E::Shadow | E::Raised, E::Shadow},
        {E::Shadow, E::Shadow | E::Raised, E::Raised},
        {E::Shadow, {}, {}},
        {E::Outline, E::Shadow | E::Outline | E::Lowered, E::Shadow},
        {E::Raised, E::Raised, E::Raised},
        {{}, E::Lowered, E::Lowered},
    };
    for (const auto& c : cases) {
        TVxFont font;
        font.SetDrawEffects(c.Current);
        ASSERT_EQ(font.DrawEffects(), c.Current);
        font.SetDrawEffects(c.Given);
        EXPECT_EQ(font.DrawEffects(), c.Result) << c.Current.toInt() << " + " << c.Given.toInt();
    }
}

TEST(StyleFont, SizesFollowTheToolkitRules) {
    TVxFont font;
    // Height -11 at 96 dots per inch: 11 * 72 / 96 = 8.25 points, rounded 8.
    EXPECT_EQ(font.Height(), -11);
    EXPECT_EQ(font.GetSize(), 8.0f);

    TCounter resized;
    font.mNeedsResize = resized.Callback();
    font.SetSize(10.5f);
    EXPECT_EQ(font.GetSize(), 10.5f);
    EXPECT_EQ(font.IntegerSize(), 10); // half to even
    EXPECT_EQ(font.Height(), -13);     // 10 * 96 / 72 = 13.33
    font.SetSize(11.5f);
    EXPECT_EQ(font.IntegerSize(), 12);
    EXPECT_EQ(resized.Calls, 2);
    font.SetSize(Inf);
    font.SetSize(NaN);
    EXPECT_EQ(font.GetSize(), 11.5f);
    EXPECT_EQ(resized.Calls, 2);

    font.SetHeight(-20); // 20 * 72 / 96 = 15
    EXPECT_EQ(font.GetSize(), 15.0f);
    EXPECT_EQ(resized.Calls, 3);
    font.SetSize(1e30f);
    EXPECT_EQ(font.GetSize(), TVxFont::MaxFontSize);
}

TEST(StyleFont, ColoursAndCallbacks) {
    TCounter invalidated;
    TCounter resized;
    TVxFont font(invalidated.Callback());
    font.mNeedsResize = resized.Callback();
    font.SetFillColor(VxColor(0x80112233));
    EXPECT_EQ(font.Color(), 0x00332211); // toolkit form, alpha dropped
    font.SetColor(0x000000FF);           // toolkit red
    EXPECT_EQ(font.FillColor(), VxColor(0xFFFF0000));
    EXPECT_EQ(invalidated.Calls, 2);
    font.SetFillColor(VxColor(0xFFFF0000));
    EXPECT_EQ(invalidated.Calls, 2);
    font.SetRenderingHint(TVxTextRenderingHint::AntiAlias);
    font.SetName("Courier New");
    font.SetName("");
    font.SetStyle(TVxFontStyle::Bold | TVxFontStyle::Italic);
    EXPECT_EQ(resized.Calls, 3);
    EXPECT_EQ(font.Name(), "Courier New");
    EXPECT_EQ(invalidated.Calls, 2);
}

TEST(StyleFont, AssignFromAFontAndFromAToolkitFont) {
    TVxFont source;
    source.SetName("Times New Roman");
    source.SetSize(9.5f);
    source.SetStyle(TVxFontStyle::Underline);
    source.SetFillColor(VxColor(0xFF00FF00));
    source.SetDrawEffects(TVxCharDrawEffect::Outline);
    source.SetRenderingHint(TVxTextRenderingHint::AntiAliasGridFit);
    source.Gradient()->SetVisible(true);

    TCounter resized;
    TVxFont target;
    target.mNeedsResize = resized.Callback();
    target.SetDrawEffects(TVxCharDrawEffect::Shadow);
    target.Assign(source);
    EXPECT_EQ(target.Name(), "Times New Roman");
    EXPECT_EQ(target.GetSize(), 9.5f);
    EXPECT_EQ(target.Style(), TVxFontStyles(TVxFontStyle::Underline));
    EXPECT_EQ(target.FillColor(), VxColor(0xFF00FF00));
    EXPECT_EQ(target.DrawEffects(), TVxCharDrawEffects(TVxCharDrawEffect::Outline));
    EXPECT_EQ(target.RenderingHint(), TVxTextRenderingHint::AntiAliasGridFit);
    EXPECT_TRUE(target.Gradient()->Visible());
    EXPECT_GE(resized.Calls, 1);

    QFont toolkit("DejaVu Sans");
    toolkit.setPointSize(14);
    toolkit.setBold(true);
    target.Assign(toolkit);
    EXPECT_EQ(target.Name(), "DejaVu Sans");
    EXPECT_EQ(target.GetSize(), 14.0f);
    EXPECT_EQ(target.Style(), TVxFontStyles(TVxFontStyle::Bold));

    const QFont back = target.AsTFont();
    EXPECT_EQ(back.family(), "DejaVu Sans");
    EXPECT_EQ(back.pointSize(), 14);
    EXPECT_TRUE(back.bold());
    EXPECT_FALSE(back.italic());
}

} // namespace
