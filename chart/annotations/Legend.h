#pragma once
// The legend: lists the series of a graph, each as a small glyph drawn by the series itself
// followed by the series caption, in rows or columns, with an optional title, background,
// frame, shadow and rounded corners. TVxCustomLegend holds the appearance and the layout;
// TVxLegend adds the graph whose series are listed, the order list, the docking position and
// dragging with the mouse.
//
// A legend is an item of the graph that paints it (its host). A docked legend is placed by
// the graph's layout, which gives up the legend's size on that side of the data area; a
// free-floating one stays where it was put or dragged. Files: LegendProperties.cpp (setters
// and undo), LegendLayout.cpp (items, sizes, positions), LegendPainter.cpp, LegendMouse.cpp
// (dragging), LegendRecords.cpp (stream, XML and ini records).

#include "annotations/ChartItem.h"
#include "axes/AxisLook.h"
#include "captions/CaptionVariables.h"
#include "captions/RichCaption.h"
#include "drawing/Color.h"
#include "persistence/BinaryStream.h"
#include "persistence/IniFile.h"
#include "series/Series.h"
#include "styles/GradientSettings.h"
#include "styles/LineSettings.h"
#include "styles/VxFont.h"

#include <QPointer>
#include <QRect>
#include <QStringList>
#include <functional>
#include <pugixml.hpp>
#include <vector>

class TVxSeries;
class TVxUndoStack;

/// Where a legend sits ("Axis" means the data area); streamed as ordinals 0 to 10.
enum class TVxLegendPosition {
    BottomCenterOfGraph, ///< below the data area, centred on the graph
    BottomCenterOfAxis,  ///< below the data area, centred on it
    LeftCenterOfGraph,   ///< left of the data area, centred vertically on the graph
    LeftCenterOfAxis,    ///< left of the data area, centred vertically on it
    LeftTopOfAxis,       ///< left of the data area, at its top
    TopCenterOfGraph,    ///< above the data area, centred on the graph
    TopCenterOfAxis,     ///< above the data area, centred on it
    RightCenterOfGraph,  ///< right of the data area, centred vertically on the graph
    RightCenterOfAxis,   ///< right of the data area, centred vertically on it
    RightTopOfAxis,      ///< right of the data area, at its top
    FreeFloating,        ///< anywhere, draggable
};

/// How items fill the legend.
enum class TVxItemsOrder {
    ByColumn, ///< columns first
    ByRow,    ///< rows first
};

/// Where item captions take their colour from.
enum class TVxLegendCaptionColorFrom {
    LegendForeColor,     ///< the legend's ForeColor
    SeriesLineColor,     ///< each series' line colour
    SeriesAreaForeColor, ///< each series' area foreground colour
};

/// What a caption handler gets (and may change).
struct TVxLegendItemCaptionEventArgs {
    /// The item caption, the series caption at first.
    QString Caption;
    /// The item's index in the legend.
    int Index = 0;
};

/// Draws an item's glyph instead of its series; Sender is the series.
using TVxLegendItemDrawHandler = std::function<void(TVxSeries* Sender, TVxLegendItemDrawArgs& e)>;
/// Changes an item's caption; Sender is the series.
using TVxLegendItemCaptionEventHandler =
    std::function<void(TVxSeries* Sender, TVxLegendItemCaptionEventArgs& e)>;

/// The keys and buttons that start dragging (bits as in the graph's mouse states: Shift 1,
/// Alt 2, Ctrl 4, Left 8, Right 16, Middle 32, Double 64).
inline constexpr int ShiftLeftButton = 8;

