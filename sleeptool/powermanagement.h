#pragma once

// Sets how long the display stays lit without input, in seconds; 0 keeps it
// lit. The setting outlasts the caller.
extern "C" void PM_setupLcdSleepTime(int seconds);
