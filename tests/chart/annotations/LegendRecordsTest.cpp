// The legend's records: byte layout of the binary record against Python's struct packing
// (legend_record_reference.py beside this file), round trips in the three containers,
// older records without the extension, and hostile input.

#include "LegendTestSupport.h"
#include "persistence/XmlCodec.h"
#include "styles/StyleRecords.h"
#include "util/Exceptions.h"

#include <QBuffer>
#include <QMetaProperty>
#include <functional>
#include <limits>

namespace {

class LegendRecordsTest : public LegendFixture {
protected:
    /// Every value away from its default.
    void Configure(TVxLegend& L) {
        L.SetHint("tip");
        L.SetParentShowHint(false);
        L.SetShowHint(true);
        L.SetAutoSize(false);
        L.SetBounds(30, 20, 150, 60);
        L.SetItemWidth(50.5f);
        L.SetForeColor(VxColor(0xFF112233));
        L.SetBackColor(VxColor(0x80FFFFFF));
        L.SetLegendCaptionColorFrom(TVxLegendCaptionColorFrom::SeriesLineColor);
        L.SetItemsOrder(TVxItemsOrder::ByRow);
        L.SetRows(2);
        L.SetColumns(3);
        L.SetItemsOrderList({"LegendForm.SA", QString::fromUtf8("\u03a9.x")});
        L.Font()->SetName("DejaVu Serif");
        L.Frame()->SetColor(VxColor(0xFF0000FF));
        L.Frame()->SetWidth(2);
        L.SetCornerRounding(2.5f);
        L.SetDistanceItemCaption(4);
        L.SetDistanceBetweenLines(3);
        L.SetDistanceBetweenColumns(10);
        L.SetDistanceToBorder(8);
        L.SetCaptionVisible(true);
        L.SetCaption("Line 1\rLine 2");
        L.SetCaptionAlignment(TVxCaptionAlignment::Left);
        L.SetCaptionColor(VxColor(0xFF0000AA));
        L.SetCaptionDistanceBefore(1.5f);
        L.SetCaptionDistanceAfter(2.25f);
        L.CaptionFont()->SetSize(13);
        L.SetDropShadow(true);
        L.BackgroundGradient()->SetVisible(true);
        L.BackgroundGradient()->SetFirstColor(VxColor(0xFF00FF00));
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

    static QByteArray Binary(const TVxLegend& L) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        TVxStreamWriter out(buffer);
        L.WriteToStream(out);
        return buffer.data();
    }

    static void ReadBinary(TVxLegend& L, const QByteArray& Bytes) {
        QBuffer buffer;
        buffer.setData(Bytes);
        buffer.open(QIODevice::ReadOnly);
        TVxStreamReader in(buffer);
        L.ReadFromStream(in);
    }

    template <class TWrite> static QByteArray Bytes(TWrite&& Write) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        TVxStreamWriter out(buffer);
        Write(out);
        return buffer.data();
    }
};

} // namespace

TEST_F(LegendRecordsTest, BinaryLayoutMatchesTheStructPacking) {
    // Printed by legend_record_reference.py.
    const QByteArray Head = QByteArray::fromHex(
        "110000004c6567656e64466f726d2e4c6567656e64100000004c6567656e64466f726d2e47726170680103"
        "00000074697000010a100000004c6567656e64466f726d2e4772617068140000001e000000009600000"
        "03c0000000000000000004a42332211ffffffff8001010200000003000000020000000d0000004c65676"
        "56e64466f726d2e534104000000cea92e78");
    const QByteArray Middle = QByteArray::fromHex(
        "0000204000008040000040400000204100000041010d0000004c696e6520310d4c696e65203200aa0000"
        "ff0000c03f00001040");
    const QByteArray Extension = QByteArray::fromHex("0101");
    const QByteArray End = QByteArray::fromHex("00");
    Configure(*Legend);
    Legend->SetItemHeight(0);
    Legend->SetAutoSize(false);
    Legend->PreparePaint();
    ASSERT_GT(Legend->EffectiveItemHeight(), 0); // the property, not this, is stored
    const QByteArray expected =
        Head + Bytes([&](TVxStreamWriter& o) { WriteFontSettings(o, *Legend->Font()); }) +
        Bytes([&](TVxStreamWriter& o) { WriteLineSettings(o, *Legend->Frame()); }) + Middle +
        Bytes([&](TVxStreamWriter& o) { WriteFontSettings(o, *Legend->CaptionFont()); }) +
        Extension + Bytes([&](TVxStreamWriter& o) {
            WriteGradientSettings(o, *Legend->BackgroundGradient());
        }) +
        End;
    EXPECT_EQ(Binary(*Legend).toHex(), expected.toHex());
}

