#include "ComponentPaths.h"

#include "util/Application.h"

#include <QCoreApplication>

namespace {

QObject* FindTopLevel(QStringView Name) {
    if (Name.isEmpty())
        return nullptr;
    const TVxApplication& app = TVxApplication::Instance();
    for (QObject* module : app.DataModules())
        if (module->objectName() == Name)
            return module;
    for (QObject* form : app.Forms())
        if (form->objectName() == Name)
            return form;
    return nullptr;
}

QObject* FindChildNamed(const QObject* Parent, QStringView Name) {
    if (Name.isEmpty())
        return nullptr;
    for (QObject* child : Parent->children())
        if (child->objectName() == Name)
            return child;
    return nullptr;
}

} // namespace

QString ComponentPath(const QObject* Component) {
    if (Component == nullptr || Component->objectName().isEmpty())
        return {};
    const QObject* application = QCoreApplication::instance();
    QString path = Component->objectName();
    for (const QObject* owner = Component->parent(); owner != nullptr && owner != application;
         owner = owner->parent()) {
        if (owner->objectName().isEmpty())
            return {};
        path.prepend(owner->objectName() + u'.');
    }
    return path;
}

QObject* FindComponentByPath(QStringView Path) {
    const QList<QStringView> segments = Path.split(u'.');
    QObject* current = FindTopLevel(segments.front());
    for (qsizetype i = 1; i < segments.size() && current != nullptr; ++i)
        current = FindChildNamed(current, segments[i]);
    return current;
}

std::optional<QObject*> FindOwnerOfPath(QStringView Path) {
    const qsizetype dot = Path.lastIndexOf(u'.');
    if (dot < 0)
        return nullptr;
    QObject* owner = FindComponentByPath(Path.left(dot));
    if (owner == nullptr)
        return std::nullopt;
    return owner;
}

QString UniqueComponentName(const QObject* Owner, const QString& Base) {
    for (long long i = 1;; ++i) {
        const QString name = Base + QString::number(i);
        if (Owner == nullptr || FindChildNamed(Owner, name) == nullptr)
            return name;
    }
}
