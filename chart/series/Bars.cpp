#include "series/Bars.h"

#include "captions/MeasuringSurface.h"
#include "drawing/FaceFill.h"
#include "drawing/GradientBrushes.h"
#include "drawing/Surface.h"
#include "drawing/TopmostSelection.h"
#include "series/SeriesHost.h"
#include "styles/VxFont.h"
#include "undo/UndoStack.h"
#include "util/ComponentPaths.h"
#include "util/Exceptions.h"
#include "vectors/DataSource.h"
#include "vectors/Indexer.h"

#include <QStringListModel>
#include <algorithm>
#include <cmath>
#include <limits>
#include <span>

namespace {

double Finite(double V) {
    return std::isfinite(V) ? V : 0;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Creation and destruction

TVxBars::TVxBars(QObject* AOwner)
    : TVxSeries(AOwner), FCatStart(MaxDouble), FCatStop(-MaxDouble), FValStart(MaxDouble),
      FValStop(-MaxDouble) {
    SetCaption(UniqueComponentName(AOwner, QStringLiteral("VxBars")));
    Line()->SetColor(VxColor(0xFF0000FF));
    Area()->SetForeColor(VxColor(0xFF000080));
    Area()->SetVisible(true);
    FFont = new TVxFont([this] { LabelsRefresh(); }, this);
    FFont->SetName(QStringLiteral("Arial"));
    FFont->SetSize(12);
    FFont->SetStyle(TVxFontStyle::Bold);
    FFont->SetColor(255);
    FOldFontSize = FFont->GetSize();
    FFont->mNeedsResize = [this] { FontChanged(); };
    FDataLink = new TVxListLink([this] { DataSetChanged(); });
    FDataLink->setParent(this);
}

TVxBars::~TVxBars() {
    BeginDestruction();
    DropStacking();
    for (const QMetaObject::Connection& c : FModelConnections)
        disconnect(c);
}

// ---------------------------------------------------------------------------------------------
// Vectors, axes and the graph's bar series

TVxCustomDoubleVector* TVxBars::ValueVector() const {
    return FBarsHorizontal ? XData() : YData();
}

TVxCustomDoubleVector* TVxBars::CategoryVector() const {
    return FBarsHorizontal ? YData() : XData();
}

TVxAxis* TVxBars::CategoryAxis() const {
    return FBarsHorizontal ? YAxis() : XAxis();
}

TVxAxis* TVxBars::ValueAxis() const {
    return FBarsHorizontal ? XAxis() : YAxis();
}

std::vector<TVxBars*> TVxBars::GraphBars() const {
    std::vector<TVxBars*> out;
    if (!Host() || Host()->HostDestroying()) {
        out.push_back(const_cast<TVxBars*>(this));
        return out;
    }
    for (TVxSeries* s : Host()->HostSeries())
        if (TVxBars* b = qobject_cast<TVxBars*>(s); b && !b->IsDestroying())
            out.push_back(b);
    if (std::find(out.begin(), out.end(), this) == out.end())
        out.push_back(const_cast<TVxBars*>(this));
    return out;
}

std::vector<TVxBars*> TVxBars::OtherBars() const {
    std::vector<TVxBars*> out;
    for (const QPointer<TVxBars>& b : FOtherBars)
        if (b)
            out.push_back(b.data());
    return out;
}

double TVxBars::OwnValue(int i) const {
    const TVxCustomDoubleVector* v = ValueVector();
    if (!v || i < 0 || i >= v->GetCount())
        return 0;
    if (!IsOwnIndexer(v) && !HasValuesAt(i))
        return 0;
    const double x = v->GetValue(i);
    return Finite(FBarsHorizontal ? TransformXValue(i, x) : TransformYValue(i, x));
}

bool TVxBars::HasBarValue(int i) const {
    const TVxCustomDoubleVector* v = ValueVector();
    return v && i >= 0 && i < v->GetCount() && HasValuesAt(i);
}

double TVxBars::BarValue(int i) const {
    double sum = OwnValue(i);
    if (FOverlayStyle == TVxBarsOverlayStyle::Stack)
        for (const QPointer<TVxBars>& b : FOtherBars)
            if (b && b->HasBarValue(i))
                sum += b->OwnValue(i);
    return sum;
}

double TVxBars::Boundary(int k) const {
    const TVxCustomDoubleVector* c = CategoryVector();
    double x = k;
    if (c && !IsOwnIndexer(c)) {
        if (k < 0 || k >= c->GetCount())
            return 0;
        x = c->GetValue(k);
    }
    return Finite(FBarsHorizontal ? TransformYValue(k, x) : TransformXValue(k, x));
}

int TVxBars::GetUsableCount() {
    const TVxCustomDoubleVector* v = ValueVector();
    const TVxCustomDoubleVector* c = CategoryVector();
    if (!v || !c)
        return 0;
    int n = v->GetCount();
    if (!IsOwnIndexer(c) && c->GetCount() <= n)
        n = c->GetCount() - 1;
    if (!OutliersVisible() && v->AnyOutliers())
        while (n > 0 && v->IsOutlier(n - 1))
            --n;
    n = std::max(n, 0);
    if (n > 0)
        UpdateStacking();
    return n;
}

// The series below this one (stacking) and whether a later one shares the category axis.
// The series listens to the value vectors of those below; the registrations are kept in a
// list of their own, diffed here, so each is made once and dropped when no longer needed,
// never one the series' own X or Y binding relies on.
void TVxBars::UpdateStacking() {
    const std::vector<TVxBars*> bars = GraphBars();
    std::vector<QPointer<TVxBars>> others;
    FTopMost = true;
    bool before = true;
    for (TVxBars* b : bars) {
        if (b == this) {
            before = false;
            continue;
        }
        const bool same = b->FBarsHorizontal == FBarsHorizontal &&
                          b->CategoryAxis() == CategoryAxis() && CategoryAxis() != nullptr;
        if (before) {
            if (same && FOverlayStyle == TVxBarsOverlayStyle::Stack &&
                b->FOverlayStyle == TVxBarsOverlayStyle::Stack)
                others.emplace_back(b);
        } else if (same) {
            FTopMost = false;
        }
    }
    FOtherBars = std::move(others);
    std::vector<QPointer<TVxCustomDoubleVector>> wanted;
    for (const QPointer<TVxBars>& b : FOtherBars)
        if (TVxCustomDoubleVector* v = b->ValueVector(); v && !b->IsOwnIndexer(v))
            if (std::find(wanted.begin(), wanted.end(), v) == wanted.end())
                wanted.emplace_back(v);
    for (const QPointer<TVxCustomDoubleVector>& v : FStackVectors)
        if (v && std::find(wanted.begin(), wanted.end(), v) == wanted.end() && v != XData() &&
            v != YData() && !v->IsDestroying())
            v->RemoveRelatedSeries(this);
    for (const QPointer<TVxCustomDoubleVector>& v : wanted)
        v->AddRelatedSeries(this);
    FStackVectors = std::move(wanted);
}

void TVxBars::DropStacking() {
    for (const QPointer<TVxCustomDoubleVector>& v : FStackVectors)
        if (v && !v->IsDestroying() && (IsDestroying() || (v != XData() && v != YData())))
            v->RemoveRelatedSeries(this);
    FStackVectors.clear();
    FOtherBars.clear();
}

// ---------------------------------------------------------------------------------------------
// Messages

void TVxBars::PointsModified() {
    FBarsStale = true;
    TVxSeries::PointsModified();
}

void TVxBars::RangesModified() {
    FBarLastCount = 0;
    FBarsStale = true;
    TVxSeries::RangesModified();
}

void TVxBars::SetLastCount(int Value) {
    FBarLastCount = std::min(FBarLastCount, Value);
    FBarsStale = true;
    TVxSeries::SetLastCount(Value);
}

void TVxBars::VectorChanged() {
    // A change of a lower series' values moves this series' tops as well: the extent is
    // renewed, whichever vector sent the message.
    FBarLastCount = 0;
    FBarsStale = true;
    TVxSeries::VectorChanged();
}

void TVxBars::Notification(TVxComponent* AComponent, TVxOperation Operation) {
    TVxSeries::Notification(AComponent, Operation);
}

// ---------------------------------------------------------------------------------------------
// Extent

void TVxBars::Calculate() {
    TVxCustomDoubleVector* v = ValueVector();
    TVxCustomDoubleVector* c = CategoryVector();
    if (!v || !c || !XAxis() || !YAxis())
        return;
    const int usable = GetUsableCount();
    if (usable == FBarCount && FBarLastCount >= usable && FBarLastCount > 0)
        return;
    FBarCount = usable;
    double cs = MaxDouble, ce = -MaxDouble, vs = 0, ve = 0;
    if (usable > 0) {
        for (int k = 0; k <= usable; ++k) {
            const double b = Boundary(k);
            cs = std::min(cs, b);
            ce = std::max(ce, b);
        }
        for (int i = 0; i < usable; ++i) {
            const double x = BarValue(i);
            vs = std::min(vs, x);
            ve = std::max(ve, x);
        }
    } else {
        vs = MaxDouble;
        ve = -MaxDouble;
    }
    if (cs != FCatStart || ce != FCatStop) {
        FCatStart = cs;
        FCatStop = ce;
        CategoryAxis()->RangeModified();
    }
    if (vs != FValStart || ve != FValStop) {
        FValStart = vs;
        FValStop = ve;
        ValueAxis()->RangeModified();
    }
    FBarsStale = true;
    Invalidate();
    FBarLastCount = FBarCount;
}

TVxValueRange TVxBars::AxisValueRange(bool Horizontal) const {
    const bool xHorizontal = !XAxis() || XAxis()->Horizontal();
    const bool wantX = Horizontal == xHorizontal;
    // X holds the categories of vertical bars and the values of horizontal ones.
    if (wantX != FBarsHorizontal)
        return {FCatStart, FCatStop};
    return {FValStart, FValStop};
}

// ---------------------------------------------------------------------------------------------
// Geometry

bool TVxBars::PointsStale() const {
    return FBarsStale || !XAxis() || !YAxis() || FLastMapping.Changed(*XAxis(), *YAxis());
}

void TVxBars::EnsurePoints() {
    if (PointsStale())
        CalculatePoints();
}

void TVxBars::CalculatePoints() {
    // The base's reduction has nothing to do for bars; calling it clears its stale mark.
    TVxSeries::CalculatePoints();
    // The corners are overwritten below; emptied only when there are no bars.
    FLabelOf.clear();
    FLabelAnchor.clear();
    FBarsStale = false;
    TVxAxis* cat = CategoryAxis();
    TVxAxis* val = ValueAxis();
    if (cat && val)
        FLastMapping.Remember(*XAxis(), *YAxis());
    const int n = cat && val ? std::min(FBarCount, GetUsableCount()) : 0;
    if (n <= 0) {
        FTopLeft.clear();
        FBottomRight.clear();
        return;
    }

    // Sharing of the classes.
    int q = 1, p = 1;
    double g = FClassesDistance, d = F3DDepth;
    if (FOverlayStyle == TVxBarsOverlayStyle::Shift) {
        q = 0;
        for (TVxBars* b : GraphBars()) {
            if (!b->SeriesVisible() || b->FOverlayStyle != TVxBarsOverlayStyle::Shift)
                continue;
            const bool shares = b->FBarsHorizontal ? b->YAxis() == YAxis() : b->XAxis() == XAxis();
            if (!shares)
                continue;
            ++q;
            if (b == this)
                p = q;
            g = std::max(g, b->FClassesDistance);
            d = std::max(d, b->F3DDepth);
        }
        q = std::max(q, 1);
    }

    const double z = val->NumberToWorld(0);
    TVxBars* below = nullptr;
    if (FOverlayStyle == TVxBarsOverlayStyle::Stack && !FOtherBars.empty())
        below = FOtherBars.back().data();
    FTopLeft.resize(size_t(n));
    FBottomRight.resize(size_t(n));
    // Values and boundaries straight from the vectors' arrays (an indexer gives its index),
    // as OwnValue and Boundary read them.
    const TVxCustomDoubleVector* vv = ValueVector();
    const TVxCustomDoubleVector* cv = CategoryVector();
    const bool vIndex = qobject_cast<const TVxIndexer*>(vv) != nullptr;
    const bool cIndex = qobject_cast<const TVxIndexer*>(cv) != nullptr;
    const std::span<const double> vData = vIndex ? std::span<const double>() : vv->ValueData();
    const std::span<const double> cData = cIndex ? std::span<const double>() : cv->ValueData();
    const int vCount = vv->GetCount(), cCount = cv->GetCount();
    const bool vOwn = IsOwnIndexer(vv), cOwn = IsOwnIndexer(cv);
    const bool checkOutliers = !OutliersVisible() && ((XData() && XData()->AnyOutliers()) ||
                                                      (YData() && YData()->AnyOutliers()));
    auto ownValue = [&](int i) {
        if (i >= vCount || (!vOwn && checkOutliers && !HasValuesAt(i)))
            return 0.0;
        const double x = vIndex ? double(i) : vData[size_t(i)];
        return Finite(FBarsHorizontal ? TransformXValue(i, x) : TransformYValue(i, x));
    };
    auto boundary = [&](int k) {
        double x = k;
        if (!cOwn) {
            if (k >= cCount)
                return 0.0;
            x = cIndex ? double(k) : cData[size_t(k)];
        }
        return Finite(FBarsHorizontal ? TransformYValue(k, x) : TransformXValue(k, x));
    };
    double minInner = std::numeric_limits<double>::infinity();
    double lastInner = 0;
    double pa = cat->NumberToWorld(boundary(0));
    for (int i = 0; i < n; ++i) {
        const double pb = cat->NumberToWorld(boundary(i + 1));
        const double own = ownValue(i);
        double sum = own;
        double base = FBarsHorizontal ? z + 1 : z;
        if (below && i < below->FBarCount) {
            double lower = 0;
            for (const QPointer<TVxBars>& b : FOtherBars)
                if (b && b->HasBarValue(i))
                    lower += b->OwnValue(i);
            sum += lower;
            base = val->NumberToWorld(lower);
        }
        const double pv = val->NumberToWorld(sum);
        if (!FBarsHorizontal) {
            const TVxBarSlot s = BarSlot(pa, pb, g, q, p);
            const double a = std::min(pa, pb);
            FTopLeft[size_t(i)] = QPointF(a + s.Near, pv);
            FBottomRight[size_t(i)] = QPointF(a + s.Far, base);
            lastInner = s.InnerWidth;
        } else {
            const TVxBarSlot s = BarSlot(pa, pb, g, q, p);
            const double a = std::max(pa, pb);
            FTopLeft[size_t(i)] = QPointF(base, a - s.Far);
            FBottomRight[size_t(i)] = QPointF(pv, a - s.Near);
            lastInner = s.InnerWidth;
        }
        minInner = std::min(minInner, lastInner);
        pa = pb;
    }
    const QPointF depth = BarDepthOffsets(lastInner, d);
    FDepthX = float(depth.x());
    FDepthY = float(depth.y());
    FZylShift = FBarStyle == TVxBarStyle::Cylinder ? (FBarsHorizontal ? FDepthY : FDepthX) : 0;
    if (!(minInner > 0) || !std::isfinite(minInner))
        minInner = 100;
    FLabelsShown = false;
    if (FLabelPosition != TVxBarLabelPosition::Invisible) {
        if (FOverlayStyle == TVxBarsOverlayStyle::Stack && !FTopMost &&
            FLabelPosition == TVxBarLabelPosition::OnTopOfBar)
            FLabelPosition = TVxBarLabelPosition::InTop;
        LayoutLabels(minInner * 0.01 * FLabelSize);
    }
}

// ---------------------------------------------------------------------------------------------
// Labels

double TVxBars::ValueSum() const {
    const TVxCustomDoubleVector* v = ValueVector();
    if (!v)
        return 0;
    double sum = 0;
    const int n = v->GetCount();
    for (int i = 0; i < n; ++i)
        if (OutliersVisible() || !v->AnyOutliers() || !v->IsOutlier(i))
            sum += v->GetValue(i);
    return FBarsHorizontal ? TransformXValue(-1, sum) : TransformYValue(-1, sum);
}

void TVxBars::LayoutLabels(double FontSize) {
    const int n = int(FTopLeft.size());
    FLabelOf.assign(size_t(n), -1);
    FLabelAnchor.assign(size_t(n), QPointF());
    FLabelRecs.clear();
    FLabelLookup.clear();
    // A label below one pixel is invisible: neither made, measured nor asked for.
    if (!(FontSize >= 1))
        return;
    FLabelsShown = true;
    FSetting = true;
    FFont->SetSize(float(FontSize));
    FSetting = false;
    if (FDBData && FDBModified)
        ReloadDBCaptions();
    const QStringList captions = FDBData ? FDBCaptions : Captions();
    const bool percent =
        FLabelFrom == TVxLabelStyle::Percent || FLabelFrom == TVxLabelStyle::CaptionAndPercent;
    const double sum = percent ? ValueSum() : 0;
    const TVxFormatSettings& fmt = TVxFormatSettings::Current();
    TVxMeasuringSurface measuring;
    TVxBarLabelInput in;
    in.Position = FLabelPosition;
    in.Style = FBarStyle;
    in.Horizontal = FBarsHorizontal;
    in.VerticalLabel = FLabelVertical;
    in.DepthX = FDepthX;
    in.DepthY = FDepthY;
    in.ZylShift = FZylShift;
    in.StackedBelow = FOverlayStyle == TVxBarsOverlayStyle::Stack && !FTopMost;
    for (int i = 0; i < n; ++i) {
        const QString c = i < captions.size() ? captions[i] : QString();
        const double v = OwnValue(i);
        QString text;
        switch (FLabelFrom) {
        case TVxLabelStyle::Value:
            text = BarNumberText(FLabelFormat, v, fmt);
            break;
        case TVxLabelStyle::CaptionsList:
            text = c;
            break;
        case TVxLabelStyle::Percent:
            text = BarPercentText(FLabelFormat, v, sum, fmt);
            break;
        case TVxLabelStyle::CaptionAndValue:
            text = c.isEmpty() ? BarNumberText(FLabelFormat, v, fmt)
                               : c + u' ' + BarNumberText(FLabelFormat, v, fmt);
            break;
        case TVxLabelStyle::CaptionAndPercent: {
            const QString pc = BarPercentText(FLabelFormat, v, sum, fmt);
            text = c.isEmpty() ? pc : c + u' ' + pc;
            break;
        }
        }
        if (OnGetLabel) {
            TVxGetLabelEventArgs e{text, i};
            OnGetLabel(this, e);
            text = e.Caption;
        }
        auto found = FLabelLookup.constFind(text);
        int rec;
        if (found == FLabelLookup.constEnd()) {
            TVxRichCaptionRec r;
            r.Caption = text;
            r.Font = FFont;
            r.Align = TVxContentAlignment::MiddleCenter;
            r.Angle = FLabelVertical ? (FBarsHorizontal ? 270 : 90) : 0;
            r.ParseForSize(measuring, this);
            rec = int(FLabelRecs.size());
            FLabelRecs.push_back(std::move(r));
            FLabelLookup.insert(text, rec);
        } else {
            rec = found.value();
        }
        FLabelOf[size_t(i)] = rec;
        in.Bar = QRectF(FTopLeft[size_t(i)], FBottomRight[size_t(i)]);
        in.Width = FLabelRecs[size_t(rec)].FWidth;
        in.Height = FLabelRecs[size_t(rec)].FHeight;
        FLabelAnchor[size_t(i)] = BarLabelAnchor(in);
    }
}

TVxBars::TLabel TVxBars::LabelAt(int k) const {
    TLabel out;
    if (k < 0 || size_t(k) >= FLabelOf.size() || FLabelOf[size_t(k)] < 0)
        return out;
    const TVxRichCaptionRec& r = FLabelRecs[size_t(FLabelOf[size_t(k)])];
    out.Valid = true;
    out.Text = r.Caption;
    out.Anchor = FLabelAnchor[size_t(k)];
    out.Size = QSizeF(r.FWidth, r.FHeight);
    return out;
}

void TVxBars::LabelsRefresh() {
    if (IsDestroying() || FSetting)
        return;
    if (FLabelPosition == TVxBarLabelPosition::OnTopOfBar)
        RangesModified();
    else if (FLabelPosition != TVxBarLabelPosition::Invisible || FLabelsShown)
        PointsModified();
    else
        Invalidate();
}

void TVxBars::FontChanged() {
    if (FSetting || IsDestroying())
        return;
    // The application changed the label font: the label size follows its size.
    const float size = FFont->GetSize();
    if (FOldFontSize > 0 && size > 0 && size != FOldFontSize)
        FLabelSize *= size / FOldFontSize;
    FOldFontSize = size;
    LabelsRefresh();
}

// ---------------------------------------------------------------------------------------------
// Properties

void TVxBars::RecordUndo(const char* Description, const char* PropName) {
    if (UndoStack() && !UndoStack()->Restoring())
        UndoStack()->PushProperty(this, QString::fromUtf8(Description), PropName);
}

// Sets a graph-wide property on every bar series of the graph as one undo step; while the
// undo stack restores, each series gets its own recorded value.
template <class TSet>
void TVxBars::SetOnAll(const char* Description, const char* PropName, TSet Set) {
    TVxUndoStack* stack = UndoStack();
    if (stack && stack->Restoring()) {
        Set(*this);
        return;
    }
    const std::vector<TVxBars*> bars = GraphBars();
    if (stack)
        stack->StartGroup(QString::fromUtf8(Description));
    for (TVxBars* b : bars)
        Set(*b, [&] { b->RecordUndo(Description, PropName); });
    if (stack)
        stack->StopGroup();
}

void TVxBars::SetBarStyle(TVxBarStyle Value) {
    if (Value < TVxBarStyle::Flat || Value > TVxBarStyle::Cylinder)
        return;
    SetOnAll("Bars style", "BarStyle", [Value](TVxBars& b, auto&&... Record) {
        if (b.FBarStyle == Value)
            return;
        (Record(), ...);
        b.FBarStyle = Value;
        b.RangesModified();
    });
}

void TVxBars::SetBarStyleOrdinal(int Value) {
    SetBarStyle(TVxBarStyle(Value));
}

void TVxBars::SetDepth3D(double Value) {
    SetOnAll("Bars 3D depth", "Depth3D", [Value](TVxBars& b, auto&&... Record) {
        if (!(Value < b.F3DDepth || Value > b.F3DDepth))
            return;
        (Record(), ...);
        b.F3DDepth = Value;
        b.RangesModified();
    });
}

void TVxBars::SetClassesDistance(double Value) {
    SetOnAll("Bars distance of classes", "ClassesDistance", [Value](TVxBars& b, auto&&... Record) {
        if (!(Value < b.FClassesDistance || Value > b.FClassesDistance))
            return;
        (Record(), ...);
        b.FClassesDistance = Value;
        b.RangesModified();
    });
}

void TVxBars::SetOverlayStyle(TVxBarsOverlayStyle Value) {
    if (Value != TVxBarsOverlayStyle::Shift && Value != TVxBarsOverlayStyle::Stack)
        return;
    SetOnAll("Bars stacked/shifted overlays", "OverlayStyle",
             [Value](TVxBars& b, auto&&... Record) {
                 if (b.FOverlayStyle == Value)
                     return;
                 (Record(), ...);
                 b.FOverlayStyle = Value;
                 if (Value == TVxBarsOverlayStyle::Shift)
                     b.DropStacking();
                 b.RangesModified();
                 if (b.Host() && !b.Host()->HostDestroying())
                     b.Host()->SeriesLayoutModified(b);
             });
}

void TVxBars::SetOverlayStyleOrdinal(int Value) {
    SetOverlayStyle(TVxBarsOverlayStyle(Value));
}

void TVxBars::SetBarsHorizontal(bool Value) {
    SetOnAll("Bars horizontal", "BarsHorizontal", [Value](TVxBars& b, auto&&... Record) {
        if (b.FBarsHorizontal == Value)
            return;
        (Record(), ...);
        b.DropStacking();
        b.FBarsHorizontal = Value;
        b.SwapXYData();
        if (b.Host() && !b.Host()->HostDestroying())
            b.Host()->LegendsModified();
    });
}

TVxColor TVxBars::LabelColor() const {
    return FFont->FillColor();
}

void TVxBars::SetLabelColor(TVxColor Value) {
    if (Value == FFont->FillColor())
        return;
    RecordUndo("Labels color", "LabelColor");
    FFont->SetFillColor(Value);
}

void TVxBars::SetFont(TVxFont* Value) {
    if (!Value || Value == FFont)
        return;
    if (UndoStack() && !UndoStack()->Restoring())
        FFont->PushToUndoStack(UndoStack(), QStringLiteral("Bars font"));
    FOldFontSize = FFont->GetSize();
    FFont->Assign(*Value);
}

void TVxBars::SetLabelFormat(const QString& Value) {
    if (Value == FLabelFormat)
        return;
    RecordUndo("Labels output format", "LabelFormat");
    FLabelFormat = Value;
    LabelsRefresh();
}

void TVxBars::SetLabelFrom(TVxLabelStyle Value) {
    if (Value == FLabelFrom || Value < TVxLabelStyle::Value ||
        Value > TVxLabelStyle::CaptionAndPercent)
        return;
    RecordUndo("Labels from list/values/percent", "LabelFrom");
    FLabelFrom = Value;
    LabelsRefresh();
}

void TVxBars::SetLabelFromOrdinal(int Value) {
    SetLabelFrom(TVxLabelStyle(Value));
}

void TVxBars::SetLabelPosition(TVxBarLabelPosition Value) {
    if (Value == FLabelPosition || Value < TVxBarLabelPosition::Invisible ||
        Value > TVxBarLabelPosition::OnTopOfBar)
        return;
    RecordUndo("Labels position", "LabelPosition");
    const bool wasOnTop = FLabelPosition == TVxBarLabelPosition::OnTopOfBar;
    FLabelPosition = Value;
    if (wasOnTop)
        RangesModified(); // the room kept for labels on top goes
    LabelsRefresh();
}

void TVxBars::SetLabelPositionOrdinal(int Value) {
    SetLabelPosition(TVxBarLabelPosition(Value));
}

void TVxBars::SetLabelSize(float Value) {
    if (!(Value < FLabelSize || Value > FLabelSize))
        return;
    RecordUndo("Label size", "LabelSize");
    FLabelSize = Value;
    LabelsRefresh();
}

void TVxBars::SetLabelVertical(bool Value) {
    if (Value == FLabelVertical)
        return;
    RecordUndo("Bars vertical labels", "LabelVertical");
    FLabelVertical = Value;
    LabelsRefresh();
}

// ---------------------------------------------------------------------------------------------
// Captions

QStringList TVxBars::Captions() const {
    if (FDBData)
        return {};
    if (FCaptionsModel)
        return FCaptionsModel->stringList();
    return FOwnCaptions;
}

void TVxBars::SetCaptions(const QStringList& Value) {
    if (FDBData && !Value.isEmpty())
        throw EVxException(
            QStringLiteral("Setting captions list not allowed with database binding set"));
    if (!FCaptionsModel && Value == FOwnCaptions)
        return;
    RecordUndo("Bars captions", "Captions");
    SetCaptionsModel(nullptr);
    FOwnCaptions = Value;
    LabelsRefresh();
}

void TVxBars::SetCaptionsModel(QStringListModel* Model) {
    if (Model == FCaptionsModel)
        return;
    if (Model && FDBData)
        throw EVxException(
            QStringLiteral("Setting captions list not allowed with database binding set"));
    // Only detach: the application's list and its other handlers stay as they are.
    for (const QMetaObject::Connection& c : FModelConnections)
        disconnect(c);
    FModelConnections.clear();
    FCaptionsModel = Model;
    if (Model) {
        auto changed = [this] { LabelsRefresh(); };
        FModelConnections = {
            connect(Model, &QAbstractItemModel::dataChanged, this, changed),
            connect(Model, &QAbstractItemModel::rowsInserted, this, changed),
            connect(Model, &QAbstractItemModel::rowsRemoved, this, changed),
            connect(Model, &QAbstractItemModel::modelReset, this, changed),
            connect(Model, &QObject::destroyed, this, changed),
        };
    }
    LabelsRefresh();
}

TVxDataSource* TVxBars::DataSource() const {
    return FDataLink->DataSource();
}

void TVxBars::SetDataSource(TVxDataSource* Value) {
    if (Value == FDataLink->DataSource())
        return;
    FDataLink->SetDataSource(Value);
    FDBData = Value != nullptr && !FCaptionsField.isEmpty();
    FDBModified = true;
    LabelsRefresh();
}

void TVxBars::SetCaptionsField(const QString& Value) {
    if (Value == FCaptionsField)
        return;
    FCaptionsField = Value;
    FDBData = FDataLink->DataSource() != nullptr && !Value.isEmpty();
    FDBModified = true;
    LabelsRefresh();
}

void TVxBars::DataSetChanged() {
    if (IsDestroying())
        return;
    FDBModified = true;
    FDBData = FDataLink->DataSource() != nullptr && !FCaptionsField.isEmpty();
    LabelsRefresh();
}

// Every record's field from the first, a null field giving an empty caption. A missing source
// or field switches the binding off; an inactive source is skipped.
void TVxBars::ReloadDBCaptions() {
    FDBModified = false;
    TVxDataSource* source = FDataLink->DataSource();
    if (!source) {
        FDBData = false;
        FDBCaptions.clear();
        return;
    }
    if (!source->IsActive())
        return;
    source->FetchAll();
    const std::optional<int> column = source->FieldColumn(FCaptionsField);
    if (!column) {
        FDBData = false;
        FDBCaptions.clear();
        return;
    }
    FDBCaptions.clear();
    const int n = source->RecordCount();
    FDBCaptions.reserve(n);
    for (int r = 0; r < n; ++r) {
        const QVariant v = source->FieldValue(r, *column);
        FDBCaptions.append(v.isNull() ? QString() : v.toString());
    }
}

// ---------------------------------------------------------------------------------------------
// Painting

namespace {

constexpr TVxColor NoColor = VxColor(0x00FFFFFF);

TVxColor Sc(TVxColor C, double F) {
    return ScaleBrightness(C, F);
}

} // namespace

namespace {

// Qt's raster engine hands a fill of about a hundred spans or more to its thread pool, and
// waking the pool costs many times what a thin bar's fill does: taller fills go to the target
// in bands of fewer spans (a span per row aliased, up to three anti-aliased).
constexpr int BandSpans = 90;

} // namespace

struct TVxBarsPainter {
    TVxBars& S;
    TVxSurface& Gr;
    QRectF Area;
    int BandRows = 0; // 0: no bands (vector targets)
    bool Smooth = false;
    // The series' look, taken once per paint.
    bool LineOn = false;
    bool AreaOn = false;
    TVxColor C = NoColor; // fill, NoColor when the area is hidden
    TVxColor O = NoColor; // outline, NoColor when the line is hidden
    bool OpaqueFill = false;
    bool OpaqueOutline = false;
    TVxColor FrontC[3], FrontO[3], SideC[3], SideO[3];
    TVxFaceColors TopC, TopO;

    TVxBarsPainter(TVxBars& Series, TVxSurface& Surface, const QRectF& DrawingArea)
        : S(Series), Gr(Surface), Area(DrawingArea) {
        if (Gr.PrefersSprites()) {
            const TSmoothingMode m = Gr.GetSmoothingMode();
            Smooth = m == TSmoothingMode::SmoothingModeAntiAlias ||
                     m == TSmoothingMode::SmoothingModeHighQuality;
            BandRows = BandSpans;
        }
        LineOn = S.Line()->Visible();
        AreaOn = S.Area()->Visible();
        O = LineOn ? S.Line()->Color() : NoColor;
        C = AreaOn ? S.Area()->ForeColor() : NoColor;
        OpaqueFill = C != NoColor && GetAlpha(C) == 255;
        OpaqueOutline = O != NoColor && GetAlpha(O) == 255;
        if (S.FBarStyle != TVxBarStyle::Cuboid)
            return;
        auto shades = [](TVxColor Base, double A, double B, double D, TVxColor* Out) {
            Out[0] = Sc(Base, A);
            Out[1] = Sc(Base, B);
            Out[2] = Sc(Base, D);
        };
        shades(C, 1.2, 1, 0.8, FrontC);
        shades(O, 1.2, 1, 0.8, FrontO);
        shades(C, 0.6, 0.5, 0.4, SideC);
        shades(O, 0.6, 0.5, 0.4, SideO);
        auto faceColors = [](TVxColor Base) {
            TVxFaceColors f;
            f.Center = Sc(Base, 1.325);
            f.Corners[0] = Sc(Base, 1.3);
            f.Corners[1] = Sc(Base, 1.2);
            f.Corners[2] = Sc(Base, 1.1);
            f.Corners[3] = Sc(Base, 1.25);
            return f;
        };
        TopC = faceColors(C);
        TopO = faceColors(O);
    }

    // The bar's rectangle, normalised, at least 0.0001 wide and high.
    QRectF Rect(int k) const {
        const QPointF a = S.FTopLeft[size_t(k)], b = S.FBottomRight[size_t(k)];
        const double x0 = std::min(a.x(), b.x()), y0 = std::min(a.y(), b.y());
        return QRectF(x0, y0, std::max(std::max(a.x(), b.x()) - x0, 0.0001),
                      std::max(std::max(a.y(), b.y()) - y0, 0.0001));
    }

    bool HasLabel(int k) const {
        return size_t(k) < S.FLabelOf.size() && S.FLabelOf[size_t(k)] >= 0;
    }

    // Nothing of bar k can show: no area, no outline, no label and no handler to change that.
    bool Hidden(int k) const {
        return !AreaOn && !LineOn && !S.OnGetBrush && !S.OnGetPen && !HasLabel(k);
    }

    double XAt(int k) const {
        const TVxCustomDoubleVector* x = S.XData();
        return x && k < x->GetCount() ? S.TransformXValue(k, x->GetValue(k)) : k;
    }
    double YAt(int k) const {
        const TVxCustomDoubleVector* y = S.YData();
        return y && k < y->GetCount() ? S.TransformYValue(k, y->GetValue(k)) : k;
    }

    // The pieces of the 1-pixel outline of R (a stroke of width 1 centred on its edges, with
    // mitred corners): one rectangle when R is a pixel or less across, else the four sides.
    static int FramePieces(const QRectF& R, QRectF* Out) {
        const QRectF outer = R.adjusted(-0.5, -0.5, 0.5, 0.5);
        if (R.width() <= 1 || R.height() <= 1) {
            Out[0] = outer;
            return 1;
        }
        Out[0] = QRectF(outer.left(), outer.top(), outer.width(), 1);
        Out[1] = QRectF(outer.left(), R.bottom() - 0.5, outer.width(), 1);
        Out[2] = QRectF(outer.left(), R.top() + 0.5, 1, R.height() - 1);
        Out[3] = QRectF(R.right() - 0.5, R.top() + 0.5, 1, R.height() - 1);
        return 4;
    }

    // Fills R; on raster targets a tall R in bands of whole pixel rows (edges halfway between
    // pixel centres), which the rasteriser fills as it fills R.
    void FillBanded(const TVxBrush& Brush, const QRectF& R) {
        int rows = BandRows;
        if (Smooth) {
            // A row of an anti-aliased fill is one span per partly covered column at either
            // end and one for the columns between.
            const double columns = std::floor(R.right() + 0.5) - std::floor(R.left() + 0.5) + 1;
            rows = columns <= 1 ? BandRows : columns <= 2 ? BandRows / 2 : BandRows / 3;
        }
        // Bands only over the rows of the drawing area (and a pixel beyond); what lies
        // further out is one fill above and one below.
        const double lo = std::floor(Area.top()) - 1.5, hi = std::ceil(Area.bottom()) + 1.5;
        const double top = std::max(R.top(), lo), bottom = std::min(R.bottom(), hi);
        if (rows <= 0 || !(bottom - top > rows) || !std::isfinite(R.top()) ||
            !std::isfinite(R.bottom()) || !std::isfinite(R.width())) {
            Gr.FillRectangle(Brush, R);
            return;
        }
        auto piece = [&](double A, double B) {
            if (B > A)
                Gr.FillRectangle(Brush, QRectF(R.left(), A, R.width(), B - A));
        };
        piece(R.top(), top);
        for (double y = top; y < bottom;) {
            double next = std::min(bottom, std::floor(y - 0.5) + 0.5 + rows);
            if (!(next > y))
                next = bottom;
            piece(y, next);
            y = next;
        }
        piece(bottom, R.bottom());
    }

    void OutlineFrame(const TVxBrush& Brush, const QRectF& R) {
        QRectF pieces[4];
        const int n = FramePieces(R, pieces);
        for (int j = 0; j < n; ++j)
            FillBanded(Brush, pieces[j]);
    }

    // The pixels bar k may touch (with its label) and those it surely paints opaquely. Exact
    // (without anti-aliasing): every pixel whose square meets the shape widened by half the
    // pen counts as touched, so that drawing the picked bars gives the image of drawing all.
    // Anti-aliased, the pixels whose centres the bar's body covers stand for it, so that bars
    // narrower than a pixel that no pixel centre falls into are left out.
    void Describe(int k, TVxTopmostSelection& Sel, bool Exact) const {
        if (Hidden(k))
            return; // touches nothing: never drawn
        const QRectF r = Rect(k);
        const bool solid = S.FBarStyle != TVxBarStyle::Flat;
        const double pw = LineOn ? std::max(1.0f, S.Line()->Width()) : 0;
        const double dx = solid ? S.FDepthX : 0, dy = solid ? S.FDepthY : 0;
        double left = r.left(), right = r.right() + dx;
        double top = r.top() - dy, bottom = r.bottom();
        if (S.FBarStyle == TVxBarStyle::Cylinder) {
            left -= S.FDepthX;
            top -= S.FDepthY;
            bottom += S.FDepthY;
            right += S.FZylShift + S.FDepthX;
        }
        auto clampInt = [](double v) { return int(std::clamp(v, -1e9, 1e9)); };
        if (!Exact) {
            // The pixels whose centres lie inside the body: touched and, for an opaque bar,
            // covered.
            const TVxPixelRect centres{clampInt(std::ceil(left)), clampInt(std::ceil(top)),
                                       clampInt(std::ceil(right) - 1),
                                       clampInt(std::ceil(bottom) - 1)};
            const bool opaque = OpaqueFill && !S.OnGetBrush && !S.OnGetPen &&
                                (solid || (S.Area()->Solid() && !S.Area()->Gradient()->Visible()));
            Sel.AddPixels(centres, opaque);
        } else if (S.OnGetBrush || S.OnGetPen || S.FBarStyle == TVxBarStyle::Cylinder ||
                   (solid && (dx >= 0.5 || dy >= 0.5))) {
            // Shapes the rasteriser's rules below do not describe: every pixel whose square
            // meets the shape widened by half the pen.
            const double m = pw / 2 + 0.5;
            Sel.AddPixels({clampInt(std::floor(left - m)), clampInt(std::floor(top - m)),
                           clampInt(std::ceil(right + m)), clampInt(std::ceil(bottom + m))},
                          false);
        }
        if (HasLabel(k)) {
            const TVxRichCaptionRec& rec = S.FLabelRecs[size_t(S.FLabelOf[size_t(k)])];
            const double half = std::max(rec.FWidth, rec.FHeight) / 2 + 2;
            const QPointF a = S.FLabelAnchor[size_t(k)];
            Sel.AddPixels({clampInt(std::floor(a.x() - half)), clampInt(std::floor(a.y() - half)),
                           clampInt(std::ceil(a.x() + half)), clampInt(std::ceil(a.y() + half))},
                          false);
        }
        if (!Exact || S.OnGetBrush || S.OnGetPen)
            return;
        // Flat bars and the front of cuboids (their depth too thin to show): the fill and the
        // outline by the rasteriser's rules, opaque where their colours are (a gradient of
        // opaque colours as much as a solid colour).
        if (!solid) {
            const TVxPen pen = S.LinePen();
            const double w = LineOn ? pen.Width : 0;
            if (!(w < r.width() && w < r.height()))
                return;
            const QRectF inner = r.adjusted(w / 2, w / 2, -w / 2, -w / 2);
            if (AreaOn)
                Sel.AddFill(inner,
                            OpaqueFill && S.Area()->Solid() && !S.Area()->Gradient()->Visible());
            if (LineOn) {
                TVxPen standIn = pen;
                if (S.Line()->Gradient()->Visible())
                    standIn.Color = WithAlpha(pen.Color, 0); // touched, not surely covered
                Sel.AddOutline(inner, standIn);
            }
            return;
        }
        if (S.FBarStyle == TVxBarStyle::Cuboid && !(dx >= 0.5 || dy >= 0.5)) {
            if (AreaOn)
                Sel.AddFill(r, OpaqueFill);
            if (LineOn) {
                QRectF pieces[4];
                const int n = FramePieces(r, pieces);
                for (int j = 0; j < n; ++j)
                    Sel.AddFill(pieces[j], OpaqueOutline);
            }
        }
    }

    void Draw(int k) {
        if (Hidden(k))
            return;
        const QRectF r = Rect(k);
        bool brushOn = AreaOn, penOn = LineOn;
        if (S.FBarStyle == TVxBarStyle::Flat || S.OnGetBrush || S.OnGetPen) {
            TVxPen pen =
                S.FBarStyle == TVxBarStyle::Flat && LineOn && S.Line()->Gradient()->Visible()
                    ? S.Line()->GetPen(r)
                    : S.LinePen();
            TVxBrush brush = S.Area()->GetBrush(r);
            if (S.OnGetBrush) {
                TVxBrushEventArgs e;
                e.Index = k;
                e.X = XAt(k);
                e.Y = YAt(k);
                e.Brush = brush;
                e.Visible = AreaOn;
                S.OnGetBrush(&S, e);
                brush = e.Brush;
                brushOn = e.Visible;
            }
            if (S.OnGetPen) {
                TVxPenEventArgs e;
                e.Index = k;
                e.X = XAt(k);
                e.Y = YAt(k);
                e.Pen = pen;
                e.Visible = LineOn;
                S.OnGetPen(&S, e);
                pen = e.Pen;
                penOn = e.Visible;
            }
            if (!penOn)
                pen.Color = WithAlpha(pen.Color, 0);
            if (S.FBarStyle == TVxBarStyle::Flat)
                DrawFlat(r, pen, brush, brushOn, penOn);
        }
        switch (S.FBarStyle) {
        case TVxBarStyle::Flat:
            break;
        case TVxBarStyle::Cuboid:
            if (AreaOn || LineOn)
                DrawCuboid(r);
            break;
        case TVxBarStyle::Cylinder:
            if (AreaOn || LineOn)
                DrawCylinder(r);
            break;
        }
        if (HasLabel(k)) {
            TVxRichCaptionRec rec = S.FLabelRecs[size_t(S.FLabelOf[size_t(k)])];
            rec.X = float(S.FLabelAnchor[size_t(k)].x());
            rec.Y = float(S.FLabelAnchor[size_t(k)].y());
            rec.PaintGr(Gr);
        }
    }

    void DrawFlat(const QRectF& R, const TVxPen& Pen, const TVxBrush& Brush, bool BrushOn,
                  bool PenOn) {
        const double pw = PenOn ? Pen.Width : 0;
        if (!(pw < R.width() && pw < R.height()))
            return; // a pen wider than the bar leaves nothing to show
        const QRectF inner = R.adjusted(pw / 2, pw / 2, -pw / 2, -pw / 2);
        if (BrushOn)
            FillBanded(Brush, inner);
        if (PenOn)
            Gr.DrawRectangle(Pen, inner);
    }

    void DrawCuboid(const QRectF& R) {
        const double x = R.x(), y = R.y(), w = R.width(), h = R.height();
        const double dx = S.FDepthX, dy = S.FDepthY;
        const QRectF frontSpan = S.FBarsHorizontal ? QRectF(Area.left(), y, Area.width(), h) : R;
        const bool fill = C != NoColor;
        const bool outline = O != NoColor;
        const TVxBrush front =
            LinearThreeColorBrush(frontSpan, FrontC[0], FrontC[1], FrontC[2], 0.5, 0);
        // Depth below half a pixel both ways cannot show: the front face is the whole bar.
        const bool depth = dx >= 0.5 || dy >= 0.5;
        if (fill && depth && OpaqueFill) {
            const QPointF silhouette[6] = {{x, y + h},
                                           {x, y},
                                           {x + dx, y - dy},
                                           {x + w + dx, y - dy},
                                           {x + w + dx, y + h - dy},
                                           {x + w, y + h}};
            Gr.FillPolygon(front, silhouette);
        }
        if (fill)
            FillBanded(front, R);
        if (outline)
            OutlineFrame(LinearThreeColorBrush(frontSpan, FrontO[0], FrontO[1], FrontO[2], 0.5, 0),
                         R);
        if (!depth)
            return;
        const QPointF top[4] = {{x, y}, {x + w, y}, {x + w + dx, y - dy}, {x + dx, y - dy}};
        if (fill)
            FillFace(Gr, top, TopC);
        if (outline)
            OutlineFace(Gr, top, TopO);
        const QPointF side[4] = {
            {x + w, y}, {x + w + dx, y - dy}, {x + w + dx, y + h - dy}, {x + w, y + h}};
        const QRectF sideSpan(x + w, y, dx, h);
        if (fill)
            Gr.FillPolygon(LinearThreeColorBrush(sideSpan, SideC[0], SideC[1], SideC[2], 0.5, 0),
                           side);
        if (outline)
            Gr.DrawPolygon(
                TVxPen::FromBrush(
                    LinearThreeColorBrush(sideSpan, SideO[0], SideO[1], SideO[2], 0.5, 0), 1),
                side);
    }

    void DrawCylinder(const QRectF& R) {
        const double x = R.x(), y = R.y(), w = R.width(), h = R.height();
        const double lean = S.FZylShift;
        const bool fill = C != NoColor;
        const bool outline = O != NoColor;
        if (!S.FBarsHorizontal) {
            const double e = S.FDepthY;
            // Body: the sides lean by the shift towards the top; the foot is half an ellipse.
            TVxPath body;
            body.AddLine(QPointF(x, y + h), QPointF(x + lean, y));
            body.AddLine(QPointF(x + lean, y), QPointF(x + w + lean, y));
            body.AddLine(QPointF(x + w + lean, y), QPointF(x + w, y + h));
            body.AddArc(QRectF(x, y + h - e / 2, w, e), 0, 180);
            body.CloseFigure();
            auto bodyBrush = [&](TVxColor B) {
                const TVxGradientStop stops[5] = {
                    {0, B}, {0.25, Sc(B, 1.4)}, {0.5, B}, {0.75, Sc(B, 0.6)}, {1, Sc(B, 0.4)}};
                return LinearStopsBrush(QRectF(x, y, w + lean, h), stops, 0);
            };
            const QRectF cap(x + lean, y - e / 2, w, e);
            if (fill) {
                Gr.FillPath(bodyBrush(C), body);
                Gr.FillEllipse(LinearGradientBrush(cap, Sc(C, 1.4), Sc(C, 0.8), 97), cap);
                Gr.FillEllipse(RadialBrush(cap, QPointF(0.3, 0.85), NoColor, VxColor(0x8CFFFFFF),
                                           VxColor(0x3CFFFFFF)),
                               cap);
            }
            if (outline) {
                Gr.DrawPath(TVxPen::FromBrush(bodyBrush(O), 1), body);
                Gr.DrawArc(
                    TVxPen::FromBrush(LinearGradientBrush(cap, Sc(O, 1.4), Sc(O, 0.8), 97), 1), cap,
                    0, 180);
            }
            return;
        }
        const double e = S.FDepthX;
        // Horizontal: the end lies at the right, leaning upwards by the shift.
        TVxPath body;
        body.AddLine(QPointF(x, y), QPointF(x + w, y - lean));
        body.AddLine(QPointF(x + w, y - lean), QPointF(x + w, y + h - lean));
        body.AddLine(QPointF(x + w, y + h - lean), QPointF(x, y + h));
        body.AddArc(QRectF(x - e / 2, y, e, h), 90, 180);
        body.CloseFigure();
        auto bodyBrush = [&](TVxColor B) {
            const TVxGradientStop stops[5] = {
                {0, B}, {0.35, Sc(B, 1.4)}, {0.5, B}, {0.75, Sc(B, 0.7)}, {1, Sc(B, 0.4)}};
            return LinearStopsBrush(QRectF(x, y - lean, w, h + lean), stops, 90);
        };
        const QRectF cap(x + w - e / 2, y - lean, e, h);
        if (fill) {
            Gr.FillPath(bodyBrush(C), body);
            Gr.FillEllipse(LinearGradientBrush(cap, Sc(C, 0.4), Sc(C, 0.8), 20), cap);
        }
        if (outline) {
            Gr.DrawPath(TVxPen::FromBrush(bodyBrush(O), 1), body);
            Gr.DrawEllipse(
                TVxPen::FromBrush(LinearGradientBrush(cap, Sc(O, 0.4), Sc(O, 0.8), 20), 1), cap);
        }
    }
};

void TVxBars::PaintGr(TVxSurface& Gr) {
    if (!XAxis() || !YAxis() || !Host() || !SeriesVisible())
        return;
    // The first visible bar series paints all of them, so that bars interleave by index.
    std::vector<TVxBars*> bars;
    for (TVxBars* b : GraphBars())
        if (b->SeriesVisible() && b->XAxis() && b->YAxis() && b->Host())
            bars.push_back(b);
    if (bars.empty() || bars.front() != this)
        return;
    int most = 0;
    bool perBar = false;
    for (TVxBars* b : bars) {
        b->EnsurePoints();
        most = std::max(most, int(b->FTopLeft.size()));
        perBar = perBar || b->OnGetPen || b->OnGetBrush;
    }
    const QRectF area = Host()->DrawingArea();
    std::vector<TVxBarsPainter> painters;
    painters.reserve(bars.size());
    for (TVxBars* b : bars)
        painters.emplace_back(*b, Gr, area);
    // Drawing order: by index, then by series. One series needs no list of its items.
    const bool single = bars.size() == 1;
    FPaintItems.clear();
    if (!single)
        for (int k = 0; k < most; ++k)
            for (size_t s = 0; s < bars.size(); ++s)
                if (k < int(bars[s]->FTopLeft.size()))
                    FPaintItems.emplace_back(int(s), k);
    const int count = single ? most : int(FPaintItems.size());
    auto item = [&](int i) { return single ? std::pair<int, int>(0, i) : FPaintItems[size_t(i)]; };
    // On raster targets a bar every pixel of which a later bar paints over cannot show.
    if (Gr.PrefersSprites() && !perBar && count > 1) {
        const TSmoothingMode smoothing = Gr.GetSmoothingMode();
        const bool exact = smoothing != TSmoothingMode::SmoothingModeAntiAlias &&
                           smoothing != TSmoothingMode::SmoothingModeHighQuality;
        const QRect pixels(int(std::floor(area.left())) - 1, int(std::floor(area.top())) - 1,
                           int(std::ceil(area.width())) + 2, int(std::ceil(area.height())) + 2);
        FSelection.Reset(pixels);
        FPicked.clear();
        for (int i = count - 1; i >= 0; --i) {
            const auto [s, k] = item(i);
            FSelection.BeginItem();
            painters[size_t(s)].Describe(k, FSelection, exact);
            if (FSelection.EndItem())
                FPicked.push_back(i);
        }
        for (auto it = FPicked.rbegin(); it != FPicked.rend(); ++it) {
            const auto [s, k] = item(*it);
            painters[size_t(s)].Draw(k);
        }
        return;
    }
    for (int i = 0; i < count; ++i) {
        const auto [s, k] = item(i);
        painters[size_t(s)].Draw(k);
    }
}

// ---------------------------------------------------------------------------------------------
// Queries

int TVxBars::FindPoint(float X, float Y) {
    if (PointsStale())
        return -1;
    for (size_t k = 0; k < FTopLeft.size(); ++k) {
        QRectF r = QRectF(FTopLeft[k], FBottomRight[k]).normalized();
        r.setRight(r.right() + FDepthX);
        r.setTop(r.top() - FDepthY);
        if (X >= r.left() && X <= r.right() && Y >= r.top() && Y <= r.bottom())
            return int(k);
    }
    return -1;
}

int TVxBars::FindPoint(float X, float Y, float Delta) {
    (void)Delta;
    return FindPoint(X, Y);
}

float TVxBars::ExtraSpaceAt(int Border) const {
    if (Border < 2 || Border > 3 || FBarCount <= 0 || !Host() || !XAxis() || !YAxis())
        return 0;
    const TVxAxis* cat = CategoryAxis();
    const double p = (cat->Stop() - cat->Start()) / FBarCount;
    const double r = cat->Scale().NormalizeConst;
    double e = 0;
    const bool top = Border == 2;
    if (FBarStyle != TVxBarStyle::Flat) {
        const TVxAxis* a = top ? YAxis() : XAxis();
        // The series' extent along that axis.
        const bool valueAlong = top != FBarsHorizontal;
        const double start = valueAlong ? FValStart : FCatStart;
        const double stop = valueAlong ? FValStop : FCatStop;
        const double norm = a->Scale().NormalizeConst;
        double room = 0;
        if (norm > 0)
            room = a->Twisted() ? (start - a->Start()) / norm : (a->Stop() - stop) / norm;
        TVxBarEndRoomInput in;
        in.ClassWidth = p;
        in.UnitsPerPixel = r;
        in.RoomLeft = std::isfinite(room) ? room : 0;
        in.ClassesDistance = FClassesDistance;
        in.Depth3D = F3DDepth;
        in.CountGap = top ? FBarsHorizontal : !FBarsHorizontal;
        in.Factor = top ? 0.0026 : 0.0043;
        e = BarEndRoom3D(in);
    }
    const bool labels = FLabelPosition != TVxBarLabelPosition::Invisible &&
                        (FOverlayStyle == TVxBarsOverlayStyle::Shift || FTopMost);
    if (!labels || top == FBarsHorizontal)
        return float(e);
    const_cast<TVxBars*>(this)->EnsurePoints();
    double ratio = -1, best = 0;
    if (top) {
        const double end = YAxis()->NumberToWorld(YAxis()->Stop());
        for (size_t k = 0; k < FLabelOf.size(); ++k) {
            if (FLabelOf[k] < 0)
                continue;
            const TVxRichCaptionRec& rec = FLabelRecs[size_t(FLabelOf[k])];
            const double half = (FLabelVertical ? rec.FWidth : rec.FHeight) / 2;
            const double upper = FLabelAnchor[k].y() - half;
            const double barTop = std::min(FTopLeft[k].y(), FBottomRight[k].y());
            const bool above = upper < barTop && (FLabelVertical || FLabelAnchor[k].y() < barTop);
            if (above && upper <= end && (ratio < 0 || upper < best)) {
                best = upper;
                ratio = FLabelVertical && rec.FHeight > 0 ? rec.FWidth / rec.FHeight : 1;
            }
        }
    } else {
        const double end = XAxis()->NumberToWorld(XAxis()->Stop());
        for (size_t k = 0; k < FLabelOf.size(); ++k) {
            if (FLabelOf[k] < 0)
                continue;
            const TVxRichCaptionRec& rec = FLabelRecs[size_t(FLabelOf[k])];
            const double extent = FLabelVertical ? rec.FHeight : rec.FWidth;
            const double right =
                FLabelAnchor[k].x() + extent / 2 + (FLabelVertical ? 0 : rec.FHeight / 4);
            const double barLeft = std::min(FTopLeft[k].x(), FBottomRight[k].x());
            if (right > barLeft && right >= end && (ratio < 0 || right > best)) {
                best = right;
                ratio = !FLabelVertical && rec.FHeight > 0 ? rec.FWidth / rec.FHeight + 0.25 : 1;
            }
        }
    }
    if (ratio >= 0)
        e += BarEndRoomLabel(FLabelSize, p, r, ratio);
    return float(e);
}

void TVxBars::DrawListItem(TVxLegendItemDrawArgs& e) {
    DrawListItem(e, TVxLegendItemStyle::Filled);
}

void TVxBars::DrawListItem(TVxLegendItemDrawArgs& e, TVxLegendItemStyle Style) {
    (void)Style;
    if (!e.Graphics)
        return;
    // A small bar in the series' colours.
    const QRectF r(e.Rect.x() + e.Rect.width() * 0.25, e.Rect.y(), e.Rect.width() * 0.5,
                   e.Rect.height());
    if (Area()->Visible())
        e.Graphics->FillRectangle(Area()->GetBrush(r), r);
    if (Line()->Visible())
        e.Graphics->DrawRectangle(Line()->GetPen(r), r);
}
