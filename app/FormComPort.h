#pragma once
// The logger's main window: the port chooser with its Open/Close button, the interval
// field, the memo that shows the log, Save, and the chart of the readings below them. It
// owns the serial port, the two vectors and the chart, and feeds every received block to the
// frame logic.

#include "FrameAcquisition.h"
#include "FrameClock.h"
#include "LoggerChart.h"
#include "MemoLog.h"
#include "QtComDispatcher.h"
#include "UserDialogs.h"
#include "comport/ComPort.h"

#include <QSize>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QComboBox;
class QGroupBox;
class TLogView;
class QPushButton;
class TVxDoubleEdit;
class TVxDoubleVector;

/// What a TFormComPort talks to besides its own widgets; tests replace each of them.
struct TFormComPortServices {
    /// Message boxes and the save dialog; nullptr for the UI toolkit's.
    TUserDialogs* Dialogs = nullptr;
    /// The clocks of the frame logic; nullptr for the machine's.
    const TFrameClock* Clock = nullptr;
    /// The port's device; nullptr for the operating system's serial device.
    std::unique_ptr<TComDevice> Device;
    /// Appends the ports of the port list; empty for EnumComDevicesFromRegistry.
    std::function<void(std::vector<std::string>&)> EnumPorts;
    /// Runs the port's events on this thread; nullptr for the window's own dispatcher.
    TComDispatcher* Dispatcher = nullptr;
};

class TFormComPort : public QWidget {
    Q_OBJECT

public:
    /// The client size the controls were placed for.
    static constexpr QSize DesignClientSize{694, 476};

    /// Creates every control from its design values and runs FormCreate.
    explicit TFormComPort(TFormComPortServices Services = {}, QWidget* Parent = nullptr);
    /// Closes the port (through AfterClose) while the controls still exist.
    ~TFormComPort() override;

    // ---- Handlers ----
    /// Fills the port list from the system's ports, selects the first and names the port.
    void FormCreate();
    /// Names the port after the selected list entry.
    void ComboBoxDeviceNameChange();
    /// Sets 19200 8N1 and opens or closes the port; after an open clears errors and queues.
    void SpeedButtonOpenCloseClick();
    /// The port opened.
    void ComPortAfterOpen(TCustomComPort& Port);
    /// The port closed (also when the device went away).
    void ComPortAfterClose(TCustomComPort& Port);
    /// Shows the open or closed state; nothing while the window is hidden.
    void UpdateControlStates();
    /// Reads every waiting byte and passes the block to the frame logic.
    void ComPortRxChar(TCustomComPort& Port);
    /// Shows the port's error once and turns it into the silent abort.
    void ComPortError(TCustomComPort& Port, const EComError& E, TComAction& Action);
    /// Shows one message box per line error, in TLineError order.
    void ComPortLineError(TCustomComPort& Port, TLineErrors LineErrors);
    /// Asks for a file name and writes the memo's lines there.
    void ButtonSaveClick();

    /// Selects Name in the port list (adding it when missing) and names the port after it.
    void SelectDevice(const QString& Name);
    /// The interval of the frame logic in minutes.
    double DataFrequency() const;
    /// The message text of a line error.
    static QString LineErrorText(TLineError Error);

    // ---- Components ----
    TLogView* Memo = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QComboBox* ComboBoxDeviceName = nullptr;
    QPushButton* SpeedButtonOpenClose = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    TVxDoubleEdit* VxDoubleEditDataFrequency = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    QPushButton* ButtonSave = nullptr;
    /// The chart of the readings: graph, axes, point series and undo stack.
    TLoggerChart Chart;
    TVxDoubleVector* VxDoubleVector1 = nullptr; ///< times of the accepted frames
    TVxDoubleVector* VxDoubleVector2 = nullptr; ///< temperatures of the accepted frames
    std::unique_ptr<TComPort> ComPort;

protected:
    void resizeEvent(QResizeEvent* Event) override;

private:
    void CreateControls();
    void BindPort();
    void PlaceAnchored();
    template <class THandler> void Guarded(THandler&& Handler);

    std::unique_ptr<TQtUserDialogs> FOwnDialogs;
    TUserDialogs* FDialogs;
    std::function<void(std::vector<std::string>&)> FEnumPorts;
    std::unique_ptr<TQtComDispatcher> FOwnDispatcher;
    TSystemFrameClock FSystemClock;
    TFrameAcquisition FAcquisition;
    std::unique_ptr<TMemoLines> FMemoLines;
};
