#include "PtyReader.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

TPtyReader::TPtyReader(const std::string& Path, bool Raw) {
    FFd = ::open(Path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (FFd < 0) {
        FOpenError = errno;
        return;
    }
    if (Raw) {
        termios tio{};
        ::tcgetattr(FFd, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(FFd, TCSANOW, &tio);
    }
}

TPtyReader::~TPtyReader() {
    if (FFd >= 0) {
        ::close(FFd);
    }
}

std::vector<std::vector<std::uint8_t>>
TPtyReader::ReadChunks(const std::function<bool(const std::vector<std::uint8_t>&)>& Done,
                       std::chrono::milliseconds Timeout) {
    using TClock = std::chrono::steady_clock;
    const auto deadline = TClock::now() + Timeout;
    std::vector<std::vector<std::uint8_t>> chunks;
    std::vector<std::uint8_t> all;
    while (!Done(all)) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - TClock::now());
        if (left.count() <= 0) {
            break;
        }
        pollfd fd{FFd, POLLIN, 0};
        if (::poll(&fd, 1, static_cast<int>(left.count()) + 1) <= 0) {
            continue;
        }
        std::uint8_t buffer[4096];
        const ssize_t n = ::read(FFd, buffer, sizeof buffer);
        if (n <= 0) {
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
                continue;
            }
            break; // end of file or an error: the device is gone
        }
        chunks.emplace_back(buffer, buffer + n);
        all.insert(all.end(), buffer, buffer + n);
    }
    return chunks;
}

std::vector<std::uint8_t> TPtyReader::ReadFrames(std::size_t FrameCount,
                                                 std::chrono::milliseconds Timeout) {
    std::vector<std::uint8_t> all;
    for (const auto& chunk : ReadChunks(
             [FrameCount](const auto& Bytes) {
                 return ParseStream(Bytes).Frames.size() >= FrameCount;
             },
             Timeout)) {
        all.insert(all.end(), chunk.begin(), chunk.end());
    }
    return all;
}

TParsedStream ParseStream(const std::vector<std::uint8_t>& Bytes) {
    TParsedStream result;
    std::vector<std::uint8_t> run;
    std::size_t i = 0;
    while (i < Bytes.size()) {
        const bool isFrame =
            Bytes.size() - i >= 8 && std::equal(SimFrameMarker.begin(), SimFrameMarker.end(),
                                                Bytes.begin() + static_cast<std::ptrdiff_t>(i));
        if (isFrame) {
            TSimFrame frame;
            std::copy_n(Bytes.begin() + static_cast<std::ptrdiff_t>(i), 8, frame.begin());
            result.Frames.push_back(frame);
            result.Junk.push_back(std::move(run));
            run.clear();
            i += 8;
        } else {
            run.push_back(Bytes[i++]);
        }
    }
    result.Tail = std::move(run);
    return result;
}
