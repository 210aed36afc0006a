#pragma once

#include <csignal>

// Process-wide playback state. childPid and playing are read and written by
// the SIGCHLD handler as well, so they have the one type the language
// guarantees for that; std::atomic is not lock-free on every ARM the phone
// may have (ARMv5 has no atomic instructions).
struct PlaybackState {
    volatile std::sig_atomic_t childPid = 0;
    volatile std::sig_atomic_t playing = 0;
    bool fullScreen = false;
    bool focusLost = false;
    bool menuMode = false;
    bool playlist = false; // the player was given a playlist
    bool paused = false;   // as the pause key and the player's answers have it
    int menuDepth = 0;
};

static_assert(sizeof(std::sig_atomic_t) >= sizeof(int), "childPid holds a process id");

extern PlaybackState playbackState;

// The front-end's own process id, taken before main runs.
extern const int frontEndPid;

// The SIGCHLD handler: async-signal-safe throughout. Its work is done on the
// event loop's thread only; another thread passes the signal on to it.
void onChildSignal(int signal);

class SignalWake;
// Woken once the handler has seen the player end: the event loop sleeps
// through a playback until something happens.
extern const SignalWake childEnded;
