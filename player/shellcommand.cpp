#include "shellcommand.h"

#include "playbackstate.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
void runShell(const char* command)
{
    const char* const argv[] = {"sh", "-c", command, nullptr};
    // As the player's launch: nothing of the front-end's memory is copied.
    const pid_t pid = vfork();
    if (pid == 0) {
        // The shell starts as it would from a terminal, not with what the
        // front-end set aside for itself.
        std::signal(SIGCHLD, SIG_DFL);
        std::signal(SIGPIPE, SIG_DFL);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        execv("/bin/sh", const_cast<char* const*>(argv));
        _exit(127);
    }
    if (pid < 0)
        return;
    // With SIGCHLD ignored the shell is collected as it ends, and the wait
    // then fails with ECHILD: either way it has ended.
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
}
} // namespace

void runShellCommands(std::initializer_list<const char*> commands)
{
    std::fflush(stdout);
    std::signal(SIGCHLD, SIG_IGN);
    for (const char* command : commands)
        runShell(command);
    std::signal(SIGCHLD, onChildSignal);
}
