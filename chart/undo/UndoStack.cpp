#include "undo/UndoStack.h"

#include "persistence/BinaryStream.h"
#include "undo/UndoLog.h"
#include "util/ComponentPaths.h"
#include "util/Exceptions.h"
#include "vectors/DoubleVector.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMetaProperty>
#include <QPointer>
#include <bit>
#include <cstring>
#include <unordered_map>

static_assert(std::endian::native == std::endian::little,
              "enumeration values are copied as their low-order bytes");

// Objects without a component path are named in the logs by a number that this registry
// maps to a guarded pointer: a record whose object has died resolves to nullptr.
class TVxObjectRegistry {
public:
    /// The number of Object (0 for nullptr), registering it on first use.
    qint64 Id(QObject* Object) {
        if (Object == nullptr)
            return 0;
        const auto known = FByObject.find(Object);
        if (known != FByObject.end()) {
            const auto entry = FById.find(known->second);
            // A dead object's address may be reused by a new one: that gets a new number.
            if (entry != FById.end() && entry->second == Object)
                return known->second;
        }
        const qint64 id = FNext++;
        FById.emplace(id, QPointer<QObject>(Object));
        FByObject[Object] = id;
        return id;
    }
    /// The live object numbered Id, nullptr when it died or was never registered.
    QObject* Find(qint64 Id) const {
        const auto entry = FById.find(Id);
        return entry == FById.end() ? nullptr : entry->second.data();
    }
    /// Forgets every object (the logs that named them are empty).
    void Clear() {
        FById.clear();
        FByObject.clear();
    }
    /// Remembers a class whose components were saved, so that they can be made anew.
    void AddClass(const QMetaObject* Meta) {
        FClasses.emplace(QByteArray(Meta->className()), Meta);
    }
    /// A class seen by AddClass, nullptr for an unknown name.
    const QMetaObject* FindClass(const QByteArray& Name) const {
        const auto entry = FClasses.find(Name);
        return entry == FClasses.end() ? nullptr : entry->second;
    }

private:
    std::unordered_map<qint64, QPointer<QObject>> FById;
    std::unordered_map<const QObject*, qint64> FByObject;
    std::unordered_map<QByteArray, const QMetaObject*> FClasses; // static meta-objects
    qint64 FNext = 1;
};

namespace {

// How a value is encoded in a log.
enum TValueTag : uint8_t {
    vtInteger,     // any signed ordinal type, as 64 bits
    vtUnsigned,    // any unsigned ordinal type, as 64 bits
    vtEnumeration, // an enumeration or set, as its bytes widened to 64 bits
    vtChar,        // a QChar, as its UTF-16 code
    vtDouble,      // double or float, all 8 bytes of a double
    vtText,
    vtObject,     // an object reference: an instance reference
    vtStringList, // count, then each line
    vtDoubleList, // count, then 8 bytes per value
    vtVariant,    // a QVariant through QDataStream
    vtSpecial     // a value kept outside the properties (TVxUndoSpecialValues)
};

constexpr int VariantStreamVersion = QDataStream::Qt_6_4;

void WriteInt64(TVxStreamWriter& Out, qint64 Value) {
    Out.WriteRaw(reinterpret_cast<const char*>(&Value), 8);
}

qint64 ReadInt64(TVxStreamReader& In) {
    const quint64 low = quint32(In.ReadInt32());
    const quint64 high = quint32(In.ReadInt32());
    return qint64(low | (high << 32));
}

QByteArray ReadBytes(QIODevice& Stream, TVxStreamReader& In) {
    const int32_t count = In.ReadCount(1);
    QByteArray bytes = Stream.read(count);
    if (bytes.size() != count)
        throw EVxStreamError("Stream read error");
    return bytes;
}

QString NotFound(const QByteArray& Name) {
    return QString("Property: \"%1\" not found").arg(QString::fromUtf8(Name));
}

QMetaProperty FindProperty(const QObject* Instance, const QByteArray& Name) {
    const QMetaObject* meta = Instance->metaObject();
    const int index = meta->indexOfProperty(Name.constData());
    return index < 0 ? QMetaProperty() : meta->property(index);
}

bool IsSignedOrdinal(int Id) {
    switch (Id) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Char:
    case QMetaType::SChar:
        return true;
    default:
        return false;
    }
}

