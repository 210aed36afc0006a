#include "frontendprocess.h"
#include "testsupport.h"
#include "xserver.h"

#include <QImage>
#include <QtTest>

#include <csignal>
#include <memory>

// The front-end as a user runs it, on a private X server: a clip chosen
// with the keyboard plays inside the phone's screen with its aspect kept,
// at its own size or, with FScreen, as large as the screen holds; stopping
// brings the browser back; asked to end, it ends well whatever it does.
class ScreenTest : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<PrivateXServer> server;

    QImage shot()
    {
        // This run's own: two runs at once must never read each other's.
        const QTemporaryDir dir;
        const QString file = dir.filePath("shot.png");
        runProgram(server->environment(), "import", {"-window", "root", file});
        return QImage(file);
    }

    // Where the picture is: the box around the clip's orange pixels in the
    // phone's screen, in the screen's own coordinates.
    QRect picture(const QRect& screen)
    {
        const QImage image = shot();
        QRect box;
        for (int y = 0; y < screen.height(); ++y)
            for (int x = 0; x < screen.width(); ++x) {
                const QColor colour(image.pixel(screen.x() + x, screen.y() + y));
                if (colour.hsvSaturation() > 128 && colour.hsvHue() >= 15 && colour.hsvHue() <= 45)
                    box |= QRect(x, y, 1, 1);
            }
        return box;
    }

    // The front-end in an installation whose media folder holds a clip:
    // orange, 4:3 and smaller than the screen, so its own size and the
    // fitted one differ; longer than any wait, so only the stop key ends
    // its picture. Null when no clip could be made.
    std::unique_ptr<FrontEndProcess> withAClip(const QTemporaryDir& install,
                                               const QTemporaryDir& home, bool deviceFonts = false,
                                               const QString& clip = "orange.avi")
    {
        const QString media = install.filePath("media");
        QDir().mkpath(media);
        if (!makeClip(media + "/" + clip, "color=c=0xff8000:size=160x120:rate=25", 90, false))
            return nullptr;
        prepareInstallation(install.path(), media);
        writeAll(home.filePath("config"), "ao=null\n");
        QProcessEnvironment env = server->environment();
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("MPLAYER_HOME", home.path());
        if (deviceFonts)
            env.insert("FONTCONFIG_FILE", sourceDir() + "/dist/fonts.conf");
        return std::make_unique<FrontEndProcess>(env, install.path());
    }

