#include "ConfigDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QIntValidator>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int StandardRates[] = {50,    75,    110,   150,   300,    600,    1200,  1800,  2000,
                                 2400,  3600,  4800,  7200,  9600,   10400,  14400, 15625, 19200,
                                 28800, 38400, 56000, 57600, 115200, 128000, 256000};
constexpr std::int32_t UsualRate = 9600;
constexpr std::int32_t HighestRate = 4000000;

QComboBox* NewList(QWidget* Parent, const char* Name, const QStringList& Items, int Current) {
    auto* box = new QComboBox(Parent);
    box->setObjectName(QString::fromLatin1(Name));
    box->addItems(Items);
    box->setCurrentIndex(Current);
    return box;
}

TConfigFlowControl FlowControlOf(TCustomComPort& Port) {
    const TXOnXOffControl x = Port.FlowControl().XOnXOff();
    if (x == xcInput || x == xcOutput || x == xcInputOutput)
        return cfXOnXOff;
    if (Port.Options().Contains(opOutputCTSFlow) || Port.FlowControl().RTS() == rcHandshake)
        return cfHardware;
    return cfNone;
}

} // namespace

TComConfigDialog::TComConfigDialog(TCustomComPort& Port, QWidget* Parent) : QDialog(Parent) {
    setObjectName(QStringLiteral("ComConfigDialog"));
    setWindowTitle(QStringLiteral("%1 Properties").arg(QString::fromLocal8Bit(Port.DeviceName())));

    BaudRateBox = new QComboBox(this);
    BaudRateBox->setObjectName(QStringLiteral("BaudRateBox"));
    BaudRateBox->setEditable(true);
    for (const int rate : StandardRates)
        BaudRateBox->addItem(QString::number(rate));
    BaudRateBox->setValidator(new QIntValidator(1, HighestRate, BaudRateBox));
    const std::int32_t rate = Port.CustomBaudRate() > 0 ? Port.CustomBaudRate() : UsualRate;
    BaudRateBox->setCurrentText(QString::number(rate));

    // Each list shows its members in enumeration order, the Default member left out.
    DataBitsBox = NewList(this, "DataBitsBox", {"4", "5", "6", "7", "8"},
                          Port.DataBits() == dbDefault ? db8 - db4 : Port.DataBits() - db4);
    ParityBox = NewList(this, "ParityBox", {"None", "Odd", "Even", "Mark", "Space"},
                        Port.Parity() == paDefault ? 0 : Port.Parity() - paNone);
    StopBitsBox = NewList(this, "StopBitsBox", {"1", "1.5", "2"},
                          Port.StopBits() == sbDefault ? 0 : Port.StopBits() - sb1);
    FlowControlBox =
        NewList(this, "FlowControlBox", {"None", "Xon / Xoff", "Hardware"}, FlowControlOf(Port));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Bits per second:"), BaudRateBox);
    form->addRow(QStringLiteral("&Data bits:"), DataBitsBox);
    form->addRow(QStringLiteral("&Parity:"), ParityBox);
    form->addRow(QStringLiteral("&Stop bits:"), StopBitsBox);
    form->addRow(QStringLiteral("&Flow control:"), FlowControlBox);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    // OK only with a rate the line can take.
    connect(BaudRateBox, &QComboBox::currentTextChanged, this, [this] { UpdateOkButton(); });
    UpdateOkButton();
}

std::int32_t TComConfigDialog::BaudRate() const {
    bool ok = false;
    const int rate = BaudRateBox->currentText().toInt(&ok);
    return ok && rate > 0 && rate <= HighestRate ? rate : 0;
}

void TComConfigDialog::UpdateOkButton() {
    if (auto* buttons = findChild<QDialogButtonBox*>())
        buttons->button(QDialogButtonBox::Ok)->setEnabled(BaudRate() > 0);
}

void TComConfigDialog::ApplyTo(TCustomComPort& Port) const {
    // The rate becomes a custom rate, as a control block read back gives it.
    if (const std::int32_t rate = BaudRate())
        Port.SetCustomBaudRate(rate);
    Port.SetDataBits(TDataBits(db4 + DataBitsBox->currentIndex()));
    Port.SetParity(TParity(paNone + ParityBox->currentIndex()));
    Port.SetStopBits(TStopBits(sb1 + StopBitsBox->currentIndex()));
    const auto flow = TConfigFlowControl(FlowControlBox->currentIndex());
    TOptions options = Port.Options();
    if (flow == cfHardware)
        options.Include(opOutputCTSFlow);
    else
        options.Exclude(opOutputCTSFlow);
    Port.SetOptions(options);
    Port.FlowControl().SetDTR(dcEnable);
    Port.FlowControl().SetRTS(flow == cfHardware ? rcHandshake : rcEnable);
    Port.FlowControl().SetXOnXOff(flow == cfXOnXOff ? xcInputOutput : xcDisable);
}

bool ConfigDialog(TCustomComPort& Port, QWidget* Parent) {
    TComConfigDialog dialog(Port, Parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    dialog.ApplyTo(Port);
    return true;
}
