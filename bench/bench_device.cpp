// On the device: start-up to the first frame on the framebuffer, and
// resident memory at idle, of the front-end against a bare Qt 6 list widget
// started the same way in the same boot; with a CLIP, the time from the key
// that plays it to its first frame, through the front-end, against
// "mplayer -vo fbdev2 CLIP" started by hand; and, to tell the front-end's
// part from the player's, its LAUNCHER by hand with the front-end's
// arguments. Usage:
//   bench_device FRONTEND BASELINE|- [ROUNDS [CLIP [LAUNCHER]]]
// Both run with the environment the front-end would choose for itself; the
// CLIP is orange, alone in its folder or with its subtitle file.
#include "deviceenvironment.h"
#include "playerargs.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <linux/fb.h>
#include <linux/uinput.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{
using Clock = std::chrono::steady_clock;

long residentKiB(pid_t pid)
{
    FILE* status = std::fopen(("/proc/" + std::to_string(pid) + "/status").c_str(), "r");
    if (!status)
        return -1;
    char line[256];
    long kib = -1;
    while (std::fgets(line, sizeof line, status))
        if (std::sscanf(line, "VmRSS: %ld kB", &kib) == 1)
            break;
    std::fclose(status);
    return kib;
}

// A keyboard of the benchmark's own, made before anything looks for one.
class Keyboard
{
public:
    Keyboard() : fd(open("/dev/uinput", O_WRONLY | O_CLOEXEC))
    {
        if (fd < 0)
            return;
        ioctl(fd, UI_SET_EVBIT, EV_KEY);
        for (int key : {KEY_DOWN, KEY_ENTER})
            ioctl(fd, UI_SET_KEYBIT, key);
        uinput_setup setup{};
        setup.id.bustype = BUS_VIRTUAL;
        std::strncpy(setup.name, "bench keys", sizeof setup.name - 1);
        if (ioctl(fd, UI_DEV_SETUP, &setup) != 0 || ioctl(fd, UI_DEV_CREATE) != 0) {
            close(fd);
            fd = -1;
        }
        std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    bool made() const { return fd >= 0; }
    void press(int key) const
    {
        for (int value : {1, 0}) {
            const input_event events[2] = {{{}, EV_KEY, static_cast<__u16>(key), value},
                                           {{}, EV_SYN, SYN_REPORT, 0}};
            if (write(fd, events, sizeof events) != sizeof events)
                return;
        }
    }

private:
    int fd;
};

struct Screen {
    int fb;
    fb_var_screeninfo mode;
    size_t size, lineLength;

