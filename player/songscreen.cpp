#include "keylock.h"
#include "mywidget.h"
#include "nowplaying.h"
#include "playbackstate.h"

#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>

// The song's screen as the player's answers and the key lock change it.

void MyWidget::showSong(const PlayerAnswers& said)
{
    if (!said.playing.empty())
        nowPlaying_->setPlaying(QByteArray::fromStdString(said.playing));
    // The mute key sets the volume to 0; the player's menu mutes it.
    if (said.property == "volume")
        nowPlaying_->setMuted(said.value <= 0 || said.muted == 1);
    else if (said.muted >= 0)
        nowPlaying_->setMuted(said.muted == 1);
    if (!said.property.empty())
        nowPlaying_->showNote(QStringLiteral("%1 %2")
                                  .arg(QString::fromStdString(said.property))
                                  .arg(std::lround(said.value)));
    if (said.noVideo && !nowPlaying_->isVisible()) {
        nowPlaying_->setGeometry(rect());
        nowPlaying_->raise();
        nowPlaying_->showSong();
    }
    nowPlaying_->setTimes(said.time, said.length);
    nowPlaying_->setPaused(playbackState.paused);
}

void MyWidget::setUpKeyLock()
{
    keyLock_ = new KeyLock(this);
    connect(keyLock_, &KeyLock::changed, this, [this](bool locked) {
        nowPlaying_->setLocked(locked);
        sendKeyCommand(locked ? "osd_show_text \"Keys locked\" 2000\n"
                              : "osd_show_text \"Keys unlocked\" 2000\n");
    });
    connect(keyLock_, &KeyLock::refused, this, [this] {
        nowPlaying_->showNote(tr("Hold Exit to unlock"));
        sendKeyCommand("osd_show_text \"Keys locked: hold Exit to unlock\" 2000\n");
    });
}

void MyWidget::askLevel(const char* property)
{
    if (!nowPlaying_->isVisible())
        return;
    std::snprintf(commandBuffer.data(), commandBuffer.size(),
                  "pausing_keep_force get_property %s\npausing_keep_force get_property mute\n",
                  property);
    player_.send(commandBuffer.data());
}

void MyWidget::setDisplayAsleep(bool asleep)
{
    displayAsleep_ = asleep;
    // Lit again: the whole screen drawn once, and its clock going.
    nowPlaying_->setUpdatesEnabled(!asleep);
    if (!asleep && playbackState.playing && nowPlaying_->isVisible())
        startSongClock();
}

void MyWidget::setUpSongClock()
{
    songClock_ = new QTimer(this);
    connect(songClock_, &QTimer::timeout, this, &MyWidget::songSecond);
}

void MyWidget::startSongClock()
{
    askSoon_ = true;
    songClock_->start(1000);
}

void MyWidget::songSecond()
{
    const bool shown = nowPlaying_->isVisible() && !displayAsleep_;
    // Nothing to show and no place to keep: the clock rests until the
    // display lights or another clip comes.
    if (!playbackState.playing || (!shown && !resume_.wantsPlace())) {
        songClock_->stop();
        return;
    }
    if (shown)
        nowPlaying_->setTimes(-1, -1);
    // Each answer wakes the front-end and is echoed: the screen keeps its
    // own time and is set right every few seconds, and after a key.
    const int every = shown ? std::min(10, resume_.askInterval()) : resume_.askInterval();
    sinceAsked_ += songClock_->interval() / 1000;
    if (askSoon_ || sinceAsked_ >= every) {
        player_.send("pausing_keep_force get_property time_pos\n");
        askSoon_ = false;
        sinceAsked_ = 0;
    }
    songClock_->setInterval(shown ? 1000 : every * 1000);
}
