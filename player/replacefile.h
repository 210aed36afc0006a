#pragma once

#include <QByteArray>

#include <sys/types.h>

// Gives the file at path this content whole, so that a crash or a power cut
// at any moment leaves either the old file or the new one, never a part:
// the content goes to a hidden file beside it, which is flushed to the disk
// and renamed over it, and then the rename is flushed. The file keeps its
// permissions; a new one gets mode. False when the file was left as it was.
bool replaceFile(const QByteArray& path, const QByteArray& content, mode_t mode = 0644);
