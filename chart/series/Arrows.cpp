#include "series/Arrows.h"

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
#include <numbers>

double ArrowAngle(QPointF From, QPointF To) {
    const double dx = To.x() - From.x(), dy = To.y() - From.y();
    if (dx == 0 && dy == 0)
        return 0;
    // Screen Y runs downwards, so atan2 of the pixel direction is already clockwise.
    double a = std::atan2(dy, dx) * 180 / std::numbers::pi;
    if (a < 0)
        a += 360;
    return a >= 360 ? 0 : a;
}

TVxArrows::TVxArrows(QObject* AOwner)
    : TVxSeries(AOwner), FXMin(MaxDouble), FXMax(-MaxDouble), FYMin(MaxDouble), FYMax(-MaxDouble) {
    SetCaption(UniqueComponentName(AOwner, QStringLiteral("VxArrows")));
    FArrow = new TVxArrowSettings([this] { ArrowsChanged(); }, this);
}

TVxArrows::~TVxArrows() {
    BeginDestruction();
    for (TVxCustomDoubleVector* v : {FdX.data(), FdY.data()})
        if (v && !v->IsDestroying() && v != XData() && v != YData())
            v->RemoveRelatedSeries(this);
}

void TVxArrows::RecordUndo(const char* Description, const char* PropName) {
    if (UndoStack() && !UndoStack()->Restoring())
        UndoStack()->PushProperty(this, QString::fromUtf8(Description), PropName);
}

void TVxArrows::ArrowsChanged() {
    if (IsDestroying())
        return;
    RangesModified();
}

void TVxArrows::SetArrow(const TVxArrowSettings* Value) {
    if (Value && Value != FArrow)
        FArrow->Assign(Value);
}

void TVxArrows::SetDelta(QPointer<TVxCustomDoubleVector>& Field, TVxCustomDoubleVector* Value,
                         const char* Description, const char* PropName) {
    if (Value == Field)
        return;
    RecordUndo(Description, PropName);
    if (Field && !Field->IsDestroying()) {
        TVxCustomDoubleVector* other = &Field == &FdX ? FdY.data() : FdX.data();
        if (Field != XData() && Field != YData() && Field != other)
            Field->RemoveRelatedSeries(this);
        RemoveFreeNotification(Field);
    }
    Field = Value;
    FDeltaObject[&Field == &FdX ? 0 : 1] = Value;
    if (Value) {
        Value->AddRelatedSeries(this);
        FreeNotification(Value);
    }
    RangesModified();
}

void TVxArrows::SetDeltaX(TVxCustomDoubleVector* Value) {
    SetDelta(FdX, Value, "Arrows X-delta reference", "DeltaX");
}

void TVxArrows::SetDeltaY(TVxCustomDoubleVector* Value) {
    SetDelta(FdY, Value, "Arrows Y-delta reference", "DeltaY");
}

void TVxArrows::SetXDeltaTransformation(TVxValueTransformation Value) {
    mXDeltaTransformation = std::move(Value);
    RangesModified();
}

void TVxArrows::SetYDeltaTransformation(TVxValueTransformation Value) {
    mYDeltaTransformation = std::move(Value);
    RangesModified();
}

void TVxArrows::Notification(TVxComponent* AComponent, TVxOperation Operation) {
    if (Operation == TVxOperation::opRemove && !IsDestroying()) {
        for (int k = 0; k < 2; ++k)
            if (AComponent == FDeltaObject[k].data()) {
                (k == 0 ? FdX : FdY) = nullptr;
                FDeltaObject[k] = nullptr;
                FStarts.clear();
                FTips.clear();
                FArrowIndex.clear();
                FArrowCount = 0;
            }
    }
    TVxSeries::Notification(AComponent, Operation);
}

std::vector<TVxCustomDoubleVector*> TVxArrows::ReferencedVectors() const {
    std::vector<TVxCustomDoubleVector*> v = TVxSeries::ReferencedVectors();
    v.push_back(FdX.data());
    v.push_back(FdY.data());
    return v;
}

bool TVxArrows::SeriesVisible() const {
    return Visible() && FArrow && FArrow->Visible();
}

