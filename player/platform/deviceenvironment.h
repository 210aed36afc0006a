#pragma once

#include <QByteArray>
#include <QList>

#include <bitset>
#include <linux/input.h>

// What the front-end runs on, settled before the toolkit starts.

// The toolkit platform to ask for, or empty for the toolkit's own choice. A
// platform the user asked for stays. With an X display the front-end is an
// X client, also under XWayland, so the player can draw into its window;
// with Wayland alone the toolkit chooses; with no display at all it is a
// device, drawing on the framebuffer.
QByteArray choosePlatform(const QByteArray& requested, const QByteArray& display,
                          const QByteArray& waylandDisplay);

// An input device as its event bits describe it.
struct InputCapabilities {
    std::bitset<EV_CNT> events;
    std::bitset<KEY_CNT> keys;
    std::bitset<ABS_CNT> absolute;
    std::bitset<REL_CNT> relative;
};

enum class InputKind { Other, Keyboard, Mouse, Tablet, TouchScreen };

InputKind classifyInputDevice(const InputCapabilities& device);

// The toolkit's evdev settings for a device without udev: every keyboard
// (a phone's keypad and power key among them), mice and tablets as one
// pointer set (tablets by absolute position), and the touch screens.
struct EvdevSettings {
    QByteArray keyboard;
    QByteArray mouse;
    QByteArray touchScreen;
    bool hideCursor = true; // no mouse to point with
};

struct InputDevice {
    QByteArray node; // /dev/input/eventN
    InputKind kind;
};

EvdevSettings evdevSettings(const QList<InputDevice>& devices);

// Sets the environment the toolkit reads: the platform, and on a
// framebuffer without udev (Debian's toolkit would use libinput, which
// needs it) the evdev devices found in /dev/input, unless the user has
// named them already.
void prepareDeviceEnvironment();
