#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QImage>
#include <QList>
#include <QString>
#include <QTimer>
#include <QWidget>

// What a clip with no picture is, from its tags (ID3, Vorbis comments,
// FLAC, MP4, APE, WMA, as TagLib reads them), else its file name.
struct SongTags {
    QString title;
    QString artist;
    QString album;
    int seconds = 0; // its length, 0 if not known
};
SongTags readSongTags(const QByteArray& path);

// A time as a player shows it: "m:ss", or "h:mm:ss" from an hour on.
QString clockText(double seconds);

class QPainter;

// The screen while a song plays: what it is and its cover, how far it has
// played, its place in a playlist and what comes next, and whether it is
// paused, muted or its keys locked. The player's picture is not there to
// show.
class NowPlaying : public QWidget
{
    Q_OBJECT
public:
    explicit NowPlaying(QWidget* parent = nullptr);

    // The clip launched, or a playlist's entries; its tags are read only
    // once it shows, off the key path to a video's picture.
    void setSong(const QByteArray& path, const QList<QByteArray>& entries = {});
    void showSong();
    // A playlist's clip starting, as the player names it.
    void setPlaying(const QByteArray& path);
    // The player's word of its position and its length (-1: not said);
    // between its words the screen's own clock moves the time on, as the
    // player is asked only now and then.
    void setTimes(double time, double length);
    // Where it has played to by now.
    double playedTime() const;
    void setPaused(bool paused);
    void setMuted(bool muted);
    void setLocked(bool locked);
    // A line for a moment: a level just changed, how to unlock.
    void showNote(const QString& note);

    const SongTags& tags() const { return tags_; }
    const QImage& cover() const { return cover_; }
    // The times as shown, and "Paused" while paused.
    QString timeText() const;
    bool showsPaused() const { return paused_; }
    // "3 / 12" in a playlist, and the next entry's title.
    QString placeText() const;
    const QString& nextTitle() const { return next_; }
    // Paused, muted, locked and the note, a line each, as shown.
    QStringList statusLines() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void readSong();
    // The time in glyphs drawn once: each second a few copies, where the
    // text drawn again would be shaped again, costing more than the song.
    void drawClock(QPainter& painter, const QRect& area, const QString& text);

    QByteArray path_;
    QList<QByteArray> entries_;
    int index_ = -1;
    SongTags tags_;
    QImage cover_;
    QString next_;
    QString note_;
    QTimer noteTimer_;
    QRect clock_;     // the bar and the times, as last laid out
    double time_ = 0; // as the player last said, when since_ started
    QElapsedTimer since_;
    QString drawnTime_;
    QHash<QChar, QImage> glyphs_; // the clock's, in the screen's font
    double length_ = 0;
    bool paused_ = false;
    bool muted_ = false;
    bool locked_ = false;
};
