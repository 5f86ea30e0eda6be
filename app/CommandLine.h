#pragma once
// The logger's command line.

#include <QString>
#include <QStringList>

/// What the program was asked to do.
struct TCommandLine {
    /// The program's modes.
    enum TMode {
        cmWindow,    ///< open the window
        cmHeadless,  ///< log without a window
        cmListPorts, ///< print the port list
        cmHelp,      ///< print the usage text
        cmError      ///< the arguments were wrong; see Error
    };
    TMode Mode = cmWindow;
    /// Start the built-in simulated device and use it.
    bool Demo = false;
    /// The port to log from (headless).
    QString Port;
    /// The minimum time between two logged readings, in minutes (headless).
    double IntervalMinutes = 0.05;
    /// The file to append the log to (headless); empty for none.
    QString LogFile;
    /// Why the arguments were rejected (cmError).
    QString Error;
};

/// The smallest and largest interval, as the window's interval field allows.
inline constexpr double MinIntervalMinutes = 0.05;
inline constexpr double MaxIntervalMinutes = 60.0;

/// Reads the arguments after the program name.
TCommandLine ParseCommandLine(const QStringList& Arguments);
/// The text --help prints.
QString UsageText();
