// Every style setter records one undo step with its description, none for an unchanged value,
// and undo restores the old value.
#include "../util/QStringPrinter.h"
#include "styles/AreaSettings.h"
#include "styles/ArrowSettings.h"
#include "styles/PointSymbolSettings.h"
#include "styles/StyleRecords.h"
#include "styles/VxFont.h"
#include "undo/UndoStack.h"

#include <QBuffer>
#include <QVariant>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

using TFactory = std::function<std::unique_ptr<TVxStyleSettings>()>;

template <class T> TFactory Make() {
    return [] { return std::make_unique<T>(); };
}

struct TSetterCase {
    const char* Class;
    TFactory Create;
    const char* Property;
    QVariant Value;
    const char* Description;
};

const TSetterCase SetterCases[] = {
    {"gradient", Make<TVxGradientSettings>(), "Visible", true, "Gradient visible"},
    {"gradient", Make<TVxGradientSettings>(), "Style", 1, "Gradient style"},
    {"gradient", Make<TVxGradientSettings>(), "FirstColor", 1, "Gradient first color"},
    {"gradient", Make<TVxGradientSettings>(), "MiddleColor", 2, "Gradient middle color"},
    {"gradient", Make<TVxGradientSettings>(), "LastColor", 3, "Gradient last color"},
    {"gradient", Make<TVxGradientSettings>(), "LinearAngle", 90.5f, "Linear gradient angle"},
    {"gradient", Make<TVxGradientSettings>(), "LinearCenter", 0.25f, "Linear gradient center"},
    {"gradient", Make<TVxGradientSettings>(), "RadialCenterX", 0.25f,
     "X component of gradient center"},
    {"gradient", Make<TVxGradientSettings>(), "RadialCenterY", 0.75f,
     "Y component of gradient center"},
    {"simple line", Make<TVxSimpleLineSettings>(), "Width", 2.5f, "Line width"},
    {"simple line", Make<TVxSimpleLineSettings>(), "DashStyle", 3, "Line dash style"},
    {"simple line", Make<TVxSimpleLineSettings>(), "Color", 5, "Line color"},
    {"line", Make<TVxLineSettings>(), "Visible", false, "Line visible"},
    {"area", Make<TVxAreaSettings>(), "Visible", true, "Filled area visible"},
    {"area", Make<TVxAreaSettings>(), "AreaStyle", 12, "Area fill style"},
    {"area", Make<TVxAreaSettings>(), "ForeColor", 6, "Area fill foreground color"},
    {"area", Make<TVxAreaSettings>(), "BackColor", 7, "Area fill background color"},
    {"symbol", Make<TVxPointSymbolSettings>(), "Visible", false, "Point symbol visible"},
    {"symbol", Make<TVxPointSymbolSettings>(), "BorderLineWidth", 3.0f,
     "Point symbol borderline width"},
    {"symbol", Make<TVxPointSymbolSettings>(), "Size", 4.0f, "Point symbol size"},
    {"symbol", Make<TVxPointSymbolSettings>(), "BorderColor", 8, "Point symbol borderline color"},
    {"symbol", Make<TVxPointSymbolSettings>(), "FillColor", 9, "Point symbol fill color"},
    {"symbol", Make<TVxPointSymbolSettings>(), "PointSymbol", 2, "Point symbol selection"},
    {"arrow", Make<TVxArrowSettings>(), "PointLength", 9.0f, "Arrow tip point length"},
    {"arrow", Make<TVxArrowSettings>(), "InnerLength", 1.0f, "Arrow tip point inner length"},
    {"arrow", Make<TVxArrowSettings>(), "PointHeight", 6.0f, "Arrow tip point height"},
    {"arrow", Make<TVxArrowSettings>(), "Visible", false, "Line visible"},
    {"axis tip", Make<TVxAxisArrowPoint>(), "Visible", true, "Axis arrow visible"},
    {"axis tip", Make<TVxAxisArrowPoint>(), "PointLength", 9.0f, "Axis arrow tip point length"},
    {"axis tip", Make<TVxAxisArrowPoint>(), "InnerLength", 1.0f,
     "Axis arrow tip point inner length"},
    {"axis tip", Make<TVxAxisArrowPoint>(), "PointHeight", 6.0f, "Axis arrow tip point height"},
};

TEST(StyleUndo, EverySetterRecordsOneStepWithItsDescription) {
    for (const TSetterCase& c : SetterCases) {
        SCOPED_TRACE(std::string(c.Class) + "." + c.Property);
        TVxUndoStack stack;
        std::unique_ptr<TVxStyleSettings> object = c.Create();
        object->SetUndoStack(&stack);
        const QVariant before = object->property(c.Property);
        ASSERT_TRUE(before.isValid());
        ASSERT_NE(before, c.Value);

        ASSERT_TRUE(object->setProperty(c.Property, c.Value));
        EXPECT_EQ(object->property(c.Property), c.Value);
        EXPECT_EQ(stack.UndoCount(), 1);
        EXPECT_EQ(stack.UndoList(), QStringList{c.Description});

        object->setProperty(c.Property, c.Value);
        EXPECT_EQ(stack.UndoCount(), 1) << "unchanged value recorded";

        EXPECT_TRUE(stack.Undo());
        EXPECT_EQ(object->property(c.Property), before);
        EXPECT_TRUE(stack.Redo());
        EXPECT_EQ(object->property(c.Property), c.Value);
    }
}

