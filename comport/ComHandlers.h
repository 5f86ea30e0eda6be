#pragma once
// Handler types of the serial port and the property that holds an event handler: assigning
// one tells the port, which then changes the events its thread waits for.

#include "comport/ComTypes.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <utility>

class TCustomComPort;
class EComError;

/// A handler that only learns which port it is about.
using TComNotifyEvent = std::function<void(TCustomComPort& Sender)>;
/// OnLineError: the line errors found.
using TLineErrorEvent = std::function<void(TCustomComPort& Sender, TLineErrors LineErrors)>;
/// BeforeOpen, AfterOpen, BeforeClose, AfterClose.
using TOpenCloseEvent = std::function<void(TCustomComPort& ComPort)>;
/// BeforeRead, AfterRead, BeforeWrite, AfterWrite.
using TReadWriteEvent = std::function<void(TCustomComPort& Sender, void* Buffer,
                                           std::int32_t Length, bool WaitOnCompletion)>;
/// OnError: may set Action to caAbort to turn the error into the silent abort.
using TComErrorEvent =
    std::function<void(TCustomComPort& ComPort, const EComError& E, TComAction& Action)>;

/// An event handler property. Assignment and reading are guarded by the port's handler lock,
/// so that the event thread may read while the UI thread assigns; every assignment tells the
/// port through Changed.
template <class TFunction> class TComEventProperty {
public:
    /// A property guarded by Lock that calls Changed after each assignment.
    TComEventProperty(std::mutex& Lock, std::function<void()> Changed)
        : FLock(Lock), FChanged(std::move(Changed)) {}
    TComEventProperty(const TComEventProperty&) = delete;

    /// Assigns a handler (or none) and tells the port.
    TComEventProperty& operator=(TFunction Handler) {
        {
            std::lock_guard guard(FLock);
            FFunction = std::move(Handler);
        }
        FChanged();
        return *this;
    }
    /// Whether a handler is assigned.
    explicit operator bool() const {
        std::lock_guard guard(FLock);
        return static_cast<bool>(FFunction);
    }
    /// A copy of the handler, safe to call without the lock.
    TFunction Get() const {
        std::lock_guard guard(FLock);
        return FFunction;
    }

private:
    std::mutex& FLock;
    std::function<void()> FChanged;
    TFunction FFunction;
};
