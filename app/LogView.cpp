#include "LogView.h"

#include "LogText.h"
#include "persistence/AtomicFile.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <climits>
#include <cstring>
#include <optional>

namespace {

constexpr int ChunkBits = 24, OffsetBits = 20, LengthBits = 20;
constexpr std::uint64_t FieldMask = (std::uint64_t(1) << 20) - 1;
static_assert(ChunkBits + OffsetBits + LengthBits == 64);
static_assert(TLogLineStore::ChunkSize == (std::size_t(1) << OffsetBits));
// Text starts this far from the view's left edge.
constexpr int Margin = 2;

// The longest prefix of Utf8 not longer than Limit that ends on a character boundary.
std::string_view CutUtf8(std::string_view Utf8, std::size_t Limit) {
    if (Utf8.size() <= Limit)
        return Utf8;
    std::size_t end = Limit;
    while (end > 0 && (static_cast<unsigned char>(Utf8[end]) & 0xC0) == 0x80)
        --end;
    return Utf8.substr(0, end);
}

QString NoLineBreaks(QString Text) {
    for (QChar& c : Text)
        if (c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = u' ';
    return Text;
}

} // namespace

// ---- TLogLineStore ----

std::string_view TLogLineStore::At(std::size_t Index) const {
    const std::uint64_t entry = FIndex[Index];
    const std::size_t chunk = entry >> (OffsetBits + LengthBits);
    const std::size_t offset = (entry >> LengthBits) & FieldMask;
    return {FChunks[chunk].get() + offset, std::size_t(entry & FieldMask)};
}

std::uint64_t TLogLineStore::Store(std::string_view Utf8) {
    // A line fills at most one chunk less one byte, so its length fits the entry.
    Utf8 = CutUtf8(Utf8, ChunkSize - 1);
    if (FChunks.empty() || FUsed + Utf8.size() > ChunkSize) {
        // Not zero-filled: the pages of a chunk cost memory only once text is written there.
        FChunks.push_back(std::unique_ptr<char[]>(new char[ChunkSize]));
        FUsed = 0;
    }
    std::memcpy(FChunks.back().get() + FUsed, Utf8.data(), Utf8.size());
    const std::uint64_t entry = (std::uint64_t(FChunks.size() - 1) << (OffsetBits + LengthBits)) |
                                (std::uint64_t(FUsed) << LengthBits) | Utf8.size();
    FUsed += Utf8.size();
    return entry;
}

void TLogLineStore::Append(std::string_view Utf8) {
    FIndex.push_back(Store(Utf8));
}

void TLogLineStore::Set(std::size_t Index, std::string_view Utf8) {
    FIndex[Index] = Store(Utf8);
}

void TLogLineStore::Remove(std::size_t First, std::size_t Count) {
    const auto begin = FIndex.begin() + std::ptrdiff_t(First);
    FIndex.erase(begin, begin + std::ptrdiff_t(Count));
}

std::size_t TLogLineStore::MemoryBytes() const {
    return FChunks.size() * ChunkSize + FIndex.size() * sizeof(std::uint64_t);
}

void AppendWindows1252(QByteArray& Out, std::string_view Utf8) {
    // The log's own lines are ASCII and "º" (C2 BA): those are converted here byte by byte;
    // any other line takes the general encoder.
    const qsizetype start = Out.size();
    for (std::size_t i = 0; i < Utf8.size(); ++i) {
        const auto b = static_cast<unsigned char>(Utf8[i]);
        if (b < 0x80) {
            Out.append(char(b));
            continue;
        }
        if ((b == 0xC2 || b == 0xC3) && i + 1 < Utf8.size()) {
            const auto next = static_cast<unsigned char>(Utf8[i + 1]);
            const unsigned code = ((b & 0x1Fu) << 6) | (next & 0x3Fu);
            if ((next & 0xC0) == 0x80 && code >= 0xA0) {
                Out.append(char(code));
                ++i;
                continue;
            }
        }
        Out.truncate(start);
        Out += EncodeWindows1252(QString::fromUtf8(Utf8.data(), qsizetype(Utf8.size())));
        return;
    }
}

// ---- TLogView ----

TLogView::TLogView(QWidget* Parent) : QAbstractScrollArea(Parent) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    setBackgroundRole(QPalette::Base);
    viewport()->setBackgroundRole(QPalette::Base);
    // The scroll area shows or hides its bars through a queued call on every range change:
    // one posted event per appended line, which piles up while no event loop runs (a long
    // import, a test). Both bars are always shown, so that call has nothing to do.
    for (QScrollBar* bar : {verticalScrollBar(), horizontalScrollBar()})
        disconnect(bar, &QScrollBar::rangeChanged, this, nullptr);
    UpdateScrollBars();
}

