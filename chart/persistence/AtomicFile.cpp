#include "persistence/AtomicFile.h"

#include "util/Exceptions.h"

#include <QFile>
#include <QSaveFile>

bool TryWriteFileAtomically(const QString& FileName, const QByteArray& Contents, QString& Reason) {
    QSaveFile file(FileName);
    if (file.open(QIODevice::WriteOnly) && file.write(Contents) == Contents.size() && file.commit())
        return true;
    Reason = file.errorString();
    return false; // an uncommitted QSaveFile discards its temporary file
}

void WriteFileAtomically(const QString& FileName, const QByteArray& Contents) {
    QString reason;
    if (!TryWriteFileAtomically(FileName, Contents, reason))
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
