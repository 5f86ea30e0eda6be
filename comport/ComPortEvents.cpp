// The event mask, the event thread's start and stop, and the dispatch of events to handlers.
#include "comport/ComPort.h"
#include "comport/ComThread.h"

#include <system_error>

namespace {

using TNotifyProperty = TComEventProperty<TComNotifyEvent> TCustomComPort::*;

// The handlers in the order they are called, with their event bits; nullptr is the line
// error slot.
struct TDispatchStep {
    std::uint32_t Bit;
    TNotifyProperty Handler;
};
constexpr TDispatchStep DispatchOrder[] = {
    {ComEvent::Break, &TCustomComPort::OnBreak},
    {ComEvent::Cts, &TCustomComPort::OnCTSChange},
    {ComEvent::Dsr, &TCustomComPort::OnDSRChange},
    {ComEvent::Err, nullptr},
    {ComEvent::Event1, &TCustomComPort::OnEvent1},
    {ComEvent::Event2, &TCustomComPort::OnEvent2},
    {ComEvent::PrinterError, &TCustomComPort::OnPrinterError},
    {ComEvent::Ring, &TCustomComPort::OnRing},
    {ComEvent::Rlsd, &TCustomComPort::OnRLSDChange},
    {ComEvent::Rx80Full, &TCustomComPort::OnRx80PercFull},
    {ComEvent::RxChar, &TCustomComPort::OnRxChar},
    {ComEvent::RxFlag, &TCustomComPort::OnRxFlag},
    {ComEvent::TxEmpty, &TCustomComPort::OnTxEmpty},
};

} // namespace

std::shared_ptr<TComThread> TCustomComPort::CurrentThread() const {
    std::lock_guard guard(FThreadLock);
    return FComThread;
}

void TCustomComPort::UpdateEventMask() {
    if (!FDevice->IsOpen())
        return;
    std::uint32_t mask = OnLineError ? ComEvent::Err : 0;
    for (const TDispatchStep& step : DispatchOrder)
        if (step.Handler && (this->*step.Handler))
            mask |= step.Bit;
    FWaitMask = mask;
    if (mask == 0)
        StopEventThread();
    CheckSystemCall(FDevice->SetEventMask(mask));
    if (mask != 0 && !CurrentThread())
        StartEventThread();
}

void TCustomComPort::StartEventThread() {
    TComDispatcher* dispatcher = FDispatcher ? FDispatcher : DefaultComDispatcher();
    if (!dispatcher)
        RaiseComError(0, ComMessage::NoDispatcher);
    auto thread = std::make_shared<TComThread>(*this, *FDevice, *dispatcher, FSynchronizeEvents,
                                               FThreadPriority);
    try {
        thread->Start();
    } catch (const std::system_error&) {
        RaiseComError(0, ComMessage::CreateThread);
    }
    std::lock_guard guard(FThreadLock);
    FComThread = std::move(thread);
}

void TCustomComPort::StopEventThread() {
    std::shared_ptr<TComThread> thread;
    {
        std::lock_guard guard(FThreadLock);
        thread = std::move(FComThread);
    }
    if (!thread)
        return;
    // Inside one of the thread's hand-overs (a handler that closes its port) or on the
    // thread itself, joining would wait for ourselves: the thread ends by itself instead,
    // touching nothing of the port once asked to terminate.
    const bool insideHandOver = thread->Terminate();
    if (insideHandOver || thread->Id() == std::this_thread::get_id())
        thread->Detach();
    else
        thread->Join();
}

void TCustomComPort::DispatchEvents(std::uint32_t Events, const std::function<bool()>& Stopped) {
    for (const TDispatchStep& step : DispatchOrder) {
        // A handler may have closed or even destroyed the port: ask before touching it.
        if (Stopped())
            return;
        if (!(Events & step.Bit))
            continue;
        if (!step.Handler) {
            if (OnLineError)
                CheckLineErrors();
        } else if (const TComNotifyEvent handler = (this->*step.Handler).Get()) {
            handler(*this);
        }
    }
}

void TCustomComPort::ReportThreadError(int Error) {
    RaiseComError(Error, SystemErrorMessage(Error));
}
