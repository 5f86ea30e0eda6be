#pragma once
// The moment the UI event loop has nothing left to do and is about to wait. Property links
// poll there. The program's source follows the event dispatcher's aboutToBlock signal;
// tests install a TVxManualIdleSource and call Idle() by hand.

#include <QMetaObject>
#include <functional>
#include <map>

class TVxIdleSource {
public:
    virtual ~TVxIdleSource();

    /// Calls Handler at every idle moment until Unsubscribe(id); returns the id (> 0).
    int Subscribe(std::function<void()> Handler);
    /// Stops the calls of a subscription (unknown ids are ignored).
    void Unsubscribe(int Id);
    /// Number of live subscriptions.
    int Count() const { return int(FHandlers.size()); }

    /// The source used by new subscriptions: the installed one, else the event loop's.
    static TVxIdleSource& Current();
    /// Installs Source for new subscriptions (nullptr: back to the event loop's source).
    /// The caller keeps ownership and must uninstall it before destroying it.
    static void Install(TVxIdleSource* Source);

protected:
    /// Calls every handler once; handlers may subscribe or unsubscribe while this runs.
    void Notify();
    /// Called after each subscription (to start listening when not yet done).
    virtual void Subscribed() {}

private:
    std::map<int, std::function<void()>> FHandlers;
    int FNextId = 1;
};

/// An idle source driven by hand (tests).
class TVxManualIdleSource : public TVxIdleSource {
public:
    /// One idle moment.
    void Idle() { Notify(); }
};

/// The idle source of the running Qt event loop of the main thread
/// (QAbstractEventDispatcher::aboutToBlock).
class TVxEventLoopIdleSource : public TVxIdleSource {
public:
    ~TVxEventLoopIdleSource() override;

protected:
    void Subscribed() override;

private:
    QMetaObject::Connection FConnection;
};

/// A subscription that ends with its owner.
class TVxIdleSubscription {
public:
    TVxIdleSubscription() = default;
    /// Subscribes Handler with the current idle source.
    explicit TVxIdleSubscription(std::function<void()> Handler);
    ~TVxIdleSubscription();
    TVxIdleSubscription(const TVxIdleSubscription&) = delete;
    TVxIdleSubscription& operator=(const TVxIdleSubscription&) = delete;

private:
    TVxIdleSource* FSource = nullptr;
    int FId = 0;
};
