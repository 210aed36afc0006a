// Feeds the system setting reader arbitrary files.
#include "systemsetting.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace
{
std::string path;
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    char name[] = "/tmp/fuzz_systemsetting.XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0)
        std::abort();
    close(fd);
    path = name;
    std::atexit([] { unlink(path.c_str()); });
    // The reader's diagnostics would flood the log.
    const int devnull = open("/dev/null", O_WRONLY);
    dup2(devnull, STDOUT_FILENO);
    close(devnull);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    load_system_setting_lcd_sleep_time(path.c_str());
    return 0;
}
