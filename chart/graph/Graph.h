#pragma once
// The graph control: the one widget of a chart. TVxCustomGraph keeps the background,
// title, smoothing, undo stack and update counting; TVxGraph2D adds the data area, grids,
// primary axes, the series list and coupled graphs, lays the chart out through its
// primary X axis (GraphLayout.cpp) and paints it in a fixed order (GraphPainter.cpp).
//
// Axes are plain objects (not widgets) whose host is the graph that shows them; series
// register through the series host interface. Every reference to another component is a
// QPointer, so a component that dies is simply gone from the graph's view.

#include "annotations/ChartItem.h"
#include "annotations/ChartItemHost.h"
#include "axes/AxisHost.h"
#include "axes/AxisLook.h"
#include "captions/CaptionVariables.h"
#include "captions/RichCaption.h"
#include "drawing/Color.h"
#include "drawing/DrawTypes.h"
#include "graph/ZoomSettings.h"
#include "series/Series.h"
#include "series/SeriesHost.h"
#include "styles/GradientSettings.h"
#include "styles/LineSettings.h"
#include "styles/VxFont.h"
#include "undo/UndoStack.h"
#include "util/VariableRegistries.h"

#include <QImage>
#include <QPointer>
#include <QRectF>
#include <QTimer>
#include <QWidget>
#include <vector>

class QPainter;
class QIODevice;
class QPicture;
class QPixmap;
class QPrinter;
class QScrollBar;
class TVxIniFile;
class TVxLegend;
class TVxSurface;
namespace pugi {
class xml_node;
}
enum class TVxImageFileFormat : int;

/// How lines are anti-aliased (the title and backgrounds never are).
enum class TVxSmoothingMode { None, HighSpeed, AntiAlias, HighQuality };

/// What FindSeriesPoint found under the mouse.
struct TVxSeriesPoint {
    bool Found = false;
    TVxSeries* InSeries = nullptr;
    int Index = -1;
    double X = 0;
    double Y = 0;
};

class TVxCustomGraph : public QWidget, public TVxVariableContainer, public TVxCaptionDependent {
    Q_OBJECT
    Q_PROPERTY(TVxUndoStack* UndoStack READ UndoStack WRITE SetUndoStack)
    Q_PROPERTY(int BackColor READ BackColor WRITE SetBackColor)
    Q_PROPERTY(
        TVxGradientSettings* BackgroundGradient READ BackgroundGradient WRITE SetBackgroundGradient)
    Q_PROPERTY(int SmoothingMode READ SmoothingModeOrdinal WRITE SetSmoothingModeOrdinal)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int CaptionAlignment READ CaptionAlignmentOrdinal WRITE SetCaptionAlignmentOrdinal)
    Q_PROPERTY(int CaptionColor READ CaptionColor WRITE SetCaptionColor STORED false)
    Q_PROPERTY(float CaptionDistanceAfter READ CaptionDistanceAfter WRITE SetCaptionDistanceAfter)
    Q_PROPERTY(
        float CaptionDistanceBefore READ CaptionDistanceBefore WRITE SetCaptionDistanceBefore)
    Q_PROPERTY(TVxFont* CaptionFont READ CaptionFont WRITE SetCaptionFont)
    Q_PROPERTY(bool CaptionVisible READ CaptionVisible WRITE SetCaptionVisible)

