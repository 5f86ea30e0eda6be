#include "Application.h"

TVxApplication& TVxApplication::Instance() {
    static TVxApplication instance;
    return instance;
}

void TVxApplication::RegisterForm(QObject* Form) {
    Add(FForms, Form);
}

void TVxApplication::RegisterDataModule(QObject* DataModule) {
    Add(FDataModules, DataModule);
}

void TVxApplication::Unregister(QObject* Object) {
    FForms.removeAll(Object);
    FDataModules.removeAll(Object);
}

QList<QObject*> TVxApplication::Live(const QList<QPointer<QObject>>& List) {
    QList<QObject*> result;
    for (const QPointer<QObject>& object : List)
        if (!object.isNull())
            result.append(object.data());
    return result;
}

void TVxApplication::Add(QList<QPointer<QObject>>& List, QObject* Object) {
    if (Object == nullptr || List.contains(Object))
        return;
    // QPointers of destroyed objects turn null; drop them as the list is touched.
    List.removeIf([](const QPointer<QObject>& entry) { return entry.isNull(); });
    List.append(Object);
}
