// Open, line settings, queue counts, line control and priorities of the Linux device.
#include "comport/platform/LinuxComDevice.h"

#include "comport/platform/LinuxTermios.h"

#include <asm/termbits.h>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// ioctl that retries when a signal interrupts it.
template <class T> int Control(int Fd, unsigned long Request, T Argument) {
    for (;;) {
        if (::ioctl(Fd, Request, Argument) == 0)
            return 0;
        if (errno != EINTR)
            return errno;
    }
}

// A pseudo-terminal has no modem lines, counters or output queue: those ioctls answer
// ENOTTY or EINVAL there, which means "none" rather than a failure.
bool MeansNone(int Error) {
    return Error == ENOTTY || Error == EINVAL;
}

// Each process priority class as a nice value.
int NiceOf(TPriorityClass Class) {
    switch (Class) {
    case pcIdle:
        return 19;
    case pcHigh:
        return -10;
    case pcRealTime:
        return -20;
    default:
        return 0;
    }
}

std::uint32_t ErrorFlags(const TLineCounters& Now, const TLineCounters& Base) {
    std::uint32_t flags = 0;
    if (Now.BufOverrun != Base.BufOverrun)
        flags |= LineErrorFlag(leRxOverflow);
    if (Now.Overrun != Base.Overrun)
        flags |= LineErrorFlag(leOverrun);
    if (Now.Parity != Base.Parity)
        flags |= LineErrorFlag(leParity);
    if (Now.Frame != Base.Frame)
        flags |= LineErrorFlag(leFrame);
    if (Now.Brk != Base.Brk)
        flags |= LineErrorFlag(leBreak);
    return flags;
}

} // namespace

std::unique_ptr<TComDevice> CreatePlatformComDevice() {
    return std::make_unique<TLinuxComDevice>();
}

TLinuxComDevice::~TLinuxComDevice() {
    Close();
}

std::string TLinuxComDevice::DevicePath(const std::string& DeviceName) {
    const std::string prefix = "\\\\.\\";
    if (DeviceName.rfind(prefix, 0) == 0)
        return "/dev/" + DeviceName.substr(prefix.size());
    if (!DeviceName.empty() && DeviceName[0] == '/')
        return DeviceName;
    return "/dev/" + DeviceName;
}

int TLinuxComDevice::Open(const std::string& DeviceName) {
    Close();
    const std::string path = DevicePath(DeviceName);
    int fd;
    do
        fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return errno;
    termios2 t{};
    int error = Control(fd, TCGETS2, &t);
    if (error == 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0)
        error = errno == EWOULDBLOCK ? EBUSY : errno;
    if (error == 0)
        error = Control(fd, TIOCEXCL, nullptr);
    if (error == 0) {
        FWakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (FWakeFd < 0)
            error = errno;
    }
    if (error == 0)
        error = FRead.Open();
    if (error == 0)
        error = FWrite.Open();
    if (error != 0) {
        ::close(fd);
        Close();
        return error;
    }
    FFd = fd;
    FState = TDeviceControlBlock();
    FState.Flags = DcbFlag::Binary | DcbFlag::DtrEnable;
    // Hardware flow is one termios flag for both directions; the block has two fields.
    FState.Flags |= (t.c_cflag & CRTSCTS) ? OptionBit(opOutputCTSFlow) | DcbFlag::RtsHandshake
                                          : DcbFlag::RtsEnable;
    ReadTermios(t, FState);
    FTimeouts = TComTimeoutBlock();
    FHasCounters = ReadCounters(FErrorBase);
    FEventBase = FErrorBase;
    FMask = 0;
    FWakeRequested = false;
    FConsumed = 0;
    FConsumedAtReport = 0;
    FUnreadAtReport = 0;
    FWasAbove80 = false;
    FWrittenSinceEmpty = false;
    return 0;
}

void TLinuxComDevice::Close() {
    FRead.Close();
    FWrite.Close();
    if (FFd >= 0) {
        // Discard unsent output so that close() cannot hang on a flow-controlled line.
        Control(FFd, TCFLSH, TCOFLUSH);
        ::close(FFd);
        FFd = -1;
    }
    if (FWakeFd >= 0) {
        ::close(FWakeFd);
        FWakeFd = -1;
    }
}

// ---- Settings ----

int TLinuxComDevice::GetState(TDeviceControlBlock& Dcb) {
    if (FFd < 0)
        return EBADF;
    termios2 t{};
    if (const int error = Control(FFd, TCGETS2, &t))
        return error;
    Dcb = FState;
    ReadTermios(t, Dcb);
    return 0;
}

