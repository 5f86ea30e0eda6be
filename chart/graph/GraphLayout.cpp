// The layout of a whole chart: every axis is sized and stacked along its border, the end
// labels narrow the data area, the primary axes may cross at zero, the scrollbars sit
// along the data area and coupled graphs share one horizontal extent.

#include "axes/AxisLabels.h"
#include "graph/Graph.h"
#include "styles/VxFont.h"

#include <QScrollBar>
#include <algorithm>
#include <cmath>

namespace {

bool IsLinear(const TVxAxis& Axis) {
    return Axis.Scaling() == TVxAxisScaling::Normal;
}

bool CrossesZero(const TVxAxis* Axis) {
    return Axis && IsLinear(*Axis) && Axis->Start() < 0 && 0 < Axis->Stop();
}

} // namespace

void TVxGraph2D::PlaceTexts(TVxAxis& Axis) {
    PlaceAxisTexts(Axis, AxisLook(Axis));
}

void TVxGraph2D::CalculateLayout() {
    if (Updating())
        return;
    TVxAxesCalculatingScope calculating(*this);
    if (FZeroOrigin) {
        for (TVxAxis* axis : {PrimaryXAxis(), PrimaryYAxis()})
            if (axis)
                AxisLook(*axis).SetVisible(true);
    }
    LayoutOwnAxes();
    if (FHasChildGraphs)
        AlignChildGraphs();
    // The pixel points of every series follow the new layout.
    for (TVxSeries* series : RelatedSeries())
        series->LayoutModified();
    // A handler may free an axis: each is looked at through a guarded reference.
    const std::vector<QPointer<TVxAxis>> axes(FChildAxes.begin(), FChildAxes.end());
    for (const QPointer<TVxAxis>& axis : axes)
        if (axis && axis->OnCalculated)
            axis->OnCalculated(axis.data());
}

