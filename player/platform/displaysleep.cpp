#include "displaysleep.h"

#include "consoleblank.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QTimer>

#include <cstdlib>
#include <fcntl.h>
#include <linux/fb.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace
{
const char* const consoleBlank = "/sys/module/kernel/parameters/consoleblank";

int readSeconds(const QByteArray& path)
{
    const int fd = open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    char text[32] = {};
    const ssize_t n = read(fd, text, sizeof text - 1);
    close(fd);
    return n > 0 ? std::atoi(text) : -1;
}

// The framebuffer the toolkit draws on: its "fb=" parameter, else the first.
QByteArray framebufferDevice()
{
    const QList<QByteArray> parameters = qgetenv("QT_QPA_PLATFORM").split(':');
    for (const QByteArray& parameter : parameters)
        if (parameter.startsWith("fb="))
            return parameter.mid(3);
    return QByteArrayLiteral("/dev/fb0");
}

bool isInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
        return true;
    default:
        return false;
    }
}

bool isRelease(QEvent::Type type)
{
    return type == QEvent::KeyRelease || type == QEvent::MouseButtonRelease ||
           type == QEvent::TouchEnd;
}
} // namespace

DisplaySleep::DisplaySleep(QByteArray setting, Blank blank, QObject* parent)
    : QObject(parent), setting_(std::move(setting)), blank_(std::move(blank))
{
    sinceInput_.start();
    QCoreApplication::instance()->installEventFilter(this);
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &DisplaySleep::check);
    timer->start(1000);
}

DisplaySleep::~DisplaySleep()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
    setBlanked(false);
}

int DisplaySleep::consoleSetting()
{
    return readSeconds(consoleBlank);
}

void DisplaySleep::restoreConsoleSetting(int seconds)
{
    if (seconds >= 0)
        setConsoleBlank("/dev/tty0", seconds);
}

DisplaySleep* DisplaySleep::forFramebuffer(QObject* parent, int settingBefore)
{
    if (QGuiApplication::platformName() != QLatin1String("linuxfb"))
        return nullptr;
    restoreConsoleSetting(settingBefore);
    const QByteArray device = framebufferDevice();
    return new DisplaySleep(
        QByteArray(consoleBlank),
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
    const int seconds = readSeconds(setting_);
    seconds_ = seconds;
    if (seconds <= 0)
        setBlanked(false);
    else if (sinceInput_.elapsed() >= qint64(seconds) * 1000)
        setBlanked(true);
}

void DisplaySleep::setBlanked(bool blanked)
{
    if (blanked == blanked_)
        return;
    blanked_ = blanked;
    blank_(blanked);
}

bool DisplaySleep::eventFilter(QObject* watched, QEvent* event)
{
    if (!isInput(event->type()))
        return QObject::eventFilter(watched, event);
    sinceInput_.restart();
    if (blanked_) {
        setBlanked(false);
        swallowRelease_ = !isRelease(event->type());
        return true;
    }
    if (swallowRelease_ && isRelease(event->type())) {
        swallowRelease_ = false;
        return true;
    }
    return QObject::eventFilter(watched, event);
}
