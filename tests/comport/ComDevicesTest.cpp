#include "comport/ComDevices.h"

#include "comport/platform/LinuxDeviceList.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using TNames = std::vector<std::string>;

namespace {

// A scratch directory removed with the fixture.
class TTempDir {
public:
    TTempDir() {
        std::string pattern = (fs::temp_directory_path() / "quenby-devices-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        FPath = pattern;
    }
    ~TTempDir() { fs::remove_all(FPath); }
    const fs::path& Path() const { return FPath; }

private:
    fs::path FPath;
};

// One entry of a fake tty class directory.
void AddTtyEntry(const fs::path& ClassDir, const std::string& Name, bool HasDevice,
                 const char* Type = nullptr) {
    fs::create_directories(ClassDir / Name);
    if (HasDevice)
        fs::create_directories(ClassDir / Name / "device");
    if (Type)
        std::ofstream(ClassDir / Name / "type") << Type << "\n";
}

} // namespace

TEST(ComDevicesTest, ComNamesAreKeptByTheirBeginningOrAsLinuxSerialNames) {
    struct TCase {
        const char* Name;
        bool Kept;
    };
    const TCase cases[] = {{"COM1", true},     {"\\\\.\\COM7", true},  {"COMPUTER", true},
                           {"LPT1", false},    {"NUL", false},         {"ttyS0", true},
                           {"ttyUSB12", true}, {"ttyACM0", true},      {"ttyAMA0", true},
                           {"rfcomm3", true},  {"tty0", false},        {"tty", false},
                           {"ttyS", false},    {"ttyprintk", false},   {"ttyS0x", false},
                           {"console", false}, {"\\\\.\\LPT1", false}, {"", false}};
    for (const TCase& c : cases)
        EXPECT_EQ(IsComDeviceName(c.Name), c.Kept) << c.Name;
}

TEST(ComDevicesTest, ExtraPortsKeepNamesAndAbsolutePathsOnceInOrder) {
    EXPECT_EQ(ParseExtraPorts(""), TNames{});
    EXPECT_EQ(ParseExtraPorts("ttyS9"), TNames{"ttyS9"});
    EXPECT_EQ(ParseExtraPorts("b::/run/user/1/ttyQuenbySim:a:b:../etc/x:pts/3:/:c"),
              (TNames{"b", "/run/user/1/ttyQuenbySim", "a", "c"}));
}

TEST(ComDevicesTest, ListedNamesOpenUnderDevAndPathsAsTheyAre) {
    EXPECT_EQ(ListedDeviceName("ttyS0"), "\\\\.\\ttyS0");
    EXPECT_EQ(ListedDeviceName("COM3"), "\\\\.\\COM3");
    EXPECT_EQ(ListedDeviceName(""), "\\\\.\\");
    EXPECT_EQ(ListedDeviceName("/dev/pts/4"), "/dev/pts/4");
}

TEST(ComDevicesTest, NaturalOrderComparesNumbersByValue) {
    EXPECT_TRUE(NaturalLess("ttyS2", "ttyS10"));
    EXPECT_FALSE(NaturalLess("ttyS10", "ttyS2"));
    EXPECT_TRUE(NaturalLess("ttyS10", "ttyUSB0"));
    EXPECT_TRUE(NaturalLess("ttyS", "ttyS0"));
    EXPECT_FALSE(NaturalLess("ttyS1", "ttyS1"));
    // Equal by value, still a strict order.
    EXPECT_NE(NaturalLess("ttyS01", "ttyS1"), NaturalLess("ttyS1", "ttyS01"));
}

TEST(ComDevicesTest, SerialPortsAreClassEntriesWithHardwareInNaturalOrder) {
    TTempDir dir;
    AddTtyEntry(dir.Path(), "ttyS10", true);
    AddTtyEntry(dir.Path(), "ttyS2", true, "4");
    AddTtyEntry(dir.Path(), "ttyS3", true, "0"); // a placeholder port without hardware
    AddTtyEntry(dir.Path(), "ttyUSB0", true);
    AddTtyEntry(dir.Path(), "tty1", false); // a virtual console
    AddTtyEntry(dir.Path(), "ptmx", false);
    EXPECT_EQ(SerialPortNamesIn(dir.Path().string()), (TNames{"ttyS2", "ttyS10", "ttyUSB0"}));

    // A system without serial ports, or without the directory, lists none.
    TTempDir empty;
    EXPECT_EQ(SerialPortNamesIn(empty.Path().string()), TNames{});
    EXPECT_EQ(SerialPortNamesIn((empty.Path() / "missing").string()), TNames{});
}

TEST(ComDevicesTest, DeviceNamesAreTtyCharacterDevices) {
    TTempDir dir;
    std::ofstream(dir.Path() / "ttyS0") << "not a device";
    fs::create_directories(dir.Path() / "ttyUSB0");
    EXPECT_EQ(TtyDeviceNamesIn(dir.Path().string()), TNames{});

    // The controlling-terminal device exists on every Linux system; null is not a tty.
    const TNames dev = TtyDeviceNamesIn("/dev");
    EXPECT_NE(std::find(dev.begin(), dev.end(), "tty"), dev.end());
    EXPECT_EQ(std::find(dev.begin(), dev.end(), "null"), dev.end());
}

TEST(ComDevicesTest, EnumerationAppendsToTheCallersListWithExtraPortsLast) {
    ::setenv(ExtraPortsVariable, "/tmp/quenby-no-such-port:ttyQuenbyTest7", 1);
    TNames list{"kept"};
    EnumComDevicesFromRegistry(list);
    ::unsetenv(ExtraPortsVariable);
    ASSERT_GE(list.size(), 3u);
    EXPECT_EQ(list.front(), "kept");
    EXPECT_EQ(list[list.size() - 2], "/tmp/quenby-no-such-port");
    EXPECT_EQ(list.back(), "ttyQuenbyTest7");

    TNames com{"kept"};
    EnumComDevices(com);
    EXPECT_EQ(com.front(), "kept");
    for (std::size_t i = 1; i < com.size(); ++i)
        EXPECT_TRUE(IsComDeviceName(com[i])) << com[i];

    TNames all;
    EnumDevices(all);
    EXPECT_NE(std::find(all.begin(), all.end(), "tty"), all.end());
}
