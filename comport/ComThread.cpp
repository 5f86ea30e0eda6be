#include "comport/ComThread.h"

#include "comport/ComError.h"
#include "comport/ComPort.h"
#include "comport/platform/ComDevice.h"

#include <stdexcept>

struct TComThread::THandOver {
    enum TState { Pending, Running, Finished, Cancelled };
    TState State = Pending;
};

TComThread::TComThread(TCustomComPort& AComPort, TComDevice& ADevice, TComDispatcher& ADispatcher,
                       bool ASynchronize, TThreadPriority APriority)
    : FComPort(AComPort), FDevice(ADevice), FDispatcher(ADispatcher), FSynchronize(ASynchronize),
      FPriority(APriority) {}

TComThread::~TComThread() {
    // The port always joins or detaches first; this is the last line of defence against a
    // joinable std::thread terminating the program.
    if (FThread.joinable()) {
        if (FThread.get_id() == std::this_thread::get_id())
            FThread.detach();
        else
            FThread.join();
    }
}

void TComThread::Start() {
    auto self = shared_from_this();
    FThread = std::thread([self] { self->Execute(); });
    FId = FThread.get_id();
}

bool TComThread::Terminate() {
    bool running = false;
    {
        std::lock_guard guard(FLock);
        FTerminated = true;
        if (FHandOver && FHandOver->State == THandOver::Pending)
            FHandOver->State = THandOver::Cancelled;
        running = FHandOver && FHandOver->State == THandOver::Running;
    }
    FChanged.notify_all();
    FDevice.WakeEventWait();
    return running;
}

void TComThread::Join() {
    if (FThread.joinable())
        FThread.join();
}

void TComThread::Detach() {
    if (FThread.joinable())
        FThread.detach();
}

bool TComThread::Terminated() const {
    std::lock_guard guard(FLock);
    return FTerminated;
}

void TComThread::SetPriority(TThreadPriority Priority) {
    FPriority = Priority;
    if (const std::int64_t id = FNativeId.load(); id != -1)
        FDevice.SetThreadPriority(id, Priority);
}

void TComThread::Execute() {
    FId = std::this_thread::get_id();
    if (Terminated())
        return;
    FNativeId = FDevice.CurrentThreadId();
    FDevice.SetThreadPriority(FNativeId, static_cast<TThreadPriority>(FPriority.load()));
    while (!Terminated())
        WaitAndDispatch();
}

void TComThread::WaitAndDispatch() {
    std::uint32_t events = 0;
    const int error = FDevice.WaitEvent(events);
    if (Terminated())
        return;
    if (error != 0) {
        // Whatever the wait's error, the port would never receive again: report it once on
        // the UI thread and close the port there. The error ends this thread.
        FThreadError = error;
        RunOnUiThread([this, error] {
            if (!Terminated())
                FComPort.ReportThreadError(error);
        });
        RunOnUiThread([this] {
            if (!Terminated())
                FComPort.Close();
        });
        std::lock_guard guard(FLock);
        FTerminated = true;
        return;
    }
    if (events == 0)
        return; // woken: look at the terminate request and the mask again
    FEventMask = events;
    if (FSynchronize)
        RunOnUiThread([this, events] { Dispatch(events, true); });
    else
        Dispatch(events, false);
}

void TComThread::Dispatch(std::uint32_t Events, bool OnUiThread) {
    Guarded([this, Events] { FComPort.DispatchEvents(Events, [this] { return Terminated(); }); },
            OnUiThread);
}

void TComThread::Guarded(const std::function<void()>& Work, bool OnUiThread) {
    // No exception crosses a thread or the UI toolkit's event loop: what escapes a handler
    // ends this round and is shown once; the silent abort is shown by nobody.
    std::exception_ptr escaped;
    try {
        Work();
    } catch (const EComAbort&) {
    } catch (const std::exception&) {
        escaped = std::current_exception();
    } catch (...) {
        escaped = std::make_exception_ptr(std::runtime_error("Unknown error in a handler"));
    }
    if (!escaped)
        return;
    auto show = [&Dispatcher = FDispatcher, escaped] {
        try {
            std::rethrow_exception(escaped);
        } catch (const std::exception& e) {
            Dispatcher.ShowException(e);
        }
    };
    if (OnUiThread)
        show();
    else
        FDispatcher.Post(show);
}

bool TComThread::RunOnUiThread(std::function<void()> Work) {
    auto handOver = std::make_shared<THandOver>();
    {
        std::lock_guard guard(FLock);
        if (FTerminated)
            return false;
        FHandOver = handOver;
    }
    auto self = shared_from_this();
    FDispatcher.Post([self, handOver, Work = std::move(Work)] {
        {
            std::lock_guard guard(self->FLock);
            if (handOver->State != THandOver::Pending)
                return;
            handOver->State = THandOver::Running;
        }
        self->Guarded(Work, true);
        {
            std::lock_guard guard(self->FLock);
            handOver->State = THandOver::Finished;
        }
        self->FChanged.notify_all();
    });
    std::unique_lock lock(FLock);
    FChanged.wait(lock, [&handOver] {
        return handOver->State == THandOver::Finished || handOver->State == THandOver::Cancelled;
    });
    FHandOver.reset();
    return handOver->State == THandOver::Finished;
}
