#include "shellcommand.h"

#include "playbackstate.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

void runShellCommands(std::initializer_list<const char*> commands)
{
    std::fflush(stdout);
    std::signal(SIGCHLD, SIG_IGN);
    for (const char* command : commands)
        [[maybe_unused]] int status = std::system(command);
    std::signal(SIGCHLD, onChildSignal);
}
