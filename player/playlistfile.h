#pragma once

#include <QByteArray>
#include <QList>

// Playlist files: one media path a line, each line ending in a newline. The
// front-end writes them itself, without a shell, so no byte of a path is
// ever interpreted.

// Appends the path and a newline, so that the file always holds either the
// old list or the new one (replaceFile). A path holding a newline cannot be
// a line, a missing directory gets no file, and a file that cannot be read
// whole is not rewritten: these change nothing.
bool appendToPlaylist(const QByteArray& playlistPath, const QByteArray& entry);

// The file's lines as bytes, without their newlines; a last line without
// one counts too. False, with no lines, unless the whole regular file was
// read: not readable, not a regular file, or a read error anywhere.
bool readPlaylistLines(const QByteArray& playlistPath, QList<QByteArray>* lines);

// Replaces the file's content with these lines, so that the file always
// holds either the old list or the new one (replaceFile).
bool rewritePlaylist(const QByteArray& playlistPath, const QList<QByteArray>& lines);
