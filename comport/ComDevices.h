#pragma once
// Device enumeration for a port chooser: the device names the system knows, the serial ones
// among them, and the serial ports the system lists, plus extra ports named in the
// environment. None of them needs an open port, clears the caller's list or throws.

#include <string>
#include <string_view>
#include <vector>

/// The environment variable whose entries EnumComDevicesFromRegistry appends: port names or
/// absolute paths separated by ':'.
inline constexpr const char* ExtraPortsVariable = "QUENBY_EXTRA_PORTS";

/// Appends every device name the system knows (on Linux: the tty character devices of /dev).
void EnumDevices(std::vector<std::string>& List);
/// Appends the device names of EnumDevices that IsComDeviceName accepts.
void EnumComDevices(std::vector<std::string>& List);
/// Appends the serial ports the system lists, then the extra ports of the environment that
/// are not listed yet.
void EnumComDevicesFromRegistry(std::vector<std::string>& List);

/// Whether Name begins with "COM" or "\\.\COM", or is a Linux serial device name such as
/// ttyS0, ttyUSB0 or ttyACM0.
bool IsComDeviceName(std::string_view Name);
/// The valid entries of an extra-ports value in their order, each once: plain names without
/// '/' and absolute paths; empty entries and relative paths are left out.
std::vector<std::string> ParseExtraPorts(std::string_view Value);
/// The port DeviceName that opens a listed name: "\\.\" + Name, or an absolute path as it is.
std::string ListedDeviceName(const std::string& Name);
