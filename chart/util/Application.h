#pragma once
// The application registry: the forms and data modules of the running program, in the
// order they were registered. Component paths start at one of them. An object leaves the
// registry by itself when it is destroyed.

#include <QList>
#include <QObject>
#include <QPointer>

class TVxApplication {
public:
    /// The one registry of the process.
    static TVxApplication& Instance();

    /// Registers a form (a top-level window that owns components).
    void RegisterForm(QObject* Form);
    /// Registers a data module (a non-visual owner of components).
    void RegisterDataModule(QObject* DataModule);
    /// Removes a form or data module (destroyed objects are removed by themselves).
    void Unregister(QObject* Object);

    /// The live forms, in registration order.
    QList<QObject*> Forms() const { return Live(FForms); }
    /// The live data modules, in registration order.
    QList<QObject*> DataModules() const { return Live(FDataModules); }

private:
    TVxApplication() = default;
    static QList<QObject*> Live(const QList<QPointer<QObject>>& List);
    static void Add(QList<QPointer<QObject>>& List, QObject* Object);

    QList<QPointer<QObject>> FForms;
    QList<QPointer<QObject>> FDataModules;
};
