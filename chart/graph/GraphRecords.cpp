// The whole chart saved and loaded: the graph's own record and, before it, the records of
// its vectors, axes, series, legends and markers, in a binary stream (or a file holding
// one), an XML element and an ini section.
//
// A load runs in two passes. The check pass reads every record into new objects that
// nothing holds (references collected and discarded), reads the graph's own fields into a
// plain value and checks every stored path against what exists; any error raises before a
// single component changes. The apply pass then reads the same, now known good, records into
// the components found or created at their paths, applies the graph's fields, and resolves
// the references once every object exists (so forward references to later series, or to a
// master axis stored after its slave, resolve).

#include "annotations/ChartItem.h"
#include "annotations/Legend.h"
#include "axes/Axis.h"
#include "graph/ComponentRegistry.h"
#include "graph/Graph.h"
#include "persistence/AtomicFile.h"
#include "persistence/BinaryStream.h"
#include "persistence/IniFile.h"
#include "persistence/PendingReferences.h"
#include "persistence/RecordErrors.h"
#include "persistence/XmlCodec.h"
#include "styles/StyleRecords.h"
#include "util/ComponentPaths.h"
#include "util/Exceptions.h"
#include "vectors/DoubleVector.h"

#include <QBuffer>
#include <QFile>
#include <algorithm>
#include <map>
#include <memory>
#include <optional>

// The base graph stores nothing.
void TVxCustomGraph::WriteTo(const QString& FileName, bool IncludeValues) const {
    (void)FileName;
    (void)IncludeValues;
}
void TVxCustomGraph::ReadFrom(const QString& FileName) {
    (void)FileName;
}
void TVxCustomGraph::WriteTo(QIODevice& Stream, bool IncludeValues) const {
    (void)Stream;
    (void)IncludeValues;
}
void TVxCustomGraph::ReadFrom(QIODevice& Stream) {
    (void)Stream;
}
void TVxCustomGraph::WriteTo(pugi::xml_node Node, bool IncludeValues) const {
    (void)Node;
    (void)IncludeValues;
}
void TVxCustomGraph::ReadFrom(pugi::xml_node Element) {
    (void)Element;
}
void TVxCustomGraph::WriteTo(TVxIniFile& Ini, const QString& Section, bool IncludeValues) const {
    (void)Ini;
    (void)Section;
    (void)IncludeValues;
}
void TVxCustomGraph::ReadFrom(const TVxIniFile& Ini, const QString& Section) {
    (void)Ini;
    (void)Section;
}

namespace {

constexpr const char* RecordName = "TVxGraph2D";
constexpr int LastCaptionAlignment = int(TVxCaptionAlignment::Center);
constexpr int LastBufferType = int(TVxZoomBufferType::AsStack);

/// The kinds of stored objects.
enum class TKind { Vector, Axis, Series, Legend, Marker };

const char* KindName(TKind Kind) {
    switch (Kind) {
    case TKind::Vector:
        return "vector";
    case TKind::Axis:
        return "axis";
    case TKind::Series:
        return "series";
    case TKind::Legend:
        return "legend";
    default:
        return "marker";
    }
}

/// One stored object as the check pass found it, and where its record is.
struct TStored {
    TKind Kind = TKind::Vector;
    const TVxComponentClass* Class = nullptr; // series and markers
    QString Path;
    qint64 Offset = 0;   // binary: the record's first byte
    pugi::xml_node Node; // XML: the object's element
    QString Section;     // ini: the object's section
    /// A vector the check pass read for a path where nothing exists yet: the apply pass
    /// adopts it (owner and name) instead of reading its record a second time.
    std::unique_ptr<QObject> Checked;
};

/// The graph's own fields, read before anything changes.
struct TGraphFields {
    bool Visible = true;
    int Anchors = 3;
    int Align = 0;
    int Top = 0, Left = 0, Width = 0, Height = 0;
    int BorderStyle = 0;
    QString Hint;
    bool ParentShowHint = true;
    bool ShowHint = false;
    TVxColor BackColor = 0;
    TVxColor DataAreaColor = 0;
    bool ZeroOrigin = false;
    QString PrimaryXAxis, PrimaryYAxis;
    float Distance[4] = {0, 0, 0, 0}; // top, bottom, left, right
    QString Caption;
    int CaptionAlignment = 0;
    TVxColor CaptionColor = 0;
    float CaptionDistanceBefore = 0, CaptionDistanceAfter = 0;
    bool CaptionVisible = false;
    std::unique_ptr<TVxFont> CaptionFont = std::make_unique<TVxFont>();
    bool ZoomAuto = false, OptimizeSeries = false, BackOnClickBeside = false;
    bool ResetOnDoubleClickBeside = false, ResetOnFrame = false;
    bool HScrollbarVisible = false, VScrollbarVisible = false, BackOnFrame = false;
    int BufferType = 0;
    unsigned StartZoom = 0, StartPanning = 0;
    std::unique_ptr<TVxLineSettings> Grid[4]; // major H, major V, minor H, minor V
    std::unique_ptr<TVxGradientSettings> BackgroundGradient =
        std::make_unique<TVxGradientSettings>();
    std::unique_ptr<TVxGradientSettings> DataAreaGradient = std::make_unique<TVxGradientSettings>();
    std::unique_ptr<TVxLineSettings> DataAreaFrame = std::make_unique<TVxLineSettings>();
};

const char* const GridNames[4] = {"MajorGridHorizontal", "MajorGridVertical", "MinorGridHorizontal",
                                  "MinorGridVertical"};
const char* const DistanceNames[4] = {"DistanceBorderAxisTop", "DistanceBorderAxisBottom",
                                      "DistanceBorderAxisLeft", "DistanceBorderAxisRight"};

int IntProperty(const QObject& Object, const char* Name, int Default) {
    const QVariant v = Object.property(Name);
    return v.isValid() ? v.toInt() : Default;
}

bool BoolProperty(const QObject& Object, const char* Name, bool Default) {
    const QVariant v = Object.property(Name);
    return v.isValid() ? v.toBool() : Default;
}

/// Throws the error of a record in the chart.
[[noreturn]] void Fail(const QString& Message) {
    throw EVxStreamError(Message.toStdString());
}

} // namespace

/// The graph's side of the records: enumeration of the stored objects, the two passes of a
/// load and the graph's own fields.
class TVxGraphRecords {
public:
    explicit TVxGraphRecords(TVxGraph2D& Graph) : G(Graph) {}

    // --- what is stored ---------------------------------------------------------------------

    std::vector<TVxDoubleVector*> Vectors() const {
        std::vector<TVxDoubleVector*> list;
        for (TVxSeries* s : StoredSeries(false))
            for (TVxCustomDoubleVector* v : s->ReferencedVectors()) {
                auto* dv = qobject_cast<TVxDoubleVector*>(v);
                if (dv && !dv->objectName().isEmpty() &&
                    std::find(list.begin(), list.end(), dv) == list.end())
                    list.push_back(dv);
            }
        return list;
    }

    std::vector<TVxAxis*> Axes(bool NamedOnly) const {
        std::vector<TVxAxis*> list;
        for (TVxAxis* a : G.ChildAxes())
            if (!NamedOnly || !a->objectName().isEmpty())
                list.push_back(a);
        return list;
    }

    /// Related series with a name whose class can be created again.
    std::vector<TVxSeries*> StoredSeries(bool) const {
        std::vector<TVxSeries*> list;
        for (TVxSeries* s : G.RelatedSeries())
            if (!s->objectName().isEmpty() && ExactClass(s, TVxComponentKind::Series))
                list.push_back(s);
        return list;
    }

    std::vector<TVxLegend*> Legends() const {
        std::vector<TVxLegend*> list;
        for (TVxChartItem* item : G.Items())
            if (auto* l = qobject_cast<TVxLegend*>(item); l && !l->objectName().isEmpty())
                list.push_back(l);
        return list;
    }

