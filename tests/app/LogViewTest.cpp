#include "LogView.h"

#include "LogText.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace {

std::string_view View(const std::string& Text) {
    return Text;
}

// A shown view of the window's memo size with the lines "line 0" ... "line Count-1".
struct TShownView {
    explicit TShownView(int Count) {
        View.resize(550, 249);
        View.setFont(QFont(QStringLiteral("Courier New"), 12));
        for (int i = 0; i < Count; ++i)
            View.AppendLine(QStringLiteral("line %1").arg(i));
        View.show();
        View.setFocus();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&View));
    }
    QPoint LinePoint(qsizetype Line) const {
        const int height = View.fontMetrics().lineSpacing();
        return {10, int(Line - View.FirstVisibleLine()) * height + height / 2};
    }
    QByteArray Saved() {
        QTemporaryDir dir;
        const QString fileName = dir.filePath("log.txt");
        QString reason;
        EXPECT_TRUE(View.SaveLines(fileName, reason)) << reason.toStdString();
        QFile file(fileName);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }
    TLogView View;
};

} // namespace

TEST(LogLineStoreTest, KeepsLinesAcrossChunksAndChanges) {
    TLogLineStore store;
    // Lines of 1000 bytes: the 1049th no longer fits the first chunk.
    const int count = 3000;
    auto text = [](int i) { return std::string(999, char('a' + i % 26)) + char('0' + i % 10); };
    for (int i = 0; i < count; ++i)
        store.Append(text(i));
    ASSERT_EQ(store.Count(), std::size_t(count));
    for (int i : {0, 1047, 1048, 1049, count - 1})
        EXPECT_EQ(store.At(std::size_t(i)), text(i)) << i;

    store.Set(1048, "changed");
    store.Set(0, "");
    EXPECT_EQ(store.At(1048), "changed");
    EXPECT_EQ(store.At(0), "");
    EXPECT_EQ(store.At(1049), text(1049));

    store.Remove(1, 1048); // lines 1 .. 1048
    ASSERT_EQ(store.Count(), std::size_t(count - 1048));
    EXPECT_EQ(store.At(0), "");
    EXPECT_EQ(store.At(1), text(1049));
    EXPECT_EQ(store.At(store.Count() - 1), text(count - 1));
}

TEST(LogLineStoreTest, AnOverlongLineIsCutOnACharacterBoundary) {
    TLogLineStore store;
    store.Append("first");
    // "º" is two bytes; the cut falls in the middle of the last one.
    std::string longLine;
    while (longLine.size() < TLogLineStore::ChunkSize)
        longLine += "\xC2\xBA";
    store.Append(longLine);
    store.Append("last");
    EXPECT_EQ(store.At(0), "first");
    EXPECT_EQ(store.At(1).size(), TLogLineStore::ChunkSize - 2);
    EXPECT_EQ(store.At(1), View(longLine).substr(0, TLogLineStore::ChunkSize - 2));
    EXPECT_EQ(store.At(2), "last");
}

TEST(LogViewTest, SavedFormOfEveryLineIsTheCodePagesOne) {
    // The byte-wise conversion must agree with the general encoder on the log's own lines and
    // on everything else a person may type.
    const char* cases[] = {
        "2024-03-01 14:05:09; 23.4ºC", "é€™Ÿ", "Ω≈", "a😀b", "\xC2\x81", "", "\xC2\xA0ÿ", "º€"};
    for (const char* text : cases) {
        QByteArray bytes;
        AppendWindows1252(bytes, text);
        EXPECT_EQ(bytes, EncodeWindows1252(QString::fromUtf8(text))) << text;
    }
    TLogView view;
    EXPECT_EQ(view.SavedForm(), QByteArray());
    QStringList lines;
    for (const char* text : cases) {
        view.AppendLine(QString::fromUtf8(text));
        lines += QString::fromUtf8(text);
    }
    EXPECT_EQ(view.Lines(), lines);
    EXPECT_EQ(view.SavedForm(), EncodeLogLines(lines));
}

