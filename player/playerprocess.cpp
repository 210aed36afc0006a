#include "playerprocess.h"

#include "playbackstate.h"
#include "writeall.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <pthread.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
// SIGCHLD held back on this thread, the one the handler works on.
class ChildSignalHeld
{
public:
    ChildSignalHeld()
    {
        sigset_t childSignal;
        sigemptyset(&childSignal);
        sigaddset(&childSignal, SIGCHLD);
        pthread_sigmask(SIG_BLOCK, &childSignal, &previous_);
    }
    ~ChildSignalHeld() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
    ChildSignalHeld(const ChildSignalHeld&) = delete;
    ChildSignalHeld& operator=(const ChildSignalHeld&) = delete;
    const sigset_t& previous() const { return previous_; }

private:
    sigset_t previous_;
};
} // namespace

PlayerProcess::~PlayerProcess()
{
    close();
}

PlayerAnswers PlayerProcess::close()
{
    // Before the descriptor goes: a notifier must never outlive it.
    watcher_.reset();
    Output last;
    if (commandSocket >= 0) {
        // What a player that ended printed last is echoed too: one that
        // failed at once said why.
        echoWaiting(last, std::chrono::steady_clock::time_point::max());
        ::close(commandSocket);
    }
    commandSocket = -1;
    return last.said;
}

bool PlayerProcess::launch(const PlayerArgs& args)
{
    // SIGCHLD waits until playing is set, so a player that ends at once is
    // not missed. Players that ended earlier are collected first.
    const ChildSignalHeld held;
    while (waitpid(-1, nullptr, WNOHANG) > 0) {
    }
    close();
    videoMarker_.reset();
    answers_.reset();

    int sockets[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0) {
        std::perror("socketpair");
        return false;
    }
    commandSocket = sockets[0];
    playerSocket = sockets[1];
    std::fflush(stdout);
    std::fflush(stderr);
    // vfork: the child borrows this process's memory until it execs, so
    // nothing of a large address space is copied on the way to the picture.
    // It only closes, duplicates, sets its signals and execs, and writes
    // nothing the front-end reads: its SIGCHLD goes back to the default
    // rather than to the handler, which acts on the shared memory.
    const pid_t pid = vfork();
    if (pid == 0) {
        std::signal(SIGCHLD, SIG_DFL);
        ::close(commandSocket);
        dup2(playerSocket, 1);
        dup2(playerSocket, 0);
        dup2(playerSocket, 2);
        if (playerSocket > 2)
            ::close(playerSocket);
        pthread_sigmask(SIG_SETMASK, &held.previous(), nullptr);
        std::signal(SIGPIPE, SIG_DFL);
        execvp(args.argv[0], const_cast<char* const*>(args.argv.data()));
        _exit(0);
    }
    forked(pid);
    ::close(playerSocket);
    playerSocket = -1;
    if (pid < 0) {
        std::perror("vfork");
        close();
        return false;
    }
    playbackState.childPid = pid;
    playbackState.playing = true;
    watchSocket();
    return true;
}

void PlayerProcess::watchSocket()
{
    watcher_ = std::make_unique<QSocketNotifier>(commandSocket, QSocketNotifier::Read);
    watcher_->setEnabled(watching_);
    QObject::connect(watcher_.get(), &QSocketNotifier::activated, [this] {
        watch(false);
        if (wake_)
            wake_();
    });
}

void PlayerProcess::watch(bool on)
{
    watching_ = on;
    if (watcher_)
        watcher_->setEnabled(on);
}

void PlayerProcess::send(const char* text)
{
    [[maybe_unused]] const ssize_t sent =
        ::send(commandSocket, text, std::strlen(text), MSG_NOSIGNAL | MSG_DONTWAIT);
}

PlayerProcess::Output PlayerProcess::drain()
{
    Output output;
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(commandSocket, &readable);
    timeval timeout{0, 200};
    if (select(commandSocket + 1, &readable, nullptr, nullptr, &timeout) <= 0 ||
        !FD_ISSET(commandSocket, &readable))
        return output;
    output.readable = true;
    echoWaiting(output, std::chrono::steady_clock::now() + maxDrainTime);
    return output;
}

void PlayerProcess::echoWaiting(Output& output, std::chrono::steady_clock::time_point deadline)
{
    std::array<char, 1024> bytes{};
    for (int reads = 0; reads < maxReadsPerDrain; ++reads) {
        const ssize_t n = recv(commandSocket, bytes.data(), bytes.size(), MSG_DONTWAIT);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            // End of file: every copy of the player's end is closed, so it
            // has gone, whether or not its SIGCHLD reached us.
            output.open = n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
            break;
        }
        writeAll(STDERR_FILENO, bytes.data(), static_cast<size_t>(n));
        output.video = videoMarker_.feed(bytes.data(), static_cast<size_t>(n)) || output.video;
        answers_.feed(bytes.data(), static_cast<size_t>(n), output.said);
        if (std::chrono::steady_clock::now() >= deadline)
            break;
    }
}