    /// The graph's markers (an object a marker owns, such as a cross-hair's lines, belongs
    /// to that marker and is not stored on its own).
    std::vector<QObject*> Markers(bool NamedOnly) const {
        std::vector<QObject*> list;
        for (TVxChartItem* item : G.Items())
            if (ExactClass(item, TVxComponentKind::Marker) && !IsMarker(item->parent()) &&
                (!NamedOnly || !item->objectName().isEmpty()))
                list.push_back(item);
        return list;
    }

    static const TVxComponentClass* ExactClass(const QObject* Object, TVxComponentKind Kind) {
        const TVxComponentClass* c = TVxComponentRegistry::Instance().Find(
            QString::fromLatin1(Object->metaObject()->className()));
        return c && c->Kind == Kind ? c : nullptr;
    }

    static bool IsMarker(const QObject* Object) {
        return Object && ExactClass(Object, TVxComponentKind::Marker);
    }

    // --- the graph's own fields ----------------------------------------------------------------

    /// The fields as the graph holds them now (the defaults of a partial ini section).
    std::unique_ptr<TGraphFields> CurrentFields() const {
        auto f = std::make_unique<TGraphFields>();
        f->Visible = !G.isHidden();
        f->Anchors = IntProperty(G, "Anchors", 3);
        f->Align = IntProperty(G, "Align", 0);
        f->Top = G.y();
        f->Left = G.x();
        f->Width = G.width();
        f->Height = G.height();
        f->BorderStyle = IntProperty(G, "BorderStyle", 0);
        f->Hint = G.toolTip();
        f->ParentShowHint = BoolProperty(G, "ParentShowHint", true);
        f->ShowHint = BoolProperty(G, "ShowHint", false);
        f->BackColor = G.BackColor();
        f->DataAreaColor = G.DataAreaColor();
        f->ZeroOrigin = G.ZeroOrigin();
        f->PrimaryXAxis = ComponentPath(G.PrimaryXAxis());
        f->PrimaryYAxis = ComponentPath(G.PrimaryYAxis());
        f->Distance[0] = G.DistanceBorderAxisTop();
        f->Distance[1] = G.DistanceBorderAxisBottom();
        f->Distance[2] = G.DistanceBorderAxisLeft();
        f->Distance[3] = G.DistanceBorderAxisRight();
        f->Caption = G.Caption();
        f->CaptionAlignment = int(G.CaptionAlignment());
        f->CaptionColor = G.CaptionColor();
        f->CaptionDistanceBefore = G.CaptionDistanceBefore();
        f->CaptionDistanceAfter = G.CaptionDistanceAfter();
        f->CaptionVisible = G.CaptionVisible();
        f->CaptionFont->Assign(*G.CaptionFont());
        const TVxZoomSettings& z = *G.Zoom();
        f->ZoomAuto = z.Auto();
        f->OptimizeSeries = z.OptimizeSeries();
        f->BackOnClickBeside = z.BackOnClickBeside();
        f->ResetOnDoubleClickBeside = z.ResetOnDoubleClickBeside();
        f->ResetOnFrame = z.ResetOnRightBottomLeftTopFrame();
        f->HScrollbarVisible = z.HScrollbarVisible();
        f->VScrollbarVisible = z.VScrollbarVisible();
        f->BackOnFrame = z.BackOnRightBottomLeftTopFrame();
        f->BufferType = int(z.BufferType());
        f->StartZoom = z.StartZoom().Bits();
        f->StartPanning = z.StartPanning().Bits();
        const TVxLineSettings* grids[4] = {G.MajorGridHorizontal(), G.MajorGridVertical(),
                                           G.MinorGridHorizontal(), G.MinorGridVertical()};
        for (int k = 0; k < 4; ++k) {
            f->Grid[k] = std::make_unique<TVxLineSettings>();
            f->Grid[k]->Assign(grids[k]);
        }
        f->BackgroundGradient->Assign(G.BackgroundGradient());
        f->DataAreaGradient->Assign(G.DataAreaGradient());
        f->DataAreaFrame->Assign(G.DataAreaFrame());
        return f;
    }

    /// Applies the fields through the setters (undo steps are recorded); the title's
    /// visibility and the zoom buffer type are stored directly.
    void ApplyFields(const TGraphFields& f) {
        if (G.parentWidget() && G.isHidden() == f.Visible)
            G.setVisible(f.Visible);
        G.setProperty("Anchors", f.Anchors);
        G.setProperty("Align", f.Align);
        G.setProperty("BorderStyle", f.BorderStyle);
        G.setProperty("ParentShowHint", f.ParentShowHint);
        G.setProperty("ShowHint", f.ShowHint);
        const QRect r(f.Left, f.Top, f.Width, f.Height);
        if (G.geometry() != r)
            G.setGeometry(r);
        if (G.toolTip() != f.Hint)
            G.setToolTip(f.Hint);
        G.SetBackColor(f.BackColor);
        G.SetDataAreaColor(f.DataAreaColor);
        G.SetZeroOrigin(f.ZeroOrigin);
        G.SetDistanceBorderAxisTop(f.Distance[0]);
        G.SetDistanceBorderAxisBottom(f.Distance[1]);
        G.SetDistanceBorderAxisLeft(f.Distance[2]);
        G.SetDistanceBorderAxisRight(f.Distance[3]);
        G.SetCaption(f.Caption);
        G.SetCaptionAlignment(TVxCaptionAlignment(f.CaptionAlignment));
        G.SetCaptionDistanceBefore(f.CaptionDistanceBefore);
        G.SetCaptionDistanceAfter(f.CaptionDistanceAfter);
        G.SetCaptionFont(f.CaptionFont.get());
        G.SetCaptionColor(f.CaptionColor);
        G.FCaptionVisible = f.CaptionVisible;
        TVxZoomSettings& z = *G.Zoom();
        z.SetAuto(f.ZoomAuto);
        z.SetOptimizeSeries(f.OptimizeSeries);
        z.SetBackOnClickBeside(f.BackOnClickBeside);
        z.SetResetOnDoubleClickBeside(f.ResetOnDoubleClickBeside);
        z.SetResetOnRightBottomLeftTopFrame(f.ResetOnFrame);
        z.SetHScrollbarVisible(f.HScrollbarVisible);
        z.SetVScrollbarVisible(f.VScrollbarVisible);
        z.SetBackOnRightBottomLeftTopFrame(f.BackOnFrame);
        z.SetBufferType(TVxZoomBufferType(f.BufferType));
        // The two key sets must differ at every step: the one that would meet the other's
        // current value goes second.
        const TVxShiftState zoom = TVxShiftState::FromBits(f.StartZoom);
        const TVxShiftState pan = TVxShiftState::FromBits(f.StartPanning);
        if (zoom == z.StartPanning()) {
            z.SetStartPanning(pan);
            z.SetStartZoom(zoom);
        } else {
            z.SetStartZoom(zoom);
            z.SetStartPanning(pan);
        }
        G.SetMajorGridHorizontal(f.Grid[0].get());
        G.SetMajorGridVertical(f.Grid[1].get());
        G.SetMinorGridHorizontal(f.Grid[2].get());
        G.SetMinorGridVertical(f.Grid[3].get());
        G.SetBackgroundGradient(f.BackgroundGradient.get());
        G.SetDataAreaGradient(f.DataAreaGradient.get());
        G.SetDataAreaFrame(f.DataAreaFrame.get());
        G.ParseCaption();
    }

    /// What the setters would refuse is refused while checking.
    static void CheckFields(const TGraphFields& f) {
        if (f.StartZoom == f.StartPanning)
            Fail("zooming and panning start with the same keys");
    }