bool IsUnsignedOrdinal(int Id) {
    switch (Id) {
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UChar:
    case QMetaType::Char16:
    case QMetaType::Char32:
        return true;
    default:
        return false;
    }
}

// A QVariant of exactly Type built from Value, or raises.
QVariant Converted(QVariant Value, QMetaType Type, const QByteArray& Name) {
    if (Value.metaType() != Type && !Value.convert(Type))
        throw EVxStreamError(
            QString("Property: \"%1\" cannot take the saved value").arg(QString::fromUtf8(Name)));
    return Value;
}

// The edit state of a line edit, or of any object with "text" and "cursorPosition".
struct TEditState {
    QString Text;
    int SelStart = 0;
    int SelLength = 0;
};

TEditState CurrentEditState(QObject* Edit) {
    if (auto* line = qobject_cast<QLineEdit*>(Edit)) {
        const bool selected = line->hasSelectedText();
        return {line->text(), selected ? line->selectionStart() : line->cursorPosition(),
                selected ? int(line->selectedText().size()) : 0};
    }
    return {Edit->property("text").toString(), Edit->property("cursorPosition").toInt(), 0};
}

// The fields of an edit-state record after its instance reference.
void WriteEditState(QIODevice& Stream, const TEditState& State) {
    TVxStreamWriter out(Stream);
    out.WriteText(State.Text);
    out.WriteInt32(State.SelStart);
    out.WriteInt32(State.SelLength);
}

TEditState ReadEditState(TVxStreamReader& In) {
    TEditState state;
    state.Text = In.ReadText();
    state.SelStart = In.ReadInt32();
    state.SelLength = In.ReadInt32();
    return state;
}

void RestoreEditState(QObject* Edit, const TEditState& State) {
    if (auto* line = qobject_cast<QLineEdit*>(Edit)) {
        line->setText(State.Text);
        if (State.SelLength != 0)
            line->setSelection(State.SelStart, State.SelLength);
        else
            line->setCursorPosition(State.SelStart);
        return;
    }
    Edit->setProperty("text", State.Text);
    if (Edit->metaObject()->indexOfProperty("cursorPosition") >= 0)
        Edit->setProperty("cursorPosition", State.SelStart);
}

// Copies a record body staged in a buffer into a log.
void WriteStaged(QIODevice& Log, const QBuffer& Staged) {
    TVxStreamWriter(Log).WriteRaw(Staged.data().constData(), Staged.data().size());
}

} // namespace

TVxUndoStack::TVxUndoStack(QObject* AOwner)
    : TVxComponent(AOwner), FRegistry(std::make_unique<TVxObjectRegistry>()) {}

TVxUndoStack::~TVxUndoStack() {
    BeginDestruction();
}

void TVxUndoStack::SetEnabled(bool Value) {
    FEnabled = Value;
}

void TVxUndoStack::SetLimit(int Value) {
    FLimit = Value;
    // Steps that were undone stay for redo until the next record drops them.
    TrimToLimit(true);
}

void TVxUndoStack::SetToMemoryStream(bool Value) {
    if (Value == FToMemoryStream)
        return;
    // The logs move to the other medium empty.
    FUndoLog.reset();
    FRedoLog.reset();
    FScratch.reset();
    FCurrentUndoIdx = FCurrentRedoIdx = -1;
    FUndoGroupLevel = 0;
    FToMemoryStream = Value;
}

bool TVxUndoStack::Recording() const {
    return FEnabled && !FRestoring;
}

void TVxUndoStack::EnsureLogs() {
    if (FUndoLog)
        return;
    if (FToMemoryStream) {
        FUndoLog = std::make_unique<TVxUndoLog>();
        FRedoLog = std::make_unique<TVxUndoLog>();
        FScratch = std::make_unique<TVxUndoLog>();
        return;
    }
    const QString program =
        QCoreApplication::instance() != nullptr
            ? QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName()
            : QString("Quenby");
    const QString base = program + ".VxUndoStack.";
    const QString folder = QDir::tempPath();
    int counter = 0;
    // Three new files, the counter carrying over from one to the next; a failure on the
    // way deletes the ones already made.
    auto undo = std::make_unique<TVxUndoLog>(folder, base, counter);
    auto redo = std::make_unique<TVxUndoLog>(folder, base, counter);
    auto scratch = std::make_unique<TVxUndoLog>(folder, base, counter);
    FUndoLog = std::move(undo);
    FRedoLog = std::move(redo);
    FScratch = std::move(scratch);
}

