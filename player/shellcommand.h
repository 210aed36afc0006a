#pragma once

#include <initializer_list>
#include <string>
#include <vector>

// Runs shell commands in a row, each to its end, with SIGCHLD ignored, so
// that a shell's exit is never taken for the player's, then installs
// onChildSignal again. Unlike system(), the wait leaves interrupts and
// requests to end to the front-end's own handling.
void runShellCommands(std::initializer_list<const char*> commands);

// The words of a command that the shell would only split on spaces and run:
// a program named by its path, then plain words, nothing quoted,
// redirected, expanded or joined. Such a command runs without a shell;
// anything else (empty here) goes to /bin/sh.
std::vector<std::string> plainCommandWords(const char* command);
