#include "writeall.h"

#include <cerrno>
#include <unistd.h>

bool writeAll(int fd, const char* bytes, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = write(fd, bytes, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}
