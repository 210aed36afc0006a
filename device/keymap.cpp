#include "keymap.h"

#include <QFile>

#include <libevdev/libevdev.h>

namespace
{
struct NamedKey {
    const char* name;
    int key;
};

// The keys the front-end acts on, by the names its key tables give them.
constexpr NamedKey phoneKeys[] = {
    {"none", 0},
    {"Key_Escape", Qt::Key_Escape},
    {"Key_Return", Qt::Key_Return},
    {"Key_Enter", Qt::Key_Return}, // the phone's select key, as the desktop's Return
    {"Key_Left", Qt::Key_Left},
    {"Key_Up", Qt::Key_Up},
    {"Key_Right", Qt::Key_Right},
    {"Key_Down", Qt::Key_Down},
    {"Key_Prior", Qt::Key_PageUp},
    {"Key_Next", Qt::Key_PageDown},
    {"Key_F1", Qt::Key_F1},
    {"Key_F2", Qt::Key_F2},
    {"Key_F3", Qt::Key_F3},
    {"Key_F4", Qt::Key_F4},
    {"Key_F5", Qt::Key_F5},
    {"Key_F6", Qt::Key_F6},
    {"Key_F7", Qt::Key_F7},
    {"Key_F8", Qt::Key_F8},
    {"Key_F9", Qt::Key_F9},
    {"Key_F10", Qt::Key_F10},
    {"Key_F11", Qt::Key_F11},
    {"Key_F12", Qt::Key_F12},
    {"Key_Menu", Qt::Key_Menu},
    {"Key_Back", Qt::Key_Back},
    {"Key_VolumeUp", Qt::Key_VolumeUp},
    {"Key_VolumeDown", Qt::Key_VolumeDown},
    {"Key_VolumeMute", Qt::Key_VolumeMute},
    {"Key_MediaTogglePlayPause", Qt::Key_MediaTogglePlayPause},
    {"Key_MediaStop", Qt::Key_MediaStop},
    {"Key_MediaNext", Qt::Key_MediaNext},
    {"Key_MediaPrevious", Qt::Key_MediaPrevious},
};

Keymap keymapOf(std::initializer_list<std::pair<int, int>> pairs)
{
    Keymap map;
    for (const auto& [code, key] : pairs)
        map.insert(code, key);
    return map;
}
} // namespace

int phoneKeyByName(const QByteArray& name)
{
    for (const NamedKey& key : phoneKeys)
        if (name == key.name)
            return key.key;
    return -1;
}

int evdevCodeByName(const QByteArray& name)
{
    if (!name.startsWith("KEY_") && !name.startsWith("BTN_"))
        return -1;
    const int code = libevdev_event_code_from_name(EV_KEY, name.constData());
    return code >= 0 && code < KEY_CNT ? code : -1;
}

KeymapFile parseKeymap(const QByteArray& text, const QByteArray& fileName)
{
    KeymapFile file;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const qsizetype comment = lines[i].indexOf('#');
        const QByteArray line = (comment < 0 ? lines[i] : lines[i].left(comment)).trimmed();
        if (line.isEmpty())
            continue;
        const QByteArray where = fileName + ':' + QByteArray::number(i + 1) + ": ";
        const qsizetype equals = line.indexOf('=');
        if (equals < 0 || line.indexOf('=', equals + 1) >= 0) {
            file.errors.append(where + "not CODE = KEY: " + line);
            continue;
        }
        const QByteArray codeName = line.left(equals).trimmed();
        const QByteArray keyName = line.mid(equals + 1).trimmed();
        const int code = evdevCodeByName(codeName);
        const int key = phoneKeyByName(keyName);
        if (code < 0)
            file.errors.append(where + "no such key or button code: " + codeName);
        else if (key < 0)
            file.errors.append(where + "no such phone key: " + keyName);
        else
            file.keys.insert(code, key);
    }
    return file;
}

QList<QByteArray> keymapFiles(const QByteArray& xdgConfigHome, const QByteArray& home)
{
    QList<QByteArray> files{"/etc/tarragon/keymap"};
    // As the XDG base directories have it: a relative one is ignored.
    if (xdgConfigHome.startsWith('/'))
        files.append(xdgConfigHome + "/tarragon/keymap");
    else if (!home.isEmpty())
        files.append(home + "/.config/tarragon/keymap");
    return files;
}

