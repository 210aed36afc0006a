#pragma once

#include <QByteArray>

// Gives the file at path this content whole, so that a crash or a power cut
// at any moment leaves either the old file or the new one, never a part:
// the content goes to a hidden file beside it (".NAME.tarragon-XXXXXX"),
// which is flushed to the disk and renamed over it, and then the rename is
// flushed. Such a file that a power cut left behind goes at the next save.
//
// A symbolic link has its target written. The file keeps its mode and,
// where allowed, its owner; a new one takes the umask; one this user may
// not write is refused. Where no file can be made beside it (a folder the
// user may not write), it is written in place, as nothing better is to be
// had. False when the file was left as it was, or may hold less than the
// content.
bool replaceFile(const QByteArray& path, const QByteArray& content);
