#include "persistence/AtomicFile.h"

#include "util/Exceptions.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>

namespace {

// Writes all of Contents. Unbuffered, so that a short write (a full device, a file-size
// limit) shows here: through its buffer, QSaveFile reports the whole text written and
// commits a truncated file.
bool WriteAll(QSaveFile& File, const QByteArray& Contents) {
    qint64 done = 0;
    while (done < Contents.size()) {
        const qint64 n = File.write(Contents.constData() + done, Contents.size() - done);
        if (n <= 0)
            return false;
        done += n;
    }
    return File.size() == Contents.size();
}

} // namespace

bool TryWriteFileAtomically(const QString& FileName, const QByteArray& Contents, QString& Reason) {
    QSaveFile file(FileName);
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && WriteAll(file, Contents) &&
        file.commit())
        return true;
    Reason = file.error() != QFileDevice::NoError
                 ? file.errorString()
                 : QStringLiteral("the text was not written whole");
    return false; // an uncommitted QSaveFile discards its temporary file
}

void WriteFileAtomically(const QString& FileName, const QByteArray& Contents) {
    QString reason;
    if (!TryWriteFileAtomically(FileName, Contents, reason))
        throw EVxStreamError(QString("Cannot write %1: %2").arg(FileName, reason));
}

void WriteFileAtomically(const QString& FileName,
                         const std::function<void(const TVxByteSink&)>& Produce) {
    QSaveFile file(FileName);
    bool ok = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    qint64 total = 0;
    // Pieces are written as they come; after the first failure the rest are ignored.
    const TVxByteSink sink = [&](const char* Data, qint64 Size) {
        qint64 done = 0;
        while (ok && done < Size) {
            const qint64 n = file.write(Data + done, Size - done);
            ok = n > 0;
            done += std::max<qint64>(n, 0);
        }
        total += done;
    };
    Produce(sink);
    if (ok && file.size() == total && file.commit())
        return;
    const QString reason = file.error() != QFileDevice::NoError
                               ? file.errorString()
                               : QStringLiteral("the text was not written whole");
    throw EVxStreamError(QString("Cannot write %1: %2").arg(FileName, reason));
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
