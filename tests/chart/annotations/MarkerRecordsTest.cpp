// Marker records: round trips of every marker class in the binary stream, XML and ini,
// records written before the later groups existed, the two "Line" elements of XML, and
// hostile values.

#include "MarkerTestSupport.h"
#include "persistence/XmlCodec.h"
#include "styles/StyleRecords.h"
#include "util/ComponentPaths.h"
#include "util/Exceptions.h"

#include <QBuffer>
#include <QMetaProperty>
#include <functional>
#include <map>
#include <memory>

namespace {

class MarkerRecordsTest : public MarkerFixture {
protected:
    /// Every common value away from its default.
    void Configure(TVxMovable& M) {
        M.SetHint("tip");
        M.SetShowHint(true);
        M.SetParentShowHint(false);
        M.SetClipToData(false);
        M.SetMouseDrag(false);
        M.SetStartMovingKeys(8 | 4);
        M.SetForeColor(VxColor(0xFF112233));
        M.Line()->SetWidth(3);
        M.Line()->SetColor(VxColor(0xFF00AA00));
        M.Font()->SetSize(12);
        M.SetCaption("Line one\rLine two");
        M.SetCaptionVisible(!M.CaptionVisible());
        M.SetCaptionVertical(true);
        M.SetCaptionDeltaX(-7);
        M.SetCaptionDeltaY(9);
        M.SetCaptionBackColor(VxColor(0xC0FFFF00));
        M.CaptionBackGradient()->SetVisible(true);
        M.CaptionBackGradient()->SetFirstColor(VxColor(0xFF0000FF));
        M.CaptionBackFrame()->SetVisible(true);
        M.CaptionBackFrame()->SetColor(VxColor(0xFFAA0000));
        M.CaptionBackFrame()->SetWidth(2);
        M.SetCaptionBackRaised(true);
        M.SetCaptionBackLowered(true);
        M.SetCaptionBackShadow(true);
        M.SetCaptionBackSpaceToBorder(12.5f);
        M.SetCaptionBackRounding(3.25f);
        M.SetSnapToSeriesValues(true);
        M.SetSnappedSeries(Series);
        M.SetSnappedIdx(1);
    }

    /// The stored values of an object and its owned style objects, by property name.
    static std::map<QString, QVariant> Snapshot(const QObject& Object, const QString& Prefix = {}) {
        std::map<QString, QVariant> values;
        const QMetaObject* meta = Object.metaObject();
        for (int i = 0; i < meta->propertyCount(); ++i) {
            const QMetaProperty p = meta->property(i);
            if (!p.isStored() || QByteArray(p.name()) == "objectName")
                continue;
            const QVariant v = p.read(&Object);
            const QString name = Prefix + p.name();
            if (p.metaType().flags().testFlag(QMetaType::PointerToQObject)) {
                const QObject* child = v.value<QObject*>();
                if (child && child->parent() == &Object)
                    values.merge(Snapshot(*child, name + "."));
                else
                    values[name] = QVariant::fromValue(static_cast<const void*>(child));
            } else {
                values[name] = v;
            }
        }
        return values;
    }

    template <class TMarker> TMarker* Fresh(const QString& Name) {
        auto* m = new TMarker(&Form);
        m->setObjectName(Name);
        m->SetHost(Graph);
        return m;
    }

    static QByteArray Binary(const TVxMovable& M) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        TVxStreamWriter out(buffer);
        M.WriteToStream(out);
        return buffer.data();
    }

    static void ReadBinary(TVxMovable& M, const QByteArray& Bytes) {
        QBuffer buffer;
        buffer.setData(Bytes);
        buffer.open(QIODevice::ReadOnly);
        TVxStreamReader in(buffer);
        M.ReadFromStream(in);
    }

    void SetUp() override {
        MarkerFixture::SetUp();
        Series = MakeSeries({1, 2, 3}, {10, 20, 30}, "S");
        Layout();
    }

    TVxSeries* Series = nullptr;
};

using TCopy = void (*)(const TVxMovable&, TVxMovable&);

const std::vector<std::pair<const char*, TCopy>>& Containers() {
    static const std::vector<std::pair<const char*, TCopy>> containers{
        {"stream",
         [](const TVxMovable& From, TVxMovable& To) {
             QBuffer buffer;
             buffer.open(QIODevice::WriteOnly);
             TVxStreamWriter out(buffer);
             From.WriteToStream(out);
             QBuffer in(&buffer.buffer());
             in.open(QIODevice::ReadOnly);
             TVxStreamReader reader(in);
             To.ReadFromStream(reader);
             EXPECT_TRUE(in.atEnd());
         }},
        {"xml",
         [](const TVxMovable& From, TVxMovable& To) {
             pugi::xml_document doc;
             From.WriteToXml(doc);
             pugi::xml_document read;
             LoadXmlDocument(read, SaveXmlDocument(doc));
             To.ReadFromXml(read.first_child());
         }},
        {"ini",
         [](const TVxMovable& From, TVxMovable& To) {
             TVxIniFile ini;
             From.WriteToIni(ini, "Marker");
             TVxIniFile read;
             read.LoadFromText(ini.SaveToText());
             To.ReadFromIni(read, "Marker");
         }},
    };
    return containers;
}

} // namespace

