#include "shellcommand.h"

#include "playbackstate.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
void runCommand(const char* command)
{
    // Built before the vfork, which allows the child no allocation: the
    // program to run, then its arguments.
    const std::vector<std::string> words = plainCommandWords(command);
    std::vector<const char*> call;
    if (words.empty()) {
        call = {"/bin/sh", "sh", "-c", command};
    } else {
        call.push_back(words.front().c_str());
        for (const std::string& word : words)
            call.push_back(word.c_str());
    }
    call.push_back(nullptr);
    // As the player's launch: nothing of the front-end's memory is copied.
    const pid_t pid = vfork();
    if (pid == 0) {
        // The command starts as it would from a terminal, not with what the
        // front-end set aside for itself.
        std::signal(SIGCHLD, SIG_DFL);
        std::signal(SIGPIPE, SIG_DFL);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        // execvp, as the shell, runs a script without a "#!" line with sh.
        execvp(call[0], const_cast<char* const*>(call.data() + 1));
        _exit(127);
    }
    if (pid < 0)
        return;
    // With SIGCHLD ignored the command is collected as it ends, and the
    // wait then fails with ECHILD: either way it has ended.
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
}

bool plainCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           std::strchr("./_-+,:@%", c) != nullptr;
}
} // namespace

std::vector<std::string> plainCommandWords(const char* command)
{
    std::vector<std::string> words;
    std::string word;
    for (const char* c = command;; ++c) {
        if (*c == ' ' || *c == '\0') {
            if (!word.empty())
                words.push_back(word);
            word.clear();
            if (*c == '\0')
                break;
        } else if (plainCharacter(*c) || (*c == '=' && !words.empty())) {
            // '=' makes a first word an assignment; later, it is plain.
            word += *c;
        } else {
            return {};
        }
    }
    // A program without a path the shell looks up itself.
    if (words.empty() || words.front().find('/') == std::string::npos)
        return {};
    return words;
}

void runShellCommands(std::initializer_list<const char*> commands)
{
    std::fflush(stdout);
    std::signal(SIGCHLD, SIG_IGN);
    for (const char* command : commands)
        runCommand(command);
    std::signal(SIGCHLD, onChildSignal);
}