TEST_F(LegendRecordsTest, RoundTripsInEveryContainer) {
    Configure(*Legend);
    Legend->SetPosition(TVxLegendPosition::RightTopOfAxis);
    Legend->SetItemsOrder(TVxItemsOrder::ByRow); // after docking, which chose columns
    const std::map<QString, QVariant> written = Snapshot(*Legend);
    ASSERT_EQ(written.at("ItemHeight").toFloat(), 0.0f);
    struct TContainer {
        const char* Name;
        std::function<void(const TVxLegend&, TVxLegend&)> Copy;
    };
    const TContainer containers[] = {
        {"stream", [&](const TVxLegend& From, TVxLegend& To) { ReadBinary(To, Binary(From)); }},
        {"XML",
         [](const TVxLegend& From, TVxLegend& To) {
             pugi::xml_document doc;
             From.WriteToXml(doc);
             pugi::xml_document back;
             LoadXmlDocument(back, SaveXmlDocument(doc));
             To.ReadFromXml(back.child("TVxLegend"));
         }},
        {"ini",
         [](const TVxLegend& From, TVxLegend& To) {
             TVxIniFile ini;
             From.WriteToIni(ini, "Legend");
             TVxIniFile back;
             back.LoadFromText(ini.SaveToText());
             To.ReadFromIni(back, "Legend");
         }},
    };
    for (const TContainer& c : containers) {
        SCOPED_TRACE(c.Name);
        TVxLegend copy(&Form);
        c.Copy(*Legend, copy);
        const std::map<QString, QVariant> read = Snapshot(copy);
        for (const auto& [name, value] : written)
            EXPECT_EQ(read.at(name), value) << name.toStdString();
        EXPECT_EQ(copy.Caption(), "Line 1\rLine 2");
        EXPECT_EQ(copy.Graph(), Graph);
        EXPECT_EQ(copy.Host(), Graph);
        EXPECT_EQ(copy.ItemHeight(), 0.0f);
    }
}

TEST_F(LegendRecordsTest, ARecordWithoutTheExtensionKeepsShadowAndGradient) {
    const QByteArray full = Binary(*Legend);
    const QByteArray gradient =
        Bytes([&](TVxStreamWriter& o) { WriteGradientSettings(o, *Legend->BackgroundGradient()); });
    // Drop marker, DropShadow, gradient and end; end the record right after the caption font.
    const QByteArray old = full.left(full.size() - 2 - gradient.size() - 1) + QByteArray(1, 0);
    TVxLegend copy(&Form);
    copy.SetDropShadow(true);
    copy.BackgroundGradient()->SetVisible(true);
    copy.BackgroundGradient()->SetFirstColor(VxColor(0xFF00FF00));
    ReadBinary(copy, old);
    EXPECT_TRUE(copy.DropShadow());
    EXPECT_TRUE(copy.BackgroundGradient()->Visible());
    EXPECT_EQ(copy.BackgroundGradient()->FirstColor(), VxColor(0xFF00FF00));
}

