#include "audioroute.h"

#include "settingsrecord.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace
{
int ioctlRequest(int fd, unsigned long request, int* argument)
{
    return ioctl(fd, request, argument);
}
} // namespace

MixerDevice mixerDevice{"/dev/mixer", ioctlRequest};

void applyAudioRoute(int gain)
{
    const int fd = open(mixerDevice.path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    int answer = 0;
    if (mixerDevice.request(fd, MixerRequest::readRouteHint, &answer) == -1) {
        close(fd);
        return;
    }
    int route = settingsRecord.bassBoost != 0 ? 6 : 1;
    if (answer == 2)
        route = 0;
    mixerDevice.request(fd, MixerRequest::writeOutSource, &route);
    if (gain != 0) {
        int value = gain;
        mixerDevice.request(fd, MixerRequest::writeOutGain, &value);
    }
    close(fd);
}
