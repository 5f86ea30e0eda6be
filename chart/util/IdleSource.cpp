#include "IdleSource.h"

#include "util/EventGuard.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <vector>

namespace {

TVxIdleSource* InstalledSource = nullptr;

} // namespace

TVxIdleSource::~TVxIdleSource() = default;

int TVxIdleSource::Subscribe(std::function<void()> Handler) {
    const int id = FNextId++;
    FHandlers.emplace(id, std::move(Handler));
    Subscribed();
    return id;
}

void TVxIdleSource::Unsubscribe(int Id) {
    FHandlers.erase(Id);
}

void TVxIdleSource::Notify() {
    std::vector<int> ids;
    ids.reserve(FHandlers.size());
    for (const auto& entry : FHandlers)
        ids.push_back(entry.first);
    for (int id : ids) {
        // A handler may have removed this one (or itself); copy before calling.
        const auto it = FHandlers.find(id);
        if (it == FHandlers.end())
            continue;
        const std::function<void()> handler = it->second;
        GuardEvent(handler); // idle moments come from the event loop: nothing may escape
    }
}

TVxIdleSource& TVxIdleSource::Current() {
    if (InstalledSource != nullptr)
        return *InstalledSource;
    static TVxEventLoopIdleSource eventLoop;
    return eventLoop;
}

void TVxIdleSource::Install(TVxIdleSource* Source) {
    InstalledSource = Source;
}

TVxEventLoopIdleSource::~TVxEventLoopIdleSource() {
    QObject::disconnect(FConnection);
}

void TVxEventLoopIdleSource::Subscribed() {
    if (FConnection)
        return;
    QCoreApplication* app = QCoreApplication::instance();
    QAbstractEventDispatcher* dispatcher =
        app != nullptr ? QAbstractEventDispatcher::instance(app->thread()) : nullptr;
    if (dispatcher == nullptr)
        return; // no event loop yet: subscriptions made later try again
    FConnection = QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, dispatcher,
                                   [this] { Notify(); });
}

TVxIdleSubscription::TVxIdleSubscription(std::function<void()> Handler)
    : FSource(&TVxIdleSource::Current()), FId(FSource->Subscribe(std::move(Handler))) {}

TVxIdleSubscription::~TVxIdleSubscription() {
    if (FSource != nullptr)
        FSource->Unsubscribe(FId);
}
