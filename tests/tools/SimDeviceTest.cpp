#include "tools/SimDevice.h"

#include "PtyReader.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <numeric>
#include <poll.h>
#include <stdexcept>
#include <system_error>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// Generous: frames come every 20 ms, but the machine may be loaded or sanitised.
constexpr auto ReadTimeout = 3000ms;

TSimDeviceOptions QuickOptions() {
    TSimDeviceOptions options;
    options.Period = 20ms;
    options.Profile = std::make_shared<TConstantProfile>(23.4);
    return options;
}

// A private directory for symbolic links, removed with everything in it.
class TTempDir {
public:
    TTempDir() {
        std::string pattern = (fs::temp_directory_path() / "quenby-simdevice-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::system_error(errno, std::generic_category(), "mkdtemp");
        }
        FPath = pattern;
    }
    ~TTempDir() {
        std::error_code ignored;
        fs::remove_all(FPath, ignored);
    }
    fs::path operator/(const char* Name) const { return FPath / Name; }

private:
    fs::path FPath;
};

// Checks that frames carry the marker, the reading Tenths and consecutive sequence numbers.
void ExpectFrames(const std::vector<TSimFrame>& Frames, std::uint16_t Tenths) {
    for (std::size_t i = 0; i < Frames.size(); ++i) {
        EXPECT_EQ(FrameReading(Frames[i]), Tenths) << "frame " << i;
        if (i > 0) {
            EXPECT_EQ(FrameSequence(Frames[i]),
                      static_cast<std::uint16_t>(FrameSequence(Frames[i - 1]) + 1))
                << "frame " << i;
        }
    }
}

TEST(SimDevice, DeviceSideIsRawAndPassesEveryByteUnchanged) {
    TSimDevice device(QuickOptions());
    // A reader that changes nothing finds the line raw, as the device left it.
    TPtyReader reader(device.SlavePath(), false);
    ASSERT_TRUE(reader.IsOpen()) << std::strerror(reader.OpenError());
    termios tio{};
    ASSERT_EQ(::tcgetattr(reader.Fd(), &tio), 0);
    EXPECT_EQ(tio.c_lflag & (ECHO | ICANON | ISIG | IEXTEN), 0u);
    EXPECT_EQ(tio.c_iflag & (ICRNL | INLCR | IGNCR | IXON | ISTRIP | BRKINT | PARMRK), 0u);
    EXPECT_EQ(tio.c_oflag & OPOST, 0u);
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));

    std::vector<std::uint8_t> everyByte(256);
    std::iota(everyByte.begin(), everyByte.end(), 0);
    ASSERT_EQ(device.WriteBytes(everyByte), everyByte.size());
    std::vector<std::uint8_t> received;
    for (const auto& chunk :
         reader.ReadChunks([](const auto& Bytes) { return Bytes.size() >= 256; }, ReadTimeout)) {
        received.insert(received.end(), chunk.begin(), chunk.end());
    }
    EXPECT_EQ(received, everyByte);
}

TEST(SimDevice, SendsFramesWithTheProfilesReading) {
    TSimDevice device(QuickOptions());
    TPtyReader reader(device.PortName());
    ASSERT_TRUE(reader.IsOpen());
    device.Start();
    const auto bytes = reader.ReadFrames(5, ReadTimeout);
    const TParsedStream stream = ParseStream(bytes);
    ASSERT_GE(stream.Frames.size(), 5u);
    // Without split or junk the stream is nothing but whole frames.
    for (const auto& junk : stream.Junk) {
        EXPECT_TRUE(junk.empty());
    }
    EXPECT_EQ(bytes.size() % 8, 0u);
    EXPECT_EQ(FrameReading(stream.Frames[0]), 0x00EA); // 23.4 degrees
    ExpectFrames(stream.Frames, 234);
    device.Stop();
    EXPECT_FALSE(device.IsRunning());
    EXPECT_GE(device.FramesSent(), stream.Frames.size());
    EXPECT_EQ(device.FramesDropped(), 0u);
}

