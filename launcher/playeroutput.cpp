#include "playeroutput.h"

PlayerOutput choosePlayerOutput(const std::string& display, const std::string& window,
                                const std::string& framebuffer, bool framebufferWritable,
                                const FramebufferMode& framebufferMode)
{
    PlayerOutput output;
    if (!display.empty() && !window.empty()) {
        output.kind = PlayerOutput::X11;
        output.window = window;
    } else if (framebufferWritable) {
        output.kind = PlayerOutput::Framebuffer;
        output.framebuffer = framebuffer;
        output.screen = framebufferMode;
    }
    return output;
}

std::vector<std::string> videoOutputArguments(const PlayerOutput& output)
{
    switch (output.kind) {
    case PlayerOutput::X11:
        return {"-wid", output.window, "-vo", "xv,x11,"};
    case PlayerOutput::Framebuffer:
        return {"-vo", "fbdev2:" + output.framebuffer};
    case PlayerOutput::None:
        break;
    }
    return {"-vo", "null"};
}
