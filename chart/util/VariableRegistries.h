#pragma once
// Registries of the names an expression or a caption placeholder can use: one-argument
// functions, numeric variables, text variables and indexed numeric arrays.
//
// Series and graphs register their results here together with the component that provides
// them (the Container), and unregister all of them when they go away. A variable is named in
// expressions by its QualifiedName: the Id alone without a container, otherwise the
// container's ComponentPath, "." and the Id ("Form1.Graph1.Series1.Slope"). Names compare
// without regard to letter case.
//
// Every list counts its changes (Generation), and every change of one of the four
// process-wide lists also advances RegistryGeneration(); whoever keeps callables taken from
// a list (the expression parser's compiled program) looks them up again when a count it
// depends on moved, so it never calls into an object that has unregistered. A container that is
// destroyed without unregistering is removed from every list it is in by the list itself. UI thread
// only.

#include <QObject>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

/// A built-in or user function of one argument.
using TVxOnePrmFunction = double (*)(double);
/// A function of two arguments (the operators of an expression).
using TVxTwoPrmFunction = double (*)(double, double);
/// Reads a numeric variable.
using TVxDoubleGetter = std::function<double()>;
/// Reads a text variable (rich caption markup, which may hold placeholders itself).
using TVxStringGetter = std::function<QString()>;
/// Reads element Idx of an indexed variable; raises EVxRangeError for an index it lacks.
using TVxArrayValGetter = std::function<double(int Idx)>;

/// A registered function.
struct TVxFunctionRec {
    QString Id;
    QString Comment;
    TVxOnePrmFunction AFunction = nullptr;
};

/// A registered numeric variable.
struct TVxDoubleGetterRec {
    QString Id;
    QString Comment;
    QObject* Container = nullptr;
    TVxDoubleGetter AGetter;
};

/// A registered text variable.
struct TVxStringGetterRec {
    QString Id;
    QString Comment;
    QObject* Container = nullptr;
    TVxStringGetter AGetter;
};

/// A registered indexed variable.
struct TVxDoubleArrayRec {
    QString Id;
    QString Comment;
    QObject* Container = nullptr;
    TVxArrayValGetter AArray;
};

/// The process-wide generation: advances on every change of the four process-wide lists.
std::uint64_t RegistryGeneration();

/// The name of an entry in expressions: Id without container, else ComponentPath(Container),
/// "." and Id.
QString QualifiedName(const QString& Id, const QObject* Container);

/// A growable list of registry records of one kind, in registration order.
template <class TRec> class TVxRegistryList {
public:
    /// An empty list; changes of a ProcessWide list also advance RegistryGeneration().
    explicit TVxRegistryList(bool ProcessWide = false) : FProcessWide(ProcessWide) {}
    ~TVxRegistryList();
    TVxRegistryList(const TVxRegistryList&) = delete;
    TVxRegistryList& operator=(const TVxRegistryList&) = delete;

    /// Number of changes so far.
    std::uint64_t Generation() const { return FGeneration; }
    /// Number of entries.
    int Count() const { return int(FItems.size()); }
    /// Entry i (0 <= i < Count()).
    const TRec& operator[](int i) const { return FItems[std::size_t(i)]; }
    /// The entries in registration order.
    const std::vector<TRec>& Items() const { return FItems; }
    /// The entry whose QualifiedName equals Name ignoring case, nullptr when there is none.
    /// The pointer is valid until the list next changes.
    const TRec* Find(QStringView Name) const;
    /// Removes every entry.
    void Clear();

    /// Replaces the entry with Rec's Id (ignoring case) and, for container records, the same
    /// Container; appends when there is none.
    void Register(TRec Rec);
    /// Removes every entry of Container, keeping the order of the others (container records).
    void UnregisterContainer(const QObject* Container);

private:
    void Watch(QObject* Container);
    void Changed();

    std::vector<TRec> FItems;
    std::uint64_t FGeneration = 0;
    bool FProcessWide = false;
    // Destruction notices of the containers that have entries here.
    std::map<const QObject*, QMetaObject::Connection> FWatched;
};