TLogView::~TLogView() = default;

QString TLogView::Line(qsizetype Index) const {
    const std::string_view bytes = FStore.At(std::size_t(Index));
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}

QStringList TLogView::Lines() const {
    QStringList lines;
    lines.reserve(LineCount());
    for (qsizetype i = 0; i < LineCount(); ++i)
        lines += Line(i);
    return lines;
}

void TLogView::AppendLine(const QString& Text) {
    const QString line = NoLineBreaks(Text);
    const QByteArray utf8 = line.toUtf8();
    FStore.Append({utf8.constData(), std::size_t(utf8.size())});
    FMaxColumns = std::max(FMaxColumns, line.size());
    if (FCurrent < 0)
        FAnchor = FCurrent = 0;
    UpdateScrollBars();
    // The log always shows its newest line, also after a person scrolled up; while a line is
    // edited the view stays, and follows once the editor closes.
    if (FEditing < 0)
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    else
        FFollowPending = true;
    viewport()->update();
}

void TLogView::SetLine(qsizetype Index, const QString& Text) {
    if (Index < 0 || Index >= LineCount())
        return;
    const QString line = NoLineBreaks(Text);
    const QByteArray utf8 = line.toUtf8();
    FStore.Set(std::size_t(Index), {utf8.constData(), std::size_t(utf8.size())});
    FMaxColumns = std::max(FMaxColumns, line.size());
    UpdateScrollBars();
    viewport()->update();
}

void TLogView::RemoveSelectedLines() {
    if (LineCount() == 0)
        return;
    CloseEditor();
    const qsizetype first = SelectionFirst();
    FStore.Remove(std::size_t(first), std::size_t(SelectionLast() - first + 1));
    FAnchor = FCurrent = LineCount() == 0 ? -1 : std::min(first, LineCount() - 1);
    UpdateScrollBars();
    viewport()->update();
}

void TLogView::SelectLines(qsizetype Anchor, qsizetype Current) {
    if (LineCount() == 0)
        return;
    FAnchor = std::clamp<qsizetype>(Anchor, 0, LineCount() - 1);
    FCurrent = std::clamp<qsizetype>(Current, 0, LineCount() - 1);
    EnsureVisible(FCurrent);
    viewport()->update();
}

QString TLogView::SelectedText() const {
    QString text;
    if (LineCount() == 0)
        return text;
    for (qsizetype i = SelectionFirst(); i <= SelectionLast(); ++i)
        text += Line(i) + u'\n';
    return text;
}

void TLogView::Copy() const {
    if (LineCount() > 0)
        QApplication::clipboard()->setText(SelectedText());
}

QByteArray TLogView::SavedForm() const {
    QByteArray bytes;
    // Room for about 32 bytes a line up front, then doubling.
    bytes.reserve(LineCount() * 32);
    for (std::size_t i = 0; i < FStore.Count(); ++i) {
        AppendWindows1252(bytes, FStore.At(i));
        bytes.append("\r\n", 2);
    }
    return bytes;
}

bool TLogView::SaveLines(const QString& FileName, QString& ErrorText) const {
    return TryWriteFileAtomically(FileName, SavedForm(), ErrorText);
}

int TLogView::LineHeight() const {
    return std::max(1, fontMetrics().lineSpacing());
}

int TLogView::CharWidth() const {
    return std::max(1, fontMetrics().horizontalAdvance(u'M'));
}

