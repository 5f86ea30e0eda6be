#include "Component.h"

#include <algorithm>

TVxComponent::TVxComponent(QObject* AOwner) : QObject(AOwner) {}

TVxComponent::~TVxComponent() {
    FDestroying = true;
    // Take the list first: each Notification may call RemoveFreeNotification on us.
    std::vector<TVxComponent*> notifies;
    notifies.swap(FFreeNotifies);
    for (TVxComponent* other : notifies) {
        other->RemoveNotice(this);
        other->Notification(this, TVxOperation::opRemove);
    }
}

void TVxComponent::FreeNotification(TVxComponent* AComponent) {
    if (AComponent == nullptr || AComponent == this)
        return;
    AddNotice(AComponent);
    AComponent->AddNotice(this);
}

void TVxComponent::RemoveFreeNotification(TVxComponent* AComponent) {
    if (AComponent == nullptr)
        return;
    RemoveNotice(AComponent);
    AComponent->RemoveNotice(this);
}

void TVxComponent::Notification(TVxComponent* /*AComponent*/, TVxOperation /*Operation*/) {}

void TVxComponent::AddNotice(TVxComponent* AComponent) {
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end())
        FFreeNotifies.push_back(AComponent);
}

void TVxComponent::RemoveNotice(TVxComponent* AComponent) {
    std::erase(FFreeNotifies, AComponent);
}
