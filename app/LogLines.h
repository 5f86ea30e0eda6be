#pragma once
// Where the frame logic appends its log lines: the window's memo, the headless logger's
// output and log file, or a plain list in tests.

#include <QString>
#include <QStringList>

class TLogLines {
public:
    virtual ~TLogLines() = default;
    /// Appends one line at the end of the log.
    virtual void AppendLine(const QString& Line) = 0;
};

/// A log kept as a list of lines.
class TStringListLog : public TLogLines {
public:
    void AppendLine(const QString& Line) override { Lines.append(Line); }
    QStringList Lines;
};
