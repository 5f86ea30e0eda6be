// Records of bars, bubbles and arrows through the stream, XML and ini containers; the older
// bar record that ends after the captions, a caption count of -1, bad ordinals; the vectors a
// bubble or arrow series refers to. Bubble geometry on unequal scales and arrow directions.

#include "drawing/RecordingSurface.h"
#include "persistence/IniFile.h"
#include "persistence/XmlCodec.h"
#include "series/Arrows.h"
#include "series/Bars.h"
#include "series/Bubbles.h"
#include "series/SeriesHost.h"
#include "styles/VxFont.h"
#include "util/Application.h"
#include "util/Exceptions.h"
#include "vectors/DoubleVector.h"

#include <QBuffer>
#include <cmath>
#include <gtest/gtest.h>
#include <pugixml.hpp>

namespace {

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
    QRectF DrawingArea() const override { return {0, 0, 400, 100}; }
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
    std::vector<TVxSeries*> HostSeries() const override { return List; }
    std::vector<TVxSeries*> List;
};

QByteArray WriteBytes(const TVxSeries& Series) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    Series.WriteTo(static_cast<QIODevice&>(buffer));
    return bytes;
}

bool ReadBytes(TVxSeries& Series, QByteArray Bytes) {
    QBuffer buffer(&Bytes);
    buffer.open(QIODevice::ReadOnly);
    Series.ReadFrom(static_cast<QIODevice&>(buffer));
    return buffer.atEnd();
}

class BarsRecordsTest : public testing::Test {
protected:
    BarsRecordsTest() {
        Form.setObjectName("BarsForm");
        TVxApplication::Instance().RegisterForm(&Form);
        X = Named(new TVxDoubleVector(&Form), "X");
        Y = Named(new TVxDoubleVector(&Form), "Y");
        R = Named(new TVxDoubleVector(&Form), "R");
        AX = Named(new TVxAxis(&Form), "AX");
        AY = Named(new TVxAxis(&Form), "AY");
        AX->SetHost(&Graph);
        AY->SetHost(&Graph);
        AY->SetPosition(TVxAxisPosition::Left);
    }
    ~BarsRecordsTest() override {
        for (TVxAxis* axis : {AX, AY})
            axis->SetHost(nullptr);
        TVxApplication::Instance().Unregister(&Form);
    }
    template <typename T> static T* Named(T* Object, const char* Name) {
        Object->setObjectName(Name);
        return Object;
    }
    // A horizontal stacked cuboid series with every label field away from its default.
    TVxBars* MakeBars(const char* Name) {
        auto* b = Named(new TVxBars(&Form), Name);
        b->SetXAxis(AX);
        b->SetYAxis(AY);
        b->SetXData(X);
        b->SetYData(Y);
        b->SetBarsHorizontal(true); // X now holds Y's values and the other way round
        b->SetBarStyle(TVxBarStyle::Cylinder);
        b->SetOverlayStyle(TVxBarsOverlayStyle::Stack);
        b->SetDepth3D(35);
        b->SetClassesDistance(12.5);
        // A font size other than a new series' (as after a layout): reading the font back
        // must not rescale the label size.
        b->Font()->SetSize(20);
        b->SetLabelSize(17);
        b->SetLabelVertical(true);
        b->SetLabelColor(VxColor(0xFF123456));
        b->SetLabelPosition(TVxBarLabelPosition::GoldenCut);
        b->SetLabelFrom(TVxLabelStyle::CaptionAndPercent);
        b->SetLabelFormat("0.0");
        b->Font()->SetName("Times New Roman");
        b->SetCaptions({"a\rb", "c\nd", "e\tf", "ENDMARK"});
        return b;
    }
    void ExpectSame(const TVxBars& Got, const TVxBars& Want) {
        EXPECT_EQ(Got.XData(), Want.XData());
        EXPECT_EQ(Got.YData(), Want.YData());
        EXPECT_TRUE(Got.BarsHorizontal());
        EXPECT_EQ(Got.BarStyle(), TVxBarStyle::Cylinder);
        EXPECT_EQ(Got.OverlayStyle(), TVxBarsOverlayStyle::Stack);
        EXPECT_EQ(Got.Depth3D(), 35);
        EXPECT_EQ(Got.ClassesDistance(), 12.5);
        EXPECT_EQ(Got.LabelSize(), 17);
        EXPECT_TRUE(Got.LabelVertical());
        EXPECT_EQ(Got.LabelColor(), VxColor(0xFF123456));
        EXPECT_EQ(Got.LabelPosition(), TVxBarLabelPosition::GoldenCut);
        EXPECT_EQ(Got.LabelFrom(), TVxLabelStyle::CaptionAndPercent);
        EXPECT_EQ(Got.LabelFormat(), "0.0");
        EXPECT_EQ(Got.Font()->Name(), "Times New Roman");
        EXPECT_EQ(Got.Captions(), Want.Captions());
    }

