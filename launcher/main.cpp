// The front-end's "./mplayer": Debian's MPlayer with what the phone needs.
// It gathers what the player's command depends on and execs the player;
// every decision is in the functions it calls.
#include "launchcommand.h"
#include "preload.h"
#include "subtitlefile.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace
{
std::string variable(const char* name, const char* otherwise = "")
{
    const char* value = std::getenv(name);
    return value && *value ? value : otherwise;
}

bool readable(const std::string& path)
{
    return !path.empty() && access(path.c_str(), R_OK) == 0;
}

// The on-screen menu (F2) is ours, beside this launcher: where the
// front-end's starter says it is installed, else beside the program that
// runs, whatever link started it.
std::string menuFile()
{
    const std::string named = variable("TARRAGON_LIB") + "/menu.conf";
    if (readable(named))
        return named;
    char self[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return {};
    std::string beside(self, static_cast<size_t>(n));
    beside = beside.substr(0, beside.rfind('/')) + "/menu.conf";
    return readable(beside) ? beside : std::string();
}
} // namespace

int main(int argc, char** argv)
{
    LaunchInput input;
    input.player = variable("TARRAGON_REAL_MPLAYER", debianPlayer);
    input.args.assign(argv + 1, argv + argc);
    const std::string framebuffer = variable("FRAMEBUFFER", "/dev/fb0");
    const std::string display = variable("DISPLAY"), window = variable("TARRAGON_WID");
    const bool drawsOnFramebuffer =
        (display.empty() || window.empty()) && access(framebuffer.c_str(), W_OK) == 0;
    input.output = choosePlayerOutput(
        display, window, framebuffer, drawsOnFramebuffer,
        drawsOnFramebuffer ? readFramebufferMode(framebuffer, variable("TARRAGON_SYSFS", "/sys"))
                           : FramebufferMode());
    input.menu = menuFile();
    input.language =
        userLanguage(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
    input.faces.latin =
        variable("TARRAGON_FACE", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
    input.faces.cjk =
        variable("TARRAGON_CJK_FACE", "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc");
    for (std::string* face : {&input.faces.latin, &input.faces.cjk})
        if (!readable(*face))
            face->clear();

    const std::string preload = playerPreload(input.player, variable("LD_PRELOAD"));
    if (!preload.empty())
        setenv("LD_PRELOAD", preload.c_str(), 1);

    std::vector<std::string> command = launchCommand(input);
    std::vector<char*> words;
    for (std::string& word : command)
        words.push_back(word.data());
    words.push_back(nullptr);
    execv(words[0], words.data());
    std::fprintf(stderr, "mplayer: cannot start %s: %s\n", words[0], std::strerror(errno));
    return 127;
}
