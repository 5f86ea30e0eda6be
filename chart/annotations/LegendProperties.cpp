// The legend's construction, its setters with their undo steps, and its graph link.

#include "annotations/Legend.h"
#include "series/Series.h"
#include "undo/UndoStack.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float MaxLength = 1e6f;
/// System colour indices of the window frame and of button (control) text.
constexpr int WindowFrameIndex = 6;
constexpr int ControlTextIndex = 18;

} // namespace

// --- TVxCustomLegend ---------------------------------------------------------------------

TVxCustomLegend::TVxCustomLegend(QObject* AOwner) : TVxChartItem(AOwner) {
    FFont = new TVxFont([this] { Repaint(); }, this);
    FFont->mNeedsResize = [this] { FontChanged(); };
    FFont->SetName(QStringLiteral("Arial"));
    FFont->SetSize(9);
    FCaptionFont = new TVxFont([this] { Repaint(); }, this);
    FCaptionFont->mNeedsResize = [this] { ParseCaption(); };
    FCaptionFont->SetName(QStringLiteral("Arial"));
    FCaptionFont->SetSize(11);
    FCaptionFont->SetStyle(TVxFontStyle::Bold);
    FCaptionFont->SetFillColor(SystemColor(ControlTextIndex));
    FBackgroundGradient = new TVxGradientSettings([this] { Repaint(); }, this);
    FFrame = new TVxLineSettings([this] { Modified(); }, this);
    FFrame->SetColor(SystemColor(WindowFrameIndex));
}

TVxCustomLegend::~TVxCustomLegend() {
    BeginDestruction();
}

bool TVxCustomLegend::Recording() const {
    return FUndoStack && !FUndoStack->Restoring();
}

void TVxCustomLegend::Record(const char* Comment, const char* Name) {
    if (Recording())
        FUndoStack->PushProperty(this, QString::fromUtf8(Comment), Name);
}

bool TVxCustomLegend::CheckedFloat(float& Value, float Current) const {
    if (!std::isfinite(Value))
        return false;
    Value = std::clamp(Value, -MaxLength, MaxLength);
    return Value < Current || Value > Current;
}

void TVxCustomLegend::SetFloat(float& Field, float Value, const char* Comment, const char* Name) {
    if (!CheckedFloat(Value, Field))
        return;
    Record(Comment, Name);
    Field = Value;
    Modified();
}

void TVxCustomLegend::SetUndoStack(TVxUndoStack* Stack) {
    FUndoStack = Stack;
    FFrame->SetUndoStack(Stack);
    FBackgroundGradient->SetUndoStack(Stack);
}

void TVxCustomLegend::SetFont(TVxFont* Value) {
    if (!Value || Value == FFont)
        return;
    if (Recording())
        FFont->PushToUndoStack(FUndoStack, QStringLiteral("Legend items text font"));
    FFont->Assign(*Value);
    Modified();
}

TVxColor TVxCustomLegend::ForeColor() const {
    return FFont->FillColor();
}

void TVxCustomLegend::SetForeColor(TVxColor Value) {
    if (Value == FFont->FillColor())
        return;
    Record("Legend color of items text", "ForeColor");
    FFont->SetFillColor(Value);
    Repaint();
}

void TVxCustomLegend::SetBackColor(TVxColor Value) {
    if (Value == FBackColor)
        return;
    Record("Legend background color", "BackColor");
    FBackColor = Value;
    // The shadow depends on how opaque the background is, and with it the size.
    if (FDropShadow)
        Modified();
    else
        Repaint();
}

void TVxCustomLegend::SetBackgroundGradient(TVxGradientSettings* Value) {
    if (Value && Value != FBackgroundGradient) {
        FBackgroundGradient->Assign(Value);
        Modified();
    }
}

void TVxCustomLegend::SetFrame(TVxLineSettings* Value) {
    if (Value && Value != FFrame)
        FFrame->Assign(Value);
}

void TVxCustomLegend::SetBorder(bool& Field, bool Value, const char* Comment, const char* Name) {
    if (Value == Field)
        return;
    // Turning a bevel on hides the frame: both changes are one step.
    const bool hideFrame = Value && FFrame->Visible();
    if (Recording()) {
        FUndoStack->StartGroup(QString::fromUtf8(Comment));
        try {
            FUndoStack->PushProperty(this, QString(), Name);
            if (hideFrame)
                FUndoStack->PushProperty(FFrame, QString(), "Visible");
        } catch (...) {
            FUndoStack->StopGroup();
            throw;
        }
        FUndoStack->StopGroup();
    }
    Field = Value;
    if (hideFrame) {
        // Recorded above already.
        FFrame->SetUndoStack(nullptr);
        FFrame->SetVisible(false);
        FFrame->SetUndoStack(FUndoStack);
    }
    Repaint();
}

