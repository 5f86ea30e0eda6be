#pragma once
// The port configuration dialog: baud rate, data bits, parity, stop bits and flow control of
// a port's device control block, preset from the port's settings and taken into them on OK
// (an open port applies them at once). There is no system-wide default configuration of a
// port on Linux, so there is no dialog for one.

#include "comport/ComPort.h"

#include <QDialog>

class QComboBox;

/// The flow control choices of the dialog.
enum TConfigFlowControl : int {
    cfNone,    ///< no flow control: DTR and RTS on
    cfXOnXOff, ///< XON/XOFF in both directions: DTR and RTS on
    cfHardware ///< RTS/CTS handshake: DTR on
};

/// The dialog's controls; ConfigDialog runs it.
class TComConfigDialog final : public QDialog {
    Q_OBJECT

public:
    /// A dialog preset from Port's settings; a setting at its Default member shows the
    /// usual configuration of a port (9600 baud, 8 data bits, no parity, 1 stop bit).
    explicit TComConfigDialog(TCustomComPort& Port, QWidget* Parent = nullptr);

    /// Takes the shown values into Port's settings through their setters.
    void ApplyTo(TCustomComPort& Port) const;
    /// The baud rate shown, 0 when the text is not a rate.
    std::int32_t BaudRate() const;

    QComboBox* BaudRateBox = nullptr;    ///< bits per second, a list entry or typed
    QComboBox* DataBitsBox = nullptr;    ///< 4 to 8
    QComboBox* ParityBox = nullptr;      ///< None, Odd, Even, Mark, Space
    QComboBox* StopBitsBox = nullptr;    ///< 1, 1.5, 2
    QComboBox* FlowControlBox = nullptr; ///< TConfigFlowControl order

private:
    void UpdateOkButton();
};

/// Shows the configuration dialog for Port; true when the user confirmed, and then the
/// settings hold the dialog's values (applied to the device when the port is open).
bool ConfigDialog(TCustomComPort& Port, QWidget* Parent = nullptr);