QIODevice& TVxUndoStack::StartRecord(const QString& Comment, TRecordKind Kind) {
    EnsureLogs();
    // A new record ends redo: the undone steps and the redo log go.
    FUndoLog->DropStepsFrom(FCurrentUndoIdx + 1);
    if (FRedoLog->StepCount() > 0)
        FRedoLog->Clear();
    FCurrentRedoIdx = -1;
    const bool newStep = FUndoGroupLevel == 0;
    FUndoLog->BeginRecord(newStep, Comment);
    if (newStep)
        FCurrentUndoIdx = FUndoLog->StepCount() - 1;
    try {
        TVxStreamWriter out(FUndoLog->Device());
        out.WriteText(FUndoGroupLevel == 0 ? Comment : QString());
        out.WriteByte(Kind);
    } catch (...) {
        AbortRecord();
        throw;
    }
    return FUndoLog->Device();
}

void TVxUndoStack::EndRecord() {
    FUndoLog->EndRecord();
    TrimToLimit(false);
}

void TVxUndoStack::AbortRecord() {
    const int steps = FUndoLog->StepCount();
    FUndoLog->AbortRecord();
    if (FUndoLog->StepCount() < steps)
        FCurrentUndoIdx = FUndoLog->StepCount() - 1;
}

template <class TWrite>
void TVxUndoStack::WriteRecord(const QString& Comment, TRecordKind Kind, TWrite Write) {
    QIODevice& log = StartRecord(Comment, Kind);
    try {
        Write(log);
    } catch (...) {
        AbortRecord();
        throw;
    }
    EndRecord();
}

template <class TWrite> void TVxUndoStack::WriteRedoRecord(TRecordKind Kind, TWrite Write) {
    FRedoLog->BeginRecord(false, QString());
    TVxStreamWriter out(FRedoLog->Device());
    out.WriteText(QString());
    out.WriteByte(Kind);
    Write(FRedoLog->Device());
    FRedoLog->EndRecord();
}

// Drops the oldest steps while more than Limit are kept; with KeepUndone, only steps that
// are not undone (so redo still finds the ones it re-exposes).
void TVxUndoStack::TrimToLimit(bool KeepUndone) {
    if (!FUndoLog || FLimit <= 0)
        return;
    while (FUndoLog->StepCount() > FLimit && (!KeepUndone || FCurrentUndoIdx >= 0)) {
        FUndoLog->DropOldestStep(*FScratch);
        --FCurrentUndoIdx;
    }
}

void TVxUndoStack::ClearLogs() {
    if (FUndoLog) {
        FUndoLog->Clear();
        FRedoLog->Clear();
        FScratch->Clear();
    }
    FCurrentUndoIdx = FCurrentRedoIdx = -1;
    FUndoGroupLevel = 0;
    FRegistry->Clear();
}

void TVxUndoStack::Clear() {
    EnsureLogs();
    ClearLogs();
}

// ---- Instance references and values ----

void TVxUndoStack::WriteInstance(QIODevice& Stream, QObject* Instance) {
    TVxStreamWriter out(Stream);
    // The path only when it leads back to this object; the registry number always, for
    // objects whose path does not resolve (no name, or an owner outside the registry).
    const QString path = ComponentPath(Instance);
    out.WriteText(!path.isEmpty() && FindComponentByPath(path) == Instance ? path : QString());
    WriteInt64(out, FRegistry->Id(Instance));
}

QObject* TVxUndoStack::ReadInstance(QIODevice& Stream, QString* Path) {
    TVxStreamReader in(Stream);
    const QString path = in.ReadText();
    if (Path != nullptr)
        *Path = path;
    const qint64 id = ReadInt64(in);
    QObject* found = path.isEmpty() ? nullptr : FindComponentByPath(path);
    return found != nullptr ? found : FRegistry->Find(id);
}

void TVxUndoStack::WritePropertyState(QIODevice& Stream, QObject* Instance,
                                      const QByteArray& Name) {
    WriteInstance(Stream, Instance);
    TVxStreamWriter(Stream).WriteText(QString::fromUtf8(Name));
    WritePropertyValue(Stream, Instance, Name);
}