class TVxCustomLegend : public TVxChartItem, public TVxCaptionDependent {
    Q_OBJECT
    Q_PROPERTY(TVxFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(int ForeColor READ ForeColor WRITE SetForeColor)
    Q_PROPERTY(int BackColor READ BackColor WRITE SetBackColor)
    Q_PROPERTY(
        TVxGradientSettings* BackgroundGradient READ BackgroundGradient WRITE SetBackgroundGradient)
    Q_PROPERTY(TVxLineSettings* Frame READ Frame WRITE SetFrame)
    Q_PROPERTY(bool BorderRaised READ BorderRaised WRITE SetBorderRaised)
    Q_PROPERTY(bool BorderLowered READ BorderLowered WRITE SetBorderLowered)
    Q_PROPERTY(bool DropShadow READ DropShadow WRITE SetDropShadow)
    Q_PROPERTY(float CornerRounding READ CornerRounding WRITE SetCornerRounding)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(TVxFont* CaptionFont READ CaptionFont WRITE SetCaptionFont)
    Q_PROPERTY(int CaptionColor READ CaptionColor WRITE SetCaptionColor)
    Q_PROPERTY(bool CaptionVisible READ CaptionVisible WRITE SetCaptionVisible)
    Q_PROPERTY(int CaptionAlignment READ CaptionAlignmentOrdinal WRITE SetCaptionAlignmentOrdinal)
    Q_PROPERTY(
        float CaptionDistanceBefore READ CaptionDistanceBefore WRITE SetCaptionDistanceBefore)
    Q_PROPERTY(float CaptionDistanceAfter READ CaptionDistanceAfter WRITE SetCaptionDistanceAfter)
    Q_PROPERTY(float ItemHeight READ ItemHeight WRITE SetItemHeight)
    Q_PROPERTY(float ItemWidth READ ItemWidth WRITE SetItemWidth)
    Q_PROPERTY(float DistanceItemCaption READ DistanceItemCaption WRITE SetDistanceItemCaption)
    Q_PROPERTY(float DistanceBetweenLines READ DistanceBetweenLines WRITE SetDistanceBetweenLines)
    Q_PROPERTY(
        float DistanceBetweenColumns READ DistanceBetweenColumns WRITE SetDistanceBetweenColumns)
    Q_PROPERTY(float DistanceToBorder READ DistanceToBorder WRITE SetDistanceToBorder)
    Q_PROPERTY(int Columns READ Columns WRITE SetColumns)
    Q_PROPERTY(int Rows READ Rows WRITE SetRows)
    Q_PROPERTY(int ItemsOrder READ ItemsOrderOrdinal WRITE SetItemsOrderOrdinal)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)

public:
    /// A legend with the documented defaults, on no graph.
    explicit TVxCustomLegend(QObject* AOwner = nullptr);
    ~TVxCustomLegend() override;

    // Appearance.
    /// Font of the item captions (owned; SetFont copies into it as one undo step).
    TVxFont* Font() const { return FFont; }
    void SetFont(TVxFont* Value);
    /// Fill colour of Font.
    TVxColor ForeColor() const;
    void SetForeColor(TVxColor Value);
    /// Background colour (default transparent).
    TVxColor BackColor() const { return FBackColor; }
    void SetBackColor(TVxColor Value);
    /// Background gradient, used instead of BackColor when visible (owned).
    TVxGradientSettings* BackgroundGradient() const { return FBackgroundGradient; }
    void SetBackgroundGradient(TVxGradientSettings* Value);
    /// Border line (owned).
    TVxLineSettings* Frame() const { return FFrame; }
    void SetFrame(TVxLineSettings* Value);
    /// Three-dimensional borders; turning either on hides Frame.
    bool BorderRaised() const { return FBorderRaised; }
    void SetBorderRaised(bool Value);
    bool BorderLowered() const { return FBorderLowered; }
    void SetBorderLowered(bool Value);
    /// A shadow to the lower right, drawn only over a mostly opaque background.
    bool DropShadow() const { return FDropShadow; }
    void SetDropShadow(bool Value);
    /// Corner radius in pixels.
    float CornerRounding() const { return FCornerRounding; }
    void SetCornerRounding(float Value);

