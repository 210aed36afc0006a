#include "keylock.h"

#include "platform/phonekeys.h"

KeyLock::KeyLock(QObject* parent) : QObject(parent)
{
    hold_.setSingleShot(true);
    hold_.setInterval(holdMs);
    connect(&hold_, &QTimer::timeout, this, [this] {
        if (!held_)
            return;
        locked_ = !locked_;
        emit changed(locked_);
    });
}

bool KeyLock::isLockKey(std::uint16_t keyCode)
{
    return softKeyOf(keyCode) == SoftKey::Right;
}

bool KeyLock::key(std::uint16_t keyCode, bool press, bool repeat)
{
    if (isLockKey(keyCode)) {
        // Whether it is down when the hold is up decides. On X11 a repeat
        // comes as a release and a press at once, and not every such
        // release is marked as a repeat's, so a release ends nothing.
        held_ = press;
        if (press && !repeat)
            hold_.start();
        return true;
    }
    if (locked_ && press && !repeat)
        emit refused();
    return locked_;
}

void KeyLock::reset()
{
    hold_.stop();
    held_ = false;
    if (locked_) {
        locked_ = false;
        emit changed(false);
    }
}
