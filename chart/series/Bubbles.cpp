#include "series/Bubbles.h"

#include "drawing/Surface.h"
#include "persistence/BinaryStream.h"
#include "persistence/IniFile.h"
#include "persistence/PendingReferences.h"
#include "persistence/RecordErrors.h"
#include "persistence/XmlCodec.h"
#include "series/SeriesHost.h"
#include "undo/UndoStack.h"
#include "util/ComponentPaths.h"

#include <algorithm>
#include <cmath>

TVxBubbles::TVxBubbles(QObject* AOwner)
    : TVxSeries(AOwner), FXMin(MaxDouble), FXMax(-MaxDouble), FYMin(MaxDouble), FYMax(-MaxDouble) {
    SetCaption(UniqueComponentName(AOwner, QStringLiteral("VxBubbles")));
    Area()->SetVisible(true);
}

TVxBubbles::~TVxBubbles() {
    BeginDestruction();
    if (FRadius && !FRadius->IsDestroying() && FRadius != XData() && FRadius != YData())
        FRadius->RemoveRelatedSeries(this);
}

void TVxBubbles::RecordUndo(const char* Description, const char* PropName) {
    if (UndoStack() && !UndoStack()->Restoring())
        UndoStack()->PushProperty(this, QString::fromUtf8(Description), PropName);
}

void TVxBubbles::SetRadiusData(TVxCustomDoubleVector* Value) {
    if (Value == FRadius)
        return;
    RecordUndo("Bubbles radius data", "RadiusData");
    if (FRadius && !FRadius->IsDestroying()) {
        if (FRadius != XData() && FRadius != YData())
            FRadius->RemoveRelatedSeries(this);
        RemoveFreeNotification(FRadius);
    }
    FRadius = Value;
    FRadiusObject = Value;
    if (Value) {
        Value->AddRelatedSeries(this);
        FreeNotification(Value);
    }
    RangesModified();
}

void TVxBubbles::SetElliptical(bool Value) {
    if (Value == FElliptical)
        return;
    RecordUndo("Bubbles elliptical", "Elliptical");
    FElliptical = Value;
    RangesModified();
}

void TVxBubbles::SetRadiusTransformation(TVxValueTransformation Value) {
    mRadiusTransformation = std::move(Value);
    RangesModified();
}

void TVxBubbles::Notification(TVxComponent* AComponent, TVxOperation Operation) {
    if (Operation == TVxOperation::opRemove && !IsDestroying() &&
        AComponent == FRadiusObject.data()) {
        FRadius = nullptr;
        FBoxes.clear();
        FBoxIndex.clear();
        FBubbleCount = 0;
    }
    TVxSeries::Notification(AComponent, Operation);
}

std::vector<TVxCustomDoubleVector*> TVxBubbles::ReferencedVectors() const {
    std::vector<TVxCustomDoubleVector*> v = TVxSeries::ReferencedVectors();
    v.push_back(FRadius.data());
    return v;
}

double TVxBubbles::Radius(int i) const {
    if (!FRadius || i < 0 || i >= FRadius->GetCount())
        return 0;
    double r = std::abs(FRadius->GetValue(i));
    if (mRadiusTransformation) {
        TVxTransformEventArgs e{r, i};
        r = std::abs(mRadiusTransformation(const_cast<TVxBubbles*>(this), e));
    }
    return std::isfinite(r) ? r : 0;
}

bool TVxBubbles::BubbleHasValues(int i) const {
    if (OutliersVisible())
        return true;
    if (!HasValuesAt(i))
        return false;
    return !(FRadius && FRadius->AnyOutliers() && FRadius->IsOutlier(i));
}

int TVxBubbles::GetUsableCount() {
    if (!XData() || !YData() || !FRadius)
        return 0;
    return std::min({XData()->GetCount(), YData()->GetCount(), FRadius->GetCount()});
}

void TVxBubbles::PointsModified() {
    FStale = true;
    FExtentStale = true;
    TVxSeries::PointsModified();
}

void TVxBubbles::RangesModified() {
    FStale = true;
    FExtentStale = true;
    TVxSeries::RangesModified();
}

void TVxBubbles::SetLastCount(int Value) {
    FStale = true;
    FExtentStale = true;
    TVxSeries::SetLastCount(Value);
}

// The factor that makes a radius in Y units equally long in X pixels: X units per Y unit
// on the screen. 1 for elliptical bubbles and wherever a length is missing.
double TVxBubbles::WidthFactor() const {
    if (FElliptical || !XAxis() || !YAxis())
        return 1;
    const double nx = XAxis()->Scale().NormalizeConst, ny = YAxis()->Scale().NormalizeConst;
    if (!(nx > 0) || !(ny > 0) || !std::isfinite(nx / ny))
        return 1;
    return nx / ny;
}

