#include "xserver.h"

#include <QRegularExpression>
#include <QtTest>

// The desktop stand-in for the phone's power management: the X server's
// screen saver and DPMS timeouts, set by one run and kept after it.
class PanelrestX11Test : public QObject
{
    Q_OBJECT
private:
    QString run(const PrivateXServer& x, const QString& program, const QStringList& args)
    {
        QProcess p;
        p.setProcessEnvironment(x.environment());
        p.start(program, args);
        p.waitForFinished(10000);
        return QString::fromLocal8Bit(p.readAllStandardOutput());
    }

private slots:
    void timeoutsOutlastTheTool()
    {
        PrivateXServer x;
        QVERIFY(x.isRunning());
        const QString tool = qEnvironmentVariable("TARRAGON_BINARY_DIR") + "/sleeptool/panelrest";
        // No server default is 1234, so only the tool can have set it.
        QCOMPARE(run(x, tool, {"1234"}), QString("set lcd sleep time to 1234 seconds.\n"));
        QString q = run(x, "xset", {"q"});
        QVERIFY2(q.contains(QRegularExpression("timeout:\\s+1234\\b")), qPrintable(q));

        run(x, tool, {"0"});
        q = run(x, "xset", {"q"});
        QVERIFY2(q.contains(QRegularExpression("timeout:\\s+0\\b")), qPrintable(q));
        if (q.contains("DPMS is"))
            QVERIFY2(q.contains("DPMS is Disabled"), qPrintable(q));

        run(x, tool, {"3"});
        q = run(x, "xset", {"q"});
        QVERIFY2(q.contains(QRegularExpression("timeout:\\s+10\\b")), qPrintable(q));
    }
};

QTEST_GUILESS_MAIN(PanelrestX11Test)
#include "tst_panelrest_x11.moc"