void TVxUndoStack::WritePropertyValue(QIODevice& Stream, QObject* Instance,
                                      const QByteArray& Name) {
    TVxStreamWriter out(Stream);
    if (auto* special = dynamic_cast<TVxUndoSpecialValues*>(Instance)) {
        qint64 value = 0;
        if (special->GetUndoSpecialValue(Name, value)) {
            out.WriteByte(vtSpecial);
            WriteInt64(out, value);
            return;
        }
    }
    const QMetaProperty property = FindProperty(Instance, Name);
    if (!property.isValid() || !property.isWritable())
        throw EVxStreamError(NotFound(Name));
    const QVariant value = property.read(Instance);
    const QMetaType type = property.metaType();
    const int id = type.id();
    if (property.isEnumType()) {
        quint64 bits = 0;
        std::memcpy(&bits, value.constData(), std::min<size_t>(type.sizeOf(), sizeof bits));
        out.WriteByte(vtEnumeration);
        WriteInt64(out, qint64(bits));
    } else if (id == QMetaType::QChar) {
        out.WriteByte(vtChar);
        out.WriteInt32(value.value<QChar>().unicode());
    } else if (IsSignedOrdinal(id)) {
        out.WriteByte(vtInteger);
        WriteInt64(out, value.toLongLong());
    } else if (IsUnsignedOrdinal(id)) {
        out.WriteByte(vtUnsigned);
        WriteInt64(out, qint64(value.toULongLong()));
    } else if (id == QMetaType::Double || id == QMetaType::Float) {
        out.WriteByte(vtDouble);
        out.WriteDouble(value.toDouble());
    } else if (id == QMetaType::QString) {
        out.WriteByte(vtText);
        out.WriteText(value.toString());
    } else if (type.flags().testFlag(QMetaType::PointerToQObject)) {
        out.WriteByte(vtObject);
        WriteInstance(Stream, value.value<QObject*>());
    } else if (id == QMetaType::QStringList) {
        const QStringList lines = value.toStringList();
        out.WriteByte(vtStringList);
        out.WriteInt32(int32_t(lines.size()));
        for (const QString& line : lines)
            out.WriteText(line);
    } else if (type == QMetaType::fromType<QList<double>>()) {
        const QList<double> values = value.value<QList<double>>();
        out.WriteByte(vtDoubleList);
        out.WriteInt32(int32_t(values.size()));
        out.WriteDoubles(values);
    } else {
        QByteArray bytes;
        QDataStream data(&bytes, QIODevice::WriteOnly);
        data.setVersion(VariantStreamVersion);
        data << value;
        if (data.status() != QDataStream::Ok)
            throw EVxStreamError(QString("Property: \"%1\" of type %2 cannot be saved")
                                     .arg(QString::fromUtf8(Name), QString::fromUtf8(type.name())));
        out.WriteByte(vtVariant);
        out.WriteInt32(int32_t(bytes.size()));
        out.WriteRaw(bytes.constData(), bytes.size());
    }
}

