// The legend's items and layout: which series are listed, the effective item height, the
// glyph rectangles and caption anchors in rows or columns, the title, the caption colours and
// the legend's own size.

#include "annotations/Legend.h"
#include "drawing/QtSurface.h"
#include "series/Series.h"
#include "util/ComponentPaths.h"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

/// Rounds halves to even, as every float-to-pixel conversion of the chart does.
double Round(double Value) {
    return std::nearbyint(Value);
}

/// A 96-dpi surface for measuring outside a paint.
class TMeasuringSurface {
public:
    TMeasuringSurface() : FImage(1, 1, QImage::Format_ARGB32_Premultiplied) {
        FImage.setDotsPerMeterX(3780);
        FImage.setDotsPerMeterY(3780);
        FPainter.begin(&FImage);
        FSurface.emplace(FPainter);
    }
    TVxSurface& Surface() { return *FSurface; }

private:
    QImage FImage;
    QPainter FPainter;
    std::optional<TVxQtSurface> FSurface;
};

} // namespace

std::vector<TVxSeries*> TVxCustomLegend::ItemSeries() const {
    std::vector<TVxSeries*> series;
    for (const QPointer<TVxSeries>& p : FItems)
        if (p && !p->IsDestroying())
            series.push_back(p.data());
    return series;
}

std::vector<TVxSeries*> TVxCustomLegend::SourceSeries() const {
    std::vector<TVxSeries*> series;
    TVxChartItemHost* graph = ListedHost();
    if (!graph)
        return series;
    TVxChartItemHost* owner = graph->CouplingOwner();
    std::vector<TVxChartItemHost*> hosts{owner};
    for (TVxChartItemHost* child : owner->CoupledChildren())
        hosts.push_back(child);
    for (TVxChartItemHost* host : hosts)
        for (TVxSeries* s : host->HostSeries())
            if (std::find(series.begin(), series.end(), s) == series.end())
                series.push_back(s);
    return series;
}

std::vector<TVxSeries*> TVxCustomLegend::ItemParticipants(TVxSeries* Series) const {
    std::vector<TVxSeries*> participants;
    if (!Series)
        return participants;
    std::vector<TVxSeries*> all = SourceSeries();
    if (std::find(all.begin(), all.end(), Series) == all.end())
        all.insert(all.begin(), Series);
    for (TVxSeries* s : all)
        if ((s == Series || s->MergeLegendItemWith() == Series) && s->Visible())
            participants.push_back(s);
    return participants;
}

void TVxCustomLegend::RebuildItems() {
    FItems.clear();
}

void TVxLegend::AddListed(TVxSeries* Series) {
    if (std::find(FItems.begin(), FItems.end(), Series) == FItems.end())
        FItems.emplace_back(Series);
}

void TVxLegend::RebuildItems() {
    FItems.clear();
    TVxChartItemHost* graph = Graph();
    if (!graph)
        return;
    // 1. The order list first: series of the graph that are to be listed.
    const std::vector<TVxSeries*> related = graph->HostSeries();
    for (const QString& path : FItemsOrderList) {
        auto* series = dynamic_cast<TVxSeries*>(FindComponentByPath(path));
        if (series && series->IncludeInLegend() &&
            std::find(related.begin(), related.end(), series) != related.end())
            AddListed(series);
    }
    // 2. The series of the graph owning the X axis, then those of its coupled children: the
    // visible ones and those a visible series merges its item into.
    const std::vector<TVxSeries*> all = SourceSeries();
    const auto isMergeTarget = [&all](const TVxSeries* Target) {
        return std::any_of(all.begin(), all.end(), [Target](const TVxSeries* s) {
            return s != Target && s->Visible() && s->MergeLegendItemWith() == Target;
        });
    };
    for (TVxSeries* s : all)
        if (s->IncludeInLegend() && (s->Visible() || isMergeTarget(s)))
            AddListed(s);
    // A series merged into a listed item gets no item of its own (a cycle keeps its last).
    for (std::size_t i = 0; i < FItems.size();) {
        TVxSeries* target = FItems[i] ? FItems[i]->MergeLegendItemWith() : nullptr;
        if (target && target != FItems[i].data() &&
            std::find(FItems.begin(), FItems.end(), target) != FItems.end())
            FItems.erase(FItems.begin() + std::ptrdiff_t(i));
        else
            ++i;
    }
}

