#include "captions/RichCaption.h"

#include "captions/CaptionVariables.h"
#include "util/Exceptions.h"

#include <QGuiApplication>
#include <QHash>
#include <cmath>

struct TVxRichCaptionRec::TBase {
    QString Name = QStringLiteral("Arial");
    double Size = 8;
    TVxFontStyles Style;
    TVxColor FillColor = VxColor(0xFF000000);
    bool GradientVisible = false;
    const TVxGradientSettings* Gradient = nullptr;
    TVxCharDrawEffects Effects;
    TVxTextRenderingHint Hint = TVxTextRenderingHint::SystemDefault;
};

namespace {

double ClampFontSize(double Size) {
    if (!(Size > 0))
        return MinCaptionFontSize;
    return std::clamp(Size, MinCaptionFontSize, MaxCaptionFontSize);
}

// Families seen so far and whether they are installed; asking the font database each time
// would cost more than measuring. UI thread only, like all text measuring.
bool FamilyAvailable(const QString& Family) {
    if (!QGuiApplication::instance())
        return true;
    static QHash<QString, bool> known;
    const auto it = known.constFind(Family);
    if (it != known.constEnd())
        return *it;
    const bool available = IsFontAvailable(Family);
    if (known.size() < 1024)
        known.insert(Family, available);
    return available;
}

const TVxStringFormat DefaultFormat = TVxStringFormat::GenericDefault();
const TVxStringFormat TypographicFormat = TVxStringFormat::GenericTypographic();

double MeasuredWidth(const TVxSurface& Gr, const QString& Text, const TVxFontSpec& Font,
                     const TVxStringFormat& Format) {
    return Gr.MeasureString(Text, Font, QRectF(), Format).width();
}

// The width of "II" in the fonts a parse meets, which every run width needs.
class TRunMeasure {
public:
    explicit TRunMeasure(const TVxSurface& Gr) : FGr(Gr) {}
    double Width(const QString& Run, const TVxFontSpec& Font) {
        if (!FHasII || !(FIIFont == Font)) {
            FIIFont = Font;
            FII = MeasuredWidth(FGr, QStringLiteral("II"), Font, DefaultFormat);
            FHasII = true;
        }
        return MeasuredWidth(FGr, u'I' + Run + u'I', Font, DefaultFormat) - FII;
    }

private:
    const TVxSurface& FGr;
    TVxFontSpec FIIFont;
    double FII = 0;
    bool FHasII = false;
};

// Restores the surface state a caption changes while it draws.
struct TSurfaceState {
    explicit TSurfaceState(TVxSurface& AGr)
        : Gr(AGr), Transform(AGr.GetTransform()), Hint(AGr.GetTextRenderingHint()),
          Smoothing(AGr.GetSmoothingMode()) {}
    ~TSurfaceState() {
        Gr.SetTransform(Transform);
        if (Gr.GetTextRenderingHint() != Hint)
            Gr.SetTextRenderingHint(Hint);
        if (Gr.GetSmoothingMode() != Smoothing)
            Gr.SetSmoothingMode(Smoothing);
    }
    TVxSurface& Gr;
    TVxMatrix Transform;
    TVxTextRenderingHint Hint;
    TSmoothingMode Smoothing;
};

bool IsCentered(TVxContentAlignment Align) {
    return Align == TVxContentAlignment::TopCenter || Align == TVxContentAlignment::MiddleCenter ||
           Align == TVxContentAlignment::BottomCenter;
}

bool IsRight(TVxContentAlignment Align) {
    return Align == TVxContentAlignment::TopRight || Align == TVxContentAlignment::MiddleRight ||
           Align == TVxContentAlignment::BottomRight;
}

} // namespace

TVxRichCaptionRec::TBase TVxRichCaptionRec::BaseFont() const {
    TBase base;
    if (const TVxFont* font = Font.data()) {
        base.Name = font->Name();
        base.Size = font->GetSize();
        base.Style = font->Style();
        base.FillColor = font->FillColor();
        base.Gradient = font->Gradient();
        base.GradientVisible = base.Gradient && base.Gradient->Visible();
        base.Effects = font->DrawEffects();
        base.Hint = font->RenderingHint();
    }
    base.Size = ClampFontSize(base.Size);
    return base;
}

TVxColor TVxRichCaptionRec::CaptionColor() const {
    if (FColorOverride != 0)
        return FColorOverride;
    return Font ? Font->FillColor() : VxColor(0xFF000000);
}

void TVxRichCaptionRec::ResetStyle(const TBase& Base) {
    FFontName = Base.Name;
    FBold = Base.Style.testFlag(TVxFontStyle::Bold);
    FItalic = Base.Style.testFlag(TVxFontStyle::Italic);
    FUnderline = Base.Style.testFlag(TVxFontStyle::Underline);
    FStrikeOut = Base.Style.testFlag(TVxFontStyle::StrikeOut);
    FSuperScript = false;
    FSubScript = false;
    CreateFont(Base);
}