void TVxUndoStack::ReadPropertyValue(QIODevice& Stream, QObject* Instance, const QByteArray& Name) {
    TVxStreamReader in(Stream);
    const uint8_t tag = in.ReadByte();
    if (tag == vtSpecial) {
        const qint64 value = ReadInt64(in);
        if (auto* special = dynamic_cast<TVxUndoSpecialValues*>(Instance))
            special->SetUndoSpecialValue(Name, value);
        return;
    }
    const QMetaProperty property = FindProperty(Instance, Name);
    if (!property.isValid() || !property.isWritable())
        throw EVxStreamError(NotFound(Name));
    const QMetaType type = property.metaType();
    QVariant value;
    switch (tag) {
    case vtEnumeration: {
        const qint64 bits = ReadInt64(in);
        if (type.sizeOf() > qsizetype(sizeof bits))
            throw EVxStreamError(NotFound(Name));
        value = QVariant(type, &bits);
        break;
    }
    case vtChar:
        value = QVariant(QChar(char16_t(in.ReadInt32())));
        break;
    case vtInteger:
        value = QVariant(qlonglong(ReadInt64(in)));
        break;
    case vtUnsigned:
        value = QVariant(qulonglong(ReadInt64(in)));
        break;
    case vtDouble:
        value = QVariant(in.ReadDouble());
        break;
    case vtText:
        value = QVariant(in.ReadText());
        break;
    case vtObject:
        // A null reference (or one whose target died) is a null pointer of the property's
        // own type: Qt converts no null QObject* to a derived pointer type.
        if (QObject* target = ReadInstance(Stream))
            value = QVariant::fromValue(target);
        else
            value = QVariant(type);
        break;
    case vtStringList: {
        const int32_t count = in.ReadCount(4);
        QStringList lines;
        lines.reserve(count);
        for (int32_t i = 0; i < count; ++i)
            lines.append(in.ReadText());
        value = QVariant(lines);
        break;
    }
    case vtDoubleList: {
        const std::vector<double> values = in.ReadDoubles(in.ReadCount(8));
        value = QVariant::fromValue(QList<double>(values.begin(), values.end()));
        break;
    }
    case vtVariant: {
        const QByteArray bytes = ReadBytes(Stream, in);
        QDataStream data(bytes);
        data.setVersion(VariantStreamVersion);
        data >> value;
        if (data.status() != QDataStream::Ok)
            throw EVxStreamError("Stream read error");
        break;
    }
    default:
        throw EVxStreamError("Stream read error");
    }
    if (!property.write(Instance, Converted(std::move(value), type, Name)))
        throw EVxStreamError(
            QString("Property: \"%1\" cannot be restored").arg(QString::fromUtf8(Name)));
}

// ---- Recording ----

void TVxUndoStack::PushProperty(QObject* Instance, const QString& Comment, const char* PropName) {
    if (!Recording() || Instance == nullptr || PropName == nullptr)
        return;
    // The value is encoded first, so that an unknown name or a value that cannot be saved
    // raises before anything is written.
    QBuffer staged;
    staged.open(QIODevice::WriteOnly);
    WritePropertyState(staged, Instance, QByteArray(PropName));
    WriteRecord(Comment, rkProperty, [&](QIODevice& Log) { WriteStaged(Log, staged); });
}

void TVxUndoStack::PushVectorState(TVxDoubleVector* AVector, const QString& Comment) {
    if (!Recording() || AVector == nullptr)
        return;
    WriteRecord(Comment, rkVectorState, [&](QIODevice& Log) {
        WriteInstance(Log, AVector);
        AVector->WriteTo(Log);
    });
}

void TVxUndoStack::StartGroup(const QString& Comment) {
    if (!Recording())
        return;
    WriteRecord(Comment, rkGroupStart, [](QIODevice&) {});
    ++FUndoGroupLevel;
}

void TVxUndoStack::StopGroup() {
    if (!Recording())
        return;
    // Checked before anything is written: a stray StopGroup leaves the logs as they were.
    if (FUndoGroupLevel <= 0)
        throw EVxRangeError("Undo stack has too many StopGroup statements");
    WriteRecord(QString(), rkGroupEnd, [](QIODevice&) {});
    --FUndoGroupLevel;
}

// ---- Component and edit states ----

void TVxUndoStack::WriteComponentState(QIODevice& Stream, QObject* Component) {
    // The published state: every stored, writable property but the name, each encoded on
    // its own so that a property of a type that cannot be saved is left out, not fatal.
    QBuffer properties;
    properties.open(QIODevice::WriteOnly);
    int32_t count = 0;
    const QMetaObject* meta = Component->metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (!property.isStored() || !property.isWritable() ||
            qstrcmp(property.name(), "objectName") == 0)
            continue;
        QBuffer value;
        value.open(QIODevice::WriteOnly);
        try {
            WritePropertyValue(value, Component, QByteArray(property.name()));
        } catch (const EVxStreamError&) {
            continue;
        }
        TVxStreamWriter(properties).WriteText(QString::fromUtf8(property.name()));
        properties.write(value.data());
        ++count;
    }
    FRegistry->AddClass(meta);
    TVxStreamWriter out(Stream);
    WriteInstance(Stream, Component);
    out.WriteText(QString::fromUtf8(meta->className()));
    out.WriteInt32(count);
    out.WriteRaw(properties.data().constData(), properties.data().size());
}

