// Settings of the port and their mapping to the device control block, without a device
// (the fake stands in where a port must be open).
#include "comport/ComPort.h"
#include "comport/DeviceControlBlock.h"
#include "comport/platform/FakeComDevice.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace {

struct TFakePort {
    TFakeComDevice* Device = new TFakeComDevice;
    TComPort Port{std::unique_ptr<TComDevice>(Device)};
};

TEST(ComSettings, NewPortHasDocumentedDefaults) {
    TFakePort f;
    TComPort& p = f.Port;
    EXPECT_EQ(p.DeviceName(), "COM1");
    EXPECT_EQ(p.BaudRate(), brDefault);
    EXPECT_EQ(p.CustomBaudRate(), 0);
    EXPECT_EQ(p.DataBits(), dbDefault);
    EXPECT_EQ(p.Parity(), paDefault);
    EXPECT_EQ(p.StopBits(), sbDefault);
    EXPECT_TRUE(p.Options().Empty());
    EXPECT_EQ(p.FlowControl().DTR(), dcDefault);
    EXPECT_EQ(p.FlowControl().RTS(), rcDefault);
    EXPECT_EQ(p.FlowControl().XOnXOff(), xcDefault);
    EXPECT_EQ(p.FlowControl().XOnLimit(), 0);
    EXPECT_EQ(p.FlowControl().XOffLimit(), 0);
    EXPECT_EQ(p.Characters().XOn(), 17);
    EXPECT_EQ(p.Characters().XOff(), 19);
    EXPECT_EQ(p.Characters().Error(), 0);
    EXPECT_EQ(p.Characters().Eof(), 0);
    EXPECT_EQ(p.Characters().Event(), 0);
    EXPECT_EQ(p.BufferSizes().Input(), 4096);
    EXPECT_EQ(p.BufferSizes().Output(), 2048);
    EXPECT_EQ(p.Timeouts().ReadInterval(), 0);
    EXPECT_EQ(p.Timeouts().ReadMultiplier(), 0);
    EXPECT_EQ(p.Timeouts().ReadConstant(), 0);
    EXPECT_EQ(p.Timeouts().WriteMultiplier(), 0);
    EXPECT_EQ(p.Timeouts().WriteConstant(), 0);
    EXPECT_EQ(p.PriorityClass(), pcDefault);
    EXPECT_TRUE(p.SynchronizeEvents());
    EXPECT_EQ(p.ThreadPriority(), tpTimeCritical);
    EXPECT_FALSE(p.Active());
    EXPECT_EQ(p.Handle(), -1);
}

TEST(ComSettings, CustomBaudRateFollowsBaudRate) {
    TFakePort f;
    TComPort& p = f.Port;
    p.SetBaudRate(br9600);
    EXPECT_EQ(p.CustomBaudRate(), 9600);
    p.SetCustomBaudRate(57600);
    EXPECT_EQ(p.BaudRate(), brCustom);
    EXPECT_EQ(p.CustomBaudRate(), 57600);
    // A standard rate hides the stored custom one; setting that custom rate again must
    // still switch back to it.
    p.SetBaudRate(br19200);
    EXPECT_EQ(p.CustomBaudRate(), 19200);
    p.SetCustomBaudRate(57600);
    EXPECT_EQ(p.BaudRate(), brCustom);
    EXPECT_EQ(p.CustomBaudRate(), 57600);
}

TEST(ComSettings, CustomBaudRateOfZeroOrLessIsRejected) {
    TFakePort f;
    TComPort& p = f.Port;
    p.SetBaudRate(br9600);
    for (int rate : {0, -1, -19200}) {
        try {
            p.SetCustomBaudRate(rate);
            ADD_FAILURE() << rate << " accepted";
        } catch (const EComError& e) {
            EXPECT_EQ(e.ErrorCode(), EINVAL);
        }
        EXPECT_EQ(p.BaudRate(), br9600);
        EXPECT_EQ(p.CustomBaudRate(), 9600);
    }
}

