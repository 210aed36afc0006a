#include "frontendprocess.h"
#include "testsupport.h"

#include <QRegularExpression>
#include <QScopeGuard>
#include <QtTest>

// A Wayland desktop with XWayland, as Weston's headless backend gives it:
// the front-end runs as an X client there, so the player is given the
// phone's window to draw in (the toolkit alone would choose Wayland, and
// the player would have no window).
class WaylandTest : public QObject
{
    Q_OBJECT
private slots:
    void thePlayerDrawsInThePhoneWindow()
    {
        REQUIRE_TOOL("weston");
        REQUIRE_TOOL("Xwayland");
        REQUIRE_TOOL("xdotool");
        QTemporaryDir runtime;
        QVERIFY(QFile::setPermissions(runtime.path(),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const QString socket = QString("tarragon-test-%1").arg(QCoreApplication::applicationPid());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.remove("QT_QPA_PLATFORM");

        // Ended by its id whatever the outcome; QProcess kills what still
        // runs when it goes.
        QProcess weston;
        auto stop = qScopeGuard([&] {
            weston.terminate();
            weston.waitForFinished(5000);
        });
        weston.setProcessEnvironment(env);
        weston.setProcessChannelMode(QProcess::MergedChannels);
        weston.start("weston", {"--backend=headless-backend.so", "--xwayland", "--socket=" + socket,
                                "--idle-time=0"});
        QVERIFY(weston.waitForStarted());
        QString log;
        QRegularExpressionMatch display;
        QTRY_VERIFY_WITH_TIMEOUT(
            (display = QRegularExpression("xserver listening on display (:[0-9]+)")
                           .match(log += QString::fromLocal8Bit(weston.readAll())))
                .hasMatch(),
            15000);
        env.insert("WAYLAND_DISPLAY", socket);
        env.insert("DISPLAY", display.captured(1));

        QTemporaryDir install;
        const QString media = install.filePath("media");
        QDir().mkpath(media);
        writeAll(media + "/clip.avi", "");
        prepareInstallation(install.path(), media);

        // Found, focused and played through X, as a user's keys would.
        env.insert("TARRAGON_REAL_MPLAYER", binaryDir() + "/tests/stubplayer");
        FrontEndProcess tarragon(env, install.path());
        QVERIFY(!tarragon.window().isEmpty());
        tarragon.type({"Down", "Down", "Return"});
        QByteArray args;
        QTRY_VERIFY_WITH_TIMEOUT((args = readAll(install.filePath("stub-args.log")))
                                     .contains(QByteArray("clip.avi\0", 9)),
                                 60000);
        const QList<QByteArray> list = args.split('\0');
        const qsizetype wid = list.indexOf("-wid");
        QVERIFY2(wid >= 0, args.replace('\0', ' ').constData());
        QVERIFY(list.value(wid + 1).toULongLong() != 0);
    }
};

QTEST_GUILESS_MAIN(WaylandTest)
#include "tst_wayland.moc"
