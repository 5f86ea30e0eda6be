#pragma once
// A simulated temperature device on a pseudo-terminal.
//
// The device owns the master side of a pty pair and keeps a slave descriptor open, set raw,
// so that the line does not hang up before a reader opens it and no byte is echoed or
// translated. A reader (the logger, a test) opens SlavePath() or the symbolic link at
// LinkPath as if it were a serial port. A sender thread writes one 8-byte frame per period
// (see SimFrame.h) with the temperature of a profile; optionally each frame goes out in two
// writes and junk blocks of odd length go out between frames. Unplug closes the device, so
// that the reader sees the port gone (end of file, EIO, POLLHUP); Plug creates a new one.
//
// Standard C++ and POSIX only. All member functions may be called from any thread.

#include "tools/SimFrame.h"
#include "tools/TemperatureProfile.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>

/// How a TSimDevice behaves.
struct TSimDeviceOptions {
    /// Time from one frame to the next; must be positive for Start.
    std::chrono::milliseconds Period{1000};
    /// The temperature over time; nullptr sends a constant 23.4 degrees.
    std::shared_ptr<const TTemperatureProfile> Profile;
    /// Send each frame in two writes, SplitGap apart (at most a quarter period).
    bool SplitFrames = false;
    /// The pause between the two writes of a split frame.
    std::chrono::milliseconds SplitGap{10};
    /// After every JunkEvery-th frame, half a period later, send a junk block of odd
    /// length; 0 sends no junk.
    unsigned JunkEvery = 0;
    /// Where to keep a symbolic link to the slave path; empty for none. An existing symbolic
    /// link there is replaced, anything else is an error.
    std::string LinkPath;
    /// How long one write may wait for room when nobody reads; then the rest is dropped.
    std::chrono::milliseconds WriteTimeout{50};
};

/// A pseudo-terminal that behaves like the temperature device on a serial port.
class TSimDevice {
public:
    /// Creates the pty pair (plugged, not sending). Throws std::system_error when the pty or
    /// the link cannot be created.
    explicit TSimDevice(TSimDeviceOptions Options = {});
    /// Stops the sender, closes the device and removes the link if it still points here.
    ~TSimDevice();

    TSimDevice(const TSimDevice&) = delete;
    TSimDevice& operator=(const TSimDevice&) = delete;

    /// Starts the sender thread (no-op while it runs). Throws std::invalid_argument for a
    /// period that is not positive and std::logic_error while unplugged.
    void Start();
    /// Stops the sender thread and waits for it; the device stays plugged. Never blocks
    /// longer than a write timeout.
    void Stop();
    /// True while the sender thread runs.
    bool IsRunning() const;

    /// Stops sending, closes both sides of the pty and removes the link if it still points
    /// here: a reader sees the device gone. No-op when already unplugged.
    void Unplug();
    /// After Unplug: creates a new pty pair and points the link at it (not sending; call
    /// Start). No-op while plugged. Throws std::system_error like the constructor.
    void Plug();
    /// True between Plug (or construction) and Unplug.
    bool IsPlugged() const;

    /// The slave side's path (e.g. /dev/pts/3); empty while unplugged.
    std::string SlavePath() const;
    /// The path a reader should open: the link when there is one, else the slave path.
    std::string PortName() const;
    /// The link path of the options (empty for none).
    const std::string& LinkPath() const { return FOptions.LinkPath; }

    /// Writes one whole frame with the reading Tenths now, numbered like the sender's.
    /// True when all 8 bytes went out within the write timeout.
    bool SendFrame(std::uint16_t Tenths);
    /// Writes Bytes as they are; returns how many went out within the write timeout (0 while
    /// unplugged).
    std::size_t WriteBytes(std::span<const std::uint8_t> Bytes);

    /// Frames written completely so far (sender and SendFrame).
    std::uint64_t FramesSent() const { return FFramesSent; }
    /// Frames not written completely because nobody read and the buffer stayed full.
    std::uint64_t FramesDropped() const { return FFramesDropped; }
    /// Junk blocks written so far.
    std::uint64_t JunkBlocksSent() const { return FJunkBlocksSent; }

private:
    using TClock = std::chrono::steady_clock;

    void PlugLocked();
    void UnplugLocked();
    void StopLocked();
    void Run();
    bool WaitUntil(TClock::time_point Deadline);
    void DrainMaster();
    std::size_t WriteLocked(std::span<const std::uint8_t> Bytes, TClock::time_point Deadline);
    bool SendFrameLocked(std::uint16_t Tenths, bool Split);
    void CreateLink();
    void RemoveLink();

    TSimDeviceOptions FOptions;

    // Start, Stop, Plug and Unplug are serialised by FControlMutex; the descriptors, the
    // slave path and the frame numbering by FWriteMutex (held for each write). The sender
    // thread takes only FWriteMutex, so Stop can join it while holding FControlMutex.
    mutable std::mutex FControlMutex;
    mutable std::mutex FWriteMutex;
    int FMasterFd = -1;
    int FSlaveFd = -1;
    std::string FSlavePath;
    std::uint16_t FSequence = 0;

    int FWakeRead = -1; // a pipe that wakes the sender thread's waits for Stop
    int FWakeWrite = -1;
    std::atomic<bool> FStopRequested{false};
    std::thread FThread;

    std::atomic<std::uint64_t> FFramesSent{0};
    std::atomic<std::uint64_t> FFramesDropped{0};
    std::atomic<std::uint64_t> FJunkBlocksSent{0};
};
