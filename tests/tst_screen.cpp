#include "testsupport.h"
#include "xserver.h"

#include <QImage>
#include <QtTest>

// The front-end as a user runs it, on a private X server: a clip chosen
// with the keyboard plays inside the phone's screen with its aspect kept,
// at its own size or, with FScreen, as large as the screen holds; stopping
// brings the browser back.
class ScreenTest : public QObject
{
    Q_OBJECT
private:
    // Where the picture is: the box around the clip's orange pixels in the
    // phone's screen, in the screen's own coordinates.
    QRect picture(const PrivateXServer& server, const QRect& screen)
    {
        const QString shot = QDir::temp().filePath("tst_screen-shot.png");
        runProgram(server.environment(), "import", {"-window", "root", shot});
        const QImage image(shot);
        QFile::remove(shot);
        QRect box;
        for (int y = 0; y < screen.height(); ++y)
            for (int x = 0; x < screen.width(); ++x) {
                const QColor colour(image.pixel(screen.x() + x, screen.y() + y));
                if (colour.hsvSaturation() > 128 && colour.hsvHue() >= 15 && colour.hsvHue() <= 45)
                    box |= QRect(x, y, 1, 1);
            }
        return box;
    }

private slots:
    void clipPlaysInsideThePhoneScreen()
    {
        PrivateXServer x;
        QVERIFY(x.isRunning());
        QTemporaryDir install;
        QTemporaryDir home;
        const QString media = install.filePath("media");
        QDir().mkpath(media);
        // 4:3 and smaller than the screen, so its own size and the fitted
        // one differ.
        QProcess::execute("ffmpeg", {"-loglevel", "error", "-y", "-f", "lavfi", "-i",
                                     "color=c=0xff8000:size=160x120:rate=25:duration=30", "-c:v",
                                     "mpeg4", media + "/orange.avi"});
        prepareInstallation(install.path(), media);
        writeAll(home.filePath("config"), "ao=null\n");

        QProcess tarragon;
        QProcessEnvironment env = x.environment();
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("MPLAYER_HOME", home.path());
        startFrontEnd(tarragon, env, install.path());
        QVERIFY(tarragon.waitForStarted());
        const auto xdotool = [&x](const QStringList& args) {
            return runProgram(x.environment(), "xdotool", args);
        };
        const QString window = visibleWindowOf(x.environment(), tarragon.processId(), 10000);
        QVERIFY(!window.isEmpty());
        const QString geometry = xdotool({"getwindowgeometry", "--shell", window});
        QRect screen(0, 0, 240, 320);
        for (const QString& line : geometry.split('\n')) {
            if (line.startsWith("X="))
                screen.moveLeft(line.mid(2).toInt());
            if (line.startsWith("Y="))
                screen.moveTop(line.mid(2).toInt());
        }
        xdotool({"mousemove", QString::number(screen.center().x()),
                 QString::number(screen.center().y())});
        xdotool({"windowfocus", "--sync", window});
        xdotool({"key", "Down", "Down", "Return"});
        // FScreen is off: the picture keeps its own size, centred.
        QRect box;
        QTRY_COMPARE_WITH_TIMEOUT(box = picture(x, screen), QRect(40, 100, 160, 120), 10000);

        xdotool({"key", "F4"});
        QTRY_VERIFY_WITH_TIMEOUT((box = picture(x, screen)).isEmpty(), 10000);

        // Menu, Setting, FScreen, as a user would with the keys; then play
        // again: the largest 4:3 picture the screen holds.
        xdotool({"mousemove", QString::number(screen.x() + 40),
                 QString::number(screen.bottom() - 30), "click", "1"});
        QTest::qWait(700);
        xdotool({"key", "Down", "Down", "Right", "Down", "Return"});
        QTest::qWait(500);
        xdotool({"windowfocus", "--sync", window});
        xdotool({"key", "Return"});
        QTRY_COMPARE_WITH_TIMEOUT(box = picture(x, screen), QRect(0, 70, 240, 180), 10000);
        xdotool({"key", "F4"});
        QTRY_VERIFY_WITH_TIMEOUT((box = picture(x, screen)).isEmpty(), 10000);

        // A request to end ends it as the Exit key does.
        tarragon.terminate();
        QVERIFY(tarragon.waitForFinished(5000));
        QCOMPARE(tarragon.exitStatus(), QProcess::NormalExit);
        QCOMPARE(tarragon.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(ScreenTest)
#include "tst_screen.moc"
