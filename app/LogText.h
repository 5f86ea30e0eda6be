#pragma once
// The saved form of the log: each line followed by CR LF, in the Windows-1252 code page
// ("º" is the one byte 0xBA), no byte-order mark. Used by the window's Save and by the
// headless logger's log file.

#include <QByteArray>
#include <QString>
#include <QStringList>

/// Line in Windows-1252; a character the code page cannot encode becomes one "?".
QByteArray EncodeWindows1252(const QString& Line);
/// Every line in Windows-1252, each followed by CR LF; no lines give no bytes.
QByteArray EncodeLogLines(const QStringList& Lines);

/// Writes Lines to FileName atomically, replacing the file: either the whole new text is
/// there afterwards or the old file is untouched. False with the reason in ErrorText when
/// the file could not be written.
bool SaveLogLines(const QString& FileName, const QStringList& Lines, QString& ErrorText);

/// A log file that grows by whole lines: each line is appended in the saved form and forced
/// to the disk before AppendLine returns, so a crash or power cut loses nothing logged.
class TLogFileAppender {
public:
    /// Opens (creating if needed) FileName for appending; throws std::runtime_error with
    /// the reason when it cannot.
    explicit TLogFileAppender(const QString& FileName);
    /// Closes the file.
    ~TLogFileAppender();
    TLogFileAppender(const TLogFileAppender&) = delete;
    TLogFileAppender& operator=(const TLogFileAppender&) = delete;

    /// Appends one line and CR LF and waits until it is on the disk; throws
    /// std::runtime_error with the reason when it cannot.
    void AppendLine(const QString& Line);
    /// The file name as given.
    const QString& FileName() const { return FFileName; }

private:
    QString FFileName;
    int FFd = -1;
};
