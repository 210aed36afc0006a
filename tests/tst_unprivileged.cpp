#include "filebrowser.h"
#include "mywidget.h"
#include "playbackstate.h"
#include "replacefile.h"
#include "settingsrecord.h"
#include "testsupport.h"

#include <QtTest>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <grp.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

// What an ordinary user meets and root never does: files it may not read,
// and limits on its descriptors and processes.
class UnprivilegedTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(geteuid() != 0);
        std::signal(SIGCHLD, onChildSignal);
    }
    void init() { resetFrontEndState(); }

    void playlistsThatCannotBeReadAreNeverRewritten_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("a file this user may not read") << "locked";
        QTest::newRow("a read error at its first byte") << "broken";
        QTest::newRow("a folder") << "folder";
        QTest::newRow("a FIFO nobody writes to") << "fifo";
    }

    void playlistsThatCannotBeReadAreNeverRewritten()
    {
        QFETCH(QString, kind);
        TempInstall install;
        const QString path = install.file("playlist/default");
        const QByteArray list = "/m/1.mp3\n/m/2.mp3\n";
        if (kind == "locked") {
            writeAll(path, list);
            QVERIFY(QFile::setPermissions(path, {}));
        } else if (kind == "broken") {
            QVERIFY(QFile::link("/proc/self/mem", path));
        } else if (kind == "folder") {
            QVERIFY(QDir().mkpath(path));
        } else {
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        }
        writeAll(install.file("playlist/good"), list);
        MyWidget w;
        QVERIFY(choose(w.playlistMenu(), "good"));
        const int rows = w.browser()->count();
        // No hang; the rows stay, and none of them is taken for its lines.
        QVERIFY(choose(w.playlistMenu(), "Playlist"));
        QCOMPARE(w.browser()->count(), rows);
        QVERIFY(w.browser()->playlistLines.isEmpty());
        w.browser()->setCurrentRow(0);
        QVERIFY(choose(w.mainMenu(), "Remove"));
        const QFileInfo after(path);
        if (kind == "locked") {
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
            QCOMPARE(readAll(path), list);
        } else if (kind == "broken") {
            QCOMPARE(after.symLinkTarget(), QString("/proc/self/mem"));
        } else if (kind == "folder") {
            QVERIFY(after.isDir());
        } else {
            QVERIFY(after.exists() && !after.isFile() && !after.isDir());
        }
        QCOMPARE(readAll(install.file("playlist/good")), list);
    }

    void theRecordIsSavedWhereAndAsTheUserKeepsIt_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("mask");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("saved");
        // Besides the record, what the folder holds after the save.
        QTest::addColumn<QStringList>("kept");
        QTest::newRow("a link to a file elsewhere")
            << "link" << 027 << 0640 << true << QStringList();
        QTest::newRow("a relative link") << "relative link" << 027 << 0640 << true << QStringList();
        QTest::newRow("in a folder the user may not write")
            << "locked folder" << 027 << 0640 << true << QStringList();
        QTest::newRow("in a folder the user may write, not read")
            << "unreadable folder" << 027 << 0640 << true << QStringList();
        QTest::newRow("made read-only: refused")
            << "read-only" << 027 << 0444 << false << QStringList();
        QTest::newRow("a new file, under the umask")
            << "new" << 027 << 0640 << true << QStringList();
        QTest::newRow("a new file, under another") << "new" << 002 << 0664 << true << QStringList();
        QTest::newRow("a name too long for a temporary one")
            << "long name" << 027 << 0640 << true << QStringList();
        QTest::newRow("beside a power cut's leftover")
            << "leftover" << 027 << 0640 << true << QStringList();
        QTest::newRow("beside another writer's fresh file")
            << "fresh" << 027 << 0640 << true << QStringList{".setup.tarragon-Ab12Cd"};
        QTest::newRow("beside a user's own file of that name")
            << "own" << 027 << 0640 << true << QStringList{".setup.tarragon-notes.txt"};
    }

    void theRecordIsSavedWhereAndAsTheUserKeepsIt()
    {
        QFETCH(QString, kind);
        QFETCH(int, mask);
        QFETCH(int, mode);
        QFETCH(bool, saved);
        QFETCH(QStringList, kept);
        QTemporaryDir dir;
        const QString name = kind == "long name" ? QString(250, 'l') : QString("setup");
        const QString home = dir.filePath("home"), setup = home + "/" + name;
        const QString file = kind.endsWith("link") ? dir.filePath("setup") : setup;
        QVERIFY(QDir().mkpath(home));
        const mode_t umaskBefore = umask(mode_t(mask));
        if (kind != "new")
            writeAll(file, QByteArray(312, '\0'));
        struct stat info = {};
        stat(QFile::encodeName(file).constData(), &info);
        const ino_t before = info.st_ino;
        if (kind == "link")
            QVERIFY(QFile::link(file, setup));
        if (kind == "relative link")
            QCOMPARE(symlink("../setup", QFile::encodeName(setup).constData()), 0);
        if (kind == "read-only")
            chmod(QFile::encodeName(file).constData(), mode_t(mode));
        const QString stray =
            home + (kind == "own" ? "/.setup.tarragon-notes.txt" : "/.setup.tarragon-Ab12Cd");
        if (kind == "leftover" || kind == "fresh" || kind == "own")
            writeAll(stray, "half");
        if (kind == "leftover" || kind == "own") {
            QFile old(stray);
            QVERIFY(old.open(QIODevice::ReadWrite));
            QVERIFY(old.setFileTime(QDateTime::currentDateTime().addSecs(-120),
                                    QFileDevice::FileModificationTime));
        }
        const int folderMode = kind == "locked folder"       ? 0555
                               : kind == "unreadable folder" ? 0300
                                                             : 0755;
        chmod(QFile::encodeName(home).constData(), mode_t(folderMode));
        QByteArray record(312, '\0');
        record[264] = 1;
        QCOMPARE(replaceFile(QFile::encodeName(setup), record), saved);
        chmod(QFile::encodeName(home).constData(), 0755);
        umask(umaskBefore);

        QCOMPARE(readAll(file).at(264) == 1, saved);
        QCOMPARE(stat(QFile::encodeName(file).constData(), &info), 0);
        QCOMPARE(int(info.st_mode & 07777), mode);
        QCOMPARE(QFileInfo(setup).isSymLink(), kind.endsWith("link"));
        // Replaced whole, not rewritten in place, wherever a file could be
        // made beside it.
        if (kind != "new")
            QCOMPARE(info.st_ino == before, kind == "locked folder" || kind == "read-only");
        QStringList expected = kept << name;
        expected.sort();
        QCOMPARE(QDir(home).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name),
                 expected);
    }

    void onlyAFolderThatRefusesANewFileIsWrittenInPlace_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<bool>("inPlace");
        for (int error : {EACCES, EPERM, EROFS})
            QTest::newRow(strerror(error)) << error << true;
        for (int error : {ENAMETOOLONG, ENOSPC, EDQUOT, EMFILE, ENFILE, EIO, EEXIST})
            QTest::newRow(strerror(error)) << error << false;
    }

    void onlyAFolderThatRefusesANewFileIsWrittenInPlace()
    {
        QFETCH(int, error);
        QFETCH(bool, inPlace);
        QCOMPARE(writesInPlaceAfter(error), inPlace);
    }

    void launchFailuresLeaveFullScreenAndLeakNothing()
    {
        TempInstall install;
        QDir().mkpath(install.file("media"));
        writeAll(install.file("media/clip.avi"), "");
        MyWidget w;
        w.browser()->listDirectory(install.file("media"));
        QVERIFY(highlight(w.browser(), "clip.avi"));
        const QByteArray path = w.browser()->mediaPath.data();
        // One launch without limits first, of a player that is missing and
        // so ends at once: the paths below have all run once before the
        // limits come (the sanitizers' type checks need descriptors the
        // first time they meet a type).
        QCOMPARE(w.startPlayback(path.constData(), false), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!playbackState.fullScreen, 10000);
        const int before = openDescriptors();

        auto launchUnder = [&](int resource, rlim_t limit) {
            rlimit saved{};
            getrlimit(resource, &saved);
            rlimit low = saved;
            low.rlim_cur = limit;
            setrlimit(resource, &low);
            const int result = w.startPlayback(path.constData(), false);
            setrlimit(resource, &saved);
            return result;
        };

        // No descriptor left for the socket pair.
        const int lowestFree = dup(0);
        close(lowestFree);
        QCOMPARE(launchUnder(RLIMIT_NOFILE, rlim_t(lowestFree)), -1);
        QVERIFY(!playbackState.playing);
        QVERIFY(!playbackState.fullScreen);
        QCOMPARE(w.commandSocketFd(), -1);

        // No process left for this user: the fork fails.
        QCOMPARE(launchUnder(RLIMIT_NPROC, 0), -1);
        QVERIFY(!playbackState.playing);
        QVERIFY(!playbackState.fullScreen);
        QCOMPARE(w.commandSocketFd(), -1);
        QCOMPARE(openDescriptors(), before);
    }
};

int main(int argc, char** argv)
{
    if (geteuid() == 0) {
        // Root reads every file and is held by no process limit: become an
        // ordinary user before anything starts.
        if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)
            return 1;
        // A changed identity makes the process undumpable, which hides
        // /proc/self from it and stops the leak checker.
        prctl(PR_SET_DUMPABLE, 1);
    }
    qputenv("HOME", "/tmp");
    QApplication app(argc, argv);
    UnprivilegedTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_unprivileged.moc"