double TVxArrows::Dx(int i) const {
    if (!FdX || i < 0 || i >= FdX->GetCount())
        return 0;
    double d = FdX->GetValue(i);
    if (mXDeltaTransformation) {
        TVxTransformEventArgs e{d, i};
        d = mXDeltaTransformation(const_cast<TVxArrows*>(this), e);
    }
    return d;
}

double TVxArrows::Dy(int i) const {
    if (!FdY || i < 0 || i >= FdY->GetCount())
        return 0;
    double d = FdY->GetValue(i);
    if (mYDeltaTransformation) {
        TVxTransformEventArgs e{d, i};
        d = mYDeltaTransformation(const_cast<TVxArrows*>(this), e);
    }
    return d;
}

bool TVxArrows::ArrowHasValues(int i) const {
    if (OutliersVisible())
        return true;
    if (!HasValuesAt(i))
        return false;
    for (const TVxCustomDoubleVector* v : {FdX.data(), FdY.data()})
        if (v && v->AnyOutliers() && v->IsOutlier(i))
            return false;
    return true;
}

int TVxArrows::GetUsableCount() {
    if (!XData() || !YData() || !FdX || !FdY)
        return 0;
    return std::min({XData()->GetCount(), YData()->GetCount(), FdX->GetCount(), FdY->GetCount()});
}

void TVxArrows::PointsModified() {
    FStale = true;
    FExtentStale = true;
    TVxSeries::PointsModified();
}

void TVxArrows::RangesModified() {
    FStale = true;
    FExtentStale = true;
    TVxSeries::RangesModified();
}

void TVxArrows::SetLastCount(int Value) {
    FStale = true;
    FExtentStale = true;
    TVxSeries::SetLastCount(Value);
}

void TVxArrows::Calculate() {
    if (!XAxis() || !YAxis() || !FArrow->Visible())
        return;
    const int n = GetUsableCount();
    if (n == FArrowCount && !FExtentStale)
        return;
    FArrowCount = n;
    FExtentStale = false;
    double xmin = MaxDouble, xmax = -MaxDouble, ymin = MaxDouble, ymax = -MaxDouble;
    for (int i = 0; i < n; ++i) {
        if (!ArrowHasValues(i))
            continue;
        const double x = TransformXValue(i, XData()->GetValue(i));
        const double y = TransformYValue(i, YData()->GetValue(i));
        const double tx = x + Dx(i), ty = y + Dy(i);
        if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(tx) || !std::isfinite(ty))
            continue;
        xmin = std::min({xmin, x, tx});
        xmax = std::max({xmax, x, tx});
        ymin = std::min({ymin, y, ty});
        ymax = std::max({ymax, y, ty});
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

TVxValueRange TVxArrows::AxisValueRange(bool Horizontal) const {
    const bool xHorizontal = !XAxis() || XAxis()->Horizontal();
    if (Horizontal == xHorizontal)
        return {FXMin, FXMax};
    return {FYMin, FYMax};
}

bool TVxArrows::PointsStale() const {
    return FStale || !XAxis() || !YAxis() || FLastMapping.Changed(*XAxis(), *YAxis());
}

void TVxArrows::EnsurePoints() {
    if (PointsStale())
        CalculatePoints();
}

void TVxArrows::CalculatePoints() {
    TVxSeries::CalculatePoints();
    FStarts.clear();
    FTips.clear();
    FArrowIndex.clear();
    FStale = false;
    if (!XAxis() || !YAxis() || !XData() || !YData() || !FdX || !FdY)
        return;
    FLastMapping.Remember(*XAxis(), *YAxis());
    const int n = std::min(FArrowCount, GetUsableCount());
    for (int i = 0; i < n; ++i) {
        if (!ArrowHasValues(i))
            continue;
        const double x = TransformXValue(i, XData()->GetValue(i));
        const double y = TransformYValue(i, YData()->GetValue(i));
        const double tx = x + Dx(i), ty = y + Dy(i);
        if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(tx) || !std::isfinite(ty))
            continue;
        FStarts.emplace_back(XAxis()->NumberToWorld(x), YAxis()->NumberToWorld(y));
        FTips.emplace_back(XAxis()->NumberToWorld(tx), YAxis()->NumberToWorld(ty));
        FArrowIndex.push_back(i);
    }
}