    FakeGraph Graph;
    QObject Form;
    TVxDoubleVector* X;
    TVxDoubleVector* Y;
    TVxDoubleVector* R;
    TVxAxis* AX;
    TVxAxis* AY;
};

TEST_F(BarsRecordsTest, BarsRoundTripThroughEveryContainerWithoutSwappingTheData) {
    TVxBars* saved = MakeBars("Saved");
    ASSERT_EQ(saved->XData(), Y);
    {
        auto* read = Named(new TVxBars(&Form), "Stream");
        ASSERT_TRUE(ReadBytes(*read, WriteBytes(*saved)));
        ExpectSame(*read, *saved);
        delete read;
    }
    {
        pugi::xml_document doc;
        saved->WriteTo(doc.append_child("Chart"));
        auto* read = Named(new TVxBars(&Form), "Xml");
        read->ReadFrom(doc.child("Chart").first_child());
        ExpectSame(*read, *saved);
        delete read;
    }
    {
        TVxIniFile ini;
        saved->WriteTo(ini, "Bars");
        auto* read = Named(new TVxBars(&Form), "Ini");
        read->ReadFrom(ini, "Bars");
        ExpectSame(*read, *saved);
        delete read;
    }
}

TEST_F(BarsRecordsTest, OlderRecordsCountMinusOneAndBadOrdinals) {
    TVxBars* saved = MakeBars("Saved");
    const QByteArray bytes = WriteBytes(*saved);
    // The version byte after the last caption: 0 ends the record there.
    const int mark = int(bytes.indexOf("ENDMARK"));
    ASSERT_GT(mark, 0);
    QByteArray older = bytes.left(mark + 7) + QByteArray(1, '\0');
    ASSERT_EQ(bytes[mark + 7], '\1');
    auto* read = Named(new TVxBars(&Form), "Older");
    ASSERT_TRUE(ReadBytes(*read, older));
    EXPECT_EQ(read->Captions(), saved->Captions());
    EXPECT_EQ(read->BarStyle(), TVxBarStyle::Flat); // not in the older record
    // Count -1: no captions stored, the series keeps its own.
    const int count = mark - 4 - 3 * (4 + 3) - 4;
    ASSERT_EQ(bytes.mid(count, 4), QByteArray::fromHex("04000000"));
    QByteArray none = bytes.left(count) + QByteArray::fromHex("FFFFFFFF") + bytes.mid(mark + 7);
    read->SetCaptions({"kept"});
    ASSERT_TRUE(ReadBytes(*read, none));
    EXPECT_EQ(read->Captions(), QStringList{"kept"});
    // A count beyond the bytes left, and a label position out of range.
    QByteArray huge = bytes;
    huge.replace(count, 4, QByteArray::fromHex("FFFFFF7F"));
    EXPECT_THROW(ReadBytes(*read, huge), EVxException);
    pugi::xml_document doc;
    saved->WriteTo(doc.append_child("Chart"));
    pugi::xml_node labels = doc.child("Chart").first_child().child("Labels");
    labels.attribute("Position").set_value("9");
    EXPECT_THROW(read->ReadFrom(doc.child("Chart").first_child()), EVxException);
    TVxIniFile ini;
    saved->WriteTo(ini, "Bars");
    ini.WriteInteger("Bars", "OverlayStyle", 5);
    EXPECT_THROW(read->ReadFrom(ini, "Bars"), EVxException);
}

