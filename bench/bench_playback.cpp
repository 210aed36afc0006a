// The front-end's CPU time per second of wall time while the real MPlayer
// plays a film's clip and a song (null outputs), against the same clip
// played by MPlayer alone, and the longest time one tick held the event loop.
#include "benchutil.h"
#include "filebrowser.h"
#include "mywidget.h"
#include "playbackstate.h"
#include "testsupport.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

namespace
{
double cpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// This process's time on a CPU, every thread's, to the nanosecond: the
// front-end wakes too briefly for the tick-sampled times of getrusage.
double runSeconds()
{
    double total = 0;
    for (const QString& task :
         QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat("/proc/self/task/" + task + "/schedstat");
        if (stat.open(QIODevice::ReadOnly))
            total += stat.readAll().split(' ').value(0).toDouble() / 1e9;
    }
    return total;
}

class TimedWindow : public MyWidget
{
public:
    qint64 longestTickNs = 0;
    int ticks = 0;

protected:
    void timerEvent(QTimerEvent* event) override
    {
        QElapsedTimer t;
        t.start();
        MyWidget::timerEvent(event);
        longestTickNs = std::max(longestTickNs, t.nsecsElapsed());
        ++ticks;
    }
};
// MPlayer alone on the clip, waited for, so its time counts among our
// children's: its CPU seconds per wall second.
double playerAlone(const QByteArray& clipPath)
{
    const double before = cpuSeconds(RUSAGE_CHILDREN);
    QElapsedTimer wall;
    wall.start();
    [[maybe_unused]] const int played =
        std::system(("/usr/bin/mplayer -really-quiet -vo null -ao null -slave -nortc '" + clipPath +
                     "' < /dev/null > /dev/null 2>&1")
                        .constData());
    return (cpuSeconds(RUSAGE_CHILDREN) - before) / (double(wall.nsecsElapsed()) / 1e9);
}

struct Played {
    double perSecond = 0, wall = 0, steadyPerSecond = 0, steadyWall = 0;
};

// The front-end playing the highlighted clip to its end.
Played playedByFrontEnd(TimedWindow& window)
{
    const int savedErr = dup(2);
    const int devnull = open("/dev/null", O_WRONLY);
    dup2(devnull, 2); // the echoed player output
    const double before = cpuSeconds(RUSAGE_SELF);
    QElapsedTimer wall;
    wall.start();
    window.startPlayback(window.browser()->mediaPath.data(), false);
    // Waited for in the event loop, as the front-end waits: polling here
    // would be counted as the front-end's own time.
    // The steady part is counted from 5 s in, once the start's work is done,
    // to the last check before the end.
    QEventLoop loop;
    QTimer check;
    double steadyFrom = 0, steadyTo = 0, steadyWallFrom = 0, steadyWallTo = 0;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (!playbackState.fullScreen || wall.elapsed() >= 120000) {
            loop.quit();
            return;
        }
        const double now = double(wall.elapsed()) / 1e3;
        const bool first = steadyWallFrom == 0 && now >= 5;
        (first ? steadyFrom : steadyTo) = runSeconds();
        (first ? steadyWallFrom : steadyWallTo) = now;
    });
    check.start(5000);
    loop.exec();
    Played played;
    played.wall = double(wall.nsecsElapsed()) / 1e9;
    played.perSecond = (cpuSeconds(RUSAGE_SELF) - before) / played.wall;
    played.steadyWall = steadyWallTo - steadyWallFrom;
    played.steadyPerSecond = (steadyTo - steadyFrom) / played.steadyWall;
    dup2(savedErr, 2);
    close(devnull);
    close(savedErr);
    return played;
}
} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_NO_GLIB", "1"); // as the front-end runs
    qunsetenv("DISPLAY");
    QApplication app(argc, argv);
    TempInstall install;
    install.installRealPlayer();
    QTemporaryDir home;
    writeAll(home.filePath("config"), "vo=null\nao=null\n");
    qputenv("MPLAYER_HOME", QFile::encodeName(home.path()));
    // A film's minute, and a song's with its tags: its screen is drawn.
    const QByteArray clipPath = QFile::encodeName(install.file("clip.avi"));
    const QByteArray songPath = QFile::encodeName(install.file("song.mp3"));
    if (std::system(
            ("ffmpeg -loglevel error -y -f lavfi -i testsrc=size=320x240:rate=25:duration=60 "
             "-f lavfi -i sine=duration=60 -c:v mpeg4 -c:a mp3 -shortest '" +
             clipPath + "' && ffmpeg -loglevel error -y -f lavfi -i sine=duration=60 -c:a mp3 " +
             "-metadata title=Song -metadata artist=Band '" + songPath + "'")
                .constData()) != 0)
        return 1;
    const double alonePerSecond = playerAlone(clipPath);
    const double songAlonePerSecond = playerAlone(songPath);
    // The floor the ticks alone cost on this machine, before the window and
    // its own timer are made: the 500 ms timer and the 200 us select of each
    // tick, on a socket with nothing to read.
    int quiet[2];
    socketpair(AF_UNIX, SOCK_STREAM, 0, quiet);
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(quiet[0], &readable);
        timeval timeout{0, 200};
        select(quiet[0] + 1, &readable, nullptr, nullptr, &timeout);
    });
    const double floorFrom = runSeconds();
    QElapsedTimer floorWall;
    floorWall.start();
    tick.start(500);
    QEventLoop floorLoop;
    QTimer::singleShot(20000, &floorLoop, &QEventLoop::quit);
    floorLoop.exec();
    tick.stop();
    const double floorPerSecond =
        (runSeconds() - floorFrom) / (double(floorWall.nsecsElapsed()) / 1e9);
    std::signal(SIGCHLD, onChildSignal);
    TimedWindow window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    window.browser()->listDirectory(install.path());
    if (!highlight(window.browser(), "clip.avi"))
        return 1;
    const Played film = playedByFrontEnd(window);
    if (!highlight(window.browser(), "song.mp3"))
        return 1;
    const Played song = playedByFrontEnd(window);

    std::printf("CPU seconds per wall second while a minute's clip plays (null outputs):\n");
    std::printf("  MPlayer alone      %.4f\n", alonePerSecond);
    std::printf("  tarragon itself    %.4f  (%.1f s)   share of MPlayer's %.1f%%\n", film.perSecond,
                film.wall, 100.0 * film.perSecond / alonePerSecond);
    std::printf("  tarragon, steady   %.5f (%.1f s)   share of MPlayer's %.2f%%\n",
                film.steadyPerSecond, film.steadyWall,
                100.0 * film.steadyPerSecond / alonePerSecond);
    std::printf("  the ticks' floor   %.5f           share of MPlayer's %.2f%%; tarragon, steady, "
                "%.2fx the floor\n",
                floorPerSecond, 100.0 * floorPerSecond / alonePerSecond,
                film.steadyPerSecond / floorPerSecond);
    std::printf("A minute's song, its screen drawn each second:\n");
    std::printf("  MPlayer alone      %.4f\n", songAlonePerSecond);
    std::printf("  tarragon, steady   %.5f (%.1f s)   share of MPlayer's %.2f%%; %.2fx the floor\n",
                song.steadyPerSecond, song.steadyWall,
                100.0 * song.steadyPerSecond / songAlonePerSecond,
                song.steadyPerSecond / floorPerSecond);
    std::printf("longest tick: %.0f us over %d ticks (select timeout 200 us)\n",
                double(window.longestTickNs) / 1000.0, window.ticks);
    return 0;
}
