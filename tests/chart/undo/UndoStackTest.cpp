// The undo stack: recording, undo and redo of every kind of value, groups, the step limit,
// file logs and records of objects that died.

#include "undo/UndoStack.h"

#include "util/Exceptions.h"

#include <QObject>
#include <gtest/gtest.h>

namespace {

// A chart-like object whose setters record before they change anything.
class TSample : public QObject {
    Q_OBJECT
    Q_PROPERTY(double Value READ Value WRITE SetValue)
    Q_PROPERTY(QString Text READ Text WRITE SetText)

public:
    explicit TSample(TVxUndoStack* Stack, QObject* AOwner = nullptr)
        : QObject(AOwner), FStack(Stack) {}

    double Value() const { return FValue; }
    void SetValue(double V) {
        if (FStack)
            FStack->PushProperty(this, "Value", "Value");
        FValue = V;
    }
    QString Text() const { return FText; }
    void SetText(const QString& V) {
        if (FStack)
            FStack->PushProperty(this, "Text", "Text");
        FText = V;
    }

private:
    TVxUndoStack* FStack;
    double FValue = 0;
    QString FText;
};

TEST(UndoStack, SimplePropertyUndoRedo) {
    TVxUndoStack stack;
    TSample sample(&stack);
    sample.SetValue(1.5);
    sample.SetText("a");
    ASSERT_EQ(stack.UndoCount(), 2);
    ASSERT_TRUE(stack.Undo());
    EXPECT_EQ(sample.Text(), "");
    ASSERT_TRUE(stack.Undo());
    EXPECT_EQ(sample.Value(), 0);
    ASSERT_TRUE(stack.Redo(1));
    EXPECT_EQ(sample.Value(), 1.5);
    EXPECT_EQ(sample.Text(), "a");
}

} // namespace

#include "UndoStackTest.moc"
