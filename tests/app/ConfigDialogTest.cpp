#include "ConfigDialog.h"

#include "comport/platform/FakeComDevice.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Runs Answer on the dialog once it is shown modally.
void WhenShown(std::function<void(TComConfigDialog&)> Answer) {
    QTimer::singleShot(0, [Answer] {
        auto* dialog = qobject_cast<TComConfigDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        Answer(*dialog);
    });
}

QStringList Shown(const TComConfigDialog& Dialog) {
    return {Dialog.BaudRateBox->currentText(), Dialog.DataBitsBox->currentText(),
            Dialog.ParityBox->currentText(), Dialog.StopBitsBox->currentText(),
            Dialog.FlowControlBox->currentText()};
}

class ConfigDialogTest : public ::testing::Test {
protected:
    std::unique_ptr<TFakeComDevice> OwnDevice = std::make_unique<TFakeComDevice>();
    TFakeComDevice& Device = *OwnDevice;
    TComPort Port{std::move(OwnDevice)};
};

} // namespace

TEST_F(ConfigDialogTest, PresetFromThePortsSettings) {
    EXPECT_EQ(Shown(TComConfigDialog(Port)), QStringList({"9600", "8", "None", "1", "None"}));

    Port.SetBaudRate(br19200);
    Port.SetDataBits(db7);
    Port.SetParity(paEven);
    Port.SetStopBits(sb2);
    Port.FlowControl().SetXOnXOff(xcInputOutput);
    EXPECT_EQ(Shown(TComConfigDialog(Port)),
              QStringList({"19200", "7", "Even", "2", "Xon / Xoff"}));

    Port.FlowControl().SetXOnXOff(xcDisable);
    Port.SetOptions({opOutputCTSFlow});
    Port.SetCustomBaudRate(31250);
    EXPECT_EQ(Shown(TComConfigDialog(Port)), QStringList({"31250", "7", "Even", "2", "Hardware"}));
}

TEST_F(ConfigDialogTest, ConfirmingTakesTheValuesAsACustomRate) {
    WhenShown([](TComConfigDialog& dialog) { dialog.accept(); });
    EXPECT_TRUE(ConfigDialog(Port));
    EXPECT_EQ(Port.BaudRate(), brCustom);
    EXPECT_EQ(Port.CustomBaudRate(), 9600);
    EXPECT_EQ(Port.DataBits(), db8);
    EXPECT_EQ(Port.Parity(), paNone);
    EXPECT_EQ(Port.StopBits(), sb1);
    EXPECT_EQ(Port.FlowControl().DTR(), dcEnable);
    EXPECT_EQ(Port.FlowControl().RTS(), rcEnable);
    EXPECT_EQ(Port.FlowControl().XOnXOff(), xcDisable);
}

TEST_F(ConfigDialogTest, CancellingChangesNothing) {
    Port.SetBaudRate(br57600);
    WhenShown([](TComConfigDialog& dialog) {
        dialog.BaudRateBox->setCurrentText("1200");
        dialog.ParityBox->setCurrentIndex(2);
        dialog.reject();
    });
    EXPECT_FALSE(ConfigDialog(Port));
    EXPECT_EQ(Port.BaudRate(), br57600);
    EXPECT_EQ(Port.Parity(), paDefault);
    EXPECT_EQ(Port.FlowControl().DTR(), dcDefault);
}

TEST_F(ConfigDialogTest, AnOpenPortAppliesTheValuesToItsDevice) {
    Port.Open();
    ASSERT_TRUE(Port.Active());
    WhenShown([](TComConfigDialog& dialog) {
        dialog.BaudRateBox->setCurrentText("4800");
        dialog.DataBitsBox->setCurrentText("7");
        dialog.ParityBox->setCurrentText("Odd");
        dialog.StopBitsBox->setCurrentText("2");
        dialog.FlowControlBox->setCurrentIndex(cfHardware);
        dialog.accept();
    });
    ASSERT_TRUE(ConfigDialog(Port));
    const TDeviceControlBlock dcb = Device.State();
    EXPECT_EQ(dcb.BaudRate, 4800u);
    EXPECT_EQ(dcb.ByteSize, 7);
    EXPECT_EQ(dcb.Parity, 1);
    EXPECT_EQ(dcb.StopBits, 2);
    EXPECT_EQ(dcb.Flags & 0x3000u, 0x2000u); // RTS handshake
    EXPECT_EQ(dcb.Flags & 0x4u, 0x4u);       // CTS output flow
    EXPECT_EQ(dcb.Flags & 0x300u, 0u);       // no XON/XOFF
}

TEST_F(ConfigDialogTest, OkNeedsARate) {
    TComConfigDialog dialog(Port);
    QPushButton* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    for (const char* text : {"", "0", "abc", "4000001"}) {
        dialog.BaudRateBox->setEditText(text);
        EXPECT_FALSE(ok->isEnabled()) << text;
        EXPECT_EQ(dialog.BaudRate(), 0) << text;
    }
    dialog.BaudRateBox->setEditText("250000");
    EXPECT_TRUE(ok->isEnabled());
    EXPECT_EQ(dialog.BaudRate(), 250000);
}
