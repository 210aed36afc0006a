#pragma once

#include <string>

// The Linux console's blanking timeout: how long the display stays lit
// without input. It is kept in whole minutes, at most 60, 0 for never, and
// lasts until it is set again. Both programs set it here: panelrest, and
// the front-end when it puts the phone's setting back over the toolkit's.

// The console's escape sequence that sets it, for a sleep time in seconds
// (rounded up to whole minutes).
std::string consoleBlankSequence(int seconds);

// The console to set it on, as the toolkit finds its own: /dev/tty0, else
// the controlling terminal when that is a virtual console (an ordinary
// user logged in at the console may not open /dev/tty0). PANELREST_CONSOLE
// names another. -1 when there is none.
int openConsole();

// The terminal at path when it is a virtual console, else -1: on any other
// (a remote terminal, a pty) the sequence would be printed and set nothing.
int openVirtualConsole(const char* path);

// Sets the timeout on the console open at fd, or on openConsole's; false
// when no console took it.
bool setConsoleBlank(int fd, int seconds);
bool setConsoleBlank(int seconds);

// Where the kernel keeps the timeout, in seconds.
inline constexpr const char* consoleBlankSetting = "/sys/module/kernel/parameters/consoleblank";

// The timeout as the kernel keeps it, or as another file holds it; -1 when
// it cannot be read.
int consoleBlankSeconds(const char* path = consoleBlankSetting);