Keymap loadKeymaps(const QList<QByteArray>& files, QList<QByteArray>& errors)
{
    Keymap keys;
    for (const QByteArray& name : files) {
        QFile file(QFile::decodeName(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        // A keymap is a few dozen lines; more is not one.
        const KeymapFile read = parseKeymap(file.read(64 * 1024), name);
        keys.insert(read.keys);
        errors.append(read.errors);
    }
    return keys;
}

const Keymap& defaultPadLayout()
{
    static const Keymap layout = keymapOf({
        {BTN_DPAD_UP, Qt::Key_Up},
        {BTN_DPAD_DOWN, Qt::Key_Down},
        {BTN_DPAD_LEFT, Qt::Key_Left},
        {BTN_DPAD_RIGHT, Qt::Key_Right},
        {BTN_SOUTH, Qt::Key_Return},
        {BTN_EAST, Qt::Key_Back},
        {BTN_NORTH, Qt::Key_F6},
        {BTN_WEST, Qt::Key_F9},
        {BTN_TL, Qt::Key_PageDown},
        {BTN_TR, Qt::Key_PageUp},
        {BTN_TL2, Qt::Key_F10},
        {BTN_TR2, Qt::Key_F4},
        {BTN_SELECT, Qt::Key_F2},
        {BTN_START, Qt::Key_F1},
        {BTN_MODE, Qt::Key_F4},
        {BTN_THUMBL, Qt::Key_F10},
        {BTN_THUMBR, Qt::Key_F4},
        // A generic USB pad's buttons, as the common SNES-like ones number
        // them: X, A, B, Y, L, R, L2, R2, Select, Start.
        {BTN_TRIGGER, Qt::Key_F6},
        {BTN_THUMB, Qt::Key_Return},
        {BTN_THUMB2, Qt::Key_Back},
        {BTN_TOP, Qt::Key_F9},
        {BTN_TOP2, Qt::Key_PageDown},
        {BTN_PINKIE, Qt::Key_PageUp},
        {BTN_BASE, Qt::Key_F10},
        {BTN_BASE2, Qt::Key_F4},
        {BTN_BASE3, Qt::Key_F2},
        {BTN_BASE4, Qt::Key_F1},
    });
    return layout;
}

const Keymap& defaultKeyboardLayout()
{
    static const Keymap layout = keymapOf({
        {KEY_ESC, Qt::Key_Escape},
        {KEY_ENTER, Qt::Key_Return},
        {KEY_KPENTER, Qt::Key_Enter},
        {KEY_LEFT, Qt::Key_Left},
        {KEY_UP, Qt::Key_Up},
        {KEY_RIGHT, Qt::Key_Right},
        {KEY_DOWN, Qt::Key_Down},
        {KEY_PAGEUP, Qt::Key_PageUp},
        {KEY_PAGEDOWN, Qt::Key_PageDown},
        {KEY_F1, Qt::Key_F1},
        {KEY_F2, Qt::Key_F2},
        {KEY_F3, Qt::Key_F3},
        {KEY_F4, Qt::Key_F4},
        {KEY_F5, Qt::Key_F5},
        {KEY_F6, Qt::Key_F6},
        {KEY_F7, Qt::Key_F7},
        {KEY_F8, Qt::Key_F8},
        {KEY_F9, Qt::Key_F9},
        {KEY_F10, Qt::Key_F10},
        {KEY_F11, Qt::Key_F11},
        {KEY_F12, Qt::Key_F12},
        {KEY_MENU, Qt::Key_Menu},
        {KEY_BACK, Qt::Key_Back},
        {KEY_VOLUMEUP, Qt::Key_VolumeUp},
        {KEY_VOLUMEDOWN, Qt::Key_VolumeDown},
        {KEY_MUTE, Qt::Key_VolumeMute},
        {KEY_PLAYPAUSE, Qt::Key_MediaTogglePlayPause},
        {KEY_PLAYCD, Qt::Key_MediaTogglePlayPause},
        {KEY_PAUSECD, Qt::Key_MediaTogglePlayPause},
        {KEY_STOP, Qt::Key_MediaStop},
        {KEY_STOPCD, Qt::Key_MediaStop},
        {KEY_NEXTSONG, Qt::Key_MediaNext},
        {KEY_PREVIOUSSONG, Qt::Key_MediaPrevious},
    });
    return layout;
}

Keymap deviceLayout(bool pad, const Keymap& owners)
{
    Keymap layout = defaultKeyboardLayout();
    if (pad)
        layout.insert(defaultPadLayout());
    layout.insert(owners);
    return layout;
}
