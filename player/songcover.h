#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

// A song's cover: the picture embedded in its tags (the front cover first),
// else cover.jpg, folder.jpg or front.jpg beside the file, in any letter
// case; no larger than fit. A null image when there is none that decodes.
QImage songCover(const QByteArray& path, const QSize& fit);
