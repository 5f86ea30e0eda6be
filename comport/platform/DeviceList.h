#pragma once
// Where the device lists come from; one implementation per operating system.

#include <string>
#include <vector>

/// The device names of the system, in a stable order; empty when they cannot be read.
std::vector<std::string> SystemDeviceNames();
/// The serial ports the system lists, in a stable order; empty when there are none.
std::vector<std::string> SystemSerialPortNames();
