// Whole charts saved and loaded: the graph's binary fields against a record packed by
// graph_record_reference.py, identity through every container (into a new chart with the
// values, back into a changed chart without them), the layouts older files use, and loads
// that fail without changing anything.

#include "GraphContainers.h"
#include "annotations/Legend.h"
#include "annotations/LineMarker.h"
#include "axes/Axis.h"
#include "axes/AxisLook.h"
#include "graph/ComponentRegistry.h"
#include "graph/Graph.h"
#include "persistence/AtomicFile.h"
#include "persistence/BinaryStream.h"
#include "persistence/IniFile.h"
#include "persistence/XmlCodec.h"
#include "series/Bubbles.h"
#include "series/FittedLineSeries.h"
#include "series/FourierSeries.h"
#include "series/Series.h"
#include "styles/StyleRecords.h"
#include "undo/UndoStack.h"
#include "util/Application.h"
#include "util/Exceptions.h"
#include "vectors/DoubleVector.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <cmath>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <memory>

namespace {

QByteArray Hex(const char* Text) {
    return QByteArray::fromHex(QByteArray(Text).replace(' ', ""));
}

// A stream text: 32-bit byte count and UTF-8.
QByteArray Text(const QString& Value) {
    const QByteArray utf8 = Value.toUtf8();
    const qint32 n = qint32(utf8.size());
    return QByteArray(reinterpret_cast<const char*>(&n), 4) + utf8;
}

std::string ErrorOf(const std::function<void()>& Action) {
    try {
        Action();
    } catch (const EVxException& e) {
        return e.what();
    }
    return "no error";
}

using TContainer = TGraphContainer;
const char* const ContainerNames[] = {"stream", "file", "XML", "ini"};
constexpr const char* Section = "Chart";

QString ScratchFile() {
    static QTemporaryDir dir;
    return dir.filePath("chart.bin");
}

QByteArray Save(const TVxGraph2D& Graph, TContainer Container, bool IncludeValues) {
    return SaveGraph(Graph, Container, IncludeValues, Section, ScratchFile());
}

void Load(TVxGraph2D& Graph, TContainer Container, QByteArray Bytes) {
    LoadGraph(Graph, Container, std::move(Bytes), Section, ScratchFile());
}

// The saved bytes as gtest shows them best: texts as they are, binary in hex lines.
std::string Shown(const QByteArray& Bytes, TContainer Container) {
    if (Container == TContainer::Xml || Container == TContainer::Ini)
        return Bytes.toStdString();
    std::string shown;
    for (qsizetype i = 0; i < Bytes.size(); i += 32)
        shown += Bytes.mid(i, 32).toHex(' ').toStdString() + "\n";
    return shown;
}

// Values a chart file must keep bit for bit.
std::vector<double> HardValues() {
    return {std::numeric_limits<double>::quiet_NaN(),
            std::numeric_limits<double>::infinity(),
            -std::numeric_limits<double>::infinity(),
            -0.0,
            std::numeric_limits<double>::denorm_min(),
            1e308,
            3.5,
            -2.25};
}

bool SameBits(std::span<const double> A, std::span<const double> B) {
    return A.size() == B.size() && std::memcmp(A.data(), B.data(), A.size() * 8) == 0;
}

template <typename T> T* Named(T* Object, const char* Name) {
    Object->setObjectName(Name);
    return Object;
}

/// The form of a test chart, registered so that paths resolve; a second form of the same
/// name stands for the same chart opened in another run.
struct TForm {
    explicit TForm(const char* Name = "ChartForm") {
        Widget = std::make_unique<QWidget>();
        Widget->setObjectName(Name);
        TVxApplication::Instance().RegisterForm(Widget.get());
        Graph = Named(new TVxGraph2D(Widget.get()), "Graph1");
        Graph->setGeometry(0, 0, 400, 300);
    }
    ~TForm() { TVxApplication::Instance().Unregister(Widget.get()); }
    template <typename T> T* Find(const char* Name) const {
        return Widget->findChild<T*>(Name, Qt::FindDirectChildrenOnly);
    }
    QStringList Children() const {
        QStringList names;
        for (const QObject* c : Widget->children())
            names << QString::fromLatin1(c->metaObject()->className()) + ":" + c->objectName();
        return names;
    }
    std::unique_ptr<QWidget> Widget;
    TVxGraph2D* Graph;
};

/// Fills a form with the test chart: two axes and a slave axis added before its master,
/// a band series drawn to a point series added after it, a legend, vectors with hard
/// values and an outlier, texts with line breaks, a tab and non-ASCII, a zoomed X axis.
void BuildChart(TForm& F) {
    QWidget* form = F.Widget.get();
    TVxGraph2D* g = F.Graph;
    auto* vx = Named(new TVxDoubleVector(form), "VX");
    auto* vy = Named(new TVxDoubleVector(form), "VY");
    auto* vb = Named(new TVxDoubleVector(form), "VB");
    vx->AddRange(std::vector<double>{1, 2, 3, 4, 5, 6, 7, 8});
    vy->AddRange(HardValues());
    vy->SetOutlier(6, true);
    vb->AddRange(std::vector<double>{0, 1, 0, 1, 0, 1, 0, 1});
    auto* x = Named(new TVxAxis(form), "XAxis");
    auto* y = Named(new TVxAxis(form), "YAxis");
    y->SetPosition(TVxAxisPosition::Left);
    auto* slave = Named(new TVxAxis(form), "Slave");
    slave->SetPosition(TVxAxisPosition::Right);
    auto* master = Named(new TVxAxis(form), "Master");
    master->SetPosition(TVxAxisPosition::Right);
    for (TVxAxis* a : {x, y, slave, master})
        g->AddAxis(a);
    slave->SetMasterAxis(master);
    g->SetPrimaryXAxis(x);
    g->SetPrimaryYAxis(y);
    auto* band = Named(new TVxLineSeries(form), "Band");
    auto* points = Named(new TVxPointSeries(form), "Points");
    for (TVxSeries* s : {static_cast<TVxSeries*>(band), static_cast<TVxSeries*>(points)}) {
        s->SetXData(vx);
        s->SetXAxis(x);
        s->SetYAxis(y);
    }
    band->SetYData(vb);
    points->SetYData(vy);
    band->SetLayer(0);
    points->SetLayer(1);
    band->SetDrawBandTo(points);
    band->SetMergeLegendItemWith(points);
    points->SetCaption(QString::fromUtf8("Temp\r\nline\ttab \u00e4\u20ac"));
    // One series of every other registered kind on the same data; a bubble series' radii are
    // a third vector, stored after X and Y.
    auto* vr = Named(new TVxDoubleVector(form), "VR");
    vr->AddRange(std::vector<double>{1, 2, 1, 2, 1, 2, 1, 2});
    int layer = 2;
    for (const TVxComponentClass& c : TVxComponentRegistry::Instance().Classes()) {
        // (A general least-squares fit needs basis functions of its own before it computes;
        // a child series belongs to the series that shows it, see ChildSeriesBeforeParent.)
        if (c.Kind != TVxComponentKind::Series || c.ClassName == "TVxLineSeries" ||
            c.ClassName == "TVxPointSeries" || c.ClassName == "TVxGeneralLinearLeastSquares" ||
            c.ClassName == "TVxChildSeries")
            continue;
        auto* s = qobject_cast<TVxSeries*>(c.Create(form));
        s->setObjectName("Kind" + c.ClassName.mid(3));
        s->SetXData(vx);
        s->SetYData(vb);
        s->SetXAxis(x);
        s->SetYAxis(y);
        s->SetLayer(layer++);
        if (auto* bubbles = qobject_cast<TVxBubbles*>(s))
            bubbles->SetRadiusData(vr);
        if (auto* fit = qobject_cast<TVxFittedLine*>(s)) {
            // Without a budget a load draws the saved coefficients instead of refining them.
            fit->SetIterations(0);
            fit->SetExpression("a*x+b");
            fit->SetCoefficients({0.5, 2});
        }
    }
    auto* legend = Named(new TVxLegend(form), "Legend1");
    legend->SetGraph(g);
    auto* level = Named(new TVxHorizontalMarker(form), "Level");
    level->SetYAxis(y);
    level->SetY(0.5);
    level->SetCaption(QString::fromUtf8("Level\r\n\u00e4"));
    level->SetHost(g);
    auto* time = Named(new TVxVerticalMarker(form), "Time");
    time->SetXAxis(x);
    time->SetX(3);
    time->SetHost(g);
    g->SetCaption(QString::fromUtf8("Chart\rone\ntwo\t\u00b5"));
    g->SetCaptionVisible(true);
    g->setToolTip("hint");
    x->ZoomIn(2, 5);
    // Computed series store what they computed; a load recalculates them, so the chart is
    // saved computed too.
    for (TVxSeries* s : g->RelatedSeries())
        s->Calculate();
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The graph's own binary fields

TEST(GraphRecords, TheGraphsFieldsAreWrittenInTheReferenceLayoutAndReadBack) {
    TForm f("RefForm");
    TVxGraph2D* g = Named(f.Graph, "G");
    g->setGeometry(5, 7, 321, 123);
    g->setToolTip(QString::fromUtf8("Tip\r\n\u00e4"));
    g->SetBackColor(TVxColor(0xFF102030));
    g->SetDataAreaColor(TVxColor(0x80ABCDEF));
    g->SetZeroOrigin(true);
    g->SetDistanceBorderAxisTop(1.5f);
    g->SetDistanceBorderAxisBottom(2.5f);
    g->SetDistanceBorderAxisLeft(-3.25f);
    g->SetDistanceBorderAxisRight(4.0f);
    g->SetCaption(QString::fromUtf8("Title\t\u00b5"));
    g->SetCaptionAlignment(TVxCaptionAlignment::Left);
    g->SetCaptionColor(TVxColor(0xFF00FF00));
    g->SetCaptionDistanceBefore(6.5f);
    g->SetCaptionDistanceAfter(0.25f);
    g->SetCaptionVisible(true);
    TVxZoomSettings& z = *g->Zoom();
    z.SetAuto(true);
    z.SetOptimizeSeries(false);
    z.SetBackOnClickBeside(true);
    z.SetResetOnDoubleClickBeside(false);
    z.SetResetOnRightBottomLeftTopFrame(true);
    z.SetHScrollbarVisible(true);
    z.SetVScrollbarVisible(false);
    z.SetStartPanning(TVxShift::Ctrl | TVxShift::Left);
    z.SetStartZoom(TVxShift::Shift | TVxShift::Left);
    z.SetBufferType(TVxZoomBufferType::AsStack);
    z.SetBackOnRightBottomLeftTopFrame(true);
    struct TLine {
        TVxLineSettings* Line;
        bool Visible;
        uint32_t Color;
        float Width;
        int Dash;
    };
    for (const TLine& l : {TLine{g->MajorGridHorizontal(), true, 0xFF112233, 2.0f, 1},
                           TLine{g->MajorGridVertical(), false, 0xFF445566, 1.0f, 0},
                           TLine{g->MinorGridHorizontal(), true, 0x7F000000, 0.5f, 2},
                           TLine{g->MinorGridVertical(), false, 0xFFFFFFFF, 3.0f, 3},
                           TLine{g->DataAreaFrame(), true, 0xFF202020, 1.5f, 0}}) {
        l.Line->SetVisible(l.Visible);
        l.Line->SetColor(TVxColor(l.Color));
        l.Line->SetWidth(l.Width);
        l.Line->SetDashStyle(TDashStyle(l.Dash));
    }
    TVxGradientSettings& bg = *g->BackgroundGradient();
    bg.SetVisible(true);
    bg.SetStyle(TVxGradientStyle::Radial);
    bg.SetFirstColor(TVxColor(0xFF010203));
    bg.SetMiddleColor(TVxColor(0xFF040506));
    bg.SetLastColor(TVxColor(0xFF070809));
    bg.SetLinearAngle(45);
    bg.SetLinearCenter(0.25f);
    bg.SetRadialCenterX(0.75f);
    bg.SetRadialCenterY(0.5f);
    TVxGradientSettings& da = *g->DataAreaGradient();
    da.SetVisible(false);
    da.SetStyle(TVxGradientStyle::Linear);
    da.SetFirstColor(TVxColor(0xFF0A0B0C));
    da.SetMiddleColor(TVxColor(0xFF0D0E0F));
    da.SetLastColor(TVxColor(0xFF101112));
    da.SetLinearAngle(90);
    da.SetLinearCenter(0.5f);
    da.SetRadialCenterX(0.5f);
    da.SetRadialCenterY(0.5f);

    // From graph_record_reference.py.
    const QByteArray head =
        Hex("09 00 00 00 52 65 66 46 6F 72 6D 2E 47 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
            "00 00 01 03 00 07 00 00 00 05 00 00 00 41 01 00 00 7B 00 00 00 00 07 00 00 00 54 69 "
            "70 0D 0A C3 A4 01 00 30 20 10 FF EF CD AB 80 01 00 00 00 00 00 00 00 00 00 00 C0 3F "
            "00 00 20 40 00 00 50 C0 00 00 80 40 08 00 00 00 54 69 74 6C 65 09 C2 B5 00 00 FF 00 "
            "FF 00 00 D0 40 00 00 80 3E");
    const QByteArray tail =
        Hex("01 00 01 00 01 01 00 09 00 0C 00 01 33 22 11 FF 00 00 00 40 01 00 00 66 55 44 FF 00 "
            "00 80 3F 00 00 01 00 00 00 7F 00 00 00 3F 02 00 00 FF FF FF FF 00 00 40 40 03 00 01 "
            "01 01 03 02 01 FF 06 05 04 FF 09 08 07 FF 00 00 34 42 00 00 80 3E 00 00 40 3F 00 00 "
            "00 3F 00 00 00 0C 0B 0A FF 0F 0E 0D FF 12 11 10 FF 00 00 B4 42 00 00 00 3F 00 00 00 "
            "3F 00 00 00 3F 00 01 01 01 01 01 01 20 20 20 FF 00 00 C0 3F 00 00 01 01 00");
    QByteArray font;
    {
        QBuffer buffer(&font);
        buffer.open(QIODevice::WriteOnly);
        TVxStreamWriter out(buffer);
        WriteFontSettings(out, *g->CaptionFont());
    }
    const QByteArray bytes = Save(*g, TContainer::Stream, false);
    EXPECT_EQ(bytes.toHex(' '), (head + font + tail).toHex(' '));

    // Read into a graph whose every field differs, the record gives the same bytes again.
    TForm other("RefForm2");
    Named(other.Graph, "G");
    Load(*other.Graph, TContainer::Stream, bytes);
    EXPECT_EQ(other.Graph->geometry(), QRect(5, 7, 321, 123));
    EXPECT_EQ(other.Graph->Caption(), QString::fromUtf8("Title\t\u00b5"));
    EXPECT_EQ(other.Graph->Zoom()->BufferType(), TVxZoomBufferType::AsStack);
    EXPECT_EQ(other.Graph->MinorGridHorizontal()->Color(), TVxColor(0x7F000000));
    EXPECT_EQ(other.Graph->DataAreaGradient()->FirstColor(), TVxColor(0xFF0A0B0C));
    QByteArray again = Save(*other.Graph, TContainer::Stream, false);
    again.replace(Text("RefForm2.G"), Text("RefForm.G"));
    EXPECT_EQ(again.toHex(' '), bytes.toHex(' '));
}

TEST(GraphRecords, AnOldRecordWithoutTheLaterGroupsKeepsTheirCurrentValues) {
    TForm f("OldForm");
    TVxGraph2D* g = f.Graph;
    QByteArray bytes = Save(*g, TContainer::Stream, false);
    // The groups after the gradients: buffer type, title visibility, frame line (11 bytes),
    // back on frame, each behind a continuation byte, and the end: 19 bytes.
    bytes.chop(19);
    bytes.append('\0');
    g->Zoom()->SetBufferType(TVxZoomBufferType::AsStack);
    g->SetCaptionVisible(true);
    g->DataAreaFrame()->SetColor(TVxColor(0xFF123456));
    g->Zoom()->SetBackOnRightBottomLeftTopFrame(true);
    Load(*g, TContainer::Stream, bytes);
    EXPECT_EQ(g->Zoom()->BufferType(), TVxZoomBufferType::AsStack);
    EXPECT_TRUE(g->CaptionVisible());
    EXPECT_EQ(g->DataAreaFrame()->Color(), TVxColor(0xFF123456));
    EXPECT_TRUE(g->Zoom()->BackOnRightBottomLeftTopFrame());
}

// ---------------------------------------------------------------------------------------------
// Identity

class GraphIdentity : public ::testing::TestWithParam<TContainer> {};

TEST_P(GraphIdentity, WithValuesIntoANewChartOnANewFormTheChartComesBackWhole) {
    const TContainer c = GetParam();
    QByteArray saved;
    double zoomStart = 0, zoomStop = 0;
    QStringList savedRelated;
    {
        TForm f;
        BuildChart(f);
        for (const TVxSeries* s : f.Graph->RelatedSeries())
            savedRelated << QString::fromLatin1(s->metaObject()->className()) + ":" +
                                s->objectName();
        zoomStart = f.Find<TVxAxis>("XAxis")->Start();
        zoomStop = f.Find<TVxAxis>("XAxis")->Stop();
        saved = Save(*f.Graph, c, true);
    }
    TForm f;
    Load(*f.Graph, c, saved);
    EXPECT_EQ(Shown(Save(*f.Graph, c, true), c), Shown(saved, c)) << ContainerNames[int(c)];

    auto* vy = f.Find<TVxDoubleVector>("VY");
    ASSERT_NE(vy, nullptr);
    const std::vector<double> hard = HardValues();
    EXPECT_TRUE(SameBits(vy->InternalArray(), hard));
    EXPECT_TRUE(vy->IsOutlier(6));
    auto* points = f.Find<TVxPointSeries>("Points");
    auto* band = f.Find<TVxLineSeries>("Band");
    ASSERT_NE(points, nullptr);
    ASSERT_NE(band, nullptr);
    EXPECT_EQ(band->DrawBandTo(), points); // a forward reference
    EXPECT_EQ(band->MergeLegendItemWith(), points);
    EXPECT_EQ(points->Caption(), QString::fromUtf8("Temp\r\nline\ttab \u00e4\u20ac"));
    EXPECT_EQ(f.Graph->Caption(), QString::fromUtf8("Chart\rone\ntwo\t\u00b5"));
    EXPECT_EQ(f.Find<TVxAxis>("Slave")->MasterAxis(), f.Find<TVxAxis>("Master"));
    EXPECT_EQ(f.Graph->PrimaryXAxis(), f.Find<TVxAxis>("XAxis"));
    QStringList related;
    for (const TVxSeries* s : f.Graph->RelatedSeries())
        related << QString::fromLatin1(s->metaObject()->className()) + ":" + s->objectName();
    EXPECT_EQ(related, savedRelated);
    auto* radii = f.Find<TVxDoubleVector>("VR");
    ASSERT_NE(radii, nullptr);
    EXPECT_EQ(radii->GetCount(), 8);
    EXPECT_EQ(f.Find<TVxBubbles>("KindBubbles")->RadiusData(), radii);
    auto* level = f.Find<TVxHorizontalMarker>("Level");
    ASSERT_NE(level, nullptr);
    EXPECT_EQ(level->Host(), f.Graph);
    EXPECT_EQ(level->YAxis(), f.Find<TVxAxis>("YAxis"));
    EXPECT_EQ(level->Caption(), QString::fromUtf8("Level\r\n\u00e4"));
    ASSERT_NE(f.Find<TVxVerticalMarker>("Time"), nullptr);
    f.Graph->PaintToImage();
    EXPECT_EQ(f.Find<TVxAxis>("XAxis")->Start(), zoomStart);
    EXPECT_EQ(f.Find<TVxAxis>("XAxis")->Stop(), zoomStop);
}

TEST_P(GraphIdentity, WithoutValuesBackIntoTheChangedChartEveryPropertyReturns) {
    const TContainer c = GetParam();
    TForm f;
    BuildChart(f);
    const QByteArray saved = Save(*f.Graph, c, false);
    auto* points = f.Find<TVxPointSeries>("Points");
    auto* band = f.Find<TVxLineSeries>("Band");
    auto* slave = f.Find<TVxAxis>("Slave");
    auto* legend = f.Find<TVxLegend>("Legend1");
    // Change what is stored, except the axes' ranges and zoom.
    f.Graph->SetCaption("changed");
    f.Graph->SetBackColor(TVxColor(0xFF000001));
    f.Graph->SetDataAreaColor(TVxColor(0xFF000002));
    f.Graph->SetDistanceBorderAxisLeft(9);
    f.Graph->SetZeroOrigin(true);
    f.Graph->Zoom()->SetAuto(!f.Graph->Zoom()->Auto());
    f.Graph->MajorGridVertical()->SetColor(TVxColor(0xFF000003));
    f.Graph->BackgroundGradient()->SetVisible(!f.Graph->BackgroundGradient()->Visible());
    f.Graph->setToolTip("other");
    points->SetCaption("other");
    points->Line()->SetColor(TVxColor(0xFF000004));
    points->PointSymbol()->SetSize(17);
    band->SetDrawBandTo(nullptr);
    band->SetMergeLegendItemWith(nullptr);
    slave->SetMasterAxis(nullptr);
    legend->SetPosition(TVxLegendPosition::TopCenterOfGraph);
    f.Find<TVxDoubleVector>("VY")->SetValue(0, 42);

    Load(*f.Graph, c, saved);
    EXPECT_EQ(Shown(Save(*f.Graph, c, false), c), Shown(saved, c)) << ContainerNames[int(c)];
    EXPECT_EQ(band->DrawBandTo(), points);
    EXPECT_EQ(slave->MasterAxis(), f.Find<TVxAxis>("Master"));
    // The values were not stored: the vector keeps its change.
    EXPECT_EQ(f.Find<TVxDoubleVector>("VY")->GetValue(0), 42);
    // Loading twice lists the legend once.
    Load(*f.Graph, c, saved);
    int legends = 0;
    for (TVxChartItem* item : f.Graph->Items())
        legends += qobject_cast<TVxLegend*>(item) ? 1 : 0;
    EXPECT_EQ(legends, 1);
    EXPECT_EQ(Save(*f.Graph, c, false), saved);
}

INSTANTIATE_TEST_SUITE_P(Containers, GraphIdentity,
                         ::testing::Values(TContainer::Stream, TContainer::File, TContainer::Xml,
                                           TContainer::Ini),
                         [](const auto& Info) {
                             return std::string(
                                 Info.param == TContainer::Xml ? "Xml"
                                 : Info.param == TContainer::Ini
                                     ? "Ini"
                                     : (Info.param == TContainer::File ? "File" : "Stream"));
                         });

// ---------------------------------------------------------------------------------------------
// The edge cases of older and partial files

TEST(GraphRecords, XmlWithoutVectorsAsTheFirstChildLoadsNoValues) {
    TForm f;
    BuildChart(f);
    pugi::xml_document doc;
    f.Graph->WriteTo(doc, true);
    pugi::xml_node graph = doc.first_child();
    graph.insert_move_after(graph.child("Vectors"), graph.child("Axes"));
    ASSERT_STREQ(graph.first_child().name(), "Axes");
    f.Find<TVxDoubleVector>("VY")->SetValue(0, 42);
    f.Graph->ReadFrom(graph);
    EXPECT_EQ(f.Find<TVxDoubleVector>("VY")->GetValue(0), 42);
}

TEST(GraphRecords, AnUnnamedAxisIsCountedInStreamAndXmlButNotInIni) {
    TForm f;
    BuildChart(f);
    auto* unnamed = new TVxAxis(f.Widget.get());
    f.Graph->AddAxis(unnamed);
    TVxIniFile ini;
    f.Graph->WriteTo(ini, Section, false);
    EXPECT_EQ(ini.ReadInteger(Section, "Axes.Count", -1), 4);
    EXPECT_FALSE(ini.SectionExists("Chart.Axes(4)"));
    pugi::xml_document doc;
    f.Graph->WriteTo(doc, false);
    EXPECT_EQ(XmlInt(doc.first_child().child("Axes"), "Count"), 5);
    // The stream writes it with an empty path; reading takes its record into a throwaway
    // axis and stays in step with the records after it.
    const QByteArray bytes = Save(*f.Graph, TContainer::Stream, false);
    ASSERT_TRUE(bytes.contains(Text("") + Hex("01")));
    f.Find<TVxPointSeries>("Points")->SetCaption("changed");
    Load(*f.Graph, TContainer::Stream, bytes);
    EXPECT_EQ(Save(*f.Graph, TContainer::Stream, false), bytes);
    EXPECT_EQ(f.Graph->ChildAxes().size(), 5u);
}

TEST(GraphRecords, ASeriesOfAnotherClassAtTheStoredPathIsReplacedByTheStoredClass) {
    QByteArray saved;
    {
        TForm f;
        BuildChart(f);
        saved = Save(*f.Graph, TContainer::Stream, true);
    }
    TForm f;
    QPointer<TVxLineSeries> line = Named(new TVxLineSeries(f.Widget.get()), "Points");
    Load(*f.Graph, TContainer::Stream, saved);
    EXPECT_TRUE(line.isNull());
    auto* points = f.Find<TVxSeries>("Points");
    ASSERT_NE(points, nullptr);
    EXPECT_STREQ(points->metaObject()->className(), "TVxPointSeries");
    EXPECT_EQ(f.Find<TVxLineSeries>("Band")->DrawBandTo(), points);
}

TEST(GraphRecords, ACarriageReturnInTheIniCaptionIsEscapedOnOneLine) {
    TForm f;
    f.Graph->SetCaption("first\rsecond");
    TVxIniFile ini;
    f.Graph->WriteTo(ini, Section, false);
    EXPECT_TRUE(ini.SaveToText().contains("Caption=first@\\rsecond\n"));
    f.Graph->SetCaption("x");
    f.Graph->ReadFrom(ini, Section);
    EXPECT_EQ(f.Graph->Caption(), "first\rsecond");
}

TEST(GraphRecords, APartialIniSectionChangesOnlyWhatItNames) {
    TForm f;
    BuildChart(f);
    const QByteArray before = Save(*f.Graph, TContainer::Stream, false);
    TVxIniFile ini;
    ini.WriteColor(Section, "BackColor", TVxColor(0xFF0000FF));
    f.Graph->ReadFrom(ini, Section);
    EXPECT_EQ(f.Graph->BackColor(), TVxColor(0xFF0000FF));
    f.Graph->SetBackColor(VxColor(0x00FFFFFF));
    EXPECT_EQ(Shown(Save(*f.Graph, TContainer::Stream, false), TContainer::Stream),
              Shown(before, TContainer::Stream));
}

// ---------------------------------------------------------------------------------------------
// Failures change nothing

class GraphRecordFailures : public ::testing::Test {
protected:
    void SetUp() override {
        BuildChart(F);
        F.Graph->SetUndoStack(&Undo);
        Source = Save(*F.Graph, TContainer::Stream, true);
        Undo.Clear();
        points = F.Find<TVxPointSeries>("Points");
        points->SetCaption("edited since the save");
        State = Save(*F.Graph, TContainer::Stream, true);
        Children = F.Children();
        UndoCount = Undo.UndoCount();
    }
    /// Loading Bytes from Container raises an error holding Expected and changes nothing.
    void ExpectRefused(TContainer Container, const QByteArray& Bytes, const std::string& Expected,
                       const std::string& Case) {
        const std::string error = ErrorOf([&] { Load(*F.Graph, Container, Bytes); });
        EXPECT_NE(error.find(Expected), std::string::npos) << Case << ": " << error;
        EXPECT_EQ(Save(*F.Graph, TContainer::Stream, true), State) << Case;
        EXPECT_EQ(F.Children(), Children) << Case;
        EXPECT_EQ(Undo.UndoCount(), UndoCount) << Case;
        EXPECT_FALSE(F.Graph->Updating()) << Case;
        EXPECT_FALSE(F.Graph->Loading()) << Case;
    }
    /// Source with the stream text Old replaced by New.
    /// (after the stream text Before, when given).
    QByteArray Patched(const QString& Old, const QString& New, const QString& Before = {}) const {
        QByteArray bytes = Source;
        const QByteArray context = Before.isEmpty() ? QByteArray() : Text(Before);
        const qsizetype at = bytes.indexOf(context + Text(Old));
        EXPECT_GE(at, 0) << Old.toStdString();
        return bytes.replace(at + context.size(), Text(Old).size(), Text(New));
    }

    TForm F;
    TVxUndoStack Undo;
    TVxPointSeries* points = nullptr;
    QByteArray Source;
    QByteArray State;
    QStringList Children;
    int UndoCount = 0;
};

TEST_F(GraphRecordFailures, AStreamCutAnywhereIsRefusedWithoutAChange) {
    for (qsizetype n = 0; n < Source.size(); ++n) {
        const std::string error =
            ErrorOf([&] { Load(*F.Graph, TContainer::Stream, Source.left(n)); });
        ASSERT_NE(error, "no error") << "cut at " << n;
        ASSERT_EQ(Save(*F.Graph, TContainer::Stream, true), State) << "cut at " << n;
        ASSERT_EQ(F.Children(), Children) << "cut at " << n;
        ASSERT_EQ(Undo.UndoCount(), UndoCount) << "cut at " << n;
        ASSERT_FALSE(F.Graph->Updating());
    }
    // The whole record loads.
    Load(*F.Graph, TContainer::Stream, Source);
    EXPECT_EQ(points->Caption(), QString::fromUtf8("Temp\r\nline\ttab \u00e4\u20ac"));
}

TEST_F(GraphRecordFailures, BadRecordsAreRefusedWithAClearMessage) {
    QByteArray newer = Source;
    newer[newer.size() - 1] = 1;
    ExpectRefused(TContainer::Stream, newer, "written by a newer version", "newer end byte");
    ExpectRefused(TContainer::Stream, Patched("TVxPointSeries", "TVxNoSuchSeries"),
                  "unknown series class \"TVxNoSuchSeries\"", "unknown class");
    ExpectRefused(TContainer::Stream,
                  Patched("ChartForm.Points", "ChartForm.Graph1", "TVxPointSeries"),
                  "\"ChartForm.Graph1\" names a TVxGraph2D", "series path names the graph");
    ExpectRefused(TContainer::Stream, Patched("ChartForm.Legend1", "ChartForm.XAxis"),
                  "\"ChartForm.XAxis\" is stored twice, as axis and as legend",
                  "legend path names a stored axis");
    ExpectRefused(TContainer::Stream, Patched("ChartForm.VX", "ChartForm.Graph1"),
                  "\"ChartForm.Graph1\" names a TVxGraph2D, not a vector",
                  "vector path names the graph");
    ExpectRefused(TContainer::Stream, Patched("ChartForm.VY", "NoSuchForm.VY"),
                  "the owner of \"NoSuchForm.VY\" does not exist", "missing owner");
}

TEST_F(GraphRecordFailures, TruncatedXmlAndIniAreRefusedWithoutAChange) {
    const QByteArray xml = Save(*F.Graph, TContainer::Xml, true);
    ExpectRefused(TContainer::Xml, xml.left(xml.size() / 2), "offset", "XML cut in half");
    ExpectRefused(TContainer::Xml, "<TVxAxis/>", "is not a TVxGraph2D element", "not a graph");
    QByteArray ini = Save(*F.Graph, TContainer::Ini, true);
    const qsizetype lastSeries = ini.indexOf("[Chart.RelatedSeries(1)]");
    ASSERT_GT(lastSeries, 0);
    const qsizetype next = ini.indexOf("\n[", lastSeries);
    ini.remove(lastSeries, next - lastSeries + 1);
    ExpectRefused(TContainer::Ini, ini, "but the section [Chart.RelatedSeries(1)] is missing",
                  "missing series section");
    TVxIniFile empty;
    EXPECT_NE(ErrorOf([&] { F.Graph->ReadFrom(empty, "Nowhere"); }).find("[Nowhere] is missing"),
              std::string::npos);
    QByteArray huge = Save(*F.Graph, TContainer::Ini, false);
    huge.replace("Axes.Count=4", "Axes.Count=2147483647");
    ExpectRefused(TContainer::Ini, huge, "Axes.Count is 2147483647", "count beyond the sections");
}

TEST_F(GraphRecordFailures, UnknownClassesAreSkippedInXmlAndIni) {
    // The other records still load: the band series gets its caption back.
    auto* band = F.Find<TVxLineSeries>("Band");
    band->SetCaption("band");
    QByteArray xml = Save(*F.Graph, TContainer::Xml, false);
    xml.replace("<TVxPointSeries ", "<TVxNoSuchSeries ");
    xml.replace("</TVxPointSeries>", "</TVxNoSuchSeries>");
    QByteArray ini = Save(*F.Graph, TContainer::Ini, false);
    ini.replace("Type=TVxPointSeries", "Type=TVxNoSuchSeries");
    for (auto [container, bytes] :
         {std::pair{TContainer::Xml, xml}, std::pair{TContainer::Ini, ini}}) {
        points->SetCaption("points");
        band->SetCaption("changed");
        Load(*F.Graph, container, bytes);
        EXPECT_EQ(points->Caption(), "points") << ContainerNames[int(container)];
        EXPECT_EQ(band->Caption(), "band") << ContainerNames[int(container)];
    }
}

// A spectrum whose phase child joined the graph before the spectrum itself: the child's
// record comes first and names an owner that only the spectrum's record creates.
void BuildSpectrumChart(TForm& F) {
    QWidget* form = F.Widget.get();
    auto* vx = Named(new TVxDoubleVector(form), "VX");
    auto* vy = Named(new TVxDoubleVector(form), "VY");
    for (int k = 0; k < 64; ++k) {
        vx->Add(k);
        vy->Add(std::sin(2 * M_PI * 5 * k / 64.0) + 0.5 * std::cos(2 * M_PI * 9 * k / 64.0));
    }
    auto* x = Named(new TVxAxis(form), "XAxis");
    auto* y = Named(new TVxAxis(form), "YAxis");
    y->SetPosition(TVxAxisPosition::Left);
    F.Graph->AddAxis(x);
    F.Graph->AddAxis(y);
    auto* spectrum = Named(new TVxDiscreteFourier(form), "Spectrum");
    spectrum->SetXData(vx);
    spectrum->SetYData(vy);
    TVxChildSeries* phase = spectrum->Phase();
    phase->SetVisible(true);
    phase->SetXAxis(x);
    phase->SetYAxis(y);
    spectrum->SetXAxis(x);
    spectrum->SetYAxis(y);
    spectrum->Calculate();
}

std::string RelatedNames(const TVxGraph2D& Graph) {
    QStringList names;
    for (const TVxSeries* s : Graph.RelatedSeries())
        names << QString::fromLatin1(s->metaObject()->className()) + ":" + s->objectName();
    return names.join(", ").toStdString();
}

TEST_P(GraphIdentity, AChildSeriesStoredBeforeItsParentLoadsIntoANewChart) {
    const TContainer c = GetParam();
    QByteArray saved;
    std::vector<double> phases;
    {
        TForm f;
        BuildSpectrumChart(f);
        ASSERT_EQ(RelatedNames(*f.Graph), "TVxChildSeries:Phase, TVxDiscreteFourier:Spectrum");
        const auto shown = f.Find<TVxDiscreteFourier>("Spectrum")->Phase()->YData();
        ASSERT_GT(shown->GetCount(), 0);
        for (int k = 0; k < shown->GetCount(); ++k)
            phases.push_back(shown->GetValue(k));
        saved = Save(*f.Graph, c, true);
    }
    TForm f;
    Load(*f.Graph, c, saved);
    auto* spectrum = f.Find<TVxDiscreteFourier>("Spectrum");
    ASSERT_NE(spectrum, nullptr) << ContainerNames[int(c)];
    EXPECT_EQ(RelatedNames(*f.Graph), "TVxChildSeries:Phase, TVxDiscreteFourier:Spectrum");
    EXPECT_EQ(f.Graph->RelatedSeries().front(), spectrum->Phase());
    EXPECT_TRUE(spectrum->Phase()->Visible());
    EXPECT_EQ(spectrum->Phase()->XAxis(), f.Find<TVxAxis>("XAxis"));
    // The child shows its parent's phases again.
    const auto shown = spectrum->Phase()->YData();
    ASSERT_NE(shown, nullptr);
    std::vector<double> loaded;
    for (int k = 0; k < shown->GetCount(); ++k)
        loaded.push_back(shown->GetValue(k));
    EXPECT_TRUE(SameBits(loaded, phases));
    EXPECT_EQ(Shown(Save(*f.Graph, c, true), c), Shown(saved, c)) << ContainerNames[int(c)];
}

TEST(GraphRecords, AChildSeriesWhoseOwnerNoRecordCreatesIsRefused) {
    QByteArray saved;
    {
        TForm f;
        BuildSpectrumChart(f);
        pugi::xml_document doc;
        f.Graph->WriteTo(doc, true);
        pugi::xml_node list = doc.first_child().child("RelatedSeries");
        ASSERT_TRUE(list.remove_child("TVxDiscreteFourier"));
        saved = SaveXmlDocument(doc);
    }
    TForm f;
    const QStringList children = f.Children();
    const std::string error = ErrorOf([&] { Load(*f.Graph, TContainer::Xml, saved); });
    EXPECT_NE(error.find("the owner of \"ChartForm.Spectrum.Phase\" does not exist"),
              std::string::npos)
        << error;
    EXPECT_EQ(f.Children(), children);
    EXPECT_TRUE(f.Graph->RelatedSeries().empty());
}

// ---------------------------------------------------------------------------------------------
// Saves that fail keep the old file

TEST(GraphRecords, AFailedSaveRaisesAndKeepsTheOldFile) {
    TForm f;
    BuildChart(f);
    QTemporaryDir dir;
    const QString old = dir.filePath("old.bin");
    f.Graph->WriteTo(old, true);
    const QByteArray oldBytes = ReadWholeFile(old);
    QDir(dir.path()).mkdir("folder");
    // A device in the file's place is written into, never replaced (a full one raises).
    for (const QString& target :
         {dir.filePath("folder"), dir.filePath("missing/chart.bin"), QString("/dev/full")})
        EXPECT_NE(ErrorOf([&] { f.Graph->WriteTo(target, true); }), "no error")
            << target.toStdString();
    EXPECT_TRUE(QFileInfo(dir.filePath("folder")).isDir());
    EXPECT_FALSE(QFileInfo("/dev/full").isFile());
    EXPECT_EQ(ReadWholeFile(old), oldBytes);
    // A failed write of a stream raises too.
    QFile full("/dev/full");
    ASSERT_TRUE(full.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    EXPECT_NE(ErrorOf([&] { f.Graph->WriteTo(static_cast<QIODevice&>(full), true); }), "no error");
    EXPECT_TRUE(f.Graph->StoreIncludingBarCaptions());
}

// ---------------------------------------------------------------------------------------------
// The registry

TEST(ComponentRegistry, CreatesTheRegisteredClassesAndKnowsNoOthers) {
    TVxComponentRegistry& r = TVxComponentRegistry::Instance();
    for (const char* name : {"TVxLineSeries", "TVxPointSeries"}) {
        const TVxComponentClass* c = r.Find(name);
        ASSERT_NE(c, nullptr) << name;
        std::unique_ptr<QObject> o(c->Create(nullptr));
        EXPECT_STREQ(o->metaObject()->className(), name);
    }
    EXPECT_EQ(r.Find("TVxGraph2D"), nullptr);
    EXPECT_EQ(r.Find("TVxSeries"), nullptr);
}

// ---------------------------------------------------------------------------------------------
// Steps of an axis that follows its data

// Rounding already rounded ends again may choose other steps than rounding the data range
// did: -40.0004 .. -0.0004 and its rounded -45 .. 0 differ on these heights. A change of
// look and a reload in every container keep the steps the data range gave.
TEST(GraphRecords, AnAxisFollowingItsDataKeepsItsStepsAfterALookChangeAndAReload) {
    struct TSteps {
        double Start, Stop, LabelPart, MajorTickPart;
        bool operator==(const TSteps&) const = default;
    };
    const auto steps = [](const TVxAxis& Axis) {
        return TSteps{Axis.Start(), Axis.Stop(), Axis.LabelPart(), Axis.MajorTickPart()};
    };
    for (int height : {300, 500})
        for (TContainer container : {TContainer::Stream, TContainer::Xml, TContainer::Ini}) {
            SCOPED_TRACE(std::string(ContainerNames[int(container)]) + " " +
                         std::to_string(height));
            QByteArray bytes;
            TSteps settled{};
            {
                TForm f;
                QWidget* form = f.Widget.get();
                auto* vx = Named(new TVxDoubleVector(form), "VX");
                auto* vy = Named(new TVxDoubleVector(form), "VY");
                vx->AddRange(std::vector<double>{1, 2});
                vy->AddRange(std::vector<double>{-40.000434, -0.000434});
                auto* ax = Named(new TVxAxis(form), "AX");
                auto* ay = Named(new TVxAxis(form), "AY");
                ay->SetPosition(TVxAxisPosition::Left);
                f.Graph->AddAxis(ax);
                f.Graph->AddAxis(ay);
                auto* line = Named(new TVxLineSeries(form), "Line");
                line->SetXData(vx);
                line->SetYData(vy);
                line->SetXAxis(ax);
                line->SetYAxis(ay);
                f.Graph->setGeometry(0, 0, 400, height);
                f.Graph->PaintToImage();
                ay->RangeModified(); // ranged again, now that the axis has its length
                f.Graph->PaintToImage();
                settled = steps(*ay);
                AxisLook(*ay).SetCaption("Gain (dB)");
                f.Graph->PaintToImage();
                EXPECT_EQ(steps(*ay), settled);
                bytes = Save(*f.Graph, container, true);
            }
            TForm g;
            g.Graph->setGeometry(0, 0, 400, height);
            Load(*g.Graph, container, bytes);
            g.Graph->PaintToImage();
            EXPECT_EQ(steps(*g.Find<TVxAxis>("AY")), settled);
        }
}

// ---------------------------------------------------------------------------------------------
// The layout as standard parsers read it

TEST(GraphRecords, XmlChildrenAndIniSectionsComeInTheOrderStandardParsersRead) {
    // The chart of fuzz_graph_records, whose seeds graph_layout_reference.py reads with
    // xml.etree and configparser.
    TForm f("FuzzForm");
    f.Graph->setObjectName("Graph");
    QWidget* form = f.Widget.get();
    auto* vx = Named(new TVxDoubleVector(form), "VX");
    auto* vy = Named(new TVxDoubleVector(form), "VY");
    vx->AddRange(std::vector<double>{0, 1, 2, 3, 4});
    vy->AddRange(std::vector<double>{3, -1, 4, 1, 5});
    auto* ax = Named(new TVxAxis(form), "AX");
    auto* ay = Named(new TVxAxis(form), "AY");
    ay->SetPosition(TVxAxisPosition::Left);
    f.Graph->AddAxis(ax);
    f.Graph->AddAxis(ay);
    auto* band = Named(new TVxLineSeries(form), "Band");
    auto* points = Named(new TVxPointSeries(form), "Points");
    for (TVxSeries* s : {static_cast<TVxSeries*>(band), static_cast<TVxSeries*>(points)}) {
        s->SetXData(vx);
        s->SetYData(vy);
        s->SetXAxis(ax);
        s->SetYAxis(ay);
    }
    band->SetDrawBandTo(points);
    Named(new TVxLegend(form), "Legend")->SetGraph(f.Graph);

    pugi::xml_document doc;
    f.Graph->WriteTo(doc, true);
    const pugi::xml_node root = doc.first_child();
    EXPECT_STREQ(root.name(), "TVxGraph2D");
    EXPECT_EQ(XmlText(root, "Name"), "FuzzForm.Graph");
    const std::vector<std::pair<std::string, std::vector<std::string>>> expected = {
        {"Vectors", {"TVxDoubleVector", "TVxDoubleVector"}},
        {"Axes", {"TVxAxis", "TVxAxis"}},
        {"RelatedSeries", {"TVxLineSeries", "TVxPointSeries"}},
        {"RelatedLegends", {"TVxLegend"}},
        {"Markers", {}},
        {"Properties", {}},
        {"Caption", {"Properties"}},
        {"Zoom", {}},
        {"Grid",
         {"MajorGridHorizontal", "MajorGridVertical", "MinorGridHorizontal", "MinorGridVertical"}},
        {"BackgroundGradient", {}},
        {"DataAreaGradient", {}},
        {"DataAreaFrame", {}}};
    std::vector<std::pair<std::string, std::vector<std::string>>> got;
    for (pugi::xml_node child : root.children()) {
        std::vector<std::string> tags;
        for (pugi::xml_node c : child.children())
            if (c.type() == pugi::node_element && std::string_view(c.name()) != "Font")
                tags.emplace_back(c.name());
        got.emplace_back(child.name(), tags);
    }
    EXPECT_EQ(got, expected);

    TVxIniFile ini;
    f.Graph->WriteTo(ini, "S", true);
    const QStringList sections = {
        "S",         "S.Vectors(0)",       "S.Vectors(1)",       "S.Axes(0)",
        "S.Axes(1)", "S.RelatedSeries(0)", "S.RelatedSeries(1)", "S.RelatedLegends(0)"};
    EXPECT_EQ(ini.Sections(), sections);
    const QStringList names = {"FuzzForm.Graph",  "FuzzForm.VX",    "FuzzForm.VY",
                               "FuzzForm.AX",     "FuzzForm.AY",    "FuzzForm.Band",
                               "FuzzForm.Points", "FuzzForm.Legend"};
    for (int i = 0; i < sections.size(); ++i)
        EXPECT_EQ(ini.ReadString(sections[i], "Name", {}), names[i]);
    EXPECT_EQ(ini.ReadString("S.RelatedSeries(0)", "Type", {}), "TVxLineSeries");
    EXPECT_EQ(ini.ReadString("S.RelatedSeries(1)", "Type", {}), "TVxPointSeries");
}
