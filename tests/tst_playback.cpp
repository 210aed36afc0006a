#include "audioroute.h"
#include "capture.h"
#include "clipresume.h"
#include "filebrowser.h"
#include "frontendprocess.h"
#include "mywidget.h"
#include "nowplaying.h"
#include "playbackstate.h"
#include "playerargs.h"
#include "settingsrecord.h"
#include "shellcommand.h"
#include "testmain.h"
#include "testsupport.h"

#include <QAbstractEventDispatcher>
#include <QScopeGuard>
#include <QtTest>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstring>
#include <memory>
#include <pthread.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{
QList<QByteArray> strings(const PlayerArgs& args)
{
    QList<QByteArray> out;
    for (size_t i = 0; i < args.count; ++i)
        out << QByteArray(args.argv[i]);
    return out;
}

// Waits up to ten seconds without running the event loop, so no timer tick
// comes in between.
template <typename Condition> bool waitWithoutEvents(Condition done)
{
    for (int i = 0; i < 10000; ++i) {
        if (done())
            return true;
        usleep(1000);
    }
    return done();
}

struct MixerCall {
    unsigned long request;
    int value;
};
std::vector<MixerCall> mixerCalls;
int mixerAnswer = 0;
bool mixerReadFails = false;

int fakeRequest(int, unsigned long request, int* argument)
{
    if (request == MixerRequest::readRouteHint) {
        mixerCalls.push_back({request, 0});
        if (mixerReadFails)
            return -1;
        *argument = mixerAnswer;
        return 0;
    }
    mixerCalls.push_back({request, *argument});
    return 0;
}
} // namespace

class PlaybackTest : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TempInstall> install;
    std::unique_ptr<MyWidget> window;
    QString media;

    void startWindow()
    {
        window = std::make_unique<MyWidget>();
        window->browser()->listDirectory(media);
        window->show();
    }
    void play(const QString& name)
    {
        QVERIFY(highlight(window->browser(), name));
        QVERIFY(choose(window->mainMenu(), "Play  "));
    }
    // A timer tick now, faster than the window's own timer; true once the
    // window is back in normal presentation.
    bool tick()
    {
        QTimerEvent event(0);
        QCoreApplication::sendEvent(window.get(), &event);
        return !playbackState.fullScreen;
    }
    // The tick has come to rest: a silent player costs the window no wakes.
    bool tickRests() const
    {
        const auto timers = QAbstractEventDispatcher::instance()->registeredTimers(window.get());
        return std::none_of(timers.begin(), timers.end(),
                            [](const auto& timer) { return timer.interval == 500; });
    }
    qsizetype countOf(const QString& command) const { return install->commands().count(command); }

