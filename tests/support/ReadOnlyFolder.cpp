#include "support/ReadOnlyFolder.h"

#include <QFile>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

bool SetImmutable(const QString &path, bool on)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
}

} // namespace

TReadOnlyFolder::TReadOnlyFolder(const QString &path) : FPath(path)
{
    const QByteArray name = QFile::encodeName(path);
    if (::geteuid() == 0) {
        FImmutable = SetImmutable(path, true);
        FMade = FImmutable;
        return;
    }
    struct stat st{};
    if (::stat(name.constData(), &st) != 0)
        return;
    FSavedMode = st.st_mode & 07777;
    FMade = ::chmod(name.constData(), 0555) == 0;
}

TReadOnlyFolder::~TReadOnlyFolder()
{
    if (FImmutable)
        SetImmutable(FPath, false);
    else if (FMade)
        ::chmod(QFile::encodeName(FPath).constData(), FSavedMode);
}
