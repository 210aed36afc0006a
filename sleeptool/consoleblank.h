#pragma once

#include <string>

// The console's blanking timeout: how long a Linux console stays lit
// without input. It is kept in whole minutes, at most 60, 0 for never, and
// lasts until it is set again; /sys/module/kernel/parameters/consoleblank
// reads it back in seconds.

// The console's escape sequence that sets it, for a sleep time in seconds
// (rounded up to whole minutes).
std::string consoleBlankSequence(int seconds);

// Writes that sequence to the console tty; false when it cannot be written.
bool setConsoleBlank(const char* tty, int seconds);
