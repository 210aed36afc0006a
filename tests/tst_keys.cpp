#include "filebrowser.h"
#include "keycommands.h"
#include "keylock.h"
#include "mywidget.h"
#include "platform/phonekeys.h"
#include "platform/popupmenu.h"
#include "platform/utilcst.h"
#include "platform/zpushbutton.h"
#include "playbackstate.h"
#include "settingsrecord.h"
#include "testmain.h"
#include "testsupport.h"

#include <QMenu>
#include <QtTest>

#include <csignal>
#include <memory>
#include <utility>

// Keys go through the window as a user's would; the stub player records
// every byte the front-end sends.
class KeysTest : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TempInstall> install;
    std::unique_ptr<MyWidget> window;

    void press(Qt::Key key)
    {
        QTest::sendKeyEvent(QTest::Click, window->windowHandle(), key, QString(), Qt::NoModifier);
    }

    void startPlaying()
    {
        window = std::make_unique<MyWidget>();
        window->browser()->listDirectory(install->file("media"));
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        window->browser()->setFocus();
        QVERIFY(highlight(window->browser(), "clip.avi"));
        press(Qt::Key_Return);
        QVERIFY(playbackState.playing);
        QTRY_VERIFY(!install->playerArguments().isEmpty());
    }

    // Everything the player has read so far, once it has read `expected`.
    QByteArray received(const QByteArray& expected)
    {
        [[maybe_unused]] const bool arrived =
            QTest::qWaitFor([&] { return install->playerInput().size() >= expected.size(); }, 5000);
        QTest::qWait(50); // anything sent beyond it shows up too
        return install->playerInput();
    }