    // Title.
    /// The title (rich caption; trailing blanks removed).
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& Value);
    /// Title font (owned; SetCaptionFont copies into it as one undo step).
    TVxFont* CaptionFont() const { return FCaptionFont; }
    void SetCaptionFont(TVxFont* Value);
    /// Fill colour of CaptionFont.
    TVxColor CaptionColor() const;
    void SetCaptionColor(TVxColor Value);
    bool CaptionVisible() const { return FCaptionVisible; }
    void SetCaptionVisible(bool Value);
    TVxCaptionAlignment CaptionAlignment() const { return FCaptionAlignment; }
    void SetCaptionAlignment(TVxCaptionAlignment Value);
    float CaptionDistanceBefore() const { return FCaptionDistanceBefore; }
    void SetCaptionDistanceBefore(float Value);
    float CaptionDistanceAfter() const { return FCaptionDistanceAfter; }
    void SetCaptionDistanceAfter(float Value);
    /// The caption, or the component name when it is empty.
    QString CaptionAsString() const;

    // Items and layout.
    /// Minimum item height (the effective height also covers the font and the series).
    float ItemHeight() const { return FItemHeightSet; }
    void SetItemHeight(float Value);
    /// Width of an item's glyph area.
    float ItemWidth() const { return FItemWidth; }
    void SetItemWidth(float Value);
    float DistanceItemCaption() const { return FDistanceItemCaption; }
    void SetDistanceItemCaption(float Value);
    float DistanceBetweenLines() const { return FDistanceBetweenLines; }
    void SetDistanceBetweenLines(float Value);
    float DistanceBetweenColumns() const { return FDistanceBetweenColumns; }
    void SetDistanceBetweenColumns(float Value);
    /// Inner margin.
    float DistanceToBorder() const { return FDistanceToBorder; }
    void SetDistanceToBorder(float Value);
    /// Columns of ByColumn and rows of ByRow (at least 1).
    int Columns() const { return FColumns; }
    void SetColumns(int Value);
    int Rows() const { return FRows; }
    void SetRows(int Value);
    TVxItemsOrder ItemsOrder() const { return FItemsOrder; }
    void SetItemsOrder(TVxItemsOrder Value);
    /// The legend sizes itself to its content.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    /// Where item captions take their colour from.
    TVxLegendCaptionColorFrom LegendCaptionColorFrom() const { return FLegendCaptionColorFrom; }
    void SetLegendCaptionColorFrom(TVxLegendCaptionColorFrom Value);
    /// Shows or hides the legend (undoable; a docked legend makes the graph lay out again).
    void SetVisible(bool Value) override;

    // Control properties kept for the records.
    QString Hint() const { return FHint; }
    void SetHint(const QString& Value) { FHint = Value; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value) { FShowHint = Value; }
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool Value) { FParentShowHint = Value; }

    /// Replaces the drawing of an item's glyph.
    TVxLegendItemDrawHandler OnDrawLegendItem;
    /// May change an item's caption.
    TVxLegendItemCaptionEventHandler OnGetLegendItemCaption;

    // Operations.
    /// The undo stack setters record on (handed to Frame and BackgroundGradient).
    TVxUndoStack* UndoStack() const { return FUndoStack; }
    virtual void SetUndoStack(TVxUndoStack* Stack);
    /// Brings items, item height, layout and caption colours up to date when needed.
    virtual void PreparePaint();
    /// The layout must be computed again; a docked legend's graph lays out again.
    virtual void Modified();
    /// Measures the title again, then Modified.
    void ParseCaption();
    /// A variable shown in the title or an item caption changed: measure again.
    void UpdateCaptionVariables() override { ParseCaption(); }
    /// The series drawn into the item of Series (it and the series merged into it), each
    /// when visible, in the graph's order.
    std::vector<TVxSeries*> ItemParticipants(TVxSeries* Series) const;
    void PaintGr(TVxSurface& Gr) override;

    // Layout results.
    /// The listed series in display order (freed series are skipped).
    std::vector<TVxSeries*> ItemSeries() const;
    /// The glyph rectangle of each item, in legend pixels.
    const std::vector<QRect>& ItemRects() const { return FItemRects; }
    /// The measured caption of each item (anchor in legend pixels).
    const std::vector<TVxRichCaptionRec>& ItemCaptions() const { return FLegendCaptions; }
    /// The effective item height.
    float EffectiveItemHeight() const { return FItemHeight; }
    /// The content size of the last layout.
    QSizeF ContentSize() const { return {FContentWidth, FContentHeight}; }
    /// The drop shadow is drawn (DropShadow on a mostly opaque background).
    bool ShadowDrawn() const;

