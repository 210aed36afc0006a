#include "inputtranslator.h"

namespace
{
bool isTrigger(int code)
{
    return code == ABS_Z || code == ABS_RZ;
}
bool isHat(int code)
{
    return code == ABS_HAT0X || code == ABS_HAT0Y;
}

// Where an axis is: its side of the centre, or 0 within the dead zone. A
// stick goes over at half its travel and back inside a quarter, so one that
// rests near the edge does not chatter; a trigger over half its travel is
// pressed.
int sideOf(const InputTranslator::Axis& axis, int value, int before)
{
    if (isHat(axis.code))
        return value < 0 ? -1 : value > 0 ? 1 : 0;
    const double span = axis.maximum - axis.minimum;
    if (span <= 0)
        return 0;
    if (isTrigger(axis.code))
        return (value - axis.minimum) / span > 0.5 ? 1 : 0;
    const double offset = 2 * (value - axis.minimum) / span - 1; // -1 .. 1
    const double threshold = before != 0 ? 0.25 : 0.5;
    return offset < -threshold ? -1 : offset > threshold ? 1 : 0;
}

// The button an axis's side is.
int buttonOf(int code, int side)
{
    switch (code) {
    case ABS_X:
    case ABS_HAT0X:
        return side < 0 ? BTN_DPAD_LEFT : BTN_DPAD_RIGHT;
    case ABS_Y:
    case ABS_HAT0Y:
        return side < 0 ? BTN_DPAD_UP : BTN_DPAD_DOWN;
    case ABS_Z:
        return BTN_TL2;
    default:
        return BTN_TR2;
    }
}
} // namespace

InputTranslator::InputTranslator(Keymap keymap, const QList<Axis>& axes, bool repeats)
    : keymap_(std::move(keymap)), repeats_(repeats)
{
    for (const Axis& axis : axes)
        axes_.insert(axis.code, axis);
}

QList<InputTranslator::Axis> InputTranslator::padAxes(const std::bitset<ABS_CNT>& absolute,
                                                      const std::bitset<KEY_CNT>& keys,
                                                      const std::function<Axis(int)>& range)
{
    QList<Axis> axes;
    for (int code : {ABS_HAT0X, ABS_HAT0Y, ABS_X, ABS_Y})
        if (absolute.test(size_t(code)))
            axes.append(range(code));
    // Z and RZ are the analog triggers where a right stick is RX and RY and
    // the triggers have no buttons; elsewhere they may be that stick.
    if (absolute.test(ABS_RX) && !keys.test(BTN_TL2) && !keys.test(BTN_TR2))
        for (int code : {ABS_Z, ABS_RZ})
            if (absolute.test(size_t(code)))
                axes.append(range(code));
    return axes;
}

void InputTranslator::button(int code, bool down, QList<Key>& out)
{
    if (code < 0 || code >= KEY_CNT || down_.test(size_t(code)) == down)
        return;
    down_.set(size_t(code), down);
    const int key = keymap_.value(code);
    if (key != 0)
        out.append({key, down, false});
}

QList<InputTranslator::Key> InputTranslator::feed(int type, int code, int value)
{
    QList<Key> out;
    if (type == EV_KEY) {
        if (value == 2) {
            const int key = keymap_.value(code);
            if (repeats_ && key != 0 && code < KEY_CNT && down_.test(size_t(code)))
                out.append({key, true, true});
        } else {
            button(code, value != 0, out);
        }
    } else if (type == EV_ABS && axes_.contains(code)) {
        const int before = axisSide_.value(code);
        const int side = sideOf(axes_.value(code), value, before);
        if (side != before) {
            // A hat or stick that crosses over releases one side, then
            // presses the other.
            if (before != 0)
                button(buttonOf(code, before), false, out);
            if (side != 0)
                button(buttonOf(code, side), true, out);
            axisSide_.insert(code, side);
        }
    }
    return out;
}
