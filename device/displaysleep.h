#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>

#include <functional>

class QTimer;

// The display's sleep on a framebuffer that the front-end owns. The phone's
// sleep time is the console's blanking timeout, which panelrest sets; but
// the kernel never blanks a console in graphics mode, and the toolkit holds
// the console in graphics mode while it draws on the framebuffer. So the
// framebuffer's owner does it: after that long without input the display
// is blanked, and the input that lights it again does nothing else.
class DisplaySleep : public QObject
{
    Q_OBJECT
public:
    // blank(true) darkens the display, blank(false) lights it.
    using Blank = std::function<void(bool)>;

    // setting: a file holding the sleep time in seconds, 0 for never.
    DisplaySleep(QByteArray setting, Blank blank, QObject* parent = nullptr);
    ~DisplaySleep() override;

    // On the toolkit's framebuffer platform: the console's timeout, and the
    // framebuffer (FRAMEBUFFER) blanked through the kernel. Elsewhere
    // nothing. The toolkit turns the console's timeout off when it starts:
    // settingBefore, read before it started, is put back at once.
    static DisplaySleep* forFramebuffer(QObject* parent, int settingBefore);

    bool isBlanked() const { return blanked_; }
    // Reads the setting and blanks or lights as it says; a timer calls it
    // when the display is due to sleep, and every few seconds for a setting
    // that changed.
    void check();

signals:
    void blankedChanged(bool blanked);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setBlanked(bool blanked);
    void schedule();

    QByteArray setting_;
    Blank blank_;
    QElapsedTimer sinceInput_;
    QTimer* timer_ = nullptr;
    // The setting as last read: a sleep time that comes back, or changes,
    // counts from then, as the console's own timer does.
    int seconds_ = -1;
    bool blanked_ = false;
    // The input that woke the display goes no further, to its end: a key or
    // a tap until what it pressed is released, a move until it pauses.
    bool waking_ = false;
    int held_ = 0;
};
