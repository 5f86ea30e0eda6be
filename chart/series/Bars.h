#pragma once
// Bar charts. Each bar spans a class of the category axis (the category vector holds the
// class boundaries, one more than the bars; the series' own indexer gives classes i .. i + 1)
// and rises from zero to its value on the value axis. The bar series of one graph share their
// look (BarStyle, BarsHorizontal, Depth3D, ClassesDistance, OverlayStyle: setting one sets
// all, as one undo step) and either share each class side by side (Shift) or pile up
// (Stack). The first visible bar series of the graph paints them all, interleaved by index.
//
// The geometry is recomputed whenever the points are stale, in O(n) without allocation per
// bar; labels are measured once per distinct text and not at all when their font would be
// below one pixel. On raster targets only the bars that are the last to reach some pixel are
// drawn (unless OnGetPen or OnGetBrush decide per bar).

#include "AxisMappingMemo.h"
#include "captions/RichCaption.h"
#include "drawing/TopmostSelection.h"
#include "series/BarsGeometry.h"
#include "series/Series.h"
#include "vectors/DataSource.h"

#include <QHash>
#include <QMetaObject>
#include <QPointer>
#include <QStringList>
#include <QStringListModel>
#include <functional>
#include <utility>
#include <vector>

class TVxFont;
class TVxListLink;

/// What OnGetLabel receives: the label text to replace and the data index.
struct TVxGetLabelEventArgs {
    TVxRichCaption Caption;
    int Index = 0;
};
/// Replaces the text of one bar label.
using TVxGetLabelEventHandler = std::function<void(TVxSeries* Sender, TVxGetLabelEventArgs& e)>;