void TVxBubbles::Calculate() {
    if (!XData() || !YData() || !FRadius || !XAxis() || !YAxis())
        return;
    const int n = GetUsableCount();
    if (n == FBubbleCount && !FExtentStale)
        return;
    FBubbleCount = n;
    FExtentStale = false;
    double xmin = MaxDouble, xmax = -MaxDouble, ymin = MaxDouble, ymax = -MaxDouble;
    double x0 = MaxDouble, x1 = -MaxDouble;
    for (int i = 0; i < n; ++i) {
        if (!BubbleHasValues(i))
            continue;
        const double x = TransformXValue(i, XData()->GetValue(i));
        const double y = TransformYValue(i, YData()->GetValue(i));
        const double r = Radius(i);
        if (!std::isfinite(x) || !std::isfinite(y))
            continue;
        ymin = std::min(ymin, y - r);
        ymax = std::max(ymax, y + r);
        x0 = std::min(x0, x);
        x1 = std::max(x1, x);
    }
    // X units per Y unit that make a bubble round on the screen, from the data's extent and
    // the axes' lengths; 1 when either has no length.
    double k = 1;
    if (!FElliptical) {
        const double lx = XAxis()->AxLength(), ly = YAxis()->AxLength();
        const double dy = ymax - ymin, dx = x1 - x0;
        if (dy > 0 && lx > 0 && ly > 0 && dx > 0 && std::isfinite(dx / dy))
            k = dx * ly / (dy * lx);
    }
    for (int i = 0; i < n; ++i) {
        if (!BubbleHasValues(i))
            continue;
        const double x = TransformXValue(i, XData()->GetValue(i));
        if (!std::isfinite(x))
            continue;
        const double r = Radius(i);
        xmin = std::min(xmin, x - k * r);
        xmax = std::max(xmax, x + k * r);
    }
    if (xmin != FXMin || xmax != FXMax) {
        FXMin = xmin;
        FXMax = xmax;
        XAxis()->RangeModified();
    }
    if (ymin != FYMin || ymax != FYMax) {
        FYMin = ymin;
        FYMax = ymax;
        YAxis()->RangeModified();
    }
    FStale = true;
    Invalidate();
}

TVxValueRange TVxBubbles::AxisValueRange(bool Horizontal) const {
    const bool xHorizontal = !XAxis() || XAxis()->Horizontal();
    if (Horizontal == xHorizontal)
        return {FXMin, FXMax};
    return {FYMin, FYMax};
}

bool TVxBubbles::PointsStale() const {
    return FStale || !XAxis() || !YAxis() || FLastMapping.Changed(*XAxis(), *YAxis());
}

void TVxBubbles::EnsurePoints() {
    if (PointsStale())
        CalculatePoints();
}

void TVxBubbles::CalculatePoints() {
    TVxSeries::CalculatePoints();
    FBoxes.clear();
    FBoxIndex.clear();
    FStale = false;
    if (!XAxis() || !YAxis() || !XData() || !YData() || !FRadius)
        return;
    FLastMapping.Remember(*XAxis(), *YAxis());
    const int n = std::min(FBubbleCount, GetUsableCount());
    const double k = WidthFactor();
    for (int i = 0; i < n; ++i) {
        if (!BubbleHasValues(i))
            continue;
        const double x = TransformXValue(i, XData()->GetValue(i));
        const double y = TransformYValue(i, YData()->GetValue(i));
        if (!std::isfinite(x) || !std::isfinite(y))
            continue;
        const double r = Radius(i), rx = k * r;
        // The box from the pixels of both ends on each axis: right on twisted axes too.
        const QRectF box =
            QRectF(QPointF(XAxis()->NumberToWorld(x - rx), YAxis()->NumberToWorld(y + r)),
                   QPointF(XAxis()->NumberToWorld(x + rx), YAxis()->NumberToWorld(y - r)))
                .normalized();
        FBoxes.push_back(box);
        FBoxIndex.push_back(i);
    }
}

void TVxBubbles::PaintGr(TVxSurface& Gr) {
    if (!XAxis() || !YAxis() || !Host() || !SeriesVisible())
        return;
    EnsurePoints();
    const QRectF area = Host()->DrawingArea();
    for (size_t k = 0; k < FBoxes.size(); ++k) {
        const QRectF& box = FBoxes[k];
        if (!box.intersects(area.adjusted(-1, -1, 1, 1)))
            continue;
        const int i = FBoxIndex[k];
        if (Area()->Visible() || OnGetBrush) {
            TVxBrushEventArgs e;
            e.Index = i;
            e.X = TransformXValue(i, XData()->GetValue(i));
            e.Y = TransformYValue(i, YData()->GetValue(i));
            e.Brush = Area()->GetBrush(box);
            e.Visible = Area()->Visible();
            if (OnGetBrush)
                OnGetBrush(this, e);
            if (e.Visible)
                Gr.FillEllipse(e.Brush, box);
        }
        if (Line()->Visible() || OnGetPen) {
            TVxPenEventArgs e;
            e.Index = i;
            e.X = TransformXValue(i, XData()->GetValue(i));
            e.Y = TransformYValue(i, YData()->GetValue(i));
            e.Pen = LinePen();
            e.Visible = Line()->Visible();
            if (OnGetPen)
                OnGetPen(this, e);
            if (e.Visible)
                Gr.DrawEllipse(e.Pen, box);
        }
    }
}

