#pragma once

#include "keyholds.h"
#include "phonekeys.h"

#include <QWidget>

#include <cstdint>

class ZPushButton;

// The soft-key bar: left, middle and right keys along the bottom of the
// screen, pressed with a tap, a click or a key (softKeyOf). In a menu that
// a soft key opened, the keys drive the menu: Up and Down move, Enter
// chooses, Escape or Back go up a level, and a soft key closes it (the
// other soft key's menu opening instead); nothing quits from a menu.
class UTIL_CST : public QWidget
{
    Q_OBJECT
public:
    static constexpr int barHeight = 80;

    UTIL_CST(QWidget* parent, const QString& midCaption, const QString& leftIcon,
             const QString& rightIcon);
    ~UTIL_CST() override;

    ZPushButton* getLeftBtn() const { return left_; }
    ZPushButton* getMidBtn() const { return mid_; }
    ZPushButton* getRightBtn() const { return right_; }

    // A key that reached the main window: true when it was a soft key's,
    // which then acts on its press; a held key acts on its first press
    // only, so holding Exit or a menu's key does not act again and again.
    bool pressKey(std::uint16_t keyCode, bool press, bool autoRepeat, std::uint64_t time);
    // The captions in one size, as a phone's soft-key bar has them: the
    // largest at which each fits its key.
    void fitCaptions();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ZPushButton* button(SoftKey key) const;

    ZPushButton* left_;
    ZPushButton* mid_;
    ZPushButton* right_;
    // The main window's keys and the menus' alike: a hold that closed a
    // menu goes on at the window.
    KeyHolds holds_;
};
