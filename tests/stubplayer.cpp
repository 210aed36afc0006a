// Stands in for MPlayer in tests. Records its arguments (NUL-separated) in
// ./stub-args.log, its process id in ./stub-pid.log and every byte it reads
// in ./stub-input.log, in the working directory. Ends on "quit", at end of input, or as told:
//   STUB_VIDEO=1      print a "VIDEO:" line at start and every 300 ms
//   STUB_EXIT_MS=N    exit after N milliseconds
//   STUB_NO_READ=1    never read the input
//   STUB_HANG=1       never read the input, nor notice its end: only a
//                     signal ends it
//   STUB_FLOOD=1      print without pause
//   STUB_BINARY=1     print bytes that include NUL and '%'
//   STUB_TALK=N       print N bytes ('~') a second, in 100 ms slices, into a
//                     socket that holds little, for STUB_TALK_MS (3000) ms,
//                     then the count in ./stub-talked.log; a slice it has no
//                     room for is noted in ./stub-blocked.log
//   STUB_SPLIT_VIDEO=1  print a "VIDEO:" line in two pieces 700 ms apart
//   STUB_PAUSED=1     answer at start as a paused player does a pause query
//   STUB_SONG=1       say "Video: no video" at start, answer volume and
//                     mute queries (55, muted)
//   STUB_ENTRY=N      say "Playing" the Nth line of the -playlist file
//   STUB_TIME=S, STUB_LENGTH=S  answer each position or length query so
//                     (the position 1.5 for a song, by default)
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace
{
void put(int fd, const char* bytes, size_t size)
{
    while (size > 0) {
        const ssize_t n = write(fd, bytes, size);
        if (n <= 0) {
            if (n < 0 && errno == EINTR)
                continue;
            _exit(0);
        }
        bytes += n;
        size -= static_cast<size_t>(n);
    }
}

bool flag(const char* name)
{
    const char* v = std::getenv(name);
    return v && *v && std::strcmp(v, "0") != 0;
}
} // namespace

int main(int argc, char** argv)
{
    const int args = open("stub-args.log", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    for (int i = 0; i < argc; ++i)
        put(args, argv[i], std::strlen(argv[i]) + 1);
    close(args);
    const std::string pid = std::to_string(getpid()) + "\n";
    const int pidLog = open("stub-pid.log", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    put(pidLog, pid.data(), pid.size());
    close(pidLog);
    const int input = open("stub-input.log", O_WRONLY | O_CREAT | O_APPEND, 0644);

    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const char* exitMs = std::getenv("STUB_EXIT_MS");
    const long exitAfter = exitMs ? std::atol(exitMs) : -1;
    const bool video = flag("STUB_VIDEO");
    const bool hang = flag("STUB_HANG");
    const bool noRead = hang || flag("STUB_NO_READ");
    const bool flood = flag("STUB_FLOOD");
    const bool song = flag("STUB_SONG");
    if (const char* entry = std::getenv("STUB_ENTRY"))
        if (FILE* list = argc > 1 ? std::fopen(argv[argc - 1], "r") : nullptr) {
            char line[4096] = "";
            for (long n = std::atol(entry); n > 0 && std::fgets(line, sizeof line, list); --n) {
            }
            const std::string said =
                "Playing " + std::string(line, std::strcspn(line, "\r\n")) + ".\n";
            put(1, said.data(), said.size());
            std::fclose(list);
        }
    if (song)
        put(1, "Video: no video\n", 16);
    struct Answer {
        const char* query;
        std::string answer;
        size_t asked;
    };
    std::vector<Answer> answers;
    const char* time = std::getenv("STUB_TIME");
    if (time || song)
        answers.push_back({"get_property time_pos\n",
                           std::string("ANS_time_pos=") + (time ? time : "1.5") + "\n", 0});
    if (song) {
        answers.push_back({"get_property volume\n", "ANS_volume=55.000000\n", 0});
        answers.push_back({"get_property mute\n", "ANS_mute=yes\n", 0});
    }
    if (const char* length = std::getenv("STUB_LENGTH"))
        answers.push_back({"get_property length\n", std::string("ANS_length=") + length + "\n", 0});
    if (flag("STUB_PAUSED"))
        put(1, "ANS_pause=yes\n", 14);
    if (flag("STUB_BINARY"))
        put(1, "out\0put %s %n\n", 15);
    const char* talk = std::getenv("STUB_TALK");
    long talkRate = talk ? std::atol(talk) : 0;
    if (talkRate > 0) {
        // A few seconds' worth at most, whatever the system's default: the
        // front-end must keep up, not merely lag behind a large buffer.
        const int room = 32768;
        setsockopt(1, SOL_SOCKET, SO_SNDBUF, &room, sizeof room);
    }
    const char* talkMs = std::getenv("STUB_TALK_MS");
    const long talkFor = talkMs ? std::atol(talkMs) : 3000;
    long talked = 0;
    auto lastTalk = start;
    if (flag("STUB_SPLIT_VIDEO")) {
        put(1, "VID", 3);
        poll(nullptr, 0, 700);
        put(1, "EO:  [stub]  240x180\n", 21);
    }
    auto lastVideo = start - std::chrono::seconds(1);
    std::string received;
    static char block[65536];
    std::memset(block, '~', sizeof block);
    for (;;) {
        const auto now = Clock::now();
        const long elapsed = static_cast<long>(
            std::chrono::duration_cast<std::chrono::milliseconds>(now - start).count());
        if (exitAfter >= 0 && elapsed >= exitAfter)
            return 0;
        if (video && now - lastVideo >= std::chrono::milliseconds(300)) {
            const char line[] = "VIDEO:  [stub]  240x180  24bpp  25.000 fps\n";
            put(1, line, sizeof line - 1);
            lastVideo = now;
        }
        if (flood)
            put(1, block, sizeof block);
        if (talkRate > 0 && elapsed >= talkFor) {
            const std::string count = std::to_string(talked) + "\n";
            const int log = open("stub-talked.log", O_WRONLY | O_CREAT | O_TRUNC, 0644);
            put(log, count.data(), count.size());
            close(log);
            talkRate = 0;
        }
        if (talkRate > 0 && now - lastTalk >= std::chrono::milliseconds(100)) {
            const size_t slice = static_cast<size_t>(talkRate / 10);
            // Never waits: a slice without room means the front-end has
            // left the socket full, and the player would stall here.
            const ssize_t sent = send(1, block, slice, MSG_DONTWAIT | MSG_NOSIGNAL);
            talked += sent > 0 ? sent : 0;
            if (sent != static_cast<ssize_t>(slice)) {
                const int blocked = open("stub-blocked.log", O_WRONLY | O_CREAT | O_APPEND, 0644);
                put(blocked, "blocked\n", 8);
                close(blocked);
            }
            lastTalk = now;
        }
        pollfd p{0, static_cast<short>(noRead ? 0 : POLLIN), 0};
        const int ready = poll(&p, hang ? 0 : 1, flood ? 0 : talkRate > 0 ? 2 : 20);
        if (ready > 0 && (p.revents & (POLLIN | POLLHUP))) {
            char buffer[4096];
            const ssize_t n = read(0, buffer, sizeof buffer);
            if (n <= 0)
                return 0;
            put(input, buffer, static_cast<size_t>(n));
            received.append(buffer, static_cast<size_t>(n));
            if (received.find("quit\n") != std::string::npos)
                return 0;
            for (Answer& a : answers)
                for (size_t at; (at = received.find(a.query, a.asked)) != std::string::npos;) {
                    put(1, a.answer.data(), a.answer.size());
                    a.asked = at + 1;
                }
        }
    }
}
