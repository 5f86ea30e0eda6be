#include "LogText.h"

#include "persistence/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace {

// The characters of bytes 0x80 to 0x9F; 0 where the code page leaves the byte undefined.
constexpr char16_t HighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char EncodeChar(char16_t C) {
    if (C < 0x80 || (C >= 0xA0 && C <= 0xFF))
        return char(C);
    for (int i = 0; i < 32; ++i)
        if (HighControls[i] != 0 && HighControls[i] == C)
            return char(0x80 + i);
    return '?';
}

std::string ErrnoText(const QString& What, const QString& FileName, int Error) {
    return (What + " \"" + FileName + "\": " + QString::fromLocal8Bit(std::strerror(Error)))
        .toStdString();
}

} // namespace

QByteArray EncodeWindows1252(const QString& Line) {
    QByteArray bytes;
    bytes.reserve(Line.size());
    for (qsizetype i = 0; i < Line.size(); ++i) {
        const QChar c = Line.at(i);
        // A character outside the basic plane is one character, written as one "?".
        if (c.isHighSurrogate() && i + 1 < Line.size() && Line.at(i + 1).isLowSurrogate())
            ++i;
        bytes.append(c.isSurrogate() ? '?' : EncodeChar(c.unicode()));
    }
    return bytes;
}

QByteArray EncodeLogLines(const QStringList& Lines) {
    QByteArray bytes;
    for (const QString& line : Lines)
        bytes += EncodeWindows1252(line) + "\r\n";
    return bytes;
}

bool SaveLogLines(const QString& FileName, const QStringList& Lines, QString& ErrorText) {
    return TryWriteFileAtomically(FileName, EncodeLogLines(Lines), ErrorText);
}

TLogFileAppender::TLogFileAppender(const QString& FileName) : FFileName(FileName) {
    const QByteArray path = FileName.toLocal8Bit();
    FFd = ::open(path.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (FFd < 0)
        throw std::runtime_error(ErrnoText("Cannot open log file", FileName, errno));
}

TLogFileAppender::~TLogFileAppender() {
    if (FFd >= 0)
        ::close(FFd);
}

void TLogFileAppender::AppendLine(const QString& Line) {
    const QByteArray bytes = EncodeWindows1252(Line) + "\r\n";
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(FFd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw std::runtime_error(
                ErrnoText("Cannot write log file", FFileName, n == 0 ? EIO : errno));
        done += n;
    }
    if (::fdatasync(FFd) != 0 && errno != EINVAL) // EINVAL: a pipe or terminal, nothing to sync
        throw std::runtime_error(ErrnoText("Cannot write log file", FFileName, errno));
}
