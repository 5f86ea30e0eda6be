// The port's lifecycle, transfers and error routing against the fake device.
#include "comport/ComEventQueue.h"
#include "comport/ComPort.h"
#include "comport/platform/FakeComDevice.h"

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

namespace {

class ComPortFake : public ::testing::Test {
protected:
    // Calls outlives Port, whose destructor may still run recorded handlers.
    std::vector<std::string> Calls;
    TFakeComDevice* Device = new TFakeComDevice;
    TComPort Port{std::unique_ptr<TComDevice>(Device)};

    void Record() {
        Port.BeforeOpen = [this](TCustomComPort&) { Calls.push_back("BeforeOpen"); };
        Port.AfterOpen = [this](TCustomComPort&) { Calls.push_back("AfterOpen"); };
        Port.BeforeClose = [this](TCustomComPort&) { Calls.push_back("BeforeClose"); };
        Port.AfterClose = [this](TCustomComPort&) { Calls.push_back("AfterClose"); };
        Port.OnError = [this](TCustomComPort&, const EComError& E, TComAction&) {
            Calls.push_back("OnError " + std::to_string(E.ErrorCode()) + " " + E.what());
        };
    }
};

TEST_F(ComPortFake, OpenAndCloseRunTheirHandlers) {
    Record();
    Port.SetDeviceName("ttyUSB0");
    Port.Open();
    Port.Open(); // already open: nothing
    EXPECT_TRUE(Port.Active());
    EXPECT_EQ(Device->OpenedName(), "ttyUSB0");
    // The queues are purged at open (abort and clear both ways).
    EXPECT_EQ(Device->Purges(), (std::vector<std::uint32_t>{0x0A, 0x05}));
    Port.Close();
    Port.Close();
    EXPECT_FALSE(Port.Active());
    EXPECT_EQ(Calls,
              (std::vector<std::string>{"BeforeOpen", "AfterOpen", "BeforeClose", "AfterClose"}));
}

TEST_F(ComPortFake, FailedOpenReportsTheSystemErrorAndStaysClosed) {
    Record();
    Device->FailWith("Open", ENOENT);
    try {
        Port.SetActive(true);
        ADD_FAILURE() << "opened";
    } catch (const EComError& e) {
        EXPECT_EQ(e.ErrorCode(), ENOENT);
        EXPECT_EQ(std::string(e.what()), std::strerror(ENOENT));
    }
    EXPECT_FALSE(Port.Active());
    EXPECT_EQ(Calls, (std::vector<std::string>{"BeforeOpen", "OnError " + std::to_string(ENOENT) +
                                                                 " " + std::strerror(ENOENT)}));
}

TEST_F(ComPortFake, FailureAfterTheDeviceOpenedClosesItAgain) {
    Device->FailWith("SetTimeouts", EIO);
    EXPECT_THROW(Port.Open(), EComError);
    EXPECT_FALSE(Device->IsOpen());
}

TEST_F(ComPortFake, AbortActionBecomesTheSilentAbort) {
    bool reached = false;
    Port.OnError = [](TCustomComPort&, const EComError&, TComAction& Action) { Action = caAbort; };
    auto caller = [&] {
        Port.SetDTR(); // closed: raises
        reached = true;
    };
    EXPECT_THROW(caller(), EComAbort);
    EXPECT_FALSE(reached);
    // The silent abort is no EComError, so code catching errors to show them lets it pass.
    try {
        caller();
    } catch (const EComError&) {
        ADD_FAILURE() << "caught as EComError";
    } catch (const EComAbort&) {
    }
}

TEST_F(ComPortFake, ClosedPortOperations) {
    // Purges and flush do nothing on a closed port; the others raise the closed-port error.
    Port.PurgeInput();
    Port.PurgeOutput();
    Port.ClearInput();
    Port.ClearOutput();
    Port.AbortInput();
    Port.AbortOutput();
    Port.Flush();
    EXPECT_TRUE(Device->Purges().empty());
    char buffer[4];
    const std::function<void()> refused[] = {
        [&] { Port.SetDTR(); },
        [&] { Port.ClearRTS(); },
        [&] { Port.SetBreak(); },
        [&] { Port.CheckLineErrors(); },
        [&] { Port.ClearLineErrors(); },
        [&] { Port.TransmitChar('a'); },
        [&] { Port.ModemStatus(); },
        [&] { Port.Read(buffer, 4, true); },
        [&] { Port.WriteAnsiString("x"); },
        [&] { Port.ReadAnsiString(); },
    };
    for (std::size_t i = 0; i < std::size(refused); ++i) {
        try {
            refused[i]();
            ADD_FAILURE() << i << " ran on a closed port";
        } catch (const EComError& e) {
            EXPECT_EQ(e.ErrorCode(), 0) << i;
            EXPECT_STREQ(e.what(), "Can't perform this operation on a closed port") << i;
        }
    }
    // The queue counts ask the device, which refuses a closed handle.
    try {
        Port.InputCount();
        ADD_FAILURE() << "counted on a closed port";
    } catch (const EComError& e) {
        EXPECT_EQ(e.ErrorCode(), EBADF);
    }
}

TEST_F(ComPortFake, ReadOfZeroBytesRunsBothHandlersAndStartsNoTransfer) {
    Port.Open();
    std::vector<std::string> seen;
    Port.BeforeRead = [&](TCustomComPort&, void*, std::int32_t N, bool Wait) {
        seen.push_back("before " + std::to_string(N) + (Wait ? " wait" : ""));
    };
    Port.AfterRead = [&](TCustomComPort&, void*, std::int32_t N, bool) {
        seen.push_back("after " + std::to_string(N));
    };
    char buffer[1];
    Port.Read(buffer, 0, true);
    EXPECT_EQ(seen, (std::vector<std::string>{"before 0 wait", "after 0"}));
    EXPECT_EQ(Device->ReadsStarted(), 0);
    // ReadAnsiString on an empty queue is the same zero-byte read.
    EXPECT_EQ(Port.ReadAnsiString(), "");
    EXPECT_EQ(Device->ReadsStarted(), 0);
}

TEST_F(ComPortFake, NegativeCountIsRejected) {
    Port.Open();
    char buffer[1];
    for (auto transfer : {+[](TComPort&P, char*B) { P.Read(B, -1, true); },
                          +[](TComPort&P, char*B) { P.Write(B, -5, false); }}) {
        try {
            transfer(Port, buffer);
            ADD_FAILURE() << "accepted";
        } catch (const EComError& e) {
            EXPECT_EQ(e.ErrorCode(), EINVAL);
        }
    }
    EXPECT_EQ(Device->ReadsStarted(), 0);
    EXPECT_EQ(Device->Written(), "");
}

TEST_F(ComPortFake, ReadFamily) {
    Port.Open();
    Device->Receive(std::string("\x01\x02\x03\x04\x05\x06\x07", 7));
    EXPECT_EQ(Port.ReadByte(), 0x01);
    EXPECT_EQ(Port.ReadWord(), 0x0302);
    EXPECT_EQ(Port.ReadDWord(), 0x07060504u);
    Device->Receive(std::string("A\0B\0C", 5));
    EXPECT_EQ(Port.ReadString(), u"AB");
    EXPECT_EQ(Port.InputCount(), 1);
    EXPECT_EQ(Port.ReadAnsiChar(), 'C');
    Device->Receive("one\rtwo\r");
    EXPECT_EQ(Port.ReadAnsiLine(), "one\r");
    EXPECT_EQ(Port.ReadAnsiUntil('o'), "two");
    EXPECT_EQ(Port.ReadAnsiString(), "\r");
    Device->Receive(std::string("x\0\r\0y\0", 6));
    EXPECT_EQ(Port.ReadLine(), u"x\r");
    EXPECT_EQ(Port.ReadChar(), u'y');
}

TEST_F(ComPortFake, WriteFamilyIsLittleEndian) {
    Port.Open();
    Port.WriteAnsiString("ab");
    Port.WriteString(u"\u0102");
    Port.WriteAnsiChar('c');
    Port.WriteByte(0xFF);
    Port.WriteChar(u'\u0304');
    Port.WriteWord(0x0506);
    Port.WriteDWord(0x0708090A);
    Port.WaitForWriteCompletion();
    EXPECT_EQ(Device->Written(), std::string("ab\x02\x01"
                                             "c\xFF\x04\x03\x06\x05\x0A\x09\x08\x07",
                                             14));
}

TEST_F(ComPortFake, ShortReadRaisesTimeout) {
    Port.Open();
    Device->Receive("ab");
    char buffer[4];
    try {
        Port.Read(buffer, 4, true);
        ADD_FAILURE() << "no timeout";
    } catch (const EComError& e) {
        EXPECT_EQ(e.ErrorCode(), 0);
        EXPECT_STREQ(e.what(), "Timeout");
    }
}

TEST_F(ComPortFake, LineErrorsReachOnLineErrorInOrder) {
    TComEventQueue queue; // OnLineError also starts the event thread, which needs one
    Port.SetDispatcher(&queue);
    Port.Open();
    std::vector<std::vector<TLineError>> reports;
    Port.OnLineError = [&](TCustomComPort&, TLineErrors Errors) {
        reports.push_back(Errors.Members());
    };
    Device->RaiseLineErrors(0x0001 | 0x0004 | 0x0010 | 0x0002 | 0x0008);
    Port.CheckLineErrors();
    Port.CheckLineErrors(); // cleared: nothing more
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0],
              (std::vector<TLineError>{leBreak, leFrame, leOverrun, leRxOverflow, leParity}));
    // InputCount reports what it finds on the way; ClearLineErrors does not.
    Device->RaiseLineErrors(0x0100);
    Port.InputCount();
    Device->RaiseLineErrors(0x8000);
    Port.ClearLineErrors();
    Port.CheckLineErrors();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[1], std::vector<TLineError>{leTxFull});
    Port.Close(); // before the queue goes
}

