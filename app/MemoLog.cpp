#include "MemoLog.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>

void TMemoLines::AppendLine(const QString& Line) {
    FMemo.appendPlainText(Line);
    // appendPlainText follows the end only when the view was already there; the log always
    // shows its newest line.
    FMemo.verticalScrollBar()->setValue(FMemo.verticalScrollBar()->maximum());
}

QStringList MemoLines(const QPlainTextEdit& Memo) {
    QStringList lines;
    for (QTextBlock block = Memo.document()->begin(); block.isValid(); block = block.next())
        lines += block.text().split(QChar::LineSeparator);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}
