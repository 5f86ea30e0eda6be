// The project's scripts where a new user meets them: setup without root, test summaries.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Failure messages show texts as text.
static void PrintTo(const QString& Text, std::ostream* Stream) {
    *Stream << '"' << Text.toStdString() << '"';
}

namespace {

const QString Scripts = QStringLiteral(QUENBY_SOURCE_DIR "/scripts");

struct TRun {
    int Status = -1; // -1: did not end by itself
    QString Out;
    QString Err;
};

TRun RunProgram(const QString& Program, const QStringList& Arguments,
                const QProcessEnvironment& Environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(Environment);
    process.start(Program, Arguments);
    TRun run;
    if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit)
        run.Status = process.exitCode();
    else
        process.kill();
    run.Out = QString::fromUtf8(process.readAllStandardOutput());
    run.Err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

bool WriteFile(const QString& Name, const QByteArray& Text, bool Executable = false) {
    QFile file(Name);
    if (!file.open(QIODevice::WriteOnly) || file.write(Text) != Text.size())
        return false;
    file.close();
    return !Executable || file.setPermissions(file.permissions() | QFile::ExeOwner);
}

} // namespace

TEST(ScriptsTest, SetupWithoutRootAndWithoutSudoSaysWhatToDo) {
    // A user who is not root, on a machine where nothing is installed yet and sudo is not:
    // the commands the script needs, with id and dpkg-query telling that story.
    QTemporaryDir dir;
    const QString bin = dir.filePath("bin");
    ASSERT_TRUE(QDir().mkpath(bin));
    ASSERT_TRUE(WriteFile(bin + "/id", "#!/bin/sh\necho 1000\n", true));
    ASSERT_TRUE(WriteFile(bin + "/dpkg-query", "#!/bin/sh\nexit 1\n", true));
    for (const char* tool : {"dirname", "grep", "sed"}) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(tool));
        ASSERT_FALSE(path.isEmpty()) << tool;
        ASSERT_TRUE(QFile::link(path, bin + '/' + tool)) << tool;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("PATH", bin);
    environment.insert("LC_ALL", "C");

    const TRun run = RunProgram("/bin/bash", {Scripts + "/setup.sh"}, environment);
    EXPECT_EQ(run.Status, 1) << run.Err.toStdString();
    EXPECT_TRUE(run.Err.contains("needs root, and sudo is not installed")) << run.Err.toStdString();
    EXPECT_TRUE(
        run.Err.contains("Run it as root (su -c " + Scripts + "/setup.sh), or install sudo."))
        << run.Err.toStdString();
    EXPECT_FALSE(run.Err.contains("not found")) << run.Err.toStdString();
}

TEST(ScriptsTest, SkipReasonsOfTheLastTestRunAreListed) {
    const QString ctest = QStandardPaths::findExecutable("ctest");
    ASSERT_FALSE(ctest.isEmpty());
    // Test programs that print what a GoogleTest program prints for a skip, with and
    // without a reason (a reason may take two lines), and one that passes.
    const QByteArray skipWithReason =
        R"(printf '[ RUN      ] Probe.Skips\na.cpp:9: Skipped\nrunning as\nroot\n[  SKIPPED ] Probe.Skips (0 ms)\n')";
    const QByteArray skipSilently =
        R"(printf '[ RUN      ] Probe.SkipsSilently\na.cpp:12: Skipped\n\n[  SKIPPED ] Probe.SkipsSilently (0 ms)\n')";
    const QByteArray testFile =
        "add_test(Probe.Skips sh -c \"" + skipWithReason + "\")\n" +
        "add_test(Probe.SkipsSilently sh -c \"" + skipSilently + "\")\n" +
        "add_test(Probe.Passes sh -c \"echo '[       OK ] Probe.Passes (0 ms)'\")\n" +
        "set_tests_properties(Probe.Skips Probe.SkipsSilently PROPERTIES "
        "SKIP_REGULAR_EXPRESSION \"\\\\[  SKIPPED \\\\]\")\n";
    QTemporaryDir dir;
    ASSERT_TRUE(WriteFile(dir.filePath("CTestTestfile.cmake"), testFile));
    const TRun tests = RunProgram(ctest, {"--test-dir", dir.path()});
    ASSERT_EQ(tests.Status, 0) << tests.Out.toStdString() << tests.Err.toStdString();
    ASSERT_TRUE(tests.Out.contains("Probe.Skips (Skipped)")) << tests.Out.toStdString();

    const TRun skipped = RunProgram("/bin/bash", {Scripts + "/skipped.sh", dir.path()});
    EXPECT_EQ(skipped.Status, 0) << skipped.Err.toStdString();
    EXPECT_EQ(skipped.Out, "Skipped tests and why:\n"
                           "  Probe.Skips: running as root\n"
                           "  Probe.SkipsSilently: no reason given\n");

    // A run in which nothing skipped adds nothing to the summary.
    QTemporaryDir quiet;
    ASSERT_TRUE(WriteFile(quiet.filePath("CTestTestfile.cmake"), "add_test(Probe.Passes true)\n"));
    ASSERT_EQ(RunProgram(ctest, {"--test-dir", quiet.path()}).Status, 0);
    const TRun none = RunProgram("/bin/bash", {Scripts + "/skipped.sh", quiet.path()});
    EXPECT_EQ(none.Status, 0);
    EXPECT_EQ(none.Out, QString());
}
