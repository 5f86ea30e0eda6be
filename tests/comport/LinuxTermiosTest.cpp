// The control block as termios2 settings, checked without a device.
#include "comport/platform/LinuxTermios.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace {

TDeviceControlBlock Block(std::uint32_t Rate, std::uint8_t Size, std::uint8_t Parity,
                          std::uint8_t Stop, std::uint32_t Flags = DcbFlag::Binary) {
    TDeviceControlBlock d;
    d.BaudRate = Rate;
    d.ByteSize = Size;
    d.Parity = Parity;
    d.StopBits = Stop;
    d.Flags = Flags;
    return d;
}

TEST(LinuxTermios, CharacterFormat) {
    struct TCase {
        TDeviceControlBlock Dcb;
        tcflag_t Size, Parity;
        bool Cstopb;
    };
    const TCase cases[] = {
        {Block(19200, 8, 0, 0), CS8, 0, false},
        {Block(12345, 7, 3, 2), CS7, PARENB | PARODD | CMSPAR, true},
        {Block(300, 5, 4, 1), CS5, PARENB | CMSPAR, true},
        {Block(9600, 6, 1, 0), CS6, PARENB | PARODD, false},
        {Block(9600, 8, 2, 2), CS8, PARENB, true},
    };
    for (const TCase& c : cases) {
        termios2 old{};
        old.c_lflag = ICANON | ECHO;
        old.c_oflag = OPOST;
        old.c_cc[VINTR] = 3;
        const termios2 t = TermiosFor(c.Dcb, old);
        EXPECT_EQ(t.c_cflag & CSIZE, c.Size);
        EXPECT_EQ(t.c_cflag & (PARENB | PARODD | CMSPAR), c.Parity);
        EXPECT_EQ((t.c_cflag & CSTOPB) != 0, c.Cstopb);
        EXPECT_EQ(t.c_cflag & CBAUD, tcflag_t(BOTHER));
        EXPECT_EQ(t.c_ospeed, c.Dcb.BaudRate);
        EXPECT_EQ(t.c_ispeed, c.Dcb.BaudRate);
        EXPECT_EQ(t.c_cflag & (CREAD | CLOCAL), tcflag_t(CREAD | CLOCAL));
        EXPECT_EQ(t.c_iflag, tcflag_t(IGNBRK));
        EXPECT_EQ(t.c_lflag, 0u);
        EXPECT_EQ(t.c_oflag, 0u);
        EXPECT_EQ(t.c_cc[VINTR], 3); // untouched
        // Reading the settings back gives the block's format.
        TDeviceControlBlock back;
        ReadTermios(t, back);
        EXPECT_EQ(back.BaudRate, c.Dcb.BaudRate);
        EXPECT_EQ(back.ByteSize, c.Dcb.ByteSize);
        EXPECT_EQ(back.Parity, c.Dcb.Parity);
        EXPECT_EQ(back.StopBits, c.Dcb.StopBits);
    }
}

TEST(LinuxTermios, FlowControl) {
    struct TCase {
        std::uint32_t Flags;
        tcflag_t IFlags;
        bool Crtscts;
    };
    const TCase cases[] = {
        {0x1, 0, false},
        {0x1 | 0x4, 0, true},            // CTS output flow
        {0x1 | 0x2000, 0, true},         // RTS handshake
        {0x1 | 0x1000 | 0x10, 0, false}, // RTS and DTR simply on
        {0x1 | 0x100, IXON, false},      // XON/XOFF output
        {0x1 | 0x200, IXOFF, false},     // XON/XOFF input
        {0x1 | 0x300 | 0x2, IXON | IXOFF | INPCK, false},
    };
    for (const TCase& c : cases) {
        TDeviceControlBlock d = Block(9600, 8, 0, 0, c.Flags);
        d.XonChar = 'q';
        d.XoffChar = 's';
        const termios2 t = TermiosFor(d, termios2{});
        EXPECT_EQ(t.c_iflag & (IXON | IXOFF | INPCK), c.IFlags) << c.Flags;
        EXPECT_EQ((t.c_cflag & CRTSCTS) != 0, c.Crtscts) << c.Flags;
        EXPECT_EQ(t.c_cc[VSTART], 'q');
        EXPECT_EQ(t.c_cc[VSTOP], 's');
    }
}

TEST(LinuxTermios, RefusesWhatLinuxCannotDo) {
    struct TCase {
        TDeviceControlBlock Dcb;
        int Error;
    };
    const TCase cases[] = {
        {Block(9600, 8, 0, 0), 0},
        {Block(0, 8, 0, 0), EINVAL}, // would hang up the line
        {Block(0x80000000u, 8, 0, 0), EINVAL},
        {Block(9600, 4, 0, 0), EINVAL}, // 4 data bits
        {Block(9600, 9, 0, 0), EINVAL},
        {Block(9600, 8, 5, 0), EINVAL},
        {Block(9600, 8, 0, 1), EINVAL}, // 1.5 stop bits need 5 data bits
        {Block(9600, 5, 0, 1), 0},
        {Block(9600, 5, 0, 2), EINVAL},             // 2 stop bits not with 5 data bits
        {Block(9600, 8, 0, 0, 0x1 | 0x8), EINVAL},  // DSR output flow
        {Block(9600, 8, 0, 0, 0x1 | 0x20), EINVAL}, // DTR handshake
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(ValidateBlock(cases[i].Dcb), cases[i].Error) << i;
}

} // namespace
