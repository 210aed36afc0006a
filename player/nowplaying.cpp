#include "nowplaying.h"

#include "songcover.h"

#include <QFileInfo>
#include <QPaintEvent>
#include <QPainter>

#include <taglib/fileref.h>
#include <taglib/tag.h>

#include <algorithm>
#include <cmath>

SongTags readSongTags(const QByteArray& path)
{
    SongTags tags;
    const TagLib::FileRef file(path.constData());
    if (!file.isNull() && file.tag()) {
        const auto text = [](const TagLib::String& value) {
            return QString::fromStdString(value.to8Bit(true)).trimmed();
        };
        tags.title = text(file.tag()->title());
        tags.artist = text(file.tag()->artist());
        tags.album = text(file.tag()->album());
    }
    if (!file.isNull() && file.audioProperties())
        tags.seconds = file.audioProperties()->lengthInSeconds();
    if (tags.title.isEmpty())
        tags.title = QFileInfo(QFile::decodeName(path)).completeBaseName();
    return tags;
}

QString clockText(double seconds)
{
    const long whole = seconds > 0 ? std::lround(std::floor(seconds)) : 0;
    const auto two = [](long value) {
        return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
    };
    if (whole < 3600)
        return QString::number(whole / 60) + ':' + two(whole % 60);
    return QString::number(whole / 3600) + ':' + two(whole / 60 % 60) + ':' + two(whole % 60);
}

NowPlaying::NowPlaying(QWidget* parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::black);
    colours.setColor(QPalette::WindowText, Qt::white);
    setPalette(colours);
    noteTimer_.setSingleShot(true);
    noteTimer_.setInterval(2500);
    connect(&noteTimer_, &QTimer::timeout, this, [this] {
        note_.clear();
        update();
    });
    hide();
}

void NowPlaying::setSong(const QByteArray& path, const QList<QByteArray>& entries)
{
    path_ = entries.isEmpty() ? path : entries.first();
    clock_ = QRect();
    entries_ = entries;
    index_ = entries.isEmpty() ? -1 : 0;
    tags_ = SongTags();
    cover_ = QImage();
    next_.clear();
    note_.clear();
    time_ = length_ = 0;
    since_.invalidate();
    paused_ = muted_ = locked_ = false;
}

void NowPlaying::setPlaying(const QByteArray& path)
{
    if (entries_.isEmpty() || path == path_)
        return;
    // The same clip may be listed twice: the one after the last is meant.
    const qsizetype after = entries_.indexOf(path, index_ + 1);
    index_ = static_cast<int>(after >= 0 ? after : entries_.indexOf(path));
    path_ = path;
    time_ = length_ = 0;
    since_.invalidate();
    if (isVisible())
        readSong();
}

void NowPlaying::showSong()
{
    readSong();
    show();
}

void NowPlaying::readSong()
{
    tags_ = readSongTags(path_);
    length_ = std::max(length_, double(tags_.seconds));
    cover_ = songCover(path_, QSize(width(), height() * 3 / 10));
    clock_ = QRect(); // laid out again
    glyphs_.clear();
    const int next = index_ + 1;
    next_ =
        index_ >= 0 && next < entries_.size() ? readSongTags(entries_.at(next)).title : QString();
    update();
}

void NowPlaying::setTimes(double time, double length)
{
    if (time >= 0) {
        time_ = time;
        since_.start();
    }
    if (length > 0)
        length_ = length;
    if (timeText() == drawnTime_ && length <= 0)
        return;
    // Each second only the bar and the times change: on a small phone a
    // whole screen's text, shaped again, would cost more than the song.
    update(clock_.isValid() ? clock_ : rect());
}

double NowPlaying::playedTime() const
{
    if (paused_ || !since_.isValid())
        return time_;
    const double now = time_ + static_cast<double>(since_.elapsed()) / 1000.0;
    return length_ > 0 ? std::min(now, length_) : now;
}

void NowPlaying::setPaused(bool paused)
{
    if (paused == paused_)
        return;
    time_ = playedTime();
    if (since_.isValid())
        since_.start();
    paused_ = paused;
    update();
}

void NowPlaying::setMuted(bool muted)
{
    if (muted == muted_)
        return;
    muted_ = muted;
    update();
}