    void black() const
    {
        const std::vector<char> zeros(size, 0);
        [[maybe_unused]] const ssize_t written = pwrite(fb, zeros.data(), size, 0);
    }
    // The clip's orange at the screen's centre, in the panel's own format.
    bool orangeInTheMiddle() const
    {
        std::uint32_t pixel = 0;
        const off_t at = static_cast<off_t>(mode.yres / 2 * lineLength +
                                            mode.xres / 2 * mode.bits_per_pixel / 8);
        if (pread(fb, &pixel, mode.bits_per_pixel / 8, at) <= 0)
            return false;
        auto level = [pixel](const fb_bitfield& f) {
            const std::uint32_t most = (1U << f.length) - 1;
            return f.length == 0 ? 0U : ((pixel >> f.offset) & most) * 255 / most;
        };
        return level(mode.red) > 200 && level(mode.green) > 70 && level(mode.green) < 190 &&
               level(mode.blue) < 70;
    }
};

// Milliseconds from start until the clip's picture shows, or -1.
double untilThePicture(const Screen& screen, Clock::time_point start)
{
    while (Clock::now() - start < std::chrono::seconds(120)) {
        if (screen.orangeInTheMiddle())
            return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return -1;
}

pid_t startProgram(const std::vector<const char*>& argv)
{
    const pid_t pid = fork();
    if (pid == 0) {
        // A player in slave mode reads no commands from it.
        const int null = open("/dev/null", O_RDWR);
        for (int fd : {0, 1, 2})
            dup2(null, fd);
        execvp(argv[0], const_cast<char* const*>(argv.data()));
        _exit(127);
    }
    return pid;
}

void end(pid_t pid)
{
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

// By hand: a player alone, on the framebuffer.
double playByHand(const Screen& screen, const std::vector<const char*>& argv)
{
    screen.black();
    const Clock::time_point begun = Clock::now();
    const pid_t pid = startProgram(argv);
    const double ms = untilThePicture(screen, begun);
    end(pid);
    return ms;
}

// Through the front-end, its list open on the clip's folder: the clip
// highlighted, then the key that plays it.
double playThroughTheFrontEnd(const Screen& screen, const char* frontEnd, const Keyboard& keys)
{
    screen.black();
    const pid_t pid = startProgram({frontEnd, nullptr});
    std::this_thread::sleep_for(std::chrono::seconds(5));
    keys.press(KEY_DOWN);
    keys.press(KEY_DOWN);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const Clock::time_point pressed = Clock::now();
    keys.press(KEY_ENTER);
    const double ms = untilThePicture(screen, pressed);
    end(pid);
    return ms;
}

// The front-end's own directory, its record opening the clip's folder.
bool prepareFrontEndHome(const char* clip)
{
    char home[] = "/tmp/bench-device-XXXXXX";
    if (!mkdtemp(home))
        return false;
    setenv("XDG_DATA_HOME", home, 1);
    const std::string own = std::string(home) + "/tarragon";
    std::string record(312, '\0');
    const std::string folder = std::string(clip).substr(0, std::string(clip).rfind('/'));
    record.replace(128, folder.size(), folder);
    mkdir(own.c_str(), 0755);
    FILE* setup = std::fopen((own + "/setup").c_str(), "wb");
    if (!setup)
        return false;
    const bool written = std::fwrite(record.data(), 1, record.size(), setup) == record.size();
    return std::fclose(setup) == 0 && written;
}

struct Run {
    double startupMs = -1;
    long rssKiB = -1;
};

// Blacks the screen, starts the program, and waits for its first frame:
// the first bytes drawn in one line near the top, where both programs show
// their list. Looking at one line keeps the looking from slowing what is
// measured on the emulator's instruction clock.
Run measure(const char* program, int fb, size_t size, size_t lineLength)
{
    const std::vector<char> black(size, 0);
    if (pwrite(fb, black.data(), size, 0) < 0)
        return {};
    const off_t line = static_cast<off_t>(20 * lineLength);
    std::vector<char> drawn(lineLength);
    const Clock::time_point start = Clock::now();
    const pid_t pid = startProgram({program, nullptr});
    Run run;
    while (Clock::now() - start < std::chrono::seconds(120)) {
        if (pread(fb, drawn.data(), drawn.size(), line) == static_cast<ssize_t>(drawn.size()) &&
            drawn != std::vector<char>(lineLength, 0)) {
            run.startupMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    // Idle: nothing to do but be shown.
    std::this_thread::sleep_for(std::chrono::seconds(3));
    run.rssKiB = residentKiB(pid);
    end(pid);
    return run;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s FRONTEND BASELINE [ROUNDS]\n", argv[0]);
        return 2;
    }
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 3;
    const char* clip = argc > 4 ? argv[4] : nullptr;
    const Keyboard keys;
    prepareDeviceEnvironment(0, nullptr);
    const char* device = std::getenv("FRAMEBUFFER");
    const int fb = open(device ? device : "/dev/fb0", O_RDWR | O_CLOEXEC);
    if (fb < 0) {
        std::perror("framebuffer");
        return 1;
    }
    fb_fix_screeninfo fixed{};
    if (ioctl(fb, FBIOGET_FSCREENINFO, &fixed) != 0 || fixed.line_length == 0) {
        std::perror("framebuffer");
        return 1;
    }
    const size_t size = fixed.smem_len;
    const size_t lineLength = fixed.line_length;
    std::vector<double> frontMs, bareMs, frontRss, bareRss;
    // A BASELINE of "-": the clip's rows alone.
    const bool startUp = std::strcmp(argv[2], "-") != 0;
    for (int i = 0; startUp && i < rounds; ++i) {
        const Run bare = measure(argv[2], fb, size, lineLength);
        const Run front = measure(argv[1], fb, size, lineLength);
        if (bare.startupMs < 0 || front.startupMs < 0) {
            std::fprintf(stderr, "no frame on the framebuffer\n");
            return 1;
        }
        bareMs.push_back(bare.startupMs);
        frontMs.push_back(front.startupMs);
        bareRss.push_back(static_cast<double>(bare.rssKiB));
        frontRss.push_back(static_cast<double>(front.rssKiB));
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    if (startUp) {
        std::printf("start-up to the first frame on the framebuffer (median of %d):\n", rounds);
        std::printf("  bare list widget   %8.0f ms\n", median(bareMs));
        std::printf("  tarragon           %8.0f ms   ratio %.2f\n", median(frontMs),
                    median(frontMs) / median(bareMs));
        std::printf("resident memory at idle (median of %d):\n", rounds);
        std::printf("  bare list widget   %8.0f KiB\n", median(bareRss));
        std::printf("  tarragon           %8.0f KiB   ratio %.2f\n", median(frontRss),
                    median(frontRss) / median(bareRss));
    }
    if (!clip)
        return 0;
    fb_var_screeninfo mode{};
    if (!keys.made() || ioctl(fb, FBIOGET_VSCREENINFO, &mode) != 0 || !prepareFrontEndHome(clip)) {
        std::fprintf(stderr, "no keyboard of its own, or no home for the front-end\n");
        return 1;
    }
    const Screen screen{fb, mode, size, lineLength};
    PlayerArgs asTheFrontEnd = buildPlayerArgs(PlayerOptions(), clip);
    asTheFrontEnd.argv[0] = argc > 5 ? argv[5] : "/usr/lib/tarragon/mplayer";
    std::vector<double> byHandMs, launcherMs, throughMs;
    for (int i = 0; i < rounds; ++i) {
        byHandMs.push_back(playByHand(screen, {"mplayer", "-vo", "fbdev2", clip, nullptr}));
        // With the fonts the front-end would give it.
        const std::string launcher = asTheFrontEnd.argv[0];
        setenv("FONTCONFIG_FILE", (launcher.substr(0, launcher.rfind('/')) + "/fonts.conf").c_str(),
               1);
        launcherMs.push_back(
            playByHand(screen, {asTheFrontEnd.argv.begin(),
                                asTheFrontEnd.argv.begin() + asTheFrontEnd.count + 1}));
        unsetenv("FONTCONFIG_FILE");
        throughMs.push_back(playThroughTheFrontEnd(screen, argv[1], keys));
        if (byHandMs.back() < 0 || launcherMs.back() < 0 || throughMs.back() < 0) {
            std::fprintf(stderr, "the clip's picture did not show\n");
            return 1;
        }
    }
    std::printf("to the clip's first frame (median of %d):\n", rounds);
    std::printf("  mplayer -vo fbdev2 CLIP, by hand     %8.0f ms\n", median(byHandMs));
    std::printf("  its launcher, by hand, as it is run  %8.0f ms   ratio %.2f\n",
                median(launcherMs), median(launcherMs) / median(byHandMs));
    std::printf("  tarragon, from the key that plays it %8.0f ms   ratio %.2f\n", median(throughMs),
                median(throughMs) / median(byHandMs));
    return 0;
}
