#include "testsupport.h"

#include <QRandomGenerator>
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
};

QTEST_MAIN(PlaylistKillTest)
#include "tst_playlistkill.moc"
