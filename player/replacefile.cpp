#include "replacefile.h"

#include "writeall.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool replaceFile(const QByteArray& path, const QByteArray& content, mode_t mode)
{
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray dir = slash >= 0 ? path.left(slash + 1) : QByteArray();
    // Hidden, so a file left by a crash never shows in a listing.
    QByteArray temp = dir + '.' + path.mid(slash + 1) + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0)
        return false;
    struct stat info {
    };
    if (stat(path.constData(), &info) == 0)
        mode = info.st_mode & 07777;
    bool ok = writeAll(fd, content.constData(), static_cast<size_t>(content.size()));
    ok = fchmod(fd, mode) == 0 && ok;
    ok = fsync(fd) == 0 && ok;
    ok = close(fd) == 0 && ok;
    if (!ok || rename(temp.constData(), path.constData()) != 0) {
        unlink(temp.constData());
        return false;
    }
    // The rename itself lives in the directory: until that is on disk, a
    // power cut could bring the old file back.
    const int dirFd =
        open(dir.isEmpty() ? "." : dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0)
        return false;
    ok = fsync(dirFd) == 0;
    close(dirFd);
    return ok;
}