void TVxRichCaptionRec::CreateFont(const TBase& Base) {
    FStyle = (FBold ? 1 : 0) | (FItalic ? 2 : 0) | (FUnderline ? 4 : 0) | (FStrikeOut ? 8 : 0);
    const double size = (FSuperScript || FSubScript) ? Base.Size * ScriptSizeFactor : Base.Size;
    FSize = float(ClampFontSize(size));
    FFont.Family = FamilyAvailable(FFontName) ? FFontName : QStringLiteral("Arial");
    FFont.Size = FSize;
    FFont.Unit = TVxFontUnit::Point;
    FFont.Bold = FBold;
    FFont.Italic = FItalic;
    FFont.Underline = FUnderline;
    FFont.StrikeOut = FStrikeOut;
}

double TVxRichCaptionRec::GetWidth(const QString& ForString, const TVxSurface& Gr) const {
    return TRunMeasure(Gr).Width(ForString, FFont);
}

void TVxRichCaptionRec::ParseForSize(TVxSurface& Gr, QObject* Owner) {
    FCaptionWithVars = ExpandVariables(Caption, Owner);
    FTokens = TokenizeCaption(FCaptionWithVars);
    FTokenWidth.assign(FTokens.size(), 0.0f);
    const auto lines = 1 + std::count_if(FTokens.begin(), FTokens.end(), [](const auto& t) {
                           return t.Kind == TVxMarkupKind::LineBreak;
                       });
    FLineWidth.assign(std::size_t(lines), 0.0f);

    const TBase base = BaseFont();
    const TVxTextRenderingHint savedHint = Gr.GetTextRenderingHint();
    if (savedHint != base.Hint)
        Gr.SetTextRenderingHint(base.Hint);
    ResetStyle(base);
    FText.clear();
    const TVxFontSpec baseFont = FFont;
    const double h = Gr.GetFontHeight(baseFont);
    FLineHeight = h;
    FHeight = float(double(lines) * h);
    const double m = 0.045 * h;

    TRunMeasure measure(Gr);
    std::size_t line = 0;
    for (std::size_t i = 0; i < FTokens.size(); ++i) {
        const TVxMarkupToken& t = FTokens[i];
        float& width = FLineWidth[line];
        switch (t.Kind) {
        case TVxMarkupKind::Run:
            FTokenWidth[i] = float(measure.Width(t.Text, FFont));
            width += FTokenWidth[i];
            FText += t.Text;
            break;
        case TVxMarkupKind::LineBreak:
            ++line;
            FText += u'\r';
            break;
        case TVxMarkupKind::SuperScript:
        case TVxMarkupKind::SubScript: {
            const bool super = t.Kind == TVxMarkupKind::SuperScript;
            bool& other = super ? FSubScript : FSuperScript;
            bool& self = super ? FSuperScript : FSubScript;
            if (other) {
                other = false;
                width -= float(m);
            }
            self = !self;
            width += float(self ? m : -m);
            CreateFont(base);
            break;
        }
        case TVxMarkupKind::Bold:
            FBold = !FBold;
            CreateFont(base);
            break;
        case TVxMarkupKind::Italic:
            FItalic = !FItalic;
            CreateFont(base);
            break;
        case TVxMarkupKind::Underline:
            FUnderline = !FUnderline;
            CreateFont(base);
            break;
        case TVxMarkupKind::StrikeOut:
            FStrikeOut = !FStrikeOut;
            CreateFont(base);
            break;
        case TVxMarkupKind::Font:
            FFontName = t.Text.isEmpty() ? base.Name : t.Text;
            CreateFont(base);
            break;
        case TVxMarkupKind::Color:
        case TVxMarkupKind::ColorReset:
            break;
        }
    }
    // The padding of the default layout, once per line, from the caption's own font so that
    // a style left on at the end does not change the block.
    FRightAdj = float(MeasuredWidth(Gr, QStringLiteral("."), baseFont, DefaultFormat) -
                      MeasuredWidth(Gr, QStringLiteral("."), baseFont, TypographicFormat));
    FWidth = 0;
    for (float& w : FLineWidth) {
        w += FRightAdj;
        FWidth = std::max(FWidth, w);
    }
    if (Gr.GetTextRenderingHint() != savedHint)
        Gr.SetTextRenderingHint(savedHint);
}

