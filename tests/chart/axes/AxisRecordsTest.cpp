// The saved axis record: byte layout against records packed by hand, old layouts, round
// trips through the four containers, the ini and XML shapes, references in any loading
// order, and hostile input.

#include "axes/Axis.h"
#include "axes/AxisLook.h"
#include "persistence/IniFile.h"
#include "persistence/PendingReferences.h"
#include "persistence/XmlCodec.h"
#include "styles/ArrowSettings.h"
#include "undo/UndoStack.h"
#include "util/Application.h"
#include "util/Exceptions.h"
#include "vectors/DataSource.h"

#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <bit>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <sstream>

namespace {

QByteArray Hex(const char* Text) {
    return QByteArray::fromHex(QByteArray(Text).replace(' ', ""));
}

// From axis_record_reference.py: an axis "RecForm.Slave" with rubrics, a zoom history and
// the three extensions, every field away from its default, in pieces.
constexpr const char* Prefix =
    "0D 00 00 00 52 65 63 46 6F 72 6D 2E 53 6C 61 76 65 00 03 00 00 00 74 69 "
    "70 00 01 01 07 00 00 00 FD FF FF FF 00 21 00 00 00 FA 00 00 00 00 00 00 "
    "40 00 00 40 40 00 00 00 3F 00 00 40 41 00 00 80 40 30 20 10 FF 60 50 40 "
    "FF 50 60 70 80 07 00 00 00 54 65 6D 70 C2 B0 43 00 01 00 66 55 44 FF 00 "
    "00 C0 3F 00 00 20 40 10 00 00 00 4C 69 62 65 72 61 74 69 6F 6E 20 53 65 "
    "72 69 66 0B 00 00 00 02 01 00 00 66 55 44 FF 00 00 D3 D3 D3 FF B0 B0 B0 "
    "FF 80 80 80 FF 00 00 B4 42 00 00 00 3F 00 00 00 3F 00 00 00 3F 00 01 00 "
    "00 30 41 00 02 00 00 00 00 00 00 04 40 01 01 00 44 33 22 FF 00 00 34 42 "
    "00 00 00 00 00 00 14 40 00 00 00 00 00 00 F0 3F 02 00 00 00 00 00 00 00 "
    "00 88 C3 40 2D 43 1C EB E2 36 1A 3F 00 00 00 00 00 00 00 00 40 00 00 00 "
    "00 00 00 F0 3F 00 00 00 00 00 00 D0 3F 0B 00 00 00 44 65 6A 61 56 75 20 "
    "53 61 6E 73 09 00 00 00 05 01 00 00 44 33 22 FF 00 00 D3 D3 D3 FF B0 B0 "
    "B0 FF 80 80 80 FF 00 00 B4 42 00 00 00 3F 00 00 00 3F 00 00 00 3F 00 01 "
    "00 00 10 41 00 00 00 00 00 00 00 E0 3F 00 00 00 00 00 40 9F 40 05 02 01 "
    "00 03 00 00 00 01 00 00 00 61 03 00 00 00 62 C3 A4 01 00 00 00 63 03 00 "
    "00 00 4D 4D 4D 09 00 00 00 4D 4D 4D 4D 20 79 79 79 79 02 00 00 00 64 64 "
    "05 00 00 00 64 64 20 68 68 05 00 00 00 68 68 3A 6D 6D 08 00 00 00 68 68 "
    "3A 6D 6D 3A 73 73 06 00 00 00 73 73 2E 7A 7A 7A 01 0E 00 00 00 52 65 63 "
    "46 6F 72 6D 2E 4D 61 73 74 65 72 00 00 00 00 00 00 08 40 00 00 00 00 00 "
    "00 00 40 01 00 00 00 41 00 00 C0 40 00 00 80 40 00 00 80 3F 00 00 00 40 "
    "00 00 30 41 ";
constexpr const char* Zoom =
    "01 00 00 00 00 80 00 00 00 03 00 00 00 00 03 00 00 00 00 00 00 00 00 00 "
    "E0 3F 00 00 00 00 00 00 F0 3F 00 00 00 00 00 00 00 40 00 00 00 00 00 00 "
    "80 00 00 00 03 00 00 00 00 03 00 00 00 00 00 00 00 00 40 9F 40 00 00 00 "
    "00 00 40 8F 40 00 00 00 00 00 40 7F 40 00 00 01 00 00 00 ";
constexpr const char* Ext60 =
    "01 00 00 C0 3F 00 00 00 00 00 00 00 40 00 00 00 00 00 00 F0 3F 00 00 00 "
    "00 00 00 E0 3F 00 00 00 00 00 00 F0 3F 00 00 00 00 00 00 E0 3F 00 00 00 "
    "00 00 00 D0 3F 00 00 00 00 00 00 E0 3F 00 00 00 00 00 00 D0 3F 9A 99 99 "
    "99 99 99 A9 3F ";
constexpr const char* Ext61 = "01 01 ";
constexpr const char* Ext62 = "01 00 00 00 00 00 00 E8 3F 00 00 00 00 00 70 97 40 ";
constexpr const char* ZoomTwoAndThree =
    "01 00 00 00 00 80 00 00 00 02 00 00 00 00 02 00 00 00 00 00 00 00 00 00 "
    "E0 3F 00 00 00 00 00 00 F0 3F 00 00 00 00 00 00 80 00 00 00 03 00 00 00 "
    "00 03 00 00 00 00 00 00 00 00 40 9F 40 00 00 00 00 00 40 8F 40 00 00 00 "
    "00 00 40 7F 40 00 00 00 00 00 00 ";
constexpr int HintCountOffset = 18;
constexpr int PositionOffset = 27;
constexpr int RubricCountOffset = 337;
constexpr int ZoomIndexOffset = 571;
constexpr int EndMarkerOffset = 671;

QByteArray FullRecord() {
    return Hex(Prefix) + Hex(Zoom) + Hex(Ext60) + Hex(Ext61) + Hex(Ext62) + Hex("00");
}

// Reads Bytes into Axis; true when the whole record was taken.
bool ReadBytes(TVxAxis& Axis, QByteArray Bytes, bool WithRange = true) {
    QBuffer buffer(&Bytes);
    buffer.open(QIODevice::ReadOnly);
    Axis.ReadFrom(buffer, WithRange);
    return buffer.atEnd();
}

QByteArray WriteBytes(const TVxAxis& Axis) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    Axis.WriteTo(buffer);
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

bool SameBits(double a, double b) {
    return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b);
}

