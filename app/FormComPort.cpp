#include "FormComPort.h"

#include "HandlerGuard.h"
#include "LogText.h"
#include "LogView.h"
#include "comport/ComDevices.h"
#include "graph/Graph.h"
#include "util/DoubleEdit.h"
#include "vectors/DoubleVector.h"

#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <string>
#include <vector>

namespace {

// Design places that follow the window's size (the others keep theirs).
constexpr QRect MemoDesign{135, 8, 550, 249};
constexpr QRect ChartDesign{8, 272, 677, 199};

QFont DesignFont(const QString& Family, int PixelHeight) {
    QFont font(Family);
    font.setPixelSize(PixelHeight);
    return font;
}

QGroupBox* NewGroupBox(QWidget* Parent, const char* Name, const char* Caption, QRect Place) {
    auto* box = new QGroupBox(QString::fromUtf8(Caption), Parent);
    box->setObjectName(QString::fromLatin1(Name));
    box->setGeometry(Place);
    return box;
}

QPushButton* NewButton(QWidget* Parent, const char* Name, const char* Caption, QRect Place) {
    auto* button = new QPushButton(QString::fromUtf8(Caption), Parent);
    button->setObjectName(QString::fromLatin1(Name));
    button->setGeometry(Place);
    return button;
}

TVxDoubleVector* NewVector(QObject* Owner, const char* Name) {
    auto* vector = new TVxDoubleVector(Owner);
    vector->setObjectName(QString::fromLatin1(Name));
    vector->SetPersistentValues(false);
    vector->SetCapacity(128);
    vector->SetIncrement(128);
    return vector;
}

} // namespace

TFormComPort::TFormComPort(TFormComPortServices Services, QWidget* Parent)
    : QWidget(Parent), ComPort(std::make_unique<TComPort>(std::move(Services.Device))),
      FOwnDialogs(Services.Dialogs ? nullptr : std::make_unique<TQtUserDialogs>()),
      FDialogs(Services.Dialogs ? Services.Dialogs : FOwnDialogs.get()),
      FEnumPorts(Services.EnumPorts ? std::move(Services.EnumPorts)
                                    : std::function(EnumComDevicesFromRegistry)),
      FAcquisition(Services.Clock ? *Services.Clock : FSystemClock) {
    setObjectName(QStringLiteral("FormComPort"));
    setWindowTitle(QStringLiteral("Quenby"));
    setFont(DesignFont(QStringLiteral("MS Sans Serif"), 11));
    resize(DesignClientSize);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    CreateControls();
    if (!Services.Dispatcher) {
        FOwnDispatcher = std::make_unique<TQtComDispatcher>(
            [this](const QString& Text) { FDialogs->ShowError(this, Text); });
        Services.Dispatcher = FOwnDispatcher.get();
    }
    ComPort->SetDispatcher(Services.Dispatcher);
    BindPort();
    Guarded([this] { FormCreate(); });
}

TFormComPort::~TFormComPort() {
    // The port's AfterClose touches the controls, which QWidget deletes after this body.
    try {
        ComPort->Close();
    } catch (...) {
        // OnError has shown it; the port is closed either way.
    }
    ComPort.reset();
}

