#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>

// Which key of the phone each evdev key or button code is, for the inputs
// the front-end reads itself (pads, and keyboards with a keymap of the
// owner's). Keys are the toolkit's codes (Qt::Key), as the front-end's
// keys arrive; 0 is a code that does nothing.
using Keymap = QHash<int, int>;

// The phone's key by its name ("Key_Enter", "Key_F1", "Key_VolumeUp"; "none"
// is 0), or -1.
int phoneKeyByName(const QByteArray& name);

// An EV_KEY code by its Linux name (KEY_LEFTCTRL, BTN_SOUTH, BTN_A), or -1.
int evdevCodeByName(const QByteArray& name);

struct KeymapFile {
    Keymap keys;
    QList<QByteArray> errors; // "FILE:LINE: what is wrong"
};

// Lines "CODE = KEY", one mapping each; '#' starts a comment. A line that is
// not one is reported and skipped; the rest applies.
KeymapFile parseKeymap(const QByteArray& text, const QByteArray& fileName);

// The system's keymap, then the user's ($XDG_CONFIG_HOME or ~/.config).
QList<QByteArray> keymapFiles(const QByteArray& xdgConfigHome, const QByteArray& home);

// The files that are there, read in turn, a later file's line winning over
// an earlier one's for its code; their errors appended to errors.
Keymap loadKeymaps(const QList<QByteArray>& files, QList<QByteArray>& errors);

// A pad's buttons with no keymap line for them.
const Keymap& defaultPadLayout();

// A keyboard's keys, read here, with no keymap line for them: the phone's
// keys and the media keys, as the toolkit's own reader gives them.
const Keymap& defaultKeyboardLayout();

// A device's keys as the front-end reads them: a keyboard's phone and media
// keys, a pad's buttons, then the owner's lines over both.
Keymap deviceLayout(bool pad, const Keymap& owners);