void TVxCustomLegend::SetBorderRaised(bool Value) {
    SetBorder(FBorderRaised, Value, "Legend border raised drawing", "BorderRaised");
}

void TVxCustomLegend::SetBorderLowered(bool Value) {
    SetBorder(FBorderLowered, Value, "Legend border lowered drawing", "BorderLowered");
}

void TVxCustomLegend::SetDropShadow(bool Value) {
    if (Value == FDropShadow)
        return;
    Record("Drop shadow below legend", "DropShadow");
    FDropShadow = Value;
    Modified();
}

void TVxCustomLegend::SetCornerRounding(float Value) {
    SetFloat(FCornerRounding, Value, "Legend border corner rounding radius", "CornerRounding");
}

void TVxCustomLegend::SetCaption(const QString& Value) {
    QString text = Value;
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
    if (text == FCaption)
        return;
    Record("Legend caption", "Caption");
    FCaption = text;
    ParseCaption();
}

void TVxCustomLegend::SetCaptionFont(TVxFont* Value) {
    if (!Value || Value == FCaptionFont)
        return;
    if (Recording())
        FCaptionFont->PushToUndoStack(FUndoStack, QStringLiteral("Legend caption font"));
    FCaptionFont->Assign(*Value);
    ParseCaption();
}

TVxColor TVxCustomLegend::CaptionColor() const {
    return FCaptionFont->FillColor();
}

void TVxCustomLegend::SetCaptionColor(TVxColor Value) {
    if (Value == FCaptionFont->FillColor())
        return;
    Record("Legend caption color", "CaptionColor");
    FCaptionFont->SetFillColor(Value);
    Repaint();
}

void TVxCustomLegend::SetCaptionVisible(bool Value) {
    if (Value == FCaptionVisible)
        return;
    Record("Legend caption visible", "CaptionVisible");
    FCaptionVisible = Value;
    ParseCaption();
}

void TVxCustomLegend::SetCaptionAlignment(TVxCaptionAlignment Value) {
    if (Value == FCaptionAlignment)
        return;
    Record("Legend caption alignment", "CaptionAlignment");
    FCaptionAlignment = Value;
    Modified();
}

void TVxCustomLegend::SetCaptionAlignmentOrdinal(int Value) {
    if (Value >= 0 && Value <= int(TVxCaptionAlignment::Center))
        SetCaptionAlignment(TVxCaptionAlignment(Value));
}

void TVxCustomLegend::SetCaptionDistanceBefore(float Value) {
    SetFloat(FCaptionDistanceBefore, Value, "Legend distance above caption",
             "CaptionDistanceBefore");
}

void TVxCustomLegend::SetCaptionDistanceAfter(float Value) {
    SetFloat(FCaptionDistanceAfter, Value, "Legend distance below caption", "CaptionDistanceAfter");
}

QString TVxCustomLegend::CaptionAsString() const {
    return FCaption.isEmpty() ? Name() : FCaption;
}

void TVxCustomLegend::SetItemHeight(float Value) {
    SetFloat(FItemHeightSet, Value, "Legend items height", "ItemHeight");
}

void TVxCustomLegend::SetItemWidth(float Value) {
    SetFloat(FItemWidth, Value, "Legend item width", "ItemWidth");
}

void TVxCustomLegend::SetDistanceItemCaption(float Value) {
    SetFloat(FDistanceItemCaption, Value, "Distance between legend items and caption",
             "DistanceItemCaption");
}

void TVxCustomLegend::SetDistanceBetweenLines(float Value) {
    SetFloat(FDistanceBetweenLines, Value, "Distance between legend item lines",
             "DistanceBetweenLines");
}

void TVxCustomLegend::SetDistanceBetweenColumns(float Value) {
    SetFloat(FDistanceBetweenColumns, Value, "Distance between legend item columns",
             "DistanceBetweenColumns");
}

void TVxCustomLegend::SetDistanceToBorder(float Value) {
    SetFloat(FDistanceToBorder, Value, "Distance of legend items to border", "DistanceToBorder");
}

void TVxCustomLegend::SetColumns(int Value) {
    Value = std::max(Value, 1);
    if (Value == FColumns)
        return;
    Record("Legend number of columns", "Columns");
    FColumns = Value;
    Modified();
}

void TVxCustomLegend::SetRows(int Value) {
    Value = std::max(Value, 1);
    if (Value == FRows)
        return;
    Record("Legend number of rows", "Rows");
    FRows = Value;
    Modified();
}

void TVxCustomLegend::SetItemsOrder(TVxItemsOrder Value) {
    if (Value == FItemsOrder)
        return;
    Record("Legend items order by row/column", "ItemsOrder");
    FItemsOrder = Value;
    Modified();
}

