#pragma once

#include <initializer_list>

// Runs shell commands in a row, each to its end, with SIGCHLD ignored, so
// that a shell's exit is never taken for the player's, then installs
// onChildSignal again. Unlike system(), the wait leaves interrupts and
// requests to end to the front-end's own handling.
void runShellCommands(std::initializer_list<const char*> commands);
