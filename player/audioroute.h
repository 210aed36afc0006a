#pragma once

// Requests to the phone's OSS mixer.
namespace MixerRequest
{
constexpr unsigned long readRouteHint = 0x80044DED;  // device-specific, read
constexpr unsigned long writeOutSource = 0xC0044DFA; // SOUND_MIXER_WRITE_OUTSRC
constexpr unsigned long writeOutGain = 0xC0044D0D;   // SOUND_MIXER_WRITE_OGAIN
} // namespace MixerRequest

// Where the mixer is and how requests reach it; tests put their own here.
struct MixerDevice {
    const char* path;
    int (*request)(int fd, unsigned long request, int* argument);
};

extern MixerDevice mixerDevice;

// Sets the audio output route from bassBoost and the driver's answer, and
// the output gain unless gain is 0.
void applyAudioRoute(int gain);
