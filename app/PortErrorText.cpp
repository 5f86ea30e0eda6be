#include "PortErrorText.h"

#include "comport/ComError.h"

#include <cerrno>

QString PortOpenErrorText(const QString& Path, int ErrorCode) {
    switch (ErrorCode) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    // A serial port the kernel registered for hardware that is not there opens with EIO.
    case EIO:
        return QStringLiteral("cannot open %1: no such device").arg(Path);
    // A file, a directory or a device that is no terminal.
    case ENOTTY:
    case EISDIR:
        return QStringLiteral("%1 is not a serial port").arg(Path);
    // Another program holds the port's exclusive lock or has set it exclusive.
    case EBUSY:
#if EWOULDBLOCK != EBUSY
    case EWOULDBLOCK:
#endif
        return QStringLiteral("%1 is in use by another program").arg(Path);
    case EACCES:
    case EPERM:
        return QStringLiteral(
                   "cannot open %1: permission denied: add yourself to the dialout group")
            .arg(Path);
    default:
        return QStringLiteral("cannot open %1: %2")
            .arg(Path, QString::fromLocal8Bit(SystemErrorMessage(ErrorCode)));
    }
}