QObject* TVxUndoStack::ReadComponentState(QIODevice& Stream, bool& Created) {
    TVxStreamReader in(Stream);
    QString path;
    QObject* component = ReadInstance(Stream, &path);
    const QByteArray className = in.ReadText().toUtf8();
    Created = false;
    if (component == nullptr) {
        // Freed meanwhile: made anew under its old owner when its class can be built from
        // the meta-object system (a Q_INVOKABLE constructor taking the owner).
        if (path.isEmpty())
            return nullptr;
        const std::optional<QObject*> owner = FindOwnerOfPath(path);
        if (!owner)
            return nullptr;
        const QMetaObject* meta = FRegistry->FindClass(className);
        if (meta == nullptr)
            return nullptr;
        QObject* parent = *owner != nullptr ? *owner : Owner();
        component = meta->newInstance(Q_ARG(QObject*, parent));
        if (component == nullptr)
            return nullptr;
        component->setObjectName(path.mid(path.lastIndexOf(u'.') + 1));
        Created = true;
    }
    const int32_t count = in.ReadCount(2);
    for (int32_t i = 0; i < count; ++i) {
        const QByteArray name = in.ReadText().toUtf8();
        ReadPropertyValue(Stream, component, name);
    }
    return component;
}

// ---- Undo and redo ----

// Applies one record of Log; with Undoing, first writes into the redo log what the record
// is about to overwrite. A record whose object no longer exists is skipped.
void TVxUndoStack::ApplyRecord(TVxUndoLog& Log, int Step, int Record, bool Undoing) {
    Log.SeekRecord(Step, Record);
    QIODevice& in = Log.Device();
    TVxStreamReader reader(in);
    reader.ReadText();
    const uint8_t kind = reader.ReadByte();
    switch (kind) {
    case rkProperty: {
        QObject* instance = ReadInstance(in);
        const QByteArray name = reader.ReadText().toUtf8();
        if (instance == nullptr)
            return;
        if (Undoing) {
            // Staged, so that a value that cannot be saved leaves no half record.
            QBuffer staged;
            staged.open(QIODevice::WriteOnly);
            WritePropertyState(staged, instance, name);
            WriteRedoRecord(rkProperty, [&](QIODevice& Out) { WriteStaged(Out, staged); });
        }
        ReadPropertyValue(in, instance, name);
        return;
    }
    case rkComponent: {
        const qint64 start = in.pos();
        QString path;
        QObject* existing = ReadInstance(in, &path);
        if (Undoing && existing != nullptr)
            WriteRedoRecord(rkComponent,
                            [&](QIODevice& Out) { WriteComponentState(Out, existing); });
        in.seek(start);
        bool created = false;
        ReadComponentState(in, created);
        if (Undoing && created)
            WriteRedoRecord(rkCreatedComponent,
                            [&](QIODevice& Out) { TVxStreamWriter(Out).WriteText(path); });
        return;
    }
    case rkCreatedComponent: {
        QObject* component = FindComponentByPath(reader.ReadText());
        if (component == nullptr)
            return;
        if (Undoing)
            WriteRedoRecord(rkComponent,
                            [&](QIODevice& Out) { WriteComponentState(Out, component); });
        delete component;
        return;
    }
    case rkEditState: {
        QObject* edit = ReadInstance(in);
        const TEditState saved = ReadEditState(reader);
        if (edit == nullptr)
            return;
        if (Undoing)
            WriteRedoRecord(rkEditState, [&](QIODevice& Out) {
                WriteInstance(Out, edit);
                WriteEditState(Out, CurrentEditState(edit));
            });
        RestoreEditState(edit, saved);
        return;
    }
    case rkVectorState: {
        auto* vector = qobject_cast<TVxDoubleVector*>(ReadInstance(in));
        if (vector == nullptr)
            return;
        if (Undoing)
            WriteRedoRecord(rkVectorState, [&](QIODevice& Out) {
                WriteInstance(Out, vector);
                vector->WriteTo(Out);
            });
        vector->ReadFrom(in);
        return;
    }
    case rkGroupStart:
    case rkGroupEnd:
        return; // the steps of both logs are kept in their step lists
    default:
        throw EVxStreamError("Stream read error");
    }
}

