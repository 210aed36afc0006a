#pragma once

#include <cstdint>

// Tells a key's repeats, while it is held, from its presses. The toolkit's
// flag is not enough: on X11 a repeat is the server's release and press of
// the key at one timestamp, which the toolkit tells apart only by looking
// ahead in its queue, and some pairs it misses. No hand releases and
// presses a key within one millisecond.
class KeyHolds
{
public:
    // One key event, in the order they come; true when it repeats a hold.
    bool repeats(std::uint16_t key, bool press, bool autoRepeat, std::uint64_t timestamp);

private:
    std::uint16_t released_ = 0;
    std::uint64_t releasedAt_ = 0;
};