int TVxBubbles::FindPoint(float X, float Y) {
    if (PointsStale())
        return -1;
    for (size_t k = 0; k < FBoxes.size(); ++k) {
        const QRectF& b = FBoxes[k];
        if (X >= b.left() && X <= b.right() && Y >= b.top() && Y <= b.bottom())
            return FBoxIndex[k];
    }
    return -1;
}

int TVxBubbles::FindPoint(float X, float Y, float Delta) {
    (void)Delta;
    return FindPoint(X, Y);
}

void TVxBubbles::DrawListItem(TVxLegendItemDrawArgs& e) {
    DrawListItem(e, TVxLegendItemStyle::Filled);
}

void TVxBubbles::DrawListItem(TVxLegendItemDrawArgs& e, TVxLegendItemStyle Style) {
    (void)Style;
    if (!e.Graphics)
        return;
    const double d = std::min(e.Rect.width(), e.Rect.height());
    const QRectF r(e.Rect.x() + (e.Rect.width() - d) / 2, e.Rect.y() + (e.Rect.height() - d) / 2, d,
                   d);
    if (Area()->Visible())
        e.Graphics->FillEllipse(Area()->GetBrush(r), r);
    if (Line()->Visible())
        e.Graphics->DrawEllipse(Line()->GetPen(r), r);
}

// ---------------------------------------------------------------------------------------------
// Records: the series record, then Elliptical and the radius vector's path.

void TVxBubbles::WriteTo(QIODevice& Stream) const {
    TVxSeries::WriteTo(Stream);
    TVxStreamWriter out(Stream);
    out.WriteBool(FElliptical);
    out.WriteText(ComponentPath(FRadius.data()));
    out.WriteContinuation(false);
}

void TVxBubbles::ReadFrom(QIODevice& Stream) {
    TVxSeries::ReadFrom(Stream);
    TVxReferenceReader refs;
    ReadNamedRecord("TVxBubbles", [&] {
        TVxStreamReader in(Stream);
        SetElliptical(in.ReadBool());
        const QString path = in.ReadText();
        refs.Add(this, path, TVxCustomDoubleVector::staticMetaObject,
                 [this](QObject* c) { SetRadiusData(qobject_cast<TVxCustomDoubleVector*>(c)); });
        CheckEndMarker(in.ReadByte(), "after the radius data");
    });
    refs.Finish();
}

void TVxBubbles::WriteXmlContent(pugi::xml_node Element) const {
    TVxSeries::WriteXmlContent(Element);
    pugi::xml_node b = Element.append_child("Bubbles");
    SetXmlBool(b, "Elliptical", FElliptical);
    SetXmlText(b, "RadiusData", ComponentPath(FRadius.data()));
}

void TVxBubbles::ReadFrom(pugi::xml_node Element) {
    TVxSeries::ReadFrom(Element);
    TVxReferenceReader refs;
    ReadNamedRecord("TVxBubbles", [&] {
        const pugi::xml_node b = Element.child("Bubbles");
        if (!b)
            return;
        SetElliptical(XmlBool(b, "Elliptical", FElliptical));
        if (b.attribute("RadiusData"))
            refs.Add(
                this, XmlText(b, "RadiusData"), TVxCustomDoubleVector::staticMetaObject,
                [this](QObject* c) { SetRadiusData(qobject_cast<TVxCustomDoubleVector*>(c)); });
    });
    refs.Finish();
}

void TVxBubbles::WriteTo(TVxIniFile& Ini, const QString& Section) const {
    TVxSeries::WriteTo(Ini, Section);
    Ini.WriteBool(Section, "Elliptical", FElliptical);
    Ini.WriteString(Section, "RadiusData", ComponentPath(FRadius.data()));
}

void TVxBubbles::ReadFrom(const TVxIniFile& Ini, const QString& Section) {
    TVxSeries::ReadFrom(Ini, Section);
    TVxReferenceReader refs;
    ReadNamedRecord("TVxBubbles", [&] {
        SetElliptical(Ini.ReadBool(Section, "Elliptical", FElliptical));
        if (Ini.ValueExists(Section, "RadiusData"))
            refs.Add(this, Ini.ReadString(Section, "RadiusData", {}),
                     TVxCustomDoubleVector::staticMetaObject, [this](QObject* c) {
                         SetRadiusData(qobject_cast<TVxCustomDoubleVector*>(c));
                     });
    });
    refs.Finish();
}