int TLinuxComDevice::SetState(const TDeviceControlBlock& Dcb) {
    if (FFd < 0)
        return EBADF;
    if (const int error = ValidateBlock(Dcb))
        return error;
    termios2 old{};
    if (const int error = Control(FFd, TCGETS2, &old))
        return error;
    termios2 wanted = TermiosFor(Dcb, old);
    if (const int error = Control(FFd, TCSETS2, &wanted))
        return error;
    termios2 actual{};
    int error = Control(FFd, TCGETS2, &actual);
    // The driver picks the nearest rate it can make; one more than 2 % off is refused.
    if (error == 0) {
        const double ratio = static_cast<double>(actual.c_ospeed) / Dcb.BaudRate;
        if (ratio < 0.98 || ratio > 1.02)
            error = EINVAL;
    }
    if (error != 0) {
        Control(FFd, TCSETS2, &old);
        return error;
    }
    const std::uint32_t dtr = Dcb.Flags & DcbFlag::DtrMask;
    const std::uint32_t rts = Dcb.Flags & DcbFlag::RtsMask;
    int lines = 0;
    if (dtr == DcbFlag::DtrEnable)
        lines |= TIOCM_DTR;
    if (rts == DcbFlag::RtsEnable)
        lines |= TIOCM_RTS;
    int cleared = 0;
    if (dtr == 0)
        cleared |= TIOCM_DTR;
    if (rts == 0)
        cleared |= TIOCM_RTS;
    if (lines != 0 && (error = ModemLines(TIOCMBIS, lines)) != 0)
        return error;
    if (cleared != 0 && (error = ModemLines(TIOCMBIC, cleared)) != 0)
        return error;
    FState = Dcb;
    return 0;
}

int TLinuxComDevice::SetupQueues(std::int32_t Input, std::int32_t Output) {
    if (FFd < 0)
        return EBADF;
    // The kernel's tty buffers have fixed sizes; the input size sets the 80 % mark.
    if (Input < 0 || Output < 0)
        return EINVAL;
    FInputSize = Input;
    return 0;
}

int TLinuxComDevice::GetTimeouts(TComTimeoutBlock& Timeouts) {
    if (FFd < 0)
        return EBADF;
    Timeouts = FTimeouts;
    return 0;
}

int TLinuxComDevice::SetTimeouts(const TComTimeoutBlock& Timeouts) {
    if (FFd < 0)
        return EBADF;
    FTimeouts = Timeouts;
    return 0;
}

// ---- Transfers ----

int TLinuxComDevice::StartRead(void* Buffer, std::int32_t Count) {
    if (FFd < 0)
        return EBADF;
    if (Count < 0)
        return EINVAL;
    TTransferJob job;
    job.Fd = FFd;
    job.Buffer = static_cast<std::uint8_t*>(Buffer);
    job.Count = static_cast<std::uint32_t>(Count);
    job.IsRead = true;
    job.Limits = ReadLimitsFor(FTimeouts, job.Count);
    job.Total = TDeadline::After(job.Limits.TotalMs);
    job.Consumed = &FConsumed;
    FRead.Start(job);
    return 0;
}

int TLinuxComDevice::StartWrite(const void* Buffer, std::int32_t Count) {
    if (FFd < 0)
        return EBADF;
    if (Count < 0)
        return EINVAL;
    TTransferJob job;
    job.Fd = FFd;
    // The job only reads from the buffer when writing.
    job.Buffer = static_cast<std::uint8_t*>(const_cast<void*>(Buffer));
    job.Count = static_cast<std::uint32_t>(Count);
    job.IsRead = false;
    job.Total = TDeadline::After(WriteLimitFor(FTimeouts, job.Count));
    FWrite.Start(job);
    FWrittenSinceEmpty = true;
    Nudge(); // the event wait starts watching for the output to drain
    return 0;
}

int TLinuxComDevice::WaitRead(std::int32_t& Transferred) {
    const TTransferResult r = FRead.Wait();
    Transferred = r.Transferred;
    return r.Error;
}

int TLinuxComDevice::WaitWrite(std::int32_t& Transferred) {
    const TTransferResult r = FWrite.Wait();
    Transferred = r.Transferred;
    return r.Error;
}

// ---- Status and line control ----

bool TLinuxComDevice::ReadCounters(TLineCounters& Counters) const {
    serial_icounter_struct c{};
    if (Control(FFd, TIOCGICOUNT, &c) != 0)
        return false;
    Counters = {c.cts, c.dsr, c.rng, c.dcd, c.frame, c.overrun, c.parity, c.brk, c.buf_overrun};
    return true;
}

int TLinuxComDevice::QueueCount(unsigned long Request, std::uint32_t& Count) const {
    int n = 0;
    const int error = Control(FFd, Request, &n);
    if (error != 0 && !MeansNone(error))
        return error;
    Count = error == 0 && n > 0 ? static_cast<std::uint32_t>(n) : 0;
    return 0;
}

