#include "undo/UndoLog.h"

#include "util/Exceptions.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <unistd.h>

namespace {

// Below this many dead bytes a log is never compacted: moving them costs more than it saves.
constexpr qint64 MinCompactBytes = 64 * 1024;

void RaiseIoError(const QIODevice& Device) {
    throw EVxStreamError(QString("Undo log error: %1").arg(Device.errorString()));
}

} // namespace

TVxUndoLog::TVxUndoLog() {
    auto buffer = std::make_unique<QBuffer>();
    buffer->open(QIODevice::ReadWrite);
    FDevice = std::move(buffer);
}

TVxUndoLog::TVxUndoLog(const QString& Folder, const QString& Base, int& Counter) {
    // Created exclusively: a name that exists (a file, a symbolic link planted by someone
    // else) is never opened, the counter moves on instead.
    for (;; ++Counter) {
        const QString name = QDir(Folder).filePath(Base + QString::number(Counter));
        const QByteArray native = QFile::encodeName(name);
        const int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST && Counter < std::numeric_limits<int>::max())
                continue;
            throw EVxStreamError(QString("Cannot create undo log %1: %2")
                                     .arg(name, QString::fromLocal8Bit(std::strerror(errno))));
        }
        auto file = std::make_unique<QFile>();
        if (!file->open(fd, QIODevice::ReadWrite, QFileDevice::AutoCloseHandle)) {
            ::close(fd);
            ::unlink(native.constData());
            RaiseIoError(*file);
        }
        FFileName = name;
        FDevice = std::move(file);
        ++Counter;
        return;
    }
}

TVxUndoLog::~TVxUndoLog() {
    FDevice->close();
    if (!FFileName.isEmpty())
        QFile::remove(FFileName);
}

void TVxUndoLog::BeginRecord(bool NewStep, const QString& Description) {
    if (!FDevice->seek(FEnd - FShift))
        RaiseIoError(*FDevice);
    FStartedStep = NewStep || FSteps.empty();
    if (FStartedStep)
        FSteps.push_back({Description, FEnd, {}});
    FSteps.back().Records.push_back(FEnd);
}

void TVxUndoLog::BeginStep(const QString& Description) {
    FSteps.push_back({Description, FEnd, {}});
    FStartedStep = false;
}

void TVxUndoLog::EndRecord() {
    FEnd = FDevice->pos() + FShift;
}

void TVxUndoLog::AbortRecord() {
    if (FSteps.empty())
        return;
    const qint64 start = FSteps.back().Records.back();
    FSteps.back().Records.pop_back();
    if (FStartedStep)
        FSteps.pop_back();
    FStartedStep = false;
    Truncate(start);
}

void TVxUndoLog::SeekRecord(int Step, int Record) {
    const qint64 offset = FSteps[size_t(Step)].Records[size_t(Record)];
    if (!FDevice->seek(offset - FShift))
        RaiseIoError(*FDevice);
}

void TVxUndoLog::DropStepsFrom(int Step) {
    if (Step >= StepCount())
        return;
    Step = std::max(Step, 0);
    const qint64 start = FSteps[size_t(Step)].Start;
    FSteps.erase(FSteps.begin() + Step, FSteps.end());
    FStartedStep = false;
    Truncate(start);
}

void TVxUndoLog::DropOldestStep(TVxUndoLog& Scratch) {
    if (FSteps.empty())
        return;
    FSteps.pop_front();
    FFront = FSteps.empty() ? FEnd : FSteps.front().Start;
    const qint64 dead = FFront - FShift;
    if (dead >= MinCompactBytes && dead > FEnd - FFront)
        Compact(Scratch);
}

void TVxUndoLog::Clear() {
    FSteps.clear();
    FFront = FEnd = FShift = 0;
    FStartedStep = false;
    Truncate(0);
}

// The valid data now ends at NewEnd (records at the end were dropped): so does the stream.
void TVxUndoLog::Truncate(qint64 NewEnd) {
    FEnd = NewEnd;
    if (FSteps.empty())
        FFront = FEnd;
    const qint64 size = FEnd - FShift;
    if (FDevice->size() <= size)
        return;
    if (auto* buffer = dynamic_cast<QBuffer*>(FDevice.get())) {
        buffer->seek(0);
        buffer->buffer().truncate(size);
    } else if (!static_cast<QFile*>(FDevice.get())->resize(size)) {
        RaiseIoError(*FDevice);
    }
}

void TVxUndoLog::Compact(TVxUndoLog& Scratch) {
    const qint64 from = FFront - FShift;
    const qint64 size = FEnd - FFront;
    if (auto* buffer = dynamic_cast<QBuffer*>(FDevice.get())) {
        // Moved within the allocation, which keeps its capacity: the log does not
        // reallocate (and fault in fresh pages) as it grows back.
        buffer->seek(0);
        QByteArray& bytes = buffer->buffer();
        std::memmove(bytes.data(), bytes.constData() + from, size_t(size));
        bytes.truncate(size);
    } else {
        // A file log: copy the live data into the scratch file, which becomes this log's
        // file; the old file becomes the scratch file, emptied.
        Scratch.Clear();
        QIODevice& target = Scratch.Device();
        if (!FDevice->seek(from) || !target.seek(0))
            RaiseIoError(*FDevice);
        std::vector<char> chunk(size_t(1) << 20);
        for (qint64 left = size; left > 0;) {
            const qint64 got =
                FDevice->read(chunk.data(), std::min<qint64>(left, qint64(chunk.size())));
            if (got <= 0)
                RaiseIoError(*FDevice);
            if (target.write(chunk.data(), got) != got)
                RaiseIoError(target);
            left -= got;
        }
        std::swap(FDevice, Scratch.FDevice);
        std::swap(FFileName, Scratch.FFileName);
        Scratch.Clear();
    }
    FShift = FFront;
}
