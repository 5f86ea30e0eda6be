// The scrollbars of a zoomed graph. Each bar moves the axes of its direction through their
// unzoomed (scroll) range: arrows by the small increment, track clicks by the large one,
// the thumb to where it is dragged. Page clicks and jumps record a zoom stage at once;
// arrow steps and thumb tracking record one stage when the scroll action ends (the mouse
// button is released on the bar), so one scroll action is one step of the history.

#include "graph/Graph.h"
#include "util/EventGuard.h"

#include <QEvent>
#include <QScrollBar>
#include <cmath>

namespace {

/// Tells the graph when a mouse button is released on a scrollbar, after the bar itself
/// has handled the release.
class TScrollEndFilter : public QObject {
public:
    TScrollEndFilter(QObject* AParent, std::function<void(QObject*)> AOnEnd)
        : QObject(AParent), FOnEnd(std::move(AOnEnd)) {}

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override {
        if (Event->type() != QEvent::MouseButtonRelease)
            return false;
        // The bar finishes its own work (slider release, last step) first.
        const bool handled = static_cast<QObject*>(Watched)->event(Event);
        FOnEnd(Watched);
        return handled;
    }

private:
    std::function<void(QObject*)> FOnEnd;
};

bool RoundsOnScroll(TVxAxisEndRounding Rounding) {
    return Rounding == TVxAxisEndRounding::RndToMajorZoomToMinor ||
           Rounding == TVxAxisEndRounding::RndToMajor || Rounding == TVxAxisEndRounding::RndToMinor;
}

} // namespace

void TVxGraph2D::ConnectScrollBars() {
    for (QScrollBar* bar : {FHScrollBar, FVScrollBar}) {
        const Qt::Orientation orientation = bar->orientation();
        connect(bar, &QAbstractSlider::actionTriggered, this, [this, orientation](int Action) {
            GuardEvent([&] { ScrollAction(orientation, Action); });
        });
        connect(bar, &QAbstractSlider::sliderReleased, this,
                [this, orientation] { GuardEvent([&] { EndScroll(orientation); }); });
        bar->installEventFilter(new TScrollEndFilter(
            bar, [this, orientation](QObject*) { GuardEvent([&] { EndScroll(orientation); }); }));
    }
}

void TVxGraph2D::ScrollAction(Qt::Orientation Bar, int Action) {
    QScrollBar* bar = Bar == Qt::Horizontal ? FHScrollBar : FVScrollBar;
    switch (Action) {
    case QAbstractSlider::SliderSingleStepSub:
        Scroll(Bar, TVxScrollCode::LineUp);
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        Scroll(Bar, TVxScrollCode::LineDown);
        break;
    case QAbstractSlider::SliderPageStepSub:
        Scroll(Bar, TVxScrollCode::PageUp);
        break;
    case QAbstractSlider::SliderPageStepAdd:
        Scroll(Bar, TVxScrollCode::PageDown);
        break;
    case QAbstractSlider::SliderToMinimum:
        Scroll(Bar, TVxScrollCode::Top);
        break;
    case QAbstractSlider::SliderToMaximum:
        Scroll(Bar, TVxScrollCode::Bottom);
        break;
    case QAbstractSlider::SliderMove:
        Scroll(Bar, TVxScrollCode::Track, bar->sliderPosition());
        // A wheel turn moves without a press: it ends at once.
        if (!bar->isSliderDown())
            EndScroll(Bar);
        break;
    default:
        break;
    }
}

void TVxGraph2D::EndScroll(Qt::Orientation Bar) {
    // A page or a jump recorded its stage already; only unrecorded movement ends in one.
    if (!FScrollPending) {
        FPanDragging = false;
        return;
    }
    Scroll(Bar, TVxScrollCode::EndScroll);
}

