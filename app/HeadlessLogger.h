#pragma once
// The logger without a window: the same port settings and frame logic as the window, with
// every accepted line written to standard output and appended to a log file, and errors
// and line errors written to standard error with the texts of the window's message boxes.

#include "FrameAcquisition.h"
#include "FrameClock.h"
#include "LogText.h"
#include "QtComDispatcher.h"
#include "comport/ComPort.h"

#include <QObject>
#include <QString>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

class TVxDoubleVector;

/// What the headless logger logs from.
struct THeadlessOptions {
    /// The port's DeviceName (see HeadlessDeviceName).
    std::string DeviceName;
    /// The minimum time between two accepted frames, in minutes.
    double IntervalMinutes = 0.05;
    /// The file every accepted line is appended to; empty for none.
    QString LogFile;
};

/// The DeviceName that opens a name given on the command line: a listed name, a path, or a
/// name that already carries the "\\.\" prefix.
std::string HeadlessDeviceName(const QString& Name);

class THeadlessLogger final : public QObject {
    Q_OBJECT

public:
    /// A logger that writes to Out and Err and calls Finished once with the exit status when
    /// it has stopped. Device replaces the operating system's serial device (tests).
    THeadlessLogger(THeadlessOptions Options, const TFrameClock& Clock, std::FILE* Out,
                    std::FILE* Err, std::function<void(int)> Finished,
                    std::unique_ptr<TComDevice> Device = nullptr);
    /// Closes the port.
    ~THeadlessLogger() override;

    /// Opens the log file and the port at 19200 8N1; false, with the reason on Err, when
    /// either cannot be opened (for the port: its path and what is wrong, in words).
    bool Start();
    /// Closes the port and finishes with status 0 (a clean stop, e.g. on SIGTERM).
    void Stop();
    /// Lines accepted so far.
    int LinesLogged() const { return FLinesLogged; }

private:
    class TOutputLines;

    void RxChar(TCustomComPort& Port);
    QString PortErrorText(const EComError& E) const;
    void Error(const QString& Text);
    void Finish(int Status);

    THeadlessOptions FOptions;
    std::FILE* FOut;
    std::FILE* FErr;
    std::function<void(int)> FFinished;
    TFrameAcquisition FAcquisition;
    std::unique_ptr<TLogFileAppender> FLogFile;
    std::unique_ptr<TOutputLines> FLines;
    TVxDoubleVector* FTimes;
    TVxDoubleVector* FTemperatures;
    TQtComDispatcher FDispatcher;
    std::unique_ptr<TComPort> FComPort;
    bool FFinishing = false;
    bool FOpening = false;
    int FLinesLogged = 0;
};
