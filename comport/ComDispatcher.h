#pragma once
// How the event thread reaches the UI thread: the program supplies a dispatcher that runs
// posted work on its UI thread (a Qt program posts through its event loop), tests pump a
// TComEventQueue. The port does the waiting, so every hand-over can be cancelled when the
// port closes; a dispatcher never blocks and never runs work inline.

#include <exception>
#include <functional>

/// Runs work on the UI thread for a port's event thread.
class TComDispatcher {
public:
    virtual ~TComDispatcher() = default;
    /// Queues Task to run once on the UI thread, later and in posting order; may be called
    /// from any thread and must not block.
    virtual void Post(std::function<void()> Task) = 0;
    /// Shows, on the UI thread, an error that escaped a handler (the program's default
    /// exception display); called once per error, never for the silent abort.
    virtual void ShowException(const std::exception& E) = 0;
};

/// The dispatcher of ports that have none of their own, or nullptr.
TComDispatcher* DefaultComDispatcher();
/// Sets the dispatcher of ports that have none of their own (nullptr for none).
void SetDefaultComDispatcher(TComDispatcher* Dispatcher);
