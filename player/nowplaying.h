#pragma once

#include <QByteArray>
#include <QString>
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

// The screen while a song plays: what it is, how far it has played, and
// whether it is paused. The player's picture is not there to show.
class NowPlaying : public QWidget
{
    Q_OBJECT
public:
    explicit NowPlaying(QWidget* parent = nullptr);

    // The clip launched; its tags are read only once it shows, off the key
    // path to a video's picture.
    void setSong(const QByteArray& path);
    void showSong();
    // The player's word of its position and its length (-1: not said).
    void setTimes(double time, double length);
    void setPaused(bool paused);

    const SongTags& tags() const { return tags_; }
    // The times as shown, and "Paused" while paused.
    QString timeText() const;
    bool showsPaused() const { return paused_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QByteArray path_;
    SongTags tags_;
    double time_ = 0;
    double length_ = 0;
    bool paused_ = false;
};