void TVxCustomLegend::MeasureItemCaptions(TVxSurface& Gr) {
    FLegendCaptions.clear();
    FItemRects.clear();
    const std::vector<TVxSeries*> series = ItemSeries();
    const int width = int(Round(FItemWidth));
    for (std::size_t i = 0; i < series.size(); ++i) {
        TVxLegendItemCaptionEventArgs e;
        e.Caption = series[i]->Caption();
        e.Index = int(i);
        if (OnGetLegendItemCaption)
            OnGetLegendItemCaption(series[i], e);
        TVxRichCaptionRec rec;
        rec.Caption = e.Caption;
        rec.Font = FFont;
        rec.Align = TVxContentAlignment::MiddleLeft;
        rec.ParseForSize(Gr, this);
        FLegendCaptions.push_back(std::move(rec));
        FItemRects.emplace_back(0, 0, width, 0);
    }
}

void TVxCustomLegend::MeasureTitle(TVxSurface& Gr) {
    FCaptionRec = TVxRichCaptionRec();
    FCaptionRec.Caption = FCaption;
    FCaptionRec.Font = FCaptionFont;
    switch (FCaptionAlignment) {
    case TVxCaptionAlignment::Left:
        FCaptionRec.Align = TVxContentAlignment::TopLeft;
        break;
    case TVxCaptionAlignment::Right:
        FCaptionRec.Align = TVxContentAlignment::TopRight;
        break;
    case TVxCaptionAlignment::Center:
        FCaptionRec.Align = TVxContentAlignment::TopCenter;
        break;
    }
    FCaptionRec.ParseForSize(Gr, this);
    FCaptionMeasured = true;
}

void TVxCustomLegend::CalculateItemHeight() {
    TMeasuringSurface measuring;
    double h = FItemHeightSet;
    TVxRichCaptionRec m;
    m.Caption = QStringLiteral("M");
    m.Font = FFont;
    m.ParseForSize(measuring.Surface());
    h = std::max(h, Round(m.FHeight));
    std::vector<TVxSeries*> series = ItemSeries();
    if (series.empty())
        for (TVxSeries* s : SourceSeries())
            if (s->IncludeInLegend())
                series.push_back(s);
    for (const TVxSeries* s : series)
        h = std::max(h, double(s->GetItemHeight()));
    FItemHeight = float(h);
}

bool TVxCustomLegend::ShadowDrawn() const {
    return FDropShadow && (GetAlpha(FBackColor) >= 200 || FBackgroundGradient->Visible());
}

