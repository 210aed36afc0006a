#include "keylock.h"
#include "mywidget.h"
#include "nowplaying.h"
#include "playbackstate.h"

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
    // Nothing is drawn in the dark.
    if (!displayAsleep_())
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
