#pragma once
// The mapping between the device control block and the kernel's termios2 settings, as
// pure code. Linux has no 4 data bits, no DSR output flow and no DTR handshake; blocks that
// ask for them are refused rather than half applied.

#include "comport/DeviceControlBlock.h"

#include <asm/termbits.h>

/// 0 when Linux can apply Dcb, else EINVAL.
int ValidateBlock(const TDeviceControlBlock& Dcb);
/// Current changed to raw mode with Dcb's rate, character format, flow control and XON/XOFF
/// characters; other control characters keep their values.
termios2 TermiosFor(const TDeviceControlBlock& Dcb, termios2 Current);
/// Copies the rate, character format, parity check, XON/XOFF flow and characters of T into
/// Dcb; the fields termios lacks (limits, other characters, DTR/RTS modes) stay as they are.
void ReadTermios(const termios2& T, TDeviceControlBlock& Dcb);
