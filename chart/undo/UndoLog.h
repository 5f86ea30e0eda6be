#pragma once
// One log of the undo stack: an append-only byte stream (in memory or in an exclusively
// created temporary file) with the start offset of every record, grouped into steps.
//
// Dropping the oldest step only moves the logical front; the live data is moved to the
// start of the stream once the dead bytes before it outweigh it, so every byte is moved a
// bounded number of times however many steps pass through a log with a limit.

#include <QIODevice>
#include <QString>
#include <deque>
#include <memory>
#include <vector>

class TVxUndoLog {
public:
    /// A log in memory.
    TVxUndoLog();
    /// A log in a new file in Folder named Base followed by Counter, created exclusively
    /// with mode 0600; Counter is raised past every name that exists. Raises
    /// EVxStreamError when no file can be created.
    TVxUndoLog(const QString& Folder, const QString& Base, int& Counter);
    /// Closes the log and deletes its file.
    ~TVxUndoLog();

    TVxUndoLog(const TVxUndoLog&) = delete;
    TVxUndoLog& operator=(const TVxUndoLog&) = delete;

    /// The file holding the log, empty for a log in memory.
    QString FileName() const { return FFileName; }
    /// The stream the records are written to and read from.
    QIODevice& Device() { return *FDevice; }

    /// Number of steps held.
    int StepCount() const { return int(FSteps.size()); }
    /// The description of step Step (0 is the oldest).
    const QString& StepDescription(int Step) const { return FSteps[size_t(Step)].Description; }
    /// Number of records in step Step.
    int RecordCount(int Step) const { return int(FSteps[size_t(Step)].Records.size()); }
    /// Bytes of valid data (from the oldest record to the end).
    qint64 DataSize() const { return FEnd - FFront; }
    /// Bytes the stream holds, including data dropped but not yet moved away.
    qint64 StreamSize() const { return FDevice->size(); }

    /// Positions the stream at the end of the valid data and registers a record there,
    /// starting a new step described Description when NewStep is set (or no step exists).
    void BeginRecord(bool NewStep, const QString& Description);
    /// Starts an empty step described Description at the end of the valid data.
    void BeginStep(const QString& Description);
    /// The record written since BeginRecord ends at the stream's position.
    void EndRecord();
    /// Forgets the record begun last (and its step when it started one).
    void AbortRecord();
    /// Positions the stream at record Record of step Step.
    void SeekRecord(int Step, int Record);

    /// Removes step Step and every newer one.
    void DropStepsFrom(int Step);
    /// Removes the oldest step; Scratch receives the live data when a file log is compacted.
    void DropOldestStep(TVxUndoLog& Scratch);
    /// Removes every step and empties the stream.
    void Clear();

private:
    struct TStep {
        QString Description;
        qint64 Start;                ///< logical offset where the step's data begins
        std::vector<qint64> Records; ///< logical start offsets
    };

    void Truncate(qint64 NewEnd);
    void Compact(TVxUndoLog& Scratch);

    std::deque<TStep> FSteps;
    qint64 FFront = 0; ///< logical offset of the oldest record
    qint64 FEnd = 0;   ///< logical end of the valid data
    qint64 FShift = 0; ///< logical offset of stream position 0
    bool FStartedStep = false;
    std::unique_ptr<QIODevice> FDevice;
    QString FFileName;
};
