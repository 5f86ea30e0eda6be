#include "annotations/RichLabel.h"

#include "captions/MeasuringSurface.h"
#include "drawing/ColorText.h"
#include "drawing/Surface.h"
#include "util/Geometry.h"

#include <QWidget>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

/// |sin| and |cos| of an angle in degrees, exact at multiples of 90 degrees, so that a label at
/// 90 degrees is exactly as wide as its text is high.
struct TAngle {
    double Sin;
    double Cos;
};

TAngle AngleOf(double Degrees) {
    const double r = std::fmod(Degrees, 90.0);
    if (r == 0) {
        const bool upright = std::fmod(Degrees, 180.0) != 0;
        return {upright ? 1.0 : 0.0, upright ? 0.0 : 1.0};
    }
    const double a = Degrees * std::numbers::pi / 180;
    return {std::fabs(std::sin(a)), std::fabs(std::cos(a))};
}

/// Restores a Boolean flag however the scope ends.
class TFlagScope {
public:
    explicit TFlagScope(bool& Flag) : FFlag(Flag), FWas(Flag) { FFlag = true; }
    ~TFlagScope() { FFlag = FWas; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& FFlag;
    bool FWas;
};

} // namespace

TVxRichLabel::TVxRichLabel(QObject* AOwner) : TVxChartItem(AOwner) {
    const TFlagScope setting(FSetting);
    FFont = new TVxFont([this] { FontChanged(false); }, this);
    FFont->mNeedsResize = [this] { FontChanged(true); };
    FFont->SetFillColor(ColorFromText(QStringLiteral("ControlText")));
    FBackColor = ColorFromText(QStringLiteral("Transparent"));
    FCaptionRec.Font = FFont;
    FCaptionRec.Align = TVxContentAlignment::TopLeft;
}

TVxRichLabel::~TVxRichLabel() {
    BeginDestruction();
}

void TVxRichLabel::SetAngle(float Value) {
    if (!std::isfinite(Value))
        return;
    const float angle = float(NormalizeAngle(Value));
    if (!(angle < FCaptionRec.Angle || angle > FCaptionRec.Angle))
        return;
    FCaptionRec.Angle = angle;
    AdjustBounds();
}

void TVxRichLabel::SetBackColor(TVxColor Value) {
    if (Value == FBackColor)
        return;
    FBackColor = Value;
    Repaint();
}

void TVxRichLabel::SetForeColor(TVxColor Value) {
    if (Value == FFont->FillColor())
        return;
    // The label's own colour, not a change of the font: ParentFont stays.
    const TFlagScope setting(FSetting);
    FFont->SetFillColor(Value);
}

void TVxRichLabel::SetCaption(const QString& Value) {
    QString text = Value;
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
    FCaptionSet = true;
    if (text == FCaptionRec.Caption)
        return;
    FCaptionRec.Caption = text;
    AdjustBounds();
}

void TVxRichLabel::SetTextAlign(TVxContentAlignment Value) {
    if (Value == FCaptionRec.Align)
        return;
    FCaptionRec.Align = Value;
    AdjustBounds();
}

void TVxRichLabel::SetTextAlignOrdinal(int Value) {
    if (Value >= 0 && Value <= int(TVxContentAlignment::BottomRight))
        SetTextAlign(TVxContentAlignment(Value));
}

void TVxRichLabel::SetFont(TVxFont* Value) {
    if (!Value || Value == FFont)
        return;
    FFont->Assign(*Value);
    FParentFont = false;
}

void TVxRichLabel::SetAutoSize(bool Value) {
    if (Value == FAutoSize)
        return;
    FAutoSize = Value;
    AdjustBounds();
}

void TVxRichLabel::SetParentFont(bool Value) {
    if (Value == FParentFont)
        return;
    FParentFont = Value;
    if (Value)
        TakeParentFont();
}

void TVxRichLabel::FontChanged(bool Resize) {
    if (!FSetting)
        FParentFont = false;
    if (Resize)
        AdjustBounds();
    else
        Repaint();
}

void TVxRichLabel::TakeParentFont() {
    if (!FParentFont)
        return;
    const TVxChartItemHost* host = Host();
    QWidget* widget = host ? const_cast<TVxChartItemHost*>(host)->HostWidget() : nullptr;
    const auto* parent = widget ? widget->property("Font").value<TVxFont*>() : nullptr;
    if (!parent || parent == FFont)
        return;
    if (parent->FontSpec() == FFont->FontSpec() && parent->DrawEffects() == FFont->DrawEffects() &&
        parent->RenderingHint() == FFont->RenderingHint())
        return;
    // The text colour is the label's own ForeColor.
    const TVxColor color = FFont->FillColor();
    {
        const TFlagScope setting(FSetting);
        FFont->Assign(*parent);
        FFont->SetFillColor(color);
    }
    AdjustBounds();
}

void TVxRichLabel::AdjustBounds() {
    if (IsDestroying())
        return;
    TVxMeasuringSurface surface;
    FCaptionRec.Font = FFont;
    FCaptionRec.ParseForSize(surface, this);
    FOnce = false;
    if (FAutoSize) {
        const TAngle a = AngleOf(FCaptionRec.Angle);
        const double w = FCaptionRec.FWidth, h = FCaptionRec.FHeight;
        const int width = int(std::nearbyint(a.Cos * w + a.Sin * h + 0.5));
        const int height = int(std::nearbyint(a.Sin * w + a.Cos * h + 0.5));
        const TFlagScope setting(FSetting);
        SetBounds(Left(), Top(), width, height);
    }
    PlaceAnchor();
    Repaint();
}

void TVxRichLabel::PlaceAnchor() {
    // The block's corners about the anchor, turned as drawing turns them; the anchor is then
    // chosen so that their bounding box meets the edges (or the centre) the alignment names.
    const QPointF offset = FCaptionRec.BlockOffset();
    const QRectF block(offset, QSizeF(FCaptionRec.FWidth, FCaptionRec.FHeight));
    QTransform turn;
    turn.rotate(-double(FCaptionRec.Angle));
    const QRectF box = turn.map(QPolygonF(block)).boundingRect();
    const int column = int(FCaptionRec.Align) % 3;
    const int row = int(FCaptionRec.Align) / 3;
    const double w = Width(), h = Height();
    FXOffs = float(column == 0   ? -box.left()
                   : column == 1 ? w / 2 - box.center().x()
                                 : w - box.right());
    FYOffs = float(row == 0 ? -box.top() : row == 1 ? h / 2 - box.center().y() : h - box.bottom());
}

void TVxRichLabel::BoundsChanged(bool Resized) {
    if (Resized && !FSetting)
        PlaceAnchor();
}

void TVxRichLabel::HostChanged() {
    TakeParentFont();
}

void TVxRichLabel::UpdateCaptionVariables() {
    AdjustBounds();
}

void TVxRichLabel::PaintGr(TVxSurface& Gr) {
    TakeParentFont();
    if (FOnce)
        AdjustBounds();
    if (GetAlpha(FBackColor) != 0)
        Gr.FillRectangle(TVxBrush::SolidBrush(FBackColor), QRectF(0, 0, Width(), Height()));
    FCaptionRec.X = FXOffs;
    FCaptionRec.Y = FYOffs;
    FCaptionRec.PaintGr(Gr);
}