void TVxArrows::PaintGr(TVxSurface& Gr) {
    if (!XAxis() || !YAxis() || !Host() || !SeriesVisible())
        return;
    EnsurePoints();
    // The series' own line (stored with the series) with the head of the arrow settings.
    const TVxLineSettings& line = *Line();
    const auto arrowPen = [&](const QRectF& View, double Angle) {
        TVxPen pen = line.GetPen(View, Angle);
        pen.CustomEndCap = FArrow->Cap();
        return pen;
    };
    const bool gradient = line.Gradient()->Visible();
    const TVxPen plain = arrowPen(Host()->DrawingArea(), 0);
    const double w = std::max(1.0f, line.Width());
    for (size_t k = 0; k < FStarts.size(); ++k) {
        const QPointF a = FStarts[k], b = FTips[k];
        // A zero-length arrow has no direction: nothing to draw.
        if (a == b)
            continue;
        TVxPen pen = plain;
        if (gradient) {
            // The box of the arrow, each side at least the pen width, and the direction from
            // the start to the tip, so that the gradient runs along the arrow.
            QRectF box = QRectF(a, b).normalized();
            if (box.width() < w)
                box.adjust(-(w - box.width()) / 2, 0, (w - box.width()) / 2, 0);
            if (box.height() < w)
                box.adjust(0, -(w - box.height()) / 2, 0, (w - box.height()) / 2);
            pen = arrowPen(box, ArrowAngle(a, b));
        }
        if (OnGetPen) {
            TVxPenEventArgs e;
            e.Index = FArrowIndex[k];
            e.X = TransformXValue(e.Index, XData()->GetValue(e.Index));
            e.Y = TransformYValue(e.Index, YData()->GetValue(e.Index));
            e.Pen = pen;
            e.Visible = true;
            OnGetPen(this, e);
            if (!e.Visible || !FArrow->Visible())
                continue;
            pen = e.Pen;
        }
        Gr.DrawLine(pen, a, b);
    }
}

int TVxArrows::FindPoint(float X, float Y, float Delta) {
    if (PointsStale())
        return -1;
    for (size_t k = 0; k < FStarts.size(); ++k)
        if (std::abs(X - FStarts[k].x()) <= Delta && std::abs(Y - FStarts[k].y()) <= Delta)
            return FArrowIndex[k];
    return -1;
}

// ---------------------------------------------------------------------------------------------
// Records: the series record, then the arrow head and the two delta vectors' paths.

void TVxArrows::WriteTo(QIODevice& Stream) const {
    TVxSeries::WriteTo(Stream);
    TVxStreamWriter out(Stream);
    out.WriteBool(FArrow->Visible());
    out.WriteSingle(FArrow->PointLength());
    out.WriteSingle(FArrow->InnerLength());
    out.WriteSingle(FArrow->PointHeight());
    out.WriteText(ComponentPath(FdX.data()));
    out.WriteText(ComponentPath(FdY.data()));
    out.WriteContinuation(false);
}

void TVxArrows::ReadFrom(QIODevice& Stream) {
    TVxSeries::ReadFrom(Stream);
    TVxReferenceReader refs;
    ReadNamedRecord("TVxArrows", [&] {
        TVxStreamReader in(Stream);
        FArrow->SetVisible(in.ReadBool());
        FArrow->SetPointLength(in.ReadSingle());
        FArrow->SetInnerLength(in.ReadSingle());
        FArrow->SetPointHeight(in.ReadSingle());
        const QString dx = in.ReadText();
        const QString dy = in.ReadText();
        refs.Add(this, dx, TVxCustomDoubleVector::staticMetaObject,
                 [this](QObject* c) { SetDeltaX(qobject_cast<TVxCustomDoubleVector*>(c)); });
        refs.Add(this, dy, TVxCustomDoubleVector::staticMetaObject,
                 [this](QObject* c) { SetDeltaY(qobject_cast<TVxCustomDoubleVector*>(c)); });
        CheckEndMarker(in.ReadByte(), "after the delta data");
    });
    refs.Finish();
}

