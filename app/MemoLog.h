#pragma once
// The memo as the log of the frame logic: lines are appended at its end and its last line
// stays in view; its lines are what Save writes.

#include "LogLines.h"

#include <QStringList>

class QPlainTextEdit;

/// Appends log lines to a memo.
class TMemoLines final : public TLogLines {
public:
    /// Appends to Memo, which must outlive this object.
    explicit TMemoLines(QPlainTextEdit& Memo) : FMemo(Memo) {}
    /// Appends Line as the memo's last line and scrolls it into view.
    void AppendLine(const QString& Line) override;

private:
    QPlainTextEdit& FMemo;
};

/// The memo's lines as a person sees them: an empty memo has none, and a final line break
/// does not start another line.
QStringList MemoLines(const QPlainTextEdit& Memo);
