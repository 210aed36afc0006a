#include "headread.h"

#include <fcntl.h>
#include <unistd.h>

std::string readHead(const std::string& path, size_t limit)
{
    std::string head(limit, '\0');
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    size_t got = 0;
    while (fd >= 0 && got < limit) {
        const ssize_t n = read(fd, head.data() + got, limit - got);
        if (n <= 0)
            break;
        got += static_cast<size_t>(n);
    }
    if (fd >= 0)
        close(fd);
    head.resize(got);
    return head;
}
