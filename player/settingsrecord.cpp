#include "settingsrecord.h"

#include "directorylisting.h"
#include "replacefile.h"

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
    // Never truncated in place: a power cut between the truncation and the
    // write would leave the user's options and folder gone.
    replaceFile(QByteArray(path),
                QByteArray(reinterpret_cast<const char*>(&settingsRecord), sizeof settingsRecord));
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