    static void WriteFields(TVxStreamWriter& out, const TGraphFields& f) {
        out.WriteBool(f.Visible);
        out.WriteByte(uint8_t(f.Anchors));
        out.WriteByte(uint8_t(f.Align));
        out.WriteInt32(f.Top);
        out.WriteInt32(f.Left);
        out.WriteInt32(f.Width);
        out.WriteInt32(f.Height);
        out.WriteByte(uint8_t(f.BorderStyle));
        out.WriteText(f.Hint);
        out.WriteBool(f.ParentShowHint);
        out.WriteBool(f.ShowHint);
        out.WriteColor(f.BackColor);
        out.WriteColor(f.DataAreaColor);
        out.WriteBool(f.ZeroOrigin);
        out.WriteText(f.PrimaryXAxis);
        out.WriteText(f.PrimaryYAxis);
        for (float d : f.Distance)
            out.WriteSingle(d);
        out.WriteText(f.Caption);
        out.WriteByte(uint8_t(f.CaptionAlignment));
        out.WriteColor(f.CaptionColor);
        out.WriteSingle(f.CaptionDistanceBefore);
        out.WriteSingle(f.CaptionDistanceAfter);
        WriteFontSettings(out, *f.CaptionFont);
        out.WriteBool(f.ZoomAuto);
        out.WriteBool(f.OptimizeSeries);
        out.WriteBool(f.BackOnClickBeside);
        out.WriteBool(f.ResetOnDoubleClickBeside);
        out.WriteBool(f.ResetOnFrame);
        out.WriteBool(f.HScrollbarVisible);
        out.WriteBool(f.VScrollbarVisible);
        out.WriteInt16(uint16_t(f.StartZoom));
        out.WriteInt16(uint16_t(f.StartPanning));
        for (const auto& g : f.Grid)
            WriteLineSettings(out, *g);
        out.WriteContinuation(true);
        WriteGradientSettings(out, *f.BackgroundGradient);
        WriteGradientSettings(out, *f.DataAreaGradient);
        out.WriteContinuation(true);
        out.WriteByte(uint8_t(f.BufferType));
        out.WriteContinuation(true);
        out.WriteBool(f.CaptionVisible);
        out.WriteContinuation(true);
        WriteLineSettings(out, *f.DataAreaFrame);
        out.WriteContinuation(true);
        out.WriteBool(f.BackOnFrame);
        out.WriteContinuation(false);
    }

    static float FiniteSingle(TVxStreamReader& in, const char* Name) {
        const float v = in.ReadSingle();
        if (!std::isfinite(v))
            Fail(QString("invalid number in %1").arg(QString::fromLatin1(Name)));
        return v;
    }

    static void ReadFields(TVxStreamReader& in, TGraphFields& f) {
        f.Visible = in.ReadBool();
        f.Anchors = in.ReadByte();
        f.Align = in.ReadByte();
        f.Top = in.ReadInt32();
        f.Left = in.ReadInt32();
        f.Width = in.ReadInt32();
        f.Height = in.ReadInt32();
        f.BorderStyle = in.ReadByte();
        f.Hint = in.ReadText();
        f.ParentShowHint = in.ReadBool();
        f.ShowHint = in.ReadBool();
        f.BackColor = in.ReadColor();
        f.DataAreaColor = in.ReadColor();
        f.ZeroOrigin = in.ReadBool();
        f.PrimaryXAxis = in.ReadText();
        f.PrimaryYAxis = in.ReadText();
        for (int k = 0; k < 4; ++k)
            f.Distance[k] = FiniteSingle(in, DistanceNames[k]);
        f.Caption = in.ReadText();
        f.CaptionAlignment = in.ReadEnum(LastCaptionAlignment);
        f.CaptionColor = in.ReadColor();
        f.CaptionDistanceBefore = FiniteSingle(in, "CaptionDistanceBefore");
        f.CaptionDistanceAfter = FiniteSingle(in, "CaptionDistanceAfter");
        ReadFontSettings(in, *f.CaptionFont);
        f.ZoomAuto = in.ReadBool();
        f.OptimizeSeries = in.ReadBool();
        f.BackOnClickBeside = in.ReadBool();
        f.ResetOnDoubleClickBeside = in.ReadBool();
        f.ResetOnFrame = in.ReadBool();
        f.HScrollbarVisible = in.ReadBool();
        f.VScrollbarVisible = in.ReadBool();
        f.StartZoom = in.ReadInt16() & TVxShiftState::AllBits;
        f.StartPanning = in.ReadInt16() & TVxShiftState::AllBits;
        for (auto& g : f.Grid)
            ReadLineSettings(in, *g);
        // Later groups, each behind a continuation byte; records written before a group
        // existed end earlier and keep the current values.
        if (!in.ReadContinuation())
            return;
        ReadGradientSettings(in, *f.BackgroundGradient);
        ReadGradientSettings(in, *f.DataAreaGradient);
        if (!in.ReadContinuation())
            return;
        f.BufferType = in.ReadEnum(LastBufferType);
        if (!in.ReadContinuation())
            return;
        f.CaptionVisible = in.ReadBool();
        if (!in.ReadContinuation())
            return;
        ReadLineSettings(in, *f.DataAreaFrame);
        if (!in.ReadContinuation())
            return;
        f.BackOnFrame = in.ReadBool();
        CheckEndMarker(in.ReadByte(), "after the graph's fields");
    }

    // --- paths ---------------------------------------------------------------------------

    /// Checks that a stored path can be found or created as Kind: what exists there is of
    /// that kind (a series of another class is replaced; a graph's marker is freed first),
    /// its owner exists, and no other object of this load claimed the path as another kind.
    void CheckPath(TKind Kind, const QString& ClassName, const QString& Path) {
        if (Path.isEmpty())
            return;
        if (auto it = FClaimed.find(Path); it != FClaimed.end()) {
            if (it->second.first != Kind ||
                (Kind == TKind::Series && it->second.second != ClassName))
                Fail(QString("the path \"%1\" is stored twice, as %2 and as %3")
                         .arg(Path, QString::fromLatin1(KindName(it->second.first)),
                              QString::fromLatin1(KindName(Kind))));
            return;
        }
        FClaimed.emplace(Path, std::make_pair(Kind, ClassName));
        QObject* existing = FindComponentByPath(Path);
        if (!existing) {
            // An owner that a record of this load creates will be there (a child series
            // stored before its parent): CheckOwners looks once every path is claimed.
            if (!FindOwnerOfPath(Path))
                FMissingOwners.push_back(Path);
            return;
        }
        bool fits = false;
        switch (Kind) {
        case TKind::Vector:
            fits = qobject_cast<TVxDoubleVector*>(existing) != nullptr;
            break;
        case TKind::Axis:
            fits = qobject_cast<TVxAxis*>(existing) != nullptr;
            break;
        case TKind::Series:
            fits = qobject_cast<TVxSeries*>(existing) != nullptr;
            break;
        case TKind::Legend:
            fits = qobject_cast<TVxLegend*>(existing) != nullptr;
            break;
        case TKind::Marker: {
            const auto markers = Markers(false);
            fits = QString::fromLatin1(existing->metaObject()->className()) == ClassName ||
                   std::find(markers.begin(), markers.end(), existing) != markers.end();
            break;
        }
        }
        if (!fits)
            Fail(QString("\"%1\" names a %2, not a %3 of class %4")
                     .arg(Path, QString::fromLatin1(existing->metaObject()->className()),
                          QString::fromLatin1(KindName(Kind)),
                          ClassName.isEmpty() ? QString::fromLatin1(KindName(Kind)) : ClassName));
    }

    /// Fails unless the owner of every path that CheckPath found without one is claimed by
    /// a record of this load.
    void CheckOwners() const {
        for (const QString& path : FMissingOwners)
            if (FClaimed.count(path.left(path.lastIndexOf('.'))) == 0)
                Fail(QString("the owner of \"%1\" does not exist").arg(path));
    }

    /// Puts the graph's related series that Order names into that order, in the places
    /// they take now (series created with their owner join the graph when the owner does).
    void RestoreSeriesOrder(const std::vector<QPointer<TVxSeries>>& Order) {
        std::vector<QPointer<TVxSeries>>& related = G.FRelatedSeries;
        std::vector<QPointer<TVxSeries>> ordered;
        for (const QPointer<TVxSeries>& s : Order)
            if (s && std::find(ordered.begin(), ordered.end(), s) == ordered.end() &&
                std::find(related.begin(), related.end(), s) != related.end())
                ordered.push_back(s);
        std::vector<size_t> places;
        for (size_t i = 0; i < related.size(); ++i)
            if (std::find(ordered.begin(), ordered.end(), related[i]) != ordered.end())
                places.push_back(i);
        if (places.size() != ordered.size())
            return; // a series listed twice: left as it is
        for (size_t k = 0; k < places.size(); ++k)
            related[places[k]] = ordered[k];
    }

