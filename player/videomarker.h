#pragma once

#include <array>
#include <cstddef>

// Looks for MPlayer's "VIDEO:" line in output that arrives in pieces, so a
// marker split between two reads is found as well.
class VideoMarkerScanner
{
public:
    // True when a marker ends within these bytes.
    bool feed(const char* bytes, std::size_t size);
    // A new player: nothing of the last one's output counts.
    void reset() { tailLength_ = 0; }

private:
    // One byte less than the marker: a tail can never hold a whole one.
    static constexpr std::size_t keep = 5;
    std::array<char, keep> tail_{};
    std::size_t tailLength_ = 0;
};