protected:
    /// Fills FItems from the graph (none here: a plain legend lists nothing), then measures
    /// the item captions.
    virtual void RebuildItems();
    /// The related series of the listed graph's coupling owner and of its coupled children.
    std::vector<TVxSeries*> SourceSeries() const;
    /// Measures a caption of each listed item.
    void MeasureItemCaptions(TVxSurface& Gr);
    /// The graph whose series the legend lists, nullptr for none.
    virtual TVxChartItemHost* ListedHost() const { return nullptr; }
    /// A docked legend: its size changes the graph's layout.
    virtual bool Docked() const { return false; }
    void BoundsChanged(bool Resized) override;
    void HostChanged() override;
    /// Records Name under Comment on the undo stack (when one is attached and not restoring).
    void Record(const char* Comment, const char* Name);
    bool Recording() const;
    /// A finite value, clamped to +-1e6 (lengths); false when it is unchanged or not finite.
    bool CheckedFloat(float& Value, float Current) const;
    void CalculateItemHeight();
    void LayoutItems();
    void ApplyCaptionColors();
    void MeasureTitle(TVxSurface& Gr);
    void SetFloat(float& Field, float Value, const char* Comment, const char* Name);

    QPointer<TVxUndoStack> FUndoStack;
    TVxFont* FFont;
    TVxFont* FCaptionFont;
    TVxGradientSettings* FBackgroundGradient;
    TVxLineSettings* FFrame;
    TVxColor FBackColor = VxColor(0x00FFFFFF);
    bool FBorderRaised = false;
    bool FBorderLowered = false;
    bool FDropShadow = false;
    float FCornerRounding = 0;
    QString FCaption;
    bool FCaptionVisible = false;
    TVxCaptionAlignment FCaptionAlignment = TVxCaptionAlignment::Center;
    float FCaptionDistanceBefore = 0;
    float FCaptionDistanceAfter = 0;
    float FItemHeightSet = 0;
    float FItemWidth = 80;
    float FDistanceItemCaption = 4;
    float FDistanceBetweenLines = 3;
    float FDistanceBetweenColumns = 10;
    float FDistanceToBorder = 8;
    int FColumns = 1;
    int FRows = 1;
    TVxItemsOrder FItemsOrder = TVxItemsOrder::ByColumn;
    bool FAutoSize = true;
    TVxLegendCaptionColorFrom FLegendCaptionColorFrom = TVxLegendCaptionColorFrom::LegendForeColor;
    QString FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;

    std::vector<QPointer<TVxSeries>> FItems;
    std::vector<TVxRichCaptionRec> FLegendCaptions;
    std::vector<QRect> FItemRects;
    TVxRichCaptionRec FCaptionRec;
    bool FCaptionMeasured = false;
    float FItemHeight = 0;
    double FContentWidth = 0;
    double FContentHeight = 0;
    bool FRecalculate = true;
    bool FSetting = false;

