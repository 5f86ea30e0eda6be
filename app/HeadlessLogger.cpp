#include "HeadlessLogger.h"

#include "FormComPort.h"
#include "HandlerGuard.h"
#include "PortErrorText.h"
#include "comport/ComDevices.h"
#include "comport/platform/LinuxComDevice.h"
#include "vectors/DoubleVector.h"

#include <stdexcept>

namespace {

constexpr std::string_view DevicePrefix = "\\\\.\\";

void WriteLine(std::FILE* File, const QString& Line) {
    const QByteArray bytes = (Line + '\n').toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), File);
    std::fflush(File);
}

// A failure of the log file: it ends the logger, since lines could no longer be kept.
class ELogFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace

// Every accepted line goes to the log file (on the disk before it is printed) and to Out.
class THeadlessLogger::TOutputLines final : public TLogLines {
public:
    TOutputLines(std::FILE* Out, TLogFileAppender* LogFile) : FOut(Out), FLogFile(LogFile) {}
    void AppendLine(const QString& Line) override {
        if (FLogFile) {
            try {
                FLogFile->AppendLine(Line);
            } catch (const std::runtime_error& e) {
                throw ELogFileError(e.what());
            }
        }
        WriteLine(FOut, Line);
    }

private:
    std::FILE* FOut;
    TLogFileAppender* FLogFile;
};

std::string HeadlessDeviceName(const QString& Name) {
    const std::string name = Name.toLocal8Bit().toStdString();
    if (name.rfind(DevicePrefix, 0) == 0)
        return name;
    return ListedDeviceName(name);
}

THeadlessLogger::THeadlessLogger(THeadlessOptions Options, const TFrameClock& Clock, std::FILE* Out,
                                 std::FILE* Err, std::function<void(int)> Finished,
                                 std::unique_ptr<TComDevice> Device)
    : FOptions(std::move(Options)), FOut(Out), FErr(Err), FFinished(std::move(Finished)),
      FAcquisition(Clock), FTimes(new TVxDoubleVector(this)),
      FTemperatures(new TVxDoubleVector(this)),
      FDispatcher([this](const QString& Text) { Error(Text); }),
      FComPort(std::make_unique<TComPort>(std::move(Device))) {
    TComPort& port = *FComPort;
    port.SetName("ComPort");
    port.SetDispatcher(&FDispatcher);
    port.Timeouts().SetWriteMultiplier(100);
    port.Timeouts().SetWriteConstant(3000);
    port.SetDeviceName(FOptions.DeviceName);
    port.OnError = [this](TCustomComPort&, const EComError& e, TComAction& action) {
        Error(PortErrorText(e));
        action = caAbort;
    };
    port.OnLineError = [this](TCustomComPort&, TLineErrors errors) {
        for (const TLineError error : errors.Members())
            Error(TFormComPort::LineErrorText(error));
    };
    port.AfterClose = [this](TCustomComPort&) {
        if (FFinishing)
            return;
        Error(QStringLiteral("The port %1 closed: the device is gone.")
                  .arg(QString::fromLocal8Bit(FOptions.DeviceName)));
        Finish(1);
    };
    port.OnRxChar = [this](TCustomComPort& p) { RxChar(p); };
}

THeadlessLogger::~THeadlessLogger() {
    FFinishing = true;
    try {
        FComPort.reset();
    } catch (...) {
        // The port's destructor reports its errors through OnError already.
    }
}

bool THeadlessLogger::Start() {
    try {
        if (!FOptions.LogFile.isEmpty())
            FLogFile = std::make_unique<TLogFileAppender>(FOptions.LogFile);
        FLines = std::make_unique<TOutputLines>(FOut, FLogFile.get());
        TComPort& port = *FComPort;
        port.SetBaudRate(br19200);
        port.SetParity(paNone);
        port.SetStopBits(sb1);
        port.SetDataBits(db8);
        FOpening = true;
        port.SetActive(true);
        FOpening = false;
        if (!port.Active())
            return false;
        port.ClearLineErrors();
        port.ClearInput();
        port.ClearOutput();
        return true;
    } catch (const EComAbort&) {
        // OnError has written the message.
    } catch (const EComError& e) {
        Error(PortErrorText(e));
    } catch (const std::exception& e) {
        Error(QString::fromLocal8Bit(e.what()));
    }
    FOpening = false;
    FFinishing = true;
    try {
        FComPort->Close();
    } catch (...) {
    }
    return false;
}

void THeadlessLogger::Stop() {
    if (FFinishing)
        return;
    FFinishing = true;
    try {
        FComPort->Close();
    } catch (const EComAbort&) {
    } catch (const std::exception& e) {
        Error(QString::fromLocal8Bit(e.what()));
    }
    Finish(0);
}

void THeadlessLogger::RxChar(TCustomComPort& Port) {
    const std::string block = Port.ReadAnsiString();
    const qsizetype before = FTimes->GetCount();
    try {
        FAcquisition.ProcessFrame(QByteArray(block.data(), qsizetype(block.size())),
                                  FOptions.IntervalMinutes, *FLines, *FTimes, *FTemperatures);
    } catch (const ELogFileError& e) {
        Error(QString::fromLocal8Bit(e.what()));
        Finish(1);
        try {
            Port.Close();
        } catch (...) {
            // OnError has written it; the program ends either way.
        }
        return;
    }
    FLinesLogged += int(FTimes->GetCount() - before);
}

QString THeadlessLogger::PortErrorText(const EComError& E) const {
    // A person at a terminal learns which port failed to open and why, in words.
    if (FOpening && E.ErrorCode() != 0)
        return PortOpenErrorText(
            QString::fromLocal8Bit(TLinuxComDevice::DevicePath(FOptions.DeviceName)),
            E.ErrorCode());
    return ComErrorText(E);
}

void THeadlessLogger::Error(const QString& Text) {
    WriteLine(FErr, Text);
}

void THeadlessLogger::Finish(int Status) {
    FFinishing = true;
    if (!FFinished)
        return;
    // Called from inside port handlers too: the caller's stack unwinds before the loop ends.
    auto finished = std::exchange(FFinished, nullptr);
    QMetaObject::invokeMethod(
        this, [finished, Status] { finished(Status); }, Qt::QueuedConnection);
}