public:
    /// A 600 x 400 graph with a transparent background; AParent is also its owner.
    explicit TVxCustomGraph(QWidget* AParent = nullptr);
    ~TVxCustomGraph() override;

    /// The stack property changes record on; dropped when it is destroyed.
    TVxUndoStack* UndoStack() const { return FUndoStack.data(); }
    virtual void SetUndoStack(TVxUndoStack* Stack);
    /// Background colour of the whole control (default transparent white).
    TVxColor BackColor() const { return FBackColor; }
    void SetBackColor(TVxColor Value);
    TVxGradientSettings* BackgroundGradient() const { return FBackgroundGradient; }
    /// Copies Value into the owned gradient.
    void SetBackgroundGradient(TVxGradientSettings* Value);
    TVxSmoothingMode SmoothingMode() const { return FSmoothingMode; }
    void SetSmoothingMode(TVxSmoothingMode Value);
    /// Title text; trailing blanks are removed.
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& Value);
    TVxCaptionAlignment CaptionAlignment() const { return FCaptionAlignment; }
    void SetCaptionAlignment(TVxCaptionAlignment Value);
    /// The title font's fill colour.
    TVxColor CaptionColor() const;
    void SetCaptionColor(TVxColor Value);
    float CaptionDistanceAfter() const { return FCaptionDistanceAfter; }
    void SetCaptionDistanceAfter(float Value);
    float CaptionDistanceBefore() const { return FCaptionDistanceBefore; }
    void SetCaptionDistanceBefore(float Value);
    TVxFont* CaptionFont() const { return FCaptionFont; }
    /// Records the font as one step, then copies Value into it.
    void SetCaptionFont(TVxFont* Value);
    bool CaptionVisible() const { return FCaptionVisible; }
    void SetCaptionVisible(bool Value);
    /// The title's text, or the graph's name when it is empty.
    QString CaptionAsString() const;

    /// Nesting counter: while above 0, Calculate, the poll and the layout do nothing.
    void BeginUpdate() { ++FUpdateCount; }
    /// Decrements; at 0 a pending recalculation repaints.
    void EndUpdate();
    bool Updating() const { return FUpdateCount > 0; }

    /// Layout may have changed: recalculate at the next paint and repaint.
    virtual void Modified();
    /// Recalculates the layout now.
    virtual void Calculate() {}
    /// Paints the whole chart on a drawing surface (screen, image, printer, recorder).
    virtual void PaintGr(TVxSurface& Gr) = 0;
    /// Paints the chart into an image of the control's size (ARGB, transparent first).
    QImage PaintToImage();

    // The whole chart saved and loaded (GraphRecords.cpp); the base versions do nothing.
    // IncludeValues stores the data vectors the series refer to. A load checks the whole
    // record before it changes anything: a bad, cut or newer record raises EVxStreamError
    // (or EVxConvertError) and leaves the chart as it was.
    /// The binary record in a file, replaced atomically (a failed save keeps the old file).
    virtual void WriteTo(const QString& FileName, bool IncludeValues) const;
    virtual void ReadFrom(const QString& FileName);
    /// The binary record in a stream.
    virtual void WriteTo(QIODevice& Stream, bool IncludeValues) const;
    virtual void ReadFrom(QIODevice& Stream);
    /// Appends the graph's element to Node; reads the graph's element itself.
    virtual void WriteTo(pugi::xml_node Node, bool IncludeValues) const;
    virtual void ReadFrom(pugi::xml_node Element);
    /// The graph's keys in Section and its objects in the sections below it.
    virtual void WriteTo(TVxIniFile& Ini, const QString& Section, bool IncludeValues) const;
    virtual void ReadFrom(const TVxIniFile& Ini, const QString& Section);

    /// Recalculation is pending.
    bool NeedsRecalculation() const { return FRecalculate; }
    /// Anti-aliasing for lines: off, or the smoothing mode's.
    void SetHighQuality(TVxSurface& Gr, bool High) const;
    /// The layout's title position and its measured size.
    QPointF TitlePosition() const { return FTitlePosition; }
    QSizeF TitleSize() const;

    // Rich captions (GraphCaptions.cpp).
    /// Measures the title anew (its placeholders expanded) and lays out again.
    void ParseCaption();
    /// The title as last measured, anchored where the layout put it.
    const TVxRichCaptionRec& TitleRecord() const { return FTitleRec; }
    /// Components whose captions show the graph's variables "Name" and "Caption"; refreshed
    /// when the graph's name or caption changes.
    TVxObjectsToUpdate FObjectsToUpdate;
    void AddObjectToUpdate(QObject* Component) override { FObjectsToUpdate.Add(Component); }
    /// A variable the title shows changed: measure again and lay out.
    void UpdateCaptionVariables() override { ParseCaption(); }