// ---- Filling the control block ----

TDeviceControlBlock DeviceBlock() {
    // A block as a device might report it, with every field set to something distinct.
    TDeviceControlBlock d;
    d.BaudRate = 1234;
    d.Flags = 0xFFFFFFFF & ~DcbFlag::Binary;
    d.XonLim = 77;
    d.XoffLim = 88;
    d.ByteSize = 6;
    d.Parity = 3;
    d.StopBits = 2;
    d.XonChar = 1;
    d.XoffChar = 2;
    d.ErrorChar = 3;
    d.EofChar = 4;
    d.EvtChar = 5;
    return d;
}

TEST(DeviceControlBlock, DefaultMembersChangeOnlyCharactersLimitsOptionsAndBinary) {
    TDeviceControlBlock d = DeviceBlock();
    FillDeviceControlBlock(TDcbSettings(), d);
    TDeviceControlBlock expected = DeviceBlock();
    expected.XonChar = 17;
    expected.XoffChar = 19;
    expected.ErrorChar = expected.EofChar = expected.EvtChar = 0;
    expected.XonLim = expected.XoffLim = 0;
    expected.Flags = (0xFFFFFFFFu & ~0x4CCEu) | 0x1u;
    EXPECT_EQ(d, expected);
}

TEST(DeviceControlBlock, EachOptionSetsItsBitAndClearsTheOthers) {
    const std::pair<TOption, std::uint32_t> bits[] = {
        {opCheckParity, 0x2},        {opOutputCTSFlow, 0x4},     {opOutputDSRFlow, 0x8},
        {opDSRSensitivity, 0x40},    {opTXContinueOnXOff, 0x80}, {opUseErrorChar, 0x400},
        {opDiscardNullBytes, 0x800}, {opAbortOnError, 0x4000}};
    for (const auto& [option, bit] : bits) {
        TDcbSettings s;
        s.Options = {option};
        TDeviceControlBlock d;
        d.Flags = 0x4CCE;
        FillDeviceControlBlock(s, d);
        EXPECT_EQ(d.Flags & 0x4CCE, bit) << option;
        EXPECT_EQ(d.Flags & 0x1, 0x1u);
    }
}

TEST(DeviceControlBlock, MembersMapToTheirValues) {
    struct TCase {
        TDcbSettings Settings;
        std::uint32_t BaudRate;
        int ByteSize, Parity, StopBits;
        std::uint32_t FlowBits; // under mask 0x3330
    };
    auto make = [](auto Edit) {
        TDcbSettings s;
        Edit(s);
        return s;
    };
    const TCase cases[] = {
        {make([](TDcbSettings& s) {
             s.BaudRate = br19200;
             s.CustomBaudRate = 19200;
         }),
         19200, 6, 3, 2, 0},
        {make([](TDcbSettings& s) {
             s.DataBits = db4;
             s.Parity = paNone;
             s.StopBits = sb1;
         }),
         1234, 4, 0, 0, 0},
        {make([](TDcbSettings& s) {
             s.DataBits = db8;
             s.Parity = paSpace;
             s.StopBits = sb1_5;
         }),
         1234, 8, 4, 1, 0},
        {make([](TDcbSettings& s) {
             s.DataBits = db5;
             s.Parity = paOdd;
             s.StopBits = sb2;
         }),
         1234, 5, 1, 2, 0},
        {make([](TDcbSettings& s) { s.Parity = paEven; }), 1234, 6, 2, 2, 0},
        {make([](TDcbSettings& s) {
             s.DTR = dcEnable;
             s.RTS = rcToggle;
             s.XOnXOff = xcInput;
         }),
         1234, 6, 3, 2, 0x10 | 0x3000 | 0x200},
        {make([](TDcbSettings& s) {
             s.DTR = dcHandshake;
             s.RTS = rcHandshake;
             s.XOnXOff = xcOutput;
         }),
         1234, 6, 3, 2, 0x20 | 0x2000 | 0x100},
        {make([](TDcbSettings& s) {
             s.DTR = dcDisable;
             s.RTS = rcEnable;
             s.XOnXOff = xcInputOutput;
         }),
         1234, 6, 3, 2, 0x1000 | 0x300},
        {make([](TDcbSettings& s) {
             s.RTS = rcDisable;
             s.XOnXOff = xcDisable;
         }),
         1234, 6, 3, 2, 0},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        TDeviceControlBlock d = DeviceBlock();
        d.Flags = 0; // no flow bits before, so every expected bit comes from the settings
        FillDeviceControlBlock(cases[i].Settings, d);
        EXPECT_EQ(d.BaudRate, cases[i].BaudRate) << i;
        EXPECT_EQ(d.ByteSize, cases[i].ByteSize) << i;
        EXPECT_EQ(d.Parity, cases[i].Parity) << i;
        EXPECT_EQ(d.StopBits, cases[i].StopBits) << i;
        EXPECT_EQ(d.Flags & 0x3330, cases[i].FlowBits) << i;
    }
}