void TVxCustomLegend::LayoutItems() {
    TMeasuringSurface measuring;
    if (FLegendCaptions.size() != FItems.size())
        MeasureItemCaptions(measuring.Surface());
    const bool title = FCaptionVisible && !FCaption.isEmpty();
    if (title && !FCaptionMeasured)
        MeasureTitle(measuring.Surface());

    const double b = FDistanceToBorder;
    const double h = FItemHeight;
    const double t = Round(double(FItemWidth) + FDistanceItemCaption);
    const double dbc = FDistanceBetweenColumns;
    const double dbl = FDistanceBetweenLines;
    const std::size_t count = FLegendCaptions.size();
    std::vector<double> u(count);
    for (std::size_t i = 0; i < count; ++i)
        u[i] = std::max(Round(FLegendCaptions[i].FHeight), Round(h));
    const int itemWidth = int(Round(FItemWidth));
    const auto place = [&](std::size_t i, double x, double y) {
        FItemRects[i] =
            QRect(int(Round(x)), int(Round((u[i] - h) / 2 + y)), itemWidth, int(Round(h)));
        FLegendCaptions[i].X = float(x + t);
        FLegendCaptions[i].Y = float(y + u[i] / 2);
    };

    // 1. Border and title.
    double H = Round(b);
    double W = Round(2 * b);
    if (title)
        H += Round(FCaptionRec.FHeight + double(FCaptionDistanceBefore) + FCaptionDistanceAfter);
    const double y0 = H;

    if (FItemsOrder == TVxItemsOrder::ByRow) {
        // 2. Rows: ceil(count / Rows) items on a row, so never more rows than Rows.
        const std::size_t perRow = count == 0 ? 1 : (count + std::size_t(FRows) - 1) / FRows;
        double x = 0, y = y0, rowTallest = 0;
        std::vector<std::pair<std::size_t, double>> rows; // first item, width
        std::size_t rowStart = 0, inRow = 0;
        for (std::size_t i = 0; i < count; ++i) {
            place(i, x, y);
            x += FLegendCaptions[i].FWidth + t + dbc;
            W = std::max(W, Round(x - dbc + 2 * b));
            rowTallest = std::max(rowTallest, u[i]);
            if (++inRow == perRow && i + 1 < count) {
                rows.emplace_back(rowStart, x - dbc);
                x = 0;
                y += rowTallest + dbl;
                H += rowTallest + dbl;
                rowTallest = 0;
                rowStart = i + 1;
                inRow = 0;
            }
        }
        if (count > 0)
            rows.emplace_back(rowStart, x - dbc);
        H += rowTallest;
        const int available = FAutoSize ? int(Round(W)) : Width();
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const std::size_t end = r + 1 < rows.size() ? rows[r + 1].first : count;
            const int shift = (available - int(Round(rows[r].second))) / 2;
            for (std::size_t i = rows[r].first; i < end; ++i) {
                FItemRects[i].translate(shift, 0);
                FLegendCaptions[i].X += float(shift);
            }
        }
    } else {
        // 3. Columns of about equal summed height.
        double limit = 0;
        for (double v : u)
            limit += v;
        limit /= FColumns;
        double x = Round(b), y = y0, widest = 0, summed = 0;
        for (std::size_t i = 0; i < count; ++i) {
            place(i, x, y);
            H = std::max(H, y + u[i]);
            y = Round(y + u[i] + dbl);
            widest = std::max(widest, double(FLegendCaptions[i].FWidth));
            summed += u[i];
            if (summed >= limit && i + 1 < count) {
                const double step = widest + dbc + t;
                x = Round(x + step);
                W += step;
                y = y0;
                widest = 0;
                summed = 0;
            }
        }
        W += widest + t;
    }
    // 4. The bottom border.
    H = Round(H + b);
    // 5. A title wider than the items.
    if (title && 2 * b + FCaptionRec.FWidth > W) {
        const double wide = Round(2 * b + FCaptionRec.FWidth);
        double shift = 0;
        if (FCaptionAlignment == TVxCaptionAlignment::Right)
            shift = wide - W;
        else if (FCaptionAlignment == TVxCaptionAlignment::Center)
            shift = (wide - W) / 2;
        for (std::size_t i = 0; i < count; ++i) {
            FItemRects[i].translate(int(Round(shift)), 0);
            FLegendCaptions[i].X += float(shift);
        }
        W = wide;
    }
    FContentWidth = W;
    FContentHeight = H;
    // 6. The legend's own size.
    if (FAutoSize) {
        const bool shadow = ShadowDrawn();
        const int width = int(Round(W)) + (shadow ? 5 : 0);
        const int height = int(Round(H)) + (shadow ? 4 : 0);
        const bool was = FSetting;
        FSetting = true;
        SetBounds(Left(), Top(), width, height);
        FSetting = was;
    }
    // 7. The title's anchor.
    FCaptionRec.Y = float(b + FCaptionDistanceBefore);
    switch (FCaptionAlignment) {
    case TVxCaptionAlignment::Left:
        FCaptionRec.X = float(b);
        break;
    case TVxCaptionAlignment::Right:
        FCaptionRec.X = float(W - b);
        break;
    case TVxCaptionAlignment::Center:
        FCaptionRec.X = float(W / 2);
        break;
    }
}

void TVxCustomLegend::ApplyCaptionColors() {
    const std::vector<TVxSeries*> series = ItemSeries();
    for (std::size_t i = 0; i < FLegendCaptions.size() && i < series.size(); ++i) {
        TVxColor color = 0;
        if (FLegendCaptionColorFrom == TVxLegendCaptionColorFrom::SeriesLineColor)
            color = series[i]->Line()->Color();
        else if (FLegendCaptionColorFrom == TVxLegendCaptionColorFrom::SeriesAreaForeColor)
            color = series[i]->Area()->ForeColor();
        FLegendCaptions[i].FColorOverride = color;
    }
}

void TVxCustomLegend::PreparePaint() {
    if (IsDestroying() || !FRecalculate)
        return;
    if (TVxChartItemHost* graph = ListedHost(); graph && graph->HostUpdating())
        return;
    // The flag is cleared only when all went well: a handler that raises leaves the layout to
    // be done again.
    RebuildItems();
    TMeasuringSurface measuring;
    MeasureItemCaptions(measuring.Surface());
    CalculateItemHeight();
    LayoutItems();
    ApplyCaptionColors();
    FRecalculate = false;
}

void TVxLegend::PreparePaint() {
    // A legend placed on a graph without a graph to list takes that graph.
    if (!Graph() && Host()) {
        FGraph = Host();
        FGraphWidget = FGraph->HostWidget();
    }
    TVxCustomLegend::PreparePaint();
}
