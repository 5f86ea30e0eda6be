// The saved records of OHLC bars, candlesticks and points with error bars: round trips through
// the stream, XML and ini containers, the fields after the series record in the stream, and
// truncated streams.

#include "persistence/IniFile.h"
#include "persistence/XmlCodec.h"
#include "series/OHLC.h"
#include "series/PointWithErrorSeries.h"
#include "util/Application.h"
#include "util/Exceptions.h"
#include "vectors/DoubleVector.h"

#include <QBuffer>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <pugixml.hpp>

namespace {

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

enum class TContainer { Stream, Xml, Ini };

void Transfer(const TVxSeries& Source, TVxSeries& Target, TContainer Container) {
    switch (Container) {
    case TContainer::Stream:
        ASSERT_TRUE(ReadBytes(Target, WriteBytes(Source)));
        break;
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

// The stream fields after the series record, packed by hand (little-endian).
QByteArray Text(const QString& Value) {
    const QByteArray utf8 = Value.toUtf8();
    const qint32 n = qint32(utf8.size());
    return QByteArray(reinterpret_cast<const char*>(&n), 4) + utf8;
}

QByteArray Single(float Value) {
    return QByteArray(reinterpret_cast<const char*>(&Value), 4);
}

QByteArray Int32(qint32 Value) {
    return QByteArray(reinterpret_cast<const char*>(&Value), 4);
}

class PriceRecordsTest : public testing::Test {
protected:
    PriceRecordsTest() {
        Form.setObjectName("PriceForm");
        TVxApplication::Instance().RegisterForm(&Form);
        for (auto& [v, name] : {std::pair{&Open, "Open"},
                                {&High, "High"},
                                {&Low, "Low"},
                                {&Close, "Close"},
                                {&D1, "D1"},
                                {&D2, "D2"}}) {
            *v = new TVxDoubleVector(&Form);
            (*v)->setObjectName(name);
        }
    }
    ~PriceRecordsTest() override { TVxApplication::Instance().Unregister(&Form); }

    QObject Form;
    TVxDoubleVector *Open, *High, *Low, *Close, *D1, *D2;
};

TEST_F(PriceRecordsTest, PriceSeriesRoundTripThroughEveryContainer) {
    for (bool candles : {false, true})
        for (TContainer c : {TContainer::Stream, TContainer::Xml, TContainer::Ini}) {
            SCOPED_TRACE(::testing::Message() << "candles " << candles << ", container " << int(c));
            auto make = [&]() -> std::unique_ptr<TVxCustomOHLC> {
                if (candles)
                    return std::make_unique<TVxCandleSticks>(&Form);
                return std::make_unique<TVxOHLC>(&Form);
            };
            std::unique_ptr<TVxCustomOHLC> source = make(), target = make();
            source->setObjectName("Source");
            source->SetOpenData(Open);
            source->SetHighData(High);
            source->SetLowData(Low);
            source->SetCloseData(Close);
            source->SetBarWidth(9.5f);
            source->SetCaption("Prices");
            if (auto* bars = qobject_cast<TVxOHLC*>(source.get()))
                bars->SetIndicatorLength(2.25f);
            if (auto* sticks = qobject_cast<TVxCandleSticks*>(source.get())) {
                sticks->SetBullColor(VxColor(0x80123456));
                sticks->SetBearColor(VxColor(0xFF654321));
                sticks->SetShadowsSameColorAsFill(true);
            }
            Transfer(*source, *target, c);
            EXPECT_EQ(target->OpenData(), Open);
            EXPECT_EQ(target->HighData(), High);
            EXPECT_EQ(target->LowData(), Low);
            EXPECT_EQ(target->CloseData(), Close);
            EXPECT_EQ(target->BarWidth(), 9.5f);
            EXPECT_EQ(target->Caption(), "Prices");
            if (auto* bars = qobject_cast<TVxOHLC*>(target.get())) {
                EXPECT_EQ(bars->IndicatorLength(), 2.25f);
            }
            if (auto* sticks = qobject_cast<TVxCandleSticks*>(target.get())) {
                EXPECT_EQ(sticks->BullColor(), VxColor(0x80123456));
                EXPECT_EQ(sticks->BearColor(), VxColor(0xFF654321));
                EXPECT_TRUE(sticks->ShadowsSameColorAsFill());
            }
        }
}

TEST_F(PriceRecordsTest, ErrorBarSeriesRoundTripThroughEveryContainer) {
    for (TContainer c : {TContainer::Stream, TContainer::Xml, TContainer::Ini}) {
        SCOPED_TRACE(int(c));
        TVxPointWithErrorSeries source(&Form), target(&Form);
        source.setObjectName("Source");
        source.SetXData(Open);
        source.SetYData(Close);
        source.SetDeltaXMinus(D1);
        source.SetDeltaYPlus(D2);
        source.SetDeltaYMinus(D1);
        source.ErrorIndicator()->SetColor(VxColor(0xFF00FF00));
        source.ErrorIndicator()->SetWidth(3);
        source.ErrorIndicator()->SetVisible(false);
        source.PointSymbol()->SetSize(7);
        Transfer(source, target, c);
        EXPECT_EQ(target.DeltaXPlus(), nullptr);
        EXPECT_EQ(target.DeltaXMinus(), D1);
        EXPECT_EQ(target.DeltaYPlus(), D2);
        EXPECT_EQ(target.DeltaYMinus(), D1);
        EXPECT_EQ(target.ErrorIndicator()->Color(), VxColor(0xFF00FF00));
        EXPECT_EQ(target.ErrorIndicator()->Width(), 3);
        EXPECT_FALSE(target.ErrorIndicator()->Visible());
        EXPECT_EQ(target.ErrorIndicatorsPen().Width, 3);
        EXPECT_EQ(target.PointSymbol()->Size(), 7);
        EXPECT_EQ(target.XData(), Open);
        EXPECT_EQ(target.YData(), Close);
    }
}

TEST_F(PriceRecordsTest, EachKindListsEveryVectorItReads) {
    TVxCandleSticks candles(&Form);
    candles.SetXData(D1);
    candles.SetOpenData(Open);
    candles.SetHighData(High);
    candles.SetLowData(Low);
    candles.SetCloseData(Close);
    EXPECT_EQ(candles.ReferencedVectors(),
              (std::vector<TVxCustomDoubleVector*>{D1, Close, Open, High, Low}));
    TVxPointWithErrorSeries errors(&Form);
    errors.SetXData(Open);
    errors.SetYData(Close);
    errors.SetDeltaXMinus(D1);
    errors.SetDeltaYPlus(D2);
    EXPECT_EQ(errors.ReferencedVectors(),
              (std::vector<TVxCustomDoubleVector*>{Open, Close, nullptr, D1, D2, nullptr}));
}

TEST_F(PriceRecordsTest, StreamFieldsFollowTheSeriesRecord) {
    TVxCandleSticks candles(&Form);
    candles.SetOpenData(Open);
    candles.SetHighData(High);
    candles.SetLowData(Low);
    candles.SetBarWidth(5);
    candles.SetBullColor(VxColor(0x01020304));
    candles.SetShadowsSameColorAsFill(true);
    // The series record as the base writes it, then the kind's own fields.
    const QByteArray all = WriteBytes(candles);
    const QByteArray tail = Text("PriceForm.Open") + Text("PriceForm.High") +
                            Text("PriceForm.Low") + Single(5) + QByteArray(1, 0) +
                            Int32(0x01020304) + Int32(qint32(0xFFFF0000)) + QByteArray(1, 1) +
                            QByteArray(1, 0);
    ASSERT_GT(all.size(), tail.size());
    EXPECT_EQ(all.right(tail.size()).toHex(), tail.toHex());

    TVxOHLC bars(&Form);
    bars.SetIndicatorLength(3);
    EXPECT_EQ(WriteBytes(bars).right(5).toHex(), (Single(3) + QByteArray(1, 0)).toHex());

    TVxPointWithErrorSeries errors(&Form);
    errors.SetDeltaYPlus(D2);
    const QByteArray refs =
        Text("") + Text("") + Text("PriceForm.D2") + Text("") + QByteArray(1, 0);
    EXPECT_EQ(WriteBytes(errors).right(refs.size()).toHex(), refs.toHex());
}

TEST_F(PriceRecordsTest, EveryCutOfTheKindsFieldsRaisesTheStreamError) {
    TVxCandleSticks candles(&Form);
    candles.SetOpenData(Open);
    TVxOHLC bars(&Form);
    TVxPointWithErrorSeries errors(&Form);
    errors.SetDeltaXPlus(D1);
    const std::vector<std::pair<TVxSeries*, int>> kinds = {
        {&candles, 3 * 4 + 14 + 4 + 1 + 9 + 1}, // references, width, marker, colours, flag, marker
        {&bars, 3 * 4 + 4 + 1 + 4 + 1},
        {&errors, 4 * 4 + 12 + 1},
    };
    for (const auto& [series, fields] : kinds) {
        const QByteArray record = WriteBytes(*series);
        const std::string name = series->metaObject()->className();
        for (int cut = 1; cut < fields; cut += 3) {
            SCOPED_TRACE(::testing::Message() << name << " cut " << cut);
            std::unique_ptr<TVxSeries> target(qobject_cast<TVxSeries*>(
                series->metaObject()->newInstance(Q_ARG(QObject*, &Form))));
            ASSERT_NE(target, nullptr);
            try {
                ReadBytes(*target, record.left(record.size() - cut));
                ADD_FAILURE() << "no error";
            } catch (const EVxStreamError& e) {
                EXPECT_NE(std::strstr(e.what(), (name + " record").c_str()), nullptr) << e.what();
            }
        }
    }
}

} // namespace
