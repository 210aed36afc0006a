#pragma once

#include <string>

// The player is Debian's MPlayer, which links some 280 libraries and binds
// every symbol as it starts: most of its start is the dynamic linker
// looking each one up, library by library. The libraries that define most
// of what is looked up go first, in the order they have among the player's
// own, so that every symbol binds where it would (the tests compare the
// bindings); ld.so expands $LIB. The list is Debian 12's player's, the same
// on each of its architectures.
inline constexpr const char* debianPlayer = "/usr/bin/mplayer";

// LD_PRELOAD for the player: a user's own preloads stay ahead; another
// player than Debian's gets them alone.
std::string playerPreload(const std::string& player, const std::string& current);
