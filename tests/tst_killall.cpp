#include "testsupport.h"

#include <QtTest>

// The installation's killall ends the processes of the name it is given that
// run in its own directory, and no other.
class KillallTest : public QObject
{
    Q_OBJECT
private slots:
    void endsOnlyItsOwnDirectorysProcesses()
    {
        QTemporaryDir mine;
        QTemporaryDir elsewhere;
        QFile::copy(sourceDir() + "/dist/killall", mine.filePath("killall"));
        QFile::setPermissions(mine.filePath("killall"), QFile::ReadOwner | QFile::ExeOwner);
        for (const QTemporaryDir* dir : {&mine, &elsewhere}) {
            QFile::link("/bin/sleep", dir->filePath("mplayer"));
            QFile::link("/bin/sleep", dir->filePath("other"));
        }
        auto start = [](const QTemporaryDir& dir, const QString& name) {
            auto* p = new QProcess;
            p->setWorkingDirectory(dir.path());
            p->start(dir.filePath(name), {"30"});
            p->waitForStarted();
            return p;
        };
        std::unique_ptr<QProcess> target(start(mine, "mplayer"));
        std::unique_ptr<QProcess> otherName(start(mine, "other"));
        std::unique_ptr<QProcess> otherDir(start(elsewhere, "mplayer"));

        QProcess killall;
        killall.setWorkingDirectory(mine.path());
        killall.start(mine.filePath("killall"), {"mplayer", "-9"});
        QVERIFY(killall.waitForFinished());
        QCOMPARE(killall.exitCode(), 0);

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
};

QTEST_GUILESS_MAIN(KillallTest)
#include "tst_killall.moc"
