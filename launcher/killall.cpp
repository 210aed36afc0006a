// "killall NAME [-SIGNAL]" for the front-end: signals the processes called
// NAME that run in this installation directory, by their ids, and no other.
#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <string>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// "-9", "-KILL", "-SIGKILL"; -1 for anything else.
int parseSignal(const char* text)
{
    if (text[0] != '-' || text[1] == '\0')
        return -1;
    const char* name = text + 1;
    if (std::isdigit(static_cast<unsigned char>(*name))) {
        char* end = nullptr;
        const long number = std::strtol(name, &end, 10);
        return *end == '\0' && number >= 0 && number < NSIG ? static_cast<int>(number) : -1;
    }
    if (strncasecmp(name, "SIG", 3) == 0)
        name += 3;
    for (int number = 1; number < NSIG; ++number)
        if (const char* known = sigabbrev_np(number); known && strcasecmp(name, known) == 0)
            return number;
    return -1;
}

// The folder this program was started from: the installation directory.
std::string ownFolder(const char* argv0)
{
    const std::string self = argv0;
    if (self.find('/') != std::string::npos)
        return self.substr(0, self.rfind('/') + 1);
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "";
    for (size_t start = 0; start <= folders.size();) {
        const size_t end = std::min(folders.find(':', start), folders.size());
        const std::string folder = end > start ? folders.substr(start, end - start) : ".";
        if (access((folder + '/' + self).c_str(), X_OK) == 0)
            return folder;
        start = end + 1;
    }
    return ".";
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: killall NAME [-SIGNAL]\n");
        return 2;
    }
    const int signal = parseSignal(argc > 2 ? argv[2] : "-TERM");
    if (signal < 0) {
        std::fprintf(stderr, "killall: bad signal %s\n", argv[2]);
        return 2;
    }
    struct stat home {
    };
    if (stat(ownFolder(argv[0]).c_str(), &home) != 0)
        return 1;
    int status = 1;
    DIR* proc = opendir("/proc");
    while (const dirent* entry = proc ? readdir(proc) : nullptr) {
        char* end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (*end != '\0' || pid <= 0 || pid == getpid())
            continue;
        // The name first: a process's folder may lie on a mount that no
        // longer answers, and a look at it would hang this and the
        // front-end with it.
        const std::string here = std::string("/proc/") + entry->d_name;
        std::string comm;
        if (!std::getline(std::ifstream(here + "/comm"), comm) || comm != argv[1])
            continue;
        struct stat cwd {
        };
        if (stat((here + "/cwd").c_str(), &cwd) == 0 && cwd.st_dev == home.st_dev &&
            cwd.st_ino == home.st_ino && kill(static_cast<pid_t>(pid), signal) == 0)
            status = 0;
    }
    if (proc)
        closedir(proc);
    return status;
}
