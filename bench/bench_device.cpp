// On the device: start-up to the first frame on the framebuffer, and
// resident memory at idle, of the front-end against a bare Qt 6 list widget
// started the same way in the same boot. Usage:
//   bench_device FRONTEND BASELINE [ROUNDS]
// Both run with the environment the front-end would choose for itself.
#include "deviceenvironment.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <linux/fb.h>
#include <string>
#include <sys/ioctl.h>
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
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execl(program, program, static_cast<char*>(nullptr));
        _exit(127);
    }
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
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
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
    for (int i = 0; i < rounds; ++i) {
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
    std::printf("start-up to the first frame on the framebuffer (median of %d):\n", rounds);
    std::printf("  bare list widget   %8.0f ms\n", median(bareMs));
    std::printf("  tarragon           %8.0f ms   ratio %.2f\n", median(frontMs),
                median(frontMs) / median(bareMs));
    std::printf("resident memory at idle (median of %d):\n", rounds);
    std::printf("  bare list widget   %8.0f KiB\n", median(bareRss));
    std::printf("  tarragon           %8.0f KiB   ratio %.2f\n", median(frontRss),
                median(frontRss) / median(bareRss));
    return 0;
}