TEST(StyleUndo, NoStackOrADetachedStackRecordsNothing) {
    TVxUndoStack stack;
    TVxLineSettings line;
    line.SetWidth(3);
    line.SetUndoStack(&stack);
    line.SetUndoStack(nullptr);
    line.SetWidth(4);
    line.Gradient()->SetVisible(true);
    EXPECT_EQ(stack.UndoCount(), 0);
    {
        TVxUndoStack shortLived;
        line.SetUndoStack(&shortLived);
    }
    line.SetWidth(5); // the stack died: the reference was dropped
    EXPECT_EQ(line.Width(), 5.0f);
}

TEST(StyleUndo, TheOwnedGradientRecordsOnTheOwnersStack) {
    TVxUndoStack stack;
    TVxAreaSettings area;
    area.SetUndoStack(&stack);
    area.Gradient()->SetLinearAngle(-90);
    TVxSimpleLineSettings line;
    line.SetUndoStack(&stack);
    line.Gradient()->SetStyle(TVxGradientStyle::Radial);
    EXPECT_EQ(stack.UndoList(), (QStringList{"Gradient style", "Linear gradient angle"}));
    EXPECT_TRUE(stack.Undo(1));
    EXPECT_EQ(area.Gradient()->LinearAngle(), 0.0f);
    EXPECT_EQ(line.Gradient()->Style(), TVxGradientStyle::Linear);
}

TEST(StyleUndo, ClampedAndFlooredValuesRecordAsDocumented) {
    TVxUndoStack stack;
    TVxGradientSettings g;
    g.SetUndoStack(&stack);
    g.SetLinearCenter(1.7f);
    g.SetLinearCenter(1.7f); // clamped to the stored 1 before the comparison
    EXPECT_EQ(stack.UndoCount(), 1);

    TVxArrowSettings arrow;
    arrow.SetUndoStack(&stack);
    arrow.SetPointLength(0);
    arrow.SetPointLength(0); // the given 0 differs from the stored 0.00001
    EXPECT_EQ(stack.UndoCount(), 3);
    g.SetLinearAngle(std::numeric_limits<float>::infinity());
    EXPECT_EQ(stack.UndoCount(), 3);
}

TEST(StyleUndo, AssignAndLoadingRecordThroughTheSetters) {
    TVxUndoStack stack;
    TVxLineSettings source;
    source.SetVisible(false);
    source.SetWidth(2);
    source.Gradient()->SetVisible(true);
    TVxLineSettings target;
    target.SetUndoStack(&stack);
    target.Assign(&source);
    // Visible and Width changed; the gradient is copied without records.
    EXPECT_EQ(stack.UndoList(), (QStringList{"Line width", "Line visible"}));

    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    TVxStreamWriter out(buffer);
    TVxLineSettings saved;
    saved.SetColor(VxColor(0xFF00FF00));
    WriteLineSettings(out, saved);
    buffer.seek(0);
    TVxStreamReader in(buffer);
    ReadLineSettings(in, target);
    EXPECT_EQ(stack.UndoList().mid(0, 3),
              (QStringList{"Line width", "Line color", "Line visible"}));
    EXPECT_EQ(stack.UndoCount(), 5);
}

TEST(StyleUndo, FontPushesItsWholeStateAsOneStep) {
    TVxUndoStack stack;
    TVxFont font;
    font.SetName("DejaVu Sans");
    font.SetSize(9.5f);
    font.SetFillColor(VxColor(0xFF112233));
    font.SetDrawEffects(TVxCharDrawEffect::Outline);
    font.Gradient()->SetLinearAngle(20);
    font.PushToUndoStack(&stack, "Caption font");
    EXPECT_EQ(stack.UndoList(), QStringList{"Caption font"});

    TVxFont other;
    other.SetName("Liberation Serif");
    other.SetStyle(TVxFontStyle::Bold);
    other.SetSize(20);
    other.Gradient()->SetVisible(true);
    font.Assign(other);
    ASSERT_EQ(font.Name(), "Liberation Serif");
    EXPECT_TRUE(stack.Undo());
    EXPECT_EQ(font.Name(), "DejaVu Sans");
    EXPECT_EQ(font.GetSize(), 9.5f);
    EXPECT_EQ(font.Style(), TVxFontStyles());
    EXPECT_EQ(font.FillColor(), VxColor(0xFF112233));
    EXPECT_EQ(font.DrawEffects(), TVxCharDrawEffects(TVxCharDrawEffect::Outline));
    EXPECT_FALSE(font.Gradient()->Visible());
    EXPECT_EQ(font.Gradient()->LinearAngle(), 20.0f);

    font.PushToUndoStack(nullptr, "ignored");
    EXPECT_EQ(stack.UndoCount(), 1);
}

} // namespace