class AxisRecordsTest : public ::testing::Test {
protected:
    AxisRecordsTest() {
        Form.setObjectName("RecForm");
        TVxApplication::Instance().RegisterForm(&Form);
        Master = new TVxAxis(&Form);
        Master->setObjectName("Master");
        Master->SetPosition(TVxAxisPosition::Right);
    }
    ~AxisRecordsTest() override { TVxApplication::Instance().Unregister(&Form); }

    TVxAxis* NewAxis(const char* Name) {
        auto* axis = new TVxAxis(&Form);
        axis->setObjectName(Name);
        return axis;
    }

    QObject Form;
    TVxAxis* Master;
};

// ---------------------------------------------------------------------------------------------
// Byte layout

TEST_F(AxisRecordsTest, PackedRecordReadsIntoEveryFieldAndWritesBackTheSameBytes) {
    TVxAxis* axis = NewAxis("Slave");
    ASSERT_TRUE(ReadBytes(*axis, FullRecord()));
    const TVxAxisLook& look = AxisLook(*axis);
    EXPECT_FALSE(look.Visible());
    EXPECT_EQ(axis->Hint(), "tip");
    EXPECT_FALSE(axis->ParentShowHint());
    EXPECT_TRUE(axis->ShowHint());
    EXPECT_EQ(axis->Position(), TVxAxisPosition::Left);
    EXPECT_EQ(look.Top(), 7);
    EXPECT_EQ(look.Left(), -3);
    EXPECT_FALSE(look.AutoSize());
    EXPECT_EQ(axis->Width(), 33);
    EXPECT_EQ(axis->Height(), 250);
    EXPECT_EQ(look.TickThicknes(), 0.5f);
    EXPECT_EQ(look.TickColor(), TVxColor(0x80706050));
    EXPECT_EQ(look.Caption(), QString::fromUtf8("Temp\u00b0C"));
    EXPECT_TRUE(look.CaptionHorizontalOnVerticalAxis());
    EXPECT_EQ(look.CaptionAlignment(), TVxCaptionAlignment::Left);
    EXPECT_EQ(look.CaptionFont()->Name(), "Liberation Serif");
    EXPECT_EQ(look.CaptionFont()->GetSize(), 11.0f);
    EXPECT_EQ(axis->Scaling(), TVxAxisScaling::LogEE);
    EXPECT_EQ(axis->LogToNormalScalingLevel(), 2.5);
    EXPECT_TRUE(axis->Twisted());
    EXPECT_FALSE(look.NumbersVisible());
    EXPECT_EQ(look.RubricsAngle(), 45.0f);
    EXPECT_EQ(axis->ExtraDigits(), 2);
    EXPECT_FALSE(axis->AutoTickParts());
    EXPECT_EQ(axis->MajorTickPart(), 1.0);
    EXPECT_EQ(look.Font()->Name(), "DejaVu Sans");
    EXPECT_EQ(axis->Start(), 0.5);
    EXPECT_EQ(axis->Stop(), 2000.0);
    EXPECT_EQ(axis->EndRounding(), TVxAxisEndRounding::RndNothing);
    EXPECT_EQ(axis->StartEnd(), TVxAxisEnd::Fixed);
    EXPECT_EQ(axis->StopEnd(), TVxAxisEnd::FirstSet);
    EXPECT_EQ(axis->Rubrics(), QStringList({"a", QString::fromUtf8("b\u00e4"), "c"}));
    EXPECT_EQ(axis->DayAndHourFormat(), "dd hh");
    EXPECT_EQ(axis->MilliSecondFormat(), "ss.zzz");
    EXPECT_TRUE(axis->IsSlaveAxis());
    EXPECT_EQ(axis->MasterAxis(), Master);
    EXPECT_EQ(axis->SlaveOffset(), 3.0);
    EXPECT_EQ(axis->SlaveSlope(), 2.0);
    EXPECT_TRUE(look.ArrowPoint()->Visible());
    EXPECT_EQ(look.ArrowPoint()->InnerLength(), 6.0f);
    EXPECT_EQ(look.DistanceAxisExtraExponent(), 11.0f);
    ASSERT_EQ(axis->ZoomBufferSize(), 3);
    EXPECT_EQ(axis->ZoomStage(), 1);
    EXPECT_EQ(axis->ZoomHistory().Stops(), std::vector<double>({2000, 1000, 500}));
    EXPECT_EQ(axis->LabelDistanceFactor(), 1.5f);
    EXPECT_EQ(axis->Scale().MinorParts[2], 0.05);
    EXPECT_EQ(axis->MajorGridMode(), TVxMajorGridMode::AtMajorTick);
    EXPECT_EQ(axis->ValuesStart(), 0.75);
    EXPECT_EQ(axis->ValuesStop(), 1500.0);
    EXPECT_FALSE(axis->RedoRange());

    EXPECT_EQ(WriteBytes(*axis).toHex(' '), FullRecord().toHex(' '));
}