    // --- the apply pass ------------------------------------------------------------------------

    /// The object at a path, created when missing (owner: the path's owner, name: its last
    /// segment); a series of another class is replaced first.
    QObject* FindOrCreate(TStored& s, bool& Read) {
        Read = true;
        QObject* existing = FindComponentByPath(s.Path);
        if (existing && s.Kind == TKind::Series &&
            QString::fromLatin1(existing->metaObject()->className()) != s.Class->ClassName) {
            delete existing;
            existing = nullptr;
        }
        if (existing)
            return existing;
        QObject* owner = FindOwnerOfPath(s.Path).value_or(nullptr);
        if (s.Checked) {
            QObject* adopted = s.Checked.release();
            adopted->setParent(owner);
            adopted->setObjectName(s.Path.mid(s.Path.lastIndexOf('.') + 1));
            Read = false;
            return adopted;
        }
        QObject* created = nullptr;
        switch (s.Kind) {
        case TKind::Vector:
            created = new TVxDoubleVector(owner);
            break;
        case TKind::Axis:
            created = new TVxAxis(owner);
            break;
        case TKind::Legend:
            created = new TVxLegend(owner);
            break;
        default:
            created = s.Class->Create(owner);
            break;
        }
        created->setObjectName(s.Path.mid(s.Path.lastIndexOf('.') + 1));
        if (s.Kind == TKind::Axis)
            G.AddAxis(static_cast<TVxAxis*>(created));
        return created;
    }

    /// Keeps a checked vector for adoption when nothing exists at its path (so a chart loaded
    /// into a new form reads its values once); anything else is dropped now, so that no
    /// second copy of the values is held.
    static void KeepChecked(TStored& s, std::unique_ptr<QObject> Object) {
        if (s.Kind == TKind::Vector && !s.Path.isEmpty() && !FindComponentByPath(s.Path))
            s.Checked = std::move(Object);
    }

    /// A throwaway object of a stored kind, for the check pass and unnamed records.
    static std::unique_ptr<QObject> Throwaway(const TStored& s) {
        switch (s.Kind) {
        case TKind::Vector:
            return std::make_unique<TVxDoubleVector>();
        case TKind::Axis:
            return std::make_unique<TVxAxis>();
        case TKind::Legend:
            return std::make_unique<TVxLegend>();
        default:
            return std::unique_ptr<QObject>(s.Class->Create(nullptr));
        }
    }

    /// The apply pass: frees the graph's markers, reads every record into the object at its
    /// path (or a throwaway one when the path is empty and ReadUnnamed), applies the fields,
    /// resolves the references and recalculates the series.
    void Apply(std::vector<TStored>& Stored, const TGraphFields& Fields, bool ReadUnnamed,
               const std::function<void(const TStored&, QObject*)>& Read) {
        struct TGuard {
            TVxGraph2D& G;
            bool Updating = true;
            explicit TGuard(TVxGraph2D& Graph) : G(Graph) {
                G.BeginUpdate();
                G.FLoading = true;
            }
            void EndUpdate() {
                Updating = false;
                G.EndUpdate();
            }
            ~TGuard() {
                if (Updating)
                    G.EndUpdate();
                G.FLoading = false;
            }
        } guard(G);
        TVxPendingReferences refs;
        if (std::any_of(Stored.begin(), Stored.end(),
                        [](const TStored& s) { return s.Kind == TKind::Marker; })) {
            std::vector<QObject*> markers = Markers(false);
            for (auto it = markers.rbegin(); it != markers.rend(); ++it)
                delete *it;
        }
        std::vector<QPointer<TVxSeries>> loaded(Stored.size());
        // A record whose owner a later record creates waits for it (the check pass made
        // sure that one does).
        std::vector<size_t> pending(Stored.size());
        for (size_t i = 0; i < Stored.size(); ++i)
            pending[i] = i;
        while (!pending.empty()) {
            std::vector<size_t> waiting;
            for (const size_t index : pending) {
                TStored& s = Stored[index];
                if (s.Path.isEmpty()) {
                    if (ReadUnnamed) {
                        std::unique_ptr<QObject> dummy = Throwaway(s);
                        Read(s, dummy.get());
                    }
                    continue;
                }
                if (!FindOwnerOfPath(s.Path)) {
                    waiting.push_back(index);
                    continue;
                }
                bool read = true;
                QObject* target = FindOrCreate(s, read);
                if (read)
                    Read(s, target);
                if (s.Kind == TKind::Series)
                    loaded[index] = static_cast<TVxSeries*>(target);
                if (s.Kind == TKind::Legend) {
                    auto* legend = static_cast<TVxLegend*>(target);
                    if (!legend->Host())
                        legend->SetHost(&G);
                    if (legend->Graph() != &G)
                        legend->SetGraph(&G);
                }
                if (s.Kind == TKind::Marker)
                    if (auto* item = qobject_cast<TVxChartItem*>(target);
                        item && item->Host() != &G)
                        item->SetHost(&G);
            }
            if (waiting.size() == pending.size())
                break; // no owner came: cannot happen after the check pass
            pending.swap(waiting);
        }
        ApplyFields(Fields);
        refs.Resolve();
        RestoreSeriesOrder(loaded); // the series joined the graph as their axes were set
        G.SetPrimaryXAxis(qobject_cast<TVxAxis*>(FindComponentByPath(Fields.PrimaryXAxis)));
        G.SetPrimaryYAxis(qobject_cast<TVxAxis*>(FindComponentByPath(Fields.PrimaryYAxis)));
        // The series recalculate once the update ends, the axes still ignoring the range
        // changes. A series whose data cannot be computed now is no fault of the chart file:
        // it reports at the next poll or paint like any other.
        guard.EndUpdate();
        for (const QPointer<TVxSeries>& s : loaded)
            if (s)
                try {
                    s->Calculate();
                } catch (const EVxException&) {
                }
    }

    // --- binary ---------------------------------------------------------------------------

    void WriteStream(QIODevice& Stream, bool IncludeValues) const {
        TVxStreamWriter out(Stream);
        out.WriteComponent(&G);
        out.WriteBool(IncludeValues);
        if (IncludeValues) {
            const auto vectors = Vectors();
            qint64 bytes = 0;
            for (const TVxDoubleVector* v : vectors)
                bytes += qint64(v->GetCount()) * 8 + 64;
            out.Reserve(bytes + 4096);
            out.WriteInt32(int32_t(vectors.size()));
            for (const TVxDoubleVector* v : vectors)
                v->WriteTo(Stream);
        }
        const auto axes = Axes(false);
        out.WriteInt32(int32_t(axes.size()));
        for (const TVxAxis* a : axes)
            a->WriteTo(Stream);
        const auto series = StoredSeries(false);
        out.WriteInt32(int32_t(series.size()));
        for (const TVxSeries* s : series)
            ExactClass(s, TVxComponentKind::Series)->WriteStream(s, Stream);
        const auto legends = Legends();
        out.WriteInt32(int32_t(legends.size()));
        for (const TVxLegend* l : legends)
            l->WriteToStream(out);
        const auto markers = Markers(false);
        out.WriteInt32(int32_t(markers.size()));
        for (const QObject* m : markers)
            ExactClass(m, TVxComponentKind::Marker)->WriteStream(m, Stream);
        WriteFields(out, *CurrentFields());
    }