class TVxBars : public TVxSeries {
    Q_OBJECT
    Q_PROPERTY(QString CaptionsField READ CaptionsField WRITE SetCaptionsField)
    Q_PROPERTY(TVxDataSource* DataSource READ DataSource WRITE SetDataSource)
    Q_PROPERTY(int OverlayStyle READ OverlayStyleOrdinal WRITE SetOverlayStyleOrdinal)
    Q_PROPERTY(bool BarsHorizontal READ BarsHorizontal WRITE SetBarsHorizontal)
    Q_PROPERTY(int BarStyle READ BarStyleOrdinal WRITE SetBarStyleOrdinal)
    Q_PROPERTY(double Depth3D READ Depth3D WRITE SetDepth3D)
    Q_PROPERTY(double ClassesDistance READ ClassesDistance WRITE SetClassesDistance)
    Q_PROPERTY(QStringList Captions READ Captions WRITE SetCaptions)
    Q_PROPERTY(TVxFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(int LabelColor READ LabelColor WRITE SetLabelColor)
    Q_PROPERTY(QString LabelFormat READ LabelFormat WRITE SetLabelFormat)
    Q_PROPERTY(int LabelFrom READ LabelFromOrdinal WRITE SetLabelFromOrdinal)
    Q_PROPERTY(int LabelPosition READ LabelPositionOrdinal WRITE SetLabelPositionOrdinal)
    Q_PROPERTY(float LabelSize READ LabelSize WRITE SetLabelSize)
    Q_PROPERTY(bool LabelVertical READ LabelVertical WRITE SetLabelVertical)

public:
    /// Blue outline, navy fill, Depth3D 50, no class gap, invisible value labels in bold red
    /// Arial 12, LabelSize 20, an own empty caption list.
    explicit TVxBars(QObject* AOwner = nullptr);
    ~TVxBars() override;

    // Graph-wide properties: setting one sets every bar series of the graph (one undo step).
    TVxBarsOverlayStyle OverlayStyle() const { return FOverlayStyle; }
    void SetOverlayStyle(TVxBarsOverlayStyle Value);
    /// Bars lie along the X axis (the category axis is Y); turning swaps X and Y data.
    bool BarsHorizontal() const { return FBarsHorizontal; }
    void SetBarsHorizontal(bool Value);
    TVxBarStyle BarStyle() const { return FBarStyle; }
    void SetBarStyle(TVxBarStyle Value);
    /// Depth of cuboids and cylinders in per cent units of the inner class width.
    double Depth3D() const { return F3DDepth; }
    void SetDepth3D(double Value);
    /// Gap between classes in per cent of the class width.
    double ClassesDistance() const { return FClassesDistance; }
    void SetClassesDistance(double Value);

    // Labels.
    /// The label font (owned; SetFont copies).
    TVxFont* Font() const { return FFont; }
    void SetFont(TVxFont* Value);
    /// The label font's fill colour.
    TVxColor LabelColor() const;
    void SetLabelColor(TVxColor Value);
    /// Number pattern of value and percent labels (empty: general form).
    QString LabelFormat() const { return FLabelFormat; }
    void SetLabelFormat(const QString& Value);
    TVxLabelStyle LabelFrom() const { return FLabelFrom; }
    void SetLabelFrom(TVxLabelStyle Value);
    TVxBarLabelPosition LabelPosition() const { return FLabelPosition; }
    void SetLabelPosition(TVxBarLabelPosition Value);
    /// Label font size in per cent of the narrowest inner class width.
    float LabelSize() const { return FLabelSize; }
    void SetLabelSize(float Value);
    /// Labels turned by 90 degrees.
    bool LabelVertical() const { return FLabelVertical; }
    void SetLabelVertical(bool Value);
    /// Replaces a label's text.
    TVxGetLabelEventHandler OnGetLabel;

    // Captions.
    /// The class captions in use: the followed model's list, else the own list; empty while
    /// the captions are bound to a data set.
    QStringList Captions() const;
    /// Replaces the own list (undoable). Raises EVxException for a non-empty list while a
    /// data-set binding is set.
    void SetCaptions(const QStringList& Value);
    /// Follows an application's list model (not owned) instead of the own list; nullptr
    /// detaches, leaving the application's list as it is.
    void SetCaptionsModel(QStringListModel* Model);
    QStringListModel* CaptionsModel() const { return FCaptionsModel; }
    /// Captions from a data-set field: the data source and the field name.
    TVxDataSource* DataSource() const;
    void SetDataSource(TVxDataSource* Value);
    QString CaptionsField() const { return FCaptionsField; }
    void SetCaptionsField(const QString& Value);
    /// The captions come from the data set.
    bool DBData() const { return FDBData; }

    // Geometry, for hit tests and tests.
    /// Number of bars at the last extent computation.
    int BarCount() const { return FBarCount; }
    /// The bars' first corners (left, value end for vertical bars) and second corners.
    const std::vector<QPointF>& BarTopLeft() const { return FTopLeft; }
    const std::vector<QPointF>& BarBottomRight() const { return FBottomRight; }
    /// 3-D offsets and cylinder lean in pixels.
    float DepthX() const { return FDepthX; }
    float DepthY() const { return FDepthY; }
    float ZylShift() const { return FZylShift; }
    /// The category and value extent last reported.
    double CategoryStart() const { return FCatStart; }
    double CategoryStop() const { return FCatStop; }
    double ValueStart() const { return FValStart; }
    double ValueStop() const { return FValStop; }
    /// The stacking bar series below this one.
    std::vector<TVxBars*> OtherBars() const;
    /// No later bar series of the graph shares this series' category axis.
    bool TopMost() const { return FTopMost; }
    /// The laid-out label of bar k (text, anchor, measured size); Valid false without one.
    struct TLabel {
        bool Valid = false;
        QString Text;
        QPointF Anchor;
        QSizeF Size;
    };
    TLabel LabelAt(int k) const;
    /// The value of bar i as drawn (stacked sum for Stack), the transformed category
    /// boundary k.
    double BarValue(int i) const;
    double Boundary(int k) const;
    /// Lays the bars out when their points are stale.
    void EnsurePoints();

    // Series overrides.
    void Calculate() override;
    void PaintGr(TVxSurface& Gr) override;
    void DrawSymbols(TVxSurface& Gr) override { (void)Gr; }
    float ExtraSpaceAt(int Border) const override;
    int FindPoint(float X, float Y) override;
    int FindPoint(float X, float Y, float Delta) override;
    void DrawListItem(TVxLegendItemDrawArgs& e) override;
    void DrawListItem(TVxLegendItemDrawArgs& e, TVxLegendItemStyle Style) override;
    void PointsModified() override;
    void RangesModified() override;
    void SetLastCount(int Value) override;
    void VectorChanged() override;
    TVxValueRange AxisValueRange(bool Horizontal) const override;

    using TVxSeries::ReadFrom;
    using TVxSeries::WriteTo;
    void WriteTo(QIODevice& Stream) const override;
    void ReadFrom(QIODevice& Stream) override;
    void WriteTo(TVxIniFile& Ini, const QString& Section) const override;
    void ReadFrom(const TVxIniFile& Ini, const QString& Section) override;
    void WriteXmlContent(pugi::xml_node Element) const override;
    void ReadFrom(pugi::xml_node Element) override;

protected:
    int GetUsableCount() override;
    void CalculatePoints() override;
    void Notification(TVxComponent* AComponent, TVxOperation Operation) override;

private:
    friend struct TVxBarsPainter;
    int OverlayStyleOrdinal() const { return int(FOverlayStyle); }
    void SetOverlayStyleOrdinal(int Value);
    int BarStyleOrdinal() const { return int(FBarStyle); }
    void SetBarStyleOrdinal(int Value);
    int LabelFromOrdinal() const { return int(FLabelFrom); }
    void SetLabelFromOrdinal(int Value);
    int LabelPositionOrdinal() const { return int(FLabelPosition); }
    void SetLabelPositionOrdinal(int Value);

    std::vector<TVxBars*> GraphBars() const;
    void StoreLook(int Overlay, bool Horizontal, int Style);
    template <class TSet> void SetOnAll(const char* Description, const char* PropName, TSet Set);
    void RecordUndo(const char* Description, const char* PropName);
    TVxCustomDoubleVector* ValueVector() const;
    TVxCustomDoubleVector* CategoryVector() const;
    TVxAxis* CategoryAxis() const;
    TVxAxis* ValueAxis() const;
    double OwnValue(int i) const;
    bool HasBarValue(int i) const;
    void UpdateStacking();
    void DropStacking();
    void LabelsRefresh();
    void FontChanged();
    void LayoutLabels(double FontSize);
    double ValueSum() const;
    void ReloadDBCaptions();
    void DataSetChanged();
    bool PointsStale() const;
    void BarPixel(int i, double& Near, double& Far, double& ValueEnd, double& BaseEnd) const;

    bool FBarsHorizontal = false;
    bool FTopMost = true;
    bool FSetting = false;
    TVxBarStyle FBarStyle = TVxBarStyle::Flat;
    double F3DDepth = 50;
    double FClassesDistance = 0;
    TVxBarsOverlayStyle FOverlayStyle = TVxBarsOverlayStyle::Shift;
    std::vector<QPointer<TVxBars>> FOtherBars;
    // Value vectors of the series below this one that this series listens to for stacking.
    std::vector<QPointer<TVxCustomDoubleVector>> FStackVectors;

    std::vector<QPointF> FTopLeft;
    std::vector<QPointF> FBottomRight;
    float FDepthX = 1;
    float FDepthY = 1;
    float FZylShift = 0;
    float FLabelSize = 20;
    float FOldFontSize = 12;
    TVxFont* FFont = nullptr;
    QString FLabelFormat;
    bool FLabelVertical = false;
    TVxLabelStyle FLabelFrom = TVxLabelStyle::Value;
    TVxBarLabelPosition FLabelPosition = TVxBarLabelPosition::Invisible;
    bool FLabelsShown = false; // the last layout made labels
    // Laid-out labels: one measured caption per distinct text, and per bar its caption and
    // anchor (-1: none).
    std::vector<TVxRichCaptionRec> FLabelRecs;
    QHash<QString, int> FLabelLookup;
    std::vector<int> FLabelOf;
    std::vector<QPointF> FLabelAnchor;

    QStringList FOwnCaptions;
    QPointer<QStringListModel> FCaptionsModel;
    QList<QMetaObject::Connection> FModelConnections;
    QString FCaptionsField;
    bool FDBData = false;
    bool FDBModified = false;
    TVxListLink* FDataLink = nullptr;
    QStringList FDBCaptions;

    int FBarCount = 0;
    int FBarLastCount = 0;
    double FCatStart, FCatStop, FValStart, FValStop;
    bool FBarsStale = true;
    // The mappings the geometry was computed for: start, stop and their pixels per axis.
    TVxAxisMappingMemo FLastMapping;
    QRectF FLastArea;
    // Kept from paint to paint so that a repaint allocates nothing per bar: the drawing order
    // (series, bar) when several series paint, the selection's pixels and the picked items.
    std::vector<std::pair<int, int>> FPaintItems;
    TVxTopmostSelection FSelection;
    std::vector<int> FPicked;
};
