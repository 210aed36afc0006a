#include "playlistfile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
bool writeAll(int fd, const char* bytes, size_t size)
{
    while (size > 0) {
        const ssize_t n = write(fd, bytes, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}
} // namespace

bool appendToPlaylist(const QByteArray& playlistPath, const QByteArray& entry)
{
    if (entry.contains('\n') || entry.contains('\0'))
        return false;
    const int fd = open(playlistPath.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    // One write, so the line never lands in two pieces.
    const QByteArray line = entry + '\n';
    const bool ok = writeAll(fd, line.constData(), static_cast<size_t>(line.size()));
    return close(fd) == 0 && ok;
}

bool readPlaylistLines(const QByteArray& playlistPath, QList<QByteArray>* lines)
{
    lines->clear();
    // Non-blocking, so a FIFO in its place cannot hang the window.
    const int fd = open(playlistPath.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {
    };
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return false;
    }
    QByteArray content;
    char buffer[65536];
    bool whole = true;
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            whole = false;
        if (n <= 0)
            break;
        content.append(buffer, n);
    }
    close(fd);
    if (!whole)
        return false;
    if (content.isEmpty())
        return true;
    *lines = content.split('\n');
    if (content.endsWith('\n'))
        lines->removeLast();
    return true;
}

bool rewritePlaylist(const QByteArray& playlistPath, const QList<QByteArray>& lines)
{
    const qsizetype slash = playlistPath.lastIndexOf('/');
    const QByteArray dir = slash >= 0 ? playlistPath.left(slash + 1) : QByteArray();
    const QByteArray name = playlistPath.mid(slash + 1);
    // Hidden, so a temporary file left by a crash never shows as a playlist.
    QByteArray temp = dir + '.' + name + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0)
        return false;
    QByteArray content;
    for (const QByteArray& line : lines) {
        content += line;
        content += '\n';
    }
    struct stat info {
    };
    const mode_t mode = stat(playlistPath.constData(), &info) == 0 ? info.st_mode & 07777 : 0644;
    bool ok = writeAll(fd, content.constData(), static_cast<size_t>(content.size()));
    ok = fchmod(fd, mode) == 0 && ok;
    ok = fsync(fd) == 0 && ok;
    ok = close(fd) == 0 && ok;
    if (!ok || rename(temp.constData(), playlistPath.constData()) != 0) {
        unlink(temp.constData());
        return false;
    }
    // The rename itself lives in the directory: until that is on disk, a
    // power loss could bring the old list back.
    const int dirFd =
        open(dir.isEmpty() ? "." : dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0)
        return false;
    ok = fsync(dirFd) == 0;
    close(dirFd);
    return ok;
}
