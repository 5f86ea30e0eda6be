#include "SignalWatcher.h"

#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <stdexcept>
#include <sys/socket.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace {

int GSocket[2] = {-1, -1};
std::array<struct sigaction, NSIG> GPrevious{};
std::vector<int> GWatched;

void OnSignal(int Signal) {
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(Signal);
    [[maybe_unused]] const ssize_t n = ::write(GSocket[0], &number, 1);
    errno = saved;
}

} // namespace

TSignalWatcher::TSignalWatcher(std::initializer_list<int> Signals, std::function<void(int)> Handler,
                               QObject* Parent)
    : QObject(Parent), FHandler(std::move(Handler)) {
    if (GSocket[0] >= 0)
        throw std::logic_error("only one signal watcher at a time");
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, GSocket) != 0)
        throw std::system_error(errno, std::generic_category(), "socketpair");
    FNotifier = new QSocketNotifier(GSocket[1], QSocketNotifier::Read, this);
    connect(FNotifier, &QSocketNotifier::activated, this, [this] { ReadSignals(); });
    for (const int signal : Signals) {
        struct sigaction action {};
        action.sa_handler = OnSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(signal, &action, &GPrevious[size_t(signal)]);
        GWatched.push_back(signal);
    }
}

TSignalWatcher::~TSignalWatcher() {
    for (const int signal : GWatched)
        ::sigaction(signal, &GPrevious[size_t(signal)], nullptr);
    GWatched.clear();
    delete FNotifier;
    ::close(GSocket[0]);
    ::close(GSocket[1]);
    GSocket[0] = GSocket[1] = -1;
}

void TSignalWatcher::ReadSignals() {
    unsigned char numbers[16];
    ssize_t n;
    while ((n = ::read(GSocket[1], numbers, sizeof numbers)) > 0)
        for (ssize_t i = 0; i < n; ++i)
            if (FHandler) {
                try {
                    FHandler(numbers[i]);
                } catch (...) {
                    // A slot is an exception boundary; the handler reports its own errors.
                }
            }
}
