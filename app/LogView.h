#pragma once
// The log view: every line of the session, kept compactly, shown in a monospaced font with
// only the visible lines laid out. Lines are selected whole (mouse, Shift with the arrow
// keys), copied with Ctrl+C, edited in place (double click, Enter, F2 or typing) and deleted
// (Delete). Appending a line brings it into view, once the editor closes when one is open.

#include <QAbstractScrollArea>
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstdint>
#include <deque>
#include <memory>
#include <string_view>
#include <vector>

class QLineEdit;

/// Lines as UTF-8 in large chunks of one growing store, with one 64-bit entry per line
/// (chunk, offset, length). UTF-8 keeps every character a person types and costs one byte
/// per character of the log's own lines but their degree sign.
class TLogLineStore {
public:
    /// Bytes of one chunk; also the longest line kept (longer ones are cut).
    static constexpr std::size_t ChunkSize = std::size_t(1) << 20;

    /// Number of lines.
    std::size_t Count() const { return FIndex.size(); }
    /// The UTF-8 bytes of line Index (valid until the next change).
    std::string_view At(std::size_t Index) const;
    /// Appends one line.
    void Append(std::string_view Utf8);
    /// Replaces the text of line Index; the old bytes stay unused in their chunk.
    void Set(std::size_t Index, std::string_view Utf8);
    /// Removes Count lines from First on.
    void Remove(std::size_t First, std::size_t Count);
    /// Bytes held: chunks and index.
    std::size_t MemoryBytes() const;

private:
    std::uint64_t Store(std::string_view Utf8);

    std::vector<std::unique_ptr<char[]>> FChunks;
    std::size_t FUsed = 0; // bytes used in the last chunk
    std::deque<std::uint64_t> FIndex;
};

/// The saved form of a line stored as UTF-8: Windows-1252, a character the code page cannot
/// encode as "?" (as EncodeWindows1252).
void AppendWindows1252(QByteArray& Out, std::string_view Utf8);

class TLogView : public QAbstractScrollArea {
    Q_OBJECT

public:
    /// An empty, editable view with both scroll bars always shown.
    explicit TLogView(QWidget* Parent = nullptr);
    ~TLogView() override;

    /// Number of lines.
    qsizetype LineCount() const { return qsizetype(FStore.Count()); }
    /// The text of line Index (0 <= Index < LineCount()).
    QString Line(qsizetype Index) const;
    /// Every line (for small logs: tests and the like).
    QStringList Lines() const;
    /// Appends Line as the last line and scrolls it into view.
    void AppendLine(const QString& Line);
    /// Replaces the text of line Index; a line break in Text becomes a space.
    void SetLine(qsizetype Index, const QString& Text);
    /// Removes the selected lines; the line after them becomes the current one.
    void RemoveSelectedLines();

    /// Selects the lines from Anchor to Current (either order); Current becomes the current
    /// line and is scrolled into view. Both are clamped to the lines there are.
    void SelectLines(qsizetype Anchor, qsizetype Current);
    /// The current line; -1 in an empty view.
    qsizetype CurrentLine() const { return FCurrent; }
    /// First and last selected line; -1, -1 in an empty view.
    qsizetype SelectionFirst() const { return std::min(FAnchor, FCurrent); }
    qsizetype SelectionLast() const { return std::max(FAnchor, FCurrent); }
    /// The selected lines, each followed by a line break.
    QString SelectedText() const;
    /// Puts SelectedText() on the clipboard.
    void Copy() const;

    /// Opens the line editor on line Index over the line's place.
    void EditLine(qsizetype Index);
    /// The line editor while it is open, otherwise nullptr.
    QLineEdit* LineEditor() const;

    /// The lines in the saved form: Windows-1252, each followed by CR LF.
    QByteArray SavedForm() const;
    /// Writes SavedForm() to FileName atomically; false with the reason when it cannot.
    bool SaveLines(const QString& FileName, QString& ErrorText) const;

    /// The first line shown at the top.
    qsizetype FirstVisibleLine() const;
    /// The number of lines that fit the view completely (at least 1).
    int FullyVisibleLines() const;
    /// Bytes held by the stored lines.
    std::size_t MemoryBytes() const { return FStore.MemoryBytes(); }

protected:
    void paintEvent(QPaintEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void changeEvent(QEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void scrollContentsBy(int Dx, int Dy) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    int LineHeight() const;
    int CharWidth() const;
    qsizetype LineAt(int Y) const;
    void UpdateScrollBars();
    void EnsureVisible(qsizetype Index);
    void PlaceEditor();
    void CommitEdit();
    void CloseEditor();

    TLogLineStore FStore;
    qsizetype FAnchor = -1;
    qsizetype FCurrent = -1;
    qsizetype FMaxColumns = 0; // characters of the longest line seen
    QLineEdit* FEditor = nullptr;
    qsizetype FEditing = -1;     // line under the editor; -1 when closed
    bool FFollowPending = false; // lines arrived while the editor was open
};
