#include "powermanagement.h"
#include "sleeppolicy.h"
#include "systemsetting.h"

#include <csignal>

int main(int argc, char** argv)
{
    // The message comes before the setting: a reader that has gone away
    // must not stop the setting from being made.
    std::signal(SIGPIPE, SIG_IGN);
    return panelrestMain(
        argc, argv, systemConfigPath,
        {PM_openLcdSleepTime, PM_setupLcdSleepTime, PM_savedLcdSleepTime, PM_restoreLcdSleepTime});
}