TEST(SimDevice, SplitFramesArriveInTwoWritesOfEightBytesInAll) {
    TSimDeviceOptions options = QuickOptions();
    options.Period = 60ms;
    options.SplitFrames = true;
    options.SplitGap = 15ms;
    TSimDevice device(options);
    TPtyReader reader(device.PortName());
    ASSERT_TRUE(reader.IsOpen());
    device.Start();
    const auto chunks = reader.ReadChunks(
        [](const auto& Bytes) {
            const TParsedStream stream = ParseStream(Bytes);
            return stream.Frames.size() >= 5 && stream.Tail.empty();
        },
        ReadTimeout);
    device.Stop();

    std::vector<std::uint8_t> bytes;
    std::size_t shortReads = 0;
    for (const auto& chunk : chunks) {
        bytes.insert(bytes.end(), chunk.begin(), chunk.end());
        shortReads += chunk.size() < 8 ? 1 : 0;
    }
    const TParsedStream stream = ParseStream(bytes);
    ASSERT_GE(stream.Frames.size(), 5u);
    EXPECT_EQ(bytes.size(), 8 * stream.Frames.size());
    ExpectFrames(stream.Frames, 234);
    // The halves are 15 ms apart; a reader that keeps up sees them as separate blocks.
    EXPECT_GE(shortReads, 2u);
}

TEST(SimDevice, JunkBlocksBetweenFramesHaveOddLength) {
    TSimDeviceOptions options = QuickOptions();
    options.JunkEvery = 1;
    TSimDevice device(options);
    TPtyReader reader(device.PortName());
    ASSERT_TRUE(reader.IsOpen());
    device.Start();
    const TParsedStream stream = ParseStream(reader.ReadFrames(6, ReadTimeout));
    device.Stop();

    ASSERT_GE(stream.Frames.size(), 6u);
    ExpectFrames(stream.Frames, 234);
    EXPECT_TRUE(stream.Junk[0].empty()); // the stream starts with a frame
    for (std::size_t i = 1; i < stream.Frames.size(); ++i) {
        EXPECT_EQ(stream.Junk[i].size() % 2, 1u) << "before frame " << i;
    }
    EXPECT_GE(device.JunkBlocksSent(), stream.Frames.size() - 1);
}

TEST(SimDevice, UnplugShowsTheReaderTheDeviceGoneAndPlugBringsANewOne) {
    TTempDir dir;
    TSimDeviceOptions options = QuickOptions();
    options.LinkPath = dir / "ttySim";
    TSimDevice device(options);
    const std::string firstSlave = device.SlavePath();
    EXPECT_EQ(fs::read_symlink(options.LinkPath), firstSlave);
    EXPECT_EQ(device.PortName(), options.LinkPath);

    TPtyReader reader(device.PortName());
    ASSERT_TRUE(reader.IsOpen());
    device.Start();
    ASSERT_GE(ParseStream(reader.ReadFrames(1, ReadTimeout)).Frames.size(), 1u);

    device.Unplug();
    EXPECT_FALSE(device.IsPlugged());
    EXPECT_FALSE(device.IsRunning());
    EXPECT_TRUE(device.SlavePath().empty());
    EXPECT_FALSE(fs::is_symlink(options.LinkPath));
    EXPECT_EQ(device.WriteBytes(std::vector<std::uint8_t>{1, 2, 3}), 0u);
    EXPECT_FALSE(device.SendFrame(234));
    EXPECT_THROW(device.Start(), std::logic_error);

    // Whatever was still queued may be read first; then the reader meets the hang-up.
    pollfd fd{reader.Fd(), POLLIN, 0};
    bool gone = false;
    for (int i = 0; i < 100 && !gone; ++i) {
        ASSERT_GT(::poll(&fd, 1, 3000), 0) << "no hang-up seen";
        std::uint8_t buffer[256];
        const ssize_t n = ::read(reader.Fd(), buffer, sizeof buffer);
        gone = n == 0 || (n < 0 && errno == EIO) || (fd.revents & (POLLHUP | POLLERR));
        if (n > 0) {
            gone = false; // a hang-up flag with data still waiting: read on
        }
    }
    EXPECT_TRUE(gone);

    device.Plug();
    EXPECT_TRUE(device.IsPlugged());
    EXPECT_EQ(fs::read_symlink(options.LinkPath), device.SlavePath());
    TPtyReader again(device.PortName());
    ASSERT_TRUE(again.IsOpen());
    EXPECT_TRUE(device.SendFrame(0x1234));
    const TParsedStream stream = ParseStream(again.ReadFrames(1, ReadTimeout));
    ASSERT_EQ(stream.Frames.size(), 1u);
    EXPECT_EQ(FrameReading(stream.Frames[0]), 0x1234);
}