TEST(DeviceControlBlock, DefaultFlowMembersKeepTheDeviceBits) {
    TDeviceControlBlock d;
    d.Flags = 0x20 | 0x3000 | 0x100;
    TDcbSettings s;
    s.RTS = rcEnable;
    FillDeviceControlBlock(s, d);
    EXPECT_EQ(d.Flags & 0x3330, 0x20u | 0x1000u | 0x100u);
}

TEST(DeviceControlBlock, OnlyTheLowByteOfACharacterIsUsed) {
    TDcbSettings s;
    s.XOn = u'\u0411';   // 0x0411
    s.Event = u'\u20AC'; // 0x20AC
    TDeviceControlBlock d;
    FillDeviceControlBlock(s, d);
    EXPECT_EQ(d.XonChar, 0x11);
    EXPECT_EQ(d.EvtChar, 0xAC);
}

TEST(DeviceControlBlock, ReadBackTakesTheLastMatchingMember) {
    TDeviceControlBlock d;
    d.BaudRate = 19200;
    d.ByteSize = 8;
    d.Parity = 0;
    d.StopBits = 0;
    d.Flags = 0x1 | 0x4 | 0x4000;
    d.XonChar = 'a';
    d.XoffLim = 500;
    const TDcbSettings s = ReadDeviceControlBlock(d, TDcbSettings());
    EXPECT_EQ(s.BaudRate, brCustom);
    EXPECT_EQ(s.CustomBaudRate, 19200);
    EXPECT_EQ(s.DataBits, db8);
    EXPECT_EQ(s.Parity, paNone);
    EXPECT_EQ(s.StopBits, sb1);
    EXPECT_EQ(s.DTR, dcDisable);
    EXPECT_EQ(s.RTS, rcDisable);
    EXPECT_EQ(s.XOnXOff, xcDisable);
    EXPECT_EQ(s.Options, TOptions({opOutputCTSFlow, opAbortOnError}));
    EXPECT_EQ(s.XOn, u'a');
    EXPECT_EQ(s.XOffLimit, 500);
}

TEST(DeviceControlBlock, ReadBackKeepsSettingsThatMatchNoMember) {
    TDeviceControlBlock d;
    d.ByteSize = 9;
    d.Parity = 7;
    d.StopBits = 5;
    TDcbSettings current;
    current.DataBits = db7;
    current.Parity = paEven;
    current.StopBits = sb2;
    const TDcbSettings s = ReadDeviceControlBlock(d, current);
    EXPECT_EQ(s.DataBits, db7);
    EXPECT_EQ(s.Parity, paEven);
    EXPECT_EQ(s.StopBits, sb2);
}