    static void ReadStreamRecord(const TStored& s, QObject* Target, QIODevice& Stream) {
        if (!Stream.seek(s.Offset))
            Fail("the stream cannot be positioned");
        switch (s.Kind) {
        case TKind::Vector:
            static_cast<TVxDoubleVector*>(Target)->ReadFrom(Stream);
            break;
        case TKind::Axis:
            static_cast<TVxAxis*>(Target)->ReadFrom(Stream, true);
            break;
        case TKind::Legend: {
            TVxStreamReader in(Stream);
            static_cast<TVxLegend*>(Target)->ReadFromStream(in);
            break;
        }
        default:
            s.Class->ReadStream(Target, Stream);
            break;
        }
    }

    void ReadStream(QIODevice& Source) {
        // Records are read twice (checked, then applied): a stream that cannot seek is
        // taken whole into memory first.
        std::unique_ptr<QBuffer> copy;
        QIODevice* device = &Source;
        if (Source.isSequential()) {
            copy = std::make_unique<QBuffer>();
            copy->setData(Source.readAll());
            copy->open(QIODevice::ReadOnly);
            device = copy.get();
        }
        QIODevice& Stream = *device;
        std::vector<TStored> stored;
        auto fields = std::make_unique<TGraphFields>();
        {
            auto current = CurrentFields();
            fields.swap(current);
        }
        qint64 end = 0;
        ReadNamedRecord(RecordName, [&] {
            TVxPendingReferences discarded;
            TVxStreamReader in(Stream);
            in.ReadText(); // the graph's own path is not used
            const bool values = in.ReadBool();
            const auto readList = [&](TKind Kind, bool Ok) {
                if (!Ok)
                    return;
                const int count = in.ReadCount(4);
                for (int i = 0; i < count; ++i) {
                    TStored s;
                    s.Kind = Kind;
                    s.Offset = Stream.pos();
                    QString className;
                    if (Kind == TKind::Series || Kind == TKind::Marker) {
                        className = in.ReadText();
                        s.Class = TVxComponentRegistry::Instance().Find(className);
                        if (!s.Class ||
                            s.Class->Kind != (Kind == TKind::Series ? TVxComponentKind::Series
                                                                    : TVxComponentKind::Marker))
                            Fail(QString("unknown %1 class \"%2\" (its record cannot be skipped)")
                                     .arg(QString::fromLatin1(KindName(Kind)), className));
                    }
                    s.Path = in.ReadText();
                    CheckPath(Kind, className, s.Path);
                    std::unique_ptr<QObject> dummy = Throwaway(s);
                    ReadStreamRecord(s, dummy.get(), Stream);
                    KeepChecked(s, std::move(dummy));
                    stored.push_back(std::move(s));
                }
            };
            readList(TKind::Vector, values);
            readList(TKind::Axis, true);
            readList(TKind::Series, true);
            readList(TKind::Legend, true);
            readList(TKind::Marker, true);
            CheckOwners();
            ReadFields(in, *fields);
            CheckFields(*fields);
            end = Stream.pos();
            discarded.Discard();
        });
        Apply(stored, *fields, true,
              [&](const TStored& s, QObject* t) { ReadStreamRecord(s, t, Stream); });
        Stream.seek(end);
    }

    // --- XML ------------------------------------------------------------------------------

    void WriteXml(pugi::xml_node Node, bool IncludeValues) const {
        pugi::xml_node e = Node.append_child(RecordName);
        SetXmlComponent(e, "Name", &G);
        if (IncludeValues) {
            const auto vectors = Vectors();
            pugi::xml_node list = e.append_child("Vectors");
            SetXmlInt(list, "Count", qint64(vectors.size()));
            for (const TVxDoubleVector* v : vectors)
                v->WriteTo(list);
        }
        const auto axes = Axes(false);
        pugi::xml_node list = e.append_child("Axes");
        SetXmlInt(list, "Count", qint64(axes.size()));
        for (const TVxAxis* a : axes)
            a->WriteTo(list);
        const auto series = StoredSeries(false);
        list = e.append_child("RelatedSeries");
        SetXmlInt(list, "Count", qint64(series.size()));
        for (const TVxSeries* s : series)
            ExactClass(s, TVxComponentKind::Series)->WriteXml(s, list);
        const auto legends = Legends();
        list = e.append_child("RelatedLegends");
        SetXmlInt(list, "Count", qint64(legends.size()));
        for (const TVxLegend* l : legends)
            l->WriteToXml(list);
        const auto markers = Markers(false);
        list = e.append_child("Markers");
        SetXmlInt(list, "Count", qint64(markers.size()));
        for (const QObject* m : markers)
            ExactClass(m, TVxComponentKind::Marker)->WriteXml(m, list);

        const auto f = CurrentFields();
        pugi::xml_node p = e.append_child("Properties");
        SetXmlBool(p, "Visible", f->Visible);
        SetXmlInt(p, "Anchors", f->Anchors);
        SetXmlInt(p, "Align", f->Align);
        SetXmlInt(p, "Top", f->Top);
        SetXmlInt(p, "Left", f->Left);
        SetXmlInt(p, "Width", f->Width);
        SetXmlInt(p, "Height", f->Height);
        SetXmlInt(p, "BorderStyle", f->BorderStyle);
        SetXmlText(p, "Hint", f->Hint);
        SetXmlBool(p, "ParentShowHint", f->ParentShowHint);
        SetXmlBool(p, "ShowHint", f->ShowHint);
        SetXmlColor(p, "BackColor", f->BackColor);
        SetXmlColor(p, "DataAreaColor", f->DataAreaColor);
        SetXmlBool(p, "ZeroOrigin", f->ZeroOrigin);
        SetXmlText(p, "PrimaryXAxis", f->PrimaryXAxis);
        SetXmlText(p, "PrimaryYAxis", f->PrimaryYAxis);
        for (int k = 0; k < 4; ++k)
            SetXmlFloat(p, DistanceNames[k], f->Distance[k]);
        pugi::xml_node c = e.append_child("Caption");
        SetXmlText(c, "Text", f->Caption);
        pugi::xml_node cp = c.append_child("Properties");
        SetXmlBool(cp, "Visible", f->CaptionVisible);
        SetXmlInt(cp, "Alignment", f->CaptionAlignment);
        SetXmlColor(cp, "Color", f->CaptionColor);
        SetXmlFloat(cp, "DistanceBefore", f->CaptionDistanceBefore);
        SetXmlFloat(cp, "DistanceAfter", f->CaptionDistanceAfter);
        WriteFontSettings(c, *f->CaptionFont);
        pugi::xml_node z = e.append_child("Zoom");
        SetXmlBool(z, "Auto", f->ZoomAuto);
        SetXmlInt(z, "BufferType", f->BufferType);
        SetXmlBool(z, "OptimizeSeries", f->OptimizeSeries);
        SetXmlBool(z, "BackOnClickBeside", f->BackOnClickBeside);
        SetXmlBool(z, "BackOnRightBottomLeftTopFrame", f->BackOnFrame);
        SetXmlBool(z, "ResetOnDoubleClickBeside", f->ResetOnDoubleClickBeside);
        SetXmlBool(z, "ResetOnRightBottomLeftTopFrame", f->ResetOnFrame);
        SetXmlBool(z, "HScrollbarVisible", f->HScrollbarVisible);
        SetXmlBool(z, "VScrollbarVisible", f->VScrollbarVisible);
        SetXmlInt(z, "StartZoom", f->StartZoom);
        SetXmlInt(z, "StartPanning", f->StartPanning);
        pugi::xml_node grid = e.append_child("Grid");
        for (int k = 0; k < 4; ++k)
            WriteLineSettings(grid, GridNames[k], *f->Grid[k]);
        WriteGradientSettings(e, "BackgroundGradient", *f->BackgroundGradient);
        WriteGradientSettings(e, "DataAreaGradient", *f->DataAreaGradient);
        WriteLineSettings(e, "DataAreaFrame", *f->DataAreaFrame);
    }

    static float XmlSingle(pugi::xml_node Node, const char* Name, float Default) {
        const double v = XmlFloat(Node, Name, Default);
        if (!std::isfinite(v))
            throw EVxConvertError(std::string("invalid number in ") + Name);
        return float(v);
    }

