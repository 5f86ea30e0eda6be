#include "persistence/AtomicFile.h"

#include "util/Exceptions.h"

#include <QFile>
#include <QSaveFile>

void WriteFileAtomically(const QString& FileName, const QByteArray& Contents) {
    QSaveFile file(FileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(Contents) != Contents.size() ||
        !file.commit())
        throw EVxStreamError(QString("Cannot write %1: %2").arg(FileName, file.errorString()));
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
