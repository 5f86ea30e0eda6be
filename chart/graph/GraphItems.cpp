// The graph as host of its windowless items (legends, labels, markers): registration,
// painting in layer order, the mouse offered in the reverse order before the graph's own
// handlers, and the room docked legends take in the layout.

#include "annotations/Legend.h"
#include "drawing/Surface.h"
#include "graph/Graph.h"
#include "util/EventGuard.h"

#include <QMouseEvent>
#include <algorithm>
#include <cmath>

namespace {

TVxItemMouseEvent ItemEvent(const QMouseEvent& Event) {
    TVxItemMouseEvent e;
    e.Position = Event.position();
    e.Button = Event.button();
    e.Buttons = Event.buttons();
    e.Modifiers = Event.modifiers();
    return e;
}

} // namespace

void TVxGraph2D::AddItem(TVxChartItem* Item) {
    if (!Item || FDestroying)
        return;
    if (std::find(FItems.begin(), FItems.end(), Item) == FItems.end()) {
        if (TVxChartItemHost* old = Item->Host(); old && old != this)
            old->RemoveItem(Item);
        FItems.emplace_back(Item);
        Item->AttachHost(this);
    }
    Modified();
}

void TVxGraph2D::RemoveItem(TVxChartItem* Item) {
    const auto it = std::find(FItems.begin(), FItems.end(), Item);
    if (it == FItems.end())
        return;
    FItems.erase(it);
    if (FMouseItem == Item)
        FMouseItem = nullptr;
    if (FHoverItem == Item)
        FHoverItem = nullptr;
    if (Item->Host() == this)
        Item->AttachHost(nullptr);
    if (!FDestroying)
        Modified();
}

std::vector<TVxChartItem*> TVxGraph2D::Items() const {
    std::vector<TVxChartItem*> items;
    for (const QPointer<TVxChartItem>& p : FItems)
        if (p && !p->IsDestroying())
            items.push_back(p.data());
    std::stable_sort(items.begin(), items.end(), [](const TVxChartItem* a, const TVxChartItem* b) {
        return a->Layer() < b->Layer();
    });
    return items;
}

void TVxGraph2D::ItemRepaint(TVxChartItem& Item) {
    (void)Item;
    if (!FDestroying)
        Repaint();
}

void TVxGraph2D::ItemLayoutModified(TVxChartItem& Item) {
    (void)Item;
    if (!FDestroying)
        Modified();
}

TVxChartItemHost* TVxGraph2D::CouplingOwner() {
    if (NeedsRecalculation())
        CheckCoupled();
    if (!IsCoupledGraph() || !PrimaryXAxis())
        return this;
    auto* owner = dynamic_cast<TVxGraph2D*>(PrimaryXAxis()->Host());
    if (!owner || owner == this)
        return this;
    if (owner->NeedsRecalculation())
        owner->CheckCoupled();
    return owner;
}

std::vector<TVxChartItemHost*> TVxGraph2D::CoupledChildren() {
    std::vector<TVxChartItemHost*> hosts;
    for (TVxGraph2D* child : ChildGraphs())
        hosts.push_back(child);
    return hosts;
}

void TVxGraph2D::PaintItems(TVxSurface& Gr) {
    const TVxMatrix saved = Gr.GetTransform();
    const std::vector<TVxChartItem*> items = Items();
    const std::vector<QPointer<TVxChartItem>> guarded(items.begin(), items.end());
    for (const QPointer<TVxChartItem>& item : guarded) {
        if (!item || !item->Visible())
            continue;
        Gr.SetTransform(QTransform::fromTranslate(item->Left(), item->Top()) * saved);
        try {
            item->PaintGr(Gr);
        } catch (...) {
            Gr.SetTransform(saved);
            Gr.ResetClip();
            throw;
        }
    }
    Gr.SetTransform(saved);
}

bool TVxGraph2D::eventFilter(QObject* Watched, QEvent* Event) {
    if (Watched != this)
        return TVxCustomGraph::eventFilter(Watched, Event);
    bool taken = false;
    GuardEvent([&] { taken = OfferMouse(Event); });
    return taken;
}

bool TVxGraph2D::OfferMouse(QEvent* Event) {
    switch (Event->type()) {
    case QEvent::MouseButtonPress: {
        const TVxItemMouseEvent e = ItemEvent(*static_cast<QMouseEvent*>(Event));
        if (FMouseItem)
            return true;
        std::vector<TVxChartItem*> items = Items();
        for (auto it = items.rbegin(); it != items.rend(); ++it) {
            TVxChartItem* item = *it;
            if (!item->Visible() || !item->HitTest(e.Position))
                continue;
            QPointer<TVxChartItem> guard(item);
            if (item->MousePress(e)) {
                FMouseItem = guard;
                return true;
            }
        }
        return false;
    }
    case QEvent::MouseMove: {
        const TVxItemMouseEvent e = ItemEvent(*static_cast<QMouseEvent*>(Event));
        if (!FMouseItem) {
            UpdateHoverItem(&e.Position);
            return false;
        }
        FMouseItem->MouseMove(e);
        return true;
    }
    case QEvent::MouseButtonRelease: {
        if (!FMouseItem)
            return false;
        const QPointer<TVxChartItem> item = FMouseItem;
        FMouseItem = nullptr;
        const TVxItemMouseEvent e = ItemEvent(*static_cast<QMouseEvent*>(Event));
        item->MouseRelease(e);
        UpdateHoverItem(&e.Position);
        return true;
    }
    case QEvent::Leave:
        if (!FMouseItem)
            UpdateHoverItem(nullptr);
        return false;
    case QEvent::MouseButtonDblClick: {
        const TVxItemMouseEvent e = ItemEvent(*static_cast<QMouseEvent*>(Event));
        std::vector<TVxChartItem*> items = Items();
        for (auto it = items.rbegin(); it != items.rend(); ++it)
            if ((*it)->Visible() && (*it)->HitTest(e.Position) && (*it)->DoubleClick(e))
                return true;
        return false;
    }
    default:
        return false;
    }
}