int TLinuxComDevice::ClearError(TComQueueStatus& Status) {
    if (FFd < 0)
        return EBADF;
    Status = TComQueueStatus();
    if (const int error = QueueCount(FIONREAD, Status.InQueue))
        return error;
    if (const int error = QueueCount(TIOCOUTQ, Status.OutQueue))
        return error;
    TLineCounters now;
    if (FHasCounters && ReadCounters(now)) {
        Status.Errors = ErrorFlags(now, FErrorBase);
        FErrorBase = now;
    }
    return 0;
}

int TLinuxComDevice::Purge(std::uint32_t Flags) {
    if (FFd < 0)
        return EBADF;
    if (Flags & ComPurge::RxAbort)
        FRead.Cancel();
    if (Flags & ComPurge::TxAbort)
        FWrite.Cancel();
    if (Flags & ComPurge::RxClear) {
        std::uint32_t queued = 0;
        QueueCount(FIONREAD, queued);
        // Discarded bytes count as taken, so the event wait does not see them as new.
        FConsumed += queued;
        if (const int error = Control(FFd, TCFLSH, TCIFLUSH))
            return error;
    }
    if (Flags & ComPurge::TxClear)
        if (const int error = Control(FFd, TCFLSH, TCOFLUSH))
            return error;
    return 0;
}

int TLinuxComDevice::Flush() {
    if (FFd < 0)
        return EBADF;
    // TCSBRK with a non-zero argument is tcdrain: wait until the output has been sent.
    return Control(FFd, TCSBRK, 1);
}

int TLinuxComDevice::ModemLines(unsigned long Request, int Lines) {
    const int error = Control(FFd, Request, &Lines);
    return MeansNone(error) ? 0 : error;
}

int TLinuxComDevice::Escape(std::uint32_t Function) {
    if (FFd < 0)
        return EBADF;
    switch (Function) {
    case ComEscape::SetXOff:
        return Control(FFd, TCXONC, TCOOFF);
    case ComEscape::SetXOn:
        return Control(FFd, TCXONC, TCOON);
    case ComEscape::SetRts:
        return ModemLines(TIOCMBIS, TIOCM_RTS);
    case ComEscape::ClrRts:
        return ModemLines(TIOCMBIC, TIOCM_RTS);
    case ComEscape::SetDtr:
        return ModemLines(TIOCMBIS, TIOCM_DTR);
    case ComEscape::ClrDtr:
        return ModemLines(TIOCMBIC, TIOCM_DTR);
    case ComEscape::SetBreak:
        return Control(FFd, TIOCSBRK, nullptr);
    case ComEscape::ClrBreak:
        return Control(FFd, TIOCCBRK, nullptr);
    default:
        // Resetting a printer has no counterpart on a tty.
        return ENOTSUP;
    }
}

int TLinuxComDevice::TransmitChar(char Value) {
    if (FFd < 0)
        return EBADF;
    // A tty has no queue-jumping send; the byte goes straight to the driver.
    for (;;) {
        const ssize_t n = ::write(FFd, &Value, 1);
        if (n == 1)
            return 0;
        if (n < 0 && errno == EINTR)
            continue;
        return n < 0 ? errno : EAGAIN;
    }
}

int TLinuxComDevice::GetModemStatus(std::uint32_t& Status) {
    if (FFd < 0)
        return EBADF;
    int lines = 0;
    const int error = Control(FFd, TIOCMGET, &lines);
    Status = 0;
    if (error != 0)
        return MeansNone(error) ? 0 : error;
    if (lines & TIOCM_CTS)
        Status |= 0x10;
    if (lines & TIOCM_DSR)
        Status |= 0x20;
    if (lines & TIOCM_RNG)
        Status |= 0x40;
    if (lines & TIOCM_CAR)
        Status |= 0x80;
    return 0;
}

// ---- Priorities ----

int TLinuxComDevice::SaveProcessPriority(int& Saved) {
    errno = 0;
    const int nice = ::getpriority(PRIO_PROCESS, 0);
    if (nice == -1 && errno != 0)
        return errno;
    Saved = nice;
    return 0;
}

int TLinuxComDevice::SetProcessPriority(TPriorityClass Class) {
    return ::setpriority(PRIO_PROCESS, 0, NiceOf(Class)) == 0 ? 0 : errno;
}

int TLinuxComDevice::RestoreProcessPriority(int Saved) {
    return ::setpriority(PRIO_PROCESS, 0, Saved) == 0 ? 0 : errno;
}

void TLinuxComDevice::SetThreadPriority(std::int64_t ThreadId, TThreadPriority Priority) {
    static constexpr int Nice[] = {19, 10, 5, 0, -5, -10, -20};
    // Raising a priority needs CAP_SYS_NICE; without it the thread keeps its priority.
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(ThreadId), Nice[Priority]);
}

std::int64_t TLinuxComDevice::CurrentThreadId() {
    return ::syscall(SYS_gettid);
}
