#include "annotations/ChartItem.h"

#include <algorithm>

namespace {

constexpr int MaxLength = 1000000;

int ClampLength(int Value) {
    return std::clamp(Value, -MaxLength, MaxLength);
}

int ClampSize(int Value) {
    return std::clamp(Value, 0, std::min(QWIDGETSIZE_MAX, MaxLength));
}

} // namespace

TVxChartItem::TVxChartItem(QObject* AOwner) : TVxComponent(AOwner) {}

TVxChartItem::~TVxChartItem() {
    BeginDestruction();
    if (TVxChartItemHost* host = Host())
        host->RemoveItem(this);
}

void TVxChartItem::SetVisible(bool Value) {
    if (Value == FVisible)
        return;
    FVisible = Value;
    if (TVxChartItemHost* host = Host())
        host->ItemRepaint(*this);
}

void TVxChartItem::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    const QRect bounds(ClampLength(ALeft), ClampLength(ATop), ClampSize(AWidth),
                       ClampSize(AHeight));
    if (bounds == FBounds)
        return;
    const bool resized = bounds.size() != FBounds.size();
    FBounds = bounds;
    BoundsChanged(resized);
    Repaint();
}

void TVxChartItem::SetLayer(int Value) {
    if (Value == FLayer)
        return;
    FLayer = Value;
    Repaint();
}

void TVxChartItem::AttachHost(TVxChartItemHost* AHost) {
    FHost = AHost;
    FHostWidget = AHost ? AHost->HostWidget() : nullptr;
    if (!IsDestroying())
        HostChanged();
}

void TVxChartItem::SetHost(TVxChartItemHost* AHost) {
    TVxChartItemHost* old = Host();
    if (old == AHost)
        return;
    if (old)
        old->RemoveItem(this);
    if (AHost)
        AHost->AddItem(this);
    else
        AttachHost(nullptr);
}

bool TVxChartItem::HitTest(QPointF Position) const {
    const double x = Position.x(), y = Position.y();
    return FBounds.left() <= x && x <= FBounds.left() + FBounds.width() && FBounds.top() <= y &&
           y <= FBounds.top() + FBounds.height();
}

bool TVxChartItem::MousePress(const TVxItemMouseEvent& e) {
    (void)e;
    return false;
}

void TVxChartItem::MouseMove(const TVxItemMouseEvent& e) {
    (void)e;
}

void TVxChartItem::MouseRelease(const TVxItemMouseEvent& e) {
    (void)e;
}

bool TVxChartItem::DoubleClick(const TVxItemMouseEvent& e) {
    (void)e;
    return false;
}

void TVxChartItem::Repaint() {
    if (IsDestroying())
        return;
    if (TVxChartItemHost* host = Host())
        if (!host->HostDestroying())
            host->ItemRepaint(*this);
}
