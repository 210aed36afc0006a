#include "filebrowser.h"
#include "frontendprocess.h"
#include "mywidget.h"
#include "platform/popupmenu.h"
#include "platform/utilcst.h"
#include "playbackstate.h"
#include "testmain.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QtTest>

#include <cmath>
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
    // A private sound server with one sink, whose monitor is recorded; left
    // behind by a crash, it ends once idle.
    QTemporaryDir soundDir;
    QProcess sound;

    void play(const QString& clip)
    {
        QVERIFY(QFile::exists(clips.filePath(clip)));
        if (!window)
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

    // 16-bit stereo as stretches of one level each.
    static QString heardLevels(const QByteArray& pcm)
    {
        const auto* samples = reinterpret_cast<const qint16*>(pcm.constData());
        const qsizetype frames = pcm.size() / 4;
        const int window = 4410; // 100 ms at 44.1 kHz
        QStringList runs;
        QString last;
        int length = 0;
        for (qsizetype start = 0; start + window <= frames; start += window) {
            QString now;
            for (int channel = 0; channel < 2; ++channel) {
                double power = 0;
                int crossings = 0;
                for (int i = 0; i < window; ++i) {
                    const qint16 s = samples[(start + i) * 2 + channel];
                    power += double(s) * s;
                    crossings += i > 0 && (samples[(start + i - 1) * 2 + channel] < 0) != (s < 0);
                }
                const double db = 10 * std::log10(power / window / (32768.0 * 32768.0) + 1e-12);
                now += db < -60 ? QString("silent ")
                                : QString("%1/%2 ")
                                      .arg(std::lround(crossings / 4.0) * 20)
                                      .arg(std::lround(db));
            }
            now = now.trimmed() == "silent silent" ? "silent" : now.trimmed();
            length = now == last ? length + 1 : 1;
            last = now;
            if (length == 5 && (runs.isEmpty() || runs.last() != now))
                runs << now;
        }
        while (!runs.isEmpty() && runs.first() == "silent")
            runs.removeFirst();
        while (!runs.isEmpty() && runs.last() == "silent")
            runs.removeLast();
        return runs.join("; ");
    }

private slots:
    void initTestCase()
    {
        REQUIRE_TOOL("ffmpeg");
        REQUIRE_TOOL("mplayer");
        const QString source = "testsrc=size=96x72:rate=10";
        QVERIFY(makeClip(clips.filePath("short.avi"), source, 20, true));
        QVERIFY(makeClip(clips.filePath("thirty.avi"), source, 30, true));
        QVERIFY(makeClip(clips.filePath("six.avi"), source, 6, true));
        // The encoders' fastest settings: their defaults take the best part
        // of an hour on a one-core ARMv6 phone.
        const QStringList aac = {"-c:a", "aac"};
        const QStringList fast = {"-preset", "ultrafast"};
        QVERIFY(makeClip(clips.filePath("clip.mkv"), source, 6, true,
                         QStringList{"-c:v", "libx264"} + fast + aac));
        QVERIFY(makeClip(clips.filePath("clip.M4V"), source, 6, true,
                         QStringList{"-c:v", "libx264", "-f", "mp4"} + fast + aac));
        QVERIFY(makeClip(
            clips.filePath("clip.webm"), source, 6, true,
            {"-c:v", "libvpx-vp9", "-deadline", "realtime", "-cpu-used", "8", "-c:a", "libopus"}));
        QVERIFY(makeClip(clips.filePath("hevc.mp4"), source, 6, true,
                         QStringList{"-c:v", "libx265"} + fast + aac));
        QVERIFY(makeClip(clips.filePath("song.opus"), "sine=frequency=440", 6, false,
                         {"-c:a", "libopus"}));
        QVERIFY(makeClip(clips.filePath("song.aac"), "sine=frequency=440", 6, false, aac));
        // 440 Hz on the left, 660 Hz on the right, each at -15 dBFS.
        QVERIFY(makeClip(clips.filePath("song-tones.wav"),
                         "aevalsrc=0.25*sin(440*2*PI*t)|0.25*sin(660*2*PI*t):c=stereo:s=44100", 12,
                         false, {"-c:a", "pcm_s16le"}));
        writeAll(home.filePath("config"), "vo=null\nao=null\n");
        qputenv("MPLAYER_HOME", QFile::encodeName(home.path()));
        const QString socket = soundDir.filePath("native");
        sound.setProcessEnvironment([this] {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("HOME", soundDir.path());
            env.insert("XDG_RUNTIME_DIR", soundDir.path());
            return env;
        }());
        sound.start("pulseaudio",
                    {"-n", "--daemonize=no", "--exit-idle-time=300", "--use-pid-file=no", "-L",
                     "module-null-sink sink_name=rec", "-L",
                     "module-native-protocol-unix auth-anonymous=1 socket=" + socket});
        if (sound.waitForStarted())
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(socket), 10000);
        qputenv("PULSE_SERVER", "unix:" + QFile::encodeName(socket));
        qunsetenv("DISPLAY");
        qunsetenv("TARRAGON_WID");
        std::signal(SIGCHLD, onChildSignal);
    }

    void cleanupTestCase()
    {
        sound.terminate();
        sound.waitForFinished();
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

    // What the player put out, recorded from a private sound server's null
    // sink: stretches of half a second or more at one level, each channel's
    // tone (Hz) and level (dBFS), or "silent", the silence before and after
    // left out. A key list's -1 is a pause of 1.5 s; an option is chosen
    // before the clip.
    void whatTheKeysDoToTheSound_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QString>("heard");
        const int down = Qt::Key_PageDown, up = Qt::Key_PageUp;
        QTest::newRow("four steps down, four up")
            << "" << QList<int>{-1, down, down, down, down, -1, up, up, up, up, -1}
            << "440/-15 660/-15; 440/-16 660/-16; 440/-15 660/-15";
        QTest::newRow("mute, then a step up") << "" << QList<int>{Qt::Key_F10, -1, up, -1}
                                              << "440/-15 660/-15; silent; 440/-45 660/-45";
        QTest::newRow("pause, play") << "" << QList<int>{Qt::Key_Return, -1, Qt::Key_Return, -1}
                                     << "440/-15 660/-15; silent; 440/-15 660/-15";
        QTest::newRow("left channel") << "Left Channel" << QList<int>{} << "440/-30 440/-30";
        QTest::newRow("right channel") << "Right Channel" << QList<int>{} << "660/-30 660/-30";
        QTest::newRow("silent") << "Silent " << QList<int>{} << "";
    }
    void whatTheKeysDoToTheSound()
    {
        QFETCH(QString, option);
        QFETCH(QList<int>, keys);
        if (sound.state() != QProcess::Running)
            QSKIP("no sound server");
        writeAll(home.filePath("config"), "vo=null\nao=pulse\n");
        QProcess recorder;
        recorder.start("parec", {"-d", "rec.monitor", "--format=s16le", "--rate=44100",
                                 "--channels=2", "--raw"});
        QVERIFY(recorder.waitForStarted());
        window = std::make_unique<MyWidget>();
        PopupMenu* menu =
            option.endsWith("Channel") ? window->channelMenu() : window->settingMenu();
        QVERIFY(option.isEmpty() || choose(menu, option));
        // A song with no sound has nothing to play: a clip's picture.
        play(option == "Silent " ? "six.avi" : "song-tones.wav");
        for (int key : keys)
            key < 0 ? QTest::qWait(1500) : press(Qt::Key(key));
        QTest::qWait(1500);
        press(Qt::Key_F4);
        writeAll(home.filePath("config"), "vo=null\nao=null\n");
        QTest::qWait(1000);
        recorder.terminate();
        QVERIFY(recorder.waitForFinished());
        QTEST(heardLevels(recorder.readAllStandardOutput()), "heard");
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
