#pragma once
// The event thread of an open port: waits for communication events and hands them to the
// port's handlers, on the UI thread through the dispatcher (SynchronizeEvents) or on itself.
//
// A hand-over is posted to the dispatcher and the thread waits for it; Terminate cancels a
// hand-over that has not started, so closing never waits for the UI thread. Once asked to
// terminate, the thread touches neither the port nor the device again: it only finishes
// the hand-over it is in and ends. Its state is shared with the posted work, so a thread
// that cannot be joined (Close from inside a handler) can be detached safely.

#include "comport/ComDispatcher.h"
#include "comport/ComTypes.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class TCustomComPort;
class TComDevice;

/// One port's event thread.
class TComThread : public std::enable_shared_from_this<TComThread> {
public:
    /// A thread for FComPort's device, not yet started.
    TComThread(TCustomComPort& AComPort, TComDevice& ADevice, TComDispatcher& ADispatcher,
               bool ASynchronize, TThreadPriority APriority);
    ~TComThread();
    TComThread(const TComThread&) = delete;
    TComThread& operator=(const TComThread&) = delete;

    /// Starts the thread; throws std::system_error when it cannot be created.
    void Start();
    /// Asks the thread to end: cancels a hand-over that has not started and wakes the wait.
    /// Returns true when a hand-over of this thread is running now (the caller is inside it).
    bool Terminate();
    /// Waits for the thread to end.
    void Join();
    /// Lets the thread end on its own.
    void Detach();
    /// Whether the thread was asked to end.
    bool Terminated() const;
    /// The thread's id (for "am I the event thread"); any thread may ask.
    std::thread::id Id() const { return FId.load(); }
    /// Changes the thread's priority, also while it runs.
    void SetPriority(TThreadPriority Priority);
    /// Runs Work on the UI thread and waits for it; false when it was cancelled or the
    /// thread is terminating. Called on the event thread. An exception that escapes Work is
    /// shown by the dispatcher (the silent abort is not).
    bool RunOnUiThread(std::function<void()> Work);
    /// The system error code of the failed wait, 0 while none failed.
    int ThreadError() const { return FThreadError.load(); }

private:
    struct THandOver;

    void Execute();
    void WaitAndDispatch();
    void Dispatch(std::uint32_t Events, bool OnUiThread);
    void Guarded(const std::function<void()>& Work, bool OnUiThread);

    TCustomComPort& FComPort;
    TComDevice& FDevice;
    TComDispatcher& FDispatcher;
    const bool FSynchronize;
    std::atomic<int> FPriority;
    std::atomic<std::int64_t> FNativeId{-1}; // -1 until the thread runs
    std::atomic<int> FThreadError{0};
    std::atomic<std::thread::id> FId{};
    std::uint32_t FEventMask = 0; // events of the last wait; event thread only
    mutable std::mutex FLock;
    std::condition_variable FChanged;
    bool FTerminated = false;
    std::shared_ptr<THandOver> FHandOver;
    std::thread FThread;
};
