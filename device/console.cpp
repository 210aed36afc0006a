#include "console.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <linux/kd.h>
#include <sys/ioctl.h>
#include <unistd.h>

std::string consoleBlankSequence(int seconds)
{
    const long minutes = seconds <= 0 ? 0 : std::min(60L, (static_cast<long>(seconds) + 59) / 60);
    return "\033[9;" + std::to_string(minutes) + "]";
}

int openVirtualConsole(const char* path)
{
    const int fd = open(path, O_WRONLY | O_NOCTTY | O_CLOEXEC);
    int mode = 0;
    if (fd >= 0 && ioctl(fd, KDGETMODE, &mode) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

int openConsole()
{
    const char* named = std::getenv("PANELREST_CONSOLE");
    if (named && *named)
        return open(named, O_WRONLY | O_NOCTTY | O_CLOEXEC);
    const int fd = open("/dev/tty0", O_WRONLY | O_NOCTTY | O_CLOEXEC);
    return fd >= 0 ? fd : openVirtualConsole("/dev/tty");
}

bool setConsoleBlank(int fd, int seconds)
{
    const std::string sequence = consoleBlankSequence(seconds);
    ssize_t written;
    do
        written = write(fd, sequence.data(), sequence.size());
    while (written < 0 && errno == EINTR);
    return written == static_cast<ssize_t>(sequence.size());
}

bool setConsoleBlank(int seconds)
{
    const int fd = openConsole();
    if (fd < 0)
        return false;
    const bool set = setConsoleBlank(fd, seconds);
    close(fd);
    return set;
}

int consoleBlankSeconds(const char* path)
{
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    char text[32] = {};
    const ssize_t n = read(fd, text, sizeof text - 1);
    close(fd);
    return n > 0 ? std::atoi(text) : -1;
}