void NowPlaying::setLocked(bool locked)
{
    if (locked == locked_)
        return;
    locked_ = locked;
    update();
}

void NowPlaying::showNote(const QString& note)
{
    note_ = note;
    noteTimer_.start();
    update();
}

QString NowPlaying::timeText() const
{
    return clockText(playedTime()) + QStringLiteral(" / ") + clockText(length_);
}

QString NowPlaying::placeText() const
{
    if (index_ < 0)
        return {};
    return QStringLiteral("%1 / %2").arg(index_ + 1).arg(entries_.size());
}

QStringList NowPlaying::statusLines() const
{
    QStringList words;
    if (paused_)
        words << tr("Paused");
    if (muted_)
        words << tr("Muted");
    if (locked_)
        words << tr("Keys locked");
    QStringList lines;
    if (!words.isEmpty())
        lines << words.join(QStringLiteral("  "));
    if (!note_.isEmpty())
        lines << note_;
    return lines;
}

void NowPlaying::paintEvent(QPaintEvent* event)
{
    const bool clockOnly = clock_.isValid() && clock_.contains(event->rect());
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const int margin = width() / 16;
    const int line = fontMetrics().height();
    const int wide = width() - 2 * margin;
    int y = height() / 5;
    if (!cover_.isNull()) {
        const QSize room(wide, height() * 3 / 10);
        const QSize size = cover_.size().scaled(room, Qt::KeepAspectRatio);
        if (!clockOnly)
            painter.drawImage(QRect(QPoint((width() - size.width()) / 2, margin), size), cover_);
        y = margin + size.height() + line / 2;
    }
    const auto lineOf = [&](const QString& text) {
        if (!clockOnly)
            painter.drawText(QRect(margin, y, wide, line), Qt::AlignCenter,
                             painter.fontMetrics().elidedText(text, Qt::ElideRight, wide));
        y += line;
    };
    QFont title = font();
    title.setBold(true);
    painter.setFont(title);
    if (!clockOnly)
        painter.drawText(QRect(margin, y, wide, 2 * line), Qt::AlignCenter | Qt::TextWordWrap,
                         tags_.title);
    y += 2 * line + line / 4;
    painter.setFont(font());
    for (const QString& more : {tags_.artist, tags_.album, placeText()})
        if (!more.isEmpty())
            lineOf(more);
    // The bar, then the times under it.
    y += line / 2;
    const QRect bar(margin, y, wide, std::max(4, line / 3));
    painter.drawRect(bar.adjusted(0, 0, -1, -1));
    if (length_ > 0)
        painter.fillRect(bar.x(), bar.y(),
                         static_cast<int>(bar.width() * std::min(1.0, playedTime() / length_)),
                         bar.height(), painter.pen().color());
    y = bar.bottom() + line / 2;
    clock_ = QRect(bar.topLeft(), QPoint(bar.right(), y + line));
    drawnTime_ = timeText();
    drawClock(painter, QRect(margin, y, wide, line), drawnTime_);
    y += line;
    if (!next_.isEmpty())
        lineOf(tr("Next: %1").arg(next_));
    y += line / 2;
    for (const QString& status : statusLines())
        lineOf(status);
}

void NowPlaying::drawClock(QPainter& painter, const QRect& area, const QString& text)
{
    const QFontMetrics metrics = painter.fontMetrics();
    int wide = 0;
    for (const QChar c : text) {
        QImage& glyph = glyphs_[c];
        if (glyph.isNull()) {
            glyph = QImage(std::max(1, metrics.horizontalAdvance(c)), metrics.height(),
                           QImage::Format_ARGB32_Premultiplied);
            glyph.fill(Qt::transparent);
            QPainter drawn(&glyph);
            drawn.setFont(painter.font());
            drawn.setPen(painter.pen());
            drawn.drawText(QPoint(0, metrics.ascent()), QString(c));
        }
        wide += glyph.width();
    }
    int x = area.x() + (area.width() - wide) / 2;
    for (const QChar c : text) {
        const QImage& glyph = glyphs_[c];
        painter.drawImage(x, area.y(), glyph);
        x += glyph.width();
    }
}