TEST(LogViewTest, ALineBreakInALineBecomesASpace) {
    TLogView view;
    view.AppendLine("a\nb\r\nc");
    view.SetLine(0, QStringLiteral("x\u2028y"));
    view.AppendLine("z");
    EXPECT_EQ(view.Lines(), QStringList({"x y", "z"}));
    EXPECT_EQ(view.SavedForm(), QByteArray("x y\r\nz\r\n"));
}

TEST(LogViewTest, EditingAndDeletingChangeWhatSaveWrites) {
    TShownView shown(5);
    TLogView& view = shown.View;

    // A double click opens the editor on the line; Enter keeps the change.
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, shown.LinePoint(1));
    ASSERT_NE(view.LineEditor(), nullptr);
    EXPECT_EQ(view.LineEditor()->text(), "line 1");
    view.LineEditor()->selectAll();
    QTest::keyClicks(view.LineEditor(), QString::fromUtf8("23.4ºC"));
    QTest::keyClick(view.LineEditor(), Qt::Key_Return);
    EXPECT_EQ(view.LineEditor(), nullptr);

    // Escape drops a change.
    view.EditLine(2);
    QTest::keyClicks(view.LineEditor(), "junk");
    QTest::keyClick(view.LineEditor(), Qt::Key_Escape);
    EXPECT_EQ(view.Line(2), "line 2");

    // Typing over the current line edits it.
    view.SelectLines(4, 4);
    QTest::keyClicks(&view, "!");
    ASSERT_NE(view.LineEditor(), nullptr);
    QTest::keyClick(view.LineEditor(), Qt::Key_Enter);

    // Delete removes the selected lines.
    view.SelectLines(2, 3);
    QTest::keyClick(&view, Qt::Key_Delete);
    EXPECT_EQ(view.CurrentLine(), 2);
    EXPECT_EQ(shown.Saved(), QByteArray("line 0\r\n23.4\xBA"
                                        "C\r\nline 4!\r\n"));

    // The last line deleted leaves an empty log, which saves an empty file.
    view.SelectLines(0, 2);
    QTest::keyClick(&view, Qt::Key_Backspace);
    EXPECT_EQ(view.LineCount(), 0);
    EXPECT_EQ(view.CurrentLine(), -1);
    EXPECT_EQ(shown.Saved(), QByteArray());
    QTest::keyClick(&view, Qt::Key_Delete); // nothing to delete
    QTest::keyClick(&view, Qt::Key_Down);
    EXPECT_EQ(view.LineCount(), 0);
}

TEST(LogViewTest, KeysAndMouseSelectLinesAndCtrlCCopiesThem) {
    TShownView shown(100);
    TLogView& view = shown.View;
    struct TStep {
        std::function<void()> Act;
        qsizetype First, Last, Current;
    };
    const TStep steps[] = {
        {[&] { QTest::keyClick(&view, Qt::Key_Home); }, 0, 0, 0},
        {[&] { QTest::keyClick(&view, Qt::Key_Up, Qt::ShiftModifier); }, 0, 0, 0},
        {[&] { QTest::keyClick(&view, Qt::Key_Down); }, 1, 1, 1},
        {[&] { QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier); }, 1, 2, 2},
        {[&] { QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier); }, 1, 3, 3},
        {[&] { QTest::keyClick(&view, Qt::Key_End, Qt::ShiftModifier); }, 1, 99, 99},
        {[&] { QTest::keyClick(&view, Qt::Key_End); }, 99, 99, 99},
        {[&] { QTest::keyClick(&view, Qt::Key_Down); }, 99, 99, 99},
        {[&] {
             view.verticalScrollBar()->setValue(10);
             QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, shown.LinePoint(12));
         },
         12, 12, 12},
        {[&] {
             QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ShiftModifier,
                               shown.LinePoint(14));
         },
         12, 14, 14},
        {[&] {
             QTest::mousePress(view.viewport(), Qt::LeftButton, {}, shown.LinePoint(15));
             QMouseEvent move(QEvent::MouseMove, shown.LinePoint(13),
                              view.viewport()->mapToGlobal(shown.LinePoint(13)), Qt::NoButton,
                              Qt::LeftButton, Qt::NoModifier);
             QApplication::sendEvent(view.viewport(), &move);
             QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, shown.LinePoint(13));
         },
         13, 15, 13},
    };
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        steps[i].Act();
        EXPECT_EQ(view.SelectionFirst(), steps[i].First) << "step " << i;
        EXPECT_EQ(view.SelectionLast(), steps[i].Last) << "step " << i;
        EXPECT_EQ(view.CurrentLine(), steps[i].Current) << "step " << i;
        EXPECT_GE(view.CurrentLine(), view.FirstVisibleLine()) << "step " << i;
        EXPECT_LT(view.CurrentLine(), view.FirstVisibleLine() + view.FullyVisibleLines())
            << "step " << i;
    }
    QApplication::clipboard()->clear();
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "line 13\nline 14\nline 15\n");
    QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(view.SelectionFirst(), 0);
    EXPECT_EQ(view.SelectionLast(), 99);
}

