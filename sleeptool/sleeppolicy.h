#pragma once

#include <string>

// What the command line asks for.
struct SleepArguments {
    bool restore = false;
    int sleepTime = 30;
};

extern const char* const panelrestUsage;

// Options ('-'): the second character 'r' turns restore mode on, anything
// else off; numbers: the last one wins; anything else is ignored.
SleepArguments scanSleepArguments(int argc, const char* const* argv);
// The phone's setting code (1, 2, 3) as seconds; anything else is 30.
int sleepTimeForSetting(int code);
// Negative times never sleep; 1 to 10 sleep at once, passed as 10.
int clampSleepTime(int seconds);
std::string sleepMessage(int seconds);

// 0 when the sleep time was set, anything else when it could not be.
using SetSleepTime = int (*)(int seconds);

// The whole tool: scan, policy, message, one call of setSleepTime. A sleep
// time that could not be set is an error, on standard error with status 1.
int panelrestMain(int argc, const char* const* argv, const char* configPath,
                  SetSleepTime setSleepTime);