void TVxArrows::WriteXmlContent(pugi::xml_node Element) const {
    TVxSeries::WriteXmlContent(Element);
    pugi::xml_node a = Element.append_child("Arrows");
    SetXmlBool(a, "Visible", FArrow->Visible());
    SetXmlFloat(a, "PointLength", FArrow->PointLength());
    SetXmlFloat(a, "InnerLength", FArrow->InnerLength());
    SetXmlFloat(a, "PointHeight", FArrow->PointHeight());
    SetXmlText(a, "DeltaX", ComponentPath(FdX.data()));
    SetXmlText(a, "DeltaY", ComponentPath(FdY.data()));
}

void TVxArrows::ReadFrom(pugi::xml_node Element) {
    TVxSeries::ReadFrom(Element);
    TVxReferenceReader refs;
    ReadNamedRecord("TVxArrows", [&] {
        const pugi::xml_node a = Element.child("Arrows");
        if (!a)
            return;
        FArrow->SetVisible(XmlBool(a, "Visible", FArrow->Visible()));
        FArrow->SetPointLength(float(XmlFloat(a, "PointLength", FArrow->PointLength())));
        FArrow->SetInnerLength(float(XmlFloat(a, "InnerLength", FArrow->InnerLength())));
        FArrow->SetPointHeight(float(XmlFloat(a, "PointHeight", FArrow->PointHeight())));
        if (a.attribute("DeltaX"))
            refs.Add(this, XmlText(a, "DeltaX"), TVxCustomDoubleVector::staticMetaObject,
                     [this](QObject* c) { SetDeltaX(qobject_cast<TVxCustomDoubleVector*>(c)); });
        if (a.attribute("DeltaY"))
            refs.Add(this, XmlText(a, "DeltaY"), TVxCustomDoubleVector::staticMetaObject,
                     [this](QObject* c) { SetDeltaY(qobject_cast<TVxCustomDoubleVector*>(c)); });
    });
    refs.Finish();
}

void TVxArrows::WriteTo(TVxIniFile& Ini, const QString& Section) const {
    TVxSeries::WriteTo(Ini, Section);
    const QString& s = Section;
    Ini.WriteBool(s, "Arrow.Visible", FArrow->Visible());
    Ini.WriteFloat(s, "Arrow.PointLength", FArrow->PointLength());
    Ini.WriteFloat(s, "Arrow.InnerLength", FArrow->InnerLength());
    Ini.WriteFloat(s, "Arrow.PointHeight", FArrow->PointHeight());
    Ini.WriteString(s, "DeltaX", ComponentPath(FdX.data()));
    Ini.WriteString(s, "DeltaY", ComponentPath(FdY.data()));
}

void TVxArrows::ReadFrom(const TVxIniFile& Ini, const QString& Section) {
    TVxSeries::ReadFrom(Ini, Section);
    TVxReferenceReader refs;
    ReadNamedRecord("TVxArrows", [&] {
        const QString& s = Section;
        FArrow->SetVisible(Ini.ReadBool(s, "Arrow.Visible", FArrow->Visible()));
        FArrow->SetPointLength(float(Ini.ReadFloat(s, "Arrow.PointLength", FArrow->PointLength())));
        FArrow->SetInnerLength(float(Ini.ReadFloat(s, "Arrow.InnerLength", FArrow->InnerLength())));
        FArrow->SetPointHeight(float(Ini.ReadFloat(s, "Arrow.PointHeight", FArrow->PointHeight())));
        if (Ini.ValueExists(s, "DeltaX"))
            refs.Add(this, Ini.ReadString(s, "DeltaX", {}), TVxCustomDoubleVector::staticMetaObject,
                     [this](QObject* c) { SetDeltaX(qobject_cast<TVxCustomDoubleVector*>(c)); });
        if (Ini.ValueExists(s, "DeltaY"))
            refs.Add(this, Ini.ReadString(s, "DeltaY", {}), TVxCustomDoubleVector::staticMetaObject,
                     [this](QObject* c) { SetDeltaY(qobject_cast<TVxCustomDoubleVector*>(c)); });
    });
    refs.Finish();
}