void TVxGraph2D::LayoutOwnAxes() {
    if (!FPanDragging) {
        FDoHScrollBar = false;
        FDoVScrollBar = false;
    }
    const std::vector<TVxAxis*> axes = ChildAxes();
    const double clientWidth = width();
    const double clientHeight = height();

    // 1. The title and every axis caption are measured (their labels as the ticks need
    // them); every axis rounds its range and calculates its ticks on its full length.
    MeasureTitle();
    for (TVxAxis* axis : axes) {
        AxisLook(*axis).ParseCaption();
        axis->SetAxisGeometry(0, 0, float(axis->Horizontal() ? axis->Width() : axis->Height()));
        axis->CalculateScale();
        PlaceTexts(*axis);
        if (axis->IsClipped())
            (axis->Horizontal() ? FDoHScrollBar : FDoVScrollBar) = true;
    }

    // 2. Borders and the title.
    double left = std::ceil(FDistanceBorderAxisLeft);
    double right = std::ceil(FDistanceBorderAxisRight);
    double top = std::ceil(FDistanceBorderAxisTop);
    double bottom = std::ceil(FDistanceBorderAxisBottom);
    // A scrollbar shows while an axis of its direction cuts its data (never in vector
    // exports) and takes its room from the border below or left of the data area.
    FDoHScrollBar = FDoHScrollBar && FZoom->HScrollbarVisible() && !FDoingMetafile;
    FDoVScrollBar = FDoVScrollBar && FZoom->VScrollbarVisible() && !FDoingMetafile;
    if (FDoHScrollBar)
        bottom += FHScrollBar->sizeHint().height();
    if (FDoVScrollBar)
        left += FVScrollBar->sizeHint().width();
    if (FCaptionVisible && !FCaption.isEmpty())
        top =
            std::ceil(top + TitleSize().height() + FCaptionDistanceBefore + FCaptionDistanceAfter);

    // 3. Legends along the borders.
    LayoutLegends(left, top, right, bottom);

    // 4. Axis sizes, outermost (last) first.
    TVxAxis* bottomAxis = nullptr;
    TVxAxis* leftAxis = nullptr;
    TVxAxis* topAxis = nullptr;
    TVxAxis* rightAxis = nullptr;
    TVxAxis* px = PrimaryXAxis();
    TVxAxis* py = PrimaryYAxis();
    for (auto it = axes.rbegin(); it != axes.rend(); ++it) {
        TVxAxis& axis = **it;
        TVxAxisLook& look = AxisLook(axis);
        const double t = AxisThickness(axis, look);
        const double ct = std::ceil(t);
        const bool visible = look.Visible();
        const TVxAxisOverhangs o = AxisOverhangs(axis, look);
        const float half = float(std::ceil(look.AxisThicknes() / 2.0));
        switch (axis.Position()) {
        case TVxAxisPosition::Bottom: {
            if (look.AutoSize()) {
                axis.SetSize(int(clientWidth), int(ct));
                look.SetPosition(0, look.Top());
            }
            const bool counts = !FZeroOrigin || !py || py->Start() >= 0;
            if (visible && counts)
                bottom += ct;
            if (visible) {
                look.SetPosition(look.Left(), int(clientHeight - bottom));
                bottomAxis = &axis;
            }
            float axTop = look.TicksPointToData() ? look.MajorTickLength() : half;
            if (axTop < 1)
                axTop = 0;
            axis.SetAxisGeometry(float(o.Low), axTop, float(axis.Width() - o.High - o.Low));
            break;
        }
        case TVxAxisPosition::Left: {
            if (look.AutoSize()) {
                axis.SetSize(int(ct), axis.Height());
                look.SetPosition(int(left), look.Top());
            }
            const bool counts = !FZeroOrigin || !px || px->Start() >= 0;
            if (visible && counts)
                left += ct;
            if (visible) {
                look.SetPosition(look.Left(), 0);
                axis.SetSize(axis.Width(), int(clientHeight));
                leftAxis = &axis;
            }
            const float axLeft = look.TicksPointToData()
                                     ? float(axis.Width() - look.MajorTickLength())
                                     : float(std::ceil(t - look.AxisThicknes() / 2.0));
            axis.SetAxisGeometry(axLeft, float(o.High), float(axis.Height() - o.Low - o.High));
            break;
        }
        case TVxAxisPosition::Top: {
            if (look.AutoSize()) {
                axis.SetSize(int(clientWidth), int(ct));
                look.SetPosition(0, int(top));
                if (visible) {
                    top += ct;
                    topAxis = &axis;
                }
            }
            const float axTop = look.TicksPointToData()
                                    ? float(axis.Height() - look.MajorTickLength())
                                    : float(std::ceil(axis.Height() - look.AxisThicknes() / 2.0));
            axis.SetAxisGeometry(float(o.Low), axTop, float(axis.Width() - o.High - o.Low));
            break;
        }
        case TVxAxisPosition::Right: {
            if (look.AutoSize()) {
                axis.SetSize(int(ct), axis.Height());
                if (visible) {
                    right += ct;
                    rightAxis = &axis;
                }
                look.SetPosition(int(clientWidth - right), 0);
                axis.SetSize(axis.Width(), int(clientHeight));
            }
            const float axLeft = look.TicksPointToData() ? look.MajorTickLength() : half;
            axis.SetAxisGeometry(axLeft, float(o.High), float(axis.Height() - o.Low - o.High));
            break;
        }
        }
        if (axis.AxLength() < 40)
            axis.SetAxisGeometry(axis.AxLeft(), axis.AxTop(), 40);
        axis.CalculateTicks();
        PlaceTexts(axis);
    }

    // 5. Margins from the end overhangs.
    double ovLeft = 0, ovRight = 0, ovTop = 0, ovBottom = 0;
    for (TVxAxis* axis : axes) {
        const TVxAxisLook& look = AxisLook(*axis);
        if (!look.AutoSize())
            continue;
        const TVxAxisOverhangs o = AxisOverhangs(*axis, look);
        if (axis->Horizontal()) {
            ovLeft = std::max(ovLeft, o.Low);
            ovRight = std::max(ovRight, o.High);
        } else {
            ovBottom = std::max(ovBottom, o.Low);
            ovTop = std::max(ovTop, o.High);
        }
        // Series may ask for room at the ends (symbols, bars), unless the axis cuts data.
        if (look.Visible() && !axis->IsClipped())
            for (TVxSeries* series : RelatedSeries()) {
                if (series->XAxis() != axis && series->YAxis() != axis)
                    continue;
                if (axis->Horizontal()) {
                    ovLeft = std::max(ovLeft, std::ceil(double(series->ExtraSpaceAt(1))));
                    ovRight = std::max(ovRight, std::ceil(double(series->ExtraSpaceAt(3))));
                } else {
                    ovBottom = std::max(ovBottom, std::ceil(double(series->ExtraSpaceAt(0))));
                    ovTop = std::max(ovTop, std::ceil(double(series->ExtraSpaceAt(2))));
                }
            }
    }
    if (FZeroOrigin && CrossesZero(px))
        leftAxis = rightAxis = nullptr;
    if (FZeroOrigin && CrossesZero(py))
        topAxis = bottomAxis = nullptr;
    const auto margin = [](double& Margin, double Overhang, TVxAxis* Axis, auto MoveLine,
                           auto FromLine) {
        if (!Axis)
            Margin += Overhang;
        else if (Margin < Overhang) {
            Margin = Overhang;
            MoveLine(*Axis, AxisLook(*Axis));
        } else
            Margin = std::ceil(FromLine(*Axis, AxisLook(*Axis)));
    };
    margin(
        left, ovLeft, leftAxis,
        [&](TVxAxis& a, TVxAxisLook& l) {
            a.SetAxisGeometry(float(ovLeft - l.DistanceValuesAxis()), a.AxTop(), a.AxLength());
        },
        [](TVxAxis& a, TVxAxisLook& l) { return l.Left() + a.AxLeft() + l.DistanceValuesAxis(); });
    margin(
        right, ovRight, rightAxis,
        [&](TVxAxis& a, TVxAxisLook& l) {
            a.SetAxisGeometry(float(a.Width() - ovRight + l.DistanceValuesAxis()), a.AxTop(),
                              a.AxLength());
        },
        [&](TVxAxis& a, TVxAxisLook& l) {
            return clientWidth - l.Left() - a.AxLeft() + l.DistanceValuesAxis();
        });
    margin(
        bottom, ovBottom, bottomAxis,
        [&](TVxAxis& a, TVxAxisLook& l) {
            a.SetAxisGeometry(a.AxLeft(), float(a.Height() - ovBottom + l.DistanceValuesAxis()),
                              a.AxLength());
        },
        [&](TVxAxis& a, TVxAxisLook& l) {
            return clientHeight - l.Top() - a.AxTop() + l.DistanceValuesAxis();
        });
    margin(
        top, ovTop, topAxis,
        [&](TVxAxis& a, TVxAxisLook& l) {
            a.SetAxisGeometry(a.AxLeft(), float(ovTop - l.DistanceValuesAxis()), a.AxLength());
        },
        [](TVxAxis& a, TVxAxisLook& l) { return l.Top() + a.AxTop() + l.DistanceValuesAxis(); });

    // 6. Final axis lengths.
    const auto finish = [](TVxAxis& Axis) {
        if (Axis.AxLength() < 40)
            Axis.SetAxisGeometry(Axis.AxLeft(), Axis.AxTop(), 40);
    };
    if (FZeroOrigin && px && py && px->Host() == this) {
        px->SetAxisGeometry(px->AxLeft(), px->AxTop(), float(px->Width() - left - right));
        px->SetAxisGeometry(float(left), px->AxTop(), px->AxLength());
        py->SetAxisGeometry(py->AxLeft(), float(top), float(py->Height() - top - bottom));
        for (TVxAxis* a : {px, py}) {
            finish(*a);
            a->CalculateTicks();
            PlaceTexts(*a);
        }
        TVxAxisLook& xl = AxisLook(*px);
        TVxAxisLook& yl = AxisLook(*py);
        const auto dropAt = [](TVxAxisLook& Look, double Pixel, bool Horizontal) {
            auto& labels = Look.Placement.Labels;
            const auto at = std::find_if(labels.begin(), labels.end(), [&](const TVxPlacedText& t) {
                return std::fabs((Horizontal ? t.Position.x() : t.Position.y()) - Pixel) < 0.1;
            });
            if (at != labels.end())
                labels.erase(at);
            Look.Placement.HiddenTick = float(Pixel);
        };
        const auto dropFirst = [](TVxAxisLook& Look) {
            if (!Look.Placement.Labels.empty())
                Look.Placement.Labels.erase(Look.Placement.Labels.begin());
        };
        if (CrossesZero(px)) {
            const double zero = px->NumberToWorld(0);
            yl.SetPosition(int(std::nearbyint(zero - py->AxLeft())), yl.Top());
            dropAt(yl, py->NumberToWorld(0), false);
        } else {
            dropFirst(xl);
        }
        if (CrossesZero(py)) {
            const double zero = py->NumberToWorld(0);
            xl.SetPosition(xl.Left(), int(std::nearbyint(zero - px->AxTop())));
            dropAt(xl, px->NumberToWorld(0), true);
        } else {
            dropFirst(yl);
        }
    } else {
        for (TVxAxis* axis : axes) {
            TVxAxisLook& look = AxisLook(*axis);
            if (!look.AutoSize())
                continue;
            const double half = std::ceil(look.MajorTickThicknes() / 2.0);
            if (axis->Horizontal()) {
                right = std::max(right, half);
                axis->SetAxisGeometry(float(left), axis->AxTop(),
                                      float(axis->Width() - left - right));
            } else {
                top = std::max(top, half);
                axis->SetAxisGeometry(axis->AxLeft(), float(top),
                                      float(axis->Height() - bottom - top));
            }
            finish(*axis);
            axis->CalculateTicks();
            PlaceTexts(*axis);
        }
    }

    // 7. The data area, the title and the scrollbars.
    FDrawingArea =
        QRectF(left, top, clientWidth - left - right + 1, clientHeight - top - bottom + 1);
    switch (FCaptionAlignment) {
    case TVxCaptionAlignment::Left:
        FTitlePosition = QPointF(FDistanceBorderAxisLeft, FCaptionDistanceBefore);
        FTitleRec.Align = TVxContentAlignment::TopLeft;
        break;
    case TVxCaptionAlignment::Right:
        FTitlePosition = QPointF(clientWidth - FDistanceBorderAxisRight, FCaptionDistanceBefore);
        FTitleRec.Align = TVxContentAlignment::TopRight;
        break;
    case TVxCaptionAlignment::Center:
        FTitlePosition = QPointF(clientWidth / 2, FCaptionDistanceBefore);
        FTitleRec.Align = TVxContentAlignment::TopCenter;
        break;
    }
    FTitleRec.X = float(FTitlePosition.x());
    FTitleRec.Y = float(FTitlePosition.y());
    FTitleRec.Angle = 0;
    if (FDoHScrollBar && px) {
        // The thumb spans the page: positions run from 0 to 10000 less the page.
        const int page = px->ScrollPageSize();
        FHScrollBar->setRange(0, 10000 - page);
        FHScrollBar->setPageStep(page);
        const int position = px->Twisted() ? 10000 - px->ScrollPosition(px->Stop())
                                           : px->ScrollPosition(px->Start());
        if (!FHScrollBar->isSliderDown())
            FHScrollBar->setValue(std::clamp(position, 0, 10000));
        FHScrollBar->setGeometry(int(std::nearbyint(FDrawingArea.x())),
                                 int(clientHeight) - FHScrollBar->sizeHint().height(),
                                 int(std::nearbyint(FDrawingArea.width())),
                                 FHScrollBar->sizeHint().height());
    }
    if (FDoVScrollBar && py) {
        const int page = py->ScrollPageSize();
        FVScrollBar->setRange(0, 10000 - page);
        FVScrollBar->setPageStep(page);
        const int position = py->Twisted() ? py->ScrollPosition(py->Start())
                                           : 10000 - py->ScrollPosition(py->Stop());
        if (!FVScrollBar->isSliderDown())
            FVScrollBar->setValue(std::clamp(position, 0, 10000));
        FVScrollBar->setGeometry(0, int(std::nearbyint(FDrawingArea.y())),
                                 FVScrollBar->sizeHint().width(),
                                 int(std::nearbyint(FDrawingArea.height())));
    }
    AlignLegends();
}

