#include "playlistfile.h"

#include "replacefile.h"
#include "writeall.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    QByteArray content;
    for (const QByteArray& line : lines) {
        content += line;
        content += '\n';
    }
    return replaceFile(playlistPath, content);
}