    static void ReadXmlFields(pugi::xml_node e, TGraphFields& f) {
        const pugi::xml_node p = e.child("Properties");
        f.Visible = XmlBool(p, "Visible", f.Visible);
        f.Anchors = XmlIntInRange(p, "Anchors", 0, 255, f.Anchors);
        f.Align = XmlIntInRange(p, "Align", 0, 255, f.Align);
        f.Top = XmlInt(p, "Top", f.Top);
        f.Left = XmlInt(p, "Left", f.Left);
        f.Width = XmlInt(p, "Width", f.Width);
        f.Height = XmlInt(p, "Height", f.Height);
        f.BorderStyle = XmlIntInRange(p, "BorderStyle", 0, 255, f.BorderStyle);
        f.Hint = XmlText(p, "Hint", f.Hint);
        f.ParentShowHint = XmlBool(p, "ParentShowHint", f.ParentShowHint);
        f.ShowHint = XmlBool(p, "ShowHint", f.ShowHint);
        f.BackColor = XmlColor(p, "BackColor", f.BackColor);
        f.DataAreaColor = XmlColor(p, "DataAreaColor", f.DataAreaColor);
        f.ZeroOrigin = XmlBool(p, "ZeroOrigin", f.ZeroOrigin);
        f.PrimaryXAxis = XmlText(p, "PrimaryXAxis", f.PrimaryXAxis);
        f.PrimaryYAxis = XmlText(p, "PrimaryYAxis", f.PrimaryYAxis);
        for (int k = 0; k < 4; ++k)
            f.Distance[k] = XmlSingle(p, DistanceNames[k], f.Distance[k]);
        const pugi::xml_node c = e.child("Caption");
        f.Caption = XmlText(c, "Text", f.Caption);
        const pugi::xml_node cp = c.child("Properties");
        f.CaptionVisible = XmlBool(cp, "Visible", f.CaptionVisible);
        f.CaptionAlignment =
            XmlIntInRange(cp, "Alignment", 0, LastCaptionAlignment, f.CaptionAlignment);
        f.CaptionColor = XmlColor(cp, "Color", f.CaptionColor);
        f.CaptionDistanceBefore = XmlSingle(cp, "DistanceBefore", f.CaptionDistanceBefore);
        f.CaptionDistanceAfter = XmlSingle(cp, "DistanceAfter", f.CaptionDistanceAfter);
        if (c)
            ReadFontSettings(c, *f.CaptionFont);
        const pugi::xml_node z = e.child("Zoom");
        f.ZoomAuto = XmlBool(z, "Auto", f.ZoomAuto);
        f.BufferType = XmlIntInRange(z, "BufferType", 0, LastBufferType, f.BufferType);
        f.OptimizeSeries = XmlBool(z, "OptimizeSeries", f.OptimizeSeries);
        f.BackOnClickBeside = XmlBool(z, "BackOnClickBeside", f.BackOnClickBeside);
        f.BackOnFrame = XmlBool(z, "BackOnRightBottomLeftTopFrame", f.BackOnFrame);
        f.ResetOnDoubleClickBeside =
            XmlBool(z, "ResetOnDoubleClickBeside", f.ResetOnDoubleClickBeside);
        f.ResetOnFrame = XmlBool(z, "ResetOnRightBottomLeftTopFrame", f.ResetOnFrame);
        f.HScrollbarVisible = XmlBool(z, "HScrollbarVisible", f.HScrollbarVisible);
        f.VScrollbarVisible = XmlBool(z, "VScrollbarVisible", f.VScrollbarVisible);
        f.StartZoom = unsigned(
            XmlIntInRange(z, "StartZoom", 0, int(TVxShiftState::AllBits), int(f.StartZoom)));
        f.StartPanning = unsigned(
            XmlIntInRange(z, "StartPanning", 0, int(TVxShiftState::AllBits), int(f.StartPanning)));
        const pugi::xml_node grid = e.child("Grid");
        for (int k = 0; k < 4; ++k)
            ReadLineSettings(grid, GridNames[k], *f.Grid[k]);
        ReadGradientSettings(e, "BackgroundGradient", *f.BackgroundGradient);
        ReadGradientSettings(e, "DataAreaGradient", *f.DataAreaGradient);
        ReadLineSettings(e, "DataAreaFrame", *f.DataAreaFrame);
    }

    static void ReadXmlRecord(const TStored& s, QObject* Target) {
        switch (s.Kind) {
        case TKind::Vector:
            static_cast<TVxDoubleVector*>(Target)->ReadFrom(s.Node);
            break;
        case TKind::Axis:
            static_cast<TVxAxis*>(Target)->ReadFrom(s.Node, true);
            break;
        case TKind::Legend:
            static_cast<TVxLegend*>(Target)->ReadFromXml(s.Node);
            break;
        default:
            s.Class->ReadXml(Target, s.Node);
            break;
        }
    }

    void ReadXml(pugi::xml_node Element) {
        if (!Element || std::string_view(Element.name()) != RecordName)
            Fail(QString("\"%1\" is not a %2 element")
                     .arg(QString::fromUtf8(Element.name()), QString::fromLatin1(RecordName)));
        std::vector<TStored> stored;
        auto fields = CurrentFields();
        ReadNamedRecord(RecordName, [&] {
            TVxPendingReferences discarded;
            const bool values =
                std::string_view(Element.first_child().name()) == std::string_view("Vectors");
            const auto readList = [&](TKind Kind, const char* ListName, const char* ElementName) {
                for (pugi::xml_node n : Element.child(ListName).children()) {
                    if (n.type() != pugi::node_element)
                        continue;
                    TStored s;
                    s.Kind = Kind;
                    s.Node = n;
                    QString className = QString::fromUtf8(n.name());
                    if (ElementName) {
                        if (className != QString::fromLatin1(ElementName))
                            continue; // not an element this build knows
                        className.clear();
                    } else {
                        s.Class = TVxComponentRegistry::Instance().Find(className);
                        const auto want = Kind == TKind::Series ? TVxComponentKind::Series
                                                                : TVxComponentKind::Marker;
                        if (!s.Class || s.Class->Kind != want)
                            continue; // an unknown class is skipped
                    }
                    s.Path = XmlText(n, "Name");
                    if (s.Path.isEmpty())
                        continue;
                    CheckPath(Kind, className, s.Path);
                    std::unique_ptr<QObject> dummy = Throwaway(s);
                    ReadXmlRecord(s, dummy.get());
                    KeepChecked(s, std::move(dummy));
                    stored.push_back(std::move(s));
                }
            };
            if (values)
                readList(TKind::Vector, "Vectors", "TVxDoubleVector");
            readList(TKind::Axis, "Axes", "TVxAxis");
            readList(TKind::Series, "RelatedSeries", nullptr);
            readList(TKind::Legend, "RelatedLegends", "TVxLegend");
            readList(TKind::Marker, "Markers", nullptr);
            CheckOwners();
            ReadXmlFields(Element, *fields);
            CheckFields(*fields);
            discarded.Discard();
        });
        Apply(stored, *fields, false, [](const TStored& s, QObject* t) { ReadXmlRecord(s, t); });
    }

    // --- ini ------------------------------------------------------------------------------

