#pragma once
// Property links: one property of the owning control (the managed property, "Value" for
// the numeric edit) bound to properties of other components named by dotted paths such as
// "FormComPort.VxGraph2D1.XAxis1.Start" (form, components, then property names; object-
// valued properties may stand between). A new value of the control is written to every
// resolved link; at idle moments the first link is watched and its value copied back into
// the control when it differs. Properties are found by name through Qt's meta-object
// system (Q_PROPERTY).

#include "util/IdleSource.h"

#include <QMetaProperty>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

/// The kinds of managed property the links can copy into.
enum class TVxTypeKind {
    Integer,     ///< an integer property
    Enumeration, ///< an enumeration (or boolean) property
    Float,       ///< a floating-point property
    String,      ///< a text property
    Other        ///< anything else: values are not copied back
};

/// One link: where its path led.
struct TVxPropertyRec {
    /// The target property (invalid while unresolved).
    QMetaProperty PropInfo;
    /// The object that has the target property.
    QPointer<QObject> Instance;
    /// The property path after the last component of the link's path.
    QString InstanceName;
    /// The last component the path reached.
    QPointer<QObject> TheComponent;

    /// True when the link has an instance and a property.
    bool Resolved() const { return PropInfo.isValid() && !Instance.isNull(); }
};

class TVxPropertyLinks {
public:
    /// Links for property ManagedProperty of ManagedInstance, which owns them. Subscribes to
    /// the current idle source.
    TVxPropertyLinks(QObject* ManagedInstance, const char* ManagedProperty);
    ~TVxPropertyLinks();
    TVxPropertyLinks(const TVxPropertyLinks&) = delete;
    TVxPropertyLinks& operator=(const TVxPropertyLinks&) = delete;

    /// The link paths.
    const QStringList& Items() const { return FItems; }
    /// Replaces the paths and marks a re-check.
    void SetItems(const QStringList& Items);
    /// The type name of the managed property.
    const QString& TypeFilter() const { return FTypeFilter; }
    /// The kind of the managed property.
    TVxTypeKind TypeKind() const { return FTypeKind; }
    /// The managed property's name.
    const QString& ManagedProperty() const { return FManagedProperty; }
    /// Where each path led (after CheckLink).
    const std::vector<TVxPropertyRec>& PropRecs() const { return FPropRecs; }

    /// Writes Value into every resolved link, converted to each target's type (a float to
    /// an integer target is rounded half to even; values the target cannot hold are not
    /// written).
    void SetLink(const QVariant& Value);
    /// SetLink for a double.
    void SetLink(double Value) { SetLink(QVariant(Value)); }
    /// SetLink for an integer or enumeration value.
    void SetLink(long long Value) { SetLink(QVariant(Value)); }
    /// SetLink for a boolean.
    void SetLink(bool Value) { SetLink(QVariant(Value)); }
    /// SetLink for a text.
    void SetLink(const QString& Value) { SetLink(QVariant(Value)); }

    /// Resolves the paths when a re-check is pending; copies the first resolved link's
    /// value into the managed property.
    void CheckLink();
    /// Marks a re-check.
    void Modified() { FNeedCheck = true; }
    /// Resolves if pending, then rewrites each resolved path as the component path of its
    /// last component + "." + the property path.
    void UpdateLinkNames();
    /// True when "Items" is to be written (there are paths).
    bool ShouldWriteItems() const { return !FItems.isEmpty(); }
    /// Prepares the paths for writing (UpdateLinkNames).
    void BeforeWrite() { UpdateLinkNames(); }

    /// One idle moment: resolve when pending, else follow the first link when it differs
    /// from the managed property. Called by the idle source.
    void Idle();

private:
    void Resolve(const QString& Path, TVxPropertyRec& Rec);
    void CopyFirstLinkToManaged();
    bool SameAsManaged(const QVariant& LinkValue) const;

    bool FNeedCheck = true;
    QObject* FManagedInstance;
    QString FTypeFilter;
    QString FManagedProperty;
    TVxTypeKind FTypeKind = TVxTypeKind::Other;
    QStringList FItems;
    std::vector<TVxPropertyRec> FPropRecs;
    std::unique_ptr<TVxIdleSubscription> FIdle;
    QMetaProperty FManagedInstancePropInfo;
    std::vector<QMetaObject::Connection> FWatches;
};

/// Writes Value into property Property of Instance converted to the property's type:
/// rounded half to even for integer and enumeration targets (false when out of range or
/// not finite), "non-zero" for booleans, the general text for strings. False when the
/// value cannot be converted or the write fails.
bool WritePropertyConverted(QObject* Instance, const QMetaProperty& Property,
                            const QVariant& Value);
