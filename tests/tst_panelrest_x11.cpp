#include "frontendprocess.h"
#include "testsupport.h"
#include "xserver.h"

#include <QRegularExpression>
#include <QtTest>

// The desktop stand-in for the phone's power management: the X server's
// screen saver and DPMS timeouts, set by one run and kept after it.
class PanelrestX11Test : public QObject
{
    Q_OBJECT
private slots:
    void timeoutsOutlastTheTool()
    {
        REQUIRE_TOOL("Xvfb");
        REQUIRE_TOOL("xset");
        PrivateXServer x;
        QVERIFY(x.isRunning());
        const QProcessEnvironment env = x.environment();
        const QString tool = qEnvironmentVariable("TARRAGON_BINARY_DIR") + "/sleeptool/panelrest";
        // No server default is 1234, so only the tool can have set it.
        QCOMPARE(runProgram(env, tool, {"1234"}), QString("set lcd sleep time to 1234 seconds.\n"));
        QString q = runProgram(env, "xset", {"q"});
        QVERIFY2(q.contains(QRegularExpression("timeout:\\s+1234\\b")), qPrintable(q));

        runProgram(env, tool, {"0"});
        q = runProgram(env, "xset", {"q"});
        QVERIFY2(q.contains(QRegularExpression("timeout:\\s+0\\b")), qPrintable(q));
        if (q.contains("DPMS is"))
            QVERIFY2(q.contains("DPMS is Disabled"), qPrintable(q));

        runProgram(env, tool, {"3"});
        q = runProgram(env, "xset", {"q"});
        QVERIFY2(q.contains(QRegularExpression("timeout:\\s+10\\b")), qPrintable(q));

        // With no phone setting, -r gives back what the first "never"
        // replaced, kept by the X server past a front-end that crashed; a
        // second -r, with nothing replaced, leaves the desktop's own.
        runProgram(env, "xset", {"s", "600", "600"});
        runProgram(env, "xset", {"dpms", "700", "800", "900"});
        for (const char* args : {"0", "0", "-r", "-r"})
            runProgram(env, tool, {args});
        q = runProgram(env, "xset", {"q"});
        QVERIFY2(q.contains(QRegularExpression("timeout:\\s+600\\s+cycle:\\s+600")), qPrintable(q));
        if (q.contains("DPMS is"))
            QVERIFY2(q.contains(QRegularExpression("Standby: 700\\s+Suspend: 800\\s+Off: 900")) &&
                         q.contains("DPMS is Enabled"),
                     qPrintable(q));
    }
};

QTEST_GUILESS_MAIN(PanelrestX11Test)
#include "tst_panelrest_x11.moc"
