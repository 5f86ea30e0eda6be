// The saved series record: byte layout against records packed by hand, the old layout,
// round trips through the four containers, references in any loading order and of the
// required kind, reading into a new object, and hostile input.

#include "persistence/IniFile.h"
#include "persistence/PendingReferences.h"
#include "persistence/XmlCodec.h"
#include "series/Series.h"
#include "series/SeriesHost.h"
#include "util/Application.h"
#include "util/Exceptions.h"
#include "vectors/DoubleVector.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sys/resource.h>

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

// From series_record_reference.py: a point series "RecForm.Points" with every field away
// from its default, naming RecForm.VX, .VY, .AX, .AY and the series RecForm.Later.
constexpr const char* Head =
    "0E 00 00 00 54 56 78 50 6F 69 6E 74 53 65 72 69 65 73 0E 00 00 00 52 65 "
    "63 46 6F 72 6D 2E 50 6F 69 6E 74 73 0E 00 00 00 54 C2 B0 20 22 69 6E 22 "
    "0D 0A 73 69 64 65 00 01 00 00 FC FF FF FF 00 00 80 00 FF 00 00 20 40 02 "
    "00 01 FF 00 00 FF 00 FF FF FF 01 01 01 01 03 02 01 FF 06 05 04 FF 09 08 "
    "07 FF 00 00 F0 41 00 00 80 3E 00 00 40 3F 00 00 00 3E 00 00 0A 00 00 00 "
    "52 65 63 46 6F 72 6D 2E 56 58 0A 00 00 00 52 65 63 46 6F 72 6D 2E 56 59 "
    "0A 00 00 00 52 65 63 46 6F 72 6D 2E 41 58 0A 00 00 00 52 65 63 46 6F 72 "
    "6D 2E 41 59 ";
constexpr const char* Links =
    "01 0D 00 00 00 52 65 63 46 6F 72 6D 2E 4C 61 74 65 72 0D 00 00 00 52 65 "
    "63 46 6F 72 6D 2E 4C 61 74 65 72 00 ";
constexpr const char* Symbol = "00 00 00 E0 40 00 00 00 40 30 20 10 FF 60 50 40 80 04 00 ";
constexpr int CaptionCountOffset = 36;
constexpr int LinksEndMarkerOffset = 207;
constexpr int SymbolKindOffset = 225;
constexpr int SymbolEndMarkerOffset = 226;

QByteArray FullRecord() {
    return Hex(Head) + Hex(Links) + Hex(Symbol);
}

QByteArray WithLinks(const QString& Merge, const QString& Band) {
    return Hex(Head) + Hex("01") + Text(Merge) + Text(Band) + Hex("00") + Hex(Symbol);
}

bool ReadBytes(TVxSeries& Series, QByteArray Bytes) {
    QBuffer buffer(&Bytes);
    buffer.open(QIODevice::ReadOnly);
    Series.ReadFrom(static_cast<QIODevice&>(buffer));
    return buffer.atEnd();
}

QByteArray WriteBytes(const TVxSeries& Series) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    Series.WriteTo(static_cast<QIODevice&>(buffer));
    return bytes;
}

std::string ErrorOf(const std::function<void()>& Action) {
    try {
        Action();
    } catch (const EVxException& e) {
        return e.what();
    }
    return "no error";
}

// A graph that takes series (axes and series join it once assigned).
class FakeGraph : public TVxAxisHost, public TVxSeriesHost {
public:
    double LabelFontSize(const TVxAxis&) const override { return 10; }
    QSizeF MeasureLabel(const TVxAxis&, const QString& Text) const override {
        return {6.0 * double(Text.size()), 12.0};
    }
    void AxisModified(TVxAxis&) override {}
    void RegisterSeries(TVxSeries* Series) override {
        if (std::find(List.begin(), List.end(), Series) == List.end())
            List.push_back(Series);
    }
    void UnregisterSeries(TVxSeries* Series) override { std::erase(List, Series); }
    QRectF DrawingArea() const override { return {0, 0, 100, 100}; }
    TVxAxis* PrimaryXAxis() const override { return nullptr; }
    TVxAxis* PrimaryYAxis() const override { return nullptr; }
    TVxUndoStack* HostUndoStack() const override { return nullptr; }
    void SeriesInvalidated(TVxSeries&) override {}
    void SeriesLayoutModified(TVxSeries&) override {}
    void LegendsModified() override {}
    bool HostDestroying() const override { return false; }
    bool Panning() const override { return false; }
    bool DoingImage() const override { return false; }
    bool DoingMetafile() const override { return false; }
    bool AntiAliased() const override { return false; }

