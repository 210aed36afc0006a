#include "displaysleep.h"

#include "console.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QTimer>

#include <algorithm>

#include <fcntl.h>
#include <linux/fb.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace
{
// Input that follows the waking input closer than this is part of it: a tap
// arrives as a move to its place and then its press.
constexpr qint64 wakingGapMs = 250;

enum class Input { None, Press, Release, Other };

Input inputOf(const QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        // A held key repeats; only its first press and last release count.
        if (static_cast<const QKeyEvent*>(event)->isAutoRepeat())
            return Input::Other;
        return event->type() == QEvent::KeyPress ? Input::Press : Input::Release;
    }
    case QEvent::MouseButtonPress:
    case QEvent::TouchBegin:
        return Input::Press;
    case QEvent::MouseButtonRelease:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
        return Input::Release;
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::TouchUpdate:
        return Input::Other;
    default:
        return Input::None;
    }
}
} // namespace

DisplaySleep::DisplaySleep(QByteArray setting, Blank blank, QObject* parent)
    : QObject(parent), setting_(std::move(setting)), blank_(std::move(blank))
{
    sinceInput_.start();
    QCoreApplication::instance()->installEventFilter(this);
    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, &DisplaySleep::check);
    timer_->start(1000);
}

DisplaySleep::~DisplaySleep()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
    setBlanked(false);
}

DisplaySleep* DisplaySleep::forFramebuffer(QObject* parent, int settingBefore)
{
    if (QGuiApplication::platformName() != QLatin1String("linuxfb"))
        return nullptr;
    if (settingBefore >= 0)
        setConsoleBlank(settingBefore);
    QByteArray device = qgetenv("FRAMEBUFFER");
    if (device.isEmpty())
        device = QByteArrayLiteral("/dev/fb0");
    return new DisplaySleep(
        QByteArray(consoleBlankSetting),
        [device](bool blank) {
            const int fd = open(device.constData(), O_RDWR | O_CLOEXEC);
            if (fd < 0)
                return;
            ioctl(fd, FBIOBLANK, blank ? FB_BLANK_POWERDOWN : FB_BLANK_UNBLANK);
            close(fd);
        },
        parent);
}

void DisplaySleep::check()
{
    const int seconds = consoleBlankSeconds(setting_.constData());
    if (seconds != seconds_) {
        seconds_ = seconds;
        sinceInput_.restart();
    }
    if (seconds <= 0)
        setBlanked(false);
    else if (sinceInput_.elapsed() >= qint64(seconds) * 1000)
        setBlanked(true);
    // Each look wakes the phone: it is looked at when it is due to sleep,
    // and otherwise every few seconds for a setting that changed ("never",
    // as a video asks; a sleep time that comes back a little late counts
    // from then). Asleep, only input or "never" lights it.
    schedule();
}

void DisplaySleep::schedule()
{
    int interval = 5000;
    if (blanked_)
        interval = 10000;
    else if (seconds_ > 0)
        interval = static_cast<int>(std::clamp(qint64(seconds_) * 1000 - sinceInput_.elapsed() + 10,
                                               qint64(250), qint64(5000)));
    if (timer_)
        timer_->start(interval);
}

void DisplaySleep::setBlanked(bool blanked)
{
    if (blanked == blanked_)
        return;
    blanked_ = blanked;
    blank_(blanked);
    schedule();
    emit blankedChanged(blanked);
}

bool DisplaySleep::eventFilter(QObject* watched, QEvent* event)
{
    // Each input comes to its window first; the same event handed on to the
    // window's widgets is not another input.
    const Input input = inputOf(event);
    if (input == Input::None || !watched->isWindowType())
        return QObject::eventFilter(watched, event);
    const qint64 quiet = sinceInput_.elapsed();
    if (blanked_) {
        setBlanked(false);
        waking_ = true;
        held_ = 0;
    } else if (waking_ && held_ == 0 && quiet >= wakingGapMs) {
        waking_ = false;
    }
    // From here: lighting the display may take a while, and the input
    // queued meanwhile is still part of what woke it.
    sinceInput_.restart();
    if (!waking_)
        return QObject::eventFilter(watched, event);
    if (input == Input::Press) {
        ++held_;
    } else if (input == Input::Release && held_ > 0 && --held_ == 0) {
        waking_ = false;
    }
    return true;
}
