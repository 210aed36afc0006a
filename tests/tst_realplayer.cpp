#include "filebrowser.h"
#include "frontendprocess.h"
#include "mywidget.h"
#include "platform/utilcst.h"
#include "playbackstate.h"
#include "testmain.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QtTest>

#include <csignal>
#include <memory>

// The real MPlayer through the installed launcher, on generated clips, with
// null video and audio outputs and a private MPLAYER_HOME.
class RealPlayerTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir clips;
    QTemporaryDir home;
    std::unique_ptr<TempInstall> install;
    std::unique_ptr<MyWidget> window;
    QElapsedTimer sincePlay;

    void play(const QString& clip)
    {
        QVERIFY(QFile::exists(clips.filePath(clip)));
        window = std::make_unique<MyWidget>();
        window->browser()->listDirectory(clips.path());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QVERIFY(highlight(window->browser(), clip));
        QTest::keyClick(window->windowHandle(), Qt::Key_Return);
        sincePlay.start();
        QVERIFY(playbackState.playing);
        // The player's own report of its video stream; a song plays on.
        if (clip.startsWith("song"))
            QTest::qWait(1500);
        else
            QTRY_VERIFY_WITH_TIMEOUT(install->commands().contains("./panelrest 0"), 15000);
        QVERIFY(playbackState.playing);
    }

    void press(Qt::Key key) { QTest::keyClick(window->windowHandle(), key); }

private slots:
    void initTestCase()
    {
        REQUIRE_TOOL("ffmpeg");
        REQUIRE_TOOL("mplayer");
        const QString source = "testsrc=size=96x72:rate=10";
        QVERIFY(makeClip(clips.filePath("short.avi"), source, 20, true));
        QVERIFY(makeClip(clips.filePath("thirty.avi"), source, 30, true));
        QVERIFY(makeClip(clips.filePath("six.avi"), source, 6, true));
        const QStringList aac = {"-c:a", "aac"};
        QVERIFY(makeClip(clips.filePath("clip.mkv"), source, 6, true,
                         QStringList{"-c:v", "libx264"} + aac));
        QVERIFY(makeClip(clips.filePath("clip.M4V"), source, 6, true,
                         QStringList{"-c:v", "libx264", "-f", "mp4"} + aac));
        QVERIFY(makeClip(clips.filePath("clip.webm"), source, 6, true,
                         {"-c:v", "libvpx-vp9", "-c:a", "libopus"}));
        QVERIFY(makeClip(clips.filePath("hevc.mp4"), source, 6, true,
                         QStringList{"-c:v", "libx265"} + aac));
        QVERIFY(makeClip(clips.filePath("song.opus"), "sine=frequency=440", 6, false,
                         {"-c:a", "libopus"}));
        QVERIFY(makeClip(clips.filePath("song.aac"), "sine=frequency=440", 6, false, aac));
        writeAll(home.filePath("config"), "vo=null\nao=null\n");
        qputenv("MPLAYER_HOME", QFile::encodeName(home.path()));
        qunsetenv("DISPLAY");
        qunsetenv("TARRAGON_WID");
        std::signal(SIGCHLD, onChildSignal);
    }

    void init()
    {
        resetFrontEndState();
        install = std::make_unique<TempInstall>();
        install->installRealPlayer();
    }

    void cleanup()
    {
        if (window && playbackState.playing)
            window->stopPlayback();
        window.reset();
        install.reset();
    }

    // Each container and codec as ffmpeg makes them today; a song has no
    // picture to report.
    void playSeesVideoAndStopReturnsToNormal_data()
    {
        QTest::addColumn<QString>("clip");
        for (const char* clip : {"short.avi", "clip.mkv", "clip.M4V", "clip.webm", "hevc.mp4",
                                 "song.opus", "song.aac"})
            QTest::newRow(clip) << clip;
    }
    void playSeesVideoAndStopReturnsToNormal()
    {
        QFETCH(QString, clip);
        play(clip);
        const int pid = playbackState.childPid;
        press(Qt::Key_F4);
        QVERIFY(!playbackState.playing);
        QVERIFY(!playbackState.fullScreen);
        QVERIFY(!window->softKeys()->isHidden());
        // The player has gone: quit, or the killall helper after it.
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(QString("/proc/%1/cwd").arg(pid)) ||
                                     readAll(QString("/proc/%1/stat").arg(pid)).contains(") Z "),
                                 5000);
    }

    void seekingForwardEndsTheClipEarly()
    {
        play("thirty.avi");
        press(Qt::Key_Up);
        press(Qt::Key_Up);
        QTRY_VERIFY_WITH_TIMEOUT(!playbackState.fullScreen, 40000);
        QVERIFY2(sincePlay.elapsed() < 22000, qPrintable(QString::number(sincePlay.elapsed())));
    }

    void pauseHoldsTheClip()
    {
        play("six.avi");
        press(Qt::Key_Return);
        QTest::qWait(4000);
        QVERIFY(playbackState.playing);
        press(Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(!playbackState.fullScreen, 30000);
        QVERIFY2(sincePlay.elapsed() > 8000, qPrintable(QString::number(sincePlay.elapsed())));
    }
};

TARRAGON_TEST_MAIN(RealPlayerTest)
#include "tst_realplayer.moc"
