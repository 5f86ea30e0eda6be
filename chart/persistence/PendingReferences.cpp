#include "persistence/PendingReferences.h"

#include "util/ComponentPaths.h"

namespace {

thread_local TVxPendingReferences* ActiveCollection = nullptr;

} // namespace

TVxPendingReferences::TVxPendingReferences() : FOuter(ActiveCollection) {
    ActiveCollection = this;
}

TVxPendingReferences::~TVxPendingReferences() {
    // Collections close in the reverse order they opened (they live on the stack).
    if (ActiveCollection == this)
        ActiveCollection = FOuter;
}

TVxPendingReferences* TVxPendingReferences::Active() {
    return ActiveCollection;
}

void TVxPendingReferences::Add(QObject* Holder, const QString& Path, const QMetaObject& Kind,
                               std::function<void(QObject*)> Assign) {
    FItems.push_back({Holder, Path, &Kind, std::move(Assign)});
}

QObject* TVxPendingReferences::Find(const QString& Path, const QMetaObject& Kind) {
    if (Path.isEmpty())
        return nullptr;
    QObject* found = FindComponentByPath(Path);
    return found && found->metaObject()->inherits(&Kind) ? found : nullptr;
}

void TVxPendingReferences::Resolve() {
    // Taken out first: a setter may read another record, which opens its own collection.
    std::vector<TItem> items;
    items.swap(FItems);
    for (size_t k = 0; k < items.size(); ++k) {
        TItem& item = items[k];
        if (!item.Holder)
            continue;
        try {
            item.Assign(Find(item.Path, *item.Kind));
        } catch (...) {
            FItems.insert(FItems.begin(), std::make_move_iterator(items.begin() + qsizetype(k) + 1),
                          std::make_move_iterator(items.end()));
            throw;
        }
    }
}

TVxReferenceReader::TVxReferenceReader() {
    FTarget = TVxPendingReferences::Active();
    if (!FTarget) {
        FOwn = std::make_unique<TVxPendingReferences>();
        FTarget = FOwn.get();
    }
}

TVxReferenceReader::~TVxReferenceReader() = default;

void TVxReferenceReader::Finish() {
    if (FOwn)
        FOwn->Resolve();
}
