#pragma once
// References to other components read from a saved record, kept as (path, required kind)
// and resolved once the objects they may name exist. A record read alone resolves its own
// references at the end of its read; a loader of many records opens one collection first,
// reads every record into it, and resolves it when all objects exist (or discards it, when
// the records were only being checked), so that reading a record into a new object has no
// effect outside that object.

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class TVxPendingReferences {
public:
    /// Opens a collection: record readers on this thread add their references to it until
    /// it is destroyed (collections nest; the innermost one collects).
    TVxPendingReferences();
    /// Closes the collection; references neither resolved nor discarded are dropped.
    ~TVxPendingReferences();
    TVxPendingReferences(const TVxPendingReferences&) = delete;
    TVxPendingReferences& operator=(const TVxPendingReferences&) = delete;

    /// The collection record readers add to on this thread, nullptr when none is open.
    static TVxPendingReferences* Active();

    /// Keeps a reference of Holder: at resolution Assign receives the component Path names
    /// when it is a Kind, else nullptr (an empty path, an unknown path or a component of
    /// another kind). Nothing happens when Holder is gone by then.
    void Add(QObject* Holder, const QString& Path, const QMetaObject& Kind,
             std::function<void(QObject*)> Assign);
    /// Resolves every kept reference in the order added and empties the collection. A
    /// setter that raises stops the resolution; the references after it stay kept.
    void Resolve();
    /// Forgets the kept references without resolving them.
    void Discard() { FItems.clear(); }
    /// The number of references kept.
    int Count() const { return int(FItems.size()); }

    /// The component Path names when it is a Kind; nullptr otherwise.
    static QObject* Find(const QString& Path, const QMetaObject& Kind);

private:
    struct TItem {
        QPointer<QObject> Holder;
        QString Path;
        const QMetaObject* Kind;
        std::function<void(QObject*)> Assign;
    };
    std::vector<TItem> FItems;
    TVxPendingReferences* FOuter;
};

/// What one record reader uses: it adds to the active collection, or, when none is open,
/// opens its own, which Finish resolves (a record read alone).
class TVxReferenceReader {
public:
    TVxReferenceReader();
    ~TVxReferenceReader();
    TVxReferenceReader(const TVxReferenceReader&) = delete;
    TVxReferenceReader& operator=(const TVxReferenceReader&) = delete;

    /// See TVxPendingReferences::Add.
    void Add(QObject* Holder, const QString& Path, const QMetaObject& Kind,
             std::function<void(QObject*)> Assign) {
        FTarget->Add(Holder, Path, Kind, std::move(Assign));
    }
    /// The end of the record: resolves the references when this reader collects its own.
    void Finish();

private:
    std::unique_ptr<TVxPendingReferences> FOwn;
    TVxPendingReferences* FTarget;
};
