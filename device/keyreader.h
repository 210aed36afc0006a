#pragma once

#include "inputtranslator.h"
#include "keymap.h"

#include <QByteArray>
#include <QHash>
#include <QObject>

#include <memory>

class QFileSystemWatcher;
struct libevdev;

// The inputs the toolkit does not read as the phone's keys, read here and
// given to the focused window as its key events: pads (the toolkit has no
// reader for them), and on a device the keyboards that the owner's keymap
// changes. Those are read alone (grabbed), so that no key comes twice,
// except one that carries the power key, which stays the system's. Devices
// that come while the front-end runs are read too.
class KeyReader : public QObject
{
    Q_OBJECT
public:
    // keyboards: also read keyboards the keymap changes (on a framebuffer,
    // where the toolkit reads them from the same nodes).
    KeyReader(Keymap keymap, bool keyboards, QObject* parent = nullptr);
    ~KeyReader() override;

    // The owner's keymap files read, their errors on standard error.
    static Keymap ownersKeymap();

private:
    struct Device;
    void scan();
    void open(const QByteArray& node);
    void read(Device& device);
    void close(const QByteArray& node);

    Keymap keymap_;
    bool keyboards_;
    QFileSystemWatcher* watcher_ = nullptr;
    QHash<QByteArray, std::shared_ptr<Device>> devices_;
    QHash<QByteArray, bool> skipped_; // nodes read once and left to others
};
