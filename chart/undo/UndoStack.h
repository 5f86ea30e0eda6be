#pragma once
// The undo stack that chart objects share: before an object changes a property it asks
// the stack to save the current value under a description; Undo and Redo restore whole
// steps. Saved state lives in append-only logs (in memory or in temporary files).
// Objects are named in the logs by their component path and by a number in a table of
// guarded pointers, so a record whose object died is skipped. Usage: docs/undo.md.

#include "util/Component.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>

class QIODevice;
class TVxDoubleVector;
class TVxObjectRegistry;
class TVxUndoLog;

/// Implemented by objects that keep an undoable value outside their Q_PROPERTYs (a
/// series' layer index). PushProperty asks such an object first for every name.
class TVxUndoSpecialValues {
public:
    virtual ~TVxUndoSpecialValues() = default;
    /// Stores the value called Name in Value and returns true; false for an ordinary name.
    virtual bool GetUndoSpecialValue(const QByteArray& Name, qint64& Value) const = 0;
    /// Restores the value called Name.
    virtual void SetUndoSpecialValue(const QByteArray& Name, qint64 Value) = 0;
};

class TVxUndoStack : public TVxComponent {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(int Limit READ Limit WRITE SetLimit)
    Q_PROPERTY(bool ToMemoryStream READ ToMemoryStream WRITE SetToMemoryStream)

public:
    explicit TVxUndoStack(QObject* AOwner = nullptr);
    ~TVxUndoStack() override;

    /// Records anything at all (default true).
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    /// The most steps kept; 0 or less keeps every step (default 20). Lowering it drops
    /// the oldest steps that are not waiting for redo at once, the rest at the next record.
    int Limit() const { return FLimit; }
    void SetLimit(int Value);
    /// Logs in memory (default) or in exclusively created temporary files; switching
    /// empties the logs.
    bool ToMemoryStream() const { return FToMemoryStream; }
    void SetToMemoryStream(bool Value);

    /// True while Undo or Redo runs; setters called then record nothing.
    bool Restoring() const { return FRestoring; }

    /// Saves the current value of Instance's property PropName under Comment. Raises
    /// EVxStreamError 'Property: "PropName" not found' (recording nothing) for a name that
    /// is no property.
    void PushProperty(QObject* Instance, const QString& Comment, const char* PropName);
    /// Saves the whole vector (values, outliers, binding) under Comment.
    void PushVectorState(TVxDoubleVector* AVector, const QString& Comment);
    /// Saves a component's stored, writable properties, so that undo restores them
    /// (making it anew under its owner when it was freed and its class has a Q_INVOKABLE
    /// constructor taking the owner).
    void PushComponent(QObject* AComponent, const QString& Comment);
    /// Records that AComponent was created, so that undo frees it; raises EVxStreamError
    /// "Component does not have a name" when it has no path.
    void PushFreeComponent(QObject* AComponent, const QString& Comment);
    /// Saves an edit control's text, caret start and selection length.
    void PushEditState(QObject* AEdit, const QString& ACaption, int ASelStart, int ASelLength,
                       const QString& Comment);

    /// Opens a group: records until the matching StopGroup form one step described Comment.
    void StartGroup(const QString& Comment);
    /// Closes a group; raises EVxRangeError "Undo stack has too many StopGroup statements"
    /// (writing nothing) when no group is open.
    void StopGroup();

    /// Undoes ToIndex + 1 steps (at most all); false when there was nothing to undo, a
    /// group is open, or restoring failed (the logs are then cleared).
    bool Undo(int ToIndex = 0);
    /// Redoes ToIndex + 1 steps (at most all); false when there was nothing to redo, a
    /// group is open, or restoring failed (the logs are then cleared).
    bool Redo(int ToIndex = 0);
    /// Empties both logs.
    void Clear();

    /// Enabled and a step to undo exists.
    bool CanUndo() const;
    /// Enabled and a step to redo exists.
    bool CanRedo() const;
    /// Steps stored in the undo log, including undone steps kept for redo.
    int UndoCount() const;
    /// Steps stored in the redo log.
    int RedoCount() const;
    /// Descriptions of the steps Undo would undo, newest first.
    QStringList UndoList() const;
    /// Descriptions of the steps Redo would redo, next first.
    QStringList RedoList() const;

    /// Called after every Undo, respectively Redo, that worked.
    std::function<void(TVxUndoStack*)> OnUndo;
    std::function<void(TVxUndoStack*)> OnRedo;

private:
    enum TRecordKind : uint8_t {
        rkProperty,
        rkComponent,
        rkCreatedComponent,
        rkEditState,
        rkVectorState,
        rkGroupStart,
        rkGroupEnd
    };

    bool Recording() const;
    void EnsureLogs();
    /// Opens a record in the undo log: drops undone steps and the redo log, starts a step
    /// when no group is open, trims to Limit and writes description and kind.
    QIODevice& StartRecord(const QString& Comment, TRecordKind Kind);
    void EndRecord();
    void AbortRecord();
    /// Writes one record of Kind under Comment into the undo log through Write(QIODevice&);
    /// a failure on the way takes the record back and passes the exception on.
    template <class TWrite>
    void WriteRecord(const QString& Comment, TRecordKind Kind, TWrite Write);
    /// Writes one record of Kind into the redo log through Write(QIODevice&).
    template <class TWrite> void WriteRedoRecord(TRecordKind Kind, TWrite Write);
    /// Runs Steps (the body of Undo or Redo) with recording off; a failure clears the logs.
    /// Calls Done when it worked, and tells whether it did.
    template <class TSteps>
    bool Restore(TSteps Steps, const std::function<void(TVxUndoStack*)>& Done);
    void TrimToLimit(bool KeepUndone);
    void ClearLogs();
    /// Applies record Record of step Step of Log; Undoing first saves into the redo log
    /// what the record overwrites.
    void ApplyRecord(TVxUndoLog& Log, int Step, int Record, bool Undoing);
    /// An instance reference: the object's path when it resolves, and its registry number.
    void WriteInstance(QIODevice& Stream, QObject* Instance);
    /// The object an instance reference names (nullptr once it died); Path receives the
    /// stored path.
    QObject* ReadInstance(QIODevice& Stream, QString* Path = nullptr);
    /// A property record's body: the instance reference, the name and the current value.
    void WritePropertyState(QIODevice& Stream, QObject* Instance, const QByteArray& Name);
    void WritePropertyValue(QIODevice& Stream, QObject* Instance, const QByteArray& Name);
    void ReadPropertyValue(QIODevice& Stream, QObject* Instance, const QByteArray& Name);
    void WriteComponentState(QIODevice& Stream, QObject* Component);
    /// Restores a saved component state, making the component anew when it was freed
    /// (Created set); nullptr when it cannot be found or made.
    QObject* ReadComponentState(QIODevice& Stream, bool& Created);

    bool FEnabled = true;
    int FLimit = 20;
    bool FToMemoryStream = true;
    bool FRestoring = false;
    int FUndoGroupLevel = 0;
    int FCurrentUndoIdx = -1; ///< the newest step not undone, -1 for none
    int FCurrentRedoIdx = -1; ///< the next step to redo, -1 for none
    std::unique_ptr<TVxUndoLog> FUndoLog;
    std::unique_ptr<TVxUndoLog> FRedoLog;
    std::unique_ptr<TVxUndoLog> FScratch;
    std::unique_ptr<TVxObjectRegistry> FRegistry;
};