template <class TSteps>
bool TVxUndoStack::Restore(TSteps Steps, const std::function<void(TVxUndoStack*)>& Done) {
    FRestoring = true;
    bool ok = true;
    try {
        Steps();
    } catch (const std::exception&) {
        ClearLogs();
        ok = false;
    }
    FRestoring = false;
    if (ok && Done)
        Done(this);
    return ok;
}

bool TVxUndoStack::Undo(int ToIndex) {
    // Inside an open group the step being recorded is not finished: nothing to undo yet.
    if (!CanUndo() || FUndoGroupLevel > 0)
        return false;
    return Restore(
        [&] {
            const int first = std::max(FCurrentUndoIdx - std::max(ToIndex, 0), 0);
            // The steps beyond the next one to redo were redone: their redo records go.
            FRedoLog->DropStepsFrom(FCurrentRedoIdx + 1);
            while (FCurrentUndoIdx >= first) {
                const int step = FCurrentUndoIdx;
                // Every undone step gets its redo step, even one whose objects have all died,
                // so that the two logs keep counting the same steps.
                FRedoLog->BeginStep(FUndoLog->StepDescription(step));
                for (int record = FUndoLog->RecordCount(step) - 1; record >= 0; --record)
                    ApplyRecord(*FUndoLog, step, record, true);
                --FCurrentUndoIdx;
                ++FCurrentRedoIdx;
            }
        },
        OnUndo);
}

bool TVxUndoStack::Redo(int ToIndex) {
    if (!CanRedo() || FUndoGroupLevel > 0)
        return false;
    return Restore(
        [&] {
            const int first = std::max(FCurrentRedoIdx - std::max(ToIndex, 0), 0);
            while (FCurrentRedoIdx >= first) {
                const int step = FCurrentRedoIdx;
                for (int record = FRedoLog->RecordCount(step) - 1; record >= 0; --record)
                    ApplyRecord(*FRedoLog, step, record, false);
                --FCurrentRedoIdx;
                ++FCurrentUndoIdx;
            }
        },
        OnRedo);
}

bool TVxUndoStack::CanUndo() const {
    return FEnabled && FCurrentUndoIdx >= 0;
}

bool TVxUndoStack::CanRedo() const {
    return FEnabled && FCurrentRedoIdx >= 0;
}

int TVxUndoStack::UndoCount() const {
    return FUndoLog ? FUndoLog->StepCount() : 0;
}

int TVxUndoStack::RedoCount() const {
    return FRedoLog ? FRedoLog->StepCount() : 0;
}

namespace {

// The descriptions of Log's steps from From down to the first (none for From < 0, when
// Log may not exist yet).
QStringList Descriptions(const TVxUndoLog* Log, int From) {
    QStringList list;
    for (int step = From; step >= 0; --step)
        list.append(Log->StepDescription(step));
    return list;
}

} // namespace

QStringList TVxUndoStack::UndoList() const {
    return Descriptions(FUndoLog.get(), FCurrentUndoIdx);
}

QStringList TVxUndoStack::RedoList() const {
    return Descriptions(FRedoLog.get(), FCurrentRedoIdx);
}

void TVxUndoStack::PushComponent(QObject* AComponent, const QString& Comment) {
    if (!Recording() || AComponent == nullptr)
        return;
    QBuffer staged;
    staged.open(QIODevice::WriteOnly);
    WriteComponentState(staged, AComponent);
    WriteRecord(Comment, rkComponent, [&](QIODevice& Log) { WriteStaged(Log, staged); });
}

void TVxUndoStack::PushFreeComponent(QObject* AComponent, const QString& Comment) {
    if (!Recording() || AComponent == nullptr)
        return;
    const QString path = ComponentPath(AComponent);
    if (path.isEmpty())
        throw EVxStreamError("Component does not have a name");
    WriteRecord(Comment, rkCreatedComponent,
                [&](QIODevice& Log) { TVxStreamWriter(Log).WriteText(path); });
}

void TVxUndoStack::PushEditState(QObject* AEdit, const QString& ACaption, int ASelStart,
                                 int ASelLength, const QString& Comment) {
    if (!Recording() || AEdit == nullptr)
        return;
    WriteRecord(Comment, rkEditState, [&](QIODevice& Log) {
        WriteInstance(Log, AEdit);
        WriteEditState(Log, {ACaption, ASelStart, ASelLength});
    });
}