TEST_F(BarsRecordsTest, BubblesAndArrowsKeepTheirVectors) {
    auto* bubbles = Named(new TVxBubbles(&Form), "Bubbles");
    bubbles->SetRadiusData(R);
    bubbles->SetElliptical(true);
    auto* arrows = Named(new TVxArrows(&Form), "Arrows");
    arrows->SetDeltaX(R);
    arrows->SetDeltaY(Y);
    arrows->Arrow()->SetPointLength(9);
    EXPECT_EQ(bubbles->ReferencedVectors().back(), R);
    EXPECT_EQ(arrows->ReferencedVectors().back(), Y);
    {
        auto* b = Named(new TVxBubbles(&Form), "B1");
        auto* a = Named(new TVxArrows(&Form), "A1");
        ASSERT_TRUE(ReadBytes(*b, WriteBytes(*bubbles)));
        ASSERT_TRUE(ReadBytes(*a, WriteBytes(*arrows)));
        EXPECT_EQ(b->RadiusData(), R);
        EXPECT_TRUE(b->Elliptical());
        EXPECT_EQ(a->DeltaX(), R);
        EXPECT_EQ(a->DeltaY(), Y);
        EXPECT_EQ(a->Arrow()->PointLength(), 9);
        delete a;
        delete b;
    }
    {
        pugi::xml_document doc;
        pugi::xml_node chart = doc.append_child("Chart");
        bubbles->WriteTo(chart);
        arrows->WriteTo(chart);
        auto* b = Named(new TVxBubbles(&Form), "B2");
        auto* a = Named(new TVxArrows(&Form), "A2");
        b->ReadFrom(chart.child("TVxBubbles"));
        a->ReadFrom(chart.child("TVxArrows"));
        EXPECT_EQ(b->RadiusData(), R);
        EXPECT_EQ(a->DeltaY(), Y);
        delete a;
        delete b;
    }
    {
        TVxIniFile ini;
        bubbles->WriteTo(ini, "B");
        arrows->WriteTo(ini, "A");
        auto* b = Named(new TVxBubbles(&Form), "B3");
        auto* a = Named(new TVxArrows(&Form), "A3");
        b->ReadFrom(ini, "B");
        a->ReadFrom(ini, "A");
        EXPECT_EQ(b->RadiusData(), R);
        EXPECT_TRUE(b->Elliptical());
        EXPECT_EQ(a->DeltaX(), R);
        EXPECT_EQ(a->Arrow()->PointLength(), 9);
        delete a;
        delete b;
    }
}

TEST_F(BarsRecordsTest, BubblesStayRoundOnUnequalScales) {
    // X 0..40 on 400 px (0.1 per px), Y 0..10 on 100 px (0.1 per px) ... then Y 0..20.
    AX->SetAxisGeometry(0, 100, 400);
    AY->SetAxisGeometry(0, 0, 100);
    AX->SetStartStop(0, 40);
    AY->SetStartStop(0, 20);
    AX->CalculateTicks();
    AY->CalculateTicks();
    X->AddRange(std::vector<double>{10, 30});
    Y->AddRange(std::vector<double>{5, 15});
    R->AddRange(std::vector<double>{2, -1});
    auto* b = Named(new TVxBubbles(&Form), "Round");
    b->SetXAxis(AX);
    b->SetYAxis(AY);
    b->SetXData(X);
    b->SetYData(Y);
    b->SetRadiusData(R);
    b->Calculate();
    // Y: from 5 - 2 to 15 + 1; X widened by k r, k = (30 - 10) x 100 / (16 x 400).
    EXPECT_EQ(b->Extent().top(), 3);
    EXPECT_EQ(b->Extent().bottom(), 16);
    const double k = 20.0 * 100 / (13 * 400);
    EXPECT_NEAR(b->Extent().left(), 10 - 2 * k, 1e-12);
    EXPECT_NEAR(b->Extent().right(), 30 + k, 1e-12);
    b->EnsurePoints();
    ASSERT_EQ(b->Boxes().size(), 2u);
    // Radius 2 in Y units is 10 px; round: 20 x 20 px around the point's pixel.
    const QRectF box = b->Boxes()[0];
    EXPECT_NEAR(box.width(), 20, 1e-3);
    EXPECT_NEAR(box.height(), 20, 1e-3);
    EXPECT_NEAR(box.center().x(), 100, 1e-3);
    EXPECT_NEAR(box.center().y(), 75, 1e-3);
    // A twisted X axis keeps the box on its point.
    AX->SetTwisted(true);
    b->PointsModified();
    b->EnsurePoints();
    EXPECT_NEAR(b->Boxes()[0].center().x(), 300, 1e-3);
    EXPECT_NEAR(b->Boxes()[0].width(), 20, 1e-3);
    EXPECT_EQ(b->FindPoint(300, 75), 0);
    // Elliptical: the radius in X units, 2 x 2 / 0.1 = 40 px wide.
    b->SetElliptical(true);
    b->Calculate();
    b->EnsurePoints();
    EXPECT_NEAR(b->Boxes()[0].width(), 40, 1e-3);
    EXPECT_NEAR(b->Boxes()[0].height(), 20, 1e-3);
    // One Y value: no Y extent to scale by, k = 1.
    b->SetElliptical(false);
    Y->SetValue(1, 5);
    R->SetValue(1, 0);
    R->SetValue(0, 0);
    b->Calculate();
    EXPECT_EQ(b->Extent().left(), 10);
    EXPECT_EQ(b->Extent().right(), 30);
}

