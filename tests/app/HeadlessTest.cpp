// The program without a window, run as a person or a supervisor runs it.

#include "LogText.h"
#include "tools/SimDevice.h"
#include "tools/SimFrame.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>
#include <thread>

namespace {

const QRegularExpression
    LogLine(QString::fromUtf8(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d; \d+\.\dºC$)"));

// The program, started with Arguments; its output is read as it comes.
class TProgram {
public:
    explicit TProgram(const QStringList& Arguments) {
        // Lines show the locale's decimal separator: fix the locale for the expected texts.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("LC_ALL", "C.UTF-8");
        // No display, and a platform that would abort without one: the headless program
        // must not load it.
        environment.remove("DISPLAY");
        environment.remove("WAYLAND_DISPLAY");
        environment.insert("QT_QPA_PLATFORM", "xcb");
        FProcess.setProcessEnvironment(environment);
        FProcess.start(QStringLiteral(QUENBY_EXE), Arguments);
        EXPECT_TRUE(FProcess.waitForStarted(5000));
    }
    ~TProgram() {
        if (FProcess.state() != QProcess::NotRunning) {
            FProcess.kill();
            FProcess.waitForFinished(5000);
        }
    }
    // Waits until standard output holds Count lines; all lines so far.
    QStringList WaitForLines(int Count, int TimeoutMs) {
        [[maybe_unused]] const bool enough = QTest::qWaitFor(
            [&] {
                FOut += FProcess.readAllStandardOutput();
                return Lines().size() >= Count || FProcess.state() == QProcess::NotRunning;
            },
            TimeoutMs);
        return Lines();
    }
    QStringList Lines() const {
        QStringList lines = QString::fromUtf8(FOut).split('\n');
        lines.removeAll(QString());
        return lines;
    }
    // Sends Signal and waits for the end; the exit status, or -1 when it did not end.
    int Stop(int Signal) {
        ::kill(pid_t(FProcess.processId()), Signal);
        return Wait();
    }
    int Wait() {
        if (!FProcess.waitForFinished(10000) || FProcess.exitStatus() != QProcess::NormalExit)
            return -1;
        FOut += FProcess.readAllStandardOutput();
        return FProcess.exitCode();
    }
    QString Errors() { return QString::fromUtf8(FProcess.readAllStandardError()); }

private:
    QProcess FProcess;
    QByteArray FOut;
};

QByteArray ReadFile(const QString& Name) {
    QFile file(Name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace

TEST(HeadlessTest, DemoLogsRealFramesToOutputAndFileAndStopsCleanly) {
    QTemporaryDir dir;
    const QString log = dir.filePath("temperatures.log");
    {
        QFile old(log); // an existing log grows
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("earlier\r\n");
    }
    TProgram program({"--headless", "--demo", "--log", log});
    const QStringList lines = program.WaitForLines(2, 10000);
    ASSERT_GE(lines.size(), 2) << program.Errors().toStdString();
    EXPECT_EQ(program.Stop(SIGTERM), 0) << program.Errors().toStdString();

    const QStringList all = program.Lines();
    for (const QString& line : all)
        EXPECT_TRUE(LogLine.match(line).hasMatch()) << line.toStdString();
    EXPECT_EQ(ReadFile(log), "earlier\r\n" + EncodeLogLines(all));
}

TEST(HeadlessTest, JunkAndSplitFramesAreDroppedAndAVanishedDeviceEndsWithAnError) {
    TSimDevice device;
    TProgram program({"--headless", "--port", QString::fromStdString(device.SlavePath())});
    const auto frame = [](std::uint16_t tenths) {
        const auto f = EncodeSimFrame(tenths, 0);
        return std::vector<std::uint8_t>(f.begin(), f.end());
    };
    // Frames sent before the port is open are cleared at the open: repeat the first until
    // it is logged.
    for (int i = 0; i < 50 && program.WaitForLines(1, 200).isEmpty(); ++i)
        device.WriteBytes(frame(234));
    ASSERT_EQ(program.Lines().size(), 1) << program.Errors().toStdString();

    // Blocks far enough apart to arrive one by one.
    auto write = [&](const std::vector<std::uint8_t>& bytes) {
        device.WriteBytes(bytes);
        QTest::qWait(150);
    };
    write({'j', 'u', 'n', 'k', '!'});
    QTest::qWait(3000); // past the interval of 3 s
    const std::vector<std::uint8_t> split = frame(300);
    write({split.begin(), split.begin() + 3});
    write({split.begin() + 3, split.end()});
    write(frame(251));

    const QStringList lines = program.WaitForLines(2, 3000);
    ASSERT_EQ(lines.size(), 2) << program.Errors().toStdString();
    EXPECT_TRUE(lines[0].endsWith(QString::fromUtf8("; 23.4ºC")));
    EXPECT_TRUE(lines[1].endsWith(QString::fromUtf8("; 25.1ºC")));

    device.Unplug();
    EXPECT_EQ(program.Wait(), 1);
    const QString errors = program.Errors();
    EXPECT_TRUE(errors.contains("Error ")) << errors.toStdString();
    EXPECT_TRUE(errors.contains("the device is gone")) << errors.toStdString();
}

TEST(HeadlessTest, ALogFileThatCannotBeWrittenEndsTheProgram) {
    // /dev/full opens but takes no byte: the first reading cannot be kept.
    TProgram program({"--headless", "--demo", "--log", "/dev/full"});
    EXPECT_EQ(program.Wait(), 1);
    EXPECT_TRUE(program.Lines().isEmpty());
    const QString errors = program.Errors();
    EXPECT_TRUE(errors.contains("Cannot write log file \"/dev/full\": ")) << errors.toStdString();
}

TEST(HeadlessTest, WrongArgumentsExitWithStatus2) {
    TProgram program({"--headless", "--interval", "0"});
    EXPECT_EQ(program.Wait(), 2);
    EXPECT_TRUE(program.Errors().contains("--help"));
}