void TFormComPort::CreateControls() {
    Memo = new TLogView(this);
    Memo->setObjectName(QStringLiteral("Memo"));
    Memo->setGeometry(MemoDesign);
    Memo->setEnabled(false);
    Memo->setFont(DesignFont(QStringLiteral("Courier New"), 19));
    FMemoLines = std::make_unique<TMemoLines>(*Memo);

    GroupBox1 = NewGroupBox(this, "GroupBox1", "Select COM port", {8, 8, 121, 105});
    ComboBoxDeviceName = new QComboBox(GroupBox1);
    ComboBoxDeviceName->setObjectName(QStringLiteral("ComboBoxDeviceName"));
    ComboBoxDeviceName->setEditable(false);
    ComboBoxDeviceName->setGeometry(16, 24, 81, 21);
    SpeedButtonOpenClose = NewButton(GroupBox1, "SpeedButtonOpenClose", "Open", {16, 60, 81, 25});

    GroupBox2 = NewGroupBox(this, "GroupBox2", "Data frequency, min", {8, 119, 121, 66});
    VxDoubleEditDataFrequency = new TVxDoubleEdit(GroupBox2);
    VxDoubleEditDataFrequency->setObjectName(QStringLiteral("VxDoubleEditDataFrequency"));
    VxDoubleEditDataFrequency->setGeometry(16, 24, 81, 21);
    VxDoubleEditDataFrequency->SetMinValue(0.05);
    VxDoubleEditDataFrequency->SetMaxValue(60.0);
    VxDoubleEditDataFrequency->SetValue(0.05);
    VxDoubleEditDataFrequency->SetDoHashes(true);
    VxDoubleEditDataFrequency->SetAsDateTime(false);
    VxDoubleEditDataFrequency->SetAsTimeSpan(false);

    GroupBox3 = NewGroupBox(this, "GroupBox3", "Save", {8, 191, 121, 66});
    ButtonSave = NewButton(GroupBox3, "ButtonSave", "Save", {16, 24, 81, 25});

    VxDoubleVector1 = NewVector(this, "VxDoubleVector1");
    VxDoubleVector2 = NewVector(this, "VxDoubleVector2");
    Chart = ComposeLoggerChart(*this, ChartDesign, *VxDoubleVector1, *VxDoubleVector2);

    connect(ComboBoxDeviceName, &QComboBox::currentIndexChanged, this,
            [this] { Guarded([this] { ComboBoxDeviceNameChange(); }); });
    connect(SpeedButtonOpenClose, &QPushButton::clicked, this,
            [this] { Guarded([this] { SpeedButtonOpenCloseClick(); }); });
    connect(ButtonSave, &QPushButton::clicked, this,
            [this] { Guarded([this] { ButtonSaveClick(); }); });
}

void TFormComPort::BindPort() {
    TComPort& port = *ComPort;
    port.SetName("ComPort");
    port.SetDeviceName("COM2");
    port.SetOptions({});
    port.Timeouts().SetWriteMultiplier(100);
    port.Timeouts().SetWriteConstant(3000);
    port.AfterOpen = [this](TCustomComPort& p) { ComPortAfterOpen(p); };
    port.AfterClose = [this](TCustomComPort& p) { ComPortAfterClose(p); };
    port.OnError = [this](TCustomComPort& p, const EComError& e, TComAction& a) {
        ComPortError(p, e, a);
    };
    port.OnLineError = [this](TCustomComPort& p, TLineErrors e) { ComPortLineError(p, e); };
    port.OnRxChar = [this](TCustomComPort& p) { ComPortRxChar(p); };
}

template <class THandler> void TFormComPort::Guarded(THandler&& Handler) {
    RunGuarded(*FDialogs, this, std::forward<THandler>(Handler));
}

