#include "graph/Graph.h"

#include "axes/AxisLabels.h"
#include "drawing/Font.h"
#include "drawing/QtSurface.h"
#include "styles/GradientSettings.h"
#include "styles/LineSettings.h"
#include "styles/VxFont.h"
#include "undo/UndoStack.h"
#include "util/ComponentPaths.h"
#include "util/EventGuard.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QImage>
#include <QMetaMethod>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

namespace {

/// Restores a Boolean flag however the scope ends.
class TFlagScope {
public:
    TFlagScope(bool& Flag, bool Value) : FFlag(Flag), FWas(Flag) { FFlag = Value; }
    ~TFlagScope() { FFlag = FWas; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& FFlag;
    bool FWas;
};

/// Shows the busy cursor for its lifetime (only with a running application).
class TBusyCursor {
public:
    TBusyCursor() : FActive(QApplication::instance() != nullptr) {
        if (FActive)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~TBusyCursor() {
        if (FActive)
            QApplication::restoreOverrideCursor();
    }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;

private:
    bool FActive;
};

constexpr TVxColor Green = VxColor(0xFF008000);
constexpr TVxColor Gray = VxColor(0xFF808080);
constexpr TVxColor Black = VxColor(0xFF000000);

} // namespace

// --- TVxCustomGraph ----------------------------------------------------------------------

TVxCustomGraph::TVxCustomGraph(QWidget* AParent) : QWidget(AParent) {
    FBackgroundGradient = new TVxGradientSettings([this] { Repaint(); }, this);
    FCaptionFont = new TVxFont([this] { Repaint(); }, this);
    FCaptionFont->mNeedsResize = [this] { Modified(); };
    FCaptionFont->Assign(QApplication::font());
    FCaptionFont->SetFillColor(Black);
    resize(600, 400);
    // Not opaque: where nothing is painted the parent shows through.
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setAutoFillBackground(false);
    FPollingTimer.setInterval(50);
    RegisterCaptionVariables();
}

TVxCustomGraph::~TVxCustomGraph() {
    FPollingTimer.stop();
    UnregisterContainerEverywhere(this);
}

bool TVxCustomGraph::Recording() const {
    return FUndoStack && !FUndoStack->Restoring();
}

void TVxCustomGraph::Record(const char* Comment, const char* Name) {
    if (Recording())
        FUndoStack->PushProperty(this, QString::fromUtf8(Comment), Name);
}

bool TVxCustomGraph::SetFloat(float& Field, float Value, const char* Comment, const char* Name) {
    if (!(Value < Field || Value > Field) || !std::isfinite(Value))
        return false;
    Record(Comment, Name);
    Field = Value;
    return true;
}

void TVxCustomGraph::Repaint() {
    if (FPainting)
        return;
    // Stale even inside an update bracket: a later paint must not show the old frame.
    FFrameDirty = true;
    if (!Updating())
        update();
}

void TVxCustomGraph::SetUndoStack(TVxUndoStack* Stack) {
    FUndoStack = Stack;
    FBackgroundGradient->SetUndoStack(Stack);
}

void TVxCustomGraph::SetBackColor(TVxColor Value) {
    if (Value == FBackColor)
        return;
    Record("Graph background color", "BackColor");
    FBackColor = Value;
    Repaint();
}

void TVxCustomGraph::SetBackgroundGradient(TVxGradientSettings* Value) {
    if (Value && Value != FBackgroundGradient)
        FBackgroundGradient->Assign(Value);
}

void TVxCustomGraph::SetSmoothingMode(TVxSmoothingMode Value) {
    if (Value == FSmoothingMode)
        return;
    FSmoothingMode = Value;
    Repaint();
}

void TVxCustomGraph::SetSmoothingModeOrdinal(int Value) {
    if (Value >= 0 && Value <= int(TVxSmoothingMode::HighQuality))
        SetSmoothingMode(TVxSmoothingMode(Value));
}

void TVxCustomGraph::SetCaption(const QString& Value) {
    QString text = Value;
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
    if (text == FCaption)
        return;
    Record("Caption used in title of graph", "Caption");
    FCaption = text;
    FCaptionSet = true;
    Modified();
    UpdateDependents(FObjectsToUpdate);
}

void TVxCustomGraph::SetCaptionAlignment(TVxCaptionAlignment Value) {
    if (Value == FCaptionAlignment)
        return;
    Record("Graph title alignment", "CaptionAlignment");
    FCaptionAlignment = Value;
    Modified();
}

void TVxCustomGraph::SetCaptionAlignmentOrdinal(int Value) {
    if (Value >= 0 && Value <= int(TVxCaptionAlignment::Center))
        SetCaptionAlignment(TVxCaptionAlignment(Value));
}

TVxColor TVxCustomGraph::CaptionColor() const {
    return FCaptionFont->FillColor();
}

void TVxCustomGraph::SetCaptionColor(TVxColor Value) {
    if (Value == FCaptionFont->FillColor())
        return;
    Record("Color of graph title", "CaptionColor");
    FCaptionFont->SetFillColor(Value);
}

void TVxCustomGraph::SetCaptionDistanceAfter(float Value) {
    if (SetFloat(FCaptionDistanceAfter, Value, "Distance below graph title",
                 "CaptionDistanceAfter"))
        Modified();
}

void TVxCustomGraph::SetCaptionDistanceBefore(float Value) {
    if (SetFloat(FCaptionDistanceBefore, Value, "Distance above graph title",
                 "CaptionDistanceBefore"))
        Modified();
}

void TVxCustomGraph::SetCaptionFont(TVxFont* Value) {
    if (!Value || Value == FCaptionFont)
        return;
    if (Recording())
        FCaptionFont->PushToUndoStack(FUndoStack, QStringLiteral("Font of graph title"));
    FCaptionFont->Assign(*Value);
    Modified();
}

void TVxCustomGraph::SetCaptionVisible(bool Value) {
    if (Value == FCaptionVisible)
        return;
    Record("Visibility of graph title", "CaptionVisible");
    FCaptionVisible = Value;
    Modified();
}

QString TVxCustomGraph::CaptionAsString() const {
    return FCaption.isEmpty() ? objectName() : FCaption;
}

void TVxCustomGraph::EndUpdate() {
    if (FUpdateCount > 0)
        --FUpdateCount;
    if (FUpdateCount == 0 && FRecalculate)
        Repaint();
}

void TVxCustomGraph::Modified() {
    FRecalculate = true;
    Repaint();
}

void TVxCustomGraph::SetHighQuality(TVxSurface& Gr, bool High) const {
    if (!High || FSmoothingMode == TVxSmoothingMode::None) {
        Gr.SetSmoothingMode(TSmoothingMode::SmoothingModeNone);
        return;
    }
    switch (FSmoothingMode) {
    case TVxSmoothingMode::HighSpeed:
        Gr.SetSmoothingMode(TSmoothingMode::SmoothingModeHighSpeed);
        break;
    case TVxSmoothingMode::AntiAlias:
        Gr.SetSmoothingMode(TSmoothingMode::SmoothingModeAntiAlias);
        break;
    default:
        Gr.SetSmoothingMode(TSmoothingMode::SmoothingModeHighQuality);
        break;
    }
}

void TVxCustomGraph::paintEvent(QPaintEvent* Event) {
    GuardEvent([this, Event] {
        // The chart is rendered once per change into the frame; transient marks (the zoom
        // rectangle) and exposures only copy it, so they cost pixels, not points.
        const qreal ratio = devicePixelRatioF();
        const QSize pixels = (QSizeF(size()) * ratio).toSize();
        if (FFrameDirty || FFrame.size() != pixels) {
            TFlagScope painting(FPainting, true);
            if (FFrame.size() != pixels)
                FFrame = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
            FFrame.setDevicePixelRatio(ratio);
            FFrame.fill(Qt::transparent);
            {
                QPainter framePainter(&FFrame);
                TVxQtSurface surface(framePainter);
                PaintGr(surface);
            }
            FFrameDirty = false;
        }
        QPainter painter(this);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        for (const QRect& r : Event->region())
            painter.drawImage(r, FFrame,
                              QRectF(QPointF(r.topLeft()) * ratio, QSizeF(r.size()) * ratio));
        PaintOverlay(painter);
    });
}

QImage TVxCustomGraph::PaintToImage() {
    QImage image(size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    TFlagScope doing(FDoingImage, true);
    TFlagScope painting(FPainting, true);
    QPainter painter(&image);
    TVxQtSurface surface(painter);
    PaintGr(surface);
    // Whatever the paint brought up to date (data ranges, layout) was not seen by the
    // screen's frame, whose repaint requests are ignored while painting.
    FFrameDirty = true;
    return image;
}

// --- TVxGraph2D: construction and properties ---------------------------------------------

TVxGraph2D::TVxGraph2D(QWidget* AParent) : TVxCustomGraph(AParent) {
    const auto modified = [this] { Modified(); };
    const auto repaint = [this] { Repaint(); };
    FDataAreaFrame = new TVxLineSettings(repaint, this);
    FDataAreaFrame->SetVisible(false);
    FDataAreaGradient = new TVxGradientSettings(repaint, this);
    FMajorGridHorizontal = new TVxLineSettings(repaint, this);
    FMinorGridHorizontal = new TVxLineSettings(repaint, this);
    FMajorGridVertical = new TVxLineSettings(repaint, this);
    FMinorGridVertical = new TVxLineSettings(repaint, this);
    for (TVxLineSettings* grid :
         {FMajorGridHorizontal, FMinorGridHorizontal, FMajorGridVertical, FMinorGridVertical})
        grid->SetVisible(false);
    FMajorGridHorizontal->SetColor(Green);
    FMajorGridVertical->SetColor(Green);
    FMinorGridHorizontal->SetColor(Gray);
    FMinorGridVertical->SetColor(Gray);
    (void)modified;

    FHScrollBar = new QScrollBar(Qt::Horizontal, this);
    FVScrollBar = new QScrollBar(Qt::Vertical, this);
    for (QScrollBar* bar : {FHScrollBar, FVScrollBar}) {
        bar->setRange(0, 10000);
        bar->setFocusPolicy(Qt::NoFocus);
        bar->hide();
    }
    FZoom = new TVxZoomSettings(this);
    ConnectScrollBars();
    connect(&FPollingTimer, &QTimer::timeout, this, [this] { PollTimer(); });
    // Items (legends, labels, markers) see the mouse before the graph's own handlers.
    installEventFilter(this);
}

TVxGraph2D::~TVxGraph2D() {
    FDestroying = true;
    FPollingTimer.stop();
    for (TVxSeries* series : RelatedSeries())
        series->HostDestroyed();
    for (TVxChartItem* item : Items())
        item->AttachHost(nullptr);
    for (TVxAxis* axis : ChildAxes())
        if (axis->Host() == this)
            axis->SetHost(nullptr);
}

void TVxGraph2D::SetDataAreaFrame(TVxLineSettings* Value) {
    if (Value && Value != FDataAreaFrame)
        FDataAreaFrame->Assign(Value);
}

void TVxGraph2D::SetDataAreaColor(TVxColor Value) {
    if (Value == FDataAreaColor)
        return;
    Record("Color of graph data area", "DataAreaColor");
    FDataAreaColor = Value;
    Repaint();
}

void TVxGraph2D::SetDataAreaGradient(TVxGradientSettings* Value) {
    if (Value && Value != FDataAreaGradient)
        FDataAreaGradient->Assign(Value);
}

void TVxGraph2D::SetDistanceBorderAxisTop(float Value) {
    if (SetFloat(FDistanceBorderAxisTop, Value, "Graph border distance at top",
                 "DistanceBorderAxisTop"))
        Modified();
}

void TVxGraph2D::SetDistanceBorderAxisBottom(float Value) {
    if (SetFloat(FDistanceBorderAxisBottom, Value, "Graph border distance at bottom",
                 "DistanceBorderAxisBottom"))
        Modified();
}

void TVxGraph2D::SetDistanceBorderAxisLeft(float Value) {
    if (SetFloat(FDistanceBorderAxisLeft, Value, "Graph border distance left",
                 "DistanceBorderAxisLeft"))
        Modified();
}

void TVxGraph2D::SetDistanceBorderAxisRight(float Value) {
    if (SetFloat(FDistanceBorderAxisRight, Value, "Graph border distance right",
                 "DistanceBorderAxisRight"))
        Modified();
}

void TVxGraph2D::SetPrimaryXAxis(TVxAxis* Value) {
    if (Value == FPrimaryXAxis)
        return;
    Record("Graph primary X-axis", "PrimaryXAxis");
    FPrimaryXAxis = Value;
    if (Value && !Value->Host())
        AddAxis(Value);
    Modified();
}

void TVxGraph2D::SetPrimaryYAxis(TVxAxis* Value) {
    if (Value == FPrimaryYAxis)
        return;
    Record("Graph primary Y-axis", "PrimaryYAxis");
    FPrimaryYAxis = Value;
    if (Value && !Value->Host())
        AddAxis(Value);
    Modified();
}

void TVxGraph2D::SetMajorGridHorizontal(TVxLineSettings* Value) {
    if (Value && Value != FMajorGridHorizontal)
        FMajorGridHorizontal->Assign(Value);
}

void TVxGraph2D::SetMinorGridHorizontal(TVxLineSettings* Value) {
    if (Value && Value != FMinorGridHorizontal)
        FMinorGridHorizontal->Assign(Value);
}

void TVxGraph2D::SetMajorGridVertical(TVxLineSettings* Value) {
    if (Value && Value != FMajorGridVertical)
        FMajorGridVertical->Assign(Value);
}

void TVxGraph2D::SetMinorGridVertical(TVxLineSettings* Value) {
    if (Value && Value != FMinorGridVertical)
        FMinorGridVertical->Assign(Value);
}

void TVxGraph2D::SetZeroOrigin(bool Value) {
    if (Value == FZeroOrigin)
        return;
    Record("Graph axes cross at (0,0)", "ZeroOrigin");
    FZeroOrigin = Value;
    Modified();
}

// --- structure --------------------------------------------------------------------------

void TVxGraph2D::AddAxis(TVxAxis* Axis) {
    if (!Axis)
        return;
    if (std::find(FChildAxes.begin(), FChildAxes.end(), Axis) != FChildAxes.end())
        return;
    FChildAxes.emplace_back(Axis);
    // The look exists before the axis calculates, so label measurements use its font.
    AxisLook(*Axis).SetUndoStack(UndoStack());
    if (!Axis->UndoStack())
        Axis->SetUndoStack(UndoStack());
    connect(Axis, &QObject::destroyed, this, [this] { AxisDestroyed(); });
    Axis->SetHost(this);
    Modified();
}

void TVxGraph2D::RemoveAxis(TVxAxis* Axis) {
    const auto it = std::find(FChildAxes.begin(), FChildAxes.end(), Axis);
    if (it == FChildAxes.end())
        return;
    FChildAxes.erase(it);
    disconnect(Axis, &QObject::destroyed, this, nullptr);
    if (Axis->Host() == this)
        Axis->SetHost(nullptr);
    Modified();
}

void TVxGraph2D::AxisDestroyed() {
    if (FDestroying)
        return;
    // The QPointers of the dead axis are null already; the lists drop them.
    std::erase_if(FChildAxes, [](const QPointer<TVxAxis>& p) { return p.isNull(); });
    std::erase_if(FAxes, [](const QPointer<TVxAxis>& p) { return p.isNull(); });
    Modified();
}

std::vector<TVxAxis*> TVxGraph2D::ChildAxes() const {
    std::vector<TVxAxis*> axes;
    for (const QPointer<TVxAxis>& p : FChildAxes)
        if (p && !p->IsDestroying())
            axes.push_back(p.data());
    return axes;
}

std::vector<TVxAxis*> TVxGraph2D::Axes() const {
    std::vector<TVxAxis*> axes;
    for (const QPointer<TVxAxis>& p : FAxes)
        if (p && !p->IsDestroying())
            axes.push_back(p.data());
    return axes;
}

std::vector<TVxGraph2D*> TVxGraph2D::ChildGraphs() const {
    std::vector<TVxGraph2D*> graphs;
    for (const QPointer<TVxGraph2D>& p : FChildGraphs)
        if (p)
            graphs.push_back(p.data());
    return graphs;
}

std::vector<TVxSeries*> TVxGraph2D::RelatedSeries() const {
    std::vector<TVxSeries*> series;
    for (const QPointer<TVxSeries>& p : FRelatedSeries)
        if (p && !p->IsDestroying())
            series.push_back(p.data());
    return series;
}

// --- notifications ----------------------------------------------------------------------

void TVxGraph2D::SetUndoStack(TVxUndoStack* Stack) {
    TVxCustomGraph::SetUndoStack(Stack);
    for (TVxSeries* series : RelatedSeries())
        series->SetUndoStack(Stack);
    for (TVxAxis* axis : ChildAxes()) {
        axis->SetUndoStack(Stack);
        AxisLook(*axis).SetUndoStack(Stack);
    }
    for (TVxStyleSettings* settings : std::initializer_list<TVxStyleSettings*>{
             FMajorGridHorizontal, FMinorGridHorizontal, FMajorGridVertical, FMinorGridVertical,
             FDataAreaGradient, FDataAreaFrame})
        settings->SetUndoStack(Stack);
    FZoom->SetUndoStack(Stack);
}

void TVxGraph2D::Modified() {
    FRecalculate = true;
    if (FDestroying)
        return;
    const std::vector<TVxAxis*> axes = ChildAxes();
    if (!axes.empty() && !AxesCalculating()) {
        // The axes recompute at the next layout; telling one is enough since the layout
        // runs over all of them.
        TVxAxis* first = axes.front();
        if (!first->NeedsRecalculation())
            first->Modified();
    }
    Repaint();
}

void TVxGraph2D::AxisModified(TVxAxis& Axis) {
    (void)Axis;
    if (FDestroying || AxesCalculating())
        return;
    FRecalculate = true;
    Repaint();
}

void TVxGraph2D::AxisRepaint(TVxAxis& Axis) {
    (void)Axis;
    if (!FDestroying)
        Repaint();
}

void TVxGraph2D::Calculate() {
    if (Updating() || !PrimaryXAxis() || !PrimaryYAxis())
        return;
    TBusyCursor busy;
    CheckCoupled();
    SortLayers();
    CalculateLayout();
    FRecalculate = false;
    // The graph that owns a shared X axis lays that axis out and aligns every data area with
    // it: a coupled graph laid out first (painted or exported on its own) has it redone.
    if (FIsCoupledGraph)
        if (auto* owner = dynamic_cast<TVxGraph2D*>(PrimaryXAxis()->Host());
            owner && owner != this && !owner->Updating() && !owner->AxesCalculating())
            owner->Calculate();
    Repaint();
}

void TVxGraph2D::CheckCoupled() {
    if (FLoading)
        return;
    FAxes.clear();
    FChildGraphs.clear();
    FHasChildGraphs = false;
    FIsCoupledGraph = false;
    for (TVxAxis* axis : ChildAxes())
        FAxes.emplace_back(axis);
    TVxAxis* x = PrimaryXAxis();
    if (!x)
        return;
    if (std::find(FAxes.begin(), FAxes.end(), x) == FAxes.end()) {
        FIsCoupledGraph = true;
        FAxes.emplace_back(x);
        return;
    }
    if (!parent())
        return;
    for (TVxGraph2D* other : parent()->findChildren<TVxGraph2D*>(Qt::FindDirectChildrenOnly))
        if (other != this && other->PrimaryXAxis() == x) {
            FChildGraphs.emplace_back(other);
            FHasChildGraphs = true;
        }
}

void TVxGraph2D::SortLayers() {
    std::vector<TVxSeries*> series = RelatedSeries();
    // Selection sort: each position takes the first later series with a strictly smaller
    // layer than the smallest found so far.
    for (std::size_t i = 0; i < series.size(); ++i) {
        std::size_t smallest = i;
        for (std::size_t j = i + 1; j < series.size(); ++j)
            if (series[j]->Layer() < series[smallest]->Layer())
                smallest = j;
        std::swap(series[i], series[smallest]);
    }
    FRelatedSeries.assign(series.begin(), series.end());
    for (std::size_t i = 0; i < series.size(); ++i)
        series[i]->SetLayer(int(i));
}

void TVxGraph2D::TestPrimaryAxis() {
    QObject* owner = parent() ? static_cast<QObject*>(parent()) : static_cast<QObject*>(this);
    if (!PrimaryXAxis()) {
        auto* axis = new TVxAxis(owner);
        axis->SetName(UniqueComponentName(owner, QStringLiteral("XAxis")));
        axis->SetPosition(TVxAxisPosition::Bottom);
        axis->SetSize(width(), axis->Height());
        AddAxis(axis);
        AxisLook(*axis).SetCaption(QStringLiteral("X-Axis"));
        FPrimaryXAxis = axis;
    } else if (!PrimaryXAxis()->Horizontal()) {
        PrimaryXAxis()->SetPosition(TVxAxisPosition::Bottom);
    }
    if (!PrimaryYAxis()) {
        auto* axis = new TVxAxis(owner);
        axis->SetName(UniqueComponentName(owner, QStringLiteral("YAxis")));
        axis->SetPosition(TVxAxisPosition::Left);
        axis->SetSize(axis->Width(), height());
        AddAxis(axis);
        AxisLook(*axis).SetCaption(QStringLiteral("Y-Axis"));
        FPrimaryYAxis = axis;
        Modified();
    } else if (PrimaryYAxis()->Horizontal()) {
        PrimaryYAxis()->SetPosition(TVxAxisPosition::Left);
    }
    FPollingTimer.start();
}

void TVxGraph2D::Poll() {
    const std::vector<TVxSeries*> series = RelatedSeries();
    if (series.empty())
        return;
    const std::vector<QPointer<TVxSeries>> guarded(series.begin(), series.end());
    for (const QPointer<TVxSeries>& s : guarded)
        if (s && s->AutoUpdate() && s->Visible()) {
            s->CheckDBVectors();
            if (!s)
                continue;
            try {
                s->Calculate();
            } catch (const std::exception& e) {
                // A failed recalculation is taken in by the series, so it is heard once.
                const QString message = QString::fromUtf8(e.what());
                if (isSignalConnected(QMetaMethod::fromSignal(&TVxGraph2D::CalculationError)))
                    emit CalculationError(s.data(), message);
                else
                    ReportEventException(message);
            }
        }
    for (TVxAxis* axis : ChildAxes())
        axis->GetNewRanges();
}

void TVxGraph2D::PollTimer() {
    GuardEvent([this] {
        if (Updating() || FRecalculate)
            return;
        Poll();
    });
}

void TVxGraph2D::SeriesModified() {
    if (FDestroying)
        return;
    for (TVxSeries* series : RelatedSeries())
        series->PointsModified();
    if (!FPanDragging)
        Repaint();
}

TVxSeriesPoint TVxGraph2D::FindSeriesPoint(int MouseX, int MouseY) const {
    TVxSeriesPoint result;
    const std::vector<TVxSeries*> series = RelatedSeries();
    for (auto it = series.rbegin(); it != series.rend(); ++it) {
        TVxSeries* s = *it;
        const int index = s->FindPoint(float(MouseX), float(MouseY));
        if (index < 0)
            continue;
        result.Found = true;
        result.InSeries = s;
        result.Index = index;
        if (s->IsFunctionSeries()) {
            result.Index = -1;
            result.X = s->XAxis() ? s->XAxis()->WorldToNumber(float(MouseX)) : 0.0;
            result.Y = s->GetY(result.X);
        } else {
            result.X = s->TransformedX(index);
            result.Y = s->TransformedY(index);
        }
        break;
    }
    return result;
}

void TVxGraph2D::RegisterSeries(TVxSeries* Series) {
    if (!Series || FDestroying)
        return;
    if (std::find(FRelatedSeries.begin(), FRelatedSeries.end(), Series) == FRelatedSeries.end()) {
        FRelatedSeries.emplace_back(Series);
        connect(Series, &QObject::destroyed, this, [this] { SeriesDestroyed(); });
        if (!Series->UndoStack() && UndoStack())
            Series->SetUndoStack(UndoStack());
    }
    Modified();
}

void TVxGraph2D::UnregisterSeries(TVxSeries* Series) {
    const auto it = std::find(FRelatedSeries.begin(), FRelatedSeries.end(), Series);
    if (it == FRelatedSeries.end())
        return;
    FRelatedSeries.erase(it);
    disconnect(Series, &QObject::destroyed, this, nullptr);
    if (!FDestroying) {
        SeriesModified();
        LegendsModified();
    }
}

void TVxGraph2D::SeriesDestroyed() {
    if (FDestroying)
        return;
    std::erase_if(FRelatedSeries, [](const QPointer<TVxSeries>& p) { return p.isNull(); });
    SeriesModified();
    LegendsModified();
}

void TVxGraph2D::SeriesInvalidated(TVxSeries& Series) {
    (void)Series;
    // The series has marked its own points stale; telling every series again would call
    // back here.
    if (!FDestroying && !FPanDragging)
        Repaint();
}

void TVxGraph2D::SeriesLayoutModified(TVxSeries& Series) {
    (void)Series;
    Modified();
}

void TVxGraph2D::resizeEvent(QResizeEvent* Event) {
    QWidget::resizeEvent(Event);
    GuardEvent([this] { SizeChanged(); });
}

void TVxGraph2D::SizeChanged() {
    if (TVxAxis* y = PrimaryYAxis(); y && y->Host() == this)
        y->CheckResize();
    if (TVxAxis* x = PrimaryXAxis(); x && x->Host() == this)
        x->CheckResize();
    Modified();
}

// --- measuring ---------------------------------------------------------------------------

QSizeF TVxGraph2D::MeasureText(const TVxFont& Font, const QString& Text) {
    const QPaintDevice* device = MeasuringDevice();
    const QFontMetricsF metrics(ToQFont(Font.FontSpec(), Font.RenderingHint(), device),
                                const_cast<QPaintDevice*>(device));
    return {metrics.horizontalAdvance(Text), metrics.height()};
}

double TVxGraph2D::LabelFontSize(const TVxAxis& Axis) const {
    const TVxAxisLook* look = FindAxisLook(Axis);
    return look ? look->Font()->GetSize() : 12.0;
}

QSizeF TVxGraph2D::MeasureLabel(const TVxAxis& Axis, const QString& Text) const {
    const TVxAxisLook* look = FindAxisLook(Axis);
    if (!look)
        return {};
    const TVxRichCaptionRec& rec = look->TextRecord(Text);
    return {rec.FWidth, rec.FHeight};
}
