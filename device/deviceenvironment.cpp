#include "deviceenvironment.h"

#include <fontconfig/fontconfig.h>

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace
{
const QByteArray platformVariable = QByteArrayLiteral("QT_QPA_PLATFORM");
const QByteArray framebufferVariable = QByteArrayLiteral("FRAMEBUFFER");

// A platform is a list of "name:parameter:..." entries separated by ';',
// tried in turn.
bool isFramebuffer(const QByteArray& entry)
{
    return entry == "linuxfb" || entry.startsWith("linuxfb:");
}

QByteArray framebufferParameter(const QByteArray& entry)
{
    const QList<QByteArray> parameters = entry.split(':');
    for (qsizetype i = 1; i < parameters.size(); ++i)
        if (parameters[i].startsWith("fb=") && parameters[i].size() > 3)
            return parameters[i].mid(3);
    return {};
}
} // namespace

QByteArray choosePlatform(const QByteArray& requested, const QByteArray& display,
                          const QByteArray& waylandDisplay)
{
    if (!requested.isEmpty())
        return requested;
    if (!display.isEmpty() && !waylandDisplay.isEmpty())
        return QByteArrayLiteral("xcb;wayland;linuxfb");
    if (!display.isEmpty())
        return QByteArrayLiteral("xcb;linuxfb");
    if (!waylandDisplay.isEmpty())
        return {};
    return QByteArrayLiteral("linuxfb");
}

QByteArray chooseFramebuffer(const QByteArray& platform, const QByteArray& framebuffer)
{
    for (const QByteArray& entry : platform.split(';'))
        if (isFramebuffer(entry) && !framebufferParameter(entry).isEmpty())
            return framebufferParameter(entry);
    return framebuffer.isEmpty() ? QByteArrayLiteral("/dev/fb0") : framebuffer;
}

Environment deviceEnvironment(const Environment& current, bool udev,
                              const std::function<QList<InputDevice>()>& findInputs)
{
    Environment set;
    const auto setUnlessSet = [&](const QByteArray& name, const QByteArray& value) {
        if (!value.isEmpty() && !current.contains(name))
            set.insert(name, value);
    };
    QList<QByteArray> platform =
        choosePlatform(current.value(platformVariable), current.value("DISPLAY"),
                       current.value("WAYLAND_DISPLAY"))
            .split(';');
    if (platform.join(';').isEmpty())
        return set;
    const QByteArray device =
        chooseFramebuffer(platform.join(';'), current.value(framebufferVariable));
    bool framebuffer = false;
    for (QByteArray& entry : platform) {
        if (!isFramebuffer(entry))
            continue;
        framebuffer = true;
        if (framebufferParameter(entry).isEmpty())
            entry += ":fb=" + device;
    }
    set.insert(platformVariable, platform.join(';'));
    if (!framebuffer)
        return set;
    set.insert(framebufferVariable, device);
    if (udev) {
        // The toolkit finds the inputs itself, and draws a pointer wherever
        // one is: a phone's taps (a tablet, a touch screen) want none.
        if (evdevSettings(findInputs()).hideCursor)
            setUnlessSet("QT_QPA_FB_HIDECURSOR", "1");
        return set;
    }
    setUnlessSet("QT_QPA_FB_NO_LIBINPUT", "1");
    if (current.contains("QT_QPA_EVDEV_KEYBOARD_PARAMETERS") ||
        current.contains("QT_QPA_EVDEV_MOUSE_PARAMETERS") ||
        current.contains("QT_QPA_EVDEV_TOUCHSCREEN_PARAMETERS"))
        return set;
    const EvdevSettings settings = evdevSettings(findInputs());
    setUnlessSet("QT_QPA_EVDEV_KEYBOARD_PARAMETERS", settings.keyboard);
    setUnlessSet("QT_QPA_EVDEV_MOUSE_PARAMETERS", settings.mouse);
    setUnlessSet("QT_QPA_EVDEV_TOUCHSCREEN_PARAMETERS", settings.touchScreen);
    if (settings.hideCursor)
        setUnlessSet("QT_QPA_FB_HIDECURSOR", "1");
    return set;
}