TEST(DeviceControlBlock, FillThenReadBackIsTheSameSettings) {
    TDcbSettings s;
    s.BaudRate = brCustom;
    s.CustomBaudRate = 12345;
    s.DataBits = db7;
    s.Parity = paMark;
    s.StopBits = sb2;
    s.Options = {opCheckParity, opUseErrorChar};
    s.DTR = dcEnable;
    s.RTS = rcHandshake;
    s.XOnXOff = xcInputOutput;
    s.XOnLimit = 10;
    s.XOffLimit = 20;
    s.Error = '?';
    s.Eof = 26;
    s.Event = '\n';
    TDeviceControlBlock d;
    FillDeviceControlBlock(s, d);
    EXPECT_EQ(ReadDeviceControlBlock(d, TDcbSettings()), s);
}

// ---- Settings and the device ----

TEST(ComSettings, ClosedPortStoresSettingsAndAppliesThemAtOpen) {
    TFakePort f;
    TComPort& p = f.Port;
    p.SetBaudRate(br19200);
    p.SetDataBits(db8);
    p.SetParity(paNone);
    p.SetStopBits(sb1);
    p.FlowControl().SetXOnXOff(xcInputOutput);
    p.BufferSizes().SetInput(100);
    p.Timeouts().SetReadInterval(-1);
    p.Timeouts().SetWriteConstant(250);
    EXPECT_EQ(f.Device->State(), TDeviceControlBlock());
    EXPECT_EQ(f.Device->QueueSizes(), std::make_pair(0, 0));

    p.Open();
    const TDeviceControlBlock d = f.Device->State();
    EXPECT_EQ(d.BaudRate, 19200u);
    EXPECT_EQ(d.ByteSize, 8);
    EXPECT_EQ(d.Parity, 0);
    EXPECT_EQ(d.StopBits, 0);
    EXPECT_EQ(d.Flags & 0x300, 0x300u);
    EXPECT_EQ(f.Device->QueueSizes(), std::make_pair(100, 2048));
    EXPECT_EQ(f.Device->Timeouts().ReadIntervalTimeout, 0xFFFFFFFFu);
    EXPECT_EQ(f.Device->Timeouts().WriteTotalTimeoutConstant, 250u);
}

TEST(ComSettings, OpenPortAppliesEachChangeAtOnce) {
    TFakePort f;
    TComPort& p = f.Port;
    p.Open();
    p.SetCustomBaudRate(12345);
    EXPECT_EQ(f.Device->State().BaudRate, 12345u);
    p.Characters().SetXOff(u'x');
    EXPECT_EQ(f.Device->State().XoffChar, 'x');
    p.BufferSizes().SetOutput(64);
    EXPECT_EQ(f.Device->QueueSizes(), std::make_pair(4096, 64));
    p.Timeouts().SetReadConstant(30);
    EXPECT_EQ(f.Device->Timeouts().ReadTotalTimeoutConstant, 30u);
    p.SetOptions({opOutputCTSFlow});
    EXPECT_EQ(f.Device->State().Flags & 0x4CCE, 0x4u);
}

TEST(ComSettings, RejectedChangeKeepsThePreviousValueAndReportsTheError) {
    TFakePort f;
    TComPort& p = f.Port;
    std::vector<int> codes;
    p.OnError = [&codes](TCustomComPort&, const EComError& E, TComAction&) {
        codes.push_back(E.ErrorCode());
    };
    p.SetDataBits(db8);
    p.Open();
    f.Device->FailWith("SetState", EINVAL);
    EXPECT_THROW(p.SetDataBits(db4), EComError);
    EXPECT_EQ(p.DataBits(), db8);
    EXPECT_THROW(p.SetCustomBaudRate(333), EComError);
    EXPECT_EQ(p.BaudRate(), brDefault);
    EXPECT_THROW(p.FlowControl().SetDTR(dcHandshake), EComError);
    EXPECT_EQ(p.FlowControl().DTR(), dcDefault);
    f.Device->FailWith("SetupQueues", ENOMEM);
    EXPECT_THROW(p.BufferSizes().SetInput(1), EComError);
    EXPECT_EQ(p.BufferSizes().Input(), 4096);
    EXPECT_EQ(codes, (std::vector<int>{EINVAL, EINVAL, EINVAL, ENOMEM}));
    EXPECT_EQ(f.Device->State().ByteSize, 8);
}

