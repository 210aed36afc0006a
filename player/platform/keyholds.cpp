#include "keyholds.h"

bool KeyHolds::repeats(std::uint16_t key, bool press, bool autoRepeat, std::uint64_t timestamp)
{
    if (!press) {
        released_ = key;
        releasedAt_ = timestamp;
        return autoRepeat;
    }
    return autoRepeat || (key == released_ && timestamp == releasedAt_);
}
