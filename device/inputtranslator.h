#pragma once

#include "keymap.h"

#include <QHash>
#include <QList>

#include <bitset>
#include <functional>
#include <linux/input.h>

// One device's evdev events as presses and releases of the phone's keys.
// A pad's d-pad comes as BTN_DPAD_* buttons or as hat axes, its sticks as
// the d-pad past a dead zone, its analog triggers as BTN_TL2 and BTN_TR2:
// all as buttons first, then through the keymap.
class InputTranslator
{
public:
    struct Axis {
        int code;
        int minimum;
        int maximum;
    };
    struct Key {
        int key; // Qt::Key
        bool press;
        bool autoRepeat;
        bool operator==(const Key&) const = default;
    };

    // axes: those of the device's absolute axes that move the d-pad or the
    // triggers. repeats: the kernel's repeats of a held key are passed on,
    // as the toolkit's own reader does for a keyboard; a pad's button acts
    // once however long it is held.
    InputTranslator(Keymap keymap, const QList<Axis>& axes, bool repeats);

    // The axes of a device with these, that the translator reads.
    static QList<Axis> padAxes(const std::bitset<ABS_CNT>& absolute,
                               const std::bitset<KEY_CNT>& keys,
                               const std::function<Axis(int)>& range);

    QList<Key> feed(int type, int code, int value);

private:
    void button(int code, bool down, QList<Key>& out);

    Keymap keymap_;
    QHash<int, Axis> axes_;
    QHash<int, int> axisSide_; // -1, 0 or 1
    std::bitset<KEY_CNT> down_;
    bool repeats_;
};
