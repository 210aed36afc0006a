#include "inputdevices.h"

#include <QDir>
#include <QFile>

#include <array>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

bool hasPadButtons(const std::bitset<KEY_CNT>& keys)
{
    for (int button = BTN_JOYSTICK; button < BTN_DIGI; ++button)
        if (keys.test(static_cast<size_t>(button)))
            return true;
    return keys.test(BTN_DPAD_UP) || keys.test(BTN_DPAD_LEFT);
}

InputKind classifyInputDevice(const InputCapabilities& device)
{
    const bool position =
        device.events.test(EV_ABS) && device.absolute.test(ABS_X) && device.absolute.test(ABS_Y);
    if (device.events.test(EV_ABS) &&
        (device.absolute.test(ABS_MT_POSITION_X) || (position && device.keys.test(BTN_TOUCH))))
        return InputKind::TouchScreen;
    if (position && device.keys.test(BTN_LEFT))
        return InputKind::Tablet;
    if (device.events.test(EV_REL) && device.relative.test(REL_X) && device.relative.test(REL_Y) &&
        device.keys.test(BTN_LEFT))
        return InputKind::Mouse;
    if (device.events.test(EV_KEY) && hasPadButtons(device.keys))
        return InputKind::Pad;
    // Keys below the buttons, as the console's own keyboard handler counts
    // them: a keyboard, a keypad, or a single power key.
    if (device.events.test(EV_KEY))
        for (int key = KEY_ESC; key < BTN_MISC; ++key)
            if (device.keys.test(static_cast<size_t>(key)))
                return InputKind::Keyboard;
    return InputKind::Other;
}

EvdevSettings evdevSettings(const QList<InputDevice>& devices)
{
    EvdevSettings settings;
    QList<QByteArray> keyboards, pointers, touchScreens;
    bool tablet = false;
    for (const InputDevice& device : devices) {
        switch (device.kind) {
        case InputKind::Keyboard:
            keyboards.append(device.node);
            break;
        case InputKind::Mouse:
            pointers.append(device.node);
            settings.hideCursor = false;
            break;
        case InputKind::Tablet:
            pointers.append(device.node);
            tablet = true;
            break;
        case InputKind::TouchScreen:
            touchScreens.append(device.node);
            break;
        case InputKind::Other:
        case InputKind::Pad:
            break;
        }
    }
    settings.keyboard = keyboards.join(':');
    settings.mouse = pointers.join(':');
    // Mice ignore it; tablets report positions, scaled to the screen.
    if (tablet)
        settings.mouse += ":abs";
    settings.touchScreen = touchScreens.join(':');
    return settings;
}

namespace
{
template <size_t N> bool readBits(int fd, unsigned type, std::bitset<N>& bits)
{
    std::array<unsigned char, (N + 7) / 8> bytes{};
    if (ioctl(fd, EVIOCGBIT(type, bytes.size()), bytes.data()) < 0)
        return false;
    for (size_t i = 0; i < N; ++i)
        bits[i] = (bytes[i / 8] >> (i % 8)) & 1U;
    return true;
}
} // namespace

QList<InputDevice> findInputDevices()
{
    QList<InputDevice> devices;
    const QStringList nodes =
        QDir(QStringLiteral("/dev/input"), QStringLiteral("event*"), QDir::Name, QDir::System)
            .entryList();
    for (const QString& name : nodes) {
        const QByteArray node = "/dev/input/" + QFile::encodeName(name);
        const int fd = open(node.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        InputCapabilities device;
        if (readBits(fd, 0, device.events)) {
            readBits(fd, EV_KEY, device.keys);
            readBits(fd, EV_ABS, device.absolute);
            readBits(fd, EV_REL, device.relative);
            devices.append({node, classifyInputDevice(device)});
        }
        close(fd);
    }
    return devices;
}