TEST(ArrowAngleTest, ClockwiseFromTheRightInPixels) {
    struct Case {
        double Dx, Dy, Degrees;
    };
    // atan2(dy, dx) of the pixel direction in degrees, 360 added below 0 (Python math.atan2).
    const Case cases[] = {
        {1, 0, 0},    {0, 1, 90}, {-1, 0, 180}, {0, -1, 270}, {3, -4, 306.8698976458},
        {-2, 2, 135}, {0, 0, 0}};
    for (const Case& c : cases)
        EXPECT_NEAR(ArrowAngle(QPointF(5, 5), QPointF(5 + c.Dx, 5 + c.Dy)), c.Degrees, 1e-9)
            << c.Dx << " " << c.Dy;
}

TEST_F(BarsRecordsTest, ArrowsSpanStartsAndTipsAndAZeroArrowDrawsNothing) {
    AX->SetAxisGeometry(0, 100, 400);
    AY->SetAxisGeometry(0, 0, 100);
    AX->SetStartStop(-10, 10);
    AY->SetStartStop(-10, 10);
    X->AddRange(std::vector<double>{0, 1, 2});
    Y->AddRange(std::vector<double>{0, 1, 2});
    R->AddRange(std::vector<double>{3, 0, -5});
    auto* dy = Named(new TVxDoubleVector(&Form), "DY");
    dy->AddRange(std::vector<double>{-4, 0, 1});
    auto* a = Named(new TVxArrows(&Form), "Arr");
    a->SetXAxis(AX);
    a->SetYAxis(AY);
    a->SetXData(X);
    a->SetYData(Y);
    a->SetDeltaX(R);
    a->SetDeltaY(dy);
    a->Calculate();
    EXPECT_EQ(a->Extent(), QRectF(QPointF(-3, -4), QPointF(3, 3)));
    a->EnsurePoints();
    ASSERT_EQ(a->Tips().size(), 3u);
    EXPECT_EQ(a->Starts()[1], a->Tips()[1]);
    EXPECT_NEAR(a->Tips()[0].x(), 200 + 3 * 20, 1e-3);
    EXPECT_NEAR(a->Tips()[0].y(), 50 + 4 * 5, 1e-3);

    // Drawn with the series' line, which its record keeps, and the head of the arrow
    // settings: a reloaded series draws the same pens.
    a->Line()->SetColor(VxColor(0xFF2040C0));
    a->Line()->SetWidth(3);
    a->Arrow()->SetPointLength(9);
    const auto pens = [](TVxArrows& Series) {
        TVxRecordingSurface surface;
        Series.PaintGr(surface);
        std::vector<TVxPen> drawn;
        for (const TVxDrawRecord& r : surface.Records())
            if (r.Pen)
                drawn.push_back(*r.Pen);
        return drawn;
    };
    const std::vector<TVxPen> drawn = pens(*a);
    ASSERT_EQ(drawn.size(), 2u); // the zero arrow draws nothing
    for (const TVxPen& pen : drawn) {
        EXPECT_EQ(pen.Color, VxColor(0xFF2040C0));
        EXPECT_EQ(pen.Width, 3);
        ASSERT_TRUE(pen.CustomEndCap);
        EXPECT_EQ(pen.CustomEndCap->PointLength, 9);
    }
    auto* read = Named(new TVxArrows(&Form), "Read");
    ASSERT_TRUE(ReadBytes(*read, WriteBytes(*a)));
    read->SetXAxis(AX);
    read->SetYAxis(AY);
    read->Calculate();
    const std::vector<TVxPen> reread = pens(*read);
    ASSERT_EQ(reread.size(), 2u);
    EXPECT_EQ(reread[0].Color, VxColor(0xFF2040C0));
    EXPECT_EQ(reread[0].Width, 3);
}

} // namespace
