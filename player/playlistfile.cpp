#include "playlistfile.h"

#include "replacefile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
enum class Read { Whole, Missing, Failed };

// The whole regular file; Failed for anything less: not readable, not a
// regular file, or a read error anywhere.
Read readWhole(const QByteArray& path, QByteArray* content)
{
    content->clear();
    // Non-blocking, so a FIFO in its place cannot hang the window.
    const int fd = open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? Read::Missing : Read::Failed;
    struct stat info {
    };
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return Read::Failed;
    }
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            close(fd);
            content->clear();
            return Read::Failed;
        }
        if (n == 0)
            break;
        content->append(buffer, n);
    }
    close(fd);
    return Read::Whole;
}
} // namespace

bool appendToPlaylist(const QByteArray& playlistPath, const QByteArray& entry)
{
    if (entry.contains('\n') || entry.contains('\0'))
        return false;
    // Not appended in place: a power cut before the new line reaches the
    // disk can leave the file's new length filled with zeros. The file
    // with its line goes whole beside it and over it, as a removal does; a
    // file that cannot be read whole is not rewritten.
    QByteArray content;
    if (readWhole(playlistPath, &content) == Read::Failed)
        return false;
    return replaceFile(playlistPath, content + entry + '\n');
}

bool readPlaylistLines(const QByteArray& playlistPath, QList<QByteArray>* lines)
{
    lines->clear();
    QByteArray content;
    if (readWhole(playlistPath, &content) != Read::Whole)
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
