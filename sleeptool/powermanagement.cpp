#include "powermanagement.h"

#include "console.h"

#include <unistd.h>

#ifdef PANELREST_HAVE_X11
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/dpms.h>

#include <algorithm>

namespace
{
Display* display = nullptr;

// The desktop's own settings, as "never" found them: the screen saver's
// timeout, interval, blanking and exposures; DPMS's three timeouts and
// whether it was on (-1: no DPMS).
struct DesktopSleep {
    long values[8];
};

Atom savedAtom()
{
    return XInternAtom(display, "_TARRAGON_SAVED_SLEEP", False);
}

bool readSaved(DesktopSleep& saved)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const bool got =
        XGetWindowProperty(display, DefaultRootWindow(display), savedAtom(), 0, 8, False,
                           XA_CARDINAL, &type, &format, &count, &after, &data) == Success &&
        type == XA_CARDINAL && format == 32 && count == 8;
    if (got)
        std::copy_n(reinterpret_cast<const long*>(data), 8, saved.values);
    if (data)
        XFree(data);
    return got;
}

bool hasDpms()
{
    int event = 0;
    int error = 0;
    return DPMSQueryExtension(display, &event, &error) && DPMSCapable(display);
}

void saveDesktopSleep()
{
    DesktopSleep saved{};
    if (readSaved(saved))
        return; // what the first "never" found stays
    int values[4] = {};
    XGetScreenSaver(display, &values[0], &values[1], &values[2], &values[3]);
    std::copy_n(values, 4, saved.values);
    CARD16 timeouts[3] = {};
    CARD16 level = 0;
    BOOL enabled = False;
    if (hasDpms() && DPMSGetTimeouts(display, &timeouts[0], &timeouts[1], &timeouts[2]) &&
        DPMSInfo(display, &level, &enabled)) {
        std::copy_n(timeouts, 3, saved.values + 4);
        saved.values[7] = enabled ? 1 : 0;
    } else {
        saved.values[7] = -1;
    }
    XChangeProperty(display, DefaultRootWindow(display), savedAtom(), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(saved.values), 8);
}

// On a desktop the display is the X server's: its screen saver and DPMS
// timeouts are the display's sleep time, and they stay set after we leave.
void setScreenSaver(int seconds)
{
    if (seconds == 0)
        saveDesktopSleep();
    else
        XDeleteProperty(display, DefaultRootWindow(display), savedAtom());
    int timeout = 0;
    int interval = 0;
    int preferBlanking = 0;
    int allowExposures = 0;
    XGetScreenSaver(display, &timeout, &interval, &preferBlanking, &allowExposures);
    // The protocol carries the screen saver's timeout in 16 signed bits and
    // DPMS timeouts in 16 unsigned bits.
    XSetScreenSaver(display, std::min(seconds, 32767), interval, preferBlanking, allowExposures);
    if (hasDpms()) {
        const auto dpms = static_cast<CARD16>(std::min(seconds, 65535));
        DPMSSetTimeouts(display, dpms, dpms, dpms);
        if (seconds == 0)
            DPMSDisable(display);
        else
            DPMSEnable(display);
    }
    XSync(display, False);
}
} // namespace
#endif

namespace
{
int console = -1;
}

extern "C" int PM_openLcdSleepTime(void)
{
#ifdef PANELREST_HAVE_X11
    if (!display)
        display = XOpenDisplay(nullptr);
    if (display)
        return 0;
#endif
    // Without an X display the phone's display is the framebuffer behind
    // the console: its blanking timeout is the sleep time (the front-end
    // keeps it while it holds the framebuffer).
    if (console < 0)
        console = openConsole();
    return console >= 0 ? 0 : -1;
}

extern "C" int PM_setupLcdSleepTime(int seconds)
{
    if (PM_openLcdSleepTime() != 0)
        return -1;
#ifdef PANELREST_HAVE_X11
    if (display) {
        setScreenSaver(seconds);
        XCloseDisplay(display);
        display = nullptr;
        return 0;
    }
#endif
    const bool set = setConsoleBlank(console, seconds);
    close(console);
    console = -1;
    return set ? 0 : -1;
}

extern "C" int PM_savedLcdSleepTime(void)
{
#ifdef PANELREST_HAVE_X11
    DesktopSleep saved{};
    if (PM_openLcdSleepTime() != 0 || !display)
        return -1;
    if (readSaved(saved))
        return static_cast<int>(saved.values[0]);
    int timeout = 0, interval = 0, blanking = 0, exposures = 0;
    XGetScreenSaver(display, &timeout, &interval, &blanking, &exposures);
    return timeout;
#endif
    return -1;
}

extern "C" int PM_restoreLcdSleepTime(void)
{
#ifdef PANELREST_HAVE_X11
    DesktopSleep saved{};
    if (PM_openLcdSleepTime() != 0 || !display)
        return -1;
    if (!readSaved(saved)) {
        XCloseDisplay(display);
        display = nullptr;
        return 0;
    }
    const auto value = [&saved](int i) { return static_cast<int>(saved.values[i]); };
    XSetScreenSaver(display, value(0), value(1), value(2), value(3));
    if (value(7) >= 0 && hasDpms()) {
        DPMSSetTimeouts(display, static_cast<CARD16>(value(4)), static_cast<CARD16>(value(5)),
                        static_cast<CARD16>(value(6)));
        if (value(7) == 1)
            DPMSEnable(display);
        else
            DPMSDisable(display);
    }
    XDeleteProperty(display, DefaultRootWindow(display), savedAtom());
    XCloseDisplay(display);
    display = nullptr;
    return 0;
#else
    return -1;
#endif
}
