#pragma once

#include "framebuffermode.h"

#include <string>

// The player's video filters, for a screen of that size and pixel format.
// The picture keeps its aspect: fitted, it fills exactly the screen,
// scaled to the largest size that fits and centred, the rest black; at its
// own size (the front-end's -vf-clr, FScreen off) it is centred and reduced
// only where it is larger than the screen. With libass, subtitles are drawn
// on a copy of the whole screen.
struct FilterChain {
    std::string fit;
    std::string own;
};

FilterChain filterChain(const FramebufferMode& screen, bool ass);