    std::vector<TVxSeries*> List;
};

class SeriesRecordsTest : public ::testing::Test {
protected:
    SeriesRecordsTest() {
        Form.setObjectName("RecForm");
        TVxApplication::Instance().RegisterForm(&Form);
        VX = Named(new TVxDoubleVector(&Form), "VX");
        VY = Named(new TVxDoubleVector(&Form), "VY");
        AX = Named(new TVxAxis(&Form), "AX");
        AY = Named(new TVxAxis(&Form), "AY");
        AY->SetPosition(TVxAxisPosition::Left);
        VX->AddRange(std::vector<double>{1, 2, 3});
        VY->AddRange(std::vector<double>{4, 5, 6});
    }
    ~SeriesRecordsTest() override {
        for (TVxAxis* axis : {AX, AY})
            axis->SetHost(nullptr);
        TVxApplication::Instance().Unregister(&Form);
    }
    template <typename T> static T* Named(T* Object, const char* Name) {
        Object->setObjectName(Name);
        return Object;
    }

    FakeGraph Graph;
    QObject Form;
    TVxDoubleVector* VX;
    TVxDoubleVector* VY;
    TVxAxis* AX;
    TVxAxis* AY;
};

// ---------------------------------------------------------------------------------------------
// Byte layout

TEST_F(SeriesRecordsTest, PackedPointRecordReadsIntoEveryFieldAndWritesBackTheSameBytes) {
    auto* points = Named(new TVxPointSeries(&Form), "Points");
    auto* later = Named(new TVxLineSeries(&Form), "Later");
    ASSERT_TRUE(ReadBytes(*points, FullRecord()));
    EXPECT_EQ(points->Caption(), QString::fromUtf8("T\u00b0 \"in\"\r\nside"));
    EXPECT_FALSE(points->Visible());
    EXPECT_TRUE(points->OutliersVisible());
    EXPECT_FALSE(points->IncludeInLegend());
    EXPECT_FALSE(points->AutoUpdate());
    EXPECT_EQ(points->Layer(), -4);
    EXPECT_FALSE(points->Line()->Visible());
    EXPECT_EQ(points->Line()->Color(), TVxColor(0xFF008000));
    EXPECT_EQ(points->Line()->Width(), 2.5f);
    EXPECT_TRUE(points->Area()->Visible());
    EXPECT_EQ(points->Area()->BackColor(), TVxColor(0xFFFFFF00));
    EXPECT_EQ(points->Area()->Gradient()->LinearAngle(), 30.0f);
    EXPECT_EQ(points->XData(), VX);
    EXPECT_EQ(points->YData(), VY);
    EXPECT_EQ(points->XAxis(), AX);
    EXPECT_EQ(points->YAxis(), AY);
    EXPECT_EQ(points->MergeLegendItemWith(), later);
    EXPECT_EQ(points->DrawBandTo(), later);
    EXPECT_FALSE(points->PointSymbol()->Visible());
    EXPECT_EQ(points->PointSymbol()->Size(), 7.0f);
    EXPECT_EQ(points->PointSymbol()->BorderLineWidth(), 2.0f);
    EXPECT_EQ(points->PointSymbol()->FillColor(), TVxColor(0x80405060));
    EXPECT_EQ(points->PointSymbol()->PointSymbol(), TVxPointSymbol(4));

    EXPECT_EQ(WriteBytes(*points).toHex(' '), FullRecord().toHex(' '));
}

TEST_F(SeriesRecordsTest, ARecordWhoseExtensionMarkerIsZeroKeepsMergeAndBand) {
    auto* points = Named(new TVxPointSeries(&Form), "Points");
    auto* partner = Named(new TVxLineSeries(&Form), "Partner");
    points->SetMergeLegendItemWith(partner);
    points->SetDrawBandTo(partner);
    ASSERT_TRUE(ReadBytes(*points, Hex(Head) + Hex("00") + Hex(Symbol)));
    EXPECT_EQ(points->MergeLegendItemWith(), partner);
    EXPECT_EQ(points->DrawBandTo(), partner);
    EXPECT_EQ(points->PointSymbol()->Size(), 7.0f);
}