private:
    int CaptionAlignmentOrdinal() const { return int(FCaptionAlignment); }
    void SetCaptionAlignmentOrdinal(int Value);
    int ItemsOrderOrdinal() const { return int(FItemsOrder); }
    void SetItemsOrderOrdinal(int Value);
    void FontChanged();
    void SetBorder(bool& Field, bool Value, const char* Comment, const char* Name);
};

class TVxLegend : public TVxCustomLegend {
    Q_OBJECT
    Q_PROPERTY(QWidget* Graph READ GraphWidget WRITE SetGraphWidget)
    Q_PROPERTY(int Position READ PositionOrdinal WRITE SetPositionOrdinal)
    Q_PROPERTY(QStringList ItemsOrderList READ ItemsOrderList WRITE SetItemsOrderList)
    Q_PROPERTY(int StartFreeFloatingMovingKeys READ StartFreeFloatingMovingKeys WRITE
                   SetStartFreeFloatingMovingKeys)

public:
    /// A free-floating legend on no graph.
    Q_INVOKABLE explicit TVxLegend(QObject* AOwner = nullptr);
    ~TVxLegend() override;

    /// The graph whose series are listed (nullptr: none). Setting it makes that graph the
    /// legend's host when it has none.
    TVxChartItemHost* Graph() const;
    void SetGraph(TVxChartItemHost* Value);
    /// Graph as its widget (the published form).
    QWidget* GraphWidget() const { return FGraphWidget; }
    void SetGraphWidget(QWidget* Value);
    /// Docking position; docked positions set ItemsOrder (rows along the top and bottom).
    TVxLegendPosition Position() const { return FPosition; }
    void SetPosition(TVxLegendPosition Value);
    /// Component paths of the series listed first, in this order.
    QStringList ItemsOrderList() const { return FItemsOrderList; }
    void SetItemsOrderList(const QStringList& Value);
    /// The keys and buttons that start dragging a free-floating legend (default: the left
    /// button alone).
    int StartFreeFloatingMovingKeys() const { return FStartKeys; }
    void SetStartFreeFloatingMovingKeys(int Value) { FStartKeys = Value & 127; }
    /// Called when dragging starts.
    std::function<void(TVxLegend*)> OnStartFreeFloating;
    /// A drag is under way.
    bool Dragging() const { return FDragging; }

    void PreparePaint() override;
    bool MousePress(const TVxItemMouseEvent& e) override;
    void MouseMove(const TVxItemMouseEvent& e) override;
    void MouseRelease(const TVxItemMouseEvent& e) override;

    // Records.
    /// The binary record (the legend's path first).
    void WriteToStream(TVxStreamWriter& Out) const;
    /// Reads a binary record; a malformed one raises EVxStreamError and keeps what was read.
    void ReadFromStream(TVxStreamReader& In);
    /// The element "TVxLegend" below Parent.
    void WriteToXml(pugi::xml_node Parent) const;
    /// Reads an element "TVxLegend"; bad values raise EVxConvertError.
    void ReadFromXml(pugi::xml_node Element);
    /// The keys of Section.
    void WriteToIni(TVxIniFile& Ini, const QString& Section) const;
    void ReadFromIni(const TVxIniFile& Ini, const QString& Section);

protected:
    void RebuildItems() override;
    TVxChartItemHost* ListedHost() const override { return Graph(); }
    bool Docked() const override;

private:
    int PositionOrdinal() const { return int(FPosition); }
    void SetPositionOrdinal(int Value);
    void AddListed(TVxSeries* Series);

    QPointer<QWidget> FGraphWidget;
    TVxChartItemHost* FGraph = nullptr;
    TVxLegendPosition FPosition = TVxLegendPosition::FreeFloating;
    QStringList FItemsOrderList;
    int FStartKeys = ShiftLeftButton;
    bool FDragging = false;
    QPointF FDragStart;
    QPoint FDragOrigin;
};

/// The mouse state of an event in the bits of StartFreeFloatingMovingKeys.
int MouseShiftBits(const TVxItemMouseEvent& e);
