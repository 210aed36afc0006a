#include "sleeppolicy.h"

#include "scanner.h"
#include "systemsetting.h"

#include <cstdio>

const char* const panelrestUsage =
    "USAGE:panelrest [n] [-r]\n"
    "      n:sleep time in seconds:0=never sleep;1~10=sleep now,when wakeup like 0;"
    "other=seconds\n"
    "      -r:restore system setting\n"
    "\n"
    "      :::::::::::::::::::::::::::::::::::::::::\n"
    "      (   -_______________-)~  sooooo weak.....\n";

SleepArguments scanSleepArguments(int argc, const char* const* argv)
{
    SleepArguments args;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (!arg)
            continue;
        if (arg[0] == '-')
            args.restore = arg[1] == 'r';
        else if (arg[0] >= '0' && arg[0] <= '9')
            args.sleepTime = leadingInt(arg);
    }
    return args;
}

int sleepTimeForSetting(int code)
{
    switch (code) {
    case 1:
        return 60;
    case 2:
        return 300;
    case 3:
        return 600;
    default:
        return 30;
    }
}

int clampSleepTime(int seconds)
{
    if (seconds < 0)
        return 0;
    if (seconds >= 1 && seconds <= 10)
        return 10;
    return seconds;
}

std::string sleepMessage(int seconds)
{
    if (seconds == 0)
        return "now the lcd never sleep.\n";
    if (seconds == 10)
        return "the lcd sleep now.\n";
    return format("set lcd sleep time to %d seconds.\n", seconds);
}

int panelrestMain(int argc, const char* const* argv, const char* configPath,
                  SleepTimePlatform platform)
{
    if (argc < 2) {
        std::fputs(panelrestUsage, stdout);
        return 0;
    }
    const SleepArguments args = scanSleepArguments(argc, argv);
    int seconds = args.sleepTime;
    // With no setting of the phone's, a desktop keeps its own: what "never"
    // replaced comes back, and nothing of ours goes over it.
    const int setting = args.restore ? load_system_setting_lcd_sleep_time(configPath) : 0;
    const int saved = setting < 0 && platform.saved && platform.restore ? platform.saved() : -1;
    if (args.restore)
        seconds = sleepTimeForSetting(setting);
    seconds = saved >= 0 ? saved : clampSleepTime(seconds);
    const char* const failed =
        "panelrest: the sleep time could not be set: no display or console to set it on\n";
    if (platform.open() != 0) {
        std::fputs(failed, stderr);
        return 1;
    }
    std::fputs(sleepMessage(seconds).c_str(), stdout);
    std::fflush(stdout);
    if ((saved >= 0 ? platform.restore() : platform.set(seconds)) != 0) {
        std::fputs(failed, stderr);
        return 1;
    }
    return 0;
}
