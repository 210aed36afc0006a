#pragma once

// Sets how long the display stays lit without input, in seconds; 0 keeps it
// lit. The setting outlasts the caller. 0 when it was set, -1 when there
// was no display or console to set it on.
extern "C" int PM_setupLcdSleepTime(int seconds);
