#pragma once

#include <cstdint>

// A raw window-system event as the phone's hook sees it, before any widget.
struct WSEvent {
    enum Type : int { NoEvent = 0, Mouse = 2, Key = 4 };

    int type = NoEvent;
    // Key events only: the phone toolkit's 16-bit key code.
    std::uint16_t keyCode = 0;
    bool isPress = false;
    bool isAutoRepeat = false;
    // The window system's time of the event, in milliseconds.
    std::uint64_t time = 0;
};
