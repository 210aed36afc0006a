#include "settingsrecord.h"
#include "testsupport.h"

#include <QtTest>

#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

class SettingsRecordTest : public QObject
{
    Q_OBJECT
private slots:
    void init() { settingsRecord = SettingsRecord{}; }

    void missingFileLeavesRecordZero()
    {
        TempInstall install;
        loadSettings();
        const SettingsRecord zero{};
        QCOMPARE(std::memcmp(&settingsRecord, &zero, sizeof zero), 0);
    }

    void fieldsSitAtTheirOffsets()
    {
        TempInstall install;
        QByteArray bytes(312, '\0');
        std::memcpy(bytes.data(), "/a/clip.avi", 11);
        std::memcpy(bytes.data() + 128, "/mmc/mmca1/video", 16);
        bytes[260] = 2; // scaleIndex, little-endian
        bytes[264] = 1;
        bytes[266] = 1;
        bytes[269] = 1;
        writeAll(install.file("setup"), bytes);
        loadSettings();
        QCOMPARE(settingsRecord.lastPlayedPath.data(), "/a/clip.avi");
        QCOMPARE(settingsRecord.lastDirectory.data(), "/mmc/mmca1/video");
        QCOMPARE(settingsRecord.scaleIndex, 2);
        QCOMPARE(settingsRecord.loop, 1);
        QCOMPARE(settingsRecord.fScreen, 0);
        QCOMPARE(settingsRecord.silent, 1);
        QCOMPARE(settingsRecord.bassBoost, 1);
    }

    void shortFileSetsOnlyWhatItCovers()
    {
        TempInstall install;
        QByteArray bytes(265, '\0');
        std::memcpy(bytes.data() + 128, "/tmp", 4);
        bytes[264] = 1;
        writeAll(install.file("setup"), bytes);
        settingsRecord.silent = 7;
        loadSettings();
        QCOMPARE(settingsRecord.lastDirectory.data(), "/tmp");
        QCOMPARE(settingsRecord.loop, 1);
        QCOMPARE(settingsRecord.silent, 7); // not covered: keeps its value
    }

    void longFileGivesFirst312BytesAndSaveCutsIt()
    {
        TempInstall install;
        QByteArray bytes(10 * 1024, '\x5a');
        bytes[0] = '\0';
        writeAll(install.file("setup"), bytes);
        loadSettings();
        QCOMPARE(settingsRecord.loop, 0x5a);
        saveSettings();
        const QByteArray saved = readAll(install.file("setup"));
        QCOMPARE(saved.size(), 312);
        QCOMPARE(saved, bytes.left(312));
    }

    void reservedBytesSurviveASave()
    {
        TempInstall install;
        QByteArray bytes(312, '\0');
        for (int i = 270; i < 312; ++i)
            bytes[i] = static_cast<char>(i * 7);
        writeAll(install.file("setup"), bytes);
        loadSettings();
        settingsRecord.loop = 1;
        saveSettings();
        QByteArray expected = bytes;
        expected[264] = 1;
        QCOMPARE(readAll(install.file("setup")), expected);
    }

    void fileFullOf0xFFLoadsWithoutHarm()
    {
        TempInstall install;
        writeAll(install.file("setup"), QByteArray(312, '\xff'));
        loadSettings();
        QCOMPARE(settingsRecord.scaleIndex, -1);
        QCOMPARE(settingsRecord.oClock, 0xff);
        saveSettings();
        QCOMPARE(readAll(install.file("setup")), QByteArray(312, '\xff'));
    }

    void saveCreatesTheFileWhenMissing()
    {
        TempInstall install;
        settingsRecord.scaleIndex = 0x01020304;
        saveSettings();
        const QByteArray saved = readAll(install.file("setup"));
        QCOMPARE(saved.size(), 312);
        QCOMPARE(saved.mid(260, 4), QByteArray("\x04\x03\x02\x01", 4));
    }

    void aSaveReplacesTheRecordWhole()
    {
        // Never truncated and written in place, where a power cut between
        // the two would leave a short record: the old file stays whole
        // until the new one, whole, is renamed over it.
        TempInstall install;
        const QByteArray old(312, '\x01');
        writeAll(install.file("setup"), old);
        QVERIFY(QFile::setPermissions(install.file("setup"), QFile::ReadOwner | QFile::WriteOwner));
        // Its owner stays, where this user may give it (root, as on a phone).
        const QByteArray path = QFile::encodeName(install.file("setup"));
        const bool root = geteuid() == 0;
        if (root)
            QCOMPARE(chown(path.constData(), 1234, 1234), 0);
        QFile before(install.file("setup"));
        QVERIFY(before.open(QIODevice::ReadOnly));
        settingsRecord.loop = 1;
        saveSettings();
        QCOMPARE(before.readAll(), old);
        const QByteArray saved = readAll(install.file("setup"));
        QCOMPARE(saved.size(), 312);
        QCOMPARE(saved[264], '\x01');
        QCOMPARE(QFile::permissions(install.file("setup")),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
        QCOMPARE(QDir(install.path()).entryList({".setup*"}, QDir::Files | QDir::Hidden),
                 QStringList());
        struct stat info = {};
        QCOMPARE(stat(path.constData(), &info), 0);
        QCOMPARE(info.st_uid, root ? 1234u : geteuid());
        QCOMPARE(info.st_gid, root ? 1234u : getegid());
    }

    void storeWholeNeverCutsAPath()
    {
        std::array<char, 8> field{};
        std::memcpy(field.data(), "keep", 5);
        QVERIFY(!storeWhole(field, "12345678", 8)); // no room for the NUL
        QCOMPARE(field.data(), "keep");
        QVERIFY(storeWhole(field, "1234567", 7));
        QCOMPARE(field.data(), "1234567");
    }
};

QTEST_GUILESS_MAIN(SettingsRecordTest)
#include "tst_settingsrecord.moc"