void TVxGraph2D::UpdateHoverItem(const QPointF* Position) {
    TVxChartItem* over = nullptr;
    if (Position) {
        std::vector<TVxChartItem*> items = Items();
        for (auto it = items.rbegin(); it != items.rend() && !over; ++it)
            if ((*it)->Visible() && (*it)->HitTest(*Position))
                over = *it;
    }
    if (over != FHoverItem) {
        const QPointer<TVxChartItem> old = FHoverItem;
        FHoverItem = over;
        if (old)
            old->MouseLeave();
        if (FHoverItem)
            FHoverItem->MouseEnter();
    }
    Qt::CursorShape shape = Qt::ArrowCursor;
    if (FHoverItem && FHoverItem->ItemCursor(shape)) {
        if (!FItemCursorShown) {
            FItemOldCursor = cursor();
            FItemCursorShown = true;
        }
        setCursor(shape);
    } else if (FItemCursorShown) {
        FItemCursorShown = false;
        setCursor(FItemOldCursor);
    }
}

std::vector<TVxLegend*> TVxGraph2D::DockedLegends() const {
    std::vector<TVxLegend*> legends;
    for (TVxChartItem* item : Items())
        if (auto* legend = dynamic_cast<TVxLegend*>(item);
            legend && legend->Visible() && legend->Position() != TVxLegendPosition::FreeFloating)
            legends.push_back(legend);
    return legends;
}

void TVxGraph2D::LayoutLegends(double& Left, double& Top, double& Right, double& Bottom) {
    const int clientWidth = width();
    const int clientHeight = height();
    double grow[4] = {0, 0, 0, 0}; // left, top, right, bottom
    for (TVxLegend* legend : DockedLegends()) {
        legend->PreparePaint();
        const int w = legend->Width();
        const int h = legend->Height();
        switch (legend->Position()) {
        case TVxLegendPosition::BottomCenterOfGraph:
        case TVxLegendPosition::BottomCenterOfAxis:
            legend->SetTop(int(clientHeight - h - Bottom));
            grow[3] = std::max(grow[3], double(h));
            break;
        case TVxLegendPosition::LeftCenterOfGraph:
        case TVxLegendPosition::LeftCenterOfAxis:
        case TVxLegendPosition::LeftTopOfAxis:
            legend->SetLeft(int(Left));
            grow[0] = std::max(grow[0], double(w));
            break;
        case TVxLegendPosition::TopCenterOfGraph:
        case TVxLegendPosition::TopCenterOfAxis:
            legend->SetTop(int(Top));
            grow[1] = std::max(grow[1], double(h));
            break;
        case TVxLegendPosition::RightCenterOfGraph:
        case TVxLegendPosition::RightCenterOfAxis:
        case TVxLegendPosition::RightTopOfAxis:
            legend->SetLeft(int(clientWidth - w - Right));
            grow[2] = std::max(grow[2], double(w));
            break;
        case TVxLegendPosition::FreeFloating:
            break;
        }
    }
    Left += grow[0];
    Top += grow[1];
    Right += grow[2];
    Bottom += grow[3];
}

void TVxGraph2D::AlignLegends() {
    const QRectF da = FDrawingArea;
    const double clientWidth = width();
    const double clientHeight = height();
    const auto at = [](double Value) { return int(std::nearbyint(Value)); };
    for (TVxLegend* legend : DockedLegends()) {
        const double w = legend->Width();
        const double h = legend->Height();
        switch (legend->Position()) {
        case TVxLegendPosition::BottomCenterOfAxis:
        case TVxLegendPosition::TopCenterOfAxis:
            legend->SetLeft(at(da.x() + (da.width() - w) / 2));
            break;
        case TVxLegendPosition::BottomCenterOfGraph:
        case TVxLegendPosition::TopCenterOfGraph:
            legend->SetLeft(at((clientWidth - w) / 2));
            break;
        case TVxLegendPosition::LeftCenterOfGraph:
        case TVxLegendPosition::RightCenterOfGraph:
            legend->SetTop(at((clientHeight - h) / 2));
            break;
        case TVxLegendPosition::LeftCenterOfAxis:
        case TVxLegendPosition::RightCenterOfAxis:
            legend->SetTop(at(da.y() + (da.height() - h) / 2));
            break;
        case TVxLegendPosition::LeftTopOfAxis:
        case TVxLegendPosition::RightTopOfAxis:
            legend->SetTop(at(da.y()));
            break;
        case TVxLegendPosition::FreeFloating:
            break;
        }
    }
}

namespace {

void RefreshLegendsOf(const TVxGraph2D& Graph) {
    for (TVxChartItem* item : Graph.Items())
        if (auto* legend = dynamic_cast<TVxCustomLegend*>(item))
            legend->Modified();
}

} // namespace

void TVxGraph2D::LegendsModified() {
    if (FDestroying)
        return;
    // A coupled graph's legends may list the series of the graph owning its X axis, and that
    // graph's legends those of its children: refresh from the owner down.
    TVxGraph2D* owner = this;
    if (IsCoupledGraph() && PrimaryXAxis())
        if (auto* other = dynamic_cast<TVxGraph2D*>(PrimaryXAxis()->Host()); other && other != this)
            owner = other;
    RefreshLegendsOf(*owner);
    for (TVxGraph2D* child : owner->ChildGraphs())
        RefreshLegendsOf(*child);
    if (owner != this)
        RefreshLegendsOf(*this);
}
