#include "PropertyLinks.h"

#include "util/Application.h"
#include "util/ComponentPaths.h"
#include "util/InvariantText.h"
#include "util/NumberText.h"

#include <QMetaEnum>
#include <cmath>
#include <limits>
#include <optional>

namespace {

bool IsIntegral(int Id) {
    switch (Id) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

bool IsFloating(int Id) {
    return Id == QMetaType::Double || Id == QMetaType::Float;
}

// The range of an integral property type, as doubles (exact enough for range checks).
void IntegralRange(int Id, double& Low, double& High) {
    switch (Id) {
    case QMetaType::UInt:
    case QMetaType::ULong:
        Low = 0;
        High = 4294967295.0;
        break;
    case QMetaType::LongLong:
        Low = -9223372036854775808.0;
        High = 9223372036854774784.0;
        break;
    case QMetaType::ULongLong:
        Low = 0;
        High = 18446744073709549568.0;
        break;
    case QMetaType::Short:
        Low = -32768;
        High = 32767;
        break;
    case QMetaType::UShort:
        Low = 0;
        High = 65535;
        break;
    case QMetaType::Char:
    case QMetaType::SChar:
        Low = -128;
        High = 127;
        break;
    case QMetaType::UChar:
        Low = 0;
        High = 255;
        break;
    default: // Int, Long (32 bits on the platforms that matter), enumerations
        Low = -2147483648.0;
        High = 2147483647.0;
        break;
    }
}

// A number from a variant of any numeric, boolean or text type.
std::optional<double> NumberOf(const QVariant& Value) {
    const int id = Value.metaType().id();
    if (IsFloating(id) || IsIntegral(id) || id == QMetaType::Bool)
        return Value.toDouble();
    if (id == QMetaType::QString) {
        double d = 0;
        if (TryTextToFloat(Value.toString(), d) || TryInvariantTextToFloat(Value.toString(), d))
            return d;
        return std::nullopt;
    }
    if (Value.metaType().flags() & QMetaType::IsEnumeration)
        return double(Value.toLongLong());
    bool ok = false;
    const double d = Value.toDouble(&ok);
    return ok ? std::optional<double>(d) : std::nullopt;
}

// Value converted to the type of Property, or nothing when the property cannot hold it.
std::optional<QVariant> ConvertForProperty(const QVariant& Value, const QMetaProperty& Property) {
    const QMetaType type = Property.metaType();
    const int id = type.id();
    if (Property.isEnumType() || IsIntegral(id)) {
        const std::optional<double> number = NumberOf(Value);
        if (!number || !std::isfinite(*number))
            return std::nullopt;
        // Converted by value, halves to even: never a reinterpretation of the bits.
        const double rounded = std::nearbyint(*number);
        double low = 0, high = 0;
        IntegralRange(Property.isEnumType() ? QMetaType::Int : id, low, high);
        if (rounded < low || rounded > high)
            return std::nullopt;
        if (Property.isEnumType()) {
            // Only the enumeration's own values (or combinations of its flags).
            const QMetaEnum enumeration = Property.enumerator();
            const int value = int(rounded);
            if (enumeration.isFlag()) {
                int all = 0;
                for (int i = 0; i < enumeration.keyCount(); ++i)
                    all |= enumeration.value(i);
                if ((value & ~all) != 0)
                    return std::nullopt;
            } else if (enumeration.valueToKey(value) == nullptr) {
                return std::nullopt;
            }
            return QVariant(value);
        }
        QVariant result = QVariant(qlonglong(rounded));
        if (id == QMetaType::ULongLong)
            result = QVariant(qulonglong(rounded));
        if (!result.convert(type))
            return std::nullopt;
        return result;
    }
    if (id == QMetaType::Bool) {
        const std::optional<double> number = NumberOf(Value);
        if (!number)
            return Value.canConvert(type) ? std::optional<QVariant>(Value.toBool()) : std::nullopt;
        return QVariant(*number != 0);
    }
    if (IsFloating(id)) {
        const std::optional<double> number = NumberOf(Value);
        if (!number)
            return std::nullopt;
        return id == QMetaType::Float ? QVariant(float(*number)) : QVariant(*number);
    }
    if (id == QMetaType::QString) {
        if (IsFloating(Value.metaType().id()))
            return QVariant(FloatToText(Value.toDouble()));
        return QVariant(Value.toString());
    }
    QVariant converted = Value;
    if (!converted.convert(type))
        return std::nullopt;
    return converted;
}

TVxTypeKind KindOf(const QMetaProperty& Property) {
    if (!Property.isValid())
        return TVxTypeKind::Other;
    const int id = Property.metaType().id();
    if (Property.isEnumType() || id == QMetaType::Bool)
        return TVxTypeKind::Enumeration;
    if (IsIntegral(id))
        return TVxTypeKind::Integer;
    if (IsFloating(id))
        return TVxTypeKind::Float;
    if (id == QMetaType::QString)
        return TVxTypeKind::String;
    return TVxTypeKind::Other;
}

QObject* FindForm(const QString& Name) {
    if (Name.isEmpty())
        return nullptr;
    const TVxApplication& app = TVxApplication::Instance();
    for (QObject* form : app.Forms())
        if (form->objectName() == Name)
            return form;
    for (QObject* module : app.DataModules())
        if (module->objectName() == Name)
            return module;
    return nullptr;
}

QObject* FindOwned(const QObject* Owner, const QString& Name) {
    for (QObject* child : Owner->children())
        if (child->objectName() == Name)
            return child;
    return nullptr;
}

} // namespace

bool WritePropertyConverted(QObject* Instance, const QMetaProperty& Property,
                            const QVariant& Value) {
    if (Instance == nullptr || !Property.isValid() || !Property.isWritable())
        return false;
    const std::optional<QVariant> converted = ConvertForProperty(Value, Property);
    return converted && Property.write(Instance, *converted);
}

TVxPropertyLinks::TVxPropertyLinks(QObject* ManagedInstance, const char* ManagedProperty)
    : FManagedInstance(ManagedInstance), FManagedProperty(QString::fromLatin1(ManagedProperty)) {
    const QMetaObject* meta = ManagedInstance->metaObject();
    const int index = meta->indexOfProperty(ManagedProperty);
    if (index >= 0)
        FManagedInstancePropInfo = meta->property(index);
    FTypeFilter = QString::fromLatin1(FManagedInstancePropInfo.typeName());
    FTypeKind = KindOf(FManagedInstancePropInfo);
    FIdle = std::make_unique<TVxIdleSubscription>([this] { Idle(); });
}

TVxPropertyLinks::~TVxPropertyLinks() {
    FIdle.reset();
    for (const QMetaObject::Connection& watch : FWatches)
        QObject::disconnect(watch);
}

void TVxPropertyLinks::SetItems(const QStringList& Items) {
    FItems = Items;
    FNeedCheck = true;
}

void TVxPropertyLinks::SetLink(const QVariant& Value) {
    for (const TVxPropertyRec& rec : FPropRecs)
        if (rec.Resolved())
            WritePropertyConverted(rec.Instance.data(), rec.PropInfo, Value);
}

void TVxPropertyLinks::Resolve(const QString& Path, TVxPropertyRec& Rec) {
    Rec = TVxPropertyRec();
    const QStringList parts = Path.split(u'.');
    QObject* component = FindForm(parts.front());
    if (component == nullptr)
        return;
    QObject* instance = component;
    qsizetype lastComponent = 0;
    QMetaProperty target;
    for (qsizetype k = 1; k < parts.size(); ++k) {
        if (QObject* owned = FindOwned(component, parts[k])) {
            component = instance = owned;
            lastComponent = k;
            continue;
        }
        const QMetaObject* meta = instance->metaObject();
        const int index = meta->indexOfProperty(parts[k].toLatin1().constData());
        if (index < 0)
            return;
        const QMetaProperty property = meta->property(index);
        if (property.metaType().flags() & QMetaType::PointerToQObject) {
            // An object-valued property leads on; a null one leaves the link unresolved.
            QObject* object = property.read(instance).value<QObject*>();
            if (object == nullptr)
                return;
            instance = object;
            continue;
        }
        if (k != parts.size() - 1)
            return; // a plain property cannot lead further
        target = property;
    }
    if (!target.isValid())
        return;
    Rec.PropInfo = target;
    Rec.Instance = instance;
    Rec.TheComponent = component;
    Rec.InstanceName = parts.mid(lastComponent + 1).join(u'.');
    for (QObject* watched : {component, instance})
        FWatches.push_back(
            QObject::connect(watched, &QObject::destroyed, [this] { FNeedCheck = true; }));
}

void TVxPropertyLinks::CheckLink() {
    if (!FNeedCheck)
        return;
    FNeedCheck = false;
    for (const QMetaObject::Connection& watch : FWatches)
        QObject::disconnect(watch);
    FWatches.clear();
    FPropRecs.assign(std::size_t(FItems.size()), TVxPropertyRec());
    for (qsizetype i = 0; i < FItems.size(); ++i)
        Resolve(FItems[i], FPropRecs[std::size_t(i)]);
    if (!FPropRecs.empty() && FPropRecs.front().Resolved())
        CopyFirstLinkToManaged();
}

void TVxPropertyLinks::CopyFirstLinkToManaged() {
    if (FTypeKind == TVxTypeKind::Other)
        return;
    const TVxPropertyRec& first = FPropRecs.front();
    WritePropertyConverted(FManagedInstance, FManagedInstancePropInfo,
                           first.PropInfo.read(first.Instance.data()));
}

bool TVxPropertyLinks::SameAsManaged(const QVariant& LinkValue) const {
    const std::optional<QVariant> converted =
        ConvertForProperty(LinkValue, FManagedInstancePropInfo);
    if (!converted)
        return true; // nothing that could be copied
    const QVariant managed = FManagedInstancePropInfo.read(FManagedInstance);
    if (FTypeKind == TVxTypeKind::Float) {
        const double a = converted->toDouble();
        const double b = managed.toDouble();
        return a == b || (std::isnan(a) && std::isnan(b));
    }
    return *converted == managed;
}

void TVxPropertyLinks::Idle() {
    if (FItems.isEmpty())
        return;
    if (FNeedCheck) {
        CheckLink();
        return;
    }
    if (FPropRecs.empty() || !FPropRecs.front().Resolved() || FTypeKind == TVxTypeKind::Other)
        return;
    const TVxPropertyRec& first = FPropRecs.front();
    if (!SameAsManaged(first.PropInfo.read(first.Instance.data()))) {
        FNeedCheck = true;
        CheckLink();
    }
}

void TVxPropertyLinks::UpdateLinkNames() {
    CheckLink();
    for (qsizetype i = 0; i < FItems.size() && std::size_t(i) < FPropRecs.size(); ++i) {
        const TVxPropertyRec& rec = FPropRecs[std::size_t(i)];
        if (!rec.Resolved() || rec.TheComponent.isNull())
            continue;
        const QString path = ComponentPath(rec.TheComponent.data());
        if (path.isEmpty())
            continue;
        FItems[i] = rec.InstanceName.isEmpty() ? path : path + u'.' + rec.InstanceName;
    }
}
