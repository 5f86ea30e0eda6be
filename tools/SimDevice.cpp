#include "tools/SimDevice.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <stdexcept>
#include <sys/stat.h>
#include <system_error>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace {

using namespace std::chrono_literals;

constexpr double DefaultCelsius = 23.4;
// Longest single poll while waiting for room: a missed wake-up costs at most this.
constexpr auto WritePollSlice = 10ms;

[[noreturn]] void ThrowErrno(const std::string& What) {
    throw std::system_error(errno, std::generic_category(), What);
}

void CloseFd(int& Fd) {
    if (Fd >= 0) {
        ::close(Fd);
        Fd = -1;
    }
}

// Closes a descriptor on scope exit unless released.
class TFdGuard {
public:
    explicit TFdGuard(int Fd) : FFd(Fd) {}
    ~TFdGuard() { CloseFd(FFd); }
    TFdGuard(const TFdGuard&) = delete;
    TFdGuard& operator=(const TFdGuard&) = delete;
    int Get() const { return FFd; }
    int Release() { return std::exchange(FFd, -1); }

private:
    int FFd;
};

void SetFdFlag(int Fd, int GetCmd, int SetCmd, int Flag, const char* What) {
    const int flags = ::fcntl(Fd, GetCmd);
    if (flags < 0 || ::fcntl(Fd, SetCmd, flags | Flag) < 0) {
        ThrowErrno(What);
    }
}

// Milliseconds from now to Deadline for poll, rounded up so that a wait never ends early
// and spins; 0 when the deadline has passed.
int PollTimeout(std::chrono::steady_clock::time_point Deadline,
                std::chrono::milliseconds Cap = std::chrono::milliseconds::max()) {
    const auto left = Deadline - std::chrono::steady_clock::now();
    if (left <= 0ms) {
        return 0;
    }
    const auto ms = std::min(std::chrono::ceil<std::chrono::milliseconds>(left), Cap);
    return static_cast<int>(std::min<std::int64_t>(ms.count(), 1'000'000));
}

