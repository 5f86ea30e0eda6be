#pragma once
// What every style settings object shares: the undo stack it records on, the change callback
// of its owner, and the setter shape (compare, record, store, notify).

#include "undo/UndoStack.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

/// The owner's parameterless change callback; may be empty.
using ModifiedCallback = std::function<void()>;

class TVxStyleSettings : public QObject {
    Q_OBJECT

public:
    /// A settings object that calls WhenModified after every change (when set). AOwner, when
    /// given, becomes the QObject parent; an owner that keeps the object by value passes none.
    explicit TVxStyleSettings(ModifiedCallback WhenModified = {}, QObject* AOwner = nullptr);

    /// The stack that setters record on (nullptr: nothing is recorded).
    TVxUndoStack* UndoStack() const { return FUndoStack.data(); }
    /// Attaches Stack (or detaches with nullptr); objects with a gradient pass it on.
    virtual void SetUndoStack(TVxUndoStack* Stack) { FUndoStack = Stack; }

protected:
    /// Saves the current value of PropName under Description when a stack is attached and
    /// not restoring.
    void RecordUndo(const char* Description, const char* PropName);
    /// Calls the owner's callback when set.
    void Modified() const;

    /// The setter shape for exactly comparable values: nothing for an unchanged value, else
    /// record, store, notify.
    template <class T>
    void Change(T& Field, T Value, const char* Description, const char* PropName) {
        if (Field == Value)
            return;
        RecordUndo(Description, PropName);
        Field = Value;
        Modified();
    }
    /// The setter shape for floats: Value is compared with Field (only less or greater counts,
    /// so a NaN is never taken) and Stored is what is kept.
    void ChangeFloat(float& Field, float Value, float Stored, const char* Description,
                     const char* PropName);

    QPointer<TVxUndoStack> FUndoStack;
    ModifiedCallback mModifiedCallBack;
};

/// The conversion error of assigning an object of one class to another.
[[noreturn]] void RaiseAssignError(const QObject* Source, const QObject* Target);
