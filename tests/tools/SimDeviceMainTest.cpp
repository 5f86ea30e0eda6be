// The quenby-simdevice program: prints the path, sends frames, unplugs and plugs in again on
// signals, ends cleanly on SIGTERM.

#include "PtyReader.h"

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr auto Timeout = 5000ms;

// The program running as a child, its standard output on a pipe.
class TProgram {
public:
    explicit TProgram(std::vector<std::string> Arguments) {
        int fds[2];
        if (::pipe(fds) < 0) {
            throw std::system_error(errno, std::generic_category(), "pipe");
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        Arguments.insert(Arguments.begin(), QUENBY_SIMDEVICE_PROGRAM);
        std::vector<char*> argv;
        for (auto& argument : Arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        const int error = ::posix_spawn(&FPid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        FOutput = fds[0];
        if (error != 0) {
            ::close(FOutput);
            throw std::system_error(error, std::generic_category(), "posix_spawn");
        }
    }
    ~TProgram() {
        if (FPid > 0) {
            ::kill(FPid, SIGKILL);
            ::waitpid(FPid, nullptr, 0);
        }
        ::close(FOutput);
    }
    TProgram(const TProgram&) = delete;
    TProgram& operator=(const TProgram&) = delete;

    void Signal(int Number) const { ::kill(FPid, Number); }

    // The next line of standard output without its newline; nullopt at end or timeout.
    std::optional<std::string> ReadLine() {
        const auto deadline = std::chrono::steady_clock::now() + Timeout;
        for (;;) {
            if (const auto end = FBuffer.find('\n'); end != std::string::npos) {
                std::string line = FBuffer.substr(0, end);
                FBuffer.erase(0, end + 1);
                return line;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd fd{FOutput, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&fd, 1, static_cast<int>(left.count())) <= 0) {
                return std::nullopt;
            }
            char chunk[256];
            const ssize_t n = ::read(FOutput, chunk, sizeof chunk);
            if (n <= 0) {
                return std::nullopt;
            }
            FBuffer.append(chunk, static_cast<std::size_t>(n));
        }
    }

    // Waits for the program to end; its exit status, or -1 when it did not exit normally.
    int Wait() {
        int status = 0;
        ::waitpid(FPid, &status, 0);
        FPid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t FPid = -1;
    int FOutput = -1;
    std::string FBuffer;
};

TEST(SimDeviceProgram, SendsFramesUnplugsPlugsAndEndsOnSignals) {
    const fs::path dir =
        fs::temp_directory_path() / ("quenby-simdevice-main-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string link = (dir / "ttySim").string();
    TProgram program({"--period", "20", "--profile", "constant", "--temperature", "23.4",
                      "--junk-every", "2", "--link", link});

    ASSERT_EQ(program.ReadLine(), link);
    {
        TPtyReader reader(link);
        ASSERT_TRUE(reader.IsOpen());
        const TParsedStream stream = ParseStream(reader.ReadFrames(4, Timeout));
        ASSERT_GE(stream.Frames.size(), 4u);
        for (const auto& frame : stream.Frames) {
            EXPECT_EQ(FrameReading(frame), 234);
        }
        // Every second frame is followed by junk.
        std::size_t junkRuns = 0;
        for (std::size_t i = 1; i < stream.Junk.size(); ++i) {
            junkRuns += stream.Junk[i].empty() ? 0 : 1;
        }
        EXPECT_GE(junkRuns, 1u);

        program.Signal(SIGUSR1);
        // The reader meets the hang-up once the queued bytes are read.
        reader.ReadChunks([](const auto&) { return false; }, Timeout);
        pollfd fd{reader.Fd(), POLLIN, 0};
        ASSERT_EQ(::poll(&fd, 1, 0), 1);
        EXPECT_NE(fd.revents & (POLLHUP | POLLERR), 0);
    }
    EXPECT_FALSE(fs::is_symlink(link));

    program.Signal(SIGUSR2);
    ASSERT_EQ(program.ReadLine(), link);
    {
        TPtyReader reader(link);
        ASSERT_TRUE(reader.IsOpen());
        EXPECT_GE(ParseStream(reader.ReadFrames(2, Timeout)).Frames.size(), 2u);
    }

    program.Signal(SIGTERM);
    EXPECT_EQ(program.Wait(), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    fs::remove_all(dir);
}

TEST(SimDeviceProgram, RejectsBadOptions) {
    for (const std::vector<std::string>& arguments : {std::vector<std::string>{"--period", "0"},
                                                      {"--period", "fast"},
                                                      {"--profile", "square"},
                                                      {"--cycle", "-1"},
                                                      {"--cycle", "inf"},
                                                      {"--temperature", "nan"},
                                                      {"--link"},
                                                      {"--bogus"}}) {
        TProgram program(arguments);
        EXPECT_EQ(program.Wait(), 2) << arguments[0];
        EXPECT_EQ(program.ReadLine(), std::nullopt) << "nothing on standard output";
    }
}

} // namespace
