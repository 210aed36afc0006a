#include "nowplaying.h"

#include <QFileInfo>
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
    hide();
}

void NowPlaying::setSong(const QByteArray& path)
{
    path_ = path;
    tags_ = SongTags();
    time_ = length_ = 0;
    paused_ = false;
}

void NowPlaying::showSong()
{
    tags_ = readSongTags(path_);
    length_ = std::max(length_, double(tags_.seconds));
    show();
}

void NowPlaying::setTimes(double time, double length)
{
    if (time >= 0)
        time_ = time;
    if (length > 0)
        length_ = length;
    update();
}

void NowPlaying::setPaused(bool paused)
{
    if (paused != paused_) {
        paused_ = paused;
        update();
    }
}

QString NowPlaying::timeText() const
{
    return clockText(time_) + QStringLiteral(" / ") + clockText(length_);
}

void NowPlaying::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const int margin = width() / 16;
    const int line = fontMetrics().height();
    QRect text(margin, height() / 5, width() - 2 * margin, 2 * line);
    QFont title = font();
    title.setBold(true);
    painter.setFont(title);
    painter.drawText(text, Qt::AlignCenter | Qt::TextWordWrap, tags_.title);
    painter.setFont(font());
    for (const QString& more : {tags_.artist, tags_.album}) {
        text.translate(0, text.height() + line / 2);
        text.setHeight(line);
        painter.drawText(text, Qt::AlignCenter,
                         fontMetrics().elidedText(more, Qt::ElideRight, text.width()));
    }
    // The bar, then the times under it.
    const QRect bar(margin, height() * 3 / 5, width() - 2 * margin, std::max(4, line / 3));
    painter.drawRect(bar.adjusted(0, 0, -1, -1));
    if (length_ > 0)
        painter.fillRect(bar.x(), bar.y(),
                         static_cast<int>(bar.width() * std::min(1.0, time_ / length_)),
                         bar.height(), painter.pen().color());
    const QRect times(margin, bar.bottom() + line / 2, bar.width(), line);
    painter.drawText(times, Qt::AlignCenter, timeText());
    if (paused_)
        painter.drawText(times.translated(0, 2 * line), Qt::AlignCenter, tr("Paused"));
}
