#include "styles/VxFont.h"

#include "util/Exceptions.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// Toolkit pixel density that relates heights and point sizes.
constexpr int PixelsPerInch = 96;

// A * B / C rounded to the nearest integer, halves away from zero.
int MulDiv(int A, int B, int C) {
    const std::int64_t n = std::int64_t(A) * B;
    return int((n >= 0 ? n + C / 2 : n - C / 2) / C);
}

constexpr TVxCharDrawEffect EffectOrder[] = {TVxCharDrawEffect::Shadow, TVxCharDrawEffect::Outline,
                                             TVxCharDrawEffect::Lowered, TVxCharDrawEffect::Raised};

} // namespace

TVxFont::TVxFont(ModifiedCallback WhenModified, QObject* AOwner)
    : QObject(AOwner), mNeedsInvalidate(WhenModified),
      FGradient(new TVxGradientSettings(WhenModified, this)) {}

void TVxFont::NeedsInvalidate() const {
    if (mNeedsInvalidate)
        mNeedsInvalidate();
}

void TVxFont::NeedsResize() const {
    if (mNeedsResize)
        mNeedsResize();
}

void TVxFont::SetName(const QString& Value) {
    if (Value.isEmpty() || Value == FName)
        return;
    FName = Value;
    NeedsResize();
}

void TVxFont::SetHeight(int Value) {
    if (Value == FHeight && FSize == 0)
        return;
    FHeight = Value;
    // A fraction kept from an earlier size would no longer describe this height.
    FSize = 0;
    NeedsResize();
}

int TVxFont::IntegerSize() const {
    return -MulDiv(FHeight, 72, PixelsPerInch);
}

float TVxFont::GetSize() const {
    return FSize > 0 ? FSize : float(IntegerSize());
}

void TVxFont::SetSize(float Value) {
    if (!std::isfinite(Value))
        return;
    Value = std::clamp(Value, -MaxFontSize, MaxFontSize);
    const int rounded = int(std::nearbyint(Value));
    const int height = -MulDiv(rounded, PixelsPerInch, 72);
    if (Value == FSize && height == FHeight)
        return;
    FHeight = height;
    FSize = Value;
    NeedsResize();
}

void TVxFont::SetStyle(TVxFontStyles Value) {
    Value &= TVxFontStyles::fromInt(15);
    if (Value == FStyle)
        return;
    FStyle = Value;
    NeedsResize();
}

void TVxFont::SetCharset(int Value) {
    if (Value == FCharset)
        return;
    FCharset = Value;
    NeedsResize();
}

void TVxFont::SetColor(TColor Value) {
    const TVxColor argb = ToArgb(Value);
    if (argb == FFillColor)
        return;
    FFillColor = argb;
    NeedsInvalidate();
}

void TVxFont::SetFillColor(TVxColor Value) {
    if (Value == FFillColor)
        return;
    FFillColor = Value;
    NeedsInvalidate();
}

void TVxFont::SetGradient(TVxGradientSettings* Value) {
    if (Value)
        FGradient->Assign(Value);
}

void TVxFont::SetDrawEffects(TVxCharDrawEffects Value) {
    Value &= TVxCharDrawEffects::fromInt(15);
    if (Value == FDrawEffects)
        return;
    TVxCharDrawEffects result = Value;
    for (TVxCharDrawEffect effect : EffectOrder)
        if (Value.testFlag(effect) && !FDrawEffects.testFlag(effect)) {
            result = effect;
            break;
        }
    if (result == FDrawEffects)
        return;
    FDrawEffects = result;
    NeedsInvalidate();
}

void TVxFont::SetRenderingHint(TVxTextRenderingHint Value) {
    if (int(Value) < 0 || int(Value) > int(TVxTextRenderingHint::ClearTypeGridFit) ||
        Value == FRenderingHint)
        return;
    FRenderingHint = Value;
    NeedsResize();
}

void TVxFont::Assign(const TVxFont& Source) {
    if (&Source == this)
        return;
    FFillColor = Source.FFillColor;
    SetSize(Source.GetSize());
    SetDrawEffects(Source.DrawEffects());
    SetRenderingHint(Source.RenderingHint());
    FGradient->Assign(Source.Gradient());
    if (Source.Name() != FName)
        SetName(Source.Name());
    FStyle = Source.Style();
    NeedsResize();
}

void TVxFont::Assign(const QFont& Source) {
    if (!Source.family().isEmpty() && Source.family() != FName)
        FName = Source.family();
    int size = Source.pointSize();
    if (size <= 0 && Source.pixelSize() > 0)
        size = MulDiv(Source.pixelSize(), 72, PixelsPerInch);
    if (size > 0) {
        FHeight = -MulDiv(size, PixelsPerInch, 72);
        FSize = float(size);
    }
    TVxFontStyles style;
    style.setFlag(TVxFontStyle::Bold, Source.bold());
    style.setFlag(TVxFontStyle::Italic, Source.italic());
    style.setFlag(TVxFontStyle::Underline, Source.underline());
    style.setFlag(TVxFontStyle::StrikeOut, Source.strikeOut());
    FStyle = style;
    NeedsResize();
}

void TVxFont::Assign(const QObject* Source) {
    const auto* source = qobject_cast<const TVxFont*>(Source);
    if (!source)
        RaiseAssignError(Source, this);
    Assign(*source);
}

void TVxFont::PushToUndoStack(TVxUndoStack* Stack, const QString& Comment) {
    if (!Stack)
        return;
    Stack->StartGroup(Comment);
    try {
        for (const char* name : {"Name", "Style", "Size", "FillColor", "DrawEffects"})
            Stack->PushProperty(this, QString(), name);
        for (const char* name : {"Visible", "Style", "FirstColor", "MiddleColor", "LastColor",
                                 "LinearAngle", "LinearCenter", "RadialCenterX", "RadialCenterY"})
            Stack->PushProperty(FGradient, QString(), name);
    } catch (...) {
        Stack->StopGroup();
        throw;
    }
    Stack->StopGroup();
}

QFont TVxFont::AsTFont() const {
    QFont font(FName);
    if (IntegerSize() > 0)
        font.setPointSize(IntegerSize());
    font.setBold(FStyle.testFlag(TVxFontStyle::Bold));
    font.setItalic(FStyle.testFlag(TVxFontStyle::Italic));
    font.setUnderline(FStyle.testFlag(TVxFontStyle::Underline));
    font.setStrikeOut(FStyle.testFlag(TVxFontStyle::StrikeOut));
    return font;
}

TVxFontSpec TVxFont::FontSpec() const {
    TVxFontSpec description;
    description.Family = FName;
    description.Size = GetSize();
    description.Unit = TVxFontUnit::Point;
    description.Bold = FStyle.testFlag(TVxFontStyle::Bold);
    description.Italic = FStyle.testFlag(TVxFontStyle::Italic);
    description.Underline = FStyle.testFlag(TVxFontStyle::Underline);
    description.StrikeOut = FStyle.testFlag(TVxFontStyle::StrikeOut);
    return description;
}

TVxBrush TVxFont::GetBrush(const QRectF& View) const {
    return FGradient->Visible() ? FGradient->GetBrush(View, 0) : TVxBrush::SolidBrush(FFillColor);
}
