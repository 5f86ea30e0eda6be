#include "PortErrorText.h"

#include <cerrno>
#include <gtest/gtest.h>

TEST(PortErrorTextTest, SaysInWordsWhatIsWrongWithThePort) {
    const QString path = QStringLiteral("/dev/ttyS0");
    const QString missing = QStringLiteral("cannot open /dev/ttyS0: no such device");
    const QString notSerial = QStringLiteral("/dev/ttyS0 is not a serial port");
    const QString inUse = QStringLiteral("/dev/ttyS0 is in use by another program");
    const QString denied = QStringLiteral(
        "cannot open /dev/ttyS0: permission denied: add yourself to the dialout group");
    const std::pair<int, QString> cases[] = {
        {ENOENT, missing},
        {ENODEV, missing},
        {ENXIO, missing},
        {EIO, missing},
        {ENOTTY, notSerial},
        {EISDIR, notSerial},
        {EBUSY, inUse},
        {EWOULDBLOCK, inUse},
        {EACCES, denied},
        {EPERM, denied},
        // Anything else: the system's message (this test runs in the C locale).
        {EINVAL, QStringLiteral("cannot open /dev/ttyS0: Invalid argument")},
    };
    for (const auto& [code, text] : cases)
        EXPECT_EQ(PortOpenErrorText(path, code), text) << "errno " << code;
}
