#pragma once
// The base of every component of the chart library: an owned, named object.
//
// The Name is the QObject's objectName and the Owner its QObject parent (the form or data
// module that placed the component, never the graph that shows it). A component that keeps
// a reference to another asks for a destruction notice with FreeNotification and drops the
// reference in Notification.

#include <QObject>
#include <QString>
#include <vector>

/// What happened to a component a Notification is about.
enum class TVxOperation { opInsert, opRemove };

class TVxComponent : public QObject {
    Q_OBJECT

public:
    /// Creates a component owned by AOwner (which destroys it), or unowned for nullptr.
    explicit TVxComponent(QObject* AOwner = nullptr);
    ~TVxComponent() override;

    TVxComponent(const TVxComponent&) = delete;
    TVxComponent& operator=(const TVxComponent&) = delete;

    /// The component's name (its objectName).
    QString Name() const { return objectName(); }
    /// Renames the component.
    void SetName(const QString& AName) { setObjectName(AName); }
    /// The owner (QObject parent), nullptr when unowned.
    QObject* Owner() const { return parent(); }

    /// Asks that this component be told (Notification with opRemove) when AComponent is
    /// destroyed. The notice is mutual, as references usually are; asking twice is harmless.
    void FreeNotification(TVxComponent* AComponent);
    /// Withdraws a FreeNotification in both directions.
    void RemoveFreeNotification(TVxComponent* AComponent);

    /// True once destruction has begun: handlers must not touch derived state then.
    bool IsDestroying() const { return FDestroying; }

protected:
    /// Tells this component that AComponent is going away (opRemove). AComponent is
    /// already partly destroyed: compare it with stored references, never call it.
    virtual void Notification(TVxComponent* AComponent, TVxOperation Operation);

    /// Marks the component as being destroyed; derived destructors call it first so that
    /// callbacks running during their teardown see the flag.
    void BeginDestruction() { FDestroying = true; }

private:
    void AddNotice(TVxComponent* AComponent);
    void RemoveNotice(TVxComponent* AComponent);

    std::vector<TVxComponent*> FFreeNotifies;
    bool FDestroying = false;
};