TEST(ComSettings, ClosedOnlySettingsRefuseChangesWhileOpen) {
    TFakePort f;
    TComPort& p = f.Port;
    p.Open();
    auto expectRefused = [](auto Change) {
        try {
            Change();
            ADD_FAILURE() << "accepted";
        } catch (const EComError& e) {
            EXPECT_EQ(e.ErrorCode(), 0);
            EXPECT_STREQ(e.what(), "Can't perform this operation on an open port");
        }
    };
    expectRefused([&p] { p.SetDeviceName("ttyS1"); });
    expectRefused([&p] { p.SetPriorityClass(pcHigh); });
    expectRefused([&p] { p.SetSynchronizeEvents(false); });
    EXPECT_EQ(p.DeviceName(), "COM1");
    EXPECT_EQ(p.PriorityClass(), pcDefault);
    EXPECT_TRUE(p.SynchronizeEvents());
    // An unchanged value is no change.
    p.SetDeviceName("COM1");
    p.Close();
    p.SetDeviceName("ttyS1");
    EXPECT_EQ(p.DeviceName(), "ttyS1");
}

TEST(ComSettings, AssigningASettingsObjectCopiesEveryMember) {
    TFakePort a, b;
    a.Port.FlowControl().SetRTS(rcToggle);
    a.Port.FlowControl().SetXOffLimit(9);
    a.Port.Characters().SetEof(26);
    a.Port.Timeouts().SetWriteMultiplier(3);
    a.Port.BufferSizes().SetOutput(10);
    b.Port.Open();
    b.Port.FlowControl() = a.Port.FlowControl();
    b.Port.Characters() = a.Port.Characters();
    b.Port.Timeouts() = a.Port.Timeouts();
    b.Port.BufferSizes() = a.Port.BufferSizes();
    EXPECT_EQ(b.Port.FlowControl().RTS(), rcToggle);
    EXPECT_EQ(b.Port.FlowControl().XOffLimit(), 9);
    EXPECT_EQ(b.Port.Characters().Eof(), 26);
    EXPECT_EQ(b.Port.Timeouts().WriteMultiplier(), 3);
    EXPECT_EQ(b.Device->State().Flags & 0x3000, 0x3000u);
    EXPECT_EQ(b.Device->State().EofChar, 26);
    EXPECT_EQ(b.Device->Timeouts().WriteTotalTimeoutMultiplier, 3u);
    EXPECT_EQ(b.Device->QueueSizes().second, 10);
}

TEST(ComSettings, ReadDeviceSettingsGoesThroughTheSetters) {
    // ReadDeviceSettings is internal; a small subclass reaches it as the config dialog would.
    struct TDialogPort : TCustomComPort {
        using TCustomComPort::ReadDeviceSettings;
        using TCustomComPort::TCustomComPort;
    };
    auto* device = new TFakeComDevice;
    TDialogPort p{std::unique_ptr<TComDevice>(device)};
    p.Open();
    TDeviceControlBlock d;
    d.BaudRate = 4800;
    d.ByteSize = 7;
    d.Parity = 2;
    d.StopBits = 2;
    p.ReadDeviceSettings(d);
    EXPECT_EQ(p.BaudRate(), brCustom);
    EXPECT_EQ(p.CustomBaudRate(), 4800);
    EXPECT_EQ(p.DataBits(), db7);
    EXPECT_EQ(p.Parity(), paEven);
    EXPECT_EQ(p.StopBits(), sb2);
    EXPECT_EQ(device->State().BaudRate, 4800u);
    EXPECT_EQ(device->State().ByteSize, 7);
}

} // namespace