TEST_F(ComPortFake, HandlerWithoutDispatcherIsRefused) {
    Port.Open();
    try {
        Port.OnRxChar = [](TCustomComPort&) {};
        ADD_FAILURE() << "accepted";
    } catch (const EComError& e) {
        EXPECT_EQ(e.ErrorCode(), 0);
    }
}

TEST_F(ComPortFake, ModemStatusAndLineControl) {
    Port.Open();
    Device->SetModemBits(0x10 | 0x80 | 0x0F);
    EXPECT_EQ(Port.ModemStatus(), TModemStatus({msCTS, msRLSD}));
    Device->SetModemBits(0x20 | 0x40);
    EXPECT_EQ(Port.ModemStatus(), TModemStatus({msDSR, msRing}));
    Port.SetDTR();
    Port.ClearDTR();
    Port.SetRTS();
    Port.ClearRTS();
    Port.SetXOn();
    Port.SetXOff();
    Port.ResetDevice();
    Port.SetBreak();
    Port.ClearBreak();
    EXPECT_EQ(Device->Escapes(), (std::vector<std::uint32_t>{5, 6, 3, 4, 2, 1, 7, 8, 9}));
    Port.PurgeInput();
    Port.PurgeOutput();
    Port.ClearInput();
    Port.ClearOutput();
    Port.AbortInput();
    Port.AbortOutput();
    const auto purges = Device->Purges();
    EXPECT_EQ(std::vector<std::uint32_t>(purges.end() - 6, purges.end()),
              (std::vector<std::uint32_t>{0x0A, 0x05, 0x08, 0x04, 0x02, 0x01}));
    Device->FailWith("Escape", ENOTSUP);
    try {
        Port.ResetDevice();
        ADD_FAILURE() << "no error";
    } catch (const EComError& e) {
        EXPECT_EQ(e.ErrorCode(), ENOTSUP);
    }
}

TEST_F(ComPortFake, PriorityClassIsSetWhileOpenAndRestoredAtClose) {
    Port.SetPriorityClass(pcHigh);
    Port.Open();
    EXPECT_EQ(Device->ProcessPriority(), pcHigh);
    Port.Close();
    EXPECT_EQ(Device->ProcessPriority(), pcDefault);
}

TEST_F(ComPortFake, LoadingRecordsActiveAndLoadedAppliesIt) {
    Record();
    Port.BeginLoading();
    Port.SetActive(true);
    EXPECT_TRUE(Port.Active());
    EXPECT_FALSE(Device->IsOpen());
    Port.Loaded();
    EXPECT_TRUE(Device->IsOpen());
    EXPECT_EQ(Calls, (std::vector<std::string>{"BeforeOpen", "AfterOpen"}));
}

TEST_F(ComPortFake, DestroyingAnOpenPortClosesIt) {
    bool closed = false;
    {
        auto* device = new TFakeComDevice;
        TComPort port{std::unique_ptr<TComDevice>(device)};
        port.AfterClose = [&closed](TCustomComPort&) { closed = true; };
        port.Open();
    }
    EXPECT_TRUE(closed);
}

} // namespace
