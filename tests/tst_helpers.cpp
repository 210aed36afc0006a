#include "framebuffermode.h"
#include "frontendprocess.h"
#include "launchcommand.h"
#include "preload.h"
#include "subtitleencoding.h"
#include "testsupport.h"

#include <QtTest>

// The programs that ship beside the front-end: the killall helper, and the
// player's launcher.
class HelpersTest : public QObject
{
    Q_OBJECT
private slots:
    // killall ends the processes of the name it is given that run in its own
    // directory, and no other; it looks at no folder of a process of another
    // name, which could lie on a mount that hangs.
    void killallEndsOnlyItsOwnDirectorysProcesses()
    {
        REQUIRE_TOOL("strace");
        QTemporaryDir mine;
        QTemporaryDir elsewhere;
        QFile::copy(binaryDir() + "/launcher/killall", mine.filePath("killall"));
        QFile::setPermissions(mine.filePath("killall"), QFile::ReadOwner | QFile::ExeOwner);
        for (const QTemporaryDir* dir : {&mine, &elsewhere}) {
            QFile::link("/bin/sleep", dir->filePath("mplayer"));
            QFile::link("/bin/sleep", dir->filePath("mplayer2"));
        }
        auto start = [](const QTemporaryDir& dir, const QString& name) {
            auto* p = new QProcess;
            p->setWorkingDirectory(dir.path());
            p->start(dir.filePath(name), {"30"});
            p->waitForStarted();
            return p;
        };
        std::unique_ptr<QProcess> target(start(mine, "mplayer"));
        std::unique_ptr<QProcess> otherName(start(mine, "mplayer2"));
        std::unique_ptr<QProcess> otherDir(start(elsewhere, "mplayer"));

        QProcess killall;
        killall.setWorkingDirectory(mine.path());
        // A sanitized build's leak check cannot run under a tracer.
        QProcessEnvironment traced = QProcessEnvironment::systemEnvironment();
        traced.insert("ASAN_OPTIONS", traced.value("ASAN_OPTIONS") + ":detect_leaks=0");
        killall.setProcessEnvironment(traced);
        killall.start("strace", {"-f", "-qq", "-o", mine.filePath("looks"),
                                 mine.filePath("killall"), "mplayer", "-9"});
        QVERIFY(killall.waitForFinished());
        QCOMPARE(killall.exitCode(), 0);
        const QByteArray looks = readAll(mine.filePath("looks"));
        QVERIFY2(!looks.contains("/proc/" + QByteArray::number(otherName->processId()) + "/cwd"),
                 "killall looked at the folder of a process of another name");

        QVERIFY(target->waitForFinished(5000));
        QCOMPARE(target->exitStatus(), QProcess::CrashExit);
        QVERIFY(!otherName->waitForFinished(300));
        QVERIFY(!otherDir->waitForFinished(300));
        for (auto* p : {otherName.get(), otherDir.get()}) {
            p->kill();
            p->waitForFinished();
        }

        killall.start(mine.filePath("killall"), {"mplayer", "-9;rm"});
        QVERIFY(killall.waitForFinished());
        QCOMPARE(killall.exitCode(), 2); // not a signal: refused
    }

