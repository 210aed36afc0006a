#pragma once

#include <atomic>

// Process-wide playback state. childPid and playing are written by the
// SIGCHLD handler as well, so they are lock-free atomics.
struct PlaybackState {
    std::atomic<int> childPid{0};
    std::atomic<bool> playing{false};
    bool fullScreen = false;
    bool focusLost = false;
    bool menuMode = false;
    int menuDepth = 0;
};

static_assert(std::atomic<int>::is_always_lock_free);
static_assert(std::atomic<bool>::is_always_lock_free);

extern PlaybackState playbackState;

// The front-end's own process id, taken before main runs.
extern const int frontEndPid;

// The SIGCHLD handler: async-signal-safe throughout, and safe on any thread.
void onChildSignal(int signal);