TEST_F(AxisRecordsTest, OldLayoutsEndWithZeroWhereTheNextExtensionWouldBe) {
    const struct {
        const char* Name;
        QByteArray Bytes;
        bool HasParts, HasGridMode, HasValues;
    } cases[] = {
        {"after the zoom history", Hex(Prefix) + Hex(Zoom) + Hex("00"), false, false, false},
        {"after the tick parts", Hex(Prefix) + Hex(Zoom) + Hex(Ext60) + Hex("00"), true, false,
         false},
        {"after the grid mode", Hex(Prefix) + Hex(Zoom) + Hex(Ext60) + Hex(Ext61) + Hex("00"), true,
         true, false},
        {"complete", FullRecord(), true, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TVxAxis* axis = NewAxis("Slave");
        EXPECT_TRUE(ReadBytes(*axis, c.Bytes));
        EXPECT_EQ(axis->LabelDistanceFactor(), c.HasParts ? 1.5f : 1.0f);
        EXPECT_EQ(axis->Scale().LabelParts[0], c.HasParts ? 2.0 : 1.0);
        EXPECT_EQ(axis->MajorGridMode(),
                  c.HasGridMode ? TVxMajorGridMode::AtMajorTick : TVxMajorGridMode::AtLabel);
        EXPECT_EQ(axis->ValuesStart(), c.HasValues ? 0.75 : std::numeric_limits<double>::max());
        EXPECT_EQ(axis->ZoomBufferSize(), 3);
        delete axis;
    }
}

TEST_F(AxisRecordsTest, WithoutRangeTheRangeZoomHistoryAndDataRangeStay) {
    TVxAxis* axis = NewAxis("Slave");
    axis->ZoomIn(2, 4);
    ASSERT_TRUE(ReadBytes(*axis, FullRecord(), false));
    EXPECT_EQ(axis->Start(), 2.0);
    EXPECT_EQ(axis->Stop(), 4.0);
    EXPECT_EQ(axis->ZoomHistory().Starts(), std::vector<double>({0, 2}));
    EXPECT_EQ(axis->ValuesStart(), std::numeric_limits<double>::max());
    EXPECT_EQ(axis->Hint(), "tip"); // the rest is read
}

// ---------------------------------------------------------------------------------------------
// Hostile input

TEST_F(AxisRecordsTest, EveryCutRaisesTheStreamErrorNamingTheRecord) {
    const QByteArray record = FullRecord();
    for (int cut : {0, 3, HintCountOffset + 2, PositionOffset, 120, RubricCountOffset + 1, 484,
                    ZoomIndexOffset, 600, EndMarkerOffset}) {
        SCOPED_TRACE(cut);
        TVxAxis axis;
        const std::string error = ErrorOf([&] { ReadBytes(axis, record.left(cut)); });
        EXPECT_NE(error.find("TVxAxis record"), std::string::npos) << error;
        EXPECT_THROW(ReadBytes(axis, record.left(cut)), EVxStreamError);
    }
}

TEST_F(AxisRecordsTest, EachForgedFieldRaisesAnErrorNamingTheRecord) {
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
        {"position 255", patched(PositionOffset, "FF"), "enumeration value 255"},
        {"rubric count 2^31-1", patched(RubricCountOffset, "FF FF FF 7F"), "count"},
        {"hint longer than the bytes left", patched(HintCountOffset, "00 00 01 00"),
         "Stream read error"},
        {"zoom index 7 of 3", patched(ZoomIndexOffset, "07 00 00 00"), "zoom index 7"},
        {"zoom lists of 2 and 3",
         Hex(Prefix) + Hex(ZoomTwoAndThree) + Hex(Ext60) + Hex(Ext61) + Hex(Ext62) + Hex("00"),
         "lists of 2 and 3 entries"},
        {"end marker 1", patched(EndMarkerOffset, "01"), "written by a newer version"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TVxAxis* axis = NewAxis("Slave");
        const std::string error = ErrorOf([&] { ReadBytes(*axis, c.Bytes); });
        EXPECT_NE(error.find("TVxAxis record"), std::string::npos) << error;
        EXPECT_NE(error.find(c.Reason), std::string::npos) << error;
        EXPECT_FALSE(axis->CanZoomBack() && axis->ZoomStage() >= axis->ZoomBufferSize());
        delete axis;
    }
}

TEST_F(AxisRecordsTest, AForgedZoomHistoryIsAnErrorInXmlAndIni) {
    TVxAxis* source = NewAxis("Source");
    source->ZoomIn(1, 2);
    source->ZoomIn(1.5, 1.8);
    pugi::xml_document doc;
    source->WriteTo(doc);
    doc.child("TVxAxis").child("Zoom").attribute("Idx").set_value(7);
    TVxAxis target;
    EXPECT_NE(ErrorOf([&] { target.ReadFrom(doc.child("TVxAxis"), true); }).find("zoom index 7"),
              std::string::npos);
    EXPECT_FALSE(target.CanZoomBack());

    TVxIniFile ini;
    source->WriteTo(ini, "Axis");
    ini.WriteString("Axis.Zoom.Stop", "Values", "1 2");
    EXPECT_NE(ErrorOf([&] { target.ReadFrom(ini, "Axis", true); }).find("lists of 3 and 2"),
              std::string::npos);
    EXPECT_FALSE(target.CanZoomBack());
}

TEST_F(AxisRecordsTest, IniRubricCountsBeyondTheSectionAreErrorsAndMissingTextsAreEmpty) {
    TVxIniFile ini;
    ini.LoadFromText("[A]\nRubrics.FromDatabase=0\nRubrics.Count=2147483647\nCaptions[0]=x\n"
                     "[B]\nRubrics.FromDatabase=0\nRubrics.Count=3\nCaptions[1]=y\n");
    TVxAxis axis;
    EXPECT_NE(ErrorOf([&] { axis.ReadFrom(ini, "A", true); }).find("Rubrics.Count 2147483647"),
              std::string::npos);
    axis.SetRubricTexts({"old0"});
    axis.ReadFrom(ini, "B", true);
    // Captions[0] is missing: its default is the current text; Captions[2] lies beyond the
    // current list: "".
    EXPECT_EQ(axis.Rubrics(), QStringList({"old0", "y", ""}));
}

// ---------------------------------------------------------------------------------------------
// Round trips

enum class TContainer { Stream, File, Xml, Ini };

void Transfer(const TVxAxis& Source, TVxAxis& Target, TContainer Container, bool WithRange) {
    switch (Container) {
    case TContainer::Stream: {
        QByteArray bytes = WriteBytes(Source);
        ASSERT_TRUE(ReadBytes(Target, bytes, WithRange));
        break;
    }
    case TContainer::File: {
        QTemporaryDir dir;
        const QString name = dir.filePath("axis.bin");
        Source.WriteTo(name);
        Target.ReadFrom(name, WithRange);
        break;
    }
    case TContainer::Xml: {
        pugi::xml_document doc;
        Source.WriteTo(doc);
        pugi::xml_document loaded;
        LoadXmlDocument(loaded, SaveXmlDocument(doc));
        Target.ReadFrom(loaded.child("TVxAxis"), WithRange);
        break;
    }
    case TContainer::Ini: {
        TVxIniFile ini;
        Source.WriteTo(ini, "Axis");
        TVxIniFile loaded;
        loaded.LoadFromText(ini.SaveToText());
        Target.ReadFrom(loaded, "Axis", WithRange);
        break;
    }
    }
}

void ExpectSameZoom(const std::vector<double>& a, const std::vector<double>& b) {
    ASSERT_EQ(a.size(), b.size());
    for (size_t k = 0; k < a.size(); ++k)
        EXPECT_TRUE(SameBits(a[k], b[k])) << k << ": " << a[k] << " vs " << b[k];
}

// The saved state of two axes agrees (range state only WithRange).
void ExpectSameAxis(TVxAxis& a, TVxAxis& b, bool WithRange) {
    const TVxAxisLook& la = AxisLook(a);
    const TVxAxisLook& lb = AxisLook(b);
    EXPECT_EQ(la.Caption(), lb.Caption());
    EXPECT_EQ(a.Hint(), b.Hint());
    EXPECT_EQ(a.Rubrics(), b.Rubrics());
    EXPECT_EQ(a.ShortMonthFormat(), b.ShortMonthFormat());
    EXPECT_EQ(a.Position(), b.Position());
    EXPECT_EQ(a.Scaling(), b.Scaling());
    EXPECT_EQ(la.Font()->Name(), lb.Font()->Name());
    EXPECT_EQ(la.Font()->GetSize(), lb.Font()->GetSize());
    EXPECT_EQ(la.CaptionFont()->FillColor(), lb.CaptionFont()->FillColor());
    EXPECT_EQ(la.TickLength(), lb.TickLength());
    EXPECT_EQ(la.ArrowPoint()->PointHeight(), lb.ArrowPoint()->PointHeight());
    EXPECT_EQ(a.MasterAxis(), b.MasterAxis());
    EXPECT_EQ(a.IsSlaveAxis(), b.IsSlaveAxis());
    EXPECT_TRUE(SameBits(a.SlaveOffset(), b.SlaveOffset()));
    EXPECT_TRUE(SameBits(a.SlaveSlope(), b.SlaveSlope()));
    EXPECT_TRUE(SameBits(a.MovingSlitWidth(), b.MovingSlitWidth()));
    EXPECT_EQ(a.LabelPart(), b.LabelPart());
    EXPECT_EQ(a.Scale().MajorParts, b.Scale().MajorParts);
    EXPECT_EQ(a.MajorGridMode(), b.MajorGridMode());
    if (WithRange) {
        EXPECT_TRUE(SameBits(a.Start(), b.Start()));
        EXPECT_TRUE(SameBits(a.Stop(), b.Stop()));
        EXPECT_EQ(a.ZoomStage(), b.ZoomStage());
        ExpectSameZoom(a.ZoomHistory().Starts(), b.ZoomHistory().Starts());
        ExpectSameZoom(a.ZoomHistory().Stops(), b.ZoomHistory().Stops());
        EXPECT_TRUE(SameBits(a.ValuesStart(), b.ValuesStart()));
        EXPECT_TRUE(SameBits(a.ValuesStop(), b.ValuesStop()));
    }
}

QString Caption() {
    return QString::fromUtf8("A\rB\nC\tD @\\r end \u00e9\u4e2d");
}

TEST_F(AxisRecordsTest, RoundTripsThroughEveryContainerWithAndWithoutRange) {
    TVxAxis* source = NewAxis("Source");
    TVxAxisLook& look = AxisLook(*source);
    look.SetCaption(Caption());
    source->SetHint(Caption());
    source->SetPosition(TVxAxisPosition::Right);
    source->SetScaling(TVxAxisScaling::Log);
    source->SetMasterAxis(Master);
    source->SetSlaveOffset(std::numeric_limits<double>::denorm_min());
    source->SetSlaveSlope(1e308);
    source->SetMovingSlitWidth(-0.0);
    source->SetMovingSlitWidth(5e-324);
    source->SetAutoTickParts(false);
    source->SetLabelPart(0.3);
    source->SetCandidateParts(1, 3, 2, 1);
    source->SetMajorGridMode(TVxMajorGridMode::AtMajorTick);
    source->SetShortMonthFormat(Caption());
    look.Font()->SetName("DejaVu Sans Mono");
    look.Font()->SetSize(7.5f);
    look.CaptionFont()->SetFillColor(VxColor(0x11223344));
    look.SetTickLength(3);
    look.ArrowPoint()->SetPointHeight(9);
    source->SetStart(-0.0);
    source->SetStop(1e300);
    source->ZoomIn(-0.0, 1e308);
    source->ZoomIn(5e-324, 1);

    QStringList thousand;
    for (int k = 0; k < 1000; ++k)
        thousand.append(QString("r%1\r\n").arg(k));
    const QStringList rubricLists[] = {{}, thousand};

    for (TContainer container :
         {TContainer::Stream, TContainer::File, TContainer::Xml, TContainer::Ini})
        for (bool withRange : {true, false})
            for (const QStringList& rubrics : rubricLists) {
                SCOPED_TRACE(::testing::Message()
                             << "container " << int(container) << ", range " << withRange << ", "
                             << rubrics.size() << " rubrics");
                source->SetRubricTexts(rubrics);
                TVxAxis* target = NewAxis("Target");
                Transfer(*source, *target, container, withRange);
                ExpectSameAxis(*source, *target, withRange);
                if (!withRange) {
                    EXPECT_EQ(target->Start(), 0.0);
                    EXPECT_EQ(target->Stop(), 10.0);
                    EXPECT_FALSE(target->CanZoomBack());
                }
                delete target;
            }
}

TEST_F(AxisRecordsTest, NonFiniteZoomAndDataRangeValuesSurviveEveryContainer) {
    // Values no setter takes, as a hand-written element gives them.
    pugi::xml_document doc;
    LoadXmlDocument(doc, "<TVxAxis Name=\"x\"><Scaling><Ends ValuesStart=\"NAN\" "
                         "ValuesStop=\"-INF\"/></Scaling><Zoom Idx=\"2\">"
                         "<TVxDoubleVector><Values><Item>NAN</Item><Item>INF</Item>"
                         "<Item>-0</Item></Values></TVxDoubleVector>"
                         "<TVxDoubleVector><Values><Item>-INF</Item><Item>4.9e-324</Item>"
                         "<Item>1e308</Item></Values></TVxDoubleVector></Zoom></TVxAxis>");
    TVxAxis* source = NewAxis("Source");
    source->ReadFrom(doc.child("TVxAxis"), true);
    ASSERT_EQ(source->ZoomBufferSize(), 3);
    EXPECT_TRUE(std::isnan(source->ZoomHistory().Starts()[0]));
    EXPECT_TRUE(SameBits(source->ZoomHistory().Starts()[2], -0.0));
    EXPECT_TRUE(SameBits(source->ZoomHistory().Stops()[1], 4.9e-324));
    EXPECT_TRUE(std::isnan(source->ValuesStart()));
    for (TContainer container :
         {TContainer::Stream, TContainer::File, TContainer::Xml, TContainer::Ini}) {
        SCOPED_TRACE(int(container));
        TVxAxis* target = NewAxis("Target");
        Transfer(*source, *target, container, true);
        ExpectSameAxis(*source, *target, true);
        delete target;
    }
}

// ---------------------------------------------------------------------------------------------
// Shapes of the XML element and the ini section

TEST_F(AxisRecordsTest, IniKeysAndXmlElementsFollowTheirListsInOrder) {
    TVxAxis* axis = NewAxis("Shape");
    axis->SetRubricTexts({"a", "b", "c"});
    axis->ZoomIn(1, 2);
    TVxIniFile ini;
    axis->WriteTo(ini, "Axis");
    pugi::xml_document doc;
    axis->WriteTo(doc);

    QTemporaryDir dir;
    const QString iniName = dir.filePath("axis.ini");
    const QString xmlName = dir.filePath("axis.xml");
    {
        QFile f(iniName);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(ini.SaveToText());
    }
    SaveXmlFile(doc, xmlName);
    // Python's configparser and xml.etree list the keys and the element paths in file order.
    const QString script =
        "import configparser, sys, xml.etree.ElementTree as E\n"
        "c = configparser.RawConfigParser(strict=False, interpolation=None)\n"
        "c.optionxform = str\n"
        "c.read(sys.argv[1], encoding='utf-8')\n"
        "print(' '.join(c['Axis'].keys()))\n"
        "print(' '.join(sorted(s for s in c.sections())))\n"
        "r = E.parse(sys.argv[2]).getroot()\n"
        "def walk(e, p):\n"
        "    for ch in e:\n"
        "        if ch.tag in ('Font', 'Gradient', 'TVxDoubleVector', 'Item'): continue\n"
        "        print(p + ch.tag, ' '.join(ch.attrib.keys()))\n"
        "        walk(ch, p + ch.tag + '/')\n"
        "walk(r, '')\n"
        "print('Items', len(r.find('Rubrics/Captions').findall('Item')))\n";
    QProcess python;
    python.start("/usr/bin/python3", {"-c", script, iniName, xmlName});
    ASSERT_TRUE(python.waitForFinished(30000));
    const QStringList lines = QString::fromUtf8(python.readAllStandardOutput()).split('\n');
    ASSERT_GE(lines.size(), 16) << python.readAllStandardError().toStdString();

    const QString fontKeys = " %1.Name %1.Size %1.Style %1.DrawEffects %1.RenderingHint "
                             "%1.FillColor %1.Gradient.Visible %1.Gradient.Style "
                             "%1.Gradient.FirstColor %1.Gradient.MiddleColor "
                             "%1.Gradient.LastColor %1.Gradient.LinearAngle "
                             "%1.Gradient.LinearCenter %1.Gradient.RadialCenterX "
                             "%1.Gradient.RadialCenterY";
    const QString keys =
        "Name Visible Position Top Left AutoSize Width Height Hint ParentShowHint ShowHint "
        "AxisThicknes MajorTickThicknes TickThicknes MajorTickLength TickLength AxisColor "
        "MajorTickColor TickColor Caption Caption.Visible Caption.HorizontalOnVerticalAxis "
        "Caption.Alignment Caption.Color Caption.DistanceBefore Caption.DistanceAfter" +
        fontKeys.arg("Caption.Font") +
        " Scaling LogToNormalScalingLevel TicksPointToData Twisted Numbers.Visible "
        "Numbers.Color RubricsAngle MovingSlit.Width MovingSlit.Increment ExtraDigits "
        "MaxForExtraExponent MinForExtraExponent TickParts.Auto LabelDistanceFactor "
        "LabelParts.0 LabelParts.1 LabelParts.2 MajorParts.0 MajorParts.1 MajorParts.2 "
        "MinorParts.0 MinorParts.1 MinorParts.2 TickParts.Label TickParts.Major "
        "TickParts.Minor TickParts.MajorGridMode" +
        fontKeys.arg("Font") +
        " Ends.Start Ends.Stop Ends.ValuesStart Ends.ValuesStop Ends.Rounding Ends.StartEnd "
        "Ends.StopEnd Rubrics.FromDatabase Rubrics.Count Captions[0] Captions[1] Captions[2] "
        "DateTimeFormat.ShortMonth DateTimeFormat.LongMonth DateTimeFormat.Day "
        "DateTimeFormat.DayAndHour DateTimeFormat.Minute DateTimeFormat.Second "
        "DateTimeFormat.MilliSecond SlaveAxis MasterAxis Slave.Offset Slave.Slope "
        "Arrow.Visible Arrow.PointLength Arrow.InnerLength Arrow.PointHeight "
        "Distance.ValuesAxis Distance.AxisLabels Distance.AxisExtraExponent Zoom Zoom.Idx";
    EXPECT_EQ(lines[0], keys);
    EXPECT_EQ(lines[1], "Axis Axis.Zoom.Start Axis.Zoom.Stop");
    const QStringList elements = {
        "Properties Visible Position Top Left AutoSize Width Height Hint ParentShowHint "
        "ShowHint AxisThicknes MajorTickThicknes TickThicknes MajorTickLength TickLength "
        "AxisColor MajorTickColor TickColor",
        "Caption Text",
        "Caption/Properties Visible HorizontalOnVerticalAxis Alignment Color DistanceBefore "
        "DistanceAfter",
        "Scaling Type LogToNormalScalingLevel TicksPointToData Twisted NumbersVisible "
        "NumbersColor RubricsAngle MovingSlitWidth MovingSlitIncrement ExtraDigits "
        "MaxForExtraExponent MinForExtraExponent",
        "Scaling/TickParts LabelDistanceFactor LabelParts.0 LabelParts.1 LabelParts.2 "
        "MajorParts.0 MajorParts.1 MajorParts.2 MinorParts.0 MinorParts.1 MinorParts.2 Auto "
        "MajorGridMode",
        "Scaling/Ends Start Stop ValuesStart ValuesStop Rounding StartEnd StopEnd",
        "Rubrics ",
        "Rubrics/Captions Count",
        "DateTimeFormat ShortMonth LongMonth Day DayAndHour Minute Second MilliSecond",
        "SlaveAxis IsSlave MasterAxis Offset Slope",
        "Arrow Visible PointLength InnerLength PointHeight",
        "Distance ValuesAxis AxisLabels AxisExtraExponent",
        "Zoom Idx",
        "Items 3",
    };
    for (int k = 0; k < elements.size(); ++k)
        EXPECT_EQ(lines[2 + k], elements[k]);
}

TEST_F(AxisRecordsTest, ManualTickPartsAppearInXmlOnlyWithoutAutoTickParts) {
    TVxAxis* axis = NewAxis("Parts");
    for (bool automatic : {true, false}) {
        axis->SetAutoTickParts(automatic);
        pugi::xml_document doc;
        axis->WriteTo(doc);
        const pugi::xml_node parts = doc.child("TVxAxis").child("Scaling").child("TickParts");
        for (const char* name : {"Label", "Major", "Minor"})
            EXPECT_EQ(bool(parts.attribute(name)), !automatic) << name;
    }
}

TEST_F(AxisRecordsTest, MissingKeysAttributesAndFontsLeaveTheValuesAsTheyWere) {
    TVxAxis axis;
    TVxAxisLook& look = AxisLook(axis);
    axis.SetHint("kept");
    look.Font()->SetName("DejaVu Serif");
    axis.SetRubricTexts({"r"});
    axis.SetStart(3);
    TVxIniFile ini;
    ini.LoadFromText("[A]\nTwisted=1\n");
    axis.ReadFrom(ini, "A", true);
    pugi::xml_document doc;
    LoadXmlDocument(doc, "<TVxAxis><Scaling Twisted=\"False\"/></TVxAxis>");
    EXPECT_TRUE(axis.Twisted());
    axis.ReadFrom(doc.child("TVxAxis"), true);
    EXPECT_FALSE(axis.Twisted());
    EXPECT_EQ(axis.Hint(), "kept");
    EXPECT_EQ(look.Font()->Name(), "DejaVu Serif");
    EXPECT_EQ(axis.Rubrics(), QStringList({"r"}));
    EXPECT_EQ(axis.Start(), 3.0);
}

// ---------------------------------------------------------------------------------------------
// References

TEST_F(AxisRecordsTest, ASlaveReadBeforeItsMasterFindsItWhenTheLoaderResolves) {
    TVxAxis* source = NewAxis("Source");
    TVxAxis* late = NewAxis("Late");
    late->SetPosition(TVxAxisPosition::Left);
    source->SetPosition(TVxAxisPosition::Left);
    source->SetMasterAxis(late);
    ASSERT_TRUE(source->IsSlaveAxis());
    TVxIniFile ini;
    source->WriteTo(ini, "Slave");
    delete late;

    TVxAxis* slave = NewAxis("Slave");
    {
        TVxPendingReferences loading;
        slave->ReadFrom(ini, "Slave", true);
        EXPECT_EQ(slave->MasterAxis(), nullptr); // nothing outside the axis is touched yet
        EXPECT_EQ(loading.Count(), 1);
        late = NewAxis("Late");
        late->SetPosition(TVxAxisPosition::Left);
        loading.Resolve();
    }
    EXPECT_EQ(slave->MasterAxis(), late);
    EXPECT_TRUE(slave->IsSlaveAxis());

    // Read alone, the reference resolves at the end of the read; a component of another
    // kind or orientation counts as none.
    TVxAxis* other = NewAxis("Other");
    other->ReadFrom(ini, "Slave", true);
    EXPECT_EQ(other->MasterAxis(), late);
    ini.WriteString("Slave", "MasterAxis", "RecForm");
    other->ReadFrom(ini, "Slave", true);
    EXPECT_EQ(other->MasterAxis(), nullptr);
    EXPECT_FALSE(other->IsSlaveAxis());
}

TEST_F(AxisRecordsTest, DataSourceBindingIsStoredInsteadOfTheTexts) {
    auto* source = new TVxDataSource(&Form);
    source->setObjectName("Table");
    TVxAxis* axis = NewAxis("Bound");
    axis->SetDataSource(source);
    axis->SetRubricsField("Name");
    for (TContainer container :
         {TContainer::Stream, TContainer::File, TContainer::Xml, TContainer::Ini}) {
        SCOPED_TRACE(int(container));
        TVxAxis* target = NewAxis("Target");
        target->SetRubricTexts({"x"});
        Transfer(*axis, *target, container, true);
        EXPECT_TRUE(target->RubricsFromDataSource());
        EXPECT_EQ(target->DataSource(), source);
        EXPECT_EQ(target->RubricsField(), "Name");
        delete target;
    }
}

// ---------------------------------------------------------------------------------------------
// Form-resource texts

TEST_F(AxisRecordsTest, AStartAndAStopAreInvariantTextsThatRecordNoUndoStep) {
    TVxUndoStack undo;
    TVxAxis axis;
    axis.SetUndoStack(&undo);
    const struct {
        QVariant Value;
        double Expected;
    } cases[] = {
        {QString("1e-3"), 0.001}, {2.5, 2.5},        {QString("-6"), -6.0}, {QString("abc"), 0.0},
        {QString("INF"), 0.0},    {QVariant(), 0.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Value.toString().toStdString());
        axis.setProperty("AStart", c.Value);
        EXPECT_EQ(axis.Start(), c.Expected);
        axis.setProperty("AStop", c.Value);
        EXPECT_EQ(axis.Stop(), c.Expected);
    }
    EXPECT_EQ(undo.UndoCount(), 0);
    axis.SetStart(-6);
    EXPECT_EQ(axis.property("AStart").toString(), "-6");
    EXPECT_EQ(axis.AStop().toString(), "0");
}

} // namespace