void TVxGraph2D::AlignChildGraphs() {
    std::vector<TVxGraph2D*> graphs = ChildGraphs();
    for (TVxGraph2D* child : graphs)
        if (child->PrimaryXAxis() && child->PrimaryYAxis()) {
            TVxAxesCalculatingScope calculating(*child);
            child->CheckCoupled();
            child->LayoutOwnAxes();
            child->FRecalculate = false;
        }
    graphs.push_back(this);
    double commonLeft = -1e300;
    double commonRight = 1e300;
    for (const TVxGraph2D* g : graphs) {
        commonLeft = std::max(commonLeft, g->FDrawingArea.left());
        commonRight = std::min(commonRight, g->FDrawingArea.left() + g->FDrawingArea.width());
    }
    for (TVxGraph2D* g : graphs) {
        const double oldLeft = g->FDrawingArea.left();
        const double oldRight = oldLeft + g->FDrawingArea.width();
        g->FDrawingArea.setLeft(commonLeft);
        g->FDrawingArea.setWidth(commonRight - commonLeft);
        for (TVxAxis* axis : g->Axes()) {
            TVxAxisLook& look = AxisLook(*axis);
            if (axis->Horizontal()) {
                if (axis->Host() == g)
                    axis->SetAxisGeometry(float(commonLeft), axis->AxTop(),
                                          float(commonRight - commonLeft - 1));
            } else if (axis->Position() == TVxAxisPosition::Left) {
                look.SetPosition(look.Left() + int(std::nearbyint(commonLeft - oldLeft)),
                                 look.Top());
            } else {
                look.SetPosition(look.Left() + int(std::nearbyint(commonRight - oldRight)),
                                 look.Top());
            }
            if (axis->Host() == g) {
                axis->CalculateTicks();
                g->PlaceTexts(*axis);
            }
        }
        if (g != this)
            g->Repaint();
    }
}