private slots:
    void initTestCase()
    {
        std::signal(SIGCHLD, onChildSignal);
        // As the front-end has it.
        std::signal(SIGPIPE, SIG_IGN);
    }

    void init()
    {
        resetFrontEndState();
        install = std::make_unique<TempInstall>();
        install->installStubPlayer();
        media = install->file("media");
        QDir().mkpath(media);
        writeAll(media + "/clip.avi", "not really");
        writeAll(media + "/a much longer name for the same clip.avi", "");
        writeAll(media + QString::fromUtf8("/it's a \"clip\" ; $x 中文.mp3"), "");
        mixerCalls.clear();
        mixerAnswer = 0;
        mixerReadFails = false;
        qunsetenv("STUB_VIDEO");
        qunsetenv("STUB_EXIT_MS");
        qunsetenv("STUB_NO_READ");
        qunsetenv("STUB_FLOOD");
        qunsetenv("STUB_BINARY");
        qunsetenv("STUB_TALK");
        qunsetenv("STUB_SPLIT_VIDEO");
        qunsetenv("STUB_SONG");
        qunsetenv("STUB_TIME");
        qunsetenv("STUB_LENGTH");
    }

    void cleanup()
    {
        if (window && playbackState.playing)
            window->stopPlayback();
        window.reset();
        install.reset();
        mixerDevice = MixerDevice{"/dev/mixer", mixerDevice.request};
    }

    void argumentVectors()
    {
        PlayerOptions plain;
        plain.fScreen = true;
        QCOMPARE(strings(buildPlayerArgs(plain, "/m/a.avi")),
                 QList<QByteArray>({"./mplayer", "-slave", "-quiet", "-nortc", "-noloop", "-sws",
                                    "9", "/m/a.avi"}));
        QCOMPARE(buildPlayerArgs(plain, "x").argv[8], nullptr);

        PlayerOptions full;
        full.loop = full.silent = full.playlist = full.videoFix = true;
        full.leftChannel = full.rightChannel = true; // left wins
        full.scaleIndex = 1;
        const PlayerArgs args = buildPlayerArgs(full, "/p/default");
        QCOMPARE(args.count, size_t(16));
        QCOMPARE(args.argv[16], nullptr);
        QCOMPARE(strings(args),
                 QList<QByteArray>({"./mplayer", "-slave", "-quiet", "-nortc", "-loop", "0",
                                    "-vf-clr", "-nosound", "-lavdopts", "idct=7", "-af",
                                    "channels=2:2:0:0:0:1,volume=-15", "-sws", "3", "-playlist",
                                    "/p/default"}));
        PlayerOptions right;
        right.rightChannel = true;
        right.scaleIndex = 7;
        const QList<QByteArray> r = strings(buildPlayerArgs(right, "f"));
        QVERIFY(r.contains("channels=2:2:1:0:1:1,volume=-15"));
        QCOMPARE(r[r.size() - 2], QByteArray("4"));
        right.scaleIndex = -1;
        QCOMPARE(strings(buildPlayerArgs(right, "f")).at(r.size() - 2), QByteArray("4"));
    }

    // A command runs without a shell only where the shell would do nothing
    // but split it on spaces; either way it does what the shell would.
    void commandsRunWithoutAShellOnlyWhenPlain_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QByteArray>("words");
        QTest::addColumn<QByteArray>("wrote");
        // Its name, the command, its words run without a shell, what ./args wrote.
        const char* const rows[][4] = {
            {"the switch's killall", "./killall mplayer -9", "./killall|mplayer|-9", ""},
            {"spaces between words", "./args a  b=c ", "./args|a|b=c", "2:a:b=c"},
            {"quoted", "./args 'a  b'", "", "1:a  b:"},
            {"expanded", "./args $0", "", "1:sh:"},
            {"joined", "./args a;./args b", "", "1:b:"},
            {"an assignment first", "X=1 ./args", "", "0::"},
            {"redirected", "echo b1 > /proc/reg/cccr", "", ""},
            {"looked up in PATH", "insmod oc.o", "", ""},
            {"globbed", "./args *", "", ""},
            // Started as from a terminal: SIGCHLD not blocked, SIGPIPE not
            // ignored, whatever the front-end holds.
            {"the signals it starts with", "./signals", "./signals", "0:0"},
            // A signal to the front-end meanwhile: still waited for to its end.
            {"interrupted as it runs", "./slow", "./slow", "done"},
        };
        for (const auto& row : rows)
            QTest::newRow(row[0]) << QByteArray(row[1]) << QByteArray(row[2]) << QByteArray(row[3]);
        // What only the shell reads: to the shell.
        for (const char* shells : {"\"", ">", "?", "&", "|", "<", "`", "~", "{", "#", "\\", "("})
            QTest::newRow(shells) << "./args a" + QByteArray(shells) << QByteArray()
                                  << QByteArray();
    }
    void commandsRunWithoutAShellOnlyWhenPlain()
    {
        QFETCH(QByteArray, command);
        QFETCH(QByteArray, words);
        QFETCH(QByteArray, wrote);
        QByteArray joined;
        for (const std::string& word : plainCommandWords(command.constData()))
            joined += (joined.isEmpty() ? "" : "|") + QByteArray::fromStdString(word);
        QCOMPARE(joined, words);
        if (wrote.isEmpty())
            return;
        install->writeScript("args", "printf '%s:%s:%s' $# \"$1\" \"$2\" > args.out\n");
        install->writeScript(
            "signals", "set -- $(sed -n 's/^Sig[BI][lg][kn]:.//p' /proc/$$/status)\n"
                       "b=${1#????????} i=${2#????????}\n"
                       "printf %s:%s $(((0x$b >> 16) & 1)) $(((0x$i >> 12) & 1)) > args.out\n");
        install->writeScript("slow", "sleep 0.5; printf done > args.out\n");
        sigset_t childSignal, before;
        sigemptyset(&childSignal);
        sigaddset(&childSignal, SIGCHLD);
        pthread_sigmask(SIG_BLOCK, &childSignal, &before);
        struct sigaction interrupt {
        }, was{};
        interrupt.sa_handler = [](int) {};
        sigaction(SIGUSR1, &interrupt, &was);
        std::thread interrupter([main = pthread_self()] {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            pthread_kill(main, SIGUSR1);
        });
        runShellCommands({command.constData()});
        interrupter.join();
        sigaction(SIGUSR1, &was, nullptr);
        pthread_sigmask(SIG_SETMASK, &before, nullptr);
        QFile out(install->file("args.out"));
        QVERIFY(out.open(QIODevice::ReadOnly));
        QCOMPARE(out.readAll(), wrote);
    }

    void mixerRequests()
    {
        const QString device = install->file("mixer");
        writeAll(device, "");
        const QByteArray path = QFile::encodeName(device);
        mixerDevice = MixerDevice{path.constData(), fakeRequest};

        auto routeFor = [&](int answer, bool bass, int gain) {
            mixerCalls.clear();
            mixerAnswer = answer;
            settingsRecord.bassBoost = bass ? 1 : 0;
            applyAudioRoute(gain);
            return mixerCalls;
        };
        for (bool bass : {false, true}) {
            const auto calls = routeFor(2, bass, 0);
            QCOMPARE(calls.size(), size_t(2));
            QCOMPARE(calls[0].request, MixerRequest::readRouteHint);
            QCOMPARE(calls[1].request, MixerRequest::writeOutSource);
            QCOMPARE(calls[1].value, 0);
        }
        QCOMPARE(routeFor(5, true, 0)[1].value, 6);
        QCOMPARE(routeFor(0, false, 0)[1].value, 1);
        const auto withGain = routeFor(1, false, 75);
        QCOMPARE(withGain.size(), size_t(3));
        QCOMPARE(withGain[2].request, MixerRequest::writeOutGain);
        QCOMPARE(withGain[2].value, 75);

        mixerReadFails = true;
        QCOMPARE(routeFor(1, true, 75).size(), size_t(1));
        mixerReadFails = false;

        const QByteArray missing = QFile::encodeName(install->file("no-mixer"));
        mixerDevice.path = missing.constData();
        QCOMPARE(routeFor(1, true, 75).size(), size_t(0));
    }

    void playSavesGoesFullScreenAndStartsThePlayer()
    {
        settingsRecord.loop = 1;
        startWindow();
        QVERIFY(choose(window->channelMenu(), "Right Channel"));
        play("clip.avi");
        QVERIFY(playbackState.playing);
        QVERIFY(playbackState.fullScreen);
        QCOMPARE(readAll(install->file("setup")).size(), 312);
        QTRY_VERIFY(!install->playerArguments().isEmpty());
        const QByteArray path = window->browser()->currentDir + "/clip.avi";
        QCOMPARE(
            install->playerArguments(),
            QList<QByteArray>({"./mplayer", "-slave", "-quiet", "-nortc", "-loop", "0", "-vf-clr",
                               "-af", "channels=2:2:1:0:1:1,volume=-15", "-sws", "9", path}));
        QCOMPARE(install->commands(), QStringList({"./killall mplayer -9"}));
        // The player starts as from a terminal: SIGCHLD not blocked, SIGPIPE
        // not ignored, as the front-end holds them.
        QTRY_VERIFY(!readAll(install->file("stub-pid.log")).isEmpty());
        const QByteArray status =
            readAll("/proc/" + readAll(install->file("stub-pid.log")).trimmed() + "/status");
        const auto mask = [&](const char* field) {
            const qsizetype at = status.indexOf(field) + qsizetype(std::strlen(field));
            return status.mid(at, status.indexOf('\n', at) - at).trimmed().toULongLong(nullptr, 16);
        };
        QCOMPARE(mask("SigBlk:") >> (SIGCHLD - 1) & 1, 0u);
        QCOMPARE(mask("SigIgn:") >> (SIGPIPE - 1) & 1, 0u);
        // A second Play while one runs is refused.
        QCOMPARE(window->startPlayback(path.constData(), false), -1);
    }

    void oddPathReachesThePlayerByteForByte()
    {
        startWindow();
        const QString name = QString::fromUtf8("it's a \"clip\" ; $x 中文.mp3");
        play(name);
        QTRY_VERIFY(!install->playerArguments().isEmpty());
        QCOMPARE(install->playerArguments().last(),
                 window->browser()->currentDir + "/" + QFile::encodeName(name));
    }

    void outputIsEchoedAndVideoKeepsTheDisplayLit()
    {
        qputenv("STUB_VIDEO", "1");
        qputenv("STUB_BINARY", "1");
        startWindow();
        const Captured out = captureOutput([&] {
            play("clip.avi");
            QTRY_VERIFY_WITH_TIMEOUT(countOf("./panelrest 0") >= 2, 10000);
        });
        QVERIFY(out.err.contains(QByteArray("out\0put %s %n\n", 15)));
        QVERIFY(out.err.contains("VIDEO:  [stub]"));
        QVERIFY(out.out.contains("video file\n"));
        QVERIFY(playbackState.playing);

        // A marker that reaches us in two pieces, a tick apart, counts too.
        window->stopPlayback();
        install->clearCommands();
        qunsetenv("STUB_VIDEO");
        qunsetenv("STUB_BINARY");
        qputenv("STUB_SPLIT_VIDEO", "1");
        captureOutput([&] {
            play("clip.avi");
            QTRY_COMPARE_WITH_TIMEOUT(countOf("./panelrest 0"), 1, 10000);
        });
    }

    // A clip with no picture: its tags (or its name), the position the
    // player gives each second, "Paused"; the keys send what they always do,
    // the questions keep the pause.
    void aSongShowsWhatItIs_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("tags");
        QTest::addColumn<QString>("cover"); // in its tags, or this file beside it
        QTest::addColumn<QString>("shown");
        const QStringList tags = {"-metadata",       "title=Blue Moon", "-metadata",
                                  "artist=The Band", "-metadata",       "album=Rain"};
        QTest::newRow("tagged, its cover in them") << "song.mp3" << tags << "tags"
                                                   << "Blue Moon|The Band|Rain|0:01 / 0:03";
        QTest::newRow("FLAC, a cover beside") << "song.flac" << tags << "Folder.JPG"
                                              << "Blue Moon|The Band|Rain|0:01 / 0:03";
        QTest::newRow("no tags") << "untitled.ogg" << QStringList{} << ""
                                 << "untitled|||0:01 / 0:03";
    }
    void aSongShowsWhatItIs()
    {
        REQUIRE_TOOL("ffmpeg");
        QFETCH(QString, file);
        QFETCH(QStringList, tags);
        QFETCH(QString, cover);
        const QString art = cover == "tags" ? install->file("art.jpg") : media + '/' + cover;
        if (!cover.isEmpty())
            QVERIFY(makeClip(art, "color=red:s=64x48", 1, false, {"-frames:v", "1"}));
        const QStringList embed = {"-i",   art,    "-map",           "0",           "-map", "1",
                                   "-c:v", "copy", "-disposition:v", "attached_pic"};
        const QString codec = file.endsWith("mp3")    ? "mp3"
                              : file.endsWith("flac") ? "flac"
                                                      : "libvorbis";
        QVERIFY(makeClip(media + '/' + file, "sine=frequency=440", 3, false,
                         (cover == "tags" ? embed : QStringList()) + QStringList{"-c:a", codec} +
                             tags));
        qputenv("STUB_SONG", "1");
        startWindow();
        play(file);
        NowPlaying* screen = window->nowPlaying();
        QTRY_VERIFY(screen->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(screen->timeText(), QString("0:01 / 0:03"), 3000);
        const SongTags& song = screen->tags();
        QTEST(QStringList({song.title, song.artist, song.album, screen->timeText()}).join('|'),
              "shown");
        QCOMPARE(screen->cover().size(), cover.isEmpty() ? QSize(0, 0) : QSize(64, 48));
        // The time moves on between the player's answers, and it is asked
        // now and then, never in the dark, at once when the display lights.
        const auto asked = [&] { return install->playerInput().count("get_property time_pos"); };
        QTRY_COMPARE_WITH_TIMEOUT(screen->timeText(), QString("0:03 / 0:03"), 4000);
        QCOMPARE(asked(), 1);
        window->setDisplayAsleep(true);
        QTest::qWait(1100);
        window->setDisplayAsleep(false);
        QCOMPARE(asked(), 1);
        QTRY_COMPARE(asked(), 2);
        // Paused, and the level the volume key left, as the player answers.
        QTest::keyClick(window->windowHandle(), Qt::Key_Return);
        QTest::keyClick(window->windowHandle(), Qt::Key_PageUp);
        QTRY_COMPARE(screen->statusLines(), QStringList({"Paused  Muted", "volume 55"}));
        QTest::qWait(1200);
        QByteArray keys;
        for (const QByteArray& line : install->playerInput().split('\n'))
            if (!line.isEmpty())
                keys += (line.startsWith("pausing_keep_force get_property ") ? "?" : line) + '\n';
        QVERIFY2(keys.contains("pause\npausing_keep volume 5\n"), keys.constData());
        QVERIFY(keys.contains("?\n"));
        window->stopPlayback();
        QVERIFY(!screen->isVisible());
        QCOMPARE(clockText(3725.9), QString("1:02:05"));
    }

    // A clip of LENGTH seconds left at TIME, stopped or ending by itself:
    // what the places' file keeps, and how the next play of it starts.
    void aLongClipGoesOnWhereItWasLeft_data()
    {
        QTest::addColumn<QByteArray>("length");
        QTest::addColumn<QByteArray>("time");
        QTest::addColumn<bool>("endsItself");
        QTest::addColumn<QByteArray>("kept");
        QTest::addColumn<QByteArray>("next");
        QTest::newRow("stopped midway") << QByteArray("1200") << QByteArray("700.4") << false
                                        << QByteArray("700") << QByteArray("seek 695 2\n");
        QTest::newRow("as long as a song")
            << QByteArray("300") << QByteArray("200") << false << QByteArray() << QByteArray();
        QTest::newRow("played to its end")
            << QByteArray("1200") << QByteArray("1195") << true << QByteArray() << QByteArray();
        QTest::newRow("its player gone midway") << QByteArray("1200") << QByteArray("700") << true
                                                << QByteArray("700") << QByteArray("seek 695 2\n");
    }
    void aLongClipGoesOnWhereItWasLeft()
    {
        QFETCH(QByteArray, length);
        QFETCH(QByteArray, time);
        QFETCH(bool, endsItself);
        QFETCH(QByteArray, kept);
        QFETCH(QByteArray, next);
        const QByteArray clip = QFile::encodeName(media + "/clip.avi");
        // Another clip's place, kept whatever becomes of this one's.
        writeAll(install->file("positions"), "40 /m/other.avi\n");
        qputenv("STUB_VIDEO", "1");
        qputenv("STUB_LENGTH", length);
        qputenv("STUB_TIME", time);
        if (endsItself)
            qputenv("STUB_EXIT_MS", "4000");
        startWindow();
        play("clip.avi");
        QTRY_VERIFY_WITH_TIMEOUT(install->playerInput().contains("get_property length"), 5000);
        // A long clip's place is asked once a second; a shorter one's never,
        // and its clock rests.
        const QList<QTimer*> clocks = window->findChildren<QTimer*>();
        if (length.toInt() > 600)
            QTRY_VERIFY_WITH_TIMEOUT(install->playerInput().contains("get_property time_pos"),
                                     5000);
        else
            QTRY_VERIFY(std::none_of(clocks.begin(), clocks.end(), [](const QTimer* clock) {
                return clock->isActive() && clock->interval() == 1000;
            }));
        QTest::qWait(300);
        if (endsItself)
            QTRY_VERIFY_WITH_TIMEOUT(!playbackState.playing && tick(), 10000);
        else
            window->stopPlayback();
        QCOMPARE(readAll(install->file("positions")),
                 (kept.isEmpty() ? QByteArray() : kept + ' ' + clip + '\n') + "40 /m/other.avi\n");
        qunsetenv("STUB_EXIT_MS");
        QFile::remove(install->file("stub-input.log"));
        play("clip.avi");
        if (next.isEmpty()) {
            QTest::qWait(300);
            QVERIFY(!install->playerInput().startsWith("seek"));
        } else {
            QTRY_COMPARE(install->playerInput().left(next.size()), next);
        }
        // The file keeps the latest places alone, and no name it cannot hold.
        QList<ResumePosition> many;
        for (int i = 0; i < 60; ++i)
            many = withPosition(many, i == 30 ? "a\nb" : QByteArray::number(i), i);
        QCOMPARE(many.size(), maxResumePositions);
        QCOMPARE(parsePositions(positionsText(many)).first(), ResumePosition({"59", 59}));
    }

    void talkativePlayerIsNeverHeldUp()
    {
        // Far beyond what the player's socket holds, and more than a tick
        // that takes less than all that is waiting reads, at a rate even an
        // emulated phone keeps up with: every byte is echoed, and the player
        // never stalls in its own write.
        qputenv("STUB_TALK", "40000");
        startWindow();
        bool talkedAll = false;
        qsizetype talked = 0;
        const Captured out = captureOutput([&] {
            const auto echoed = [] { return lseek(STDERR_FILENO, 0, SEEK_CUR); };
            const off_t before = echoed();
            play("clip.avi");
            talkedAll = QTest::qWaitFor(
                [&] { return QFile::exists(install->file("stub-talked.log")); }, 8000);
            // Then ticks until all of it is echoed and two pass with nothing
            // more: a loaded host makes ticks late, not fewer.
            talked = readAll(install->file("stub-talked.log")).trimmed().toLong();
            QDeadlineTimer patience(60000);
            for (off_t last = -1;
                 (echoed() - before < talked || echoed() != last) && !patience.hasExpired();) {
                last = echoed();
                QTest::qWait(1100);
            }
            window->stopPlayback();
        });
        QVERIFY(talkedAll);
        // A slice the player had no room for is lost to it: a late tick on a
        // loaded host may cost a few, a tick that reads too little most.
        QVERIFY2(talked > 100000,
                 qPrintable(QString("%1 bytes talked, %2 slices without room")
                                .arg(talked)
                                .arg(readAll(install->file("stub-blocked.log")).count('\n'))));
        QCOMPARE(out.err.count('~'), talked);
    }

    void stopSendsQuitAndReturnsToNormal()
    {
        startWindow();
        play("a much longer name for the same clip.avi");
        window->stopPlayback();
        play("clip.avi");
        install->clearCommands();
        window->stopPlayback();
        QVERIFY(!playbackState.playing);
        QVERIFY(!playbackState.fullScreen);
        QCOMPARE(window->browser()->geometry(), QRect(0, 0, 240, 240));
        QCOMPARE(install->commands(), QStringList({"./killall mplayer -9", "./panelrest -r"}));
        QTRY_COMPARE(install->playerInput(), QByteArray("quit\nquit\n"));
        // The path and nothing of the longer one before it: the next launch
        // writes these bytes to the file.
        const QByteArray path = window->browser()->mediaPath.data();
        QCOMPARE(QByteArray(settingsRecord.lastPlayedPath.data(), 128),
                 path + QByteArray(128 - path.size(), '\0'));

        // A path past the record's field is played and added whole, and
        // kept in the record as none.
        const QString deep = QString(45, QChar(0x4e2d)) + ".avi";
        writeAll(media + '/' + deep, "");
        window->browser()->listDirectory(QFile::encodeName(media));
        QVERIFY(highlight(window->browser(), deep));
        const QByteArray whole = QFile::encodeName(QDir(media).canonicalPath() + '/' + deep);
        QVERIFY(whole.size() > 160);
        QVERIFY(choose(window->mainMenu(), "Add to Playlist      "));
        QCOMPARE(readAll(install->file("playlist/default")), whole + '\n');
        play(deep);
        QTRY_VERIFY(install->playerArguments().contains(whole));
        window->stopPlayback();
        QCOMPARE(QByteArray(settingsRecord.lastPlayedPath.data(), 128), QByteArray(128, '\0'));
    }

    void focusLossStopsPlaybackOnTheNextTick()
    {
        startWindow();
        play("clip.avi");
        QTRY_VERIFY(tickRests());
        QFocusEvent focusOut(QEvent::FocusOut);
        QCoreApplication::sendEvent(window->browser(), &focusOut);
        QTRY_VERIFY(!playbackState.fullScreen);
        QVERIFY(!playbackState.playing);
        QVERIFY(!playbackState.focusLost);
        QTRY_COMPARE(install->playerInput(), QByteArray("quit\n"));
    }

    void focusLossWhileIdleDoesNothing()
    {
        startWindow();
        playbackState.focusLost = true;
        QTRY_VERIFY(!playbackState.focusLost);
        QCOMPARE(install->commands(), QStringList());
    }

    void playerThatEndsReturnsToNormal_data()
    {
        QTest::addColumn<QByteArray>("player");
        QTest::addColumn<QByteArray>("said"); // its last words, echoed
        QTest::newRow("its end closes its output") << QByteArray() << QByteArray();
        // Only its SIGCHLD tells, and the tick rests by then.
        QTest::newRow("a child of its own holds its output open")
            << QByteArray("sleep 30 &\necho $! > stray.pid\nsleep 1.5\n") << QByteArray();
        QTest::newRow("it prints and ends at once")
            << QByteArray("echo 'Could not open/initialize audio device'\necho bye\n")
            << QByteArray("Could not open/initialize audio device\nbye\n");
        QTest::newRow("it ends with its output unread")
            << QByteArray("echo playing\nsleep 0.3\necho 'Exiting... (End of file)'\n")
            << QByteArray("playing\nExiting... (End of file)\n");
    }

    void playerThatEndsReturnsToNormal()
    {
        QFETCH(QByteArray, player);
        QFETCH(QByteArray, said);
        qputenv("STUB_EXIT_MS", "300");
        if (!player.isEmpty()) {
            QFile::remove(install->file("mplayer"));
            install->writeScript("mplayer", player);
        }
        startWindow();
        const Captured out = captureOutput([&] {
            play("clip.avi");
            QVERIFY(playbackState.fullScreen);
            QTRY_VERIFY_WITH_TIMEOUT(!playbackState.fullScreen, 10000);
        });
        // In order, though the front-end's own lines may come between.
        qsizetype at = 0;
        for (const QByteArray& line : said.split('\n'))
            QVERIFY2((at = out.err.indexOf(line, at)) >= 0, out.err.constData());
        if (const int stray = readAll(install->file("stray.pid")).trimmed().toInt(); stray > 0)
            kill(stray, SIGKILL);
        QVERIFY(!playbackState.playing);
        QCOMPARE(window->commandSocketFd(), -1);
        QCOMPARE(install->commands().last(), QString("./panelrest -r"));
    }

    void missingPlayerEndsLikeAPlayerThatQuits()
    {
        // Each a first launch: the child that cannot execute ends at once,
        // perhaps before the front-end has its id.
        QFile::remove(install->file("mplayer"));
        startWindow();
        QVERIFY(highlight(window->browser(), "clip.avi"));
        captureOutput([&] {
            for (int i = 0; i < 10; ++i) {
                playbackState.childPid = 0;
                QCOMPARE(window->startPlayback(window->browser()->mediaPath.data(), false), 0);
                QTRY_VERIFY_WITH_TIMEOUT(tick(), 10000);
                QVERIFY(!playbackState.playing);
            }
        });
    }

    void playersThatExitAtOnceLeaveNothingBehind()
    {
        qputenv("STUB_EXIT_MS", "0");
        startWindow();
        QVERIFY(highlight(window->browser(), "clip.avi"));
        for (int i = 0; i < 10; ++i) {
            QCOMPARE(window->startPlayback(window->browser()->mediaPath.data(), false), 0);
            QTRY_VERIFY_WITH_TIMEOUT(tick(), 10000);
            QVERIFY(!playbackState.playing);
            QVERIFY(zombieChildren() <= 1);
        }

        // Relaunched from the ended state, before any tick: each launch
        // must close the socket of the player before it.
        const int before = openDescriptors();
        for (int i = 0; i < 40; ++i) {
            QCOMPARE(window->startPlayback(window->browser()->mediaPath.data(), false), 0);
            QVERIFY(waitWithoutEvents([] { return !playbackState.playing; }));
        }
        QVERIFY2(openDescriptors() <= before + 2, qPrintable(QString::number(openDescriptors())));
        QTRY_VERIFY_WITH_TIMEOUT(tick(), 10000);
    }

    void playerThatEndsDuringAShellCommandIsNoticed()
    {
        // SIGCHLD is ignored while "./panelrest 0" runs, so the player that
        // ends meanwhile sends none: only the end of its output tells.
        qputenv("STUB_VIDEO", "1");
        install->writeScript("panelrest", "[ $1 = 0 ] && p=$(cat stub-pid.log) && kill $p && "
                                          "while [ -e /proc/$p ]; do sleep 0.05; done\n");
        startWindow();
        captureOutput([&] {
            play("clip.avi");
            QTRY_VERIFY_WITH_TIMEOUT(!playbackState.fullScreen, 10000);
        });
        QVERIFY(!playbackState.playing);
    }

    void playerThatEndsBeforeItsIdIsKnownIsSeenAtOnce()
    {
        // Its SIGCHLD waits for the id, however long the front-end takes to
        // get there: no tick, and no end of output, is needed to see it.
        struct Slow : PlayerProcess {
            void forked(pid_t child) override
            {
                siginfo_t info{};
                while (waitid(P_PID, id_t(child), &info, WEXITED | WNOWAIT) < 0 && errno == EINTR) {
                }
                // Time for a signal that landed on another thread to be
                // passed on, were it not held back.
                usleep(100000);
            }
        } player;
        QFile::remove(install->file("mplayer"));
        playbackState.childPid = 0;
        QVERIFY(player.launch(buildPlayerArgs(PlayerOptions{}, "clip.avi")));
        QVERIFY(waitWithoutEvents([] { return !playbackState.playing; }));
    }

    void floodingPlayerStillStops()
    {
        qputenv("STUB_FLOOD", "1");
        startWindow();
        captureOutput([&] {
            play("clip.avi");
            QTest::qWait(1200);
            QVERIFY(playbackState.playing);
            window->stopPlayback();
        });
        QVERIFY(!playbackState.fullScreen);
    }

    void playerThatNeverReadsNeverBlocksTheWindow()
    {
        qputenv("STUB_NO_READ", "1");
        startWindow();
        play("clip.avi");
        for (int i = 0; i < 100000; ++i)
            window->sendCommand("seek 10\n", 0);
        window->stopPlayback();
        QVERIFY(!playbackState.fullScreen);
    }

    void commandsWhileIdleWriteNothingAndTouchNoMixer()
    {
        const QByteArray path = QFile::encodeName(install->file("mixer"));
        writeAll(install->file("mixer"), "");
        mixerDevice = MixerDevice{path.constData(), fakeRequest};
        startWindow();
        window->sendCommand("pause\n", 0);
        QVERIFY(mixerCalls.empty());
    }

    void childSignalsAreActedOnOnTheEventLoopsThreadAlone()
    {
        // A thread started after start-up, as the toolkit's pool threads
        // are, does not block SIGCHLD: the signal may land there.
        std::atomic<bool> done{false};
        std::thread worker([&done] {
            while (!done)
                usleep(1000);
        });
        const auto joined = qScopeGuard([&] {
            done = true;
            worker.join();
        });
        startWindow();
        sigset_t childSignal;
        sigemptyset(&childSignal);
        sigaddset(&childSignal, SIGCHLD);

        // Before the first launch it ends nothing, though no player is known.
        const Captured out = captureOutput([&] {
            playbackState.childPid = 0;
            pthread_sigmask(SIG_BLOCK, &childSignal, nullptr);
            pthread_kill(worker.native_handle(), SIGCHLD);
            usleep(200000);
            pthread_sigmask(SIG_UNBLOCK, &childSignal, nullptr);
        });
        QVERIFY(out.err.contains("process 0 child signal " + QByteArray::number(SIGCHLD)));
        QVERIFY(!playbackState.playing);

        // The player's end while the event loop's thread holds SIGCHLD back,
        // as it does around a launch: the worker passes it on, and it is
        // seen once, when the hold ends.
        qputenv("STUB_EXIT_MS", "300");
        bool gone = false;
        bool held = false;
        const Captured ended = captureOutput([&] {
            play("clip.avi");
            pthread_sigmask(SIG_BLOCK, &childSignal, nullptr);
            gone = waitWithoutEvents([] { return zombieChildren() > 0; });
            usleep(100000);
            held = playbackState.playing;
            pthread_sigmask(SIG_UNBLOCK, &childSignal, nullptr);
        });
        QVERIFY2(gone && held, "the player's end was acted on off the event loop's thread");
        QVERIFY(!playbackState.playing);
        QCOMPARE(ended.err.count("child signal"), 1);
        QTRY_VERIFY_WITH_TIMEOUT(tick(), 10000);
        qunsetenv("STUB_EXIT_MS");

        // While a player runs, the end of some other child is not its end.
        play("clip.avi");
        const pid_t other = fork();
        if (other == 0)
            _exit(0);
        captureOutput([&] {
            QVERIFY(waitWithoutEvents([other] { return zombieChildren() > 0; }));
            usleep(100000);
        });
        QVERIFY(playbackState.playing);
        QTest::qWait(700);
        QVERIFY(playbackState.fullScreen);
        waitpid(other, nullptr, 0);
    }
};

TARRAGON_TEST_MAIN(PlaybackTest)
#include "tst_playback.moc"
