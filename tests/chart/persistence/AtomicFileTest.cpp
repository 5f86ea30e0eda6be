#include "persistence/AtomicFile.h"

#include "util/Exceptions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

// The two forms of the atomic write: contents whole, and contents handed over in pieces.
enum class TForm { Whole, Pieces };
constexpr TForm Forms[] = {TForm::Whole, TForm::Pieces};

const char* NameOf(TForm Form) {
    return Form == TForm::Whole ? "whole" : "pieces";
}

void Write(TForm Form, const QString& FileName, const QByteArray& Contents) {
    if (Form == TForm::Whole) {
        WriteFileAtomically(FileName, Contents);
        return;
    }
    WriteFileAtomically(FileName, [&](const TVxByteSink& Sink) {
        for (qsizetype at = 0; at < Contents.size(); at += 100)
            Sink(Contents.constData() + at, std::min<qsizetype>(100, Contents.size() - at));
    });
}

// The message of the EVxStreamError that Action raises, or "no error".
template <class F> QString ErrorOf(F Action) {
    try {
        Action();
    } catch (const EVxStreamError& e) {
        return e.Message();
    }
    return "no error";
}

struct stat StatusOf(const QString& Path, bool FollowLinks = true) {
    struct stat status {};
    const QByteArray path = QFile::encodeName(Path);
    EXPECT_EQ(FollowLinks ? ::stat(path.constData(), &status) : ::lstat(path.constData(), &status),
              0)
        << Path.toStdString();
    return status;
}

QByteArray Contents(char Seed) {
    QByteArray bytes;
    for (int k = 0; k < 1000; ++k)
        bytes.append(char(Seed + k % 50));
    return bytes;
}

// A named pipe in a folder of its own with its reading end open (without blocking), so
// that a write into it completes at once; ReadAll takes what was written.
class TPipe {
public:
    TPipe() : FPath(FDir.filePath("pipe")) {
        FOk = ::mkfifo(QFile::encodeName(FPath).constData(), 0600) == 0;
        if (FOk)
            FReader = ::open(QFile::encodeName(FPath).constData(), O_RDONLY | O_NONBLOCK);
        FOk = FOk && FReader >= 0;
    }
    ~TPipe() {
        if (FReader >= 0)
            ::close(FReader);
    }
    TPipe(const TPipe&) = delete;
    TPipe& operator=(const TPipe&) = delete;

    bool Ok() const { return FOk; }
    const QString& Path() const { return FPath; }
    QString Folder() const { return FDir.path(); }

    QByteArray ReadAll() {
        QByteArray bytes;
        char block[4096];
        ssize_t n;
        while ((n = ::read(FReader, block, sizeof block)) > 0)
            bytes.append(block, n);
        return bytes;
    }

private:
    QTemporaryDir FDir;
    QString FPath;
    int FReader = -1;
    bool FOk = false;
};

} // namespace

TEST(AtomicFileTest, ARegularFileOrTheFileALinkNamesIsReplacedWhole) {
    for (const TForm form : Forms) {
        QTemporaryDir dir;
        const QString file = dir.filePath("data.bin"), link = dir.filePath("link.bin");
        Write(form, file, Contents('a'));
        EXPECT_EQ(ReadWholeFile(file), Contents('a')) << NameOf(form);
        ASSERT_TRUE(QFile::link(file, link));
        Write(form, link, Contents('b'));
        EXPECT_TRUE(S_ISLNK(StatusOf(link, false).st_mode)) << NameOf(form);
        EXPECT_EQ(ReadWholeFile(file), Contents('b')) << NameOf(form);
        // No temporary file is left beside them.
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::System | QDir::Files | QDir::Hidden),
                  (QStringList{"data.bin", "link.bin"}))
            << NameOf(form);
    }
}

TEST(AtomicFileTest, APipeInTheFilesPlaceIsWrittenIntoAndStaysAPipe) {
    for (const TForm form : Forms) {
        TPipe pipe;
        ASSERT_TRUE(pipe.Ok()) << std::strerror(errno);
        Write(form, pipe.Path(), Contents('c'));
        EXPECT_TRUE(S_ISFIFO(StatusOf(pipe.Path(), false).st_mode)) << NameOf(form);
        EXPECT_EQ(pipe.ReadAll(), Contents('c')) << NameOf(form);
        // The same through a link to the pipe: the link and the pipe stay.
        const QString link = pipe.Folder() + "/link";
        ASSERT_TRUE(QFile::link(pipe.Path(), link));
        Write(form, link, Contents('d'));
        EXPECT_TRUE(S_ISLNK(StatusOf(link, false).st_mode)) << NameOf(form);
        EXPECT_TRUE(S_ISFIFO(StatusOf(pipe.Path(), false).st_mode)) << NameOf(form);
        EXPECT_EQ(pipe.ReadAll(), Contents('d')) << NameOf(form);
    }
}

TEST(AtomicFileTest, FailedWritesRaiseAndReplaceNothing) {
    // Only once a pipe of our own was written in place (not replaced) is a device tried.
    {
        TPipe probe;
        ASSERT_TRUE(probe.Ok());
        ASSERT_NO_THROW(WriteFileAtomically(probe.Path(), QByteArray("probe")));
        ASSERT_TRUE(S_ISFIFO(StatusOf(probe.Path(), false).st_mode));
    }
    const struct stat fullBefore = StatusOf("/dev/full", false);
    ASSERT_TRUE(S_ISCHR(fullBefore.st_mode));

    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    const QString linkToFull = dir.filePath("full");
    ASSERT_TRUE(QFile::link("/dev/full", linkToFull));
    const QString targets[] = {dir.filePath("folder"), dir.filePath("missing/data.bin"),
                               "/dev/full", linkToFull};
    for (const TForm form : Forms) {
        for (const QString& target : targets) {
            const QString error = ErrorOf([&] { Write(form, target, Contents('e')); });
            EXPECT_TRUE(error.startsWith("Cannot write " + target + ": "))
                << NameOf(form) << " " << target.toStdString() << ": " << error.toStdString();
            QString reason;
            EXPECT_FALSE(TryWriteFileAtomically(target, Contents('e'), reason));
            EXPECT_FALSE(reason.isEmpty());
        }
        // A full device fails with "no space left"; it is still the same device.
        const QString error = ErrorOf([&] { Write(form, "/dev/full", Contents('e')); });
        EXPECT_TRUE(error.endsWith(QString::fromLocal8Bit(std::strerror(ENOSPC))))
            << error.toStdString();
        const struct stat full = StatusOf("/dev/full", false);
        EXPECT_TRUE(S_ISCHR(full.st_mode));
        EXPECT_EQ(full.st_rdev, fullBefore.st_rdev);
        EXPECT_EQ(full.st_ino, fullBefore.st_ino);
        EXPECT_TRUE(S_ISLNK(StatusOf(linkToFull, false).st_mode));
        EXPECT_TRUE(QFileInfo(dir.filePath("folder")).isDir());
    }
    EXPECT_EQ(QDir(dir.path())
                  .entryList(QDir::System | QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{"folder", "full"}));
}
