#include "filebrowser.h"
#include "mywidget.h"
#include "nowplaying.h"
#include "platform/popupmenu.h"
#include "platform/utilcst.h"
#include "platform/zpushbutton.h"
#include "playbackstate.h"
#include "playlistfile.h"
#include "settingsrecord.h"
#include "testmain.h"
#include "testsupport.h"

#include <QAction>
#include <QtTest>

#include <csignal>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
QStringList itemTexts(const PopupMenu* menu)
{
    QStringList out;
    for (int i = 0; i < menu->count(); ++i) {
        const QAction* a = menu->action(menu->idAt(i));
        out << (a->isSeparator() ? QStringLiteral("---") : a->text());
    }
    return out;
}

QStringList rows(const QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

// Names a shell would act on, and bytes an echo would mangle.
const QList<QByteArray> hostileNames = {"with  two  spaces.mp3",
                                        "tab\there.mp3",
                                        "quote'single.mp3",
                                        "quote\"double.mp3",
                                        "semi;colon.mp3",
                                        "amper&sand.mp3",
                                        "dollar$HOME.mp3",
                                        "back`tick`.mp3",
                                        "back\\slash\\n.mp3",
                                        "-n",
                                        "-e \\t.mp3",
                                        "x;touch MARKER;.mp3",
                                        "$(touch MARKER).mp3",
                                        "bad\xff\xfe utf8.mp3"};
} // namespace

class PlaylistsTest : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TempInstall> install;
    std::unique_ptr<MyWidget> window;
    QString media;

    QString playlist(const QString& name) const { return install->file("playlist/" + name); }
    void startWindow()
    {
        window = std::make_unique<MyWidget>();
        window->browser()->listDirectory(media);
    }
    void addHighlighted(const QString& name)
    {
        QVERIFY(highlight(window->browser(), name));
        QVERIFY(choose(window->mainMenu(), "Add to Playlist      "));
    }
    QString mediaFile(const QString& name) const
    {
        return QDir(media).canonicalPath() + "/" + name;
    }

