#include "signalwake.h"

#include <QSocketNotifier>

#include <array>
#include <fcntl.h>
#include <unistd.h>

SignalWake::SignalWake()
{
    int ends[2];
    if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) == 0) {
        readEnd_ = ends[0];
        writeEnd_ = ends[1];
    }
}

void SignalWake::notify() const
{
    // A full pipe already holds a wake.
    if (writeEnd_ >= 0) {
        [[maybe_unused]] const ssize_t written = write(writeEnd_, "w", 1);
    }
}

bool SignalWake::onWake(QObject* owner, std::function<void()> act) const
{
    if (readEnd_ < 0)
        return false;
    auto* notifier = new QSocketNotifier(readEnd_, QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, owner,
                     [fd = readEnd_, act = std::move(act)] {
                         std::array<char, 64> wakes{};
                         while (read(fd, wakes.data(), wakes.size()) > 0) {
                         }
                         act();
                     });
    return true;
}