TEST(SimDevice, LinkReplacesOnlyASymbolicLinkAndIsRemovedOnlyWhileItsOwn) {
    TTempDir dir;
    TSimDeviceOptions options = QuickOptions();
    options.LinkPath = dir / "ttySim";

    // A stale link (a device that died) is replaced.
    fs::create_symlink("/dev/pts/nonexistent", options.LinkPath);
    auto first = std::make_unique<TSimDevice>(options);
    EXPECT_EQ(fs::read_symlink(options.LinkPath), first->SlavePath());

    // A second device takes the link over; the first, going away, leaves it alone.
    TSimDevice second(options);
    EXPECT_EQ(fs::read_symlink(options.LinkPath), second.SlavePath());
    first.reset();
    ASSERT_TRUE(fs::is_symlink(options.LinkPath));
    EXPECT_EQ(fs::read_symlink(options.LinkPath), second.SlavePath());
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "."), fs::directory_iterator()), 1)
        << "no temporary link may be left behind";

    // Anything but a symbolic link is never overwritten.
    options.LinkPath = dir / "data.txt";
    std::ofstream(options.LinkPath) << "precious";
    EXPECT_THROW(TSimDevice{options}, std::system_error);
    std::ifstream in(options.LinkPath);
    std::string content;
    in >> content;
    EXPECT_EQ(content, "precious");
}

TEST(SimDevice, StopDoesNotHangWhenNobodyReadsAndTheBufferIsFull) {
    TSimDeviceOptions options = QuickOptions();
    options.Period = 2ms;
    options.WriteTimeout = 5ms;
    options.SplitFrames = true;
    TSimDevice device(options);
    // Nobody opens the port: fill its buffer until a write no longer goes through.
    const std::vector<std::uint8_t> block(4096, 0x55);
    std::size_t total = 0;
    for (int i = 0; i < 1000 && device.WriteBytes(block) == block.size(); ++i) {
        total += block.size();
    }
    ASSERT_LT(total, 1000u * block.size()) << "the buffer never filled";

    device.Start();
    for (int i = 0; i < 300 && device.FramesDropped() < 3; ++i) {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_GE(device.FramesDropped(), 3u);
    device.Stop(); // must return although every write waits for room
    EXPECT_FALSE(device.IsRunning());
}

TEST(SimDevice, ReadsAndIgnoresWhatTheReaderWrites) {
    TSimDevice device(QuickOptions());
    TPtyReader reader(device.PortName());
    ASSERT_TRUE(reader.IsOpen());
    device.Start();
    // Far more than a pty buffers: without a device reading it, the writes would stall.
    const std::vector<std::uint8_t> block(4096, 'w');
    std::size_t written = 0;
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (written < 512 * 1024 && std::chrono::steady_clock::now() < deadline) {
        pollfd fd{reader.Fd(), POLLOUT, 0};
        if (::poll(&fd, 1, 100) > 0) {
            const ssize_t n = ::write(reader.Fd(), block.data(), block.size());
            written += n > 0 ? static_cast<std::size_t>(n) : 0;
        }
    }
    EXPECT_GE(written, 512u * 1024u);
    // Nothing of it comes back as an echo: only frames arrive.
    const TParsedStream stream = ParseStream(reader.ReadFrames(2, ReadTimeout));
    EXPECT_GE(stream.Frames.size(), 2u);
    for (const auto& junk : stream.Junk) {
        EXPECT_TRUE(junk.empty());
    }
}

TEST(SimDevice, RejectsAPeriodThatIsNotPositive) {
    TSimDeviceOptions options = QuickOptions();
    options.Period = 0ms;
    TSimDevice device(options);
    EXPECT_THROW(device.Start(), std::invalid_argument);
    EXPECT_FALSE(device.IsRunning());
}

} // namespace
