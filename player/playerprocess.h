#pragma once

#include "playeranswers.h"
#include "playerargs.h"
#include "videomarker.h"

#include <QSocketNotifier>

#include <chrono>
#include <functional>
#include <memory>
#include <sys/types.h>

// One player process from its launch to its end: the child's standard
// input, output and error on one end of a socket pair, the front-end on the
// other. playbackState records the child (childPid, and playing once it
// runs), as the child-exit handler reads them.
class PlayerProcess
{
public:
    PlayerProcess() = default;
    virtual ~PlayerProcess();
    PlayerProcess(const PlayerProcess&) = delete;
    PlayerProcess& operator=(const PlayerProcess&) = delete;

    // Starts args.argv[0] with args. The socket of a player that ended by
    // itself is closed first. False, with nothing left open, when no socket
    // pair or no process could be had.
    bool launch(const PlayerArgs& args);
    // Writes without waiting: a player that does not read cannot hold the
    // front-end, and one that has gone cannot end it through SIGPIPE.
    void send(const char* text);

    struct Output {
        bool readable = false; // the player had printed something, or gone
        bool video = false;    // a "VIDEO:" marker ended in what it printed
        bool open = true;      // false once the player's end has closed
        PlayerAnswers said;    // its answers and its word of no picture
    };
    // Takes what the player printed, echoing it to standard error as it
    // came; waits at most 200 microseconds for the first byte.
    Output drain();
    // What it said last, as drain would have.
    PlayerAnswers close();
    // While watched, the player's first byte or its end calls wake once and
    // the watch ends: a talkative player is read on the tick, not per line.
    // Carries over to the next launch.
    void setWake(std::function<void()> wake) { wake_ = std::move(wake); }
    void watch(bool on);
    int socket() const { return commandSocket; }

protected:
    // In the front-end, right after the fork: the child may already have
    // ended, and its SIGCHLD must still count once its id is known.
    virtual void forked(pid_t /*child*/) {}

private:
    void watchSocket();
    // Echoes what waits in the socket, without waiting, until deadline;
    // its end clears output.open.
    void echoWaiting(Output& output, std::chrono::steady_clock::time_point deadline);

    int commandSocket = -1;
    int playerSocket = -1;
    VideoMarkerScanner videoMarker_;
    PlayerAnswerScanner answers_;
    std::function<void()> wake_;
    std::unique_ptr<QSocketNotifier> watcher_;
    bool watching_ = false;

    // How much of the player's output one drain may take: everything
    // waiting, so a talkative player never fills the socket and stalls in
    // its own write, but never so much that one that never stops printing
    // holds the window.
    static constexpr std::chrono::milliseconds maxDrainTime{4};
    static constexpr int maxReadsPerDrain = 1024;
};