bool IsSymlinkAt(const std::string& Path) {
    struct stat st {};
    return ::lstat(Path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

std::string ReadLinkTarget(const std::string& Path) {
    std::array<char, 4096> buffer{};
    const ssize_t n = ::readlink(Path.c_str(), buffer.data(), buffer.size());
    if (n < 0 || static_cast<std::size_t>(n) >= buffer.size()) {
        return {};
    }
    return std::string(buffer.data(), static_cast<std::size_t>(n));
}

} // namespace

TSimDevice::TSimDevice(TSimDeviceOptions Options) : FOptions(std::move(Options)) {
    if (!FOptions.Profile) {
        FOptions.Profile = std::make_shared<TConstantProfile>(DefaultCelsius);
    }
    int fds[2];
    if (::pipe(fds) < 0) {
        ThrowErrno("pipe");
    }
    FWakeRead = fds[0];
    FWakeWrite = fds[1];
    try {
        for (int fd : fds) {
            SetFdFlag(fd, F_GETFD, F_SETFD, FD_CLOEXEC, "fcntl");
            SetFdFlag(fd, F_GETFL, F_SETFL, O_NONBLOCK, "fcntl");
        }
        PlugLocked();
    } catch (...) {
        CloseFd(FWakeRead);
        CloseFd(FWakeWrite);
        throw;
    }
}

TSimDevice::~TSimDevice() {
    try {
        Unplug();
    } catch (...) {
        // Only a failed join could throw here; a destructor must not.
    }
    CloseFd(FWakeRead);
    CloseFd(FWakeWrite);
}

void TSimDevice::Start() {
    std::lock_guard control(FControlMutex);
    if (FThread.joinable()) {
        return;
    }
    if (FOptions.Period <= 0ms) {
        throw std::invalid_argument("the period of the simulated device must be positive");
    }
    if (!IsPlugged()) {
        throw std::logic_error("the simulated device is unplugged");
    }
    FStopRequested = false;
    // The sender must never take a process signal (the program may wait for them with
    // sigwait): start it with every signal blocked; it inherits this thread's mask.
    sigset_t all;
    sigset_t previous;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previous);
    try {
        FThread = std::thread([this] { Run(); });
    } catch (...) {
        pthread_sigmask(SIG_SETMASK, &previous, nullptr);
        throw;
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

void TSimDevice::Stop() {
    std::lock_guard control(FControlMutex);
    StopLocked();
}

void TSimDevice::StopLocked() {
    if (!FThread.joinable()) {
        return;
    }
    FStopRequested = true;
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(FWakeWrite, &byte, 1);
    FThread.join();
    char buffer[64];
    while (::read(FWakeRead, buffer, sizeof buffer) > 0) {
    }
}

bool TSimDevice::IsRunning() const {
    std::lock_guard control(FControlMutex);
    return FThread.joinable();
}

void TSimDevice::Unplug() {
    std::lock_guard control(FControlMutex);
    StopLocked();
    UnplugLocked();
}

void TSimDevice::UnplugLocked() {
    std::lock_guard write(FWriteMutex);
    if (FMasterFd < 0) {
        return;
    }
    RemoveLink();
    CloseFd(FSlaveFd);
    CloseFd(FMasterFd);
    FSlavePath.clear();
}

void TSimDevice::Plug() {
    std::lock_guard control(FControlMutex);
    PlugLocked();
}

void TSimDevice::PlugLocked() {
    std::lock_guard write(FWriteMutex);
    if (FMasterFd >= 0) {
        return;
    }
    TFdGuard master(::posix_openpt(O_RDWR | O_NOCTTY));
    if (master.Get() < 0) {
        ThrowErrno("posix_openpt");
    }
    SetFdFlag(master.Get(), F_GETFD, F_SETFD, FD_CLOEXEC, "fcntl");
    // Writes never block: a full buffer is waited for with poll and a deadline.
    SetFdFlag(master.Get(), F_GETFL, F_SETFL, O_NONBLOCK, "fcntl");
    if (::grantpt(master.Get()) < 0) {
        ThrowErrno("grantpt");
    }
    if (::unlockpt(master.Get()) < 0) {
        ThrowErrno("unlockpt");
    }
    std::array<char, 128> name{};
    if (const int error = ::ptsname_r(master.Get(), name.data(), name.size()); error != 0) {
        errno = error;
        ThrowErrno("ptsname_r");
    }
    const std::string slavePath(name.data());
    // Holding the slave open keeps the line from hanging up before a reader opens it and
    // fixes its settings: raw, so the line discipline neither echoes nor translates bytes.
    TFdGuard slave(::open(slavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (slave.Get() < 0) {
        ThrowErrno("open " + slavePath);
    }
    termios tio{};
    if (::tcgetattr(slave.Get(), &tio) < 0) {
        ThrowErrno("tcgetattr " + slavePath);
    }
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B19200);
    ::cfsetospeed(&tio, B19200);
    if (::tcsetattr(slave.Get(), TCSANOW, &tio) < 0) {
        ThrowErrno("tcsetattr " + slavePath);
    }
    FSlavePath = slavePath;
    if (!FOptions.LinkPath.empty()) {
        try {
            CreateLink();
        } catch (...) {
            FSlavePath.clear();
            throw;
        }
    }
    FMasterFd = master.Release();
    FSlaveFd = slave.Release();
}

void TSimDevice::CreateLink() {
    const std::string& path = FOptions.LinkPath;
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
        throw std::system_error(EEXIST, std::generic_category(),
                                path + " exists and is not a symbolic link");
    }
    // Made under a temporary name and renamed over the old link, so that a reader never
    // finds the path missing or half made.
    const std::string temporary = path + ".tmp" + std::to_string(::getpid());
    if (IsSymlinkAt(temporary)) {
        ::unlink(temporary.c_str()); // left by a process that died
    }
    if (::symlink(FSlavePath.c_str(), temporary.c_str()) < 0) {
        ThrowErrno("symlink " + temporary);
    }
    if (::rename(temporary.c_str(), path.c_str()) < 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        errno = error;
        ThrowErrno("rename " + temporary + " to " + path);
    }
}

void TSimDevice::RemoveLink() {
    // Another device may have taken the path over since: leave its link alone.
    if (!FOptions.LinkPath.empty() && IsSymlinkAt(FOptions.LinkPath) &&
        ReadLinkTarget(FOptions.LinkPath) == FSlavePath) {
        ::unlink(FOptions.LinkPath.c_str());
    }
}

bool TSimDevice::IsPlugged() const {
    std::lock_guard write(FWriteMutex);
    return FMasterFd >= 0;
}

std::string TSimDevice::SlavePath() const {
    std::lock_guard write(FWriteMutex);
    return FSlavePath;
}

std::string TSimDevice::PortName() const {
    std::lock_guard write(FWriteMutex);
    if (FMasterFd >= 0 && !FOptions.LinkPath.empty()) {
        return FOptions.LinkPath;
    }
    return FSlavePath;
}

bool TSimDevice::SendFrame(std::uint16_t Tenths) {
    std::lock_guard write(FWriteMutex);
    return SendFrameLocked(Tenths, false);
}

std::size_t TSimDevice::WriteBytes(std::span<const std::uint8_t> Bytes) {
    std::lock_guard write(FWriteMutex);
    return WriteLocked(Bytes, TClock::now() + FOptions.WriteTimeout);
}

bool TSimDevice::SendFrameLocked(std::uint16_t Tenths, bool Split) {
    const TSimFrame frame = EncodeSimFrame(Tenths, FSequence);
    std::size_t written = 0;
    if (Split) {
        // The split point moves through the frame, so that readers see every cut.
        const std::size_t first = 1 + FSequence % (frame.size() - 1);
        const std::span<const std::uint8_t> bytes(frame);
        written = WriteLocked(bytes.first(first), TClock::now() + FOptions.WriteTimeout);
        if (written == first) {
            const auto gap = std::min(FOptions.SplitGap, FOptions.Period / 4);
            // On Stop the wait ends early, but the frame is still finished.
            WaitUntil(TClock::now() + gap);
            written += WriteLocked(bytes.subspan(first), TClock::now() + FOptions.WriteTimeout);
        }
    } else {
        written = WriteLocked(frame, TClock::now() + FOptions.WriteTimeout);
    }
    ++FSequence;
    const bool complete = written == frame.size();
    ++(complete ? FFramesSent : FFramesDropped);
    return complete;
}

std::size_t TSimDevice::WriteLocked(std::span<const std::uint8_t> Bytes,
                                    TClock::time_point Deadline) {
    std::size_t done = 0;
    while (FMasterFd >= 0 && done < Bytes.size()) {
        const ssize_t n = ::write(FMasterFd, Bytes.data() + done, Bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            break;
        }
        // The buffer is full: nobody reads. Wait for room until the deadline or Stop.
        if (FStopRequested || TClock::now() >= Deadline) {
            break;
        }
        pollfd fds[2] = {{FMasterFd, POLLOUT, 0}, {FWakeRead, POLLIN, 0}};
        ::poll(fds, 2, PollTimeout(Deadline, WritePollSlice));
    }
    return done;
}

bool TSimDevice::WaitUntil(TClock::time_point Deadline) {
    bool watchMaster = true;
    while (!FStopRequested) {
        const int timeout = PollTimeout(Deadline);
        if (timeout == 0) {
            return true;
        }
        pollfd fds[2] = {{FWakeRead, POLLIN, 0}, {watchMaster ? FMasterFd : -1, POLLIN, 0}};
        if (::poll(fds, 2, timeout) < 0) {
            continue; // EINTR: the loop recomputes the time left
        }
        if (fds[1].revents & POLLIN) {
            DrainMaster();
        } else if (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            watchMaster = false; // nothing to drain; do not spin on the condition
        }
    }
    return false;
}

void TSimDevice::DrainMaster() {
    // What a reader writes to the device is ignored, but must be read, or its writes would
    // block once the buffer fills.
    std::array<std::uint8_t, 256> buffer{};
    while (::read(FMasterFd, buffer.data(), buffer.size()) > 0) {
    }
}

void TSimDevice::Run() {
    const TClock::time_point start = TClock::now();
    const TClock::duration period = FOptions.Period;
    TClock::time_point next = start;
    std::uint64_t frameNumber = 0;
    std::uint32_t junkNumber = 0;
    while (WaitUntil(next)) {
        const std::chrono::duration<double> elapsed = TClock::now() - start;
        const std::uint16_t tenths =
            CelsiusToTenths(FOptions.Profile->TemperatureAt(elapsed.count()));
        {
            std::lock_guard write(FWriteMutex);
            SendFrameLocked(tenths, FOptions.SplitFrames);
        }
        ++frameNumber;
        if (FOptions.JunkEvery != 0 && frameNumber % FOptions.JunkEvery == 0) {
            if (!WaitUntil(next + period / 2)) {
                break;
            }
            const std::vector<std::uint8_t> junk = SimJunkBlock(junkNumber++);
            std::lock_guard write(FWriteMutex);
            if (WriteLocked(junk, TClock::now() + FOptions.WriteTimeout) == junk.size()) {
                ++FJunkBlocksSent;
            }
        }
        next += period;
        // After a stall (a suspended process, a full buffer) resume the rhythm instead of
        // sending the missed frames in a burst.
        if (const auto now = TClock::now(); now > next + period) {
            next = now;
        }
    }
}
