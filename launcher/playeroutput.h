#pragma once

#include "framebuffermode.h"

#include <string>
#include <vector>

// Where the player draws: inside the phone's window on an X display, on the
// framebuffer of a device, else nowhere.
struct PlayerOutput {
    enum Kind { X11, Framebuffer, None } kind = None;
    std::string window;      // X11: the window's id
    std::string framebuffer; // Framebuffer: its device
    FramebufferMode screen;  // the size to fill; 240x320 but on a framebuffer
};

// The X window when both the display and the front-end's window are named
// (TARRAGON_WID), else the framebuffer when it may be written.
PlayerOutput choosePlayerOutput(const std::string& display, const std::string& window,
                                const std::string& framebuffer, bool framebufferWritable,
                                const FramebufferMode& framebufferMode);

// The player's -vo option and its companions for that output.
std::vector<std::string> videoOutputArguments(const PlayerOutput& output);