/// The function list type (GlobalFunctions, a parser's FunctionsList).
using TVxFunctionsList = TVxRegistryList<TVxFunctionRec>;
/// The numeric variable list type (GlobalDoubleGetters, a parser's VariablesList).
using TVxDoubleGetterList = TVxRegistryList<TVxDoubleGetterRec>;
/// The text variable list type (GlobalStringGetters).
using TVxStringGetterList = TVxRegistryList<TVxStringGetterRec>;
/// The indexed variable list type (GlobalDoubleArrays).
using TVxDoubleArraysList = TVxRegistryList<TVxDoubleArrayRec>;

extern template class TVxRegistryList<TVxFunctionRec>;
extern template class TVxRegistryList<TVxDoubleGetterRec>;
extern template class TVxRegistryList<TVxStringGetterRec>;
extern template class TVxRegistryList<TVxDoubleArrayRec>;

/// The process-wide functions; the built-ins are registered on first use, in their
/// documented order, before anything else.
TVxFunctionsList& GlobalFunctions();
/// The process-wide numeric variables.
TVxDoubleGetterList& GlobalDoubleGetters();
/// The process-wide text variables (read by caption placeholders).
TVxStringGetterList& GlobalStringGetters();
/// The process-wide indexed variables.
TVxDoubleArraysList& GlobalDoubleArrays();

/// Registers Function as Id in List, replacing an entry of that Id (ignoring case).
void RegisterFunction(const QString& Id, const QString& Comment, TVxOnePrmFunction Function,
                      TVxFunctionsList& List);
/// Registers a numeric variable of Container (nullptr: none) in List, replacing the entry
/// with the same Container and Id (ignoring case).
void RegisterDoubleGetter(const QString& Id, const QString& Comment, QObject* Container,
                          TVxDoubleGetterList& List, TVxDoubleGetter Getter);
/// Registers a text variable of Container in List, as RegisterDoubleGetter.
void RegisterStringGetter(const QString& Id, const QString& Comment, QObject* Container,
                          TVxStringGetterList& List, TVxStringGetter Getter);
/// Registers an indexed variable of Container in List, as RegisterDoubleGetter.
void RegisterDoubleArray(const QString& Id, const QString& Comment, QObject* Container,
                         TVxDoubleArraysList& List, TVxArrayValGetter Array);

/// Removes every entry of Container from List, keeping the order of the others.
void UnregisterContainer(const QObject* Container, TVxDoubleGetterList& List);
/// Removes every entry of Container from List, keeping the order of the others.
void UnregisterContainer(const QObject* Container, TVxStringGetterList& List);
/// Removes every entry of Container from List, keeping the order of the others.
void UnregisterContainer(const QObject* Container, TVxDoubleArraysList& List);
/// Removes every entry of Container from the three process-wide container lists (what a
/// series or graph does when it is destroyed).
void UnregisterContainerEverywhere(const QObject* Container);

/// The process-wide numeric variable named Name (QualifiedName, any case), if any.
std::optional<TVxDoubleGetterRec> FindDoubleGetter(QStringView Name);
/// The process-wide text variable named Name (QualifiedName, any case), if any.
std::optional<TVxStringGetterRec> FindStringGetter(QStringView Name);

/// Implemented by components whose variables captions can show (series, graphs): they keep
/// the components to re-expand when those variables change (their FObjectsToUpdate).
class TVxVariableContainer {
public:
    virtual ~TVxVariableContainer() = default;
    /// Adds Component to the objects to update, once.
    virtual void AddObjectToUpdate(QObject* Component) = 0;
};

/// When Container is a TVxVariableContainer and Component is not nullptr, adds Component
/// to its objects to update; does nothing otherwise.
void AddDependent(QObject* Container, QObject* Component);
