#pragma once
// The Linux device lists, read from directories that tests can replace.

#include <string>
#include <vector>

/// The entries of a tty class directory (normally /sys/class/tty) that have a device, except
/// serial ports of type 0 (placeholders without hardware), in natural order.
std::vector<std::string> SerialPortNamesIn(const std::string& ClassDir);
/// The character devices of a device directory (normally /dev) whose names begin with "tty"
/// or "rfcomm", in natural order.
std::vector<std::string> TtyDeviceNamesIn(const std::string& DevDir);
/// Orders names by their text, comparing runs of digits by their value (ttyS2 < ttyS10).
bool NaturalLess(const std::string& A, const std::string& B);
