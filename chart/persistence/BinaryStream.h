#pragma once
// The binary record encodings shared by every saved chart object: little-endian scalars
// written field by field, texts as a byte count and UTF-8, continuation bytes and component
// references. The reader treats its input as hostile: counts are checked against the bytes
// left, enumerations against their range, and nothing is allocated from an unchecked count.

#include "drawing/Color.h"

#include <QIODevice>
#include <QObject>
#include <QString>
#include <cstdint>
#include <span>
#include <vector>

class TVxStreamWriter {
public:
    /// Writes to Device (open for writing); a failed write raises EVxStreamError.
    explicit TVxStreamWriter(QIODevice& Device) : FDevice(Device) {}

    void WriteBool(bool Value);
    /// A small enumeration, set or other one-byte field.
    void WriteByte(uint8_t Value);
    void WriteInt16(uint16_t Value);
    void WriteInt32(int32_t Value);
    void WriteSingle(float Value);
    void WriteDouble(double Value);
    void WriteColor(TVxColor Value) { WriteInt32(Value); }
    /// 32-bit byte count, then the UTF-8 bytes.
    void WriteText(const QString& Value);
    /// 1 when another group of fields follows, 0 at the end of a record.
    void WriteContinuation(bool More) { WriteByte(More ? 1 : 0); }
    /// The component's dotted owner path as a text (empty for none).
    void WriteComponent(const QObject* Component);
    /// Doubles one after the other, 8 bytes each.
    void WriteDoubles(std::span<const double> Values);
    void WriteRaw(const char* Data, qint64 Size);
    /// Announces that about Bytes more bytes follow: a memory buffer (QBuffer) takes room
    /// for them at once, a large room in huge pages where the system offers them, so that a
    /// big record is copied once and its memory is not faulted in page by page.
    void Reserve(qint64 Bytes);

private:
    QIODevice& FDevice;
};

class TVxStreamReader {
public:
    /// Reads from Device (open for reading); a stream that ends early or holds a malformed
    /// field raises EVxStreamError.
    explicit TVxStreamReader(QIODevice& Device) : FDevice(Device) {}

    /// A Boolean byte: 0 is false, anything else true.
    bool ReadBool();
    uint8_t ReadByte();
    uint16_t ReadInt16();
    int32_t ReadInt32();
    float ReadSingle();
    double ReadDouble();
    TVxColor ReadColor() { return ReadInt32(); }
    /// A byte holding an enumeration ordinal 0..Last; anything else raises.
    int ReadEnum(int Last);
    /// A text: a count of 0 or less is the empty text; a count beyond the bytes left raises.
    QString ReadText();
    /// A continuation byte: true when another group follows.
    bool ReadContinuation() { return ReadByte() != 0; }
    /// A component path, resolved through the application's forms and data modules
    /// (nullptr for an empty or unknown path).
    QObject* ReadComponent();
    /// A 32-bit element count: negative, or more elements of ElementSize bytes than the
    /// stream has left, raises.
    int32_t ReadCount(qint64 ElementSize);
    /// Count doubles; on a stream of unknown length they are read in bounded chunks, so a
    /// forged count cannot make a huge allocation.
    std::vector<double> ReadDoubles(int32_t Count);
    /// Fills Values from the stream in one block read.
    void ReadDoubles(std::span<double> Values);

    /// Bytes left in the stream, or -1 when the device cannot tell (sequential).
    qint64 BytesLeft() const;

private:
    void ReadExactly(char* Data, qint64 Size);
    QByteArray ReadBytes(qint64 Size);

    QIODevice& FDevice;
};
