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

// Where the sleep time goes: open finds what it is set on, set sets it;
// each gives 0 when it could. Where the phone has no setting of its own,
// saved gives the seconds that the first "never" replaced (-1: none) and
// restore puts them back; either may be null.
struct SleepTimePlatform {
    int (*open)();
    int (*set)(int seconds);
    int (*saved)() = nullptr;
    int (*restore)() = nullptr;
};

// The whole tool: scan, policy, message, one call of set. A sleep time that
// cannot be set is an error, on standard error alone, with status 1: that
// is known before the message, which would say otherwise.
int panelrestMain(int argc, const char* const* argv, const char* configPath,
                  SleepTimePlatform platform);