QByteArray deviceFontConfiguration(const Environment& current, const QByteArray& platform,
                                   const QByteArray& shipped)
{
    const QByteArray first = platform.split(';').first();
    const bool device = isFramebuffer(first) || first == "eglfs" || first.startsWith("eglfs:");
    if (!device || current.contains("FONTCONFIG_FILE") || current.contains("FONTCONFIG_PATH"))
        return {};
    return shipped;
}

void loadFontConfiguration()
{
    FcConfig* config = FcConfigCreate();
    if (!config)
        return;
    if (FcConfigParseAndLoad(config, nullptr, FcTrue) && FcConfigBuildFonts(config))
        FcConfigSetCurrent(config);
    FcConfigDestroy(config);
}

QByteArray deviceRefusal(const Environment& settled, bool framebufferThere,
                         const QList<InputDevice>& inputs)
{
    if (!isFramebuffer(settled.value(platformVariable).split(';').first()))
        return {};
    if (!framebufferThere)
        return "no framebuffer at " + settled.value(framebufferVariable);
    const bool keys = std::any_of(inputs.begin(), inputs.end(), [](const InputDevice& device) {
        return device.kind == InputKind::Keyboard || device.kind == InputKind::Pad;
    });
    if (!keys && !settled.contains("QT_QPA_EVDEV_KEYBOARD_PARAMETERS"))
        return "no keys to read in /dev/input (is the user in the input group?)";
    return {};
}

void prepareDeviceEnvironment(int argc, char** argv)
{
    Environment current;
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY", "FRAMEBUFFER",
                             "QT_QPA_FB_NO_LIBINPUT", "QT_QPA_EVDEV_KEYBOARD_PARAMETERS",
                             "QT_QPA_EVDEV_MOUSE_PARAMETERS", "QT_QPA_EVDEV_TOUCHSCREEN_PARAMETERS",
                             "QT_QPA_FB_HIDECURSOR", "FONTCONFIG_FILE", "FONTCONFIG_PATH"})
        if (qEnvironmentVariableIsSet(name))
            current.insert(name, qgetenv(name));
    // The toolkit takes the last one, with one dash or two.
    int given = -1;
    for (int i = 1; i + 1 < argc; ++i)
        if (qstrcmp(argv[i], "-platform") == 0 || qstrcmp(argv[i], "--platform") == 0)
            given = ++i;
    if (given > 0)
        current.insert(platformVariable, argv[given]);
    const Environment set = deviceEnvironment(
        current, QFileInfo::exists(QStringLiteral("/run/udev/control")), findInputDevices);
    for (auto it = set.begin(); it != set.end(); ++it)
        qputenv(it.key().constData(), it.value());
    // Most of a start on a device is the system's font configuration.
    const QString shipped =
        QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath() + QStringLiteral("/fonts.conf");
    const QByteArray fonts = deviceFontConfiguration(
        current, set.value(platformVariable, current.value(platformVariable)),
        QFileInfo::exists(shipped) ? QFile::encodeName(shipped) : QByteArray());
    if (!fonts.isEmpty()) {
        qputenv("FONTCONFIG_FILE", fonts);
        loadFontConfiguration();
    }
    if (given > 0 && set.contains(platformVariable)) {
        // Lives as long as argv, which the toolkit keeps.
        static QByteArray settled;
        settled = set.value(platformVariable);
        argv[given] = settled.data();
    }
}

bool deviceIsUsable()
{
    Environment now;
    for (const char* name : {"QT_QPA_PLATFORM", "FRAMEBUFFER", "QT_QPA_EVDEV_KEYBOARD_PARAMETERS"})
        if (qEnvironmentVariableIsSet(name))
            now.insert(name, qgetenv(name));
    const QString framebuffer = QFile::decodeName(now.value(framebufferVariable));
    const bool device = isFramebuffer(now.value(platformVariable).split(';').first());
    for (int tenths = 0; device && tenths < 300 && !QFileInfo::exists(framebuffer); ++tenths)
        usleep(100000);
    const QByteArray refusal = deviceRefusal(now, QFileInfo::exists(framebuffer),
                                             device ? findInputDevices() : QList<InputDevice>());
    if (!refusal.isEmpty())
        std::fprintf(stderr, "tarragon: %s\n", refusal.constData());
    return refusal.isEmpty();
}