void TVxGraph2D::Scroll(Qt::Orientation Bar, TVxScrollCode Code, int Position) {
    const bool horizontal = Bar == Qt::Horizontal;
    TVxAxis* primary = horizontal ? PrimaryXAxis() : PrimaryYAxis();
    const bool tracking = Code == TVxScrollCode::Track;
    FPanDragging = tracking;
    if (!primary)
        return;
    const bool log = primary->Scale().HasLogScaling;
    const auto along = [log](double v) { return log ? std::log10(v) : v; };
    const double scrollStart = along(primary->ScrollStart());
    const double full = along(primary->ScrollStop()) - scrollStart;
    const double start = along(primary->Start());
    const double stop = along(primary->Stop());
    int k = horizontal ? 1 : -1;
    if (primary->Twisted())
        k = -k;
    const auto step = [&](TVxScrollIncrement Increment) {
        switch (Increment) {
        case TVxScrollIncrement::Page:
            return stop - start;
        case TVxScrollIncrement::MajorTick:
            return primary->MajorIncrement();
        case TVxScrollIncrement::MinorTick:
            return primary->MinorIncrement();
        case TVxScrollIncrement::Pixel:
            return primary->Scale().NormalizeConst;
        }
        return 0.0;
    };
    const auto trackTo = [&](int To) {
        return k < 0 ? full * (10000 - To) / 10000 + scrollStart - stop
                     : full * To / 10000 + scrollStart - start;
    };
    QScrollBar* bar = horizontal ? FHScrollBar : FVScrollBar;
    double d = 0;
    switch (Code) {
    case TVxScrollCode::LineUp:
        d = -k * step(FZoom->ScrollSmallIncrement());
        break;
    case TVxScrollCode::LineDown:
        d = k * step(FZoom->ScrollSmallIncrement());
        break;
    case TVxScrollCode::PageUp:
        d = -k * step(FZoom->ScrollLargeIncrement());
        break;
    case TVxScrollCode::PageDown:
        d = k * step(FZoom->ScrollLargeIncrement());
        break;
    case TVxScrollCode::Track:
        d = trackTo(Position);
        break;
    case TVxScrollCode::Top:
        d = trackTo(bar->minimum());
        break;
    case TVxScrollCode::Bottom:
        d = trackTo(bar->maximum());
        break;
    case TVxScrollCode::EndScroll:
        break;
    }
    double f = full > 0 && std::isfinite(d) ? d / full : 0;
    if (primary->Twisted())
        f = -f;
    const bool recording = Code != TVxScrollCode::LineUp && Code != TVxScrollCode::LineDown &&
                           Code != TVxScrollCode::Track;
    FScrollPending = !recording;

    for (TVxAxis* axis : Axes()) {
        if (axis->Horizontal() == horizontal)
            ScrollAxis(*axis, f, tracking, recording);
        else if (recording)
            axis->ZoomIn(axis->Start(), axis->Stop());
    }
    SeriesModified();
    if (recording)
        AlignCoupledStages();
    RepaintCoupled();
}

void TVxGraph2D::ScrollAxis(TVxAxis& Axis, double Fraction, bool Tracking, bool Recording) {
    const double start = Axis.Start();
    const double stop = Axis.Stop();
    const double scrollStart = Axis.ScrollStart();
    const double scrollStop = Axis.ScrollStop();
    const bool rounds = !Tracking && RoundsOnScroll(Axis.EndRounding());
    double b;
    double a;
    if (!Axis.Scale().HasLogScaling) {
        const bool major = Axis.EndRounding() == TVxAxisEndRounding::RndToMajor;
        double w = scrollStop - scrollStart;
        if (Axis.Twisted())
            w = -w;
        const double d = w * Fraction;
        b = rounds ? Axis.RoundEnd(true, major, start + d * (d > 0 ? 0.9999 : 1.0001)) : start + d;
        if (b < scrollStart)
            b = scrollStart;
        a = stop - start + b;
        if (a > scrollStop) {
            a = scrollStop;
            b = a - (stop - start);
            if (rounds)
                b = Axis.RoundEnd(true, major, b);
        }
    } else {
        double c = Fraction * (std::log10(scrollStop) - std::log10(scrollStart));
        if (Axis.Twisted())
            c = -c;
        if (rounds)
            c *= c > 0 ? 0.9999 : 1.0001;
        b = std::pow(10.0, c + std::log10(start));
        if (b < scrollStart)
            b = scrollStart;
        const double e = std::log10(stop) - std::log10(start);
        a = std::pow(10.0, std::log10(b) + e);
        if (a > scrollStop) {
            a = scrollStop;
            b = std::pow(10.0, std::log10(a) - e);
        }
    }
    if (!std::isfinite(a) || !std::isfinite(b))
        return;
    if (Recording)
        Axis.ZoomIn(b, a);
    else
        Axis.SetStartStop(b, a);
}
