#pragma once

#include <QByteArray>
#include <QList>

#include <bitset>
#include <linux/input.h>

// The evdev devices of a framebuffer without udev, which the toolkit is
// then told of by name.

// An input device as its event bits describe it.
struct InputCapabilities {
    std::bitset<EV_CNT> events;
    std::bitset<KEY_CNT> keys;
    std::bitset<ABS_CNT> absolute;
    std::bitset<REL_CNT> relative;
};

// A pad has a gamepad's or joystick's buttons or a d-pad; it may have
// keys beside them (a handheld's volume keys), which the front-end then
// reads with its buttons.
enum class InputKind { Other, Keyboard, Mouse, Tablet, TouchScreen, Pad };

InputKind classifyInputDevice(const InputCapabilities& device);

struct InputDevice {
    QByteArray node; // /dev/input/eventN
    InputKind kind;
};

// Whether a device with these buttons is a pad.
bool hasPadButtons(const std::bitset<KEY_CNT>& keys);

// The toolkit's evdev settings (pads are the front-end's own): every
// keyboard (a phone's keypad and power key among them), mice and tablets
// as one pointer set (tablets by absolute position), and the touch screens.
struct EvdevSettings {
    QByteArray keyboard;
    QByteArray mouse;
    QByteArray touchScreen;
    bool hideCursor = true; // no mouse to point with
};

EvdevSettings evdevSettings(const QList<InputDevice>& devices);

// The devices in /dev/input this process may read.
QList<InputDevice> findInputDevices();
