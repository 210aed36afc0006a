#include "testsupport.h"
#include "xserver.h"

#include <QImage>
#include <QtTest>

#include <cstring>

// The front-end as a user runs it, on a private X server: a clip chosen
// with the keyboard plays inside the phone's screen, and stopping brings
// the browser back.
class ScreenTest : public QObject
{
    Q_OBJECT
private:
    QString run(const PrivateXServer& x, const QString& program, const QStringList& args)
    {
        QProcess p;
        p.setProcessEnvironment(x.environment());
        p.start(program, args);
        p.waitForFinished(20000);
        return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
    }

    // Share of strongly coloured pixels in the phone's screen.
    double colourfulShare(const QImage& shot, const QRect& screen)
    {
        int colourful = 0;
        for (int y = screen.top(); y <= screen.bottom(); ++y)
            for (int x = screen.left(); x <= screen.right(); ++x)
                if (QColor(shot.pixel(x, y)).hsvSaturation() > 128)
                    ++colourful;
        return double(colourful) / (screen.width() * screen.height());
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
        QDir().mkpath(install.filePath("playlist"));
        QProcess::execute("ffmpeg", {"-loglevel", "error", "-y", "-f", "lavfi", "-i",
                                     "smptebars=size=240x180:rate=25:duration=30", "-c:v", "mpeg4",
                                     media + "/bars.avi"});
        for (const char* name : {"mplayer", "killall"})
            QFile::copy(sourceDir() + "/dist/" + name, install.filePath(name));
        writeAll(install.filePath("panelrest"), "#!/bin/sh\n");
        for (const char* name : {"mplayer", "killall", "panelrest"})
            QFile::setPermissions(install.filePath(name),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QByteArray setup(312, '\0');
        const QByteArray dir = QFile::encodeName(media);
        std::memcpy(setup.data() + 128, dir.constData(), size_t(dir.size()));
        writeAll(install.filePath("setup"), setup);
        writeAll(home.filePath("config"), "ao=null\n");

        QProcess tarragon;
        QProcessEnvironment env = x.environment();
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("PWD", install.path());
        env.insert("MPLAYER_HOME", home.path());
        tarragon.setProcessEnvironment(env);
        tarragon.setWorkingDirectory(install.path());
        tarragon.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        tarragon.start(binaryDir() + "/player/tarragon", {});
        QVERIFY(tarragon.waitForStarted());
        const QString pid = QString::number(tarragon.processId());
        QString window;
        QTRY_VERIFY_WITH_TIMEOUT(
            !(window = run(x, "xdotool", {"search", "--onlyvisible", "--pid", pid})).isEmpty(),
            10000);
        window = window.section('\n', 0, 0);
        const QString geometry = run(x, "xdotool", {"getwindowgeometry", "--shell", window});
        QRect screen(0, 0, 240, 320);
        for (const QString& line : geometry.split('\n')) {
            if (line.startsWith("X="))
                screen.moveLeft(line.mid(2).toInt());
            if (line.startsWith("Y="))
                screen.moveTop(line.mid(2).toInt());
        }
        run(x, "xdotool",
            {"mousemove", QString::number(screen.center().x()),
             QString::number(screen.center().y())});
        run(x, "xdotool", {"windowfocus", "--sync", window});
        run(x, "xdotool", {"key", "Down", "Down", "Return"});
        QTest::qWait(3000);
        const QString playing = install.filePath("playing.png");
        run(x, "import", {"-window", "root", playing});
        const double during = colourfulShare(QImage(playing), screen);
        QVERIFY2(during > 0.4, qPrintable(QString::number(during)));

        run(x, "xdotool", {"key", "F4"});
        QTest::qWait(1500);
        const QString stopped = install.filePath("stopped.png");
        run(x, "import", {"-window", "root", stopped});
        const double after = colourfulShare(QImage(stopped), screen);
        QVERIFY2(after < 0.15, qPrintable(QString::number(after)));
        QFile::remove(playing);
        QFile::remove(stopped);

        tarragon.terminate();
        QVERIFY(tarragon.waitForFinished(5000));
    }
};

QTEST_GUILESS_MAIN(ScreenTest)
#include "tst_screen.moc"
