// What a person meets on starting the program: without a display, with a port that cannot
// be opened. The real program runs, in an environment without a display.

#include "tools/SimDevice.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>
#include <utility>
#include <vector>

// Failure messages show texts as text.
static void PrintTo(const QString& Text, std::ostream* Stream) {
    *Stream << '"' << Text.toStdString() << '"';
}

namespace {

const QString NoDisplayText = QStringLiteral("quenby: no display: use --headless, see --help\n");

// The test's environment without any display; Changes are applied on top.
QProcessEnvironment WithoutDisplay(const std::vector<std::pair<QString, QString>>& Changes = {}) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE"})
        environment.remove(QString::fromLatin1(name));
    environment.insert("LC_ALL", "C.UTF-8");
    for (const auto& [name, value] : Changes)
        environment.insert(name, value);
    return environment;
}

// A platform plugin that needs a display and has none aborts the program, so a program that
// loads one in this environment fails the test.
QProcessEnvironment XcbWithoutDisplay() {
    return WithoutDisplay({{"QT_QPA_PLATFORM", "xcb"}});
}

struct TRun {
    bool Exited = false; // ended by itself with an exit status (not killed, not crashed)
    int Status = -1;
    QString Out;
    QString Err;
};

TRun RunProgram(const QStringList& Arguments, const QProcessEnvironment& Environment) {
    QProcess process;
    process.setProcessEnvironment(Environment);
    process.start(QStringLiteral(QUENBY_EXE), Arguments);
    TRun run;
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished(5000);
    } else {
        run.Exited = process.exitStatus() == QProcess::NormalExit;
        run.Status = process.exitCode();
    }
    run.Out = QString::fromUtf8(process.readAllStandardOutput());
    run.Err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// Whether process Pid has a handler installed for Signal (the SigCgt mask of /proc).
bool CatchesSignal(qint64 Pid, int Signal) {
    QFile status(QStringLiteral("/proc/%1/status").arg(Pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (Signal - 1)) & 1;
    return false;
}

} // namespace

TEST(StartupTest, WithoutADisplayTheWindowSaysToUseHeadless) {
    struct TCase {
        const char* Situation;
        std::vector<std::pair<QString, QString>> Environment;
        QStringList Arguments;
    };
    const std::vector<TCase> cases = {
        {"no display variable", {}, {}},
        {"no display variable, demo", {}, {"--demo"}},
        {"a display without a server", {{"DISPLAY", ":97"}}, {"--demo"}},
        {"a network display that refuses", {{"DISPLAY", "127.0.0.1:97"}}, {}},
        {"xcb asked for", {{"QT_QPA_PLATFORM", "xcb"}}, {}},
        {"a Wayland session without a compositor",
         {{"XDG_SESSION_TYPE", "wayland"}, {"WAYLAND_DISPLAY", "quenby-no-compositor"}},
         {}},
        {"wayland asked for, no compositor",
         {{"QT_QPA_PLATFORM", "wayland"}, {"WAYLAND_DISPLAY", "quenby-no-compositor"}},
         {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Situation);
        const TRun run = RunProgram(c.Arguments, WithoutDisplay(c.Environment));
        EXPECT_TRUE(run.Exited) << run.Err.toStdString();
        EXPECT_EQ(run.Status, 2);
        EXPECT_EQ(run.Err, NoDisplayText);
        EXPECT_EQ(run.Out, QString());
    }
}

TEST(StartupTest, APlatformThatNeedsNoDisplayShowsTheWindow) {
    for (const char* platform : {"offscreen", "xcb;offscreen"}) {
        SCOPED_TRACE(platform);
        QProcess process;
        process.setProcessEnvironment(WithoutDisplay({{"QT_QPA_PLATFORM", platform}}));
        process.start(QStringLiteral(QUENBY_EXE), {"--demo"});
        ASSERT_TRUE(process.waitForStarted(5000));
        // The window's SIGTERM handler is in place once the window is about to show.
        const bool ready = QTest::qWaitFor(
            [&] {
                return CatchesSignal(process.processId(), SIGTERM) ||
                       process.state() == QProcess::NotRunning;
            },
            30000);
        ASSERT_TRUE(ready);
        ASSERT_EQ(process.state(), QProcess::Running)
            << process.readAllStandardError().toStdString();
        ::kill(pid_t(process.processId()), SIGTERM);
        ASSERT_TRUE(process.waitForFinished(10000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0);
        EXPECT_FALSE(process.readAllStandardError().contains("no display"));
    }
}

TEST(StartupTest, HelpAndThePortListNeedNoDisplay) {
    const TRun help = RunProgram({"--help"}, XcbWithoutDisplay());
    EXPECT_TRUE(help.Exited) << help.Err.toStdString();
    EXPECT_EQ(help.Status, 0);
    EXPECT_TRUE(help.Out.contains("use --headless")) << help.Out.toStdString();

    QProcessEnvironment environment = XcbWithoutDisplay();
    environment.insert("QUENBY_EXTRA_PORTS", "/dev/quenby-extra-port");
    const TRun list = RunProgram({"--list-ports"}, environment);
    EXPECT_TRUE(list.Exited) << list.Err.toStdString();
    EXPECT_EQ(list.Status, 0);
    EXPECT_TRUE(list.Out.endsWith("/dev/quenby-extra-port\n")) << list.Out.toStdString();
    EXPECT_EQ(list.Err, QString());
}

TEST(StartupTest, HeadlessNamesThePortAndWhatIsWrongWithIt) {
    QTemporaryDir dir;
    const QString plainFile = dir.filePath("hosts");
    {
        QFile file(plainFile);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("127.0.0.1 localhost\n");
    }
    // A port that another program holds: the simulated device's terminal, locked here.
    TSimDevice device;
    const QString busy = QString::fromStdString(device.SlavePath());
    const int lockFd = ::open(device.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(lockFd, 0);
    ASSERT_EQ(::flock(lockFd, LOCK_EX | LOCK_NB), 0);

    const std::vector<std::pair<QString, QString>> cases = {
        {"/dev/quenby-no-such-port", "cannot open /dev/quenby-no-such-port: no such device"},
        {"quenby-no-such-port", "cannot open /dev/quenby-no-such-port: no such device"},
        {plainFile, plainFile + " is not a serial port"},
        {dir.path(), dir.path() + " is not a serial port"},
        {"/dev/null", "/dev/null is not a serial port"},
        {busy, busy + " is in use by another program"},
    };
    for (const auto& [port, message] : cases) {
        SCOPED_TRACE(port.toStdString());
        const TRun run = RunProgram({"--headless", "--port", port}, XcbWithoutDisplay());
        EXPECT_TRUE(run.Exited) << run.Err.toStdString();
        EXPECT_EQ(run.Status, 1);
        EXPECT_EQ(run.Err, message + '\n');
        EXPECT_EQ(run.Out, QString());
    }
    ::close(lockFd);
}
