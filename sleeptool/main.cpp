#include "powermanagement.h"
#include "sleeppolicy.h"
#include "systemsetting.h"

int main(int argc, char** argv)
{
    return panelrestMain(argc, argv, systemConfigPath, PM_setupLcdSleepTime);
}
