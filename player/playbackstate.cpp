#include "playbackstate.h"

#include "platform/signalwake.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstddef>
#include <pthread.h>
#include <sys/wait.h>
#include <unistd.h>

PlaybackState playbackState;
const int frontEndPid = getpid();
const SignalWake childEnded;

namespace
{
// Set before main runs, on the thread that runs it: the event loop's.
const pthread_t eventLoopThread = pthread_self();

// Appends the decimal form of value; no stdio, so it is safe in a handler.
size_t appendInt(char* out, size_t pos, size_t size, int value)
{
    std::array<char, 16> digits{};
    size_t n = 0;
    long v = value;
    const bool negative = v < 0;
    if (negative)
        v = -v;
    do {
        digits[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0 && n < digits.size());
    if (negative && pos < size)
        out[pos++] = '-';
    while (n > 0 && pos < size)
        out[pos++] = digits[--n];
    return pos;
}

size_t appendText(char* out, size_t pos, size_t size, const char* text)
{
    while (*text && pos < size)
        out[pos++] = *text++;
    return pos;
}
} // namespace

void onChildSignal(int signal)
{
    const int savedErrno = errno;
    // Threads the toolkit starts later take SIGCHLD too. The work is the
    // event loop's, where the hold-back around a launch holds it, so the
    // signal goes on to that thread. (pthread_equal only compares.)
    if (!pthread_equal(pthread_self(), eventLoopThread)) {
        pthread_kill(eventLoopThread, signal);
        errno = savedErrno;
        return;
    }
    const int pid = playbackState.childPid;
    std::array<char, 80> line{};
    size_t n = appendText(line.data(), 0, line.size(), "process ");
    n = appendInt(line.data(), n, line.size(), pid);
    n = appendText(line.data(), n, line.size(), " child signal ");
    n = appendInt(line.data(), n, line.size(), signal);
    n = appendText(line.data(), n, line.size(), "\n");
    [[maybe_unused]] ssize_t written = write(STDERR_FILENO, line.data(), n);
    if (pid == 0) {
        // No player yet is either a child between fork and exec, which ends
        // here, or the front-end before its first launch, which must not:
        // the signal may land on any of the toolkit's threads, so the
        // process id tells them apart.
        if (getpid() != frontEndPid)
            _exit(0);
        errno = savedErrno;
        return;
    }
    // The signal may be an earlier player's: only the end of this one ends
    // playback. It is collected here, so it is no longer killed by its id,
    // which might by now name some other process.
    if (waitpid(pid, nullptr, WNOHANG) != 0) {
        playbackState.playing = 0;
        childEnded.notify();
    }
    errno = savedErrno;
}
