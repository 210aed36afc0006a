#include "filebrowser.h"
#include "playbackstate.h"
#include "settingsrecord.h"
#include "testsupport.h"

#include <QtTest>

#include <memory>
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
        for (const char* name : {"b.mp3", "A.avi", "clip.3gp", "notes.txt", ".secret.mp3",
                                 "LOUD.MP3", "movie.rmvb", "x.wav"})
            touch(media + "/" + name);
    }
    void cleanup() { install.reset(); }

    void constructionListsTheWorkingDirectoryWithoutTouchingMediaPath()
    {
        touch(install->file("song.mp3"));
        auto b = makeBrowser();
        QCOMPARE(b->currentDir, QDir(install->path()).canonicalPath());
        QVERIFY(rows(*b).contains("song.mp3"));
        QCOMPARE(b->mediaPath.data(), "not_a_file");
        QCOMPARE(b->playlistView, false);
        QCOMPARE(b->ignoreMouse, false);
    }

    void listingFiltersAndSorts()
    {
        auto b = makeBrowser();
        b->listDirectory(media);
        // Directories first whatever their name, then matching files;
        // case-sensitive order; no hidden entries. Name filters ignore case.
        QCOMPARE(rows(*b), QStringList({"..", "Zeta", "alpha", "dir.txt", "A.avi", "LOUD.MP3",
                                        "b.mp3", "clip.3gp", "movie.rmvb", "x.wav"}));
        QCOMPARE(b->currentDir, QDir(media).canonicalPath());
        QCOMPARE(settingsRecord.lastDirectory.data(), QFile::encodeName(b->currentDir).constData());
    }

    void emptyDirectoryShowsOnlyParentAndRootShowsNone()
    {
        auto b = makeBrowser();
        b->listDirectory(media + "/alpha");
        QCOMPARE(rows(*b), QStringList({".."}));
        b->listDirectory("/");
        QVERIFY(!rows(*b).contains(".."));
        QVERIFY(!rows(*b).contains("."));
        QCOMPARE(b->currentDir, QString("/"));
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
        QCOMPARE(b->currentDir, QDir(media).canonicalPath());
        QCOMPARE(QByteArray(settingsRecord.lastDirectory.data()), stored);
    }

    void canonicalPathResolvesDotsAndLinks()
    {
        QFile::link(media, install->file("link"));
        auto b = makeBrowser();
        b->listDirectory(install->file("link") + "/alpha/..");
        QCOMPARE(b->currentDir, QDir(media).canonicalPath());
    }

    void highlightKeepsTheFileOrTheSentinel()
    {
        auto b = makeBrowser();
        b->listDirectory(media);
        b->setCurrentRow(rowOf(*b, "b.mp3"));
        QCOMPARE(b->mediaPath.data(), QFile::encodeName(b->currentDir + "/b.mp3").constData());
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
        QCOMPARE(picked.at(0).at(0).toString(), b->currentDir + "/A.avi");
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

    void pathTooLongForMediaPathCountsAsNoFile()
    {
        QString deep = media;
        while (QFile::encodeName(deep).size() < 120)
            deep += "/dddddddddd";
        QDir().mkpath(deep);
        touch(deep + "/long-name.mp3");
        auto b = makeBrowser();
        b->listDirectory(deep);
        b->setCurrentRow(rowOf(*b, "long-name.mp3"));
        QCOMPARE(b->mediaPath.data(), "not_a_file");
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
        QCOMPARE(b->currentDir, QDir(deep).canonicalPath());
        QCOMPARE(settingsRecord.lastDirectory.data(),
                 QFile::encodeName(QDir(media).canonicalPath()).constData());
    }

    void selectEntersDirectoriesAndParent()
    {
        auto b = makeBrowser();
        b->listDirectory(media);
        b->setCurrentRow(rowOf(*b, "alpha"));
        QTest::keyClick(b.get(), Qt::Key_Return);
        QCOMPARE(b->currentDir, QDir(media + "/alpha").canonicalPath());
        b->setCurrentRow(0);
        QTest::keyClick(b.get(), Qt::Key_Enter);
        QCOMPARE(b->currentDir, QDir(media).canonicalPath());
        b->setCurrentRow(rowOf(*b, "b.mp3"));
        QTest::keyClick(b.get(), Qt::Key_Return); // a file: nothing happens
        QCOMPARE(b->currentDir, QDir(media).canonicalPath());
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
        QCOMPARE(b->currentDir, QDir(media + "/alpha").canonicalPath());

        // A double click is one entry too, not one per click.
        // A real double click: press, release, double-click press, release.
        b->listDirectory(media);
        QTest::mousePress(b->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(b->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(b->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(b->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(b->currentDir, QDir(media + "/alpha").canonicalPath());
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
        QCOMPARE(b->currentDir, QDir(media).canonicalPath());
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
                     QFile::encodeName(b->currentDir + "/" + name).constData());
        }
        // A name that is no valid UTF-8 cannot be named back: Qt leaves it
        // out of the listing, and nothing else changes.
        const QByteArray bad = QFile::encodeName(media + "/alpha/") + "bad\xff\xfe.mp3";
        FILE* f = std::fopen(bad.constData(), "w");
        QVERIFY(f);
        std::fclose(f);
        b->listDirectory(media + "/alpha");
        QCOMPARE(b->count(), names.size() + 1);
        for (int i = 0; i < b->count(); ++i)
            b->setCurrentRow(i);
        ::unlink(bad.constData());
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