private slots:
    void initTestCase() { std::signal(SIGCHLD, onChildSignal); }

    void init()
    {
        resetFrontEndState();
        install = std::make_unique<TempInstall>();
        install->installStubPlayer();
        QDir().mkpath(install->file("media/folder"));
        writeAll(install->file("media/clip.avi"), "");
    }

    void cleanup()
    {
        if (window && playbackState.playing)
            window->stopPlayback();
        window.reset();
        install.reset();
    }

    void tableRowsOutsideMenuMode_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("Enter pauses") << int(Qt::Key_Return) << QByteArray("pause\n");
        QTest::newRow("Left +60") << int(Qt::Key_Left) << QByteArray("seek 60\n");
        QTest::newRow("Up +10") << int(Qt::Key_Up) << QByteArray("seek 10\n");
        QTest::newRow("Right -60") << int(Qt::Key_Right) << QByteArray("seek -60\n");
        QTest::newRow("Down -10") << int(Qt::Key_Down) << QByteArray("seek -10\n");
        QTest::newRow("Prior") << int(Qt::Key_PageUp) << QByteArray("volume 5\n");
        QTest::newRow("F11") << int(Qt::Key_F11) << QByteArray("volume 5\n");
        QTest::newRow("Next") << int(Qt::Key_PageDown) << QByteArray("volume -5\n");
        QTest::newRow("F12") << int(Qt::Key_F12) << QByteArray("volume -5\n");
        QTest::newRow("F9 osd") << int(Qt::Key_F9) << QByteArray("osd\n");
        QTest::newRow("F10 mute") << int(Qt::Key_F10) << QByteArray("volume 0 1\n");
        QTest::newRow("F6 next property")
            << int(Qt::Key_F6) << QByteArray("osd 1\nosd_show_text \"brightness\"\n");
        QTest::newRow("F2 opens the menu") << int(Qt::Key_F2) << QByteArray("set_menu main\n");
        QTest::newRow("F4 stops") << int(Qt::Key_F4) << QByteArray("quit\n");
        QTest::newRow("F7 stops") << int(Qt::Key_F7) << QByteArray("quit\n");
        QTest::newRow("volume key up") << int(Qt::Key_VolumeUp) << QByteArray("volume 5\n");
        QTest::newRow("volume key down") << int(Qt::Key_VolumeDown) << QByteArray("volume -5\n");
        QTest::newRow("mute key") << int(Qt::Key_VolumeMute) << QByteArray("volume 0 1\n");
        QTest::newRow("play/pause key")
            << int(Qt::Key_MediaTogglePlayPause) << QByteArray("pause\n");
        QTest::newRow("media stop") << int(Qt::Key_MediaStop) << QByteArray("quit\n");
        QTest::newRow("next, no playlist") << int(Qt::Key_MediaNext) << QByteArray();
        QTest::newRow("not in the table") << int(Qt::Key_A) << QByteArray();
    }

    void tableRowsOutsideMenuMode()
    {
        QFETCH(int, key);
        QFETCH(QByteArray, sent);
        startPlaying();
        press(Qt::Key(key));
        QCOMPARE(received(sent), sent);
    }

    // Keys in turn while a clip plays, a negative one held past the lock's
    // hold; "answered" when the player has said it is paused (its on-screen
    // menu paused it).
    void aPauseIsKept_data()
    {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<bool>("answered");
        QTest::addColumn<QByteArray>("sent");
        const int enter = Qt::Key_Return;
        QTest::newRow("volume") << QList<int>{enter, Qt::Key_PageUp} << false
                                << QByteArray("pause\npausing_keep volume 5\n");
        QTest::newRow("F6, both of its commands")
            << QList<int>{enter, Qt::Key_F6} << false
            << QByteArray("pause\npausing_keep osd 1\npausing_keep osd_show_text \"brightness\"\n");
        QTest::newRow("seek, osd") << QList<int>{enter, Qt::Key_Up, Qt::Key_F9} << false
                                   << QByteArray("pause\npausing_keep seek 10\npausing_keep osd\n");
        QTest::newRow("resumed, as the table has it")
            << QList<int>{enter, enter, Qt::Key_Up} << false
            << QByteArray("pause\npause\nseek 10\n");
        QTest::newRow("the on-screen menu, then asked")
            << QList<int>{enter, Qt::Key_F2, enter} << false
            << QByteArray("pause\npausing_keep set_menu main\npausing_keep menu ok\n"
                          "pausing_keep_force get_property pause\n");
        QTest::newRow("stop") << QList<int>{enter, Qt::Key_F4} << false
                              << QByteArray("pause\nquit\n");
        QTest::newRow("paused by the player's menu")
            << QList<int>{Qt::Key_PageDown} << true << QByteArray("pausing_keep volume -5\n");
        const QByteArray locked = "osd_show_text \"Keys locked\" 2000\n";
        QTest::newRow("Exit held: locked")
            << QList<int>{-Qt::Key_Escape, enter, Qt::Key_F4} << false
            << locked + "osd_show_text \"Keys locked: hold Exit to unlock\" 2000\n"
                        "osd_show_text \"Keys locked: hold Exit to unlock\" 2000\n";
        QTest::newRow("Exit tapped: nothing")
            << QList<int>{Qt::Key_Escape, enter} << false << QByteArray("pause\n");
        QTest::newRow("held again: unlocked, paused")
            << QList<int>{-Qt::Key_F3, -Qt::Key_Back, enter} << false
            << locked + "osd_show_text \"Keys unlocked\" 2000\npause\n";
    }
    void aPauseIsKept()
    {
        QFETCH(QList<int>, keys);
        QFETCH(bool, answered);
        QFETCH(QByteArray, sent);
        if (answered)
            qputenv("STUB_PAUSED", "1");
        startPlaying();
        qunsetenv("STUB_PAUSED");
        if (answered)
            QTRY_VERIFY(playbackState.paused);
        for (int key : keys) {
            if (key > 0) {
                press(Qt::Key(key));
                continue;
            }
            QTest::keyPress(window->windowHandle(), Qt::Key(-key));
            QTest::qWait(KeyLock::holdMs + 300);
            QTest::keyRelease(window->windowHandle(), Qt::Key(-key));
        }
        QCOMPARE(received(sent), sent);
    }

    void stopKeysReturnToNormal()
    {
        startPlaying();
        press(Qt::Key_F4);
        QVERIFY(!playbackState.playing);
        QVERIFY(!playbackState.fullScreen);
    }

    void menuModeRows()
    {
        startPlaying();
        press(Qt::Key_F2);
        QVERIFY(playbackState.menuMode);
        for (Qt::Key key : {Qt::Key_Up, Qt::Key_Down, Qt::Key_Left, Qt::Key_Right, Qt::Key_PageUp,
                            Qt::Key_F12, Qt::Key_F9, Qt::Key_F10})
            press(key);
        press(Qt::Key_F2);
        QVERIFY(!playbackState.menuMode);
        const QByteArray expected = "set_menu main\nmenu up\nmenu down\nseek 60\nseek -60\n"
                                    "volume 5\nvolume -5\nosd\nvolume 0 1\nmenu hide\n";
        QCOMPARE(received(expected), expected);
    }

    void menuDepthCountsDownToZero()
    {
        startPlaying();
        press(Qt::Key_F2);
        press(Qt::Key_F6); // depth 0: nothing
        press(Qt::Key_Return);
        press(Qt::Key_Return);
        QCOMPARE(playbackState.menuDepth, 2);
        press(Qt::Key_F6);
        press(Qt::Key_F6);
        press(Qt::Key_F6);
        QCOMPARE(playbackState.menuDepth, 0);
        QVERIFY(playbackState.menuMode); // only F2 closes it
        // Each entry is followed by the front-end's question whether it paused.
        const QByteArray asked = "pausing_keep_force get_property pause\n";
        const QByteArray expected =
            "set_menu main\nmenu ok\n" + asked + "menu ok\n" + asked + "menu cancel\nmenu cancel\n";
        QCOMPARE(received(expected), expected);
    }

    void propertiesCycleAndAdjust()
    {
        startPlaying();
        QByteArray expected = "volume 5\n";
        press(Qt::Key_PageUp);
        const char* shown[] = {"brightness", "contrast", "gamma", "hue", "saturation", "volume"};
        for (const char* name : shown) {
            press(Qt::Key_F6);
            expected += QByteArray("osd 1\nosd_show_text \"") + name + "\"\n";
        }
        press(Qt::Key_F6);
        press(Qt::Key_PageDown);
        press(Qt::Key_VolumeDown); // the volume's, whatever F6 chose
        expected += "osd 1\nosd_show_text \"brightness\"\nbrightness -5\nvolume -5\n";
        QCOMPARE(received(expected), expected);
        QCOMPARE(window->currentAdjustIndex(), 1);
    }

    void autoRepeatIsAPress()
    {
        startPlaying();
        for (int i = 0; i < 3; ++i)
            QTest::simulateEvent(window->windowHandle(), true, Qt::Key_Left, {}, QString(), true);
        QCOMPARE(received("seek 60\nseek 60\nseek 60\n"),
                 QByteArray("seek 60\nseek 60\nseek 60\n"));
    }

    void nothingLeaksOutOfFullScreen()
    {
        startPlaying();
        const int row = window->browser()->currentRow();
        // Neither presses nor releases, handled or not, reach the browser.
        press(Qt::Key_Up);
        press(Qt::Key_Down);
        press(Qt::Key_Home);
        QTest::keyRelease(window->windowHandle(), Qt::Key_Down);
        QCOMPARE(window->browser()->currentRow(), row);
    }

    void keysReachTheBrowserInNormalPresentation()
    {
        window = std::make_unique<MyWidget>();
        window->browser()->listDirectory(install->file("media"));
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QVERIFY(highlight(window->browser(), "clip.avi"));
        window->browser()->setFocus();
        press(Qt::Key_Up);
        QCOMPARE(window->browser()->currentItem()->text(), QString("folder"));
    }

    void enterWhileIdleOnNoFileGoesToTheBrowser()
    {
        window = std::make_unique<MyWidget>();
        window->browser()->listDirectory(install->file("media"));
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        window->browser()->setFocus();
        QVERIFY(highlight(window->browser(), "folder"));
        QCOMPARE(window->browser()->mediaPath.data(), "not_a_file");
        press(Qt::Key_Return);
        QVERIFY(!playbackState.playing);
        QVERIFY(!QFile::exists(install->file("setup")));
        // The browser had it: the select key entered the folder.
        QCOMPARE(window->browser()->currentDir, canonical(install->file("media/folder")));
    }

    void everyFunctionWithKeysAlone()
    {
        writeAll(install->file("playlist/mine"), "/m/one.mp3\n");
        window = std::make_unique<MyWidget>();
        window->browser()->listDirectory(install->file("media"));
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        // Keys reach the main window, an open menu or not, as on a
        // framebuffer, where a menu never takes the keyboard's focus: the
        // toolkit hands them on to the menu.
        auto type = [&](std::initializer_list<Qt::Key> keys) {
            for (Qt::Key key : keys)
                QTest::keyClick(window->windowHandle(), key);
        };
        const MyWidget::ItemIds& ids = window->itemIds();

        // Menu, Setting, Loop: the check mark comes.
        type({Qt::Key_F1, Qt::Key_Down, Qt::Key_Right, Qt::Key_Return});
        QVERIFY(window->settingMenu()->isItemChecked(ids.loop));
        QVERIFY(!QApplication::activePopupWidget());
        // The clip, then Menu, Play; F4 stops.
        type({Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_F1, Qt::Key_Return});
        QTRY_VERIFY(install->playerArguments().contains("-loop"));
        // Play at once after Menu: the focus the menu took stops no player
        // on the ticks that follow.
        QTest::qWait(1100);
        QVERIFY(playbackState.playing);
        type({Qt::Key_F4});
        QVERIFY(!playbackState.fullScreen);

        // The middle soft key: the playlist, then File Browser again.
        type({Qt::Key_F2, Qt::Key_Return});
        QVERIFY(!window->isBrowseMode());
        QCOMPARE(window->browser()->item(0)->text(), QString("/m/one.mp3"));
        type({Qt::Key_F2, Qt::Key_Down, Qt::Key_Down, Qt::Key_Return});
        QVERIFY(window->isBrowseMode());

        // In a menu Back goes up a level and a soft key closes it, the right
        // one too: nothing quits from a menu.
        bool quit = false;
        connect(window->softKeys()->getRightBtn(), &QPushButton::clicked, [&] { quit = true; });
        type({Qt::Key_F1, Qt::Key_Down, Qt::Key_Right});
        QVERIFY(window->settingMenu()->menu()->isVisible());
        type({Qt::Key_Back});
        QVERIFY(!window->settingMenu()->menu()->isVisible());
        QVERIFY(window->mainMenu()->menu()->isVisible());
        type({Qt::Key_F2});
        QVERIFY(window->playlistMenu()->menu()->isVisible());
        type({Qt::Key_F3});
        QVERIFY(!QApplication::activePopupWidget());
        // A held key acts on its first press alone: the menu's key opens it
        // once, a key that closes it closes it and presses nothing more.
        // Its repeats come flagged, or as X11 has them: a release and a
        // press at one time, which the toolkit may leave unflagged.
        quint64 time = 1000000;
        for (Qt::Key key : {Qt::Key_Escape, Qt::Key_F3, Qt::Key_Back})
            for (Qt::Key held : {Qt::Key_F1, key}) {
                QTest::keyPress(window->windowHandle(), held);
                for (int repeat = 0; repeat < 3; ++repeat) {
                    QTest::simulateEvent(window->windowHandle(), true, held, {}, QString(), true);
                    time += 33;
                    for (QEvent::Type kind : {QEvent::KeyRelease, QEvent::KeyPress}) {
                        QKeyEvent pair(kind, held, Qt::NoModifier);
                        pair.setTimestamp(time);
                        QCoreApplication::sendEvent(window->windowHandle(), &pair);
                    }
                }
                QTest::keyRelease(window->windowHandle(), held);
                QCOMPARE(window->mainMenu()->menu()->isVisible(), held == Qt::Key_F1);
            }
        QVERIFY(!quit);
        // From the list the right soft key quits, whichever key presses it.
        for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Back}) {
            type({key});
            QVERIFY(std::exchange(quit, false));
        }
    }

    void keyTableAsData()
    {
        QCOMPARE(keyCommand(PhoneKey::Key_F6, true).action, KeyAction::MenuBack);
        QCOMPARE(keyCommand(PhoneKey::Key_F6, false).action, KeyAction::NextProperty);
        QCOMPARE(keyCommand(0x1234, false).action, KeyAction::None);
        QCOMPARE(nextAdjustIndex(5), 0);
        QCOMPARE(nextAdjustIndex(0), 1);
    }
};

TARRAGON_TEST_MAIN(KeysTest)
#include "tst_keys.moc"