    void WriteIni(TVxIniFile& Ini, const QString& S, bool IncludeValues) const {
        Ini.WriteComponent(S, "Name", &G);
        const auto sub = [&](const char* List, int i) {
            return S + "." + QString::fromLatin1(List) + "(" + QString::number(i) + ")";
        };
        if (IncludeValues) {
            const auto vectors = Vectors();
            Ini.WriteInteger(S, "Vectors.Count", int(vectors.size()));
            for (size_t i = 0; i < vectors.size(); ++i)
                vectors[i]->WriteTo(Ini, sub("Vectors", int(i)));
        }
        const auto axes = Axes(true);
        Ini.WriteInteger(S, "Axes.Count", int(axes.size()));
        for (size_t i = 0; i < axes.size(); ++i)
            axes[i]->WriteTo(Ini, sub("Axes", int(i)));
        const auto series = StoredSeries(true);
        Ini.WriteInteger(S, "RelatedSeries.Count", int(series.size()));
        for (size_t i = 0; i < series.size(); ++i)
            ExactClass(series[i], TVxComponentKind::Series)
                ->WriteIni(series[i], Ini, sub("RelatedSeries", int(i)));
        const auto legends = Legends();
        Ini.WriteInteger(S, "RelatedLegends.Count", int(legends.size()));
        for (size_t i = 0; i < legends.size(); ++i)
            legends[i]->WriteToIni(Ini, sub("RelatedLegends", int(i)));
        const auto markers = Markers(true);
        Ini.WriteInteger(S, "Markers.Count", int(markers.size()));
        for (size_t i = 0; i < markers.size(); ++i)
            ExactClass(markers[i], TVxComponentKind::Marker)
                ->WriteIni(markers[i], Ini, sub("Markers", int(i)));

        const auto f = CurrentFields();
        Ini.WriteBool(S, "Visible", f->Visible);
        Ini.WriteInteger(S, "Anchors", f->Anchors);
        Ini.WriteInteger(S, "Align", f->Align);
        Ini.WriteInteger(S, "Top", f->Top);
        Ini.WriteInteger(S, "Left", f->Left);
        Ini.WriteInteger(S, "Width", f->Width);
        Ini.WriteInteger(S, "Height", f->Height);
        Ini.WriteInteger(S, "BorderStyle", f->BorderStyle);
        Ini.WriteCaption(S, "Hint", f->Hint);
        Ini.WriteBool(S, "ParentShowHint", f->ParentShowHint);
        Ini.WriteBool(S, "ShowHint", f->ShowHint);
        Ini.WriteColor(S, "BackColor", f->BackColor);
        Ini.WriteColor(S, "DataAreaColor", f->DataAreaColor);
        Ini.WriteBool(S, "ZeroOrigin", f->ZeroOrigin);
        Ini.WriteString(S, "PrimaryXAxis", f->PrimaryXAxis);
        Ini.WriteString(S, "PrimaryYAxis", f->PrimaryYAxis);
        for (int k = 0; k < 4; ++k)
            Ini.WriteFloat(S, DistanceNames[k], f->Distance[k]);
        Ini.WriteCaption(S, "Caption", f->Caption);
        Ini.WriteBool(S, "Caption.Visible", f->CaptionVisible);
        Ini.WriteInteger(S, "Caption.Alignment", f->CaptionAlignment);
        Ini.WriteColor(S, "Caption.Color", f->CaptionColor);
        Ini.WriteFloat(S, "Caption.DistanceBefore", f->CaptionDistanceBefore);
        Ini.WriteFloat(S, "Caption.DistanceAfter", f->CaptionDistanceAfter);
        WriteFontSettings(Ini, S, "Caption.Font", *f->CaptionFont);
        Ini.WriteBool(S, "Zoom.Auto", f->ZoomAuto);
        Ini.WriteInteger(S, "Zoom.BufferType", f->BufferType);
        Ini.WriteBool(S, "Zoom.OptimizeSeries", f->OptimizeSeries);
        Ini.WriteBool(S, "Zoom.BackOnClickBeside", f->BackOnClickBeside);
        Ini.WriteBool(S, "Zoom.BackOnRightBottomLeftTopFrame", f->BackOnFrame);
        Ini.WriteBool(S, "Zoom.ResetOnDoubleClickBeside", f->ResetOnDoubleClickBeside);
        Ini.WriteBool(S, "Zoom.ResetOnRightBottomLeftTopFrame", f->ResetOnFrame);
        Ini.WriteBool(S, "Zoom.HScrollbarVisible", f->HScrollbarVisible);
        Ini.WriteBool(S, "Zoom.VScrollbarVisible", f->VScrollbarVisible);
        Ini.WriteInteger(S, "Zoom.StartZoom", int(f->StartZoom));
        Ini.WriteInteger(S, "Zoom.StartPanning", int(f->StartPanning));
        for (int k = 0; k < 4; ++k)
            WriteLineSettings(Ini, S, GridNames[k], *f->Grid[k]);
        WriteGradientSettings(Ini, S, "BackgroundGradient", *f->BackgroundGradient);
        WriteGradientSettings(Ini, S, "DataAreaGradient", *f->DataAreaGradient);
        WriteLineSettings(Ini, S, "DataAreaFrame", *f->DataAreaFrame);
    }

    static int IniInt(const TVxIniFile& Ini, const QString& S, const char* Key, int Min, int Max,
                      int Default) {
        const int v = Ini.ReadInteger(S, Key, Default);
        if (v < Min || v > Max)
            Fail(QString("value %1 of %2 out of range").arg(v).arg(QString::fromLatin1(Key)));
        return v;
    }

    static float IniSingle(const TVxIniFile& Ini, const QString& S, const char* Key,
                           float Default) {
        const double v = Ini.ReadFloat(S, Key, Default);
        if (!std::isfinite(v))
            throw EVxConvertError(std::string("invalid number in ") + Key);
        return float(v);
    }

    static void ReadIniFields(const TVxIniFile& Ini, const QString& S, TGraphFields& f) {
        f.Visible = Ini.ReadBool(S, "Visible", f.Visible);
        f.Anchors = IniInt(Ini, S, "Anchors", 0, 255, f.Anchors);
        f.Align = IniInt(Ini, S, "Align", 0, 255, f.Align);
        f.Top = Ini.ReadInteger(S, "Top", f.Top);
        f.Left = Ini.ReadInteger(S, "Left", f.Left);
        f.Width = Ini.ReadInteger(S, "Width", f.Width);
        f.Height = Ini.ReadInteger(S, "Height", f.Height);
        f.BorderStyle = IniInt(Ini, S, "BorderStyle", 0, 255, f.BorderStyle);
        f.Hint = Ini.ReadCaption(S, "Hint", f.Hint);
        f.ParentShowHint = Ini.ReadBool(S, "ParentShowHint", f.ParentShowHint);
        f.ShowHint = Ini.ReadBool(S, "ShowHint", f.ShowHint);
        f.BackColor = Ini.ReadColor(S, "BackColor", f.BackColor);
        f.DataAreaColor = Ini.ReadColor(S, "DataAreaColor", f.DataAreaColor);
        f.ZeroOrigin = Ini.ReadBool(S, "ZeroOrigin", f.ZeroOrigin);
        f.PrimaryXAxis = Ini.ReadString(S, "PrimaryXAxis", f.PrimaryXAxis);
        f.PrimaryYAxis = Ini.ReadString(S, "PrimaryYAxis", f.PrimaryYAxis);
        for (int k = 0; k < 4; ++k)
            f.Distance[k] = IniSingle(Ini, S, DistanceNames[k], f.Distance[k]);
        f.Caption = Ini.ReadCaption(S, "Caption", f.Caption);
        f.CaptionVisible = Ini.ReadBool(S, "Caption.Visible", f.CaptionVisible);
        f.CaptionAlignment =
            IniInt(Ini, S, "Caption.Alignment", 0, LastCaptionAlignment, f.CaptionAlignment);
        f.CaptionColor = Ini.ReadColor(S, "Caption.Color", f.CaptionColor);
        f.CaptionDistanceBefore =
            IniSingle(Ini, S, "Caption.DistanceBefore", f.CaptionDistanceBefore);
        f.CaptionDistanceAfter = IniSingle(Ini, S, "Caption.DistanceAfter", f.CaptionDistanceAfter);
        if (Ini.ValueExists(S, "Caption.Font.Name"))
            ReadFontSettings(Ini, S, "Caption.Font", *f.CaptionFont);
        f.ZoomAuto = Ini.ReadBool(S, "Zoom.Auto", f.ZoomAuto);
        f.BufferType = IniInt(Ini, S, "Zoom.BufferType", 0, LastBufferType, f.BufferType);
        f.OptimizeSeries = Ini.ReadBool(S, "Zoom.OptimizeSeries", f.OptimizeSeries);
        f.BackOnClickBeside = Ini.ReadBool(S, "Zoom.BackOnClickBeside", f.BackOnClickBeside);
        f.BackOnFrame = Ini.ReadBool(S, "Zoom.BackOnRightBottomLeftTopFrame", f.BackOnFrame);
        f.ResetOnDoubleClickBeside =
            Ini.ReadBool(S, "Zoom.ResetOnDoubleClickBeside", f.ResetOnDoubleClickBeside);
        f.ResetOnFrame = Ini.ReadBool(S, "Zoom.ResetOnRightBottomLeftTopFrame", f.ResetOnFrame);
        f.HScrollbarVisible = Ini.ReadBool(S, "Zoom.HScrollbarVisible", f.HScrollbarVisible);
        f.VScrollbarVisible = Ini.ReadBool(S, "Zoom.VScrollbarVisible", f.VScrollbarVisible);
        f.StartZoom = unsigned(
            IniInt(Ini, S, "Zoom.StartZoom", 0, int(TVxShiftState::AllBits), int(f.StartZoom)));
        f.StartPanning = unsigned(IniInt(Ini, S, "Zoom.StartPanning", 0,
                                         int(TVxShiftState::AllBits), int(f.StartPanning)));
        // A style whose keys are all missing keeps its current values (its reader would
        // take fixed defaults for some of them).
        const auto anyKey = [&](const QString& Prefix, std::initializer_list<const char*> Keys) {
            for (const char* k : Keys)
                if (Ini.ValueExists(S, Prefix + QString::fromLatin1(k)))
                    return true;
            return false;
        };
        const auto lineKeys = {".Visible", ".Color", ".Width", ".DashStyle"};
        const auto gradientKeys = {".Visible",      ".Style",         ".FirstColor",
                                   ".MiddleColor",  ".LastColor",     ".LinearAngle",
                                   ".LinearCenter", ".RadialCenterX", ".RadialCenterY"};
        for (int k = 0; k < 4; ++k)
            if (anyKey(GridNames[k], lineKeys))
                ReadLineSettings(Ini, S, GridNames[k], *f.Grid[k]);
        if (anyKey("BackgroundGradient", gradientKeys))
            ReadGradientSettings(Ini, S, "BackgroundGradient", *f.BackgroundGradient);
        if (anyKey("DataAreaGradient", gradientKeys))
            ReadGradientSettings(Ini, S, "DataAreaGradient", *f.DataAreaGradient);
        if (anyKey("DataAreaFrame", lineKeys))
            ReadLineSettings(Ini, S, "DataAreaFrame", *f.DataAreaFrame);
    }

