// The port on a real kernel tty: the slave side of a pseudo-terminal.
#include "PseudoTerminal.h"
#include "comport/ComPort.h"
#include "comport/platform/LinuxComDevice.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace {

class ComPortPty : public ::testing::Test {
protected:
    TPseudoTerminal Pty;
    std::vector<int> ErrorCodes;
    TComPort Port;

    void SetUp() override {
        Port.SetDeviceName(Pty.SlavePath());
        Port.OnError = [this](TCustomComPort&, const EComError& E, TComAction&) {
            ErrorCodes.push_back(E.ErrorCode());
        };
    }
};

int OpenError(const std::string& Name) {
    TComPort port;
    port.SetDeviceName(Name);
    try {
        port.Open();
    } catch (const EComError& e) {
        EXPECT_FALSE(port.Active());
        return e.ErrorCode();
    }
    return 0;
}

TEST(LinuxComDevice, DeviceNamesMapToPaths) {
    EXPECT_EQ(TLinuxComDevice::DevicePath("\\\\.\\ttyS0"), "/dev/ttyS0");
    EXPECT_EQ(TLinuxComDevice::DevicePath("ttyUSB1"), "/dev/ttyUSB1");
    EXPECT_EQ(TLinuxComDevice::DevicePath("/dev/pts/7"), "/dev/pts/7");
}

TEST_F(ComPortPty, OpenErrors) {
    EXPECT_EQ(OpenError("/dev/quenby-no-such-device"), ENOENT);
    EXPECT_EQ(OpenError("/dev/null"), ENOTTY);
    Port.Open();
    EXPECT_EQ(OpenError(Pty.SlavePath()), EBUSY);
    Port.Close();
    EXPECT_EQ(OpenError(Pty.SlavePath()), 0);
}

TEST_F(ComPortPty, LineSettingsReachTheTty) {
    // A pseudo-terminal keeps the rate, stop bits and the parity kind, but always reports
    // 8 data bits without the parity-enable flag; the full mapping is in LinuxTermiosTest.
    struct TCase {
        TBaudRate Rate;
        std::int32_t Custom;
        TDataBits Data;
        TParity Parity;
        TStopBits Stop;
        speed_t Speed;
        tcflag_t ParityKind;
        bool TwoStop;
    };
    const TCase cases[] = {
        {brCustom, 12345, db7, paMark, sb2, 12345, PARODD | CMSPAR, true},
        {br19200, 0, db8, paNone, sb1, 19200, 0, false},
        {br9600, 0, db5, paSpace, sb1_5, 9600, CMSPAR, true},
        {br115200, 0, db6, paOdd, sb1, 115200, PARODD, false},
        {brCustom, 250000, db8, paEven, sb2, 250000, 0, true},
    };
    Port.Open();
    for (const TCase& c : cases) {
        // Stop bits first where the old data bits would not allow the new stop bits.
        Port.SetStopBits(sb1);
        Port.SetDataBits(c.Data);
        Port.SetStopBits(c.Stop);
        Port.SetParity(c.Parity);
        if (c.Rate == brCustom)
            Port.SetCustomBaudRate(c.Custom);
        else
            Port.SetBaudRate(c.Rate);
        const termios2 t = Pty.SlaveSettings();
        EXPECT_EQ(t.c_ospeed, c.Speed);
        EXPECT_EQ(t.c_cflag & (PARODD | CMSPAR), c.ParityKind);
        EXPECT_EQ((t.c_cflag & CSTOPB) != 0, c.TwoStop);
        EXPECT_EQ(t.c_cflag & (CREAD | CLOCAL), tcflag_t(CREAD | CLOCAL));
        EXPECT_EQ(t.c_iflag & IGNBRK, tcflag_t(IGNBRK));
        EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
    }
    EXPECT_TRUE(ErrorCodes.empty());
}

TEST_F(ComPortPty, FlowControlReachesTheTty) {
    Port.FlowControl().SetXOnXOff(xcInputOutput);
    Port.Characters().SetXOn(u'q');
    Port.Characters().SetXOff(u's');
    Port.SetOptions({opOutputCTSFlow, opCheckParity});
    Port.Open();
    termios2 t = Pty.SlaveSettings();
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF | INPCK), tcflag_t(IXON | IXOFF | INPCK));
    EXPECT_EQ(t.c_cc[VSTART], 'q');
    EXPECT_EQ(t.c_cc[VSTOP], 's');
    EXPECT_NE(t.c_cflag & CRTSCTS, 0u);
    Port.SetOptions({});
    Port.FlowControl().SetXOnXOff(xcDisable);
    t = Pty.SlaveSettings();
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF | INPCK), 0u);
    EXPECT_EQ(t.c_cflag & CRTSCTS, 0u);
}

TEST_F(ComPortPty, SettingsLinuxCannotMakeAreRefused) {
    Port.SetDataBits(db8);
    Port.Open();
    EXPECT_THROW(Port.SetDataBits(db4), EComError);
    EXPECT_EQ(Port.DataBits(), db8);
    EXPECT_THROW(Port.SetOptions({opOutputDSRFlow}), EComError);
    EXPECT_TRUE(Port.Options().Empty());
    EXPECT_THROW(Port.FlowControl().SetDTR(dcHandshake), EComError);
    EXPECT_EQ(Port.FlowControl().DTR(), dcDefault);
    EXPECT_THROW(Port.SetStopBits(sb1_5), EComError); // needs 5 data bits
    EXPECT_EQ(Port.StopBits(), sbDefault);
    EXPECT_EQ(ErrorCodes, (std::vector<int>{EINVAL, EINVAL, EINVAL, EINVAL}));
    EXPECT_EQ(Pty.SlaveSettings().c_cflag & CSIZE, tcflag_t(CS8));
}