protected:
    /// Paints from the frame cache (rendering it first when stale), then the overlay.
    void paintEvent(QPaintEvent* Event) override;
    /// Marks the cached frame stale and asks for a paint (not while painting or updating).
    void Repaint();
    /// Draws transient marks (the zoom rectangle) over the cached frame.
    virtual void PaintOverlay(QPainter& Painter) { (void)Painter; }
    bool Recording() const;
    void Record(const char* Comment, const char* Name);
    bool SetFloat(float& Field, float Value, const char* Comment, const char* Name);

    QPointer<TVxUndoStack> FUndoStack;
    TVxGradientSettings* FBackgroundGradient;
    TVxFont* FCaptionFont;
    QString FCaption;
    TVxColor FBackColor = VxColor(0x00FFFFFF);
    TVxSmoothingMode FSmoothingMode = TVxSmoothingMode::HighQuality;
    TVxCaptionAlignment FCaptionAlignment = TVxCaptionAlignment::Center;
    float FCaptionDistanceAfter = 0;
    float FCaptionDistanceBefore = 0;
    bool FCaptionVisible = false;
    bool FCaptionSet = false;
    bool FOnce = true;
    bool FRecalculate = true;
    bool FDoingImage = false;
    /// A paint runs: repaint requests are moot.
    bool FPainting = false;
    /// The last rendered chart; painting reuses it until something changes.
    QImage FFrame;
    bool FFrameDirty = true;
    int FUpdateCount = 0;
    QPointF FTitlePosition;
    /// The measured title (MeasureTitle, at every layout and caption change).
    TVxRichCaptionRec FTitleRec;
    void MeasureTitle();
    /// Registers "Name" and "Caption" and refreshes the dependents on a rename.
    void RegisterCaptionVariables();
    QTimer FPollingTimer;

private:
    int SmoothingModeOrdinal() const { return int(FSmoothingMode); }
    void SetSmoothingModeOrdinal(int Value);
    int CaptionAlignmentOrdinal() const { return int(FCaptionAlignment); }
    void SetCaptionAlignmentOrdinal(int Value);
};

