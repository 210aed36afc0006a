#pragma once

#include "inputdevices.h"

#include <QByteArray>
#include <QHash>

#include <functional>

// What the front-end runs on, settled before the toolkit starts.

// The toolkit platform to ask for, or empty for the toolkit's own choice. A
// platform the user asked for stays. With an X display the front-end is an
// X client, also under XWayland, so the player can draw into its window;
// for a display that is not there (a stale DISPLAY) Wayland comes next
// where there is one, then the framebuffer. With Wayland alone the toolkit
// chooses; with no display at all it is a device, drawing on the
// framebuffer.
QByteArray choosePlatform(const QByteArray& requested, const QByteArray& display,
                          const QByteArray& waylandDisplay);

// The framebuffer, one for the toolkit, the player and display sleep: the
// one the platform names (linuxfb:fb=DEVICE), else FRAMEBUFFER, else
// /dev/fb0.
QByteArray chooseFramebuffer(const QByteArray& platform, const QByteArray& framebuffer);

// Environment variables by name, set ones only.
using Environment = QHash<QByteArray, QByteArray>;

// The variables to set, given those set now: the platform; where it may be
// the framebuffer, that framebuffer named both for the toolkit and, in
// FRAMEBUFFER, for the player; without udev (the toolkit's libinput
// needs it) the toolkit's own evdev input instead, on the devices that
// findInputs gives unless the user has named theirs; either way, no
// pointer drawn where findInputs gives no mouse.
Environment deviceEnvironment(const Environment& current, bool udev,
                              const std::function<QList<InputDevice>()>& findInputs);

// The font configuration to name in FONTCONFIG_FILE: on a device (the
// platform's first choice a framebuffer), the lean one that ships beside
// the program, if it does; never over the user's own configuration, and
// never on a desktop, whose fonts may be wanted.
QByteArray deviceFontConfiguration(const Environment& current, const QByteArray& platform,
                                   const QByteArray& shipped);

// fontconfig started on FONTCONFIG_FILE alone, for the toolkit to find
// started. Its own start also reads the description of every
// configuration the system could turn on, which only its listing tool
// shows: on the lean file, nearly all of the work.
void loadFontConfiguration();

// Why a device cannot be used, given its settled environment, or empty:
// where the framebuffer is the platform's first choice, no framebuffer to
// draw on, or no key to read (a user outside the input group reads none)
// and none named. Such a front-end ends at once with a failure, so that a
// service manager gives the console back its login prompt.
QByteArray deviceRefusal(const Environment& settled, bool framebufferThere,
                         const QList<InputDevice>& inputs);

// Sets this process's environment so, and the font configuration. A
// platform given on the command line ("-platform linuxfb:fb=/dev/fb1") is
// the user's, as the toolkit takes it: it wins over QT_QPA_PLATFORM, and
// argv is given the settled one.
void prepareDeviceEnvironment(int argc, char** argv);

// With the environment settled: a framebuffer that is not there yet (a
// panel whose driver loads late) waited for, up to 30 seconds; false, with
// the reason on standard error, for a device that cannot be used.
bool deviceIsUsable();
