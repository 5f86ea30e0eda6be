// quenby-simdevice: a simulated temperature device on a pseudo-terminal.
//
// Prints the path to open on standard output (first line; again after each re-plug) and
// sends frames until SIGINT or SIGTERM. SIGUSR1 unplugs the device, SIGUSR2 plugs it in
// again (a new pty, the link updated).

#include "tools/SimDevice.h"

#include <charconv>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <optional>
#include <pthread.h>
#include <string>
#include <string_view>
#include <type_traits>
#include <unistd.h>

namespace {

constexpr const char* ProgramName = "quenby-simdevice";

const char* const UsageText =
    R"(Usage: quenby-simdevice [options]

A simulated temperature device on a pseudo-terminal: sends 8-byte frames whose bytes 4-5
carry the temperature in tenths of a degree Celsius, big-endian.

Options:
  --period MS          time between frames in milliseconds (default 1000)
  --profile NAME       constant, sine or ramp (default sine)
  --temperature C      the constant temperature, or the mean of sine and ramp (default 23.4)
  --amplitude C        how far sine and ramp swing around the mean (default 2)
  --cycle S            the cycle of sine and ramp in seconds (default 60)
  --split              send each frame in two writes
  --split-gap MS       the pause between the two writes (default 10)
  --junk               send a junk block of odd length after every frame
  --junk-every N       send a junk block after every N-th frame
  --link PATH          keep a symbolic link to the device at PATH
                       (default $XDG_RUNTIME_DIR/ttyQuenbySim, or /tmp/ttyQuenbySim-UID)
  --no-link            make no link
  --help               show this text

The first line on standard output is the path to open. Signals: SIGINT or SIGTERM end the
program, SIGUSR1 unplugs the device (readers see it gone), SIGUSR2 plugs it in again and
prints the path again.
)";

struct TArguments {
    TSimDeviceOptions Options;
    std::string Profile = "sine";
    double Temperature = 23.4;
    double Amplitude = 2.0;
    double Cycle = 60.0;
    bool Link = true;
    bool Help = false;
};

std::string DefaultLinkPath() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime) {
        return std::string(runtime) + "/ttyQuenbySim";
    }
    return "/tmp/ttyQuenbySim-" + std::to_string(::getuid());
}

template <typename T> std::optional<T> ParseNumber(std::string_view Text) {
    T value{};
    const auto [end, error] = std::from_chars(Text.data(), Text.data() + Text.size(), value);
    if (error != std::errc() || end != Text.data() + Text.size()) {
        return std::nullopt;
    }
    return value;
}

