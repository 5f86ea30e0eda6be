#pragma once
// The enumerations and sets of the serial port: line settings, options, line errors,
// modem lines, error actions and thread priorities, with the values the device control
// block and the driver use for each member.

#include "comport/ComSet.h"

#include <cstdint>

/// Line speed; brDefault leaves the device's rate, brCustom uses CustomBaudRate.
enum TBaudRate : int {
    brDefault, ///< leave the device's rate
    br50,      ///< 50 baud
    br75,      ///< 75 baud
    br110,     ///< 110 baud
    br150,     ///< 150 baud
    br300,     ///< 300 baud
    br600,     ///< 600 baud
    br1200,    ///< 1200 baud
    br1800,    ///< 1800 baud
    br2000,    ///< 2000 baud
    br2400,    ///< 2400 baud
    br3600,    ///< 3600 baud
    br4800,    ///< 4800 baud
    br7200,    ///< 7200 baud
    br9600,    ///< 9600 baud
    br10400,   ///< 10400 baud
    br14400,   ///< 14400 baud
    br15625,   ///< 15625 baud
    br19200,   ///< 19200 baud
    br28800,   ///< 28800 baud
    br38400,   ///< 38400 baud
    br56000,   ///< 56000 baud
    br57600,   ///< 57600 baud
    br115200,  ///< 115200 baud
    br128000,  ///< 128000 baud
    br256000,  ///< 256000 baud
    brCustom   ///< the rate in CustomBaudRate
};

/// Parity; control block values 0 to 4 for paNone to paSpace.
enum TParity : int {
    paDefault, ///< leave the device's parity
    paNone,    ///< no parity bit
    paOdd,     ///< odd parity
    paEven,    ///< even parity
    paMark,    ///< parity bit always 1
    paSpace    ///< parity bit always 0
};

/// Stop bits; control block values 0, 1, 2.
enum TStopBits : int {
    sbDefault, ///< leave the device's stop bits
    sb1,       ///< one stop bit
    sb1_5,     ///< one and a half stop bits (5 data bits only)
    sb2        ///< two stop bits
};

/// Data bits per character; control block values 4 to 8.
enum TDataBits : int {
    dbDefault, ///< leave the device's character size
    db4,       ///< 4 data bits
    db5,       ///< 5 data bits
    db6,       ///< 6 data bits
    db7,       ///< 7 data bits
    db8        ///< 8 data bits
};

/// DTR line control (control block flag bits 0x30).
enum TDTRControl : int {
    dcDefault,  ///< leave the device's setting
    dcDisable,  ///< DTR off
    dcEnable,   ///< DTR on
    dcHandshake ///< DTR input handshake
};

/// RTS line control (control block flag bits 0x3000).
enum TRTSControl : int {
    rcDefault,   ///< leave the device's setting
    rcDisable,   ///< RTS off
    rcEnable,    ///< RTS on
    rcHandshake, ///< RTS input handshake
    rcToggle     ///< RTS on while bytes are sent
};

/// Software flow control (control block flag bits 0x300).
enum TXOnXOffControl : int {
    xcDefault,    ///< leave the device's setting
    xcDisable,    ///< no XON/XOFF flow control
    xcInput,      ///< the device sends XOFF/XON when its input queue fills/empties
    xcOutput,     ///< output stops at a received XOFF and resumes at XON
    xcInputOutput ///< both directions
};

/// Process priority class set while the port is open.
enum TPriorityClass : int {
    pcDefault, ///< leave the process's priority
    pcIdle,    ///< idle class
    pcNormal,  ///< normal class
    pcHigh,    ///< high class
    pcRealTime ///< real-time class
};

/// Priority of the event thread.
enum TThreadPriority : int {
    tpIdle,        ///< lowest possible
    tpLowest,      ///< two steps below normal
    tpLower,       ///< one step below normal
    tpNormal,      ///< normal
    tpHigher,      ///< one step above normal
    tpHighest,     ///< two steps above normal
    tpTimeCritical ///< highest possible
};

/// One option of the device control block flag word.
enum TOption : int {
    opCheckParity,      ///< check received parity (0x2)
    opOutputCTSFlow,    ///< CTS output flow control (0x4)
    opOutputDSRFlow,    ///< DSR output flow control (0x8)
    opDSRSensitivity,   ///< ignore input while DSR is off (0x40)
    opTXContinueOnXOff, ///< keep sending after sending XOFF (0x80)
    opUseErrorChar,     ///< replace bytes with parity errors by the error character (0x400)
    opDiscardNullBytes, ///< drop received null bytes (0x800)
    opAbortOnError      ///< abort transfers on a line error (0x4000)
};
/// A set of options.
using TOptions = TComSet<TOption>;

/// A line error reported by the driver.
enum TLineError : int {
    leBreak,             ///< break received (0x0010)
    leDeviceNotSelected, ///< printer not selected (0x0800)
    leFrame,             ///< framing error (0x0008)
    leIO,                ///< printer I/O error (0x0400)
    leMode,              ///< requested mode not supported (0x8000)
    leOutOfPaper,        ///< printer out of paper (0x1000)
    leOverrun,           ///< hardware overrun, a character was lost (0x0002)
    leDeviceTimeOut,     ///< printer time-out (0x0200)
    leRxOverflow,        ///< input queue overflow (0x0001)
    leParity,            ///< parity error (0x0004)
    leTxFull             ///< output queue full (0x0100)
};
/// A set of line errors.
using TLineErrors = TComSet<TLineError>;

/// A modem input line.
enum TModemStatusValue : int {
    msCTS,  ///< clear to send (0x10)
    msDSR,  ///< data set ready (0x20)
    msRing, ///< ring indicator (0x40)
    msRLSD  ///< receive line signal detect, carrier (0x80)
};
/// The modem input lines that are on.
using TModemStatus = TComSet<TModemStatusValue>;

/// What an OnError handler makes of an error.
enum TComAction : int {
    caFail, ///< raise the error
    caAbort ///< replace it by the silent abort
};

/// The rate of a TBaudRate member (0 for brDefault and brCustom).
std::int32_t BaudRateValue(TBaudRate Rate);
/// The control block flag bits of each option, in TOption order.
std::uint32_t OptionBit(TOption Option);
/// The set of line errors in a driver error word.
TLineErrors LineErrorsFromFlags(std::uint32_t Flags);
/// The driver error bit of a line error.
std::uint32_t LineErrorFlag(TLineError Error);
/// The modem lines in a driver modem status word (bits 0x10 to 0x80).
TModemStatus ModemStatusFromBits(std::uint32_t Bits);
