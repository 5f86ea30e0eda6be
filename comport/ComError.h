#pragma once
// The serial port's exceptions: EComError for every failure, EComAbort for the silent
// abort an OnError handler may ask for.

#include <cstdint>
#include <stdexcept>
#include <string>

/// The component's own messages (error code 0).
namespace ComMessage {
inline constexpr const char* PortClosed = "Can't perform this operation on a closed port";
inline constexpr const char* PortOpen = "Can't perform this operation on an open port";
inline constexpr const char* Timeout = "Timeout";
inline constexpr const char* CreateThread = "Can't create thread";
inline constexpr const char* NoDispatcher = "No dispatcher for synchronized events";
} // namespace ComMessage

/// A failure of the serial port: a message and the operating system's error code (0 for the
/// component's own messages).
class EComError : public std::runtime_error {
public:
    /// An error with the given code and message.
    EComError(std::int32_t AErrorCode, const std::string& Message)
        : std::runtime_error(Message), FErrorCode(AErrorCode) {}
    /// The operating system's error code, or 0.
    std::int32_t ErrorCode() const { return FErrorCode; }

private:
    std::int32_t FErrorCode;
};

/// The silent abort: unwinds the caller like any exception, but whoever catches it shows
/// nothing. Not an EComError, so handlers that catch EComError let it pass.
class EComAbort : public std::exception {
public:
    /// A fixed text for logs; never shown to a person.
    const char* what() const noexcept override { return "Operation aborted"; }
};

/// The operating system's message text for an error number.
std::string SystemErrorMessage(int ErrorCode);
