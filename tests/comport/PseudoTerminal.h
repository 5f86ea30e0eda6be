#pragma once
// A pseudo-terminal pair for serial tests: the port opens the slave by its path, the test
// talks through the master and inspects the slave's settings through its own slave handle.

#include <asm/termbits.h>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

class TPseudoTerminal {
public:
    TPseudoTerminal() {
        FMaster = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (FMaster < 0 || ::grantpt(FMaster) != 0 || ::unlockpt(FMaster) != 0)
            throw std::runtime_error("no pseudo-terminal");
        FSlavePath = ::ptsname(FMaster);
        // Held open from before the port's exclusive open, so settings can be read back.
        FSlave = ::open(FSlavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (FSlave < 0)
            throw std::runtime_error("no slave");
        // The master side passes bytes through unchanged.
        termios2 t{};
        ::ioctl(FMaster, TCGETS2, &t);
        t.c_iflag = 0;
        t.c_oflag = 0;
        t.c_lflag = 0;
        ::ioctl(FMaster, TCSETS2, &t);
    }
    ~TPseudoTerminal() {
        CloseMaster();
        ::close(FSlave);
    }
    TPseudoTerminal(const TPseudoTerminal&) = delete;

    /// The path the port opens.
    const std::string& SlavePath() const { return FSlavePath; }
    /// The slave's settings as the kernel holds them.
    termios2 SlaveSettings() const {
        termios2 t{};
        ::ioctl(FSlave, TCGETS2, &t);
        return t;
    }
    /// Sends bytes to the port.
    void Send(const std::string& Bytes) const {
        if (::write(FMaster, Bytes.data(), Bytes.size()) != static_cast<ssize_t>(Bytes.size()))
            throw std::runtime_error("short write to the master");
    }
    /// Receives Count bytes the port sent, or fewer after two seconds without progress.
    std::string Receive(std::size_t Count) const {
        std::string result;
        char buffer[65536];
        while (result.size() < Count) {
            pollfd p{FMaster, POLLIN, 0};
            if (::poll(&p, 1, 2000) <= 0)
                break;
            const ssize_t n =
                ::read(FMaster, buffer, std::min(sizeof buffer, Count - result.size()));
            if (n <= 0)
                break;
            result.append(buffer, static_cast<std::size_t>(n));
        }
        return result;
    }
    /// Hangs up the line as an unplugged device would.
    void CloseMaster() {
        if (FMaster >= 0)
            ::close(FMaster);
        FMaster = -1;
    }

private:
    int FMaster = -1;
    int FSlave = -1;
    std::string FSlavePath;
};

/// Waits up to two seconds for Condition; a test then checks the condition itself.
inline bool Eventually(const std::function<bool()>& Condition) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!Condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}