TEST_F(SeriesRecordsTest, ALineSeriesRecordHasNoSymbolBlock) {
    auto* line = Named(new TVxLineSeries(&Form), "Line1");
    Named(new TVxLineSeries(&Form), "Later");
    QByteArray bytes = Hex(Head) + Hex(Links);
    bytes.replace(4, 14, "TVxLineSeries\0", 14); // the class name is ignored on reading
    ASSERT_TRUE(ReadBytes(*line, bytes));
    EXPECT_EQ(line->Layer(), -4);
    const QByteArray written = WriteBytes(*line);
    EXPECT_EQ(written.mid(written.size() - Hex(Links).size()).toHex(' '), Hex(Links).toHex(' '));
}

// ---------------------------------------------------------------------------------------------
// References

TEST_F(SeriesRecordsTest, ForwardReferencesResolveOnceEveryObjectExists) {
    auto* points = Named(new TVxPointSeries(&Form), "Points");
    {
        TVxPendingReferences loading;
        ASSERT_TRUE(ReadBytes(*points, FullRecord()));
        // Read into an object no graph holds: nothing outside it has changed yet.
        EXPECT_EQ(points->XData(), nullptr);
        EXPECT_TRUE(VX->RelatedSeries().empty());
        EXPECT_TRUE(AX->RelatedSeries().empty());
        EXPECT_EQ(loading.Count(), 6);
        auto* later = Named(new TVxLineSeries(&Form), "Later");
        loading.Resolve();
        EXPECT_EQ(points->DrawBandTo(), later);
        EXPECT_EQ(points->MergeLegendItemWith(), later);
        EXPECT_EQ(points->XData(), VX);
        EXPECT_EQ(VX->RelatedSeries().size(), 1u);
    }
    // A checked record that is discarded changes nothing.
    auto* fresh = Named(new TVxPointSeries(&Form), "Fresh");
    {
        TVxPendingReferences checking;
        ASSERT_TRUE(ReadBytes(*fresh, FullRecord()));
        checking.Discard();
    }
    EXPECT_EQ(fresh->XAxis(), nullptr);
    EXPECT_EQ(VX->RelatedSeries().size(), 1u);
}

TEST_F(SeriesRecordsTest, ReferencesOfTheWrongKindOrToItselfAreNone) {
    auto* points = Named(new TVxPointSeries(&Form), "Points");
    auto* other = Named(new TVxPointSeries(&Form), "Other");
    auto* partner = Named(new TVxLineSeries(&Form), "Partner");
    const struct {
        const char* Merge;
        const char* Band;
        TVxSeries* ExpectedMerge;
        TVxSeries* ExpectedBand;
    } cases[] = {
        {"RecForm.Other", "RecForm.Other", other, other}, // a point series is a line series
        {"RecForm.Points", "RecForm.Points", nullptr, nullptr},
        {"RecForm.AX", "RecForm.AX", nullptr, nullptr},
        {"RecForm.VX", "RecForm", nullptr, nullptr},
        {"RecForm.Nobody", "", nullptr, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Band);
        points->SetMergeLegendItemWith(partner);
        points->SetDrawBandTo(partner);
        ASSERT_TRUE(ReadBytes(*points, WithLinks(c.Merge, c.Band)));
        EXPECT_EQ(points->MergeLegendItemWith(), c.ExpectedMerge);
        EXPECT_EQ(points->DrawBandTo(), c.ExpectedBand);
    }
    // The same holds in the other containers.
    TVxIniFile ini;
    points->WriteTo(ini, "S");
    ini.WriteString("S", "XAxis", "RecForm.VX");
    ini.WriteString("S", "DrawBandTo", "RecForm.AY");
    points->SetDrawBandTo(partner);
    points->ReadFrom(ini, "S");
    EXPECT_EQ(points->XAxis(), nullptr);
    EXPECT_EQ(points->DrawBandTo(), nullptr);
}

TEST_F(SeriesRecordsTest, TheOwnIndexerIsWrittenAsEmptyAndReadsBackAsTheIndexer) {
    AX->SetHost(&Graph);
    AY->SetHost(&Graph);
    auto* points = Named(new TVxPointSeries(&Form), "Points");
    points->SetXAxis(AX);
    points->SetYAxis(AY);
    points->SetYData(VY);
    ASSERT_NE(points->XData(), nullptr); // the series' own indexer
    TVxIniFile ini;
    points->WriteTo(ini, "S");
    EXPECT_EQ(ini.ReadString("S", "XData", "missing"), "");
    EXPECT_EQ(ini.ReadString("S", "YData", ""), "RecForm.VY");

    auto* copy = Named(new TVxPointSeries(&Form), "Copy");
    copy->SetXData(VX);
    copy->ReadFrom(ini, "S");
    EXPECT_EQ(copy->YData(), VY);
    EXPECT_NE(copy->XData(), VX);
    EXPECT_NE(copy->XData(), nullptr);
    EXPECT_EQ(copy->XData()->GetCount(), VY->GetCount());
}