qsizetype TLogView::FirstVisibleLine() const {
    return verticalScrollBar()->value();
}

int TLogView::FullyVisibleLines() const {
    return std::max(1, viewport()->height() / LineHeight());
}

qsizetype TLogView::LineAt(int Y) const {
    const qsizetype line = FirstVisibleLine() + (Y < 0 ? -1 : Y / LineHeight());
    return std::clamp<qsizetype>(line, 0, std::max<qsizetype>(0, LineCount() - 1));
}

void TLogView::UpdateScrollBars() {
    // The vertical bar counts lines (up to 2^31, far beyond a year of readings); the
    // horizontal one counts pixels of the longest line.
    const int page = FullyVisibleLines();
    verticalScrollBar()->setPageStep(page);
    verticalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setRange(
        0, int(std::min<qsizetype>(INT_MAX, std::max<qsizetype>(0, LineCount() - page))));
    const qsizetype width = FMaxColumns * CharWidth() + 2 * Margin;
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(CharWidth());
    horizontalScrollBar()->setRange(
        0, int(std::min<qsizetype>(INT_MAX, std::max<qsizetype>(0, width - viewport()->width()))));
}

void TLogView::EnsureVisible(qsizetype Index) {
    QScrollBar* bar = verticalScrollBar();
    if (Index < bar->value())
        bar->setValue(int(Index));
    else if (Index >= bar->value() + FullyVisibleLines())
        bar->setValue(int(Index - FullyVisibleLines() + 1));
}

void TLogView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const int height = LineHeight();
    const int ascent = fontMetrics().ascent();
    const int x = Margin - horizontalScrollBar()->value();
    const qsizetype first = FirstVisibleLine();
    const qsizetype last = std::min(LineCount(), first + viewport()->height() / height + 1);
    const QPalette::ColorGroup group = isEnabled() ? QPalette::Active : QPalette::Disabled;
    for (qsizetype i = first; i < last; ++i) {
        const int y = int(i - first) * height;
        const bool selected = i >= SelectionFirst() && i <= SelectionLast();
        if (selected) {
            painter.fillRect(0, y, viewport()->width(), height,
                             palette().brush(group, QPalette::Highlight));
            painter.setPen(palette().color(group, QPalette::HighlightedText));
        } else {
            painter.setPen(palette().color(group, QPalette::Text));
        }
        painter.drawText(x, y + ascent, Line(i));
        if (i == FCurrent && hasFocus()) {
            painter.setPen(QPen(palette().color(group, QPalette::Text), 1, Qt::DotLine));
            painter.drawRect(0, y, viewport()->width() - 1, height - 1);
        }
    }
}

void TLogView::resizeEvent(QResizeEvent* Event) {
    QAbstractScrollArea::resizeEvent(Event);
    const bool atEnd = verticalScrollBar()->value() == verticalScrollBar()->maximum();
    UpdateScrollBars();
    if (atEnd)
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    PlaceEditor();
}

void TLogView::changeEvent(QEvent* Event) {
    QAbstractScrollArea::changeEvent(Event);
    if (Event->type() == QEvent::FontChange) {
        if (FEditor)
            FEditor->setFont(font());
        UpdateScrollBars();
        PlaceEditor();
    }
}

