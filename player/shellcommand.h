#pragma once

#include <initializer_list>

// Runs shell commands in a row with SIGCHLD ignored, so that a shell's exit
// is never taken for the player's, then installs onChildSignal again.
void runShellCommands(std::initializer_list<const char*> commands);
