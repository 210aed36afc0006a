#include "directorylisting.h"

#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
} // namespace

QList<QByteArray> splitNameFilter(const QByteArray& filter)
{
    QList<QByteArray> patterns;
    for (const QByteArray& part : filter.split(' '))
        if (!part.isEmpty())
            patterns.append(part);
    return patterns;
}

bool matchesWildcard(const char* pattern, const char* name)
{
    // Greedy with one backtrack point: the latest '*' absorbs one more byte
    // whenever the rest fails to match.
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*name) {
        if (*pattern == '*') {
            star = ++pattern;
            resume = name;
        } else if (*pattern && (*pattern == '?' || asciiLower(*pattern) == asciiLower(*name))) {
            ++pattern;
            ++name;
        } else if (star) {
            pattern = star;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == '\0';
}

bool matchesAnyPattern(const char* name, const QList<QByteArray>& patterns)
{
    return std::any_of(patterns.begin(), patterns.end(), [name](const QByteArray& pattern) {
        return matchesWildcard(pattern.constData(), name);
    });
}

std::optional<DirectoryEntries> readDirectory(const QByteArray& path,
                                              const QList<QByteArray>& patterns)
{
    DIR* dir = opendir(path.constData());
    if (!dir)
        return std::nullopt;
    char* real = realpath(path.constData(), nullptr);
    if (!real) {
        closedir(dir);
        return std::nullopt;
    }
    DirectoryEntries result;
    result.canonicalPath = QByteArray(real);
    std::free(real);

    const int fd = dirfd(dir);
    QList<QByteArray> directories;
    QList<QByteArray> files;
    for (;;) {
        // A null entry with errno set is a read error, not the end.
        errno = 0;
        const dirent* entry = readdir(dir);
        if (!entry)
            break;
        const char* name = entry->d_name;
        if (name[0] == '.')
            continue;
        unsigned char type = entry->d_type;
        // Only links and file systems that do not tell the type cost a stat.
        if (type == DT_LNK || type == DT_UNKNOWN) {
            struct stat info {
            };
            if (fstatat(fd, name, &info, 0) != 0)
                continue;
            type = S_ISDIR(info.st_mode) ? DT_DIR : S_ISREG(info.st_mode) ? DT_REG : DT_UNKNOWN;
        }
        if (type == DT_DIR)
            directories.append(QByteArray(name));
        else if (type == DT_REG && matchesAnyPattern(name, patterns))
            files.append(QByteArray(name));
    }
    const bool failed = errno != 0;
    closedir(dir);
    if (failed)
        return std::nullopt;
    std::sort(directories.begin(), directories.end());
    std::sort(files.begin(), files.end());
    result.names = std::move(directories);
    result.names.append(files);
    return result;
}

bool isRegularFile(const QByteArray& path)
{
    struct stat info {
    };
    return stat(path.constData(), &info) == 0 && S_ISREG(info.st_mode);
}

bool isDirectory(const QByteArray& path)
{
    struct stat info {
    };
    return stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

QByteArray workingDirectory()
{
    char* cwd = getcwd(nullptr, 0);
    if (!cwd)
        return QByteArrayLiteral("/");
    QByteArray bytes(cwd);
    std::free(cwd);
    return bytes;
}

bool isValidUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    [[maybe_unused]] const QString text = decoder(bytes);
    return !decoder.hasError();
}
