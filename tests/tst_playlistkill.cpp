#include "frontendprocess.h"
#include "testsupport.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QtTest>

// Its own program: the removals run in a child it kills, and the front-end's
// SIGCHLD handler must not be installed here.
class PlaylistKillTest : public QObject
{
    Q_OBJECT
private slots:
    void killedMidRemovalLeavesAWholeFile()
    {
        TempInstall install;
        QList<QByteArray> original;
        for (int i = 0; i < 10000; ++i)
            original << "/mmc/mmca1/music/track " + QByteArray::number(i) + ".mp3";
        QByteArray content;
        for (const QByteArray& line : original)
            content += line + "\n";
        const QString file = install.file("playlist/default");
        for (int round = 0; round < 25; ++round) {
            writeAll(file, content);
            QProcess churn;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("QT_QPA_PLATFORM", "offscreen");
            churn.setProcessEnvironment(env);
            churn.setStandardOutputFile(QProcess::nullDevice());
            churn.start(binaryDir() + "/tests/playlistchurn", {file});
            QVERIFY(churn.waitForStarted());
            QTest::qSleep(static_cast<int>(100 + QRandomGenerator::global()->bounded(400)));
            churn.kill();
            QVERIFY(churn.waitForFinished());
            // Whatever moment it died at, the file is one whole list: the
            // original without its first k entries. Never empty: half a
            // second removes a few hundred of them at most.
            const QByteArray now = readAll(file);
            QVERIFY(!now.isEmpty());
            QVERIFY(content.endsWith(now));
            QVERIFY(now.size() == content.size() ||
                    content.at(content.size() - now.size() - 1) == '\n');
        }
    }

    // The temporary file beside a playlist has the playlist's narrower mode
    // before it holds a line: others never read it meanwhile.
    void theModeComesBeforeTheContent()
    {
        REQUIRE_TOOL("strace");
        TempInstall install;
        const QString file = install.file("playlist/default");
        writeAll(file, "/m/1.mp3\n/m/2.mp3\n");
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner));
        QProcess churn;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        churn.setProcessEnvironment(env);
        churn.start("strace", {"-f", "-qq", "-e", "trace=openat,fchmod,write", "-o",
                               install.file("calls"), binaryDir() + "/tests/playlistchurn", file});
        // Traced on an emulated phone beside other work, its start alone can
        // take more than the default half minute.
        QVERIFY(churn.waitForFinished(300000));
        const QList<QByteArray> calls = readAll(install.file("calls")).split('\n');
        const QRegularExpression made(R"(openat\(.*\.default\.tarragon-.*= (\d+)$)");
        QByteArray fd;
        for (const QByteArray& call : calls) {
            if (fd.isEmpty()) {
                const QRegularExpressionMatch match = made.match(QString::fromUtf8(call));
                if (match.hasMatch())
                    fd = match.captured(1).toUtf8();
            } else if (call.contains("fchmod(" + fd + ",")) {
                return;
            } else {
                QVERIFY2(!call.contains("write(" + fd + ","), call.constData());
            }
        }
        QFAIL("no temporary file was made and narrowed");
    }
};

QTEST_MAIN(PlaylistKillTest)
#include "tst_playlistkill.moc"
