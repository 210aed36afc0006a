#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

// Directory listings in the file system's own bytes: names that are not
// valid UTF-8 (Latin-1 or GBK names from other devices' memory cards) are
// listed, and handed back to the file system exactly as they came.

// A space-separated list of wildcard patterns ("*.mp3 *.3*").
QList<QByteArray> splitNameFilter(const QByteArray& filter);

// '*' matches any run of bytes and '?' any one byte; ASCII letters match
// either case, as the toolkit's name filters do.
bool matchesWildcard(const char* pattern, const char* name);
bool matchesAnyPattern(const char* name, const QList<QByteArray>& patterns);

struct DirectoryEntries {
    // Absolute, with ".", ".." and symbolic links resolved.
    QByteArray canonicalPath;
    // Directories first, then files, each in byte order.
    QList<QByteArray> names;
};

// Every directory whatever its name, and the regular files whose names match
// a pattern; no hidden entries, no "." or "..", no special files or broken
// links. Nothing when the directory cannot be read.
std::optional<DirectoryEntries> readDirectory(const QByteArray& path,
                                              const QList<QByteArray>& patterns);

// Whether the bytes name a regular file or a directory (links followed).
bool isRegularFile(const QByteArray& path);
bool isDirectory(const QByteArray& path);

// The working directory's bytes; "/" when it cannot be told.
QByteArray workingDirectory();

bool isValidUtf8(const QByteArray& bytes);
