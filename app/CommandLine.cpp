#include "CommandLine.h"

#include "comport/ComDevices.h"
#include "util/InvariantText.h"

namespace {

TCommandLine Rejected(const QString& Why) {
    TCommandLine line;
    line.Mode = TCommandLine::cmError;
    line.Error = Why;
    return line;
}

} // namespace

TCommandLine ParseCommandLine(const QStringList& Arguments) {
    TCommandLine line;
    bool headless = false, listPorts = false, help = false;
    bool portGiven = false, intervalGiven = false, logGiven = false;
    for (qsizetype i = 0; i < Arguments.size(); ++i) {
        QString option = Arguments[i];
        QString value;
        bool hasValue = false;
        if (option.startsWith("--") && option.contains('=')) {
            value = option.mid(option.indexOf('=') + 1);
            option = option.left(option.indexOf('='));
            hasValue = true;
        }
        const bool takesValue = option == "--port" || option == "--interval" || option == "--log";
        if (takesValue && !hasValue) {
            if (i + 1 >= Arguments.size())
                return Rejected(QStringLiteral("%1 needs a value").arg(option));
            value = Arguments[++i];
        } else if (!takesValue && hasValue) {
            return Rejected(QStringLiteral("%1 takes no value").arg(option));
        }
        if (option == "--help" || option == "-h") {
            help = true;
        } else if (option == "--demo") {
            line.Demo = true;
        } else if (option == "--headless") {
            headless = true;
        } else if (option == "--list-ports") {
            listPorts = true;
        } else if (option == "--port") {
            if (value.isEmpty())
                return Rejected(QStringLiteral("--port needs a port name"));
            line.Port = value;
            portGiven = true;
        } else if (option == "--interval") {
            double minutes = 0;
            if (!TryInvariantTextToFloat(QStringView(value), minutes) ||
                !(minutes >= MinIntervalMinutes && minutes <= MaxIntervalMinutes))
                return Rejected(QStringLiteral("--interval must be a number of minutes from "
                                               "0.05 to 60, not \"%1\"")
                                    .arg(value));
            line.IntervalMinutes = minutes;
            intervalGiven = true;
        } else if (option == "--log") {
            if (value.isEmpty())
                return Rejected(QStringLiteral("--log needs a file name"));
            line.LogFile = value;
            logGiven = true;
        } else {
            return Rejected(QStringLiteral("unknown argument \"%1\"").arg(Arguments[i]));
        }
    }
    if (help) {
        line.Mode = TCommandLine::cmHelp;
        return line;
    }
    if (listPorts) {
        if (headless || line.Demo || portGiven || intervalGiven || logGiven)
            return Rejected(QStringLiteral("--list-ports takes no other option"));
        line.Mode = TCommandLine::cmListPorts;
        return line;
    }
    if (!headless) {
        if (portGiven || intervalGiven || logGiven)
            return Rejected(QStringLiteral("--port, --interval and --log need --headless"));
        return line;
    }
    if (portGiven == line.Demo)
        return Rejected(QStringLiteral("--headless needs either --port NAME or --demo"));
    line.Mode = TCommandLine::cmHeadless;
    return line;
}

QString UsageText() {
    return QStringLiteral(
               "Usage:\n"
               "  quenby [--demo]\n"
               "  quenby --headless (--port NAME | --demo) [--interval MINUTES] [--log FILE]\n"
               "  quenby --list-ports\n"
               "  quenby --help\n"
               "\n"
               "Logs the readings of a temperature device on a serial port (19200 baud, 8 data\n"
               "bits, no parity, 1 stop bit): every 8-byte frame that arrives once the interval\n"
               "has passed since the last logged one becomes a line such as\n"
               "2024-03-01 14:05:09; 23.4\u00BAC.\n"
               "\n"
               "Without options the window opens: pick a port, press Open, set the interval in\n"
               "minutes and save the log as a text file. The window needs a display; without\n"
               "one (over ssh, in a container) use --headless.\n"
               "\n"
               "  --demo              start the built-in simulated device (one reading a second)\n"
               "                      and log from it\n"
               "  --headless          log without a window: each line goes to standard output;\n"
               "                      errors go to standard error; SIGINT or SIGTERM closes the\n"
               "                      port and exits with 0; a port that cannot be opened or a\n"
               "                      device that goes away exits with 1\n"
               "  --port NAME         the port to log from: a name of the port list (ttyUSB0)\n"
               "                      or a path (/dev/ttyUSB0)\n"
               "  --interval MINUTES  the minimum time between two logged readings, 0.05 to 60\n"
               "                      (default 0.05), written with a point: 0.5\n"
               "  --log FILE          also append each line to FILE, in Windows-1252 with CR LF\n"
               "                      (as the window saves), on the disk before it is printed\n"
               "  --list-ports        print the port list, one name a line\n"
               "  --help              print this text\n"
               "\n"
               "The environment variable %1 adds ports to the list: names or absolute\n"
               "paths separated by ':'.\n")
        .arg(QString::fromLatin1(ExtraPortsVariable));
}
