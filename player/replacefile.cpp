#include "replacefile.h"

#include "writeall.h"

#include <QCryptographicHash>
#include <QRandomGenerator>

#include <array>
#include <cctype>
#include <cerrno>
#include <climits>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
constexpr char tempMarker[] = ".tarragon-";
constexpr int tempRandomLength = 6;
// A writer renames its file within moments; one this old has no writer.
constexpr time_t leftoverAge = 60;

// The file a chain of symbolic links ends at, which need not exist yet;
// empty for a loop.
QByteArray linkTarget(QByteArray path)
{
    for (int hops = 0; hops < 40; ++hops) {
        std::array<char, PATH_MAX> target{};
        const ssize_t n = readlink(path.constData(), target.data(), target.size());
        if (n < 0)
            return path;
        if (static_cast<size_t>(n) >= target.size())
            return {};
        QByteArray next(target.data(), n);
        if (!next.startsWith('/'))
            next.prepend(path.left(path.lastIndexOf('/') + 1));
        path = next;
    }
    return {};
}

bool isLeftover(const char* entry, const QByteArray& prefix)
{
    const QByteArray name(entry);
    if (name.size() != prefix.size() + tempRandomLength || !name.startsWith(prefix))
        return false;
    for (qsizetype i = prefix.size(); i < name.size(); ++i)
        if (!std::isalnum(static_cast<unsigned char>(name[i])))
            return false;
    return true;
}

// Another front-end saving the same file may own a fresh one.
void removeLeftovers(const QByteArray& dir, const QByteArray& prefix)
{
    DIR* listing = opendir(dir.isEmpty() ? "." : dir.constData());
    if (!listing)
        return;
    const time_t now = time(nullptr);
    while (const dirent* entry = readdir(listing)) {
        struct stat info {
        };
        if (isLeftover(entry->d_name, prefix) &&
            fstatat(dirfd(listing), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode) && now - info.st_mtime > leftoverAge)
            unlinkat(dirfd(listing), entry->d_name, 0);
    }
    closedir(listing);
}

// ".NAME.tarragon-", the name cut and marked with its hash where the whole
// temporary name would be longer than a folder allows.
QByteArray tempPrefix(const QByteArray& name)
{
    const qsizetype room = NAME_MAX - 1 - qsizetype(sizeof tempMarker - 1) - tempRandomLength;
    if (name.size() <= room)
        return '.' + name + tempMarker;
    const QByteArray hash =
        QCryptographicHash::hash(name, QCryptographicHash::Sha1).toHex().left(8);
    return '.' + name.left(room - hash.size() - 1) + '~' + hash + tempMarker;
}

// A new file beside the target, made with the umask as any new file is.
int createBeside(const QByteArray& stem, QByteArray* temp)
{
    static constexpr char alphabet[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        *temp = stem;
        for (int i = 0; i < tempRandomLength; ++i)
            temp->append(alphabet[QRandomGenerator::global()->bounded(int(sizeof alphabet - 1))]);
        const int fd = open(temp->constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

bool writeInPlace(const QByteArray& path, const QByteArray& content)
{
    const int fd = open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    bool ok = writeAll(fd, content.constData(), static_cast<size_t>(content.size()));
    ok = fsync(fd) == 0 && ok;
    return close(fd) == 0 && ok;
}
} // namespace

bool replaceFile(const QByteArray& path, const QByteArray& content)
{
    const QByteArray target = linkTarget(path);
    if (target.isEmpty())
        return false;
    struct stat old {
    };
    const bool exists = stat(target.constData(), &old) == 0;
    if (exists && access(target.constData(), W_OK) != 0)
        return false;
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray dir = target.left(slash + 1);
    const QByteArray prefix = tempPrefix(target.mid(slash + 1));
    removeLeftovers(dir, prefix);

    QByteArray temp;
    const int fd = createBeside(dir + prefix, &temp);
    if (fd < 0)
        return writesInPlaceAfter(errno) && writeInPlace(target, content);
    // Owner and mode before the content, which others may not read meanwhile.
    bool ok = true;
    if (exists) {
        // Before the mode: a change of owner clears the set-id bits.
        if (old.st_uid != geteuid() || old.st_gid != getegid()) [[maybe_unused]]
            const int owned = fchown(fd, old.st_uid, old.st_gid);
        ok = fchmod(fd, old.st_mode & 07777) == 0;
    }
    ok = ok && writeAll(fd, content.constData(), static_cast<size_t>(content.size()));
    ok = fsync(fd) == 0 && ok;
    ok = close(fd) == 0 && ok;
    if (!ok || rename(temp.constData(), target.constData()) != 0) {
        unlink(temp.constData());
        return false;
    }
    // The rename itself lives in the directory: until that is on disk, a
    // power cut could bring the old file back. A folder that cannot be
    // opened or flushed still holds the new file.
    const int dirFd =
        open(dir.isEmpty() ? "." : dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        [[maybe_unused]] const int flushed = fsync(dirFd);
        close(dirFd);
    }
    return true;
}

bool writesInPlaceAfter(int error)
{
    return error == EACCES || error == EPERM || error == EROFS;
}
