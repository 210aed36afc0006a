#pragma once

#include <string>

// What a framebuffer shows, as its driver tells it in sysfs
// (/sys/class/graphics/fbN): the visible size and the bits a pixel. A
// double-buffered framebuffer's virtual size is twice as high as what
// shows, so the mode comes first. Plain C++: the player's launcher reads it
// on every clip's start.
struct FramebufferMode {
    int width = 240;
    int height = 320;
    int bitsPerPixel = 0; // 0: not known
};

// From the first lines of the driver's files: "mode" ("U:480x320p-0") is
// the one in use, else the first of "modes"; without either, the virtual
// size ("480,640"). What cannot be read keeps the phone's 240x320.
FramebufferMode parseFramebufferMode(const std::string& mode, const std::string& modes,
                                     const std::string& virtualSize,
                                     const std::string& bitsPerPixel);

// The mode of the framebuffer device at path ("/dev/fb1"), read under
// sysfs ("/sys").
FramebufferMode readFramebufferMode(const std::string& device, const std::string& sysfs = "/sys");
