#include "axes/AxisLook.h"

#include "styles/ArrowSettings.h"
#include "styles/VxFont.h"

#include <cmath>

namespace {

constexpr TVxColor DarkBlue = VxColor(0xFF00008B);
constexpr TVxColor DarkRed = VxColor(0xFF8B0000);
constexpr TVxColor Black = VxColor(0xFF000000);

} // namespace

TVxAxisLook::TVxAxisLook(TVxAxis& Axis)
    : QObject(&Axis), FAxis(Axis), FForeColor(Black), FMajorTickColor(Black), FTickColor(Black) {
    FFont = new TVxFont([this] { Repaint(); }, this);
    FFont->mNeedsResize = [this] {
        FTextRecords.clear();
        Changed();
    };
    FFont->SetName(QStringLiteral("Arial"));
    FFont->SetSize(12);
    FFont->SetStyle(TVxFontStyle::Bold);
    FFont->SetFillColor(DarkBlue);
    FCaptionFont = new TVxFont([this] { Repaint(); }, this);
    FCaptionFont->mNeedsResize = [this] { Changed(); };
    FCaptionFont->SetName(QStringLiteral("Times New Roman"));
    FCaptionFont->SetSize(14);
    FCaptionFont->SetStyle(TVxFontStyle::Bold);
    FCaptionFont->SetFillColor(DarkRed);
    FArrowPoint = new TVxAxisArrowPoint([this] { Changed(); }, this);
    FArrowPoint->SetUndoStack(Axis.UndoStack());
}

TVxAxisLook::~TVxAxisLook() = default;

bool TVxAxisLook::Recording() const {
    const TVxUndoStack* stack = FAxis.UndoStack();
    return stack && !stack->Restoring();
}

void TVxAxisLook::Record(const char* Comment, const char* Name) {
    if (Recording())
        FAxis.UndoStack()->PushProperty(this, QString::fromUtf8(Comment), Name);
}

bool TVxAxisLook::SetFloat(float& Field, float Value, const char* Comment, const char* Name) {
    // Only a value less or greater counts, so a NaN is never stored.
    if (!(Value < Field || Value > Field) || !std::isfinite(Value))
        return false;
    Record(Comment, Name);
    Field = Value;
    return true;
}

void TVxAxisLook::Changed() {
    FAxis.Modified();
}

void TVxAxisLook::Repaint() {
    if (TVxAxisHost* host = FAxis.Host())
        host->AxisRepaint(FAxis);
}

bool TVxAxisLook::IsLowOrLeft() const {
    const TVxAxisPosition p = FAxis.Position();
    return p == TVxAxisPosition::Left || p == TVxAxisPosition::Top;
}

void TVxAxisLook::SetVisible(bool Value) {
    if (Value == FVisible)
        return;
    Record("Axis visible", "Visible");
    FVisible = Value;
    Changed();
}

void TVxAxisLook::SetAutoSize(bool Value) {
    if (Value == FAutoSize)
        return;
    FAutoSize = Value;
    Changed();
}

void TVxAxisLook::SetFont(TVxFont* Value) {
    if (!Value || Value == FFont)
        return;
    if (Recording())
        FFont->PushToUndoStack(FAxis.UndoStack(), QStringLiteral("Font of axis scaling numbers"));
    FFont->Assign(*Value);
    Changed();
}

TVxColor TVxAxisLook::NumbersColor() const {
    return FFont->FillColor();
}

void TVxAxisLook::SetNumbersColor(TVxColor Value) {
    if (Value == FFont->FillColor())
        return;
    Record("Axis color of scaling numbers", "NumbersColor");
    FFont->SetFillColor(Value);
}

void TVxAxisLook::SetNumbersVisible(bool Value) {
    if (Value == FNumbersVisible)
        return;
    Record("Visibility of axis scaling numbers", "NumbersVisible");
    FNumbersVisible = Value;
    Changed();
}

void TVxAxisLook::SetCaption(const QString& Value) {
    QString text = Value;
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
    if (text == FCaption)
        return;
    Record("Axis caption", "Caption");
    FCaption = text;
    Changed();
}

void TVxAxisLook::SetCaptionFont(TVxFont* Value) {
    if (!Value || Value == FCaptionFont)
        return;
    if (Recording())
        FCaptionFont->PushToUndoStack(FAxis.UndoStack(), QStringLiteral("Font of axis caption"));
    FCaptionFont->Assign(*Value);
    Changed();
}

TVxColor TVxAxisLook::CaptionColor() const {
    return FCaptionFont->FillColor();
}

void TVxAxisLook::SetCaptionColor(TVxColor Value) {
    if (Value == FCaptionFont->FillColor())
        return;
    Record("Color of axis caption", "CaptionColor");
    FCaptionFont->SetFillColor(Value);
}

void TVxAxisLook::SetCaptionVisible(bool Value) {
    if (Value == FCaptionVisible)
        return;
    Record("Visibility of axis caption", "CaptionVisible");
    FCaptionVisible = Value;
    Changed();
}

void TVxAxisLook::SetCaptionAlignment(TVxCaptionAlignment Value) {
    if (Value == FCaptionAlignment)
        return;
    Record("Alignment of axis caption", "CaptionAlignment");
    FCaptionAlignment = Value;
    Changed();
}

void TVxAxisLook::SetCaptionAlignmentOrdinal(int Value) {
    if (Value >= 0 && Value <= int(TVxCaptionAlignment::Center))
        SetCaptionAlignment(TVxCaptionAlignment(Value));
}

void TVxAxisLook::SetCaptionHorizontalOnVerticalAxis(bool Value) {
    if (Value == FCaptionHorizontal)
        return;
    Record("Horizontal caption if axis is vertical", "CaptionHorizontalOnVerticalAxis");
    FCaptionHorizontal = Value;
    Changed();
}

