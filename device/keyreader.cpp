#include "keyreader.h"

#include "inputdevices.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileSystemWatcher>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QSocketNotifier>
#include <QWindow>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <libevdev/libevdev.h>
#include <unistd.h>

namespace
{
const QString inputDirectory = QStringLiteral("/dev/input");
} // namespace

struct KeyReader::Device {
    Device(int descriptor, libevdev* evdev, InputTranslator keys)
        : fd(descriptor), dev(evdev), translator(std::move(keys))
    {
    }
    ~Device()
    {
        notifier.reset();
        libevdev_free(dev);
        ::close(fd);
    }
    int fd;
    libevdev* dev;
    InputTranslator translator;
    std::unique_ptr<QSocketNotifier> notifier;
};

KeyReader::KeyReader(Keymap keymap, bool keyboards, QObject* parent)
    : QObject(parent), keymap_(std::move(keymap)), keyboards_(keyboards)
{
    if (!QDir(inputDirectory).exists())
        return;
    // A pad plugged in (or its permissions set by udev) changes the folder.
    watcher_ = new QFileSystemWatcher(QStringList{inputDirectory}, this);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &KeyReader::scan);
    scan();
}

KeyReader::~KeyReader() = default;

Keymap KeyReader::ownersKeymap()
{
    QList<QByteArray> errors;
    const Keymap keymap =
        loadKeymaps(keymapFiles(qgetenv("XDG_CONFIG_HOME"), qgetenv("HOME")), errors);
    for (const QByteArray& error : errors)
        std::fprintf(stderr, "tarragon: %s\n", error.constData());
    return keymap;
}

void KeyReader::scan()
{
    const QStringList names =
        QDir(inputDirectory, QStringLiteral("event*"), QDir::Name, QDir::System).entryList();
    QList<QByteArray> nodes;
    for (const QString& name : names)
        nodes.append(QFile::encodeName(inputDirectory + '/' + name));
    // One whose reads failed was unplugged: a pad plugged in again may have
    // its node's name by now.
    for (const QByteArray& node : devices_.keys())
        if (!nodes.contains(node) || !devices_.value(node)->notifier->isEnabled())
            close(node);
    for (auto it = skipped_.begin(); it != skipped_.end();)
        it = nodes.contains(it.key()) ? std::next(it) : skipped_.erase(it);
    for (const QByteArray& node : nodes)
        open(node);
}

void KeyReader::open(const QByteArray& node)
{
    if (devices_.contains(node) || skipped_.contains(node))
        return;
    // One this user may not read (yet: udev sets a new node's group just
    // after it appears) is tried again at the folder's next change.
    const int fd = ::open(node.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    libevdev* dev = nullptr;
    if (libevdev_new_from_fd(fd, &dev) < 0) {
        ::close(fd);
        skipped_.insert(node, true);
        return;
    }
    std::bitset<KEY_CNT> keys;
    std::bitset<ABS_CNT> absolute;
    for (unsigned code = 0; code < KEY_CNT; ++code)
        keys[code] = libevdev_has_event_code(dev, EV_KEY, code) == 1;
    for (unsigned code = 0; code < ABS_CNT; ++code)
        absolute[code] = libevdev_has_event_code(dev, EV_ABS, code) == 1;
    const bool pad = hasPadButtons(keys);
    const bool power = keys.test(KEY_POWER);
    bool remapped = false;
    for (auto it = keymap_.cbegin(); it != keymap_.cend(); ++it)
        remapped = remapped || keys.test(size_t(it.key()));
    if (!pad && !(keyboards_ && remapped && !power)) {
        libevdev_free(dev);
        ::close(fd);
        skipped_.insert(node, true);
        return;
    }
    const QList<InputTranslator::Axis> axes =
        pad ? InputTranslator::padAxes(
                  absolute, keys,
                  [&](int code) {
                      const input_absinfo* info = libevdev_get_abs_info(dev, unsigned(code));
                      return InputTranslator::Axis{code, info ? info->minimum : 0,
                                                   info ? info->maximum : 0};
                  })
            : QList<InputTranslator::Axis>();
    // On a device the toolkit may read the same node; the power key's node
    // is logind's as well.
    if (keyboards_ && !power)
        libevdev_grab(dev, LIBEVDEV_GRAB);
    auto device =
        std::make_shared<Device>(fd, dev, InputTranslator(deviceLayout(pad, keymap_), axes, !pad));
    device->notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    Device* raw = device.get();
    connect(device->notifier.get(), &QSocketNotifier::activated, this, [this, raw] { read(*raw); });
    devices_.insert(node, device);
}

void KeyReader::close(const QByteArray& node)
{
    devices_.remove(node);
}

void KeyReader::read(Device& device)
{
    input_event event{};
    unsigned flags = LIBEVDEV_READ_FLAG_NORMAL;
    for (;;) {
        const int status = libevdev_next_event(device.dev, flags, &event);
        if (status == LIBEVDEV_READ_STATUS_SYNC) {
            // Events were dropped: libevdev replays the state they changed.
            flags = LIBEVDEV_READ_FLAG_SYNC;
        } else if (status == -EAGAIN) {
            if (flags == LIBEVDEV_READ_FLAG_NORMAL)
                return;
            flags = LIBEVDEV_READ_FLAG_NORMAL;
            continue;
        } else if (status < 0) {
            // Unplugged: the folder's change closes it, if it has not yet.
            device.notifier->setEnabled(false);
            return;
        }
        const QList<InputTranslator::Key> keys =
            device.translator.feed(event.type, event.code, event.value);
        QWindow* window = QGuiApplication::focusWindow();
        for (const InputTranslator::Key& key : keys) {
            if (!window)
                break;
            auto* keyEvent = new QKeyEvent(key.press ? QEvent::KeyPress : QEvent::KeyRelease,
                                           key.key, Qt::NoModifier, QString(), key.autoRepeat);
            keyEvent->setTimestamp(quint64(event.input_event_sec) * 1000 +
                                   quint64(event.input_event_usec) / 1000);
            QCoreApplication::postEvent(window, keyEvent);
        }
    }
}