class TVxGraph2D : public TVxCustomGraph,
                   public TVxAxisHost,
                   public TVxSeriesHost,
                   public TVxChartItemHost {
    Q_OBJECT
    Q_PROPERTY(TVxLineSettings* DataAreaFrame READ DataAreaFrame WRITE SetDataAreaFrame)
    Q_PROPERTY(int DataAreaColor READ DataAreaColor WRITE SetDataAreaColor)
    Q_PROPERTY(
        TVxGradientSettings* DataAreaGradient READ DataAreaGradient WRITE SetDataAreaGradient)
    Q_PROPERTY(
        float DistanceBorderAxisTop READ DistanceBorderAxisTop WRITE SetDistanceBorderAxisTop)
    Q_PROPERTY(float DistanceBorderAxisBottom READ DistanceBorderAxisBottom WRITE
                   SetDistanceBorderAxisBottom)
    Q_PROPERTY(
        float DistanceBorderAxisLeft READ DistanceBorderAxisLeft WRITE SetDistanceBorderAxisLeft)
    Q_PROPERTY(
        float DistanceBorderAxisRight READ DistanceBorderAxisRight WRITE SetDistanceBorderAxisRight)
    Q_PROPERTY(TVxAxis* PrimaryXAxis READ PrimaryXAxis WRITE SetPrimaryXAxis)
    Q_PROPERTY(TVxAxis* PrimaryYAxis READ PrimaryYAxis WRITE SetPrimaryYAxis)
    Q_PROPERTY(
        TVxLineSettings* MajorGridHorizontal READ MajorGridHorizontal WRITE SetMajorGridHorizontal)
    Q_PROPERTY(
        TVxLineSettings* MinorGridHorizontal READ MinorGridHorizontal WRITE SetMinorGridHorizontal)
    Q_PROPERTY(TVxLineSettings* MajorGridVertical READ MajorGridVertical WRITE SetMajorGridVertical)
    Q_PROPERTY(TVxLineSettings* MinorGridVertical READ MinorGridVertical WRITE SetMinorGridVertical)
    Q_PROPERTY(bool ZeroOrigin READ ZeroOrigin WRITE SetZeroOrigin)
    Q_PROPERTY(TVxFont* Font READ CaptionFont STORED false)
    Q_PROPERTY(TVxZoomSettings* Zoom READ Zoom WRITE SetZoom)

public:
    /// A graph with hidden scrollbars (range 0 .. 10000) and a disabled 50 ms poll.
    explicit TVxGraph2D(QWidget* AParent = nullptr);
    ~TVxGraph2D() override;

    TVxLineSettings* DataAreaFrame() const { return FDataAreaFrame; }
    void SetDataAreaFrame(TVxLineSettings* Value);
    TVxColor DataAreaColor() const { return FDataAreaColor; }
    void SetDataAreaColor(TVxColor Value);
    TVxGradientSettings* DataAreaGradient() const { return FDataAreaGradient; }
    void SetDataAreaGradient(TVxGradientSettings* Value);
    /// Space kept free between the control's border and the outermost axes.
    float DistanceBorderAxisTop() const { return FDistanceBorderAxisTop; }
    void SetDistanceBorderAxisTop(float Value);
    float DistanceBorderAxisBottom() const { return FDistanceBorderAxisBottom; }
    void SetDistanceBorderAxisBottom(float Value);
    float DistanceBorderAxisLeft() const { return FDistanceBorderAxisLeft; }
    void SetDistanceBorderAxisLeft(float Value);
    float DistanceBorderAxisRight() const { return FDistanceBorderAxisRight; }
    void SetDistanceBorderAxisRight(float Value);
    /// The axes series and grids refer to; created on the first paint when missing.
    TVxAxis* PrimaryXAxis() const override { return FPrimaryXAxis.data(); }
    void SetPrimaryXAxis(TVxAxis* Value);
    TVxAxis* PrimaryYAxis() const override { return FPrimaryYAxis.data(); }
    void SetPrimaryYAxis(TVxAxis* Value);
    TVxLineSettings* MajorGridHorizontal() const { return FMajorGridHorizontal; }
    void SetMajorGridHorizontal(TVxLineSettings* Value);
    TVxLineSettings* MinorGridHorizontal() const { return FMinorGridHorizontal; }
    void SetMinorGridHorizontal(TVxLineSettings* Value);
    TVxLineSettings* MajorGridVertical() const { return FMajorGridVertical; }
    void SetMajorGridVertical(TVxLineSettings* Value);
    TVxLineSettings* MinorGridVertical() const { return FMinorGridVertical; }
    void SetMinorGridVertical(TVxLineSettings* Value);
    /// The primary axes cross at (0, 0).
    bool ZeroOrigin() const { return FZeroOrigin; }
    void SetZeroOrigin(bool Value);

    // Structure.
    /// Makes the graph show Axis (its host becomes this graph); control order is the order
    /// of adding, the last added axis lying outermost.
    void AddAxis(TVxAxis* Axis);
    /// The graph stops showing Axis.
    void RemoveAxis(TVxAxis* Axis);
    /// The axes the graph hosts, in control order (destroyed ones are skipped).
    std::vector<TVxAxis*> ChildAxes() const;
    /// The axes the layout and painting use: the child axes and, on a coupled graph, the
    /// shared X axis.
    std::vector<TVxAxis*> Axes() const;
    /// Coupled graphs sharing this graph's X axis, and whether this graph shows another
    /// graph's X axis.
    std::vector<TVxGraph2D*> ChildGraphs() const;
    bool HasChildGraphs() const { return FHasChildGraphs; }
    bool IsCoupledGraph() const { return FIsCoupledGraph; }
    /// The related series in drawing (layer) order.
    std::vector<TVxSeries*> RelatedSeries() const;

    // Notifications.
    void SetUndoStack(TVxUndoStack* Stack) override;
    void Modified() override;
    void Calculate() override;
    /// Rebuilds the axis list and the coupled-graph relations.
    void CheckCoupled();
    /// Orders the series by layer and renumbers the layers 0, 1, ...
    void SortLayers();
    /// Creates missing primary axes and moves misplaced ones; starts the poll.
    void TestPrimaryAxis();
    /// Lets auto-updating series read their data and the axes take new ranges. A series
    /// whose recalculation raises is reported by CalculationError (or, with nothing
    /// connected, as an event exception) and the others go on.
    void Poll();
    /// Every series' points are stale: repaint unless panning.
    void SeriesModified();
    /// The point under a pixel, topmost series first.
    TVxSeriesPoint FindSeriesPoint(int MouseX, int MouseY) const;
    /// The data area in client pixels.
    QRectF DrawingArea() const override { return FDrawingArea; }
    /// The layout wants the horizontal / vertical scrollbar shown.
    bool DoHScrollBar() const { return FDoHScrollBar; }
    bool DoVScrollBar() const { return FDoVScrollBar; }
    QScrollBar* HScrollBar() const { return FHScrollBar; }
    QScrollBar* VScrollBar() const { return FVScrollBar; }
    /// Lays the chart out now (the primary X axis' calculation for the whole graph).
    void CalculateLayout();

    void PaintGr(TVxSurface& Gr) override;

Q_SIGNALS:
    /// A series' recalculation at the poll or a paint raised Message; once per failure.
    void CalculationError(TVxSeries* Series, const QString& Message);

public:
    // Whole-chart records (GraphRecords.cpp).
    void WriteTo(const QString& FileName, bool IncludeValues) const override;
    void ReadFrom(const QString& FileName) override;
    void WriteTo(QIODevice& Stream, bool IncludeValues) const override;
    void ReadFrom(QIODevice& Stream) override;
    void WriteTo(pugi::xml_node Node, bool IncludeValues) const override;
    void ReadFrom(pugi::xml_node Element) override;
    void WriteTo(TVxIniFile& Ini, const QString& Section, bool IncludeValues) const override;
    void ReadFrom(const TVxIniFile& Ini, const QString& Section) override;
    /// Bar series store their captions: false only while a chart is saved without values.
    bool StoreIncludingBarCaptions() const { return FStoreIncludingBarCaptions; }

    // Axis host.
    bool Loading() const override { return FLoading; }
    bool Panning() const override { return FPanDragging; }
    int SeriesCount() const override { return int(RelatedSeries().size()); }
    double LabelFontSize(const TVxAxis& Axis) const override;
    QSizeF MeasureLabel(const TVxAxis& Axis, const QString& Text) const override;
    void AxisModified(TVxAxis& Axis) override;
    void AxisRepaint(TVxAxis& Axis) override;
    void AxisScalingChanged(TVxAxis& Axis) override;
    void AxisMovingSlitStarted(TVxAxis& Axis) override;
    void RecordZoomState(TVxAxis& Axis, TVxUndoStack& Stack, const QString& Comment) override;

    // Series host.
    void RegisterSeries(TVxSeries* Series) override;
    void UnregisterSeries(TVxSeries* Series) override;
    TVxUndoStack* HostUndoStack() const override { return UndoStack(); }
    void SeriesInvalidated(TVxSeries& Series) override;
    void SeriesLayoutModified(TVxSeries& Series) override;
    void LegendsModified() override;
    bool HostDestroying() const override { return FDestroying; }
    bool DoingImage() const override { return FDoingImage; }
    bool DoingMetafile() const override { return FDoingMetafile; }
    bool AntiAliased() const override { return FSmoothingMode >= TVxSmoothingMode::AntiAlias; }

    /// Measured size of Text in Font (the width of its advance, the font's line height).
    static QSizeF MeasureText(const TVxFont& Font, const QString& Text);

    /// Paints to a vector target: grid and tick positions stay unrounded.
    void SetDoingMetafile(bool Value) { FDoingMetafile = Value; }

    // Zoom, panning and scrollbars (GraphZoom.cpp, GraphMouse.cpp, GraphScroll.cpp).
    /// The zoom settings; assigning copies into the owned object.
    TVxZoomSettings* Zoom() const { return FZoom; }
    void SetZoom(TVxZoomSettings* Value);
    /// Events of zooming and panning (sender: the graph).
    TVxZoomSettings::TNotifyEvent OnBeginZoom;
    TVxZoomSettings::TNotifyEvent OnEndZoom;
    TVxZoomSettings::TNotifyEvent OnBeginPanning;
    TVxZoomSettings::TNotifyEvent OnEndPanning;
    /// History queries, read from the primary Y axis (stack: a stage to go back to or
    /// forward to; ring: the primary X or Y axis has a history).
    bool CanZoomBack() const;
    bool CanRedoZoom() const;
    int ZoomStage() const;
    int ZoomBufferSize() const;
    /// Zooms every axis into the rectangle of two corners (graph pixels, clamped to the
    /// data area); with OptimizeSeries the ranges fit the data points inside it.
    void ZoomTo(QPoint Corner1, QPoint Corner2);
    /// One stage back / forward in every axis' history, coupled graphs included.
    void ZoomBack();
    void RedoZoom();
    /// Every axis shows its history entry Stage.
    void ZoomToStage(int Stage);
    /// Every axis back to its unzoomed range and automatic ranging; histories emptied.
    void ZoomReset();
    /// A scrollbar action: Code on the horizontal or vertical bar, Position for Track.
    void Scroll(Qt::Orientation Bar, TVxScrollCode Code, int Position = 0);
    /// A zoom rectangle is being dragged; its corners in graph pixels.
    bool ZoomDragging() const { return FZoomDragging; }
    QRect ZoomRectangle() const;

    // Image export, clipboard and printing (ImageExport.cpp, formats in ImageExport.h). The
    // image is W x H pixels (ImageExtentOf): the graph stacked with its coupled graphs.
    /// Encodes the chart in Format, then writes it to Stream; raises for EMF, EXIF and Icon,
    /// an empty extent or a failing encoder, with Stream untouched.
    void SaveImage(QIODevice& Stream, TVxImageFileFormat Format, bool RemoveTransparency = false,
                   TColor TransparentExchangeColor = 0xFFFFFF);
    /// Encodes the chart in memory, then replaces FileName atomically: a failure keeps it.
    void SaveImage(const QString& FileName, TVxImageFileFormat Format,
                   bool RemoveTransparency = false, TColor TransparentExchangeColor = 0xFFFFFF);
    /// The chart as an image: transparent ARGB, or opaque on the exchange colour.
    QImage ExportImage(bool RemoveTransparency = false, TColor TransparentExchangeColor = 0xFFFFFF);
    /// An opaque pixmap of the chart whose mask hides TransparentExchangeColor.
    QPixmap AsTBitmap(TColor TransparentExchangeColor = 0xFFFFFF);
    /// A vector picture of the chart, W x H pixels.
    QPicture AsTMetafile();
    /// Puts the chart on the clipboard as "image/svg+xml" and as an image.
    void CopyToClipboard();
    /// Prints the chart as one page into Rect (printer pixels) keeping its shape: centred
    /// when Rect is wider, at its left edge when taller; nothing without a printer.
    void PrintTo(QPrinter* APrinter, const QRect& Rect);
    /// The same on the painter of a running print job (its device's pixels).
    void PrintTo(QPainter& PrinterPainter, const QRect& Rect);
    /// Draws the export with its top left at Painter's origin; Vector for vector targets.
    void PaintExport(QPainter& Painter, bool Vector);

    // Item host (GraphItems.cpp): legends, labels and markers.
    QWidget* HostWidget() override { return this; }
    void AddItem(TVxChartItem* Item) override;
    void RemoveItem(TVxChartItem* Item) override;
    void ItemRepaint(TVxChartItem& Item) override;
    void ItemLayoutModified(TVxChartItem& Item) override;
    QSize HostClientSize() const override { return size(); }
    bool HostUpdating() const override { return Updating(); }
    void ApplyItemQuality(TVxSurface& Gr) const override { SetHighQuality(Gr, true); }
    std::vector<TVxSeries*> HostSeries() const override { return RelatedSeries(); }
    TVxChartItemHost* CouplingOwner() override;
    std::vector<TVxChartItemHost*> CoupledChildren() override;
    /// The items in painting order (layer, then order of adding).
    std::vector<TVxChartItem*> Items() const;

protected:
    void resizeEvent(QResizeEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void PaintOverlay(QPainter& Painter) override;
    /// Docked legends along the borders take their room from the margins.
    virtual void LayoutLegends(double& Left, double& Top, double& Right, double& Bottom);
    /// Centres docked legends on the graph or the data area once the data area is known.
    void AlignLegends();
    /// The visible legends among the items that are not free floating.
    std::vector<TVxLegend*> DockedLegends() const;
    /// Items get the mouse before the graph's own handlers.
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    struct TMargins {
        double Left = 0, Top = 0, Right = 0, Bottom = 0;
    };
    void LayoutOwnAxes();
    void AlignChildGraphs();
    void PlaceTexts(TVxAxis& Axis);
    void ClipToDataArea(TVxSurface& Gr) const;
    void PaintGrids(TVxSurface& Gr);
    void SizeChanged();
    void AxisDestroyed();
    void PollTimer();
    void SeriesDestroyed();
    void MouseDown(TVxShiftState Shift, QPoint Position);
    void MouseMove(QPoint Position);
    void MouseUp();
    void Click(QPoint Position);
    void DblClick(QPoint Position);
    void PanTo(QPoint Position);
    bool InDataArea(QPoint Position) const;
    void UpdateFocusRectangle(const QRect& Old, const QRect& New);
    void ZoomResetOwn(bool KeepSharedX);
    void StepHistory(int Direction, int Stage);
    std::vector<TVxGraph2D*> CoupledOthers() const;
    void AlignCoupledStages();
    void RepaintCoupled();
    void ScrollAxis(TVxAxis& Axis, double Fraction, bool Tracking, bool Recording);
    void ConnectScrollBars();
    void ScrollAction(Qt::Orientation Bar, int Action);
    void EndScroll(Qt::Orientation Bar);
    void PaintItems(TVxSurface& Gr);
    bool OfferMouse(QEvent* Event);
    /// Sends leave and enter to the items when the item under Position changes (nullptr
    /// position: the mouse left the graph) and shows the cursor of the item under it.
    void UpdateHoverItem(const QPointF* Position);

    TVxLineSettings* FDataAreaFrame;
    TVxGradientSettings* FDataAreaGradient;
    TVxLineSettings* FMajorGridHorizontal;
    TVxLineSettings* FMinorGridHorizontal;
    TVxLineSettings* FMajorGridVertical;
    TVxLineSettings* FMinorGridVertical;
    QScrollBar* FHScrollBar;
    QScrollBar* FVScrollBar;
    QPointer<TVxAxis> FPrimaryXAxis;
    QPointer<TVxAxis> FPrimaryYAxis;
    std::vector<QPointer<TVxAxis>> FChildAxes;
    std::vector<QPointer<TVxAxis>> FAxes;
    std::vector<QPointer<TVxGraph2D>> FChildGraphs;
    std::vector<QPointer<TVxSeries>> FRelatedSeries;
    std::vector<QPointer<TVxChartItem>> FItems;
    QPointer<TVxChartItem> FMouseItem; // the item that took the press
    QPointer<TVxChartItem> FHoverItem; // the item under the mouse (mouse tracking)
    QCursor FItemOldCursor;            // the cursor before an item's own was shown
    bool FItemCursorShown = false;
    QRectF FDrawingArea;
    TVxColor FDataAreaColor = VxColor(0x00FFFFFF);
    float FDistanceBorderAxisTop = 0;
    float FDistanceBorderAxisBottom = 0;
    float FDistanceBorderAxisLeft = 0;
    float FDistanceBorderAxisRight = 0;
    bool FZeroOrigin = false;
    bool FLoading = false;
    bool FPanDragging = false;
    bool FDoingMetafile = false;
    bool FHasChildGraphs = false;
    bool FIsCoupledGraph = false;
    bool FDoHScrollBar = false;
    bool FDoVScrollBar = false;
    bool FDestroying = false;
    mutable bool FStoreIncludingBarCaptions = true;
    friend class TVxGraphRecords;
    TVxZoomSettings* FZoom;
    bool FZoomDragging = false;
    /// A press started a click (not the second press of a double click).
    bool FClicked = false;
    /// Line steps or thumb tracking moved an axis since the last recorded stage.
    bool FScrollPending = false;
    QPoint FDragStart;
    QPoint FLastDrag;
    std::vector<double> FInitialStarts;
    std::vector<double> FInitialStops;
    QCursor FOldCursor;
};