void TVxAxisLook::SetCaptionDistanceBefore(float Value) {
    if (SetFloat(FCaptionDistanceBefore, Value, "Distance above axis caption",
                 "CaptionDistanceBefore"))
        Changed();
}

void TVxAxisLook::SetCaptionDistanceAfter(float Value) {
    if (SetFloat(FCaptionDistanceAfter, Value, "Distance below axis caption",
                 "CaptionDistanceAfter"))
        Changed();
}

float TVxAxisLook::DistanceNumbersCaption() const {
    return IsLowOrLeft() ? FCaptionDistanceAfter : FCaptionDistanceBefore;
}

void TVxAxisLook::SetDistanceNumbersCaption(float Value) {
    float& field = IsLowOrLeft() ? FCaptionDistanceAfter : FCaptionDistanceBefore;
    if (SetFloat(field, Value, "Distance between axis scaling numbers and caption",
                 "DistanceNumbersCaption"))
        Changed();
}

float TVxAxisLook::DistanceToBorder() const {
    return IsLowOrLeft() ? FCaptionDistanceBefore : FCaptionDistanceAfter;
}

void TVxAxisLook::SetDistanceToBorder(float Value) {
    float& field = IsLowOrLeft() ? FCaptionDistanceBefore : FCaptionDistanceAfter;
    if (SetFloat(field, Value, "Distance between axis caption and border", "DistanceToBorder"))
        Changed();
}

void TVxAxisLook::SetDistanceValuesAxis(float Value) {
    if (SetFloat(FDistanceValuesAxis, Value, "Distance between graph data area and axis",
                 "DistanceValuesAxis"))
        Changed();
}

void TVxAxisLook::SetDistanceAxisLabels(float Value) {
    if (SetFloat(FDistanceAxisLabels, Value, "Distance between axis and scaling labels",
                 "DistanceAxisLabels"))
        Changed();
}

void TVxAxisLook::SetDistanceAxisExtraExponent(float Value) {
    if (SetFloat(FDistanceAxisExtraExponent, Value, "Distance between axis and extra exponent",
                 "DistanceAxisExtraExponent"))
        Changed();
}

void TVxAxisLook::SetForeColor(TVxColor Value) {
    if (Value == FForeColor)
        return;
    Record("Axis foreground color", "ForeColor");
    FForeColor = Value;
    if (FMajorForeColor)
        FMajorTickColor = Value;
    if (FMinorForeColor)
        FTickColor = Value;
    Repaint();
}

void TVxAxisLook::SetMajorTickColor(TVxColor Value) {
    if (Value == FMajorTickColor)
        return;
    Record("Axis color of major tickmarks", "MajorTickColor");
    FMajorTickColor = Value;
    FMajorForeColor = Value == FForeColor;
    Repaint();
}

void TVxAxisLook::SetTickColor(TVxColor Value) {
    if (Value == FTickColor)
        return;
    Record("Axis color of minor tickmarks", "TickColor");
    FTickColor = Value;
    FMinorForeColor = Value == FForeColor;
    Repaint();
}

void TVxAxisLook::SetAxisThicknes(float Value) {
    if (SetFloat(FAxisThicknes, std::fabs(Value), "Width of axis line", "AxisThicknes"))
        Changed();
}

void TVxAxisLook::SetMajorTickThicknes(float Value) {
    if (SetFloat(FMajorTickThicknes, std::fabs(Value), "Width of major tick lines",
                 "MajorTickThicknes"))
        Changed();
}

void TVxAxisLook::SetTickThicknes(float Value) {
    if (SetFloat(FTickThicknes, std::fabs(Value), "Width of minor tick lines", "TickThicknes"))
        Changed();
}

void TVxAxisLook::SetMajorTickLength(float Value) {
    if (!SetFloat(FMajorTickLength, std::fabs(Value), "Axis major ticks length", "MajorTickLength"))
        return;
    if (FMajorTickLength >= FTickLength)
        Changed();
    else
        Repaint();
}

void TVxAxisLook::SetTickLength(float Value) {
    if (!SetFloat(FTickLength, std::fabs(Value), "Axis minor ticks length", "TickLength"))
        return;
    if (FTickLength > FMajorTickLength)
        Changed();
    else
        Repaint();
}

void TVxAxisLook::SetTicksPointToData(bool Value) {
    if (Value == FTicksPointToData)
        return;
    Record("Axis ticks point to graph data area", "TicksPointToData");
    FTicksPointToData = Value;
    Changed();
}

void TVxAxisLook::SetArrowPoint(TVxAxisArrowPoint* Value) {
    if (Value && Value != FArrowPoint)
        FArrowPoint->Assign(Value);
}

void TVxAxisLook::SetRubricsAngle(float Value) {
    if (!std::isfinite(Value))
        return;
    float angle = std::fmod(Value, 360.0f);
    if (angle < 0)
        angle += 360;
    if (!SetFloat(FRubricsAngle, angle, "Axis angle of rubrics captions", "RubricsAngle"))
        return;
    FAxis.SetLabelAngle(angle);
}

void TVxAxisLook::SetUndoStack(TVxUndoStack* Stack) {
    FArrowPoint->SetUndoStack(Stack);
}

TVxAxisLook& AxisLook(TVxAxis& Axis) {
    if (auto* look = Axis.findChild<TVxAxisLook*>(QString(), Qt::FindDirectChildrenOnly))
        return *look;
    return *new TVxAxisLook(Axis);
}

const TVxAxisLook* FindAxisLook(const TVxAxis& Axis) {
    return Axis.findChild<TVxAxisLook*>(QString(), Qt::FindDirectChildrenOnly);
}