QPointF TVxRichCaptionRec::BlockOffset() const {
    const double w = FWidth, h = FHeight;
    switch (Align) {
    case TVxContentAlignment::TopLeft:
        return {0, 0};
    case TVxContentAlignment::TopCenter:
        return {-w / 2, 0};
    case TVxContentAlignment::TopRight:
        return {-w, 0};
    case TVxContentAlignment::MiddleLeft:
        return {0, -h / 2};
    case TVxContentAlignment::MiddleCenter:
        return {-w / 2, -h / 2};
    case TVxContentAlignment::MiddleRight:
        return {-w, -h / 2};
    case TVxContentAlignment::BottomLeft:
        return {0, -h};
    case TVxContentAlignment::BottomCenter:
        return {-w / 2, -h};
    case TVxContentAlignment::BottomRight:
        return {-w, -h};
    }
    return {0, 0};
}

// Calls Draw(run, font, top-left position, colour) for every run of the measured tokens, with
// the pen movements of superscript and subscript, in block coordinates.
template <class TDrawRun>
void TVxRichCaptionRec::WalkRuns(const TBase& Base, double LineHeight, TDrawRun&& Draw) {
    ResetStyle(Base);
    const double h = LineHeight;
    const double pad = FRightAdj / 2.0;
    const bool several = FLineWidth.size() > 1;
    auto lineStart = [&](std::size_t Line) -> double {
        if (!several || Line >= FLineWidth.size())
            return 0;
        if (IsCentered(Align))
            return (FWidth - FLineWidth[Line]) / 2;
        if (IsRight(Align))
            return FWidth - FLineWidth[Line];
        return 0;
    };
    const TVxColor captionColor = CaptionColor();
    TVxColor color = captionColor;
    std::size_t line = 0;
    double x = lineStart(0);
    double top = 0;
    double shift = 0; // vertical pen offset of superscript or subscript
    for (std::size_t i = 0; i < FTokens.size(); ++i) {
        const TVxMarkupToken& t = FTokens[i];
        switch (t.Kind) {
        case TVxMarkupKind::Run:
            Draw(t.Text, FFont, QPointF(x + pad, top + shift), color);
            x += FTokenWidth[i];
            break;
        case TVxMarkupKind::LineBreak:
            ++line;
            x = lineStart(line);
            top += h;
            break;
        case TVxMarkupKind::SuperScript:
            if (FSubScript) {
                FSubScript = false;
                shift -= 0.34 * h;
                x -= 0.045 * h;
            }
            FSuperScript = !FSuperScript;
            shift += FSuperScript ? -0.075 * h : 0.075 * h;
            x += FSuperScript ? 0.045 * h : -0.045 * h;
            CreateFont(Base);
            break;
        case TVxMarkupKind::SubScript:
            if (FSuperScript) {
                FSuperScript = false;
                shift += 0.075 * h;
                x -= 0.045 * h;
            }
            FSubScript = !FSubScript;
            shift += FSubScript ? 0.34 * h : -0.34 * h;
            x += FSubScript ? 0.045 * h : -0.045 * h;
            CreateFont(Base);
            break;
        case TVxMarkupKind::Bold:
            FBold = !FBold;
            CreateFont(Base);
            break;
        case TVxMarkupKind::Italic:
            FItalic = !FItalic;
            CreateFont(Base);
            break;
        case TVxMarkupKind::Underline:
            FUnderline = !FUnderline;
            CreateFont(Base);
            break;
        case TVxMarkupKind::StrikeOut:
            FStrikeOut = !FStrikeOut;
            CreateFont(Base);
            break;
        case TVxMarkupKind::Font:
            FFontName = t.Text.isEmpty() ? Base.Name : t.Text;
            CreateFont(Base);
            break;
        case TVxMarkupKind::Color:
            color = t.Color;
            break;
        case TVxMarkupKind::ColorReset:
            color = captionColor;
            break;
        }
    }
}

