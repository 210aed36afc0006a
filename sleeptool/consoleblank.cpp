#include "consoleblank.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

std::string consoleBlankSequence(int seconds)
{
    const long minutes = seconds <= 0 ? 0 : std::min(60L, (static_cast<long>(seconds) + 59) / 60);
    return "\033[9;" + std::to_string(minutes) + "]";
}

bool setConsoleBlank(const char* tty, int seconds)
{
    const int fd = open(tty, O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const std::string sequence = consoleBlankSequence(seconds);
    ssize_t written;
    do
        written = write(fd, sequence.data(), sequence.size());
    while (written < 0 && errno == EINTR);
    close(fd);
    return written == static_cast<ssize_t>(sequence.size());
}