private slots:
    void initTestCase() { std::signal(SIGCHLD, onChildSignal); }

    void init()
    {
        resetFrontEndState();
        install = std::make_unique<TempInstall>();
        install->installStubPlayer();
        qunsetenv("STUB_SONG");
        qunsetenv("STUB_ENTRY");
        media = install->file("media");
        QDir().mkpath(media + "/folder");
        for (const char* name : {"a.mp3", "b.mp3", "x;touch MARKER;.mp3", "-n.mp3"})
            writeAll(media + "/" + name, "");
    }

    void cleanup()
    {
        if (window && playbackState.playing)
            window->stopPlayback();
        window.reset();
        QVERIFY(!QFile::exists(install->file("MARKER")));
        install.reset();
    }

    void menuListsNamedPlaylistsInReverseOrder()
    {
        writeAll(playlist("alpha"), "");
        writeAll(playlist("Beta"), "");
        writeAll(playlist("gamma"), "");
        writeAll(playlist("default"), "");
        writeAll(playlist(".hidden"), "");
        QDir().mkpath(playlist("subdir"));
        startWindow();
        QCOMPARE(itemTexts(window->playlistMenu()),
                 QStringList({"gamma", "alpha", "Beta", "Playlist", "---", "File Browser"}));
    }

    void missingPlaylistDirectoryLeavesTheFixedItems()
    {
        QDir(install->file("playlist")).removeRecursively();
        startWindow();
        QCOMPARE(itemTexts(window->playlistMenu()),
                 QStringList({"Playlist", "---", "File Browser"}));
        addHighlighted("a.mp3"); // nowhere to write: nothing happens
        QVERIFY(!QFile::exists(install->file("playlist")));
    }

    void statesAndCaptions()
    {
        writeAll(playlist("named"), "/m/one.mp3\n");
        startWindow();
        const QStringList before = rows(window->browser());
        // The default playlist does not exist yet: rows stay, the rest changes.
        QVERIFY(choose(window->playlistMenu(), "Playlist"));
        QCOMPARE(window->softKeys()->getMidBtn()->text(), QString("Playlist"));
        QVERIFY(!window->isBrowseMode());
        QVERIFY(window->browser()->playlistView);
        QCOMPARE(rows(window->browser()), before);
        QCOMPARE(window->browser()->mediaPath.data(),
                 QFile::encodeName(playlist("default")).constData());
        QCOMPARE(window->mainMenu()->text(window->itemIds().addToPlaylist), QString("Remove"));

        QVERIFY(choose(window->playlistMenu(), "named"));
        QCOMPARE(window->softKeys()->getMidBtn()->text(), QString("named"));
        QCOMPARE(rows(window->browser()), QStringList({"/m/one.mp3"}));
        QCOMPARE(window->browser()->playlistFile, QFile::encodeName(playlist("named")));

        QVERIFY(choose(window->playlistMenu(), "File Browser"));
        QVERIFY(window->isBrowseMode());
        QVERIFY(!window->browser()->playlistView);
        QCOMPARE(rows(window->browser()), before);
        QCOMPARE(window->mainMenu()->text(window->itemIds().addToPlaylist),
                 QString("Add to Playlist      "));
        QCOMPARE(window->softKeys()->getMidBtn()->text(), QString("File Browser"));
        // The playlist is no longer what Play would play.
        QCOMPARE(window->browser()->mediaPath.data(), "not_a_file");
        QVERIFY(choose(window->mainMenu(), "Play  "));
        QVERIFY(!playbackState.playing);
    }

    void playPassesThePlaylistFile()
    {
        QByteArray twelve;
        for (int n = 1; n <= 12; ++n)
            twelve += "/m/" + QByteArray::number(n) + ".mp3\r\n";
        writeAll(playlist("default"), twelve);
        qputenv("STUB_SONG", "1");
        qputenv("STUB_ENTRY", "3");
        startWindow();
        QVERIFY(choose(window->playlistMenu(), "Playlist"));
        QVERIFY(choose(window->mainMenu(), "Play  "));
        QTRY_VERIFY(!install->playerArguments().isEmpty());
        const QList<QByteArray> args = install->playerArguments();
        QCOMPARE(args.mid(args.size() - 2),
                 QList<QByteArray>({"-playlist", QFile::encodeName(playlist("default"))}));
        // A headset's next and previous keys step through it.
        QTest::sendKeyEvent(QTest::Click, window->windowHandle(), Qt::Key_MediaNext, {}, {});
        QTest::sendKeyEvent(QTest::Click, window->windowHandle(), Qt::Key_MediaPrevious, {}, {});
        QTRY_VERIFY(install->playerInput().contains("pt_step 1\npt_step -1\n"));
        // Its song's screen says where in the list it is, and what is next.
        QTRY_COMPARE(window->nowPlaying()->placeText(), QString("3 / 12"));
        QCOMPARE(window->nowPlaying()->nextTitle(), QString("4"));
    }

    void addTwiceRemoveOnceRemovesBoth()
    {
        startWindow();
        addHighlighted("a.mp3");
        addHighlighted("b.mp3");
        addHighlighted("a.mp3");
        const QByteArray a = QFile::encodeName(mediaFile("a.mp3"));
        const QByteArray b = QFile::encodeName(mediaFile("b.mp3"));
        QCOMPARE(readAll(playlist("default")), a + "\n" + b + "\n" + a + "\n");
        addHighlighted("folder"); // not a file: nothing
        QCOMPARE(readAll(playlist("default")), a + "\n" + b + "\n" + a + "\n");

        QVERIFY(choose(window->playlistMenu(), "Playlist"));
        window->browser()->setCurrentRow(2);
        QVERIFY(choose(window->mainMenu(), "Remove"));
        QCOMPARE(readAll(playlist("default")), b + "\n");
        QCOMPARE(rows(window->browser()), QStringList({QString::fromLocal8Bit(b)}));
        window->browser()->setCurrentRow(0);
        QVERIFY(choose(window->mainMenu(), "Remove"));
        QVERIFY(QFile::exists(playlist("default")));
        QCOMPARE(readAll(playlist("default")), QByteArray());
        QCOMPARE(window->browser()->count(), 0);
    }

    void removalRewritesTheNamedPlaylistOnly()
    {
        writeAll(playlist("default"), "/d/keep.mp3\n");
        writeAll(playlist("mine"), "/m/1.mp3\r\n/m/2.mp3\r\n/m/3.mp3");
        startWindow();
        QVERIFY(choose(window->playlistMenu(), "mine"));
        // Rows show no carriage return; kept lines keep theirs.
        QCOMPARE(rows(window->browser()), QStringList({"/m/1.mp3", "/m/2.mp3", "/m/3.mp3"}));
        // A row highlighted before the playlist opens again is none of its
        // rows: none goes. The closing menu gives the list the focus, and
        // the row the toolkit then makes current shows highlighted.
        window->browser()->setCurrentRow(1);
        QVERIFY(choose(window->playlistMenu(), "mine"));
        QVERIFY(choose(window->mainMenu(), "Remove"));
        QCOMPARE(readAll(playlist("mine")), QByteArray("/m/1.mp3\r\n/m/2.mp3\r\n/m/3.mp3\n"));
        QFocusEvent focus(QEvent::FocusIn, Qt::PopupFocusReason);
        QCoreApplication::sendEvent(window->browser(), &focus);
        QVERIFY(window->browser()->currentItem() && window->browser()->currentItem()->isSelected());
        window->browser()->setCurrentRow(1);
        QVERIFY(choose(window->mainMenu(), "Remove"));
        QCOMPARE(readAll(playlist("mine")), QByteArray("/m/1.mp3\r\n/m/3.mp3\n"));
        QCOMPARE(readAll(playlist("default")), QByteArray("/d/keep.mp3\n"));
    }

    void namesThatAreNotUtf8AreAddedPlayedAndRemoved()
    {
        // Latin-1 names, as other devices write them on a card; the browser
        // lists them by their bytes.
        const QByteArray folder = QFile::encodeName(media) + "/caf\xe9";
        const QByteArray song = folder + "/chanson \xe0 boire.mp3";
        QCOMPARE(::mkdir(folder.constData(), 0755), 0);
        QVERIFY(writeBytes(song, ""));
        const QByteArray named = QFile::encodeName(install->file("playlist")) + "/f\xeate";
        QVERIFY(writeBytes(named, ""));
        startWindow();
        window->browser()->listDirectory(folder);
        const QByteArray canonicalFolder =
            QFile::encodeName(QDir(media).canonicalPath()) + "/caf\xe9";

        QVERIFY(highlight(window->browser(), QString::fromLocal8Bit("chanson \xe0 boire.mp3")));
        const QByteArray exact = canonicalFolder + "/chanson \xe0 boire.mp3";
        QCOMPARE(QByteArray(window->browser()->mediaPath.data()), exact);
        QVERIFY(choose(window->mainMenu(), "Add to Playlist      "));
        QCOMPARE(readAll(playlist("default")), exact + "\n");
        QVERIFY(choose(window->mainMenu(), "Play  "));
        QTRY_VERIFY(!install->playerArguments().isEmpty());
        QCOMPARE(install->playerArguments().last(), exact);
        window->stopPlayback();

        // The named playlist opens by its own bytes; its line comes off.
        QVERIFY(appendToPlaylist(named, exact));
        QVERIFY(choose(window->playlistMenu(), QString::fromLocal8Bit("f\xeate")));
        QCOMPARE(QByteArray(window->browser()->mediaPath.data()), named);
        QCOMPARE(rows(window->browser()), QStringList({QString::fromLocal8Bit(exact)}));
        window->browser()->setCurrentRow(0);
        QVERIFY(choose(window->mainMenu(), "Remove"));
        QCOMPARE(readBytes(named), QByteArray());
        QVERIFY(QFileInfo::exists(playlist("default")));
    }

    void removalWithNoRowKeepsTheNonEmptyLines()
    {
        writeAll(playlist("default"), "/a.mp3\n\n/b.mp3\n");
        startWindow();
        QVERIFY(choose(window->playlistMenu(), "Playlist"));
        window->browser()->currentIndex = 99;
        QVERIFY(choose(window->mainMenu(), "Remove"));
        QCOMPARE(readAll(playlist("default")), QByteArray("/a.mp3\n/b.mp3\n"));
    }

    void hostileNamesRoundTripAndRunNothing()
    {
        const QByteArray file = QFile::encodeName(playlist("default"));
        for (const QByteArray& name : hostileNames)
            QVERIFY(appendToPlaylist(file, "/media/" + name));
        QByteArray expected;
        for (const QByteArray& name : hostileNames)
            expected += "/media/" + name + "\n";
        QCOMPARE(readAll(playlist("default")), expected);

        // Removing one entry writes every other back byte for byte.
        writeAll(playlist("default"), "/media/drop.mp3\n" + expected);
        startWindow();
        QVERIFY(choose(window->playlistMenu(), "Playlist"));
        window->browser()->setCurrentRow(0);
        QVERIFY(choose(window->mainMenu(), "Remove"));
        QCOMPARE(readAll(playlist("default")), expected);
        QCOMPARE(window->browser()->playlistLines.size(), hostileNames.size());

        // And through the menu, from the browser.
        QVERIFY(choose(window->playlistMenu(), "File Browser"));
        addHighlighted("x;touch MARKER;.mp3");
        addHighlighted("-n.mp3");
        QVERIFY(readAll(playlist("default"))
                    .endsWith(QFile::encodeName(mediaFile("x;touch MARKER;.mp3")) + "\n" +
                              QFile::encodeName(mediaFile("-n.mp3")) + "\n"));
    }

    void pathsThatCannotBeALine()
    {
        const QByteArray file = QFile::encodeName(playlist("default"));
        writeAll(playlist("default"), "/kept.mp3\n");
        QVERIFY(!appendToPlaylist(file, "/two\nlines.mp3"));
        QCOMPARE(readAll(playlist("default")), QByteArray("/kept.mp3\n"));
        // Never appended in place, where a power cut could leave zeros: the
        // old file stays whole until the new one replaces it.
        QFile before(playlist("default"));
        QVERIFY(before.open(QIODevice::ReadOnly));
        QVERIFY(appendToPlaylist(file, "/added.mp3"));
        QCOMPARE(before.readAll(), QByteArray("/kept.mp3\n"));
        QCOMPARE(readAll(playlist("default")), QByteArray("/kept.mp3\n/added.mp3\n"));
        QVERIFY(appendToPlaylist(file, "/" + QByteArray(300, 'n') + ".mp3"));
        QList<QByteArray> lines;
        QVERIFY(readPlaylistLines(file, &lines));
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[2].size(), 305);
    }

    void bigAndOddPlaylists()
    {
        QByteArray big;
        for (int i = 0; i < 10000; ++i)
            big += "/m/" + QByteArray::number(i) + ".mp3\n";
        writeAll(playlist("big"), big);
        writeAll(playlist("empty"), "");
        QDir().mkpath(playlist("dir"));
        startWindow();
        QVERIFY(choose(window->playlistMenu(), "big"));
        QCOMPARE(window->browser()->count(), 10000);
        window->browser()->setCurrentRow(5000);
        QVERIFY(choose(window->mainMenu(), "Remove"));
        QCOMPARE(window->browser()->count(), 9999);
        QCOMPARE(readAll(playlist("big")).size(), big.size() - 12); // "/m/5000.mp3\n"
        QVERIFY(choose(window->playlistMenu(), "empty"));
        QCOMPARE(window->browser()->count(), 0);
        window->browser()->currentIndex = 0;
        QVERIFY(choose(window->mainMenu(), "Remove"));
        QCOMPARE(readAll(playlist("empty")), QByteArray());
        QVERIFY(!itemTexts(window->playlistMenu()).contains("dir"));
    }
};

TARRAGON_TEST_MAIN(PlaylistsTest)
#include "tst_playlists.moc"
