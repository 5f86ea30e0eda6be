#include "comport/platform/LinuxDeviceList.h"

#include "comport/platform/DeviceList.h"

#include <algorithm>
#include <cctype>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsDigit(char C) {
    return std::isdigit(static_cast<unsigned char>(C)) != 0;
}

// The names in a directory except "." and ".."; empty when it cannot be read.
std::vector<std::string> DirectoryNames(const std::string& Dir) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(Dir.c_str());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..")
            names.emplace_back(name);
    }
    ::closedir(dir);
    return names;
}

// The first line of a small attribute file, or nothing when it cannot be read.
bool ReadAttribute(const std::string& Path, std::string& Value) {
    const int fd = ::open(Path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char buffer[64];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    ::close(fd);
    if (n < 0)
        return false;
    Value.assign(buffer, static_cast<std::size_t>(n));
    Value.erase(std::find(Value.begin(), Value.end(), '\n'), Value.end());
    return true;
}

bool HasPrefix(std::string_view Name, std::string_view Prefix) {
    return Name.substr(0, Prefix.size()) == Prefix;
}

void SortNaturally(std::vector<std::string>& Names) {
    std::sort(Names.begin(), Names.end(), NaturalLess);
}

} // namespace

bool NaturalLess(const std::string& A, const std::string& B) {
    std::size_t i = 0, j = 0;
    while (i < A.size() && j < B.size()) {
        if (IsDigit(A[i]) && IsDigit(B[j])) {
            // Compare the two digit runs by value: skip leading zeros, then longer is larger.
            std::size_t endA = i, endB = j;
            while (endA < A.size() && IsDigit(A[endA]))
                ++endA;
            while (endB < B.size() && IsDigit(B[endB]))
                ++endB;
            std::size_t startA = i, startB = j;
            while (startA + 1 < endA && A[startA] == '0')
                ++startA;
            while (startB + 1 < endB && B[startB] == '0')
                ++startB;
            const std::string_view runA(A.data() + startA, endA - startA);
            const std::string_view runB(B.data() + startB, endB - startB);
            if (runA.size() != runB.size())
                return runA.size() < runB.size();
            if (runA != runB)
                return runA < runB;
            i = endA;
            j = endB;
            continue;
        }
        if (A[i] != B[j])
            return static_cast<unsigned char>(A[i]) < static_cast<unsigned char>(B[j]);
        ++i;
        ++j;
    }
    if (A.size() - i != B.size() - j)
        return A.size() - i < B.size() - j;
    return A < B; // equal by value (ttyS01 and ttyS1): fall back to the text for a total order
}

std::vector<std::string> SerialPortNamesIn(const std::string& ClassDir) {
    std::vector<std::string> ports;
    for (const std::string& name : DirectoryNames(ClassDir)) {
        const std::string entry = ClassDir + "/" + name;
        struct stat st {};
        // Virtual consoles, pseudo-terminals and the like have no device behind them.
        if (::stat((entry + "/device").c_str(), &st) != 0)
            continue;
        // The serial core registers a fixed number of ports whether or not hardware answers
        // at their addresses; those without hardware report type 0 (unknown).
        std::string type;
        if (ReadAttribute(entry + "/type", type) && type == "0")
            continue;
        ports.push_back(name);
    }
    SortNaturally(ports);
    return ports;
}

std::vector<std::string> TtyDeviceNamesIn(const std::string& DevDir) {
    std::vector<std::string> names;
    for (const std::string& name : DirectoryNames(DevDir)) {
        if (!HasPrefix(name, "tty") && !HasPrefix(name, "rfcomm"))
            continue;
        struct stat st {};
        if (::lstat((DevDir + "/" + name).c_str(), &st) == 0 && S_ISCHR(st.st_mode))
            names.push_back(name);
    }
    SortNaturally(names);
    return names;
}

std::vector<std::string> SystemDeviceNames() {
    return TtyDeviceNamesIn("/dev");
}

std::vector<std::string> SystemSerialPortNames() {
    return SerialPortNamesIn("/sys/class/tty");
}
