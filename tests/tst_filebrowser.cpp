#include "filebrowser.h"
#include "playbackstate.h"
#include "settingsrecord.h"
#include "testsupport.h"

#include <QtTest>

#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
QStringList rows(const QListWidget& list)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out << list.item(i)->text();
    return out;
}

void touch(const QString& path)
{
    writeAll(path, QByteArray());
}

int rowOf(const QListWidget& list, const QString& text)
{
    for (int i = 0; i < list.count(); ++i)
        if (list.item(i)->text() == text)
            return i;
    return -1;
}
} // namespace

class FileBrowserTest : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TempInstall> install;
    QString media;

    std::unique_ptr<FileBrowser> makeBrowser()
    {
        auto b = std::make_unique<FileBrowser>(nullptr, "aviBrowser");
        b->resize(240, 240);
        return b;
    }

private slots:
    void init()
    {
        resetFrontEndState();
        install = std::make_unique<TempInstall>();
        media = install->file("media");
        QDir().mkpath(media + "/Zeta");
        QDir().mkpath(media + "/alpha");
        QDir().mkpath(media + "/dir.txt");
        QDir().mkpath(media + "/.hidden");
        for (const char* name :
             {"b.mp3", "A.avi", "clip.3gp", "notes.txt", ".secret.mp3", "LOUD.MP3", "movie.rmvb",
              "x.wav", "Show.M2TS", "song.opus", "talk.m4a", "x.webm"})
            touch(media + "/" + name);
    }
    void cleanup() { install.reset(); }

    void constructionListsTheWorkingDirectoryWithoutTouchingMediaPath()
    {
        touch(install->file("song.mp3"));
        auto b = makeBrowser();
        QCOMPARE(b->currentDir, canonical(install->path()));
        QVERIFY(rows(*b).contains("song.mp3"));
        QCOMPARE(b->mediaPath.data(), "not_a_file");
        QCOMPARE(b->playlistView, false);
        QCOMPARE(b->ignoreMouse, false);
    }

    void listingFiltersAndSorts()
    {
        // Links count as what they lead to; special files and broken links
        // are not listed.
        QVERIFY(QFile::link(media + "/alpha", media + "/linked dir"));
        QVERIFY(QFile::link(media + "/b.mp3", media + "/linked.mp3"));
        QVERIFY(QFile::link(media + "/gone.mp3", media + "/broken.mp3"));
        QCOMPARE(mkfifo(QFile::encodeName(media + "/pipe.mp3").constData(), 0644), 0);
        auto b = makeBrowser();
        b->listDirectory(media);
        // Directories first whatever their name, then matching files;
        // case-sensitive order; no hidden entries. Name filters ignore case.
        QCOMPARE(rows(*b), QStringList({"..", "Zeta", "alpha", "dir.txt", "linked dir", "A.avi",
                                        "LOUD.MP3", "Show.M2TS", "b.mp3", "clip.3gp", "linked.mp3",
                                        "movie.rmvb", "song.opus", "talk.m4a", "x.wav", "x.webm"}));
        QCOMPARE(b->currentDir, canonical(media));
        QCOMPARE(settingsRecord.lastDirectory.data(), b->currentDir.constData());
    }

    void emptyDirectoryShowsOnlyParentAndRootShowsNone()
    {
        auto b = makeBrowser();
        b->listDirectory(media + "/alpha");
        QCOMPARE(rows(*b), QStringList({".."}));
        b->listDirectory(QByteArray("/"));
        QVERIFY(!rows(*b).contains(".."));
        QVERIFY(!rows(*b).contains("."));
        QCOMPARE(b->currentDir, QByteArray("/"));
    }

    void unreadableDirectoryChangesNothing()
    {
        auto b = makeBrowser();
        b->listDirectory(media);
        const QStringList before = rows(*b);
        const QByteArray stored(settingsRecord.lastDirectory.data());
        b->listDirectory(media + "/does-not-exist");
        b->listDirectory(media + "/b.mp3");
        QCOMPARE(rows(*b), before);
        QCOMPARE(b->currentDir, canonical(media));
        QCOMPARE(QByteArray(settingsRecord.lastDirectory.data()), stored);
    }

    void canonicalPathResolvesDotsAndLinks()
    {
        QFile::link(media, install->file("link"));
        auto b = makeBrowser();
        b->listDirectory(install->file("link") + "/alpha/..");
        QCOMPARE(b->currentDir, canonical(media));
    }

    void highlightKeepsTheFileOrTheSentinel()
    {
        auto b = makeBrowser();
        b->listDirectory(media);
        b->setCurrentRow(rowOf(*b, "b.mp3"));
        QCOMPARE(b->mediaPath.data(), (b->currentDir + "/b.mp3").constData());
        QCOMPARE(b->currentIndex, rowOf(*b, "b.mp3"));
        b->setCurrentRow(rowOf(*b, "alpha"));
        QCOMPARE(b->mediaPath.data(), "not_a_file");
        b->setCurrentRow(rowOf(*b, "x.wav"));
        b->setCurrentRow(0); // ".."
        QCOMPARE(b->mediaPath.data(), "not_a_file");
        QFile::remove(media + "/x.wav");
        b->setCurrentRow(rowOf(*b, "x.wav"));
        QCOMPARE(b->mediaPath.data(), "not_a_file");
    }

    void highlightEmitsPickedWithTheComposedPath()
    {
        auto b = makeBrowser();
        b->listDirectory(media);
        QSignalSpy picked(b.get(), &FileBrowser::picked);
        b->setCurrentRow(rowOf(*b, "A.avi"));
        QCOMPARE(picked.count(), 1);
        QCOMPARE(picked.at(0).at(0).toString(), QFile::decodeName(b->currentDir + "/A.avi"));
    }

    void clearingTheListIsNoHighlight()
    {
        auto b = makeBrowser();
        b->listDirectory(media);
        b->setCurrentRow(rowOf(*b, "b.mp3"));
        const int index = b->currentIndex;
        b->listDirectory(media + "/alpha");
        QCOMPARE(b->currentIndex, index);
        QVERIFY(QByteArray(b->mediaPath.data()).endsWith("/b.mp3"));
    }

    void pathLongerThanTheRecordsFieldIsStillTheFile()
    {
        QString deep = media;
        while (QFile::encodeName(deep).size() < 120)
            deep += "/dddddddddd";
        QDir().mkpath(deep);
        touch(deep + "/long-name.mp3");
        auto b = makeBrowser();
        b->listDirectory(deep);
        b->setCurrentRow(rowOf(*b, "long-name.mp3"));
        QVERIFY(QByteArray(b->mediaPath.data()).endsWith("/dddddddddd/long-name.mp3"));
    }

    void directoryTooLongForTheRecordIsNotStored()
    {
        QString deep = media;
        while (QFile::encodeName(deep).size() < 140)
            deep += "/dddddddddd";
        QDir().mkpath(deep);
        auto b = makeBrowser();
        b->listDirectory(media);
        b->listDirectory(deep);
        QCOMPARE(b->currentDir, canonical(deep));
        QCOMPARE(settingsRecord.lastDirectory.data(),
                 QFile::encodeName(QDir(media).canonicalPath()).constData());
    }

    void selectEntersDirectoriesAndParent()
    {
        auto b = makeBrowser();
        b->listDirectory(media);
        b->setCurrentRow(rowOf(*b, "alpha"));
        QTest::keyClick(b.get(), Qt::Key_Return);
        QCOMPARE(b->currentDir, canonical(media + "/alpha"));
        b->setCurrentRow(0);
        QTest::keyClick(b.get(), Qt::Key_Enter);
        QCOMPARE(b->currentDir, canonical(media));
        b->setCurrentRow(rowOf(*b, "b.mp3"));
        QTest::keyClick(b.get(), Qt::Key_Return); // a file: nothing happens
        QCOMPARE(b->currentDir, canonical(media));
    }

    void aTapEntersADirectoryExactlyOnce()
    {
        QDir().mkpath(media + "/alpha/inner");
        QDir().mkpath(media + "/alpha/inner2");
        auto b = makeBrowser();
        b->listDirectory(media);
        b->show();
        QVERIFY(QTest::qWaitForWindowExposed(b.get()));
        const int row = rowOf(*b, "alpha");
        const QPoint at = b->visualItemRect(b->item(row)).center();
        QTest::mouseClick(b->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(b->currentDir, canonical(media + "/alpha"));

        // A double click is one entry too, not one per click.
        // A real double click: press, release, double-click press, release.
        b->listDirectory(media);
        QTest::mousePress(b->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(b->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(b->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(b->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(b->currentDir, canonical(media + "/alpha"));
    }

    void mouseIsDroppedWhileIgnored()
    {
        auto b = makeBrowser();
        b->listDirectory(media);
        b->show();
        QVERIFY(QTest::qWaitForWindowExposed(b.get()));
        b->ignoreMouse = true;
        const int before = b->currentRow();
        const QPoint at = b->visualItemRect(b->item(rowOf(*b, "alpha"))).center();
        QTest::mouseClick(b->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(b->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseMove(b->viewport(), at + QPoint(0, 40));
        QCOMPARE(b->currentDir, canonical(media));
        QCOMPARE(b->currentRow(), before);
    }

    void presentationSwitchSetsGeometryAndMouse()
    {
        auto b = makeBrowser();
        b->enterFullScreen();
        QCOMPARE(b->geometry(), QRect(0, 0, 240, 320));
        QVERIFY(b->ignoreMouse);
        QVERIFY(b->viewport()->isHidden());
        QCOMPARE(b->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        b->leaveFullScreen();
        QCOMPARE(b->geometry(), QRect(0, 0, 240, 240));
        QVERIFY(!b->ignoreMouse);
        QVERIFY(!b->viewport()->isHidden());
        QCOMPARE(b->horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    }

    void focusLossRaisesTheFlag()
    {
        auto b = makeBrowser();
        QFocusEvent out(QEvent::FocusOut, Qt::OtherFocusReason);
        QCoreApplication::sendEvent(b.get(), &out);
        QVERIFY(playbackState.focusLost);
    }

    void oddNamesAreListedAndHighlighted()
    {
        const QStringList names = {"with space.mp3",
                                   "quote'\".mp3",
                                   "semi;colon.mp3",
                                   "dollar$HOME.mp3",
                                   "back\\slash.mp3",
                                   "new\nline.mp3",
                                   QString::fromUtf8("中文.mp3")};
        for (const QString& name : names)
            touch(media + "/alpha/" + name);
        auto b = makeBrowser();
        b->listDirectory(media + "/alpha");
        for (const QString& name : names) {
            const int row = rowOf(*b, name);
            QVERIFY2(row > 0, qPrintable(name));
            b->setCurrentRow(row);
            QCOMPARE(b->mediaPath.data(),
                     (b->currentDir + "/" + QFile::encodeName(name)).constData());
        }
        // Names that are not valid UTF-8 (Latin-1, GBK) show decoded as well
        // as they can be, and keep their exact bytes.
        const QByteArray dir = canonical(media + "/alpha");
        const QByteArray latin1 = "caf\xe9 cr\xe8me.mp3";
        const QByteArray gbk = "\xd6\xd0\xce\xc4";
        QVERIFY(writeBytes(dir + "/" + latin1, ""));
        QCOMPARE(mkdir((dir + "/" + gbk).constData(), 0755), 0);
        b->listDirectory(media + "/alpha");
        QCOMPARE(b->count(), names.size() + 3);
        QCOMPARE(b->item(1)->text(), QString::fromLocal8Bit(gbk));
        QVERIFY(b->item(1)->text().contains(QChar::ReplacementCharacter));
        QVERIFY(highlight(b.get(), QString::fromLocal8Bit(latin1)));
        QCOMPARE(QByteArray(b->mediaPath.data()), dir + "/" + latin1);
        b->setCurrentRow(1);
        QCOMPARE(b->mediaPath.data(), "not_a_file");
        QTest::keyClick(b.get(), Qt::Key_Return);
        QCOMPARE(b->currentDir, dir + "/" + gbk);
        QCOMPARE(QByteArray(settingsRecord.lastDirectory.data()), dir + "/" + gbk);
    }

    void tenThousandEntries()
    {
        const QString big = media + "/big";
        QDir().mkpath(big);
        for (int i = 0; i < 10000; ++i)
            touch(big + QString::asprintf("/f%05d.mp3", i));
        auto b = makeBrowser();
        b->listDirectory(big);
        QCOMPARE(b->count(), 10001);
        QCOMPARE(b->item(1)->text(), QString("f00000.mp3"));
        QCOMPARE(b->item(10000)->text(), QString("f09999.mp3"));
    }
};

QTEST_MAIN(FileBrowserTest)
#include "tst_filebrowser.moc"