void TLogView::keyPressEvent(QKeyEvent* Event) {
    if (Event->matches(QKeySequence::Copy)) {
        Copy();
        return;
    }
    if (Event->matches(QKeySequence::SelectAll)) {
        SelectLines(LineCount() - 1, 0);
        return;
    }
    if (LineCount() == 0) {
        QAbstractScrollArea::keyPressEvent(Event);
        return;
    }
    std::optional<qsizetype> target;
    switch (Event->key()) {
    case Qt::Key_Up:
        target = FCurrent - 1;
        break;
    case Qt::Key_Down:
        target = FCurrent + 1;
        break;
    case Qt::Key_PageUp:
        target = FCurrent - FullyVisibleLines();
        break;
    case Qt::Key_PageDown:
        target = FCurrent + FullyVisibleLines();
        break;
    case Qt::Key_Home:
        target = 0;
        break;
    case Qt::Key_End:
        target = LineCount() - 1;
        break;
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        RemoveSelectedLines();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F2:
        EditLine(FCurrent);
        return;
    default:
        break;
    }
    if (target) {
        const bool extend = Event->modifiers() & Qt::ShiftModifier;
        SelectLines(extend ? FAnchor : *target, *target);
        return;
    }
    const QString text = Event->text();
    if (!text.isEmpty() && text.at(0).isPrint() &&
        !(Event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        // Typing edits the current line: the editor opens and takes the key.
        EditLine(FCurrent);
        FEditor->insert(text);
        return;
    }
    QAbstractScrollArea::keyPressEvent(Event);
}

void TLogView::mousePressEvent(QMouseEvent* Event) {
    if (Event->button() != Qt::LeftButton || LineCount() == 0)
        return;
    CommitEdit();
    const qsizetype line = LineAt(Event->position().toPoint().y());
    SelectLines(Event->modifiers() & Qt::ShiftModifier ? FAnchor : line, line);
}

void TLogView::mouseMoveEvent(QMouseEvent* Event) {
    if (!(Event->buttons() & Qt::LeftButton) || LineCount() == 0)
        return;
    SelectLines(FAnchor, LineAt(Event->position().toPoint().y()));
}

void TLogView::mouseReleaseEvent(QMouseEvent* Event) {
    // The selection was made by the press and the moves: the release only ends the drag.
    Event->accept();
}

void TLogView::mouseDoubleClickEvent(QMouseEvent* Event) {
    if (Event->button() == Qt::LeftButton && LineCount() > 0)
        EditLine(LineAt(Event->position().toPoint().y()));
}

void TLogView::scrollContentsBy(int, int) {
    PlaceEditor();
    viewport()->update();
}

void TLogView::EditLine(qsizetype Index) {
    if (Index < 0 || Index >= LineCount())
        return;
    CommitEdit();
    if (!FEditor) {
        FEditor = new QLineEdit(viewport());
        FEditor->setObjectName(QStringLiteral("LineEditor"));
        FEditor->setFrame(false);
        FEditor->setFont(font());
        FEditor->installEventFilter(this);
    }
    SelectLines(Index, Index);
    FEditing = Index;
    FEditor->setText(Line(Index));
    PlaceEditor();
    FEditor->show();
    FEditor->setFocus();
}

QLineEdit* TLogView::LineEditor() const {
    return FEditing >= 0 ? FEditor : nullptr;
}

void TLogView::PlaceEditor() {
    if (FEditing < 0 || !FEditor)
        return;
    const int y = int(FEditing - FirstVisibleLine()) * LineHeight();
    FEditor->setGeometry(Margin - horizontalScrollBar()->value(), y,
                         std::max(viewport()->width(), int(FMaxColumns + 8) * CharWidth()),
                         LineHeight());
}

void TLogView::CommitEdit() {
    if (FEditing < 0)
        return;
    const qsizetype line = FEditing;
    const QString text = FEditor->text();
    CloseEditor();
    SetLine(line, text);
}

void TLogView::CloseEditor() {
    if (FEditing < 0)
        return;
    // Cleared first: hiding the editor moves the focus, which must not commit again.
    FEditing = -1;
    FEditor->hide();
    if (FFollowPending) {
        FFollowPending = false;
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    }
}

bool TLogView::eventFilter(QObject* Watched, QEvent* Event) {
    if (Watched == FEditor && FEditing >= 0) {
        // Enter and Escape end the edit here: left to the editor, they would reach this
        // view, whose Enter opens the editor again.
        const int key =
            Event->type() == QEvent::KeyPress ? static_cast<QKeyEvent*>(Event)->key() : 0;
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
            if (key == Qt::Key_Escape)
                CloseEditor();
            else
                CommitEdit();
            setFocus();
            return true;
        }
        if (Event->type() == QEvent::FocusOut)
            CommitEdit();
    }
    return QAbstractScrollArea::eventFilter(Watched, Event);
}
