// The undo log: records survive dropping old steps, and the stream stays within a bounded
// multiple of the live data however many steps pass through it.

#include "undo/UndoLog.h"

#include "persistence/BinaryStream.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Bytes below which a log never compacts (kept in step with UndoLog.cpp).
constexpr qint64 MinCompactBytes = 64 * 1024;

// A record of Step and Index with a payload whose size and bytes follow from them.
int PayloadSize(int Step, int Index) {
    return 500 * ((Step * 3 + Index) % 11 + 1);
}

void WriteRecord(TVxUndoLog& Log, bool NewStep, int Step, int Index) {
    Log.BeginRecord(NewStep, QString("Step %1").arg(Step));
    TVxStreamWriter out(Log.Device());
    out.WriteInt32(Step);
    out.WriteInt32(Index);
    const QByteArray payload(PayloadSize(Step, Index), char('a' + (Step + Index) % 26));
    out.WriteInt32(int32_t(payload.size()));
    out.WriteRaw(payload.constData(), payload.size());
    Log.EndRecord();
}

void ExpectRecord(TVxUndoLog& Log, int StepIdx, int Index, int Step) {
    Log.SeekRecord(StepIdx, Index);
    TVxStreamReader in(Log.Device());
    ASSERT_EQ(in.ReadInt32(), Step);
    ASSERT_EQ(in.ReadInt32(), Index);
    const int size = in.ReadInt32();
    ASSERT_EQ(size, PayloadSize(Step, Index));
    const QByteArray payload = Log.Device().read(size);
    ASSERT_EQ(payload, QByteArray(size, char('a' + (Step + Index) % 26)));
}

class UndoLogTest : public ::testing::TestWithParam<bool> {
protected:
    std::unique_ptr<TVxUndoLog> MakeLog(int& Counter) {
        if (GetParam())
            return std::make_unique<TVxUndoLog>();
        return std::make_unique<TVxUndoLog>(Dir.path(), "log.", Counter);
    }
    int FileCount() const { return int(QDir(Dir.path()).entryList(QDir::Files).size()); }

    QTemporaryDir Dir;
};

INSTANTIATE_TEST_SUITE_P(Logs, UndoLogTest, ::testing::Values(true, false),
                         [](const auto& Info) { return Info.param ? "Memory" : "Files"; });

TEST_P(UndoLogTest, OldStepsDropWithoutLosingTheRestOrGrowingTheStream) {
    int counter = 0;
    auto log = MakeLog(counter);
    auto scratch = MakeLog(counter);
    constexpr int Keep = 20;
    for (int step = 0; step < 400; ++step) {
        WriteRecord(*log, true, step, 0);
        WriteRecord(*log, false, step, 1);
        if (log->StepCount() > Keep)
            log->DropOldestStep(*scratch);
        ASSERT_LE(log->StreamSize(), 2 * log->DataSize() + MinCompactBytes) << step;
    }
    ASSERT_EQ(log->StepCount(), Keep);
    for (int k = 0; k < Keep; ++k) {
        EXPECT_EQ(log->StepDescription(k), QString("Step %1").arg(400 - Keep + k));
        ExpectRecord(*log, k, 0, 400 - Keep + k);
        ExpectRecord(*log, k, 1, 400 - Keep + k);
    }
    if (!GetParam()) {
        EXPECT_EQ(FileCount(), 2);
    }
    log.reset();
    scratch.reset();
    EXPECT_EQ(FileCount(), 0);
}

TEST_P(UndoLogTest, DroppedAndAbortedRecordsFreeTheirSpace) {
    int counter = 0;
    auto log = MakeLog(counter);
    for (int step = 0; step < 6; ++step)
        WriteRecord(*log, true, step, 0);
    const qint64 sizeOfThree = 3 * 12 + PayloadSize(0, 0) + PayloadSize(1, 0) + PayloadSize(2, 0);
    log->DropStepsFrom(3);
    EXPECT_EQ(log->StepCount(), 3);
    EXPECT_EQ(log->StreamSize(), sizeOfThree);
    // An aborted record that opened a step takes its step with it.
    log->BeginRecord(true, "aborted");
    log->Device().write("partial");
    log->AbortRecord();
    EXPECT_EQ(log->StepCount(), 3);
    EXPECT_EQ(log->StreamSize(), sizeOfThree);
    // Writing continues at the end of the valid data.
    WriteRecord(*log, true, 7, 0);
    WriteRecord(*log, false, 7, 1);
    ExpectRecord(*log, 2, 0, 2);
    ExpectRecord(*log, 3, 0, 7);
    ExpectRecord(*log, 3, 1, 7);
    log->Clear();
    EXPECT_EQ(log->StepCount(), 0);
    EXPECT_EQ(log->StreamSize(), 0);
}

} // namespace
