#pragma once
// The chart library's font: the toolkit font's name, size, height, style, colour and charset,
// plus an ARGB fill colour, a gradient, a fractional size, a draw effect and a rendering hint.

#include "drawing/Font.h"
#include "styles/GradientSettings.h"

#include <QFlags>
#include <QFont>
#include <cstdint>

/// A font style bit (the set is streamed as one byte).
enum class TVxFontStyle : std::uint8_t {
    Bold = 1,      ///< bold face
    Italic = 2,    ///< italic face
    Underline = 4, ///< underlined
    StrikeOut = 8, ///< struck out
};
Q_DECLARE_FLAGS(TVxFontStyles, TVxFontStyle)
Q_DECLARE_OPERATORS_FOR_FLAGS(TVxFontStyles)

/// A draw effect of text; at most one is active (the set is streamed as one byte).
enum class TVxCharDrawEffect : std::uint8_t {
    Shadow = 1,  ///< a shadow behind the text
    Outline = 2, ///< outlined letters
    Lowered = 4, ///< engraved
    Raised = 8,  ///< embossed
};
Q_DECLARE_FLAGS(TVxCharDrawEffects, TVxCharDrawEffect)
Q_DECLARE_OPERATORS_FOR_FLAGS(TVxCharDrawEffects)

class TVxFont : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Charset READ Charset WRITE SetCharset STORED false)
    Q_PROPERTY(int Color READ Color WRITE SetColor STORED false)
    Q_PROPERTY(int FillColor READ FillColor WRITE SetFillColor)
    Q_PROPERTY(QString Name READ Name WRITE SetName)
    Q_PROPERTY(TVxGradientSettings* Gradient READ Gradient WRITE SetGradient)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(float Size READ GetSize WRITE SetSize)
    Q_PROPERTY(int DrawEffects READ DrawEffectsMask WRITE SetDrawEffectsMask)
    Q_PROPERTY(int RenderingHint READ RenderingHintOrdinal WRITE SetRenderingHintOrdinal)
    Q_PROPERTY(int Style READ StyleMask WRITE SetStyleMask)

public:
    /// Arial, 8 points, no style, black, no effect, SystemDefault hint; WhenModified becomes
    /// mNeedsInvalidate and the gradient's callback.
    explicit TVxFont(ModifiedCallback WhenModified = {}, QObject* AOwner = nullptr);

    /// Called when text metrics change (name, size, height, style, hint); set by owners that
    /// lay text out.
    ModifiedCallback mNeedsResize;

    /// Family name; an empty name is ignored.
    QString Name() const { return FName; }
    void SetName(const QString& Value);
    /// Height in pixels at 96 dots per inch; negative: the character height (toolkit rule).
    /// Setting it drops a fractional size.
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    /// The toolkit's integer point size derived from Height.
    int IntegerSize() const;
    /// The fractional size when one was set (above 0), else the integer size.
    float GetSize() const;
    /// Sets the integer size to the rounded value and keeps the fraction; non-finite values
    /// are ignored, magnitudes are limited to MaxFontSize.
    void SetSize(float Value);
    /// Bold, italic, underline, strike-out bits; other bits are ignored.
    TVxFontStyles Style() const { return FStyle; }
    void SetStyle(TVxFontStyles Value);
    /// Character set code of the toolkit (not stored).
    int Charset() const { return FCharset; }
    void SetCharset(int Value);

    /// Toolkit colour (0x00BBGGRR or a system colour code); reads FillColor in toolkit form.
    TColor Color() const { return ToTColor(FFillColor); }
    /// Sets the toolkit colour and FillColor to its opaque ARGB (system colours resolved).
    void SetColor(TColor Value);
    /// The colour text is drawn in.
    TVxColor FillColor() const { return FFillColor; }
    void SetFillColor(TVxColor Value);
    /// The owned gradient of the text.
    TVxGradientSettings* Gradient() const { return FGradient; }
    /// Copies Value into the owned gradient (nullptr is ignored).
    void SetGradient(TVxGradientSettings* Value);

    /// The active draw effect (at most one bit).
    TVxCharDrawEffects DrawEffects() const { return FDrawEffects; }
    /// The first effect of Value (order Shadow, Outline, Lowered, Raised) other than the
    /// current one; Value as given when it holds no other (so an empty set clears).
    void SetDrawEffects(TVxCharDrawEffects Value);
    /// How text is anti-aliased; values outside the enumeration are ignored.
    TVxTextRenderingHint RenderingHint() const { return FRenderingHint; }
    void SetRenderingHint(TVxTextRenderingHint Value);

    /// From another TVxFont: fill colour, size, effects, hint, gradient, then name and style.
    void Assign(const TVxFont& Source);
    /// From a toolkit font: family, integer point size and style.
    void Assign(const QFont& Source);
    /// Assign from a TVxFont; any other class raises EVxConvertError.
    void Assign(const QObject* Source);

    /// Records name, style, size, fill colour, effects and the gradient's nine values as one
    /// step described Comment (nothing when Stack is null); owners call it before assigning a
    /// whole new font.
    void PushToUndoStack(TVxUndoStack* Stack, const QString& Comment);

    /// A plain toolkit font with this font's family, size and style.
    QFont AsTFont() const;
    /// Assign(Value).
    void SetAsTFont(const QFont& Value) { Assign(Value); }
    /// The font for the drawing surface (size in points).
    TVxFontSpec FontSpec() const;
    /// The text fill for View: the gradient's brush when visible, else solid FillColor.
    TVxBrush GetBrush(const QRectF& View) const;

    /// The largest size magnitude kept.
    static constexpr float MaxFontSize = 1e6f;

private:
    void NeedsInvalidate() const;
    void NeedsResize() const;
    int DrawEffectsMask() const { return int(FDrawEffects); }
    void SetDrawEffectsMask(int Value) { SetDrawEffects(TVxCharDrawEffects::fromInt(Value)); }
    int RenderingHintOrdinal() const { return int(FRenderingHint); }
    void SetRenderingHintOrdinal(int Value) { SetRenderingHint(TVxTextRenderingHint(Value)); }
    int StyleMask() const { return int(FStyle); }
    void SetStyleMask(int Value) { SetStyle(TVxFontStyles::fromInt(Value)); }

    ModifiedCallback mNeedsInvalidate;
    QString FName = QStringLiteral("Arial");
    int FHeight = -11;
    TVxFontStyles FStyle;
    int FCharset = 1;
    TVxColor FFillColor = VxColor(0xFF000000);
    TVxGradientSettings* FGradient;
    TVxCharDrawEffects FDrawEffects;
    TVxTextRenderingHint FRenderingHint = TVxTextRenderingHint::SystemDefault;
    float FSize = 0;
};
