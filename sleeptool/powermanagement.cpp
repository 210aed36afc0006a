#include "powermanagement.h"

#include "console.h"

#include <unistd.h>

#ifdef PANELREST_HAVE_X11
#include <X11/Xlib.h>
#include <X11/extensions/dpms.h>

#include <algorithm>

namespace
{
Display* display = nullptr;

// On a desktop the display is the X server's: its screen saver and DPMS
// timeouts are the display's sleep time, and they stay set after we leave.
void setScreenSaver(int seconds)
{
    int timeout = 0;
    int interval = 0;
    int preferBlanking = 0;
    int allowExposures = 0;
    XGetScreenSaver(display, &timeout, &interval, &preferBlanking, &allowExposures);
    // The protocol carries the screen saver's timeout in 16 signed bits and
    // DPMS timeouts in 16 unsigned bits.
    XSetScreenSaver(display, std::min(seconds, 32767), interval, preferBlanking, allowExposures);
    int event = 0;
    int error = 0;
    if (DPMSQueryExtension(display, &event, &error) && DPMSCapable(display)) {
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