    static void ReadIniRecord(const TVxIniFile& Ini, const TStored& s, QObject* Target) {
        switch (s.Kind) {
        case TKind::Vector:
            static_cast<TVxDoubleVector*>(Target)->ReadFrom(Ini, s.Section);
            break;
        case TKind::Axis:
            static_cast<TVxAxis*>(Target)->ReadFrom(Ini, s.Section, true);
            break;
        case TKind::Legend:
            static_cast<TVxLegend*>(Target)->ReadFromIni(Ini, s.Section);
            break;
        default:
            s.Class->ReadIni(Target, Ini, s.Section);
            break;
        }
    }

    void ReadIni(const TVxIniFile& Ini, const QString& S) {
        if (!Ini.SectionExists(S))
            Fail(QString("the section [%1] is missing").arg(S));
        std::vector<TStored> stored;
        auto fields = CurrentFields();
        ReadNamedRecord(RecordName, [&] {
            TVxPendingReferences discarded;
            const auto readList = [&](TKind Kind, const char* List) {
                const QString countKey = QString::fromLatin1(List) + ".Count";
                if (!Ini.ValueExists(S, countKey))
                    return;
                const int count = Ini.ReadInteger(S, countKey, -1);
                if (count < 0)
                    Fail(QString("invalid %1").arg(countKey));
                for (int i = 0; i < count; ++i) {
                    TStored s;
                    s.Kind = Kind;
                    s.Section =
                        S + "." + QString::fromLatin1(List) + "(" + QString::number(i) + ")";
                    if (!Ini.SectionExists(s.Section))
                        Fail(QString("%1 is %2 but the section [%3] is missing")
                                 .arg(countKey)
                                 .arg(count)
                                 .arg(s.Section));
                    QString className;
                    if (Kind == TKind::Series || Kind == TKind::Marker) {
                        className = Ini.ReadString(s.Section, "Type", {});
                        s.Class = TVxComponentRegistry::Instance().Find(className);
                        const auto want = Kind == TKind::Series ? TVxComponentKind::Series
                                                                : TVxComponentKind::Marker;
                        if (!s.Class || s.Class->Kind != want)
                            continue; // an unknown class is skipped
                    }
                    s.Path = Ini.ReadString(s.Section, "Name", {});
                    if (s.Path.isEmpty())
                        continue;
                    CheckPath(Kind, className, s.Path);
                    std::unique_ptr<QObject> dummy = Throwaway(s);
                    ReadIniRecord(Ini, s, dummy.get());
                    KeepChecked(s, std::move(dummy));
                    stored.push_back(std::move(s));
                }
            };
            readList(TKind::Vector, "Vectors");
            readList(TKind::Axis, "Axes");
            readList(TKind::Series, "RelatedSeries");
            readList(TKind::Legend, "RelatedLegends");
            readList(TKind::Marker, "Markers");
            CheckOwners();
            ReadIniFields(Ini, S, *fields);
            CheckFields(*fields);
            discarded.Discard();
        });
        Apply(stored, *fields, false,
              [&Ini](const TStored& s, QObject* t) { ReadIniRecord(Ini, s, t); });
    }

private:
    TVxGraph2D& G;
    std::map<QString, std::pair<TKind, QString>> FClaimed;
    std::vector<QString> FMissingOwners; // paths whose owner does not exist yet
};

namespace {

/// Bar series store their captions only while a chart is saved with its values.
struct TBarCaptionsScope {
    bool& Flag;
    TBarCaptionsScope(bool& AFlag, bool IncludeValues) : Flag(AFlag) { Flag = IncludeValues; }
    ~TBarCaptionsScope() { Flag = true; }
};

} // namespace

void TVxGraph2D::WriteTo(QIODevice& Stream, bool IncludeValues) const {
    TBarCaptionsScope scope(FStoreIncludingBarCaptions, IncludeValues);
    TVxGraphRecords(const_cast<TVxGraph2D&>(*this)).WriteStream(Stream, IncludeValues);
}

void TVxGraph2D::ReadFrom(QIODevice& Stream) {
    TVxGraphRecords(*this).ReadStream(Stream);
}

void TVxGraph2D::WriteTo(const QString& FileName, bool IncludeValues) const {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    WriteTo(static_cast<QIODevice&>(buffer), IncludeValues);
    WriteFileAtomically(FileName, buffer.data()); // a device in the file's place is written into
}

void TVxGraph2D::ReadFrom(const QString& FileName) {
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EVxStreamError(
            QString("Cannot open %1: %2").arg(FileName, file.errorString()).toStdString());
    ReadFrom(static_cast<QIODevice&>(file));
}

void TVxGraph2D::WriteTo(pugi::xml_node Node, bool IncludeValues) const {
    TBarCaptionsScope scope(FStoreIncludingBarCaptions, IncludeValues);
    TVxGraphRecords(const_cast<TVxGraph2D&>(*this)).WriteXml(Node, IncludeValues);
}

void TVxGraph2D::ReadFrom(pugi::xml_node Element) {
    TVxGraphRecords(*this).ReadXml(Element);
}

void TVxGraph2D::WriteTo(TVxIniFile& Ini, const QString& Section, bool IncludeValues) const {
    TBarCaptionsScope scope(FStoreIncludingBarCaptions, IncludeValues);
    TVxGraphRecords(const_cast<TVxGraph2D&>(*this)).WriteIni(Ini, Section, IncludeValues);
}

void TVxGraph2D::ReadFrom(const TVxIniFile& Ini, const QString& Section) {
    TVxGraphRecords(*this).ReadIni(Ini, Section);
}