// Parses the command line into Result; returns an error text, empty on success.
std::string ParseArguments(int Argc, char** Argv, TArguments& Result) {
    Result.Options.LinkPath = DefaultLinkPath();
    for (int i = 1; i < Argc; ++i) {
        const std::string_view arg = Argv[i];
        auto value = [&]() -> std::optional<std::string_view> {
            if (i + 1 >= Argc) {
                return std::nullopt;
            }
            return std::string_view(Argv[++i]);
        };
        auto number = [&]<typename T>(T& Target, bool Positive) -> std::string {
            const auto text = value();
            if (!text) {
                return std::string(arg) + " needs a value";
            }
            const auto parsed = ParseNumber<T>(*text);
            bool valid = parsed && (!Positive || *parsed > 0);
            if constexpr (std::is_floating_point_v<T>) {
                valid = valid && std::isfinite(*parsed);
            }
            if (!valid) {
                return std::string(arg) + ": not a valid value: " + std::string(*text);
            }
            Target = *parsed;
            return {};
        };
        std::string error;
        if (arg == "--help" || arg == "-h") {
            Result.Help = true;
        } else if (arg == "--period" || arg == "--split-gap") {
            long long ms = 0;
            error = number(ms, arg == "--period");
            if (error.empty() && ms < 0) {
                error = std::string(arg) + " must not be negative";
            }
            (arg == "--period" ? Result.Options.Period : Result.Options.SplitGap) =
                std::chrono::milliseconds(ms);
            Result.Options.SplitFrames |= arg == "--split-gap";
        } else if (arg == "--profile") {
            const auto text = value();
            if (!text || (*text != "constant" && *text != "sine" && *text != "ramp")) {
                error = "--profile must be constant, sine or ramp";
            } else {
                Result.Profile = *text;
            }
        } else if (arg == "--temperature") {
            error = number(Result.Temperature, false);
        } else if (arg == "--amplitude") {
            error = number(Result.Amplitude, false);
        } else if (arg == "--cycle") {
            error = number(Result.Cycle, true);
        } else if (arg == "--split") {
            Result.Options.SplitFrames = true;
        } else if (arg == "--junk") {
            Result.Options.JunkEvery = 1;
        } else if (arg == "--junk-every") {
            error = number(Result.Options.JunkEvery, false);
        } else if (arg == "--link") {
            const auto text = value();
            if (!text || text->empty()) {
                error = "--link needs a path";
            } else {
                Result.Options.LinkPath = *text;
                Result.Link = true;
            }
        } else if (arg == "--no-link") {
            Result.Link = false;
        } else {
            error = "unknown option: " + std::string(arg);
        }
        if (!error.empty()) {
            return error;
        }
    }
    if (!Result.Link) {
        Result.Options.LinkPath.clear();
    }
    if (Result.Profile == "constant") {
        Result.Options.Profile = std::make_shared<TConstantProfile>(Result.Temperature);
    } else if (Result.Profile == "sine") {
        Result.Options.Profile =
            std::make_shared<TSineProfile>(Result.Temperature, Result.Amplitude, Result.Cycle);
    } else {
        Result.Options.Profile =
            std::make_shared<TRampProfile>(Result.Temperature, Result.Amplitude, Result.Cycle);
    }
    return {};
}

void PrintPortName(const TSimDevice& Device) {
    std::printf("%s\n", Device.PortName().c_str());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    TArguments arguments;
    if (const std::string error = ParseArguments(argc, argv, arguments); !error.empty()) {
        std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", ProgramName, error.c_str(), ProgramName);
        return 2;
    }
    if (arguments.Help) {
        std::fputs(UsageText, stdout);
        return 0;
    }

    // The signals are taken one at a time by sigwait below; block them before any thread
    // starts so that none of them is delivered elsewhere.
    sigset_t signals;
    sigemptyset(&signals);
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGUSR1, SIGUSR2}) {
        sigaddset(&signals, signal);
    }
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    try {
        TSimDevice device(arguments.Options);
        device.Start();
        PrintPortName(device);
        std::fprintf(stderr,
                     "%s: sending a frame every %lld ms on %s; SIGUSR1 unplugs, SIGUSR2 plugs "
                     "in again, Ctrl+C ends (pid %ld)\n",
                     ProgramName, static_cast<long long>(arguments.Options.Period.count()),
                     device.SlavePath().c_str(), static_cast<long>(::getpid()));
        for (;;) {
            int signal = 0;
            if (sigwait(&signals, &signal) != 0) {
                continue;
            }
            if (signal == SIGUSR1) {
                device.Unplug();
                std::fprintf(stderr, "%s: unplugged\n", ProgramName);
            } else if (signal == SIGUSR2) {
                if (!device.IsPlugged()) {
                    device.Plug();
                    device.Start();
                    PrintPortName(device);
                    std::fprintf(stderr, "%s: plugged in on %s\n", ProgramName,
                                 device.SlavePath().c_str());
                }
            } else {
                break;
            }
        }
        std::fprintf(stderr, "%s: %llu frames sent, %llu dropped\n", ProgramName,
                     static_cast<unsigned long long>(device.FramesSent()),
                     static_cast<unsigned long long>(device.FramesDropped()));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", ProgramName, e.what());
        return 1;
    }
    return 0;
}
