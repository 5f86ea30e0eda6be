#include "persistence/BinaryStream.h"

#include "util/Exceptions.h"

#include <QBuffer>
#include <gtest/gtest.h>
#include <vector>

namespace {

QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray result;
    for (int v : values)
        result.append(char(v));
    return result;
}

} // namespace

TEST(BinaryStreamTest, ScalarsAreLittleEndianFieldByField) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    TVxStreamWriter out(buffer);
    out.WriteBool(true);
    out.WriteInt32(-2);
    out.WriteInt16(0x0102);
    out.WriteSingle(1.0f);
    out.WriteDouble(-2.0);
    out.WriteText(QString::fromUtf8("\u00BA"));
    out.WriteContinuation(false);
    EXPECT_EQ(buffer.data(),
              Bytes({1, 0xFE, 0xFF, 0xFF, 0xFF, 0x02, 0x01, 0, 0, 0x80, 0x3F, 0,    0,
                     0, 0,    0,    0,    0,    0xC0, 2,    0, 0, 0,    0xC2, 0xBA, 0}));

    buffer.close();
    buffer.open(QIODevice::ReadOnly);
    TVxStreamReader in(buffer);
    EXPECT_TRUE(in.ReadBool());
    EXPECT_EQ(in.ReadInt32(), -2);
    EXPECT_EQ(in.ReadInt16(), 0x0102);
    EXPECT_EQ(in.ReadSingle(), 1.0f);
    EXPECT_EQ(in.ReadDouble(), -2.0);
    EXPECT_EQ(in.ReadText(), QString::fromUtf8("\u00BA"));
    EXPECT_FALSE(in.ReadContinuation());
    EXPECT_THROW(in.ReadByte(), EVxStreamError);
}

TEST(BinaryStreamTest, HostileCountsAndTexts) {
    struct Case {
        const char* What;
        QByteArray Data;
        bool Throws;
    };
    const Case cases[] = {
        {"empty text", Bytes({0, 0, 0, 0}), false},
        {"negative text count", Bytes({0xFF, 0xFF, 0xFF, 0xFF}), false},
        {"text longer than the stream", Bytes({0xFF, 0xFF, 0xFF, 0x7F, 'a'}), true},
        {"text cut short", Bytes({3, 0, 0, 0, 'a', 'b'}), true},
        {"count field cut short", Bytes({3, 0}), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        QByteArray data = c.Data;
        QBuffer buffer(&data);
        buffer.open(QIODevice::ReadOnly);
        TVxStreamReader in(buffer);
        if (c.Throws)
            EXPECT_THROW(in.ReadText(), EVxStreamError);
        else
            EXPECT_EQ(in.ReadText(), QString());
    }

    QByteArray counts = Bytes({0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0xFF, 2, 0, 0, 0});
    counts.append(16, '\0');
    QBuffer buffer(&counts);
    buffer.open(QIODevice::ReadOnly);
    TVxStreamReader in(buffer);
    EXPECT_THROW(in.ReadCount(8), EVxStreamError); // 0x7FFFFFFF doubles: rejected at once
    EXPECT_THROW(in.ReadCount(8), EVxStreamError); // negative
    EXPECT_EQ(in.ReadCount(8), 2);
    EXPECT_EQ(in.ReadDoubles(2).size(), 2u);
}

TEST(BinaryStreamTest, EnumerationsAreRangeChecked) {
    QByteArray data = Bytes({3, 4});
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    TVxStreamReader in(buffer);
    EXPECT_EQ(in.ReadEnum(3), 3);
    EXPECT_THROW(in.ReadEnum(3), EVxStreamError);
}

// A buffer told what follows takes the room at once: a large block then lands in place
// without moving the bytes written before it, and the bytes are those of plain writes,
// written at the buffer's position.
TEST(BinaryStreamTest, ReservedRoomHoldsTheBlockInPlace) {
    const std::vector<double> values(3 << 20, -2.0); // 24 MB: past the huge-page size
    QByteArray data("abc");
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadWrite);
    buffer.seek(1);
    TVxStreamWriter out(buffer);
    out.Reserve(qint64(values.size()) * 8 + 1);
    const char* room = data.constData();
    out.WriteByte('X');
    out.WriteDoubles(values);
    EXPECT_EQ(data.constData(), room);
    ASSERT_EQ(data.size(), qsizetype(values.size()) * 8 + 2);
    EXPECT_EQ(data.left(2), "aX");
    EXPECT_EQ(data.mid(2, 8), Bytes({0, 0, 0, 0, 0, 0, 0, 0xC0}));
    EXPECT_EQ(data.right(8), Bytes({0, 0, 0, 0, 0, 0, 0, 0xC0}));
}
