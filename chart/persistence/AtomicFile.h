#pragma once
// Whole-file writes that never destroy the file that was there, and whole-file reads with
// clear errors.

#include <QByteArray>
#include <QString>
#include <functional>

/// Writes Contents to FileName through a temporary file that replaces it only when complete;
/// on failure returns false with the system's reason in Reason (the old file is untouched).
/// A device, pipe or socket in the file's place (a link to one included) is written in
/// place and never replaced; a link to a regular file stays a link to the new file.
bool TryWriteFileAtomically(const QString& FileName, const QByteArray& Contents, QString& Reason);
/// TryWriteFileAtomically that raises EVxStreamError naming the file and the reason.
void WriteFileAtomically(const QString& FileName, const QByteArray& Contents);
/// Receives the bytes of a file being written, piece after piece.
using TVxByteSink = std::function<void(const char* Data, qint64 Size)>;
/// WriteFileAtomically for contents produced in pieces: Produce hands them to the sink it
/// is given, so that a large text never needs to exist whole in memory.
void WriteFileAtomically(const QString& FileName,
                         const std::function<void(const TVxByteSink&)>& Produce);
/// The whole file; raises EVxStreamError naming the file and the reason.
QByteArray ReadWholeFile(const QString& FileName);
