// The front-end's CPU time per second of wall time while the real MPlayer
// plays a clip (null outputs), against the same clip played by MPlayer
// alone, and the longest time one tick held the event loop.
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
} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qunsetenv("DISPLAY");
    QApplication app(argc, argv);
    TempInstall install;
    install.installRealPlayer();
    QTemporaryDir home;
    writeAll(home.filePath("config"), "vo=null\nao=null\n");
    qputenv("MPLAYER_HOME", QFile::encodeName(home.path()));
    const QString clip = install.file("clip.avi");
    const QByteArray clipPath = QFile::encodeName(clip);
    if (std::system(
            ("ffmpeg -loglevel error -y -f lavfi -i testsrc=size=320x240:rate=25:duration=60 "
             "-f lavfi -i sine=duration=60 -c:v mpeg4 -c:a mp3 -shortest '" +
             clipPath + "'")
                .constData()) != 0)
        return 1;

    // MPlayer alone, waited for, so its time counts among our children's.
    double before = cpuSeconds(RUSAGE_CHILDREN);
    QElapsedTimer wall;
    wall.start();
    [[maybe_unused]] const int played =
        std::system(("/usr/bin/mplayer -really-quiet -vo null -ao null -slave -nortc '" + clipPath +
                     "' < /dev/null > /dev/null 2>&1")
                        .constData());
    const double aloneWall = double(wall.nsecsElapsed()) / 1e9;
    const double alonePerSecond = (cpuSeconds(RUSAGE_CHILDREN) - before) / aloneWall;

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
    const int savedErr = dup(2);
    const int devnull = open("/dev/null", O_WRONLY);
    dup2(devnull, 2); // the echoed player output
    before = cpuSeconds(RUSAGE_SELF);
    wall.restart();
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
    const double playWall = double(wall.nsecsElapsed()) / 1e9;
    const double frontPerSecond = (cpuSeconds(RUSAGE_SELF) - before) / playWall;
    const double steadyPerSecond = (steadyTo - steadyFrom) / (steadyWallTo - steadyWallFrom);
    dup2(savedErr, 2);

    std::printf("CPU seconds per wall second while a minute's clip plays (null outputs):\n");
    std::printf("  MPlayer alone      %.4f  (%.1f s)\n", alonePerSecond, aloneWall);
    std::printf("  tarragon itself    %.4f  (%.1f s)   share of MPlayer's %.1f%%\n", frontPerSecond,
                playWall, 100.0 * frontPerSecond / alonePerSecond);
    std::printf("  tarragon, steady   %.5f (%.1f s)   share of MPlayer's %.2f%%\n", steadyPerSecond,
                steadyWallTo - steadyWallFrom, 100.0 * steadyPerSecond / alonePerSecond);
    std::printf("  the ticks' floor   %.5f           share of MPlayer's %.2f%%; tarragon, steady, "
                "%.2fx the floor\n",
                floorPerSecond, 100.0 * floorPerSecond / alonePerSecond,
                steadyPerSecond / floorPerSecond);
    std::printf("longest tick: %.0f us over %d ticks (select timeout 200 us)\n",
                double(window.longestTickNs) / 1000.0, window.ticks);
    return 0;
}