// ---------------------------------------------------------------------------------------------
// Hostile input

TEST_F(SeriesRecordsTest, EveryCutRaisesTheStreamErrorNamingTheRecord) {
    const QByteArray record = FullRecord();
    for (int cut : {0, 4, 20, CaptionCountOffset + 3, 60, 100, 150, LinksEndMarkerOffset,
                    SymbolKindOffset, SymbolEndMarkerOffset}) {
        SCOPED_TRACE(cut);
        TVxPointSeries series;
        const std::string error = ErrorOf([&] { ReadBytes(series, record.left(cut)); });
        EXPECT_NE(error.find("TVxPointSeries record"), std::string::npos) << error;
        EXPECT_THROW(ReadBytes(series, record.left(cut)), EVxStreamError);
    }
}

TEST_F(SeriesRecordsTest, EachForgedFieldRaisesAnErrorNamingTheRecord) {
    const auto patched = [](int Offset, const char* Bytes) {
        QByteArray record = FullRecord();
        const QByteArray patch = Hex(Bytes);
        record.replace(Offset, patch.size(), patch);
        return record;
    };
    const struct {
        const char* Name;
        QByteArray Bytes;
        const char* Reason;
    } cases[] = {
        {"symbol 255", patched(SymbolKindOffset, "FF"), "enumeration value 255"},
        {"caption of 2^31-1 bytes", patched(CaptionCountOffset, "FF FF FF 7F"),
         "Stream read error"},
        {"end marker after the references", patched(LinksEndMarkerOffset, "01"),
         "written by a newer version"},
        {"end marker after the symbol", patched(SymbolEndMarkerOffset, "02"),
         "written by a newer version"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TVxPointSeries series;
        const std::string error = ErrorOf([&] { ReadBytes(series, c.Bytes); });
        EXPECT_NE(error.find("TVxPointSeries record"), std::string::npos) << error;
        EXPECT_NE(error.find(c.Reason), std::string::npos) << error;
    }
    TVxIniFile ini;
    ini.LoadFromText("[S]\nPointSymbol.Symbol=255\n");
    TVxPointSeries series;
    EXPECT_NE(ErrorOf([&] { series.ReadFrom(ini, "S"); }).find("TVxPointSeries record"),
              std::string::npos);
    pugi::xml_document doc;
    LoadXmlDocument(doc, "<TVxPointSeries><PointSymbol Symbol=\"10\"/></TVxPointSeries>");
    EXPECT_THROW(series.ReadFrom(doc.child("TVxPointSeries")), EVxException);
}

// ---------------------------------------------------------------------------------------------
// Round trips and shapes

enum class TContainer { Stream, File, Xml, Ini };

void Transfer(const TVxSeries& Source, TVxSeries& Target, TContainer Container) {
    switch (Container) {
    case TContainer::Stream:
        ASSERT_TRUE(ReadBytes(Target, WriteBytes(Source)));
        break;
    case TContainer::File: {
        QTemporaryDir dir;
        const QString name = dir.filePath("series.bin");
        Source.WriteTo(name);
        Target.ReadFrom(name);
        break;
    }
    case TContainer::Xml: {
        pugi::xml_document doc;
        Source.WriteTo(doc);
        pugi::xml_document loaded;
        LoadXmlDocument(loaded, SaveXmlDocument(doc));
        Target.ReadFrom(loaded.first_child());
        break;
    }
    case TContainer::Ini: {
        TVxIniFile ini;
        Source.WriteTo(ini, "Series");
        TVxIniFile loaded;
        loaded.LoadFromText(ini.SaveToText());
        Target.ReadFrom(loaded, "Series");
        break;
    }
    }
}

TEST_F(SeriesRecordsTest, RoundTripsThroughEveryContainerForEachKind) {
    const QString caption = QString::fromUtf8("A\rB\nC\tD @\\r end \u00e9\u4e2d");
    for (bool point : {false, true})
        for (TContainer container :
             {TContainer::Stream, TContainer::File, TContainer::Xml, TContainer::Ini}) {
            SCOPED_TRACE(::testing::Message()
                         << "point " << point << ", container " << int(container));
            const auto make = [&](const char* Name) -> TVxSeries* {
                return point ? Named(new TVxPointSeries(&Form), Name)
                             : Named(new TVxLineSeries(&Form), Name);
            };
            std::unique_ptr<TVxSeries> partner(Named(new TVxLineSeries(&Form), "Partner"));
            std::unique_ptr<TVxSeries> source(make("Source"));
            source->SetCaption(caption);
            source->SetVisible(false);
            source->SetOutliersVisible(true);
            source->SetIncludeInLegend(false);
            source->SetAutoUpdate(false);
            source->SetLayer(-7);
            source->Line()->SetWidth(std::numeric_limits<float>::denorm_min());
            source->Line()->SetColor(VxColor(0x12345678));
            source->Area()->SetVisible(true);
            source->Area()->Gradient()->SetRadialCenterX(0.125f);
            source->PointSymbol()->SetSize(13);
            source->PointSymbol()->SetPointSymbol(TVxPointSymbol(9));
            source->SetXData(VX);
            source->SetYData(VY);
            source->SetXAxis(AX);
            source->SetYAxis(AY);
            source->SetMergeLegendItemWith(partner.get());
            source->SetDrawBandTo(static_cast<TVxLineSeries*>(partner.get()));

            std::unique_ptr<TVxSeries> target(make("Target"));
            Transfer(*source, *target, container);
            EXPECT_EQ(target->Caption(), caption);
            EXPECT_FALSE(target->Visible());
            EXPECT_TRUE(target->OutliersVisible());
            EXPECT_FALSE(target->IncludeInLegend());
            EXPECT_FALSE(target->AutoUpdate());
            EXPECT_EQ(target->Layer(), -7);
            EXPECT_EQ(target->Line()->Width(), source->Line()->Width());
            EXPECT_EQ(target->Line()->Color(), VxColor(0x12345678));
            EXPECT_TRUE(target->Area()->Visible());
            EXPECT_EQ(target->Area()->Gradient()->RadialCenterX(), 0.125f);
            // Only a point series stores its symbol settings.
            EXPECT_EQ(target->PointSymbol()->Size(), point ? 13.0f : 11.0f);
            EXPECT_EQ(target->PointSymbol()->PointSymbol(),
                      point ? TVxPointSymbol(9) : TVxPointSymbol::Circle);
            EXPECT_EQ(target->XData(), VX);
            EXPECT_EQ(target->YData(), VY);
            EXPECT_EQ(target->XAxis(), AX);
            EXPECT_EQ(target->YAxis(), AY);
            EXPECT_EQ(target->MergeLegendItemWith(), partner.get());
            EXPECT_EQ(target->DrawBandTo(), partner.get());
        }
}

TEST_F(SeriesRecordsTest, IniWithoutLayerKeepsTheLayerAndMissingKeysKeepTheirValues) {
    TVxPointSeries series;
    series.SetLayer(5);
    series.SetCaption("kept");
    series.SetXAxis(AX);
    series.PointSymbol()->SetSize(20);
    TVxIniFile ini;
    ini.LoadFromText("[S]\nVisible=0\n");
    series.ReadFrom(ini, "S");
    EXPECT_FALSE(series.Visible());
    EXPECT_EQ(series.Layer(), 5);
    EXPECT_EQ(series.Caption(), "kept");
    EXPECT_EQ(series.XAxis(), AX);
    EXPECT_EQ(series.PointSymbol()->Size(), 20.0f);
    pugi::xml_document doc;
    LoadXmlDocument(doc, "<TVxPointSeries><Properties Layer=\"9\"/></TVxPointSeries>");
    series.ReadFrom(doc.child("TVxPointSeries"));
    EXPECT_EQ(series.Layer(), 9);
    EXPECT_FALSE(series.Visible());
    EXPECT_EQ(series.XAxis(), AX);
}

TEST_F(SeriesRecordsTest, AFailedFileSaveKeepsTheOldFile) {
    QTemporaryDir dir;
    const QString name = dir.filePath("series.bin");
    TVxPointSeries series;
    series.SetCaption("first");
    series.WriteTo(name);
    const QByteArray old = [&] {
        QFile f(name);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    // A file-size limit below the new record makes the save fail part-way.
    series.SetCaption(QString(100000, 'x'));
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved;
    limit.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &limit);
    EXPECT_THROW(series.WriteTo(name), EVxStreamError);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), old);
    TVxPointSeries copy;
    copy.ReadFrom(name);
    EXPECT_EQ(copy.Caption(), "first");
}

} // namespace