TEST_F(ComPortPty, DataBothWays) {
    Port.SetBaudRate(br19200);
    Port.Open();
    Port.WriteAnsiString("hello");
    Port.WriteDWord(0x44434241);
    EXPECT_EQ(Pty.Receive(9), "helloABCD");

    Pty.Send(std::string("\x00\x01\xFFxyz", 6));
    ASSERT_TRUE(Eventually([&] { return Port.InputCount() == 6; }));
    EXPECT_EQ(Port.ReadAnsiString(), std::string("\x00\x01\xFFxyz", 6));
    EXPECT_EQ(Port.InputCount(), 0);
    EXPECT_EQ(Port.ReadAnsiString(), "");
}

TEST_F(ComPortPty, ReadStringLeavesAnOddByteQueued) {
    Port.Open();
    Pty.Send(std::string("a\0b\0c", 5));
    ASSERT_TRUE(Eventually([&] { return Port.InputCount() == 5; }));
    EXPECT_EQ(Port.ReadString(), u"ab");
    EXPECT_EQ(Port.InputCount(), 1);
    EXPECT_EQ(Port.ReadAnsiChar(), 'c');
}

TEST_F(ComPortPty, ReadLineIncludesTheCarriageReturn) {
    Port.Open();
    Pty.Send("23.4\r\nrest");
    EXPECT_EQ(Port.ReadAnsiLine(), "23.4\r");
    EXPECT_EQ(Port.ReadAnsiChar(), '\n');
}

TEST_F(ComPortPty, ReadWaitsForBytesStillToCome) {
    Port.Open();
    std::thread sender([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        Pty.Send("late");
    });
    char buffer[4];
    Port.Read(buffer, 4, true);
    sender.join();
    EXPECT_EQ(std::string(buffer, 4), "late");
}

TEST_F(ComPortPty, ReadTimeoutRaisesTimeout) {
    Port.Timeouts().SetReadConstant(30);
    Port.Open();
    Pty.Send("ab");
    char buffer[4];
    try {
        Port.Read(buffer, 4, true);
        ADD_FAILURE() << "no timeout";
    } catch (const EComError& e) {
        EXPECT_EQ(e.ErrorCode(), 0);
        EXPECT_STREQ(e.what(), "Timeout");
    }
    EXPECT_EQ(std::string(buffer, 2), "ab");
    // The interval limit ends a read once bytes stop coming.
    Port.Timeouts().SetReadConstant(0);
    Port.Timeouts().SetReadInterval(20);
    Pty.Send("c");
    EXPECT_THROW(Port.ReadWord(), EComError);
    // The "return what is queued" setting never waits.
    Port.Timeouts().SetReadInterval(-1);
    Port.Read(buffer, 0, true);
    EXPECT_THROW(Port.ReadByte(), EComError);
}

TEST_F(ComPortPty, WriteTimeoutRaisesTimeout) {
    Port.Timeouts().SetWriteConstant(50);
    Port.Open();
    // Nobody reads the master, so the pseudo-terminal's buffers fill up.
    const std::string block(1 << 20, 'x');
    try {
        Port.Write(block.data(), static_cast<std::int32_t>(block.size()), true);
        ADD_FAILURE() << "no timeout";
    } catch (const EComError& e) {
        EXPECT_STREQ(e.what(), "Timeout");
    }
    EXPECT_GT(Port.OutputCount() + 0, -1); // the port is still usable
    Port.Close();
}

TEST_F(ComPortPty, BackgroundWriteCompletesAndCanBeAborted) {
    Port.Open();
    std::string block(200000, '\0');
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<char>('a' + i % 26);
    Port.Write(block.data(), static_cast<std::int32_t>(block.size()), false);
    // The port copied the bytes; the caller's buffer may change now.
    const std::string sent = block;
    block.assign(block.size(), '#');
    EXPECT_TRUE(Port.WritePending());
    EXPECT_EQ(Pty.Receive(sent.size()), sent);
    Port.WaitForWriteCompletion();
    EXPECT_FALSE(Port.WritePending());

    Port.Write(sent.data(), static_cast<std::int32_t>(sent.size()), false);
    Port.AbortOutput();
    EXPECT_FALSE(Port.WritePending());
    Port.WaitForWriteCompletion(); // an aborted write is not reported as short
    Port.ClearOutput();
    EXPECT_TRUE(ErrorCodes.empty());
}

TEST_F(ComPortPty, PurgeDiscardsQueuedInput) {
    Port.Open();
    Pty.Send("stale");
    ASSERT_TRUE(Eventually([&] { return Port.InputCount() == 5; }));
    Port.PurgeInput();
    EXPECT_EQ(Port.InputCount(), 0);
    Pty.Send("new");
    ASSERT_TRUE(Eventually([&] { return Port.InputCount() == 3; }));
    EXPECT_EQ(Port.ReadAnsiString(), "new");
}

TEST_F(ComPortPty, PseudoTerminalHasNoModemLinesOrLineErrors) {
    Port.Open();
    EXPECT_TRUE(Port.ModemStatus().Empty());
    Port.SetDTR();
    Port.ClearRTS();
    Port.CheckLineErrors();
    EXPECT_EQ(Port.OutputCount(), 0);
    EXPECT_TRUE(ErrorCodes.empty());
}

} // namespace
