#include "filebrowser.h"
#include "keycommands.h"
#include "keylock.h"
#include "mywidget.h"
#include "nowplaying.h"
#include "platform/phonekeys.h"
#include "platform/wsevent.h"
#include "playbackstate.h"

#include <cstdio>
#include <cstring>

// The keys while a player runs, as the playback key table has them.

void MyWidget::setMenuMode(bool on)
{
    sendKeyCommand(on ? "set_menu main\n" : "menu hide\n");
    playbackState.menuMode = on;
    playbackState.menuDepth = 0;
}

void MyWidget::sendKeyCommand(const char* text)
{
    sendCommand(keyCommandText(text, playbackState.paused).c_str(), 0);
    askSoon_ = true; // a seek, a step, a speed: the screen's time set right
    if (std::strcmp(text, "pause\n") == 0) {
        playbackState.paused = !playbackState.paused;
        nowPlaying_->setPaused(playbackState.paused);
    } else if (std::strncmp(text, "pt_step", 7) == 0)
        playbackState.paused = false; // the next clip starts playing
}

void MyWidget::actOnKey(std::uint16_t keyCode)
{
    const KeyCommand command = keyCommand(keyCode, playbackState.menuMode);
    switch (command.action) {
    case KeyAction::None:
        break;
    case KeyAction::Send:
        sendKeyCommand(command.text);
        if (std::strncmp(command.text, "volume", 6) == 0)
            askLevel("volume");
        break;
    case KeyAction::MenuEnter:
        sendKeyCommand(command.text);
        ++playbackState.menuDepth;
        // The menu's entry may have paused or resumed the clip: the player
        // says which, on the output the tick reads.
        if (playbackState.playing)
            player_.send("pausing_keep_force get_property pause\n");
        break;
    case KeyAction::MenuBack:
        if (playbackState.menuDepth > 0) {
            sendKeyCommand(command.text);
            --playbackState.menuDepth;
        }
        break;
    case KeyAction::Adjust:
        std::snprintf(commandBuffer.data(), commandBuffer.size(), "%s%s",
                      adjustProperties[static_cast<size_t>(adjustIndex)], command.text);
        sendKeyCommand(commandBuffer.data());
        askLevel(adjustProperties[static_cast<size_t>(adjustIndex)]);
        break;
    case KeyAction::NextProperty:
        adjustIndex = nextAdjustIndex(adjustIndex);
        std::snprintf(commandBuffer.data(), commandBuffer.size(), "osd 1\nosd_show_text \"%s\"\n",
                      adjustProperties[static_cast<size_t>(adjustIndex)]);
        sendKeyCommand(commandBuffer.data());
        break;
    case KeyAction::MenuModeOn:
        setMenuMode(true);
        break;
    case KeyAction::MenuModeOff:
        setMenuMode(false);
        break;
    case KeyAction::Stop:
        stopPlayback();
        break;
    case KeyAction::PlaylistStep:
        if (playbackState.playlist)
            sendKeyCommand(command.text);
        break;
    }
}

bool MyWidget::qwsEvent(WSEvent* event)
{
    if (event->type != WSEvent::Key)
        return ZMainWidget::qwsEvent(event);
    const bool repeat =
        holds_.repeats(event->keyCode, event->isPress, event->isAutoRepeat, event->time);
    if (playbackState.playing && keyLock_->key(event->keyCode, event->isPress, repeat))
        return true;
    if (event->isPress) {
        if (playbackState.playing)
            actOnKey(event->keyCode);
        else if (event->keyCode == PhoneKey::Key_Enter)
            startPlayback(browser_->mediaPath.data(), !browseMode);
    }
    // Read after acting: a key that started playback goes no further.
    if (playbackState.fullScreen)
        return true;
    return ZMainWidget::qwsEvent(event);
}