private slots:
    void initTestCase()
    {
        REQUIRE_TOOL("Xvfb");
        REQUIRE_TOOL("xdotool");
        REQUIRE_TOOL("ffmpeg");
        REQUIRE_TOOL("import");
        server = std::make_unique<PrivateXServer>();
        QVERIFY(server->isRunning());
    }
    void cleanupTestCase() { server.reset(); }

    void clipPlaysInsideThePhoneScreen()
    {
        QTemporaryDir install;
        QTemporaryDir home;
        const std::unique_ptr<FrontEndProcess> front = withAClip(install, home);
        QVERIFY(front && !front->window().isEmpty());
        FrontEndProcess& tarragon = *front;
        const QRect screen = tarragon.geometry();
        QCOMPARE(screen.size(), QSize(240, 320));
        // The phone's sleep time is in force from the start.
        QCOMPARE(readAll(install.filePath("commands.log")).split('\n').value(0),
                 QByteArray("./panelrest -r"));
        tarragon.xdotool({"mousemove", QString::number(screen.center().x()),
                          QString::number(screen.center().y())});
        tarragon.type({"Down", "Down", "Return"});
        // Waits long enough for a machine busy with other tests; each ends
        // as soon as the screen shows what it waits for.
        const int patience = 30000;
        // FScreen is off: the picture keeps its own size, centred.
        QRect box;
        QTRY_COMPARE_WITH_TIMEOUT(box = picture(screen), QRect(40, 100, 160, 120), patience);

        tarragon.type({"F4"});
        QTRY_VERIFY_WITH_TIMEOUT((box = picture(screen)).isEmpty(), patience);

        // Menu, Setting, FScreen, with the keys alone; then play again: the
        // largest 4:3 picture the screen holds.
        tarragon.type({"F1", "Down", "Right", "Down", "Return", "Return"});
        QTRY_COMPARE_WITH_TIMEOUT(box = picture(screen), QRect(0, 70, 240, 180), patience);
        tarragon.type({"F4"});
        QTRY_VERIFY_WITH_TIMEOUT((box = picture(screen)).isEmpty(), patience);

        // A request to end ends it as the Exit key does.
        tarragon.process().terminate();
        QVERIFY(tarragon.process().waitForFinished(5000));
        QCOMPARE(tarragon.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(tarragon.process().exitCode(), 0);
    }

    void theMenuAndTheDisplayOverThePicture()
    {
        // The picture at its own size, with black bands above and below it,
        // where what the player writes shows.
        QTemporaryDir install;
        QTemporaryDir home;
        const std::unique_ptr<FrontEndProcess> front = withAClip(install, home);
        QVERIFY(front && !front->window().isEmpty());
        FrontEndProcess& tarragon = *front;
        const QRect screen = tarragon.geometry();
        // The upper band's rows with text (white), or with the menu's
        // highlight: a grey bar.
        auto band = [&](bool highlight) {
            const QImage image = shot();
            QList<int> rows;
            for (int y = 0; y < 100; ++y) {
                int lit = 0;
                for (int x = 0; x < screen.width(); ++x) {
                    const QColor c(image.pixel(screen.x() + x, screen.y() + y));
                    lit += highlight ? c.value() > 90 && c.value() < 135 && c.saturation() < 20
                                     : c.value() > 200;
                }
                if (lit >= (highlight ? 40 : 1))
                    rows << y;
            }
            return rows;
        };
        const int patience = 30000;
        tarragon.type({"Down", "Down", "Return"});
        QTRY_COMPARE_WITH_TIMEOUT(picture(screen), QRect(40, 100, 160, 120), patience);
        QCOMPARE(band(false), QList<int>());

        tarragon.type({"F2"});
        QList<int> lit;
        QTRY_VERIFY_WITH_TIMEOUT(!(lit = band(true)).isEmpty(), patience);
        tarragon.type({"Down"});
        QList<int> moved;
        QTRY_VERIFY_WITH_TIMEOUT(!(moved = band(true)).isEmpty() && moved.first() > lit.last(),
                                 patience);
        // An Enter that acts (Back 10 s), then F6 at the menu's top: the menu
        // stays, and Down moves on in it.
        tarragon.type({"Return", "F6", "Down"});
        QList<int> third;
        QTRY_VERIFY_WITH_TIMEOUT(!(third = band(true)).isEmpty() && third.first() > moved.last(),
                                 patience);
        tarragon.type({"F2"});
        QTRY_COMPARE_WITH_TIMEOUT(band(false), QList<int>(), patience);
        QCOMPARE(band(true), QList<int>());
        QCOMPARE(picture(screen), QRect(40, 100, 160, 120));

        // The time, and the name of the property the keys now adjust.
        tarragon.type({"F9"});
        QTRY_VERIFY_WITH_TIMEOUT(!band(false).isEmpty(), patience);
        tarragon.type({"F9", "F9"});
        QTRY_COMPARE_WITH_TIMEOUT(band(false), QList<int>(), patience);
        tarragon.type({"F6"});
        QTRY_VERIFY_WITH_TIMEOUT(!band(false).isEmpty(), patience);
    }

    // A subtitle file beside the clip, in the band below the picture: in a
    // legacy encoding it shows exactly as the same text in UTF-8 does.
    void subtitlesInTheirUsersEncodings_data()
    {
        QTest::addColumn<QByteArray>("encoding");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("deviceFonts");
        QTest::newRow("GBK, two characters, the device's fonts")
            << QByteArray("GBK") << QString("你好") << true;
        QTest::newRow("GBK") << QByteArray("GBK") << QString("一个人的旅行") << false;
        QTest::newRow("Big5, the device's fonts")
            << QByteArray("BIG5") << QString("一個人的旅行") << true;
        QTest::newRow("Windows-1251")
            << QByteArray("WINDOWS-1251") << QString("Привет, как дела?") << false;
        QTest::newRow("Latin-1, the device's fonts")
            << QByteArray("ISO-8859-1") << QString("Où est l'été?") << true;
        QTest::newRow("Windows-1250")
            << QByteArray("WINDOWS-1250") << QString("Příliš žluťoučký kůň") << false;
        QTest::newRow("Windows-1253, the device's fonts")
            << QByteArray("WINDOWS-1253") << QString("Γεια σου, τι κάνεις;") << true;
        QTest::newRow("Hebrew, Windows-1255, the device's fonts")
            << QByteArray("WINDOWS-1255") << QString("שלום, מה שלומך?") << true;
        QTest::newRow("Arabic, Windows-1256")
            << QByteArray("WINDOWS-1256") << QString("مرحبا، كيف حالك؟") << false;
        QTest::newRow("Thai, TIS-620, the device's fonts")
            << QByteArray("TIS-620") << QString("สวัสดีครับ คุณสบายดีไหม") << true;
        QTest::newRow("GB18030") << QByteArray("GB18030") << QString("我们一起去看电影吧") << false;
        QTest::newRow("Japanese, Shift_JIS, the device's fonts")
            << QByteArray("SHIFT_JIS") << QString("こんにちは、元気ですか？今日はいい天気ですね。")
            << true;
        // Not a file: the clip's own text track, in an MP4.
        QTest::newRow("Chinese in the clip's track")
            << QByteArray("mov_text") << QString("一个人的旅行") << false;
        QTest::newRow("Korean, EUC-KR")
            << QByteArray("EUC-KR") << QString("안녕하세요, 잘 지내세요? 오늘 날씨가 좋네요.")
            << false;
    }
    void subtitlesInTheirUsersEncodings()
    {
        QFETCH(QByteArray, encoding);
        QFETCH(QString, text);
        QFETCH(bool, deviceFonts);
        QTemporaryDir install;
        QTemporaryDir home;
        // The track's clip is an MP4, as such clips are named.
        const QString name = encoding == "mov_text" ? "orange.mp4" : "orange.avi";
        const std::unique_ptr<FrontEndProcess> front = withAClip(install, home, deviceFonts, name);
        QVERIFY(front && !front->window().isEmpty());
        const QRect screen = front->geometry();
        front->type({"Down", "Down"});
        // The band once its text is drawn and holds still.
        auto shown = [&](const QByteArray& as, const QString& line, QImage* band) {
            const QString utf8 = install.filePath("cue.srt");
            writeAll(utf8, "1\n00:00:00,000 --> 00:01:30,000\n" + line.toUtf8() + "\n");
            const QString clip = install.filePath("media/" + name);
            if (QFile::exists(clip + ".plain") && QFile::remove(clip))
                QFile::rename(clip + ".plain", clip);
            if (as == "mov_text") {
                QFile::remove(install.filePath("media/orange.srt"));
                QFile::copy(clip, clip + ".plain");
                runProgram(QProcessEnvironment::systemEnvironment(), "ffmpeg",
                           {"-loglevel", "error", "-i", clip + ".plain", "-i", utf8, "-c:v", "copy",
                            "-c:s", "mov_text", "-f", "mp4", "-y", clip});
            } else {
                runProgram(
                    QProcessEnvironment::systemEnvironment(), "iconv",
                    {"-f", "UTF-8", "-t", as, "-o", install.filePath("media/orange.srt"), utf8});
            }
            front->type({"Return"});
            QTRY_COMPARE_WITH_TIMEOUT(picture(screen), QRect(40, 100, 160, 120), 30000);
            auto lit = [&] {
                const QImage now = shot()
                                       .copy(screen.adjusted(0, 220, 0, 0))
                                       .convertToFormat(QImage::Format_Grayscale8);
                const bool still = now == std::exchange(*band, now);
                return still && std::any_of(now.constBits(), now.constBits() + now.sizeInBytes(),
                                            [](uchar level) { return level > 200; });
            };
            QTRY_VERIFY_WITH_TIMEOUT(lit(), 30000);
            front->type({"F4"});
            QTRY_VERIFY_WITH_TIMEOUT(picture(screen).isEmpty(), 30000);
        };
        QImage asUtf8, asEncoded, alike;
        shown("UTF-8", text, &asUtf8);
        shown(encoding, text, &asEncoded);
        QCOMPARE(asEncoded, asUtf8);
        // Glyphs the font lacks all look alike; real ones do not: the line
        // differs from one of its first letter in each letter's place.
        for (QChar& c : text)
            c = c.isLetter() ? text.front() : c;
        shown("UTF-8", text, &alike);
        QVERIFY(alike != asUtf8);
    }

    void askedToEndWhilePlaying_data()
    {
        QTest::addColumn<int>("request");
        QTest::addColumn<QString>("when");
        QTest::newRow("SIGTERM, as a service manager or a shutdown ends it")
            << int(SIGTERM) << "playing";
        QTest::newRow("SIGINT") << int(SIGINT) << "playing";
        QTest::newRow("SIGHUP, as a lost terminal ends it") << int(SIGHUP) << "playing";
        QTest::newRow("SIGINT while the switch's shell commands run") << int(SIGINT) << "shell";
        QTest::newRow("SIGTERM after the reader of its output went away")
            << int(SIGTERM) << "reader gone";
    }

    void askedToEndWhilePlaying()
    {
        // A player that reads none of its commands, as one that hangs: only
        // the stop's "./killall mplayer -9" ends it.
        QFETCH(int, request);
        QFETCH(QString, when);
        QTemporaryDir install;
        const QString media = install.filePath("media");
        QDir().mkpath(media);
        writeAll(media + "/clip.avi", "");
        prepareInstallation(install.path(), media);
        QFile::remove(install.filePath("mplayer"));
        QVERIFY(QFile::link(binaryDir() + "/tests/stubplayer", install.filePath("mplayer")));
        const QString slept = install.filePath("killall-slept");
        if (when == "shell") {
            // The first killall, before the player starts, takes its time.
            QVERIFY(QFile::rename(install.filePath("killall"), install.filePath("killall.real")));
            writeAll(install.filePath("killall"),
                     "#!/bin/sh\n[ -e killall-slept ] || { : >killall-slept; sleep 2; }\n"
                     "exec \"$(dirname \"$0\")/killall.real\" \"$@\"\n");
            QFile::setPermissions(install.filePath("killall"),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        QProcessEnvironment env = server->environment();
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("STUB_HANG", "1");
        if (when == "reader gone")
            env.insert("STUB_VIDEO", "1");
        FrontEndProcess tarragon(env, install.path(), when == "reader gone");
        QVERIFY(!tarragon.window().isEmpty());
        tarragon.type({"Down", "Down", "Return"});
        const auto pid = static_cast<pid_t>(tarragon.process().processId());
        if (when == "shell") {
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(slept), 10000);
            ::kill(pid, request);
        }
        // Asked to end during the switch, it may stop the player before the
        // player has written its id: one that never got so far is gone.
        QByteArray player;
        if (when != "shell")
            QTRY_VERIFY_WITH_TIMEOUT(
                !(player = readAll(install.filePath("stub-pid.log"))).isEmpty(), 10000);
        // Two ticks' echo of what the player printed, into the closed pipe.
        if (when == "reader gone")
            QTRY_VERIFY_WITH_TIMEOUT(
                readAll(install.filePath("commands.log")).count("./panelrest 0") >= 2, 10000);
        if (when != "shell")
            ::kill(pid, request);
        // It may have ended already, while the player's id was awaited.
        QVERIFY(tarragon.process().state() == QProcess::NotRunning ||
                tarragon.process().waitForFinished(10000));
        QCOMPARE(tarragon.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(tarragon.process().exitCode(), 0);
        if (when == "shell")
            player = readAll(install.filePath("stub-pid.log"));
        const QByteArray state =
            player.isEmpty() ? QByteArray() : readAll("/proc/" + player.trimmed() + "/stat");
        const bool left = !state.isEmpty() && !state.contains(") Z ");
        if (left)
            ::kill(player.trimmed().toInt(), SIGKILL); // ours, by its id
        QVERIFY2(!left, "the player is left running");
        QVERIFY(readAll(install.filePath("commands.log")).contains("./panelrest -r"));
    }
};

QTEST_GUILESS_MAIN(ScreenTest)
#include "tst_screen.moc"