TEST_F(LegendRecordsTest, EveryTruncationOfTheRecordRaisesAStreamError) {
    Configure(*Legend);
    const QByteArray full = Binary(*Legend);
    for (qsizetype n = 0; n < full.size(); ++n) {
        TVxLegend copy(&Form);
        EXPECT_THROW(ReadBinary(copy, full.left(n)), EVxStreamError) << n;
        copy.PreparePaint(); // still consistent
    }
}

TEST_F(LegendRecordsTest, HostileBinaryValuesAreRefused) {
    const QByteArray full = Binary(*Legend);
    // Offsets of the fixed fields after the three leading texts.
    const qsizetype afterHint = 4 + 17 + 4 + 16 + 1 + 4 + 0;
    const qsizetype position = afterHint + 2;
    const qsizetype afterGraph = position + 1 + 4 + 16;
    const qsizetype itemWidth = afterGraph + 4 + 4 + 1 + 4 + 4 + 4;
    const qsizetype listCount = itemWidth + 4 + 4 + 4 + 1 + 1 + 4 + 4;
    struct TCase {
        const char* What;
        qsizetype At;
        QByteArray Bytes;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const TCase cases[] = {
        {"position 11", position, QByteArray(1, 11)},
        {"NaN item width", itemWidth, QByteArray(reinterpret_cast<const char*>(&nan), 4)},
        {"infinite item width", itemWidth, QByteArray(reinterpret_cast<const char*>(&inf), 4)},
        {"huge list count", listCount, QByteArray::fromHex("ffffff7f")},
        {"negative list count", listCount, QByteArray::fromHex("ffffffff")},
    };
    for (const TCase& c : cases) {
        QByteArray bad = full;
        bad.replace(c.At, c.Bytes.size(), c.Bytes);
        TVxLegend copy(&Form);
        EXPECT_THROW(ReadBinary(copy, bad), EVxStreamError) << c.What;
        EXPECT_EQ(copy.ItemWidth(), 80) << c.What;
    }
    // Huge sizes and places are clamped.
    QByteArray big = full;
    const int32_t huge = 2000000000;
    big.replace(afterGraph + 4, 4, QByteArray(reinterpret_cast<const char*>(&huge), 4));
    TVxLegend copy(&Form);
    ReadBinary(copy, big);
    EXPECT_EQ(copy.Left(), 1000000);
}

TEST_F(LegendRecordsTest, HostileXmlAndIniValuesAreRefused) {
    struct TCase {
        const char* Key;
        const char* Value;
    };
    const TCase cases[] = {{"ItemWidth", "nan"},
                           {"ItemWidth", "inf"},
                           {"Position", "11"},
                           {"ItemsOrder", "-1"},
                           {"LegendCaptionColorFrom", "3"}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Key + std::string("=") + c.Value);
        pugi::xml_document doc;
        Legend->WriteToXml(doc);
        doc.child("TVxLegend").child("Properties").attribute(c.Key).set_value(c.Value);
        TVxLegend fromXml(&Form);
        EXPECT_THROW(fromXml.ReadFromXml(doc.child("TVxLegend")), EVxConvertError);
        EXPECT_EQ(fromXml.ItemWidth(), 80);

        TVxIniFile ini;
        Legend->WriteToIni(ini, "Legend");
        ini.WriteString("Legend", c.Key, c.Value);
        TVxLegend fromIni(&Form);
        EXPECT_THROW(fromIni.ReadFromIni(ini, "Legend"), EVxConvertError);
        EXPECT_EQ(fromIni.ItemWidth(), 80);
    }
    // A forged count reads only the entries that are there.
    TVxIniFile ini;
    Legend->SetItemsOrderList({"A.B"});
    Legend->WriteToIni(ini, "Legend");
    ini.WriteInteger("Legend", "ItemsOrderList.Count", 2000000000);
    TVxLegend copy(&Form);
    copy.ReadFromIni(ini, "Legend");
    EXPECT_EQ(copy.ItemsOrderList(), QStringList{"A.B"});
}