void TVxRichCaptionRec::PaintGr(TVxSurface& Gr) {
    if (FLineWidth.empty())
        ParseForSize(Gr, nullptr);
    if (!std::isfinite(X) || !std::isfinite(Y))
        return;
    const TSurfaceState saved(Gr);
    const double angle = std::isfinite(Angle) ? Angle : 0.0;
    TVxMatrix matrix = saved.Transform;
    RotateAt(matrix, -angle, QPointF(X, Y));
    const QPointF offset = BlockOffset();
    matrix.translate(X + offset.x(), Y + offset.y());
    Gr.SetTransform(matrix);

    const TBase base = BaseFont();
    if (Gr.GetTextRenderingHint() != base.Hint)
        Gr.SetTextRenderingHint(base.Hint);
    const double h = FLineHeight;
    const TVxColor captionColor = CaptionColor();
    const QRectF block(0, 0, FWidth, FHeight);
    auto brushOf = [&](TVxColor Color) {
        if (Color == captionColor && base.GradientVisible)
            return base.Gradient->GetBrush(block);
        return TVxBrush::SolidBrush(Color);
    };
    // A shift of (Dx, Dy) pixels on the target, in block coordinates.
    const TVxMatrix inverse = matrix.inverted();
    auto screenShift = [&](double Dx, double Dy) {
        return inverse.map(QPointF(Dx, Dy)) - inverse.map(QPointF(0, 0));
    };
    const TVxStringFormat format = TVxStringFormat::GenericTypographic();

    const bool outlined = base.Effects.testAnyFlags(
        TVxCharDrawEffect::Outline | TVxCharDrawEffect::Lowered | TVxCharDrawEffect::Raised);
    if (outlined) {
        TVxPath path(TFillMode::FillModeWinding);
        WalkRuns(base, h,
                 [&](const QString& Run, const TVxFontSpec& RunFont, QPointF At, TVxColor) {
                     path.AddString(Run, RunFont, QRectF(At, QSizeF()), format);
                 });
        Gr.SetSmoothingMode(TSmoothingMode::SmoothingModeAntiAlias);
        if (base.Effects.testFlag(TVxCharDrawEffect::Outline)) {
            Gr.DrawPath(TVxPen::FromBrush(brushOf(captionColor), 1), path);
        } else {
            const bool lowered = base.Effects.testFlag(TVxCharDrawEffect::Lowered);
            const TVxRegion clip = Gr.GetClip();
            TVxPath edge = path;
            edge.Widen(TVxPen::Solid(captionColor, 1));
            Gr.SetClip(edge, TCombineMode::CombineModeIntersect);
            auto fillShifted = [&](TVxColor Color, double Dx, double Dy) {
                TVxPath copy = path;
                const QPointF d = screenShift(Dx, Dy);
                copy.Transform(QTransform::fromTranslate(d.x(), d.y()));
                Gr.FillPath(TVxBrush::SolidBrush(Color), copy);
            };
            const double dark = lowered ? -1 : 1;
            fillShifted(MakeColor(90, 0, 0, 0), dark, dark);
            fillShifted(MakeColor(210, 255, 255, 255), -dark, -dark);
            Gr.SetClip(clip, TCombineMode::CombineModeReplace);
        }
    } else {
        if (base.Effects.testFlag(TVxCharDrawEffect::Shadow)) {
            const TVxBrush shadow = TVxBrush::SolidBrush(MakeColor(50, 0, 0, 0));
            for (int k = 1; k <= 5; ++k) {
                const QPointF d = screenShift(0.4 * k, 0.3 * k);
                WalkRuns(base, h,
                         [&](const QString& Run, const TVxFontSpec& RunFont, QPointF At, TVxColor) {
                             Gr.DrawString(Run, RunFont, shadow, QRectF(At + d, QSizeF()), format);
                         });
            }
        }
        WalkRuns(base, h,
                 [&](const QString& Run, const TVxFontSpec& RunFont, QPointF At, TVxColor Color) {
                     Gr.DrawString(Run, RunFont, brushOf(Color), QRectF(At, QSizeF()), format);
                 });
    }
}

int TVxRichCaptionRecVector::Add(const TVxRichCaptionRec& Rec) {
    SetValue(FCount, Rec);
    return FCount;
}

void TVxRichCaptionRecVector::Delete(int Pos) {
    if (Pos < 0 || Pos >= FCount)
        return;
    std::move(FArray.begin() + Pos + 1, FArray.begin() + FCount, FArray.begin() + Pos);
    --FCount;
    FArray[std::size_t(FCount)] = TVxRichCaptionRec();
}

TVxRichCaptionRec TVxRichCaptionRecVector::GetValue(int i) const {
    if (i < 0 || i >= FCount)
        throw EVxRangeError::ForIndex(i);
    return FArray[std::size_t(i)];
}

TVxRichCaptionRec& TVxRichCaptionRecVector::Items(int i) {
    if (i < 0 || i >= FCount)
        throw EVxRangeError::ForIndex(i);
    return FArray[std::size_t(i)];
}

void TVxRichCaptionRecVector::SetValue(int i, const TVxRichCaptionRec& Rec) {
    if (i < 0)
        return;
    if (i >= FCount) {
        Reserve(i + 1);
        FCount = i + 1;
    }
    FArray[std::size_t(i)] = Rec;
}

void TVxRichCaptionRecVector::SetCount(int Value) {
    Value = std::max(Value, 0);
    FArray.resize(std::size_t(Value));
    FCapacity = Value;
    FCount = Value;
}

void TVxRichCaptionRecVector::Reserve(int Needed) {
    if (Needed > FCapacity) {
        // The reported capacity grows by the increment; the storage geometrically.
        const int steps = (Needed - FCapacity + FIncrement - 1) / FIncrement;
        FCapacity += steps * FIncrement;
    }
    if (std::size_t(Needed) > FArray.size()) {
        FArray.reserve(std::max(std::size_t(Needed), FArray.size() * 2));
        FArray.resize(std::size_t(Needed));
    }
}