TEST_F(MarkerRecordsTest, LineMarkersRoundTripInEveryContainer) {
    auto* h = Fresh<TVxHorizontalMarker>("H");
    Configure(*h);
    h->SetCaptionPosition(TVxContentAlignment::MiddleLeft);
    h->SetYAxis(YAxis());
    h->SetY(12.375);
    auto* v = Fresh<TVxVerticalMarker>("V");
    Configure(*v);
    v->SetCaptionPosition(TVxContentAlignment::BottomCenter);
    v->SetXAxis(XAxis());
    v->SetX(-2.5e-7);
    for (TVxMovable* from : {static_cast<TVxMovable*>(h), static_cast<TVxMovable*>(v)}) {
        from->UpdatePosition();
        const std::map<QString, QVariant> written = Snapshot(*from);
        for (const auto& [name, copy] : Containers()) {
            SCOPED_TRACE(testing::Message() << from->metaObject()->className() << " " << name);
            std::unique_ptr<TVxMovable> to;
            if (from == h)
                to.reset(Fresh<TVxHorizontalMarker>("H2"));
            else
                to.reset(Fresh<TVxVerticalMarker>("V2"));
            copy(*from, *to);
            to->UpdatePosition();
            // Not in the records: whether to snap, and the coordinate a line does not use.
            const QString unused = from == h ? "X" : "Y";
            for (const auto& [key, value] : Snapshot(*to)) {
                if (key != unused && key != "SnapToSeriesValues") {
                    EXPECT_EQ(value, written.at(key)) << key.toStdString();
                }
            }
            EXPECT_EQ(to->SnappedIdx(), 1);
            EXPECT_EQ(to->Caption(), "Line one\rLine two");
        }
    }
}

TEST_F(MarkerRecordsTest, XmlTellsTheMarkerLineFromTheCaptionFrameByPosition) {
    auto* h = Fresh<TVxHorizontalMarker>("H");
    h->Line()->SetColor(VxColor(0xFF010203));
    h->Line()->SetWidth(4);
    h->CaptionBackFrame()->SetColor(VxColor(0xFF0A0B0C));
    h->CaptionBackFrame()->SetWidth(2);
    h->CaptionBackFrame()->SetVisible(true);
    pugi::xml_document doc;
    h->WriteToXml(doc);
    pugi::xml_node e = doc.first_child();
    EXPECT_STREQ(e.name(), "TVxHorizontalMarker");
    ASSERT_TRUE(e.child("Line").next_sibling("Line"));
    auto* read = Fresh<TVxHorizontalMarker>("R");
    read->ReadFromXml(e);
    EXPECT_EQ(read->Line()->Color(), VxColor(0xFF010203));
    EXPECT_EQ(read->Line()->Width(), 4);
    EXPECT_EQ(read->CaptionBackFrame()->Color(), VxColor(0xFF0A0B0C));
    EXPECT_EQ(read->CaptionBackFrame()->Width(), 2);
    EXPECT_TRUE(read->CaptionBackFrame()->Visible());
}

// A record of an older writer: the line's group ends the base record.
TEST_F(MarkerRecordsTest, RecordsWithoutTheLaterGroupsLoad) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    TVxStreamWriter out(buffer);
    out.WriteText("TVxHorizontalMarker");
    out.WriteText("MarkerForm.Old");
    out.WriteBool(true);   // Visible
    out.WriteText("hint"); // Hint
    out.WriteBool(true);   // ParentShowHint
    out.WriteBool(false);  // ShowHint
    out.WriteBool(false);  // ClipToData
    out.WriteBool(true);   // MouseDrag
    out.WriteInt16(8);     // StartMovingKeys
    out.WriteText("");     // snapped series
    out.WriteColor(VxColor(0xFF445566));
    TVxSimpleLineSettings line;
    line.SetWidth(2);
    WriteSimpleLineSettings(out, line);
    out.WriteByte(0); // no further groups
    out.WriteComponent(YAxis());
    out.WriteDouble(42.5);
    out.WriteByte(0);
    auto* h = Fresh<TVxHorizontalMarker>("Old");
    h->SetCaptionDeltaX(5);
    ReadBinary(*h, buffer.data());
    EXPECT_EQ(h->Y(), 42.5);
    EXPECT_EQ(h->YAxis(), YAxis());
    EXPECT_FALSE(h->ClipToData());
    EXPECT_EQ(h->Line()->Width(), 2);
    EXPECT_EQ(h->ForeColor(), VxColor(0xFF445566));
    EXPECT_EQ(h->CaptionDeltaX(), 5); // not in the record: kept
}

TEST_F(MarkerRecordsTest, HostileValuesAreRefusedOrClamped) {
    auto* h = Fresh<TVxHorizontalMarker>("H");
    h->SetY(3);
    pugi::xml_document doc;
    h->WriteToXml(doc);
    pugi::xml_node e = doc.first_child();
    e.child("Location").attribute("Y").set_value("nan");
    e.child("Caption").attribute("DeltaX").set_value("-2147483648");
    auto* read = Fresh<TVxHorizontalMarker>("R");
    EXPECT_THROW(read->ReadFromXml(e), EVxConvertError);
    EXPECT_EQ(read->CaptionDeltaX(), -MaxMarkerPixels);
    EXPECT_EQ(read->Y(), 0);
    e.child("Caption").attribute("Position").set_value("9");
    EXPECT_THROW(read->ReadFromXml(e), EVxException);
    // A class name that is not the marker's own.
    QByteArray bytes = Binary(*h);
    auto* v = Fresh<TVxVerticalMarker>("V");
    EXPECT_THROW(ReadBinary(*v, bytes), EVxStreamError);
    // A record cut short raises and leaves a consistent marker.
    bytes.chop(5);
    auto* cut = Fresh<TVxHorizontalMarker>("Cut");
    EXPECT_THROW(ReadBinary(*cut, bytes), EVxStreamError);
    cut->UpdatePosition();
    EXPECT_GE(cut->Width(), 0);
}
