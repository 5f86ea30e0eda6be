#pragma once
// Test helpers: the reader's side of a simulated device, as the logger would open it, and a
// parser that splits the byte stream into frames and junk.

#include "tools/SimFrame.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

/// The slave side of a pty opened like a serial port (raw, non-blocking).
class TPtyReader {
public:
    /// Opens Path; Raw false leaves the settings as the device left them.
    explicit TPtyReader(const std::string& Path, bool Raw = true);
    ~TPtyReader();
    TPtyReader(const TPtyReader&) = delete;
    TPtyReader& operator=(const TPtyReader&) = delete;

    /// False when Path could not be opened (errno is in OpenError()).
    bool IsOpen() const { return FFd >= 0; }
    /// The errno of a failed open.
    int OpenError() const { return FOpenError; }
    /// The descriptor.
    int Fd() const { return FFd; }

    /// Reads until Done(all bytes so far) holds or Timeout passes; returns the bytes of each
    /// read call in order.
    std::vector<std::vector<std::uint8_t>>
    ReadChunks(const std::function<bool(const std::vector<std::uint8_t>&)>& Done,
               std::chrono::milliseconds Timeout);
    /// Reads until at least FrameCount whole frames have arrived (or Timeout); all bytes.
    std::vector<std::uint8_t> ReadFrames(std::size_t FrameCount, std::chrono::milliseconds Timeout);

private:
    int FFd = -1;
    int FOpenError = 0;
};

/// A byte stream split into the simulator's frames and the runs of other bytes between them.
struct TParsedStream {
    /// The frames in order of arrival.
    std::vector<TSimFrame> Frames;
    /// The bytes before each frame that are not part of a frame (Junk[i] precedes
    /// Frames[i]); the bytes after the last frame are in Tail.
    std::vector<std::vector<std::uint8_t>> Junk;
    /// Bytes after the last frame (possibly the start of an incomplete one).
    std::vector<std::uint8_t> Tail;
};

/// Splits Bytes at every marker followed by at least four more bytes.
TParsedStream ParseStream(const std::vector<std::uint8_t>& Bytes);

/// The reading in bytes 4-5 of Frame (big-endian).
inline std::uint16_t FrameReading(const TSimFrame& Frame) {
    return static_cast<std::uint16_t>(Frame[4] * 256 + Frame[5]);
}
/// The sequence number in bytes 6-7 of Frame (big-endian).
inline std::uint16_t FrameSequence(const TSimFrame& Frame) {
    return static_cast<std::uint16_t>(Frame[6] * 256 + Frame[7]);
}
