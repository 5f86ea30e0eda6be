#include "comport/ComDevices.h"

#include "comport/platform/DeviceList.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>

namespace {

constexpr std::string_view DevicePrefix = "\\\\.\\";

// Name prefixes of the Linux serial drivers; the prefix must be followed by the port number.
constexpr std::array<std::string_view, 17> SerialPrefixes = {
    "ttyS",   "ttyUSB", "ttyACM",   "ttyAMA", "ttyO",  "ttySAC", "ttymxc", "ttyHS", "ttyTHS",
    "ttyMSM", "ttyGS",  "ttyXRUSB", "ttySC",  "ttyPS", "ttyMFD", "ttyLP",  "rfcomm"};

bool StartsWith(std::string_view Text, std::string_view Prefix) {
    return Text.substr(0, Prefix.size()) == Prefix;
}

bool IsLinuxSerialName(std::string_view Name) {
    for (const std::string_view prefix : SerialPrefixes) {
        if (!StartsWith(Name, prefix) || Name.size() == prefix.size())
            continue;
        const std::string_view number = Name.substr(prefix.size());
        if (std::all_of(number.begin(), number.end(),
                        [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }))
            return true;
    }
    return false;
}

void AppendUnlisted(std::vector<std::string>& List, const std::string& Name) {
    if (std::find(List.begin(), List.end(), Name) == List.end())
        List.push_back(Name);
}

} // namespace

bool IsComDeviceName(std::string_view Name) {
    return StartsWith(Name, "COM") || StartsWith(Name, std::string(DevicePrefix) + "COM") ||
           IsLinuxSerialName(Name);
}

std::vector<std::string> ParseExtraPorts(std::string_view Value) {
    std::vector<std::string> ports;
    while (!Value.empty()) {
        const std::size_t colon = Value.find(':');
        const std::string entry(Value.substr(0, colon));
        Value = colon == std::string_view::npos ? std::string_view() : Value.substr(colon + 1);
        // A name opens under /dev; a name with '/' inside would reach outside it.
        const bool plainName = !entry.empty() && entry.find('/') == std::string::npos;
        const bool absolutePath = entry.size() > 1 && entry[0] == '/';
        if (plainName || absolutePath)
            AppendUnlisted(ports, entry);
    }
    return ports;
}

std::string ListedDeviceName(const std::string& Name) {
    if (!Name.empty() && Name[0] == '/')
        return Name;
    return std::string(DevicePrefix) + Name;
}

void EnumDevices(std::vector<std::string>& List) {
    for (std::string& name : SystemDeviceNames())
        List.push_back(std::move(name));
}

void EnumComDevices(std::vector<std::string>& List) {
    for (std::string& name : SystemDeviceNames())
        if (IsComDeviceName(name))
            List.push_back(std::move(name));
}

void EnumComDevicesFromRegistry(std::vector<std::string>& List) {
    std::vector<std::string> ports = SystemSerialPortNames();
    if (const char* extra = std::getenv(ExtraPortsVariable))
        for (const std::string& name : ParseExtraPorts(extra))
            AppendUnlisted(ports, name);
    List.insert(List.end(), ports.begin(), ports.end());
}