void TFormComPort::FormCreate() {
    std::vector<std::string> names;
    FEnumPorts(names);
    QStringList items;
    for (const std::string& name : names)
        items += QString::fromLocal8Bit(name);
    // The list is sorted alphabetically, as a person reads it: case does not matter.
    std::stable_sort(items.begin(), items.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    const QSignalBlocker blocker(ComboBoxDeviceName);
    ComboBoxDeviceName->clear();
    ComboBoxDeviceName->addItems(items);
    ComboBoxDeviceName->setCurrentIndex(items.isEmpty() ? -1 : 0);
    ComboBoxDeviceNameChange();
}

void TFormComPort::ComboBoxDeviceNameChange() {
    ComPort->SetDeviceName(ListedDeviceName(ComboBoxDeviceName->currentText().toStdString()));
}

void TFormComPort::SelectDevice(const QString& Name) {
    int index = ComboBoxDeviceName->findText(Name);
    if (index < 0) {
        ComboBoxDeviceName->addItem(Name);
        index = ComboBoxDeviceName->count() - 1;
    }
    const QSignalBlocker blocker(ComboBoxDeviceName);
    ComboBoxDeviceName->setCurrentIndex(index);
    ComboBoxDeviceNameChange();
}

void TFormComPort::SpeedButtonOpenCloseClick() {
    TComPort& port = *ComPort;
    port.SetBaudRate(br19200);
    port.SetParity(paNone);
    port.SetStopBits(sb1);
    port.SetDataBits(db8);
    port.SetActive(!port.Active());
    if (port.Active()) {
        port.ClearLineErrors();
        port.ClearInput();
        port.ClearOutput();
    }
}

void TFormComPort::ComPortAfterOpen(TCustomComPort&) {
    UpdateControlStates();
}

void TFormComPort::ComPortAfterClose(TCustomComPort&) {
    UpdateControlStates();
}

void TFormComPort::UpdateControlStates() {
    if (!isVisible() || !ComPort)
        return;
    const bool active = ComPort->Active();
    SpeedButtonOpenClose->setText(active ? QStringLiteral("Close") : QStringLiteral("Open"));
    Memo->setEnabled(active);
    if (active)
        Memo->setFocus();
    ComboBoxDeviceName->setEnabled(!active);
}

void TFormComPort::ComPortRxChar(TCustomComPort& Port) {
    const std::string block = Port.ReadAnsiString();
    FAcquisition.ProcessFrame(QByteArray(block.data(), qsizetype(block.size())), DataFrequency(),
                              *FMemoLines, *VxDoubleVector1, *VxDoubleVector2);
}

void TFormComPort::ComPortError(TCustomComPort&, const EComError& E, TComAction& Action) {
    FDialogs->ShowError(this, ComErrorText(E));
    Action = caAbort;
}

QString TFormComPort::LineErrorText(TLineError Error) {
    switch (Error) {
    case leBreak:
        return QStringLiteral("Break detected");
    case leDeviceNotSelected:
        return QStringLiteral("Device not selected");
    case leFrame:
        return QStringLiteral("Frame error");
    case leIO:
        return QStringLiteral("IO error");
    case leMode:
        return QStringLiteral("Mode error");
    case leOutOfPaper:
        return QStringLiteral("Out of paper");
    case leOverrun:
        return QStringLiteral("Overrun error");
    case leDeviceTimeOut:
        return QStringLiteral("Device timeout");
    case leRxOverflow:
        return QStringLiteral("Receiver overflow");
    case leParity:
        return QStringLiteral("Parity error");
    case leTxFull:
        return QStringLiteral("Transmitter full");
    }
    return QString();
}

void TFormComPort::ComPortLineError(TCustomComPort&, TLineErrors LineErrors) {
    for (const TLineError error : LineErrors.Members())
        FDialogs->ShowError(this, LineErrorText(error));
}

void TFormComPort::ButtonSaveClick() {
    const std::optional<QString> fileName = FDialogs->AskSaveFileName(this);
    if (!fileName)
        return;
    QString reason;
    if (!Memo->SaveLines(*fileName, reason))
        FDialogs->ShowError(this, QStringLiteral("Cannot save \"%1\": %2").arg(*fileName, reason));
}

double TFormComPort::DataFrequency() const {
    return VxDoubleEditDataFrequency->Value();
}

void TFormComPort::resizeEvent(QResizeEvent* Event) {
    QWidget::resizeEvent(Event);
    PlaceAnchored();
}

void TFormComPort::PlaceAnchored() {
    // Memo: left, top and right anchors; the chart: all four.
    const int dw = width() - DesignClientSize.width();
    const int dh = height() - DesignClientSize.height();
    Memo->setGeometry(MemoDesign.x(), MemoDesign.y(), std::max(0, MemoDesign.width() + dw),
                      MemoDesign.height());
    Chart.VxGraph2D1->setGeometry(ChartDesign.x(), ChartDesign.y(),
                                  std::max(0, ChartDesign.width() + dw),
                                  std::max(0, ChartDesign.height() + dh));
}
