#pragma once

// Finds what the display's sleep time is set on (the X display, else the
// console) and holds it for PM_setupLcdSleepTime: 0 when there is one, -1
// when there is none, so a tool can tell before it says anything.
extern "C" int PM_openLcdSleepTime(void);

// Sets how long the display stays lit without input, in seconds; 0 keeps it
// lit. The setting outlasts the caller. 0 when it was set, -1 when there
// was no display or console to set it on.
extern "C" int PM_setupLcdSleepTime(int seconds);

// Where the sleep time is the desktop's own (its X screen saver and DPMS),
// what the first "never" replaced is kept with the X server until it comes
// back, also past a front-end that crashed. The desktop's own sleep time:
// that one, else the one in force; -1 where the display is no desktop's.
extern "C" int PM_savedLcdSleepTime(void);
// Puts back what "never" replaced, if it did, and keeps it no longer. 0
// when the desktop has its own again.
extern "C" int PM_restoreLcdSleepTime(void);