    // The launcher sizes the picture to the framebuffer's visible mode (a
    // double-buffered one is twice as high behind it), and a framebuffer
    // whose path has blanks stays one argument.
    void theLauncherFitsThePictureToTheVisibleScreen()
    {
        QTemporaryDir dir;
        const QString graphics = dir.filePath("sys/class/graphics/fb7");
        QVERIFY(QDir().mkpath(graphics));
        writeAll(graphics + "/virtual_size", "480,640\n");
        QVERIFY(QDir().mkpath(dir.filePath("my panels")));
        writeAll(dir.filePath("my panels/fb7"), "");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.insert("FRAMEBUFFER", dir.filePath("my panels/fb7"));
        env.insert("TARRAGON_SYSFS", dir.filePath("sys"));
        env.insert("TARRAGON_REAL_MPLAYER", binaryDir() + "/tests/stubplayer");
        env.insert("TARRAGON_FACE", dir.filePath("my panels/fb7"));
        auto launched = [&](const char* clip) {
            QProcess launcher;
            launcher.setProcessEnvironment(env);
            launcher.setWorkingDirectory(dir.path());
            launcher.start(binaryDir() + "/launcher/mplayer", {"-slave", "-vf-clr", clip});
            launcher.closeWriteChannel();
            launcher.waitForFinished(10000);
            return readAll(dir.filePath("stub-args.log")).split('\0');
        };
        const auto output = "fbdev2:" + QFile::encodeName(dir.filePath("my panels/fb7"));

        // The mode in use, not the first the driver offers; the panel's own
        // pixel format pinned at the end of each chain. The whole command,
        // the front-end's arguments last and in their order. An AVI has no
        // text of its own: without a subtitle file, no libass and its fonts.
        writeAll(graphics + "/modes", "U:640x480p-0\nU:480x320p-0\n");
        writeAll(graphics + "/mode", "U:480x320p-0\n");
        writeAll(graphics + "/bits_per_pixel", "16\n");
        QList<QByteArray> args = launched("/m/clip.avi");
        QCOMPARE(
            args,
            QList<QByteArray>(
                {QFile::encodeName(binaryDir() + "/tests/stubplayer"),
                 "-input",
                 "nodefault-bindings:conf=/dev/null",
                 "-noconsolecontrols",
                 "-nomouseinput",
                 "-nolirc",
                 "-nojoystick",
                 "-vf",
                 "dsize=480:320:0,scale=0:0,format=yv12,expand=480:320,scale=480:320,format=bgr16",
                 "-menu",
                 "-menu-cfg",
                 QFile::encodeName(
                     QFileInfo(binaryDir() + "/launcher/menu.conf").canonicalFilePath()),
                 "-vo",
                 output,
                 "-softvol",
                 "-nofontconfig",
                 "-font",
                 QFile::encodeName(dir.filePath("my panels/fb7")),
                 "-subcp",
                 "enca:zh:cp1252",
                 "-subfont-text-scale",
                 "5",
                 "-slave",
                 "-vf-clr",
                 "-vf",
                 "scale=w=480:h=-2:noup=1,format=yv12,scale=w=-2:h=320:noup=1,"
                 "format=yv12,expand=480:320,scale=480:320,format=bgr16",
                 "/m/clip.avi",
                 ""}));

        // Without its modes, the virtual size is all there is to go by. An
        // MP4 may have text tracks: libass draws them on the whole screen.
        QFile::remove(graphics + "/mode");
        QFile::remove(graphics + "/modes");
        args = launched("/m/clip.mp4");
        QVERIFY(args.contains("-ass"));
        QVERIFY(args.contains("dsize=480:640:0,scale=0:0,format=yv12,expand=480:640,scale=480:640,"
                              "format=yv12,ass,scale=480:640,format=bgr16"));
    }