void TVxCustomLegend::SetItemsOrderOrdinal(int Value) {
    if (Value >= 0 && Value <= int(TVxItemsOrder::ByRow))
        SetItemsOrder(TVxItemsOrder(Value));
}

void TVxCustomLegend::SetAutoSize(bool Value) {
    if (Value == FAutoSize)
        return;
    FAutoSize = Value;
    Modified();
}

void TVxCustomLegend::SetLegendCaptionColorFrom(TVxLegendCaptionColorFrom Value) {
    if (Value == FLegendCaptionColorFrom)
        return;
    FLegendCaptionColorFrom = Value;
    Modified();
}

void TVxCustomLegend::SetVisible(bool Value) {
    if (Value == Visible())
        return;
    Record("Legend visible", "Visible");
    TVxChartItem::SetVisible(Value);
    if (Docked())
        if (TVxChartItemHost* host = Host())
            host->ItemLayoutModified(*this);
}

void TVxCustomLegend::FontChanged() {
    // The item captions are measured with the font: list and measure them anew.
    FRecalculate = true;
    Modified();
}

void TVxCustomLegend::Modified() {
    if (IsDestroying())
        return;
    FRecalculate = true;
    if (TVxChartItemHost* host = Host(); host && Docked() && !host->HostDestroying())
        host->ItemLayoutModified(*this);
    Repaint();
}

void TVxCustomLegend::ParseCaption() {
    FCaptionMeasured = false;
    Modified();
}

void TVxCustomLegend::BoundsChanged(bool Resized) {
    // A size the legend did not give itself changes the layout (centred rows).
    if (Resized && !FSetting)
        Modified();
}

void TVxCustomLegend::HostChanged() {
    Modified();
}

// --- TVxLegend ----------------------------------------------------------------------------

TVxLegend::TVxLegend(QObject* AOwner) : TVxCustomLegend(AOwner) {}

TVxLegend::~TVxLegend() {
    BeginDestruction();
}

TVxChartItemHost* TVxLegend::Graph() const {
    return FGraphWidget ? FGraph : nullptr;
}

void TVxLegend::SetGraph(TVxChartItemHost* Value) {
    if (Value == Graph())
        return;
    Record("Legend graph", "Graph");
    TVxChartItemHost* old = Graph();
    FGraph = Value;
    FGraphWidget = Value ? Value->HostWidget() : nullptr;
    // The legend moves with its graph: it leaves the old one's items and joins the new one's.
    if (!Host() || Host() == old)
        SetHost(Value);
    if (Value && !FUndoStack)
        SetUndoStack(Value->HostUndoStack());
    Modified();
}

void TVxLegend::SetGraphWidget(QWidget* Value) {
    SetGraph(dynamic_cast<TVxChartItemHost*>(Value));
}

void TVxLegend::SetPosition(TVxLegendPosition Value) {
    if (Value == FPosition)
        return;
    const bool group = FPosition == TVxLegendPosition::FreeFloating && Recording();
    if (group) {
        FUndoStack->StartGroup(QStringLiteral("Legend position"));
        try {
            for (const char* name : {"Left", "Top", "ItemsOrder", "Position"})
                FUndoStack->PushProperty(this, QString(), name);
        } catch (...) {
            FUndoStack->StopGroup();
            throw;
        }
        FUndoStack->StopGroup();
    } else {
        Record("Legend position", "Position");
    }
    FPosition = Value;
    // Changed directly: the group above holds the old order already.
    switch (Value) {
    case TVxLegendPosition::BottomCenterOfGraph:
    case TVxLegendPosition::BottomCenterOfAxis:
    case TVxLegendPosition::TopCenterOfGraph:
    case TVxLegendPosition::TopCenterOfAxis:
        FItemsOrder = TVxItemsOrder::ByRow;
        break;
    case TVxLegendPosition::FreeFloating:
        break;
    default:
        FItemsOrder = TVxItemsOrder::ByColumn;
        break;
    }
    FRecalculate = true;
    if (TVxChartItemHost* host = Host())
        host->ItemLayoutModified(*this);
    Repaint();
}

void TVxLegend::SetPositionOrdinal(int Value) {
    if (Value >= 0 && Value <= int(TVxLegendPosition::FreeFloating))
        SetPosition(TVxLegendPosition(Value));
}

void TVxLegend::SetItemsOrderList(const QStringList& Value) {
    if (Value == FItemsOrderList)
        return;
    Record("Legend items order list", "ItemsOrderList");
    FItemsOrderList = Value;
    Modified();
}

bool TVxLegend::Docked() const {
    return FPosition != TVxLegendPosition::FreeFloating;
}
