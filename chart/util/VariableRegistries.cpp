#include "VariableRegistries.h"

#include "util/ComponentPaths.h"
#include "util/ExpressionFunctions.h"

#include <algorithm>

namespace {

std::uint64_t GenerationCounter = 0;

template <class TRec> constexpr bool HasContainer = requires(TRec r) {
    r.Container;
};

// True when Name is the qualified name of Id with Container, ignoring case. Compares the Id
// first, so that most entries are rejected without building the container's path.
bool NameMatches(QStringView Name, const QString& Id, const QObject* Container) {
    if (Id.isEmpty() || Name.size() < Id.size() ||
        Name.right(Id.size()).compare(Id, Qt::CaseInsensitive) != 0)
        return false;
    if (Container == nullptr)
        return Name.size() == Id.size();
    const qsizetype prefix = Name.size() - Id.size();
    if (prefix < 1 || Name[prefix - 1] != u'.')
        return false;
    return Name.left(prefix - 1).compare(ComponentPath(Container), Qt::CaseInsensitive) == 0;
}

} // namespace

std::uint64_t RegistryGeneration() {
    return GenerationCounter;
}

QString QualifiedName(const QString& Id, const QObject* Container) {
    if (Container == nullptr)
        return Id;
    return ComponentPath(Container) + u'.' + Id;
}

template <class TRec> TVxRegistryList<TRec>::~TVxRegistryList() {
    for (auto& [container, connection] : FWatched)
        QObject::disconnect(connection);
    if (FProcessWide && !FItems.empty())
        ++GenerationCounter;
}

template <class TRec> void TVxRegistryList<TRec>::Changed() {
    ++FGeneration;
    if (FProcessWide)
        ++GenerationCounter;
}

template <class TRec> const TRec* TVxRegistryList<TRec>::Find(QStringView Name) const {
    for (const TRec& rec : FItems) {
        const QObject* container = nullptr;
        if constexpr (HasContainer<TRec>)
            container = rec.Container;
        if (NameMatches(Name, rec.Id, container))
            return &rec;
    }
    return nullptr;
}

template <class TRec> void TVxRegistryList<TRec>::Clear() {
    for (auto& [container, connection] : FWatched)
        QObject::disconnect(connection);
    FWatched.clear();
    FItems.clear();
    Changed();
}

template <class TRec> void TVxRegistryList<TRec>::Register(TRec Rec) {
    const auto same = [&](const TRec& r) {
        if constexpr (HasContainer<TRec>)
            if (r.Container != Rec.Container)
                return false;
        return r.Id.compare(Rec.Id, Qt::CaseInsensitive) == 0;
    };
    if constexpr (HasContainer<TRec>)
        Watch(Rec.Container);
    const auto it = std::find_if(FItems.begin(), FItems.end(), same);
    if (it != FItems.end())
        *it = std::move(Rec);
    else
        FItems.push_back(std::move(Rec));
    Changed();
}

template <class TRec> void TVxRegistryList<TRec>::UnregisterContainer(const QObject* Container) {
    if constexpr (HasContainer<TRec>) {
        const auto removed = std::remove_if(
            FItems.begin(), FItems.end(), [&](const TRec& r) { return r.Container == Container; });
        if (removed != FItems.end()) {
            FItems.erase(removed, FItems.end());
            Changed();
        }
        if (const auto it = FWatched.find(Container); it != FWatched.end()) {
            QObject::disconnect(it->second);
            FWatched.erase(it);
        }
    } else {
        (void)Container;
    }
}

template <class TRec> void TVxRegistryList<TRec>::Watch(QObject* Container) {
    if (Container == nullptr || FWatched.count(Container) != 0)
        return;
    // A container that is destroyed without unregistering must not leave getters behind
    // that call into it.
    FWatched[Container] = QObject::connect(Container, &QObject::destroyed,
                                           [this, Container] { UnregisterContainer(Container); });
}

template class TVxRegistryList<TVxFunctionRec>;
template class TVxRegistryList<TVxDoubleGetterRec>;
template class TVxRegistryList<TVxStringGetterRec>;
template class TVxRegistryList<TVxDoubleArrayRec>;

// The process-wide lists are never destroyed, so that a component destroyed during static
// destruction can still unregister.
TVxFunctionsList& GlobalFunctions() {
    static TVxFunctionsList* list = [] {
        auto* l = new TVxFunctionsList(true);
        RegisterBuiltInFunctions(*l);
        return l;
    }();
    return *list;
}

TVxDoubleGetterList& GlobalDoubleGetters() {
    static auto* list = new TVxDoubleGetterList(true);
    return *list;
}

TVxStringGetterList& GlobalStringGetters() {
    static auto* list = new TVxStringGetterList(true);
    return *list;
}

TVxDoubleArraysList& GlobalDoubleArrays() {
    static auto* list = new TVxDoubleArraysList(true);
    return *list;
}

void RegisterFunction(const QString& Id, const QString& Comment, TVxOnePrmFunction Function,
                      TVxFunctionsList& List) {
    List.Register({Id, Comment, Function});
}

void RegisterDoubleGetter(const QString& Id, const QString& Comment, QObject* Container,
                          TVxDoubleGetterList& List, TVxDoubleGetter Getter) {
    List.Register({Id, Comment, Container, std::move(Getter)});
}

void RegisterStringGetter(const QString& Id, const QString& Comment, QObject* Container,
                          TVxStringGetterList& List, TVxStringGetter Getter) {
    List.Register({Id, Comment, Container, std::move(Getter)});
}

void RegisterDoubleArray(const QString& Id, const QString& Comment, QObject* Container,
                         TVxDoubleArraysList& List, TVxArrayValGetter Array) {
    List.Register({Id, Comment, Container, std::move(Array)});
}

void UnregisterContainer(const QObject* Container, TVxDoubleGetterList& List) {
    List.UnregisterContainer(Container);
}

void UnregisterContainer(const QObject* Container, TVxStringGetterList& List) {
    List.UnregisterContainer(Container);
}

void UnregisterContainer(const QObject* Container, TVxDoubleArraysList& List) {
    List.UnregisterContainer(Container);
}

void UnregisterContainerEverywhere(const QObject* Container) {
    GlobalDoubleGetters().UnregisterContainer(Container);
    GlobalStringGetters().UnregisterContainer(Container);
    GlobalDoubleArrays().UnregisterContainer(Container);
}

std::optional<TVxDoubleGetterRec> FindDoubleGetter(QStringView Name) {
    if (const TVxDoubleGetterRec* rec = GlobalDoubleGetters().Find(Name))
        return *rec;
    return std::nullopt;
}

std::optional<TVxStringGetterRec> FindStringGetter(QStringView Name) {
    if (const TVxStringGetterRec* rec = GlobalStringGetters().Find(Name))
        return *rec;
    return std::nullopt;
}

void AddDependent(QObject* Container, QObject* Component) {
    if (Container == nullptr || Component == nullptr)
        return;
    if (auto* host = dynamic_cast<TVxVariableContainer*>(Container))
        host->AddObjectToUpdate(Component);
}
