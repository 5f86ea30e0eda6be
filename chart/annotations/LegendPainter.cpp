// Painting a legend: the panel (background, frame, bevel, shadow, rounded corners), the title
// and each item's glyph, drawn by its series, followed by its caption.

#include "annotations/Legend.h"
#include "drawing/LabelBox.h"
#include "series/Series.h"

#include <algorithm>

void TVxCustomLegend::PaintGr(TVxSurface& Gr) {
    PreparePaint();
    const double f = std::max(1.0, double(FFrame->Width()));
    const bool shadow = ShadowDrawn();
    const QRectF client(0, 0, Width(), Height());
    const QRectF panel(f / 2, f / 2, client.width() - 1 - f - (shadow ? 5 : 0),
                       client.height() - 1 - f - (shadow ? 4 : 0));
    if (TVxChartItemHost* host = Host())
        host->ApplyItemQuality(Gr);
    else
        Gr.SetSmoothingMode(TSmoothingMode::SmoothingModeAntiAlias);

    const TVxBrush brush = FBackgroundGradient->Visible() ? FBackgroundGradient->GetBrush(client)
                                                          : TVxBrush::SolidBrush(FBackColor);
    TVxPen pen = FFrame->GetPen(client);
    pen.Width = float(f);
    TVxLabelBoxStyle style;
    style.Lowered = FBorderLowered;
    style.Raised = FBorderRaised;
    style.DropShadow = shadow;
    style.Frame = FFrame->Visible();
    style.Rounding = FCornerRounding;
    DrawLabelBox(Gr, brush, pen, style, panel);

    if (FCaptionVisible && !FCaption.isEmpty())
        FCaptionRec.PaintGr(Gr);

    const std::vector<TVxSeries*> series = ItemSeries();
    for (std::size_t i = 0; i < series.size() && i < FItemRects.size(); ++i) {
        TVxSeries* s = series[i];
        if (!s->IncludeInLegend())
            continue;
        const TVxRegion clip = Gr.GetClip();
        Gr.SetClip(QRectF(FItemRects[i]), TCombineMode::CombineModeIntersect);
        TVxLegendItemDrawArgs e;
        e.Graphics = &Gr;
        e.Rect = FItemRects[i];
        e.Index = int(i);
        if (OnDrawLegendItem)
            OnDrawLegendItem(s, e);
        else
            s->DrawMergedItems(e, ItemParticipants(s));
        Gr.SetClip(clip);
        if (i < FLegendCaptions.size())
            FLegendCaptions[i].PaintGr(Gr);
    }
}
