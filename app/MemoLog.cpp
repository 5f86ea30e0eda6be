#include "MemoLog.h"

#include "LogView.h"

void TMemoLines::AppendLine(const QString& Line) {
    FMemo.AppendLine(Line);
}

QStringList MemoLines(const TLogView& Memo) {
    return Memo.Lines();
}
