#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>

#include <functional>

// The display's sleep on a framebuffer that the front-end owns. The phone's
// sleep time is the console's blanking timeout, which panelrest sets; but
// the kernel never blanks a console in graphics mode, and the toolkit holds
// the console in graphics mode while it draws on the framebuffer. So the
// framebuffer's owner does it: after that long without input the display
// is blanked, and the next input lights it again and goes no further.
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
    // framebuffer blanked through the kernel. Elsewhere nothing. The
    // toolkit turns the console's timeout off when it starts, and sets its
    // own 15 minutes when it ends: settingBefore, read before it started,
    // is put back at once, and the owner puts back seconds() at the end.
    static DisplaySleep* forFramebuffer(QObject* parent, int settingBefore);
    // The console's timeout in seconds; -1 when it cannot be read.
    static int consoleSetting();
    static void restoreConsoleSetting(int seconds);
    // The setting as last read.
    int seconds() const { return seconds_; }

    bool isBlanked() const { return blanked_; }
    // Reads the setting and blanks or lights as it says; the owner's timer
    // calls it about once a second.
    void check();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setBlanked(bool blanked);

    QByteArray setting_;
    Blank blank_;
    QElapsedTimer sinceInput_;
    int seconds_ = 0;
    bool blanked_ = false;
    // The press that woke the display: its release goes no further either.
    bool swallowRelease_ = false;
};
