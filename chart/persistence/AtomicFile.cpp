#include "persistence/AtomicFile.h"

#include "util/Exceptions.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Writes the pieces of a file's contents to where they belong: a regular file (or a new
// one) through a temporary file that replaces it only when complete; a device, pipe or
// socket in the file's place is opened and written in place, since replacing it by a
// regular file would destroy it (and a full device must report its error). The test
// follows symbolic links, so a link to a device is a device, and a link to a regular
// file keeps the link (QSaveFile replaces the file it points to).
class TFileTarget {
public:
    explicit TFileTarget(const QString& FileName) : FSave(FileName) {
        const QByteArray path = QFile::encodeName(FileName);
        struct stat status {};
        FInPlace = ::stat(path.constData(), &status) == 0 && !S_ISREG(status.st_mode) &&
                   !S_ISDIR(status.st_mode);
        if (!FInPlace) {
            FOk = FSave.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
            return;
        }
        // Never created or truncated here: the thing is there and stays what it is.
        do
            FDescriptor = ::open(path.constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        while (FDescriptor < 0 && errno == EINTR);
        FOk = FDescriptor >= 0;
        if (!FOk)
            FReason = QString::fromLocal8Bit(std::strerror(errno));
    }
    ~TFileTarget() {
        if (FDescriptor >= 0)
            ::close(FDescriptor);
        // An uncommitted QSaveFile discards its temporary file.
    }
    TFileTarget(const TFileTarget&) = delete;
    TFileTarget& operator=(const TFileTarget&) = delete;

    // Writes all of Data; after the first failure nothing more is written. Unbuffered, so
    // that a short write (a full device, a file-size limit) shows here: through its
    // buffer, QSaveFile reports the whole text written and commits a truncated file.
    void Write(const char* Data, qint64 Size) {
        qint64 done = 0;
        while (FOk && done < Size) {
            qint64 n;
            if (FInPlace) {
                do
                    n = ::write(FDescriptor, Data + done, size_t(Size - done));
                while (n < 0 && errno == EINTR);
                if (n <= 0)
                    FReason = n < 0 ? QString::fromLocal8Bit(std::strerror(errno))
                                    : QStringLiteral("the text was not written whole");
            } else {
                n = FSave.write(Data + done, Size - done);
            }
            FOk = n > 0;
            done += std::max<qint64>(n, 0);
        }
        FTotal += done;
    }

    // Completes the file: true when every byte went where it belongs.
    bool Commit() {
        if (!FOk)
            return false;
        if (FInPlace) {
            const int result = ::close(FDescriptor);
            FDescriptor = -1;
            if (result != 0)
                FReason = QString::fromLocal8Bit(std::strerror(errno));
            return result == 0;
        }
        return FSave.size() == FTotal && FSave.commit();
    }

    // Why the file was not written.
    QString Reason() const {
        if (!FReason.isEmpty())
            return FReason;
        return !FInPlace && FSave.error() != QFileDevice::NoError
                   ? FSave.errorString()
                   : QStringLiteral("the text was not written whole");
    }

private:
    QSaveFile FSave;
    bool FInPlace = false;
    bool FOk = false;
    int FDescriptor = -1;
    qint64 FTotal = 0;
    QString FReason;
};

} // namespace

bool TryWriteFileAtomically(const QString& FileName, const QByteArray& Contents, QString& Reason) {
    TFileTarget target(FileName);
    target.Write(Contents.constData(), Contents.size());
    if (target.Commit())
        return true;
    Reason = target.Reason();
    return false;
}

void WriteFileAtomically(const QString& FileName, const QByteArray& Contents) {
    QString reason;
    if (!TryWriteFileAtomically(FileName, Contents, reason))
        throw EVxStreamError(QString("Cannot write %1: %2").arg(FileName, reason));
}

void WriteFileAtomically(const QString& FileName,
                         const std::function<void(const TVxByteSink&)>& Produce) {
    TFileTarget target(FileName);
    // Pieces are written as they come; after the first failure the rest are ignored.
    Produce([&target](const char* Data, qint64 Size) { target.Write(Data, Size); });
    if (!target.Commit())
        throw EVxStreamError(QString("Cannot write %1: %2").arg(FileName, target.Reason()));
}

QByteArray ReadWholeFile(const QString& FileName) {
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EVxStreamError(QString("Cannot open %1: %2").arg(FileName, file.errorString()));
    QByteArray contents = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EVxStreamError(QString("Cannot read %1: %2").arg(FileName, file.errorString()));
    return contents;
}
