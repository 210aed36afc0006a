#include "playerargs.h"

PlayerArgs buildPlayerArgs(const PlayerOptions& options, const char* path)
{
    PlayerArgs args;
    auto add = [&args](const char* s) { args.argv[args.count++] = s; };
    add("./mplayer");
    add("-slave");
    add("-quiet");
    add("-nortc");
    if (options.loop) {
        add("-loop");
        add("0");
    } else {
        add("-noloop");
    }
    if (!options.fScreen)
        add("-vf-clr");
    if (options.silent)
        add("-nosound");
    if (options.videoFix) {
        add("-lavdopts");
        add("idct=7");
    }
    if (options.leftChannel) {
        add("-af");
        add("channels=2:2:0:0:0:1,volume=-15");
    } else if (options.rightChannel) {
        add("-af");
        add("channels=2:2:1:0:1:1,volume=-15");
    }
    add("-sws");
    add(options.scaleIndex == 0 ? "9" : options.scaleIndex == 1 ? "3" : "4");
    if (options.playlist)
        add("-playlist");
    add(path);
    args.argv[args.count] = nullptr;
    return args;
}
