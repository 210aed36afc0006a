#include "deviceenvironment.h"

#include <QDir>
#include <QFileInfo>

#include <array>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

QByteArray choosePlatform(const QByteArray& requested, const QByteArray& display,
                          const QByteArray& waylandDisplay)
{
    if (!requested.isEmpty())
        return requested;
    if (!display.isEmpty())
        return QByteArrayLiteral("xcb");
    if (!waylandDisplay.isEmpty())
        return {};
    return QByteArrayLiteral("linuxfb");
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

QList<InputDevice> inputDevices()
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

void setUnlessSet(const char* name, const QByteArray& value)
{
    if (!value.isEmpty() && !qEnvironmentVariableIsSet(name))
        qputenv(name, value);
}
} // namespace

void prepareDeviceEnvironment()
{
    const QByteArray platform =
        choosePlatform(qgetenv("QT_QPA_PLATFORM"), qgetenv("DISPLAY"), qgetenv("WAYLAND_DISPLAY"));
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);
    if (!platform.startsWith("linuxfb") || QFileInfo::exists(QStringLiteral("/run/udev/control")))
        return;
    if (qEnvironmentVariableIsSet("QT_QPA_EVDEV_KEYBOARD_PARAMETERS") ||
        qEnvironmentVariableIsSet("QT_QPA_EVDEV_MOUSE_PARAMETERS") ||
        qEnvironmentVariableIsSet("QT_QPA_EVDEV_TOUCHSCREEN_PARAMETERS"))
        return;
    const EvdevSettings settings = evdevSettings(inputDevices());
    setUnlessSet("QT_QPA_FB_NO_LIBINPUT", "1");
    setUnlessSet("QT_QPA_EVDEV_KEYBOARD_PARAMETERS", settings.keyboard);
    setUnlessSet("QT_QPA_EVDEV_MOUSE_PARAMETERS", settings.mouse);
    setUnlessSet("QT_QPA_EVDEV_TOUCHSCREEN_PARAMETERS", settings.touchScreen);
    if (settings.hideCursor)
        setUnlessSet("QT_QPA_FB_HIDECURSOR", "1");
}
