// The front-end's CPU time per second of wall time while the real MPlayer
// plays a clip (null outputs), against the same clip played by MPlayer
// alone, and the longest time one tick held the event loop.
#include "benchutil.h"
#include "filebrowser.h"
#include "mywidget.h"
#include "playbackstate.h"
#include "testsupport.h"

#include <QApplication>
#include <QTest>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
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
            ("ffmpeg -loglevel error -y -f lavfi -i testsrc=size=320x240:rate=25:duration=8 "
             "-f lavfi -i sine=duration=8 -c:v mpeg4 -c:a mp3 -shortest '" +
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
    while (playbackState.fullScreen && wall.elapsed() < 60000)
        QTest::qWait(50);
    const double playWall = double(wall.nsecsElapsed()) / 1e9;
    const double frontPerSecond = (cpuSeconds(RUSAGE_SELF) - before) / playWall;
    dup2(savedErr, 2);

    std::printf("CPU seconds per wall second while an 8 s clip plays (null outputs):\n");
    std::printf("  MPlayer alone      %.4f  (%.1f s)\n", alonePerSecond, aloneWall);
    std::printf("  tarragon itself    %.4f  (%.1f s)   share of MPlayer's %.1f%%\n", frontPerSecond,
                playWall, 100.0 * frontPerSecond / alonePerSecond);
    std::printf("longest tick: %.0f us over %d ticks (select timeout 200 us)\n",
                double(window.longestTickNs) / 1000.0, window.ticks);
    return 0;
}
