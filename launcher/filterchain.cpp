#include "filterchain.h"

FilterChain filterChain(const FramebufferMode& screen, bool ass)
{
    const std::string size = std::to_string(screen.width) + ':' + std::to_string(screen.height);
    // The last scale copies the whole screen each frame, black bands and
    // all: what the on-screen menu drew in a band goes with the next frame.
    // A scale asks the filter after it about every format it could give,
    // and a scale there asks on in turn: a format between them keeps the
    // asking from multiplying (three scales in a row cost seconds on the
    // phone's start). Subtitles drawn where the expansion leaves its bands
    // would stay there from frame to frame.
    std::string whole = "expand=" + size + ",scale=" + size;
    if (ass)
        whole += ",format=yv12,ass,scale=" + size;
    // The framebuffer's own pixel format, pinned at the chain's end: the
    // driver sets the panel to each format it is asked about, and the last
    // one asked would stay.
    if (screen.bitsPerPixel == 16 || screen.bitsPerPixel == 24 || screen.bitsPerPixel == 32)
        whole += ",format=bgr" + std::to_string(screen.bitsPerPixel);
    const std::string w = std::to_string(screen.width), h = std::to_string(screen.height);
    return {"dsize=" + size + ":0,scale=0:0,format=yv12," + whole,
            "scale=w=" + w + ":h=-2:noup=1,format=yv12,scale=w=-2:h=" + h + ":noup=1,format=yv12," +
                whole};
}