    // Debian's player started by the launcher binds each symbol where it
    // binds alone, all it preloads there, with libc searched sooner.
    void theLauncherKeepsThePlayersBindings()
    {
        QTemporaryDir dir;
        QHash<QByteArray, QByteArray> to[2]; // "file symbol" to its library: alone, launched
        qsizetype libc[2] = {-1, -1};        // libc's place in the search
        const QString programs[2] = {"/usr/bin/mplayer", binaryDir() + "/launcher/mplayer"};
        for (int run : {0, 1}) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.remove("DISPLAY");
            env.remove("TARRAGON_REAL_MPLAYER");
            env.insert("TARRAGON_LIB", sourceDir() + "/dist");
            env.insert("LD_DEBUG", "scopes,bindings");
            env.insert("LD_DEBUG_OUTPUT", dir.filePath(QString::number(run)));
            QProcess player;
            player.setProcessEnvironment(env);
            player.start(programs[run], {"-frames", "0", dir.filePath("none.avi")});
            QVERIFY(player.waitForFinished(300000));
            const QByteArray errors = player.readAllStandardError();
            QVERIFY2(!errors.contains("LD_PRELOAD"), errors.constData());
            // Plain splitting: a phone's slow processor reads megabytes here.
            bool itsScope = false;
            for (const QString& file : QDir(dir.path()).entryList({QString::number(run) + ".*"}))
                for (const QByteArray& line : readAll(dir.filePath(file)).split('\n')) {
                    const QList<QByteArray> w = line.simplified().split(' ');
                    const auto name = [&w](int i) {
                        return w.value(i).mid(w.value(i).lastIndexOf('/') + 1);
                    };
                    if (w.value(1) == "binding" && w.value(9) == "symbol")
                        to[run].insert(name(3) + ' ' + w.value(10), name(6));
                    else if (itsScope && w.value(1) == "scope")
                        for (int i = 3; i < w.size() && libc[run] < 0; ++i)
                            if (name(i) == "libc.so.6")
                                libc[run] = i;
                    itsScope = w.value(1) == "object=/usr/bin/mplayer";
                }
        }
        QVERIFY2(to[0].size() > 1000, "no bindings seen");
        for (auto it = to[0].cbegin(); it != to[0].cend(); ++it)
            if (to[1].contains(it.key()))
                QCOMPARE(it.key() + " to " + to[1][it.key()], it.key() + " to " + it.value());
        QVERIFY(libc[1] >= 0 && libc[1] < libc[0]);
    }

    // The clip's own subtitle file, in the encoding its head tells; the user
    // reads Chinese.
    void theLauncherTakesTheClipsOwnSubtitles_data()
    {
        QTest::addColumn<QString>("clip");
        QTest::addColumn<QStringList>("files"); // "name" or "name=ENCODING:text"
        QTest::addColumn<QString>("taken");     // "file -subcp [-subfont]"
        const QString cue = "1\n00:00:01,000 --> 00:00:04,000\n";
        const auto row = [](const char* name, const char* clip, const QStringList& files,
                            const char* taken) { QTest::newRow(name) << clip << files << taken; };
        row("untagged first", "c.avi", {"c.zh.srt", "c.srt", "c.Ass"}, "c.Ass enca:zh:cp1252");
        row("then the user's language", "c.avi", {"c.en.srt", "c.zh.srt"},
            "c.zh.srt enca:zh:cp1252");
        row("then by name", "c.avi", {"c.pt-BR.srt", "c.en.srt"}, "c.en.srt enca:zh:cp1252");
        row("another clip's name, not a language", "Alien.avi", {"Alien.dir.srt", "Alien.dir.avi"},
            " enca:zh:cp1252");
        row("another clip's, or not subtitles", "c.avi",
            {"c.Part2.srt", "c.nfo", "c.txt=UTF-8:buy milk\n"}, " enca:zh:cp1252");
        row("timed text", "c.mp3", {"c.txt=UTF-8:{10}{50}hi\n"},
            "c.txt enca:zh:cp1252 DejaVuSans.ttf");
        row("no extension, in a folder with dots", "my.dir/c", {"my.srt", "my.dir/c.srt"},
            "my.dir/c.srt enca:zh:cp1252");
        row("read no further than its head", "c.avi",
            {"c.srt=SHIFT_JIS:" + QString(70000, 'a') + "\n" + cue +
             QString("こんにちは、元気ですか？\n").repeated(500)},
            "c.srt enca:zh:cp1252 DejaVuSans.ttf");
        row("GBK, a line of two", "c.avi", {"c.srt=GBK:" + cue + "你好"}, "c.srt enca:zh:*");
        row("UTF-8 Chinese, from the one face that has it", "c.avi",
            {"c.srt=UTF-8:" + cue + "一个人的旅行, OK?"}, "c.srt enca:zh:cp1252 wqy-microhei.ttc");
        row("UTF-8 Chinese and Hebrew: fontconfig's faces", "c.avi",
            {"c.srt=UTF-8:" + cue + "一个人的旅行 שלום"}, "c.srt enca:zh:cp1252");
        row("UTF-8 Chinese in an MP4, which may hold text of its own", "c.mp4",
            {"c.srt=UTF-8:" + cue + "一个人的旅行"}, "c.srt enca:zh:cp1252");
        row("Windows-1252", "c.avi",
            {"c.srt=WINDOWS-1252:" + cue + "Où est l'été? Ça va très bien."},
            "c.srt enca:zh:WINDOWS-1252");
    }
    void theLauncherTakesTheClipsOwnSubtitles()
    {
        QFETCH(QString, clip);
        QFETCH(QStringList, files);
        QFETCH(QString, taken);
        QTemporaryDir dir;
        QDir().mkpath(dir.filePath("my.dir"));
        writeAll(dir.filePath(clip), "");
        for (const QString& file : files) {
            const QString name = file.section('=', 0, 0), text = file.section('=', 1);
            writeAll(dir.filePath(name), text.section(':', 1).toUtf8());
            if (!text.isEmpty())
                runProgram(QProcessEnvironment::systemEnvironment(), "sh",
                           {"-c",
                            "iconv -f UTF-8 -t \"$1\" \"$2\" > \"$2.in\" && mv \"$2.in\" \"$2\"",
                            "sh", text.section(':', 0, 0), dir.filePath(name)});
        }
        // The Latin face is one to draw from by file only where the clip's
        // container holds no text of its own.
        const SubtitleChoice given = chooseSubtitle(
            QFile::encodeName(dir.filePath(clip)).toStdString(), "zh",
            {holdsNoText(clip.toStdString()) ? "DejaVuSans.ttf" : "", "wqy-microhei.ttc"});
        QString chosen = QString::fromStdString(given.codepage + ' ' + given.face).trimmed();
        if (taken.endsWith('*'))
            chosen = chosen.left(taken.size() - taken.indexOf(' ') - 2) + '*';
        const QString file = QString::fromStdString(given.file);
        QCOMPARE((file.isEmpty() ? QString() : QDir(dir.path()).relativeFilePath(file)) + ' ' +
                     chosen,
                 taken);
    }

    // The launcher's other decisions, each called as the launcher calls it:
    // "screen" (mode|modes|virtual size|bits), "codepage" (uchardet's name),
    // "output" (display|window|framebuffer writable), "preload"
    // (player|LD_PRELOAD: its first two), "face" (uchardet's name|text).
    void theLaunchersDecisions_data()
    {
        QTest::addColumn<QString>("decision");
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* decision, const char* given, const char* expected) {
            QTest::newRow(qPrintable(QString(decision) + ' ' + given))
                << decision << given << expected;
        };
        row("screen", "U:480x320p-0|U:640x480p-0|480,640|16", "480x320@16");
        row("screen", "|U:640x480p-0|480,640|32", "640x480@32");
        row("screen", "||480,640|", "480x640@0");
        row("screen", "off|||", "240x320@0");
        row("codepage", "ISO-8859-2", "enca:zh:WINDOWS-1250");
        row("codepage", "EUC-KR", "EUC-KR");
        row("codepage", "", "enca:zh:cp1252");
        row("output", ":0|42|1", "-wid 42 -vo xv,x11,");
        row("output", ":0||1", "-vo fbdev2:/dev/fb1");
        row("output", "||0", "-vo null");
        row("preload", "/usr/bin/mplayer|/mine.so", "/mine.so /usr/$LIB/libmng.so.1");
        row("preload", "/opt/other|/mine.so", "/mine.so");
        row("face", "UTF-8|Привет, мир", "latin");
        row("face", "UTF-8|你好 Привет", "cjk");
        row("face", "UTF-8|สวัสดี", "");
        row("face", "BIG5|你好", "cjk");
        row("face", "WINDOWS-1252|été", "");
        row("text", "/m/clip.MKV", "may");
        row("text", "/m/clip.webm", "may");
        row("text", "/m/song.aac", "none");
    }
    void theLaunchersDecisions()
    {
        QFETCH(QString, decision);
        QFETCH(QString, given);
        QFETCH(QString, expected);
        const auto part = [&given](int i) { return given.section('|', i, i).toStdString(); };
        QString result;
        if (decision == "screen") {
            const FramebufferMode m = parseFramebufferMode(part(0), part(1), part(2), part(3));
            result = QString("%1x%2@%3").arg(m.width).arg(m.height).arg(m.bitsPerPixel);
        } else if (decision == "codepage") {
            result = QString::fromStdString(subtitleCodepage(part(0)));
        } else if (decision == "output") {
            const PlayerOutput output =
                choosePlayerOutput(part(0), part(1), "/dev/fb1", part(2) == "1", {});
            for (const std::string& word : videoOutputArguments(output))
                result += QString::fromStdString(word) + ' ';
        } else if (decision == "preload") {
            result = QString::fromStdString(playerPreload(part(0), part(1))).section(' ', 0, 1);
        } else if (decision == "face") {
            result = QString::fromStdString(subtitleFace(part(0), part(1), {"latin", "cjk"}));
        } else if (decision == "text") {
            result = holdsNoText(part(0)) ? "none" : "may";
        }
        QCOMPARE(result.trimmed(), expected);
    }
};

QTEST_GUILESS_MAIN(HelpersTest)
#include "tst_helpers.moc"
