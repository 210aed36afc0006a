#include "clipresume.h"

#include "replacefile.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <cstdio>

QList<ResumePosition> parsePositions(const QByteArray& text)
{
    QList<ResumePosition> positions;
    for (const QByteArray& line : text.split('\n')) {
        const qsizetype space = line.indexOf(' ');
        bool number = false;
        const double seconds = line.left(space).toDouble(&number);
        if (space > 0 && number && seconds >= 0 && space + 1 < line.size() &&
            positions.size() < maxResumePositions)
            positions.append({line.mid(space + 1), seconds});
    }
    return positions;
}

QByteArray positionsText(const QList<ResumePosition>& positions)
{
    QByteArray text;
    for (const ResumePosition& position : positions)
        text +=
            QByteArray::number(std::floor(position.seconds), 'f', 0) + ' ' + position.path + '\n';
    return text;
}

QList<ResumePosition> withPosition(QList<ResumePosition> positions, const QByteArray& path,
                                   double seconds)
{
    positions.removeIf([&path](const ResumePosition& position) { return position.path == path; });
    // A name with a line break in it is one line of this file no more.
    if (seconds >= 0 && !path.contains('\n'))
        positions.prepend({path, seconds});
    if (positions.size() > maxResumePositions)
        positions.resize(maxResumePositions);
    return positions;
}

double resumeFrom(const QList<ResumePosition>& positions, const QByteArray& path)
{
    for (const ResumePosition& position : positions)
        if (position.path == path)
            return std::max(0.0, position.seconds - resumeLeadIn);
    return 0;
}

namespace
{
QList<ResumePosition> readPositions(const QByteArray& file)
{
    QFile in(QFile::decodeName(file));
    // Fifty paths of PATH_MAX at most.
    return in.open(QIODevice::ReadOnly) ? parsePositions(in.read(50 * 4200))
                                        : QList<ResumePosition>();
}
} // namespace

QByteArray ClipResume::launched(const QByteArray& path)
{
    path_ = path;
    length_ = time_ = written_ = -1;
    const double from = path.isEmpty() ? 0 : resumeFrom(readPositions(file_), path);
    if (from <= 0)
        return {};
    return "seek " + QByteArray::number(from, 'f', 0) + " 2\n";
}

void ClipResume::heard(const PlayerAnswers& said)
{
    if (path_.isEmpty())
        return;
    if (said.length > 0)
        length_ = said.length;
    if (said.time >= 0)
        time_ = said.time;
    if (length_ > resumableLength && time_ >= 0 && std::fabs(time_ - written_) >= 30)
        store(time_);
}

void ClipResume::stopped()
{
    if (length_ > resumableLength && time_ >= 0)
        store(time_);
    path_.clear();
}

void ClipResume::ended()
{
    // A player that ended well before the clip's end (killed, or failed)
    // has not played it to its end.
    const bool whole = time_ < 0 || time_ >= length_ - 15;
    if (length_ > resumableLength && time_ >= 0 && !whole) {
        store(time_);
    } else if (!path_.isEmpty()) {
        const QList<ResumePosition> positions = readPositions(file_);
        if (std::any_of(positions.begin(), positions.end(),
                        [this](const ResumePosition& position) { return position.path == path_; }))
            store(-1);
    }
    path_.clear();
}

void ClipResume::store(double seconds)
{
    written_ = seconds;
    if (!replaceFile(file_, positionsText(withPosition(readPositions(file_), path_, seconds))))
        std::fprintf(stderr, "tarragon: the places of long clips could not be kept in %s\n",
                     file_.constData());
}
