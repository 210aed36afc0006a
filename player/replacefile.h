#pragma once

#include <QByteArray>

// Gives the file at path this content whole, so that a crash or a power cut
// at any moment leaves either the old file or the new one, never a part:
// the content goes to a hidden file beside it (".NAME.tarragon-XXXXXX"),
// which is flushed to the disk and renamed over it, and then the rename is
// flushed. Such a file that a power cut left behind goes at a later save,
// once it is a minute old: until then it may be another writer's.
//
// A symbolic link has its target written. The file keeps its mode and,
// where allowed, its owner; a new one takes the umask; one this user may
// not write is refused. Where the folder refuses a new file (one the user
// may not write, a read-only mount), it is written in place, as nothing
// better is to be had; any other failure leaves it whole. False when the
// file was left as it was, or may hold less than the content.
bool replaceFile(const QByteArray& path, const QByteArray& content);

// Whether a temporary file that could not be made for this error (errno)
// leaves writing in place as the one way.
bool writesInPlaceAfter(int error);
