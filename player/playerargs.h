#pragma once

#include <array>
#include <cstddef>

// What the player's command line is built from.
struct PlayerOptions {
    bool loop = false;
    bool fScreen = false;
    bool silent = false;
    bool videoFix = false;
    bool leftChannel = false;
    bool rightChannel = false;
    int scaleIndex = 0;
    bool playlist = false;
};

// At most 16 strings and the closing null pointer.
struct PlayerArgs {
    std::array<const char*, 17> argv{};
    std::size_t count = 0; // strings before the null pointer
};

// The player's argument vector. Every string is a constant but the path,
// which is pointed to, not copied.
PlayerArgs buildPlayerArgs(const PlayerOptions& options, const char* path);
