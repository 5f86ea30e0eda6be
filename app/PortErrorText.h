#pragma once
// The command line's words for a port that cannot be opened. The window shows the port's
// error as it is ("Error 2: No such file or directory"); a person at a terminal gets the
// port's path and what to do about it.

#include <QString>

/// What is wrong with the port at Path that failed to open with the system error
/// ErrorCode, in words: "cannot open /dev/ttyUSB9: no such device", "/etc/hosts is not a
/// serial port", "/dev/ttyS0 is in use by another program", "cannot open /dev/ttyS0:
/// permission denied: add yourself to the dialout group"; other codes give "cannot open
/// PATH: " and the system's message.
QString PortOpenErrorText(const QString& Path, int ErrorCode);
