#pragma once

#include "playeranswers.h"

#include <QByteArray>
#include <QList>

// Where long clips (films, audiobooks, talks) were left, so that the next
// play of one goes on from a few seconds before; one played to its end
// starts over. Kept in a small file beside "setup", one line a clip,
// "SECONDS PATH", the latest first, written whole.
struct ResumePosition {
    QByteArray path;
    double seconds = 0;
    bool operator==(const ResumePosition&) const = default;
};

constexpr qsizetype maxResumePositions = 50;
// Longer than a song: ten minutes.
constexpr double resumableLength = 600;
// How far before the place left the clip goes on.
constexpr double resumeLeadIn = 5;

QList<ResumePosition> parsePositions(const QByteArray& text);
QByteArray positionsText(const QList<ResumePosition>& positions);
// The list with path the latest, at seconds; without it for seconds < 0.
QList<ResumePosition> withPosition(QList<ResumePosition> positions, const QByteArray& path,
                                   double seconds);
// Where path goes on from, or 0 for its start.
double resumeFrom(const QList<ResumePosition>& positions, const QByteArray& path);

// One clip's place from its launch to its end.
class ClipResume
{
public:
    explicit ClipResume(QByteArray file = "positions") : file_(std::move(file)) {}

    // A clip launched (empty for a playlist): the command that takes it to
    // where it was left, or none.
    QByteArray launched(const QByteArray& path);
    // Whether its place is worth asking for: a long clip, or its length not
    // yet known.
    bool wantsPlace() const
    {
        return !path_.isEmpty() && (length_ < 0 || length_ > resumableLength);
    }
    // A long clip: its place is kept when it stops.
    bool isLong() const { return !path_.isEmpty() && length_ > resumableLength; }
    // How often, in seconds, its place is worth asking: as often as it is
    // written, and near its end more, so that one played to its end is
    // known to have been.
    int askInterval() const { return length_ > 0 && time_ >= 0 && length_ - time_ < 60 ? 5 : 30; }
    // What the player said; a long clip's place is written every 30 s.
    void heard(const PlayerAnswers& said);
    // Stopped before its end: its place kept. Played to its end: forgotten.
    void stopped();
    void ended();

private:
    void store(double seconds);

    QByteArray file_;
    QByteArray path_;
    double length_ = -1;
    double time_ = -1;
    double written_ = -1;
};