TEST(LogViewTest, TheNewestLineComesIntoViewAsEachLineArrives) {
    TShownView shown(0);
    TLogView& view = shown.View;
    for (int i = 0; i < 40; ++i) {
        if (i == 25)
            view.verticalScrollBar()->setValue(0); // a person scrolled up
        view.AppendLine(QStringLiteral("line %1").arg(i));
        EXPECT_LE(view.FirstVisibleLine(), i) << i;
        EXPECT_GT(view.FirstVisibleLine() + view.FullyVisibleLines(), i) << i;
    }
    EXPECT_GT(view.FirstVisibleLine(), 0);

    // A line being edited stays where it is; the view follows once the editor closes.
    view.verticalScrollBar()->setValue(0);
    view.EditLine(1);
    view.AppendLine("while editing");
    EXPECT_EQ(view.FirstVisibleLine(), 0);
    QTest::keyClick(view.LineEditor(), Qt::Key_Return);
    EXPECT_GT(view.FirstVisibleLine() + view.FullyVisibleLines(), 40);
    EXPECT_EQ(view.Line(40), "while editing");
}

TEST(LogViewTest, ALongLineScrollsSidewaysInsteadOfWrapping) {
    TShownView shown(3);
    TLogView& view = shown.View;
    EXPECT_EQ(view.horizontalScrollBar()->maximum(), 0);
    const QString longLine(200, u'x');
    view.AppendLine(longLine);
    const int width = view.fontMetrics().horizontalAdvance(longLine);
    EXPECT_GE(view.horizontalScrollBar()->maximum(), width - view.viewport()->width());
    EXPECT_EQ(view.LineCount(), 4);
}

// Lines logged while no event loop runs (a long import, a busy handler) leave no posted
// event behind per line: the events waiting afterwards do not grow with the lines.
TEST(LogViewTest, AppendingWithoutAnEventLoopPostsNoEventPerLine) {
    TShownView shown(0);
    QCoreApplication::sendPostedEvents();
    struct TCounter : QObject {
        bool eventFilter(QObject*, QEvent*) override {
            ++Events;
            return false;
        }
        int Events = 0;
    } counter;
    const int lines = 2000;
    for (int i = 0; i < lines; ++i)
        shown.View.AppendLine(QStringLiteral("line %1 with some width to scroll sideways").arg(i));
    QCoreApplication::instance()->installEventFilter(&counter);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::instance()->removeEventFilter(&counter);
    EXPECT_LT(counter.Events, 50);
    EXPECT_EQ(shown.View.FirstVisibleLine() + shown.View.FullyVisibleLines(), lines);
}

// A mouse release over the lines is taken by the view (it ends a selection drag), whichever
// button it is.
TEST(LogViewTest, MouseReleasesAreAccepted) {
    TShownView shown(20);
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        const QPoint at = shown.LinePoint(shown.View.FirstVisibleLine() + 1);
        QMouseEvent release(QEvent::MouseButtonRelease, at, shown.View.viewport()->mapToGlobal(at),
                            button, Qt::NoButton, Qt::NoModifier);
        // Delivery reports whether a widget took the event (QTest warns when none did).
        EXPECT_TRUE(QApplication::sendEvent(shown.View.viewport(), &release)) << button;
        EXPECT_TRUE(release.isAccepted()) << button;
    }
}
