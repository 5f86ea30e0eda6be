#pragma once
// The log view as the log of the frame logic: lines are appended at its end and its last
// line stays in view; its lines are what Save writes.

#include "LogLines.h"

#include <QStringList>

class TLogView;

/// Appends log lines to a log view.
class TMemoLines final : public TLogLines {
public:
    /// Appends to Memo, which must outlive this object.
    explicit TMemoLines(TLogView& Memo) : FMemo(Memo) {}
    /// Appends Line as the view's last line and scrolls it into view.
    void AppendLine(const QString& Line) override;

private:
    TLogView& FMemo;
};

/// The view's lines as a person sees them.
QStringList MemoLines(const TLogView& Memo);
