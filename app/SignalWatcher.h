#pragma once
// Turns termination signals into a call on the UI thread: the signal handler only writes
// the signal's number into a socket, which the event loop watches.

#include <QObject>
#include <functional>
#include <initializer_list>

class QSocketNotifier;

class TSignalWatcher final : public QObject {
    Q_OBJECT

public:
    /// Calls Handler on this thread for each of Signals received; only one watcher may exist
    /// at a time. Throws std::system_error when the socket cannot be created.
    TSignalWatcher(std::initializer_list<int> Signals, std::function<void(int)> Handler,
                   QObject* Parent = nullptr);
    /// Restores the signals' previous handlers.
    ~TSignalWatcher() override;

private:
    void ReadSignals();

    std::function<void(int)> FHandler;
    QSocketNotifier* FNotifier = nullptr;
};
