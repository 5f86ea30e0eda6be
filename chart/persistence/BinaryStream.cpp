#include "persistence/BinaryStream.h"

#include "persistence/LargeBuffer.h"
#include "util/ComponentPaths.h"
#include "util/Exceptions.h"

#include <QBuffer>
#include <algorithm>
#include <bit>

namespace {

static_assert(std::endian::native == std::endian::little,
              "records are little-endian; a big-endian build needs byte swapping here");

constexpr qint64 ChunkBytes = 1 << 20;

[[noreturn]] void RaiseReadError() {
    throw EVxStreamError("Stream read error");
}

} // namespace

void TVxStreamWriter::WriteRaw(const char* Data, qint64 Size) {
    if (Size > 0 && FDevice.write(Data, Size) != Size)
        throw EVxStreamError("Stream write error");
}

void TVxStreamWriter::Reserve(qint64 Bytes) {
    auto* buffer = qobject_cast<QBuffer*>(&FDevice);
    if (buffer == nullptr || Bytes <= 0)
        return;
    ReserveLarge(buffer->buffer(), buffer->pos() + Bytes);
}

void TVxStreamWriter::WriteBool(bool Value) {
    WriteByte(Value ? 1 : 0);
}

void TVxStreamWriter::WriteByte(uint8_t Value) {
    WriteRaw(reinterpret_cast<const char*>(&Value), 1);
}

void TVxStreamWriter::WriteInt16(uint16_t Value) {
    WriteRaw(reinterpret_cast<const char*>(&Value), 2);
}

void TVxStreamWriter::WriteInt32(int32_t Value) {
    WriteRaw(reinterpret_cast<const char*>(&Value), 4);
}

void TVxStreamWriter::WriteSingle(float Value) {
    WriteRaw(reinterpret_cast<const char*>(&Value), 4);
}

void TVxStreamWriter::WriteDouble(double Value) {
    WriteRaw(reinterpret_cast<const char*>(&Value), 8);
}

void TVxStreamWriter::WriteText(const QString& Value) {
    const QByteArray bytes = Value.toUtf8();
    WriteInt32(int32_t(bytes.size()));
    WriteRaw(bytes.constData(), bytes.size());
}

void TVxStreamWriter::WriteComponent(const QObject* Component) {
    WriteText(ComponentPath(Component));
}

void TVxStreamWriter::WriteDoubles(std::span<const double> Values) {
    WriteRaw(reinterpret_cast<const char*>(Values.data()), qint64(Values.size_bytes()));
}

qint64 TVxStreamReader::BytesLeft() const {
    if (FDevice.isSequential())
        return -1;
    return std::max<qint64>(FDevice.size() - FDevice.pos(), 0);
}

void TVxStreamReader::ReadExactly(char* Data, qint64 Size) {
    qint64 done = 0;
    while (done < Size) {
        const qint64 got = FDevice.read(Data + done, Size - done);
        if (got <= 0)
            RaiseReadError();
        done += got;
    }
}

// Reads Size bytes in bounded chunks: memory grows only as data actually arrives.
QByteArray TVxStreamReader::ReadBytes(qint64 Size) {
    QByteArray result;
    while (result.size() < Size) {
        const qint64 chunk = std::min(ChunkBytes, Size - result.size());
        const qsizetype old = result.size();
        result.resize(old + chunk);
        ReadExactly(result.data() + old, chunk);
    }
    return result;
}

bool TVxStreamReader::ReadBool() {
    return ReadByte() != 0;
}

uint8_t TVxStreamReader::ReadByte() {
    uint8_t value = 0;
    ReadExactly(reinterpret_cast<char*>(&value), 1);
    return value;
}

uint16_t TVxStreamReader::ReadInt16() {
    uint16_t value = 0;
    ReadExactly(reinterpret_cast<char*>(&value), 2);
    return value;
}

int32_t TVxStreamReader::ReadInt32() {
    int32_t value = 0;
    ReadExactly(reinterpret_cast<char*>(&value), 4);
    return value;
}

float TVxStreamReader::ReadSingle() {
    float value = 0;
    ReadExactly(reinterpret_cast<char*>(&value), 4);
    return value;
}

double TVxStreamReader::ReadDouble() {
    double value = 0;
    ReadExactly(reinterpret_cast<char*>(&value), 8);
    return value;
}

int TVxStreamReader::ReadEnum(int Last) {
    const int value = ReadByte();
    if (value > Last)
        throw EVxStreamError("Invalid enumeration value " + std::to_string(value) + " in stream");
    return value;
}

int32_t TVxStreamReader::ReadCount(qint64 ElementSize) {
    const int32_t count = ReadInt32();
    const qint64 left = BytesLeft();
    if (count < 0 || (left >= 0 && qint64(count) * ElementSize > left))
        throw EVxStreamError("Invalid count " + std::to_string(count) + " in stream");
    return count;
}

QString TVxStreamReader::ReadText() {
    const int32_t count = ReadInt32();
    if (count <= 0)
        return {};
    const qint64 left = BytesLeft();
    if (left >= 0 && count > left)
        RaiseReadError();
    return QString::fromUtf8(ReadBytes(count));
}

QObject* TVxStreamReader::ReadComponent() {
    const QString path = ReadText();
    return path.isEmpty() ? nullptr : FindComponentByPath(path);
}

std::vector<double> TVxStreamReader::ReadDoubles(int32_t Count) {
    std::vector<double> values;
    if (BytesLeft() >= qint64(Count) * 8)
        values.reserve(size_t(Count));
    constexpr size_t chunkValues = ChunkBytes / 8;
    for (size_t done = 0; done < size_t(std::max(Count, 0));) {
        const size_t chunk = std::min(chunkValues, size_t(Count) - done);
        values.resize(done + chunk);
        ReadExactly(reinterpret_cast<char*>(values.data() + done), qint64(chunk) * 8);
        done += chunk;
    }
    return values;
}

void TVxStreamReader::ReadDoubles(std::span<double> Values) {
    ReadExactly(reinterpret_cast<char*>(Values.data()), qint64(Values.size_bytes()));
}
