#pragma once
// Dotted owner paths of components ("FormComPort.VxGraph2D1.XAxis1"): how persisted chart
// data and property links name other components. A path starts at a form or data module of
// the application registry and goes down through owned (child) objects by name.

#include <QObject>
#include <QString>
#include <QStringView>
#include <optional>

/// The names of Component and its owners up to (not including) the application, joined by
/// "."; empty for no component, an unnamed component or an unnamed owner on the way.
QString ComponentPath(const QObject* Component);

/// The object a path names: the first segment is a data module or, when no data module
/// has that name, a form; each further segment is a direct child of the previous object
/// with that name. nullptr when any step fails.
QObject* FindComponentByPath(QStringView Path);

/// The owner named by the part of Path before its last ".": nullptr inside the optional
/// for the application itself (no "." in Path), no value when that owner does not exist.
std::optional<QObject*> FindOwnerOfPath(QStringView Path);

/// Base followed by the smallest number from 1 up that no child of Owner carries as its
/// name (Base + "1" when there is no owner).
QString UniqueComponentName(const QObject* Owner, const QString& Base);
