// The logger program: the window, the headless logger, the port list and the usage text.

#include "CommandLine.h"
#include "DisplayProbe.h"
#include "FormComPort.h"
#include "HeadlessLogger.h"
#include "SignalWatcher.h"
#include "UserDialogs.h"
#include "comport/ComDevices.h"
#include "tools/SimDevice.h"
#include "tools/TemperatureProfile.h"
#include "util/EventGuard.h"

#include <QApplication>
#include <QCoreApplication>
#include <QPushButton>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

void Print(std::FILE* File, const QString& Text) {
    const QByteArray bytes = Text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), File);
    std::fflush(File);
}

// The simulated device of --demo: one reading a second, swinging slowly around 23.4 degrees.
std::unique_ptr<TSimDevice> StartDemoDevice() {
    TSimDeviceOptions options;
    options.Period = std::chrono::milliseconds(1000);
    options.Profile = std::make_shared<TSineProfile>(23.4, 2.0, 60.0);
    auto device = std::make_unique<TSimDevice>(options);
    device->Start();
    return device;
}

int ListPorts() {
    std::vector<std::string> names;
    EnumComDevicesFromRegistry(names);
    for (const std::string& name : names)
        Print(stdout, QString::fromLocal8Bit(name) + '\n');
    return 0;
}

int RunHeadless(int argc, char** argv, const TCommandLine& Line) {
    QCoreApplication app(argc, argv);
    std::unique_ptr<TSimDevice> demo;
    QString port = Line.Port;
    if (Line.Demo) {
        demo = StartDemoDevice();
        port = QString::fromLocal8Bit(demo->PortName());
        Print(stderr, QStringLiteral("Logging from the simulated device at %1.\n").arg(port));
    }
    TSystemFrameClock clock;
    THeadlessLogger logger({HeadlessDeviceName(port), Line.IntervalMinutes, Line.LogFile}, clock,
                           stdout, stderr, [](int status) { QCoreApplication::exit(status); });
    TSignalWatcher watcher({SIGINT, SIGTERM}, [&logger](int) { logger.Stop(); });
    if (!logger.Start())
        return 1;
    return app.exec();
}

int RunWindow(int argc, char** argv, const TCommandLine& Line) {
    QApplication app(argc, argv);
    std::unique_ptr<TSimDevice> demo;
    QString demoPort;
    if (Line.Demo) {
        demo = StartDemoDevice();
        demoPort = QString::fromLocal8Bit(demo->PortName());
        // The port list takes extra ports from the environment: the device joins it there.
        QByteArray extra = demoPort.toLocal8Bit();
        if (const char* old = std::getenv(ExtraPortsVariable); old && *old)
            extra += ':' + QByteArray(old);
        ::setenv(ExtraPortsVariable, extra.constData(), 1);
    }
    TFormComPort form;
    // What the library's controls stop at a Qt boundary is shown like the window's errors.
    TQtUserDialogs dialogs;
    SetEventExceptionHandler([&](const QString& Message) { dialogs.ShowError(&form, Message); });
    TSignalWatcher watcher({SIGINT, SIGTERM}, [](int) { QApplication::quit(); });
    form.show();
    if (Line.Demo) {
        form.SelectDevice(demoPort);
        QTimer::singleShot(0, form.SpeedButtonOpenClose, &QPushButton::click);
    }
    const int status = app.exec();
    SetEventExceptionHandler({});
    return status;
}

} // namespace

int main(int argc, char** argv) {
    try {
        QStringList arguments;
        for (int i = 1; i < argc; ++i)
            arguments += QString::fromLocal8Bit(argv[i]);
        const TCommandLine line = ParseCommandLine(arguments);
        switch (line.Mode) {
        case TCommandLine::cmHelp:
            Print(stdout, UsageText());
            return 0;
        case TCommandLine::cmError:
            Print(stderr, QStringLiteral("quenby: %1\nTry \"quenby --help\".\n").arg(line.Error));
            return 2;
        case TCommandLine::cmListPorts:
            return ListPorts();
        case TCommandLine::cmHeadless:
            return RunHeadless(argc, argv, line);
        case TCommandLine::cmWindow:
            // Without a display, QApplication would abort in its platform plugin.
            if (!DisplayAvailable()) {
                Print(stderr, QStringLiteral("quenby: no display: use --headless, see --help\n"));
                return 2;
            }
            return RunWindow(argc, argv, line);
        }
    } catch (const std::exception& e) {
        Print(stderr, QStringLiteral("quenby: %1\n").arg(QString::fromLocal8Bit(e.what())));
    }
    return 1;
}
