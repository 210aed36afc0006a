#include "settingsrecord.h"

#include "directorylisting.h"

#include <QFile>
#include <QString>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

SettingsRecord settingsRecord{};

void loadSettings(const char* path)
{
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    auto* bytes = reinterpret_cast<char*>(&settingsRecord);
    size_t got = 0;
    while (got < sizeof settingsRecord) {
        const ssize_t n = read(fd, bytes + got, sizeof settingsRecord - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += static_cast<size_t>(n);
    }
    close(fd);
}

void saveSettings(const char* path)
{
    std::printf("saveparams\n");
    const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    const auto* bytes = reinterpret_cast<const char*>(&settingsRecord);
    size_t put = 0;
    while (put < sizeof settingsRecord) {
        const ssize_t n = write(fd, bytes + put, sizeof settingsRecord - put);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        put += static_cast<size_t>(n);
    }
    close(fd);
}

QByteArray startDirectory(const SettingsRecord& record)
{
    const QByteArray stored(
        record.lastDirectory.data(),
        static_cast<qsizetype>(strnlen(record.lastDirectory.data(), record.lastDirectory.size())));
    if (stored.isEmpty())
        return QByteArrayLiteral("/mmc/mmca1/");
    if (isDirectory(stored) || isValidUtf8(stored))
        return stored;
    return QFile::encodeName(QString::fromLatin1(stored));
}
