#include "filebrowser.h"
#include "mywidget.h"
#include "platform/popupmenu.h"
#include "platform/utilcst.h"
#include "platform/zpushbutton.h"
#include "playbackstate.h"
#include "settingsrecord.h"
#include "testmain.h"
#include "testsupport.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QStyleOptionButton>
#include <QtTest>

#include <csignal>
#include <cstring>
#include <memory>
#include <sys/stat.h>

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

QStringList checkedItems(const PopupMenu* menu)
{
    QStringList out;
    for (int i = 0; i < menu->count(); ++i)
        if (menu->isItemChecked(menu->idAt(i)))
            out << menu->text(menu->idAt(i));
    return out;
}

void writeSetup(const TempInstall& install, const QByteArray& lastDirectory,
                std::initializer_list<std::pair<int, char>> bytes = {})
{
    QByteArray setup(312, '\0');
    std::memcpy(setup.data() + 128, lastDirectory.constData(),
                static_cast<size_t>(lastDirectory.size()));
    for (auto [offset, value] : bytes)
        setup[offset] = value;
    writeAll(install.file("setup"), setup);
}
} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TempInstall> install;

private slots:
    void init()
    {
        resetFrontEndState();
        install = std::make_unique<TempInstall>();
    }
    void cleanup() { install.reset(); }

    void menuTreeInOrderWithDefaultChecks()
    {
        MyWidget w;
        QCOMPARE(itemTexts(w.mainMenu()),
                 QStringList({"Play  ", "---", "Setting", "Scale Option", "Audio Channel", "---",
                              "Add to Playlist      ", "---", "About"}));
        QCOMPARE(itemTexts(w.settingMenu()), QStringList({"Loop  ", "FScreen", "Silent ", "OClock",
                                                          "Video Fix", "Bass Boost  "}));
        QCOMPARE(itemTexts(w.scaleMenu()), QStringList({"Best  ", "Average", "Fastest"}));
        QCOMPARE(itemTexts(w.channelMenu()),
                 QStringList({"Left Channel", "Right Channel", "Stereo   "}));
        QCOMPARE(itemTexts(w.playlistMenu()), QStringList({"Playlist", "---", "File Browser"}));
        QCOMPARE(checkedItems(w.settingMenu()), QStringList());
        QCOMPARE(checkedItems(w.scaleMenu()), QStringList({"Best  "}));
        QCOMPARE(checkedItems(w.channelMenu()), QStringList({"Stereo   "}));
        QCOMPARE(w.softKeys()->getMidBtn()->text(), QString("File Browser"));
        QCOMPARE(w.softKeys()->getLeftBtn()->popup(), w.mainMenu());
        QCOMPARE(w.softKeys()->getMidBtn()->popup(), w.playlistMenu());
        QCOMPARE(w.softKeys()->getLeftBtn(), w.softKeys()->getLeftBtn());
    }

    void softKeyCaptionsFitTheirKeys()
    {
        // A device's fonts may be larger than the desktop's: the captions
        // shrink to fit rather than lose their ends.
        const QFont before = QApplication::font();
        QFont large = before;
        large.setPointSizeF(16);
        QApplication::setFont(large);
        writeAll(install->file("playlist/a rather long playlist name"), "");
        {
            MyWidget w;
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            UTIL_CST* keys = w.softKeys();
            // Within the key's face as the style draws it, beside its icon.
            auto fits = [](const ZPushButton* key) {
                QStyleOptionButton face;
                face.initFrom(key);
                int room =
                    key->style()->subElementRect(QStyle::SE_PushButtonContents, &face, key).width();
                if (!key->icon().isNull())
                    room -= key->iconSize().width();
                return key->fontMetrics().horizontalAdvance(key->shownText()) <= room;
            };
            // One size for the whole bar, as a phone's is.
            auto oneSize = [&] {
                const qreal size = keys->getLeftBtn()->font().pointSizeF();
                return keys->getMidBtn()->font().pointSizeF() == size &&
                       keys->getRightBtn()->font().pointSizeF() == size;
            };
            for (ZPushButton* key : {keys->getLeftBtn(), keys->getMidBtn(), keys->getRightBtn()}) {
                QVERIFY2(fits(key), qPrintable(key->text()));
                QCOMPARE(key->shownText(), key->text());
            }
            QVERIFY(oneSize());
            QVERIFY(keys->getLeftBtn()->font().pointSizeF() > 6);
            // Too long for any legible font: it keeps its start.
            QVERIFY(choose(w.playlistMenu(), "a rather long playlist name"));
            QVERIFY(fits(keys->getMidBtn()));
            QVERIFY(keys->getMidBtn()->shownText().startsWith("a r"));
            QVERIFY(oneSize());
        }
        QApplication::setFont(before);
    }

    void checkMarksComeFromTheRecord()
    {
        writeSetup(*install, "", {{260, 2}, {264, 1}, {267, 2}, {269, 1}});
        MyWidget w;
        QCOMPARE(checkedItems(w.settingMenu()), QStringList({"Loop  ", "OClock", "Bass Boost  "}));
        QCOMPARE(checkedItems(w.scaleMenu()), QStringList({"Fastest"}));
    }

    void scaleIndexOutOfRangeChecksNothing()
    {
        writeSetup(*install, "", {{260, 7}});
        MyWidget w;
        QCOMPARE(checkedItems(w.scaleMenu()), QStringList());
    }

    void settingItemsInvertTheLowestBit()
    {
        writeSetup(*install, "", {{267, 2}});
        MyWidget w;
        QVERIFY(choose(w.settingMenu(), "OClock"));
        QCOMPARE(settingsRecord.oClock, 3);
        QVERIFY(w.settingMenu()->isItemChecked(w.itemIds().oClock));
        QVERIFY(choose(w.settingMenu(), "Loop  "));
        QCOMPARE(settingsRecord.loop, 1);
        QVERIFY(w.settingMenu()->isItemChecked(w.itemIds().loop));
        QVERIFY(choose(w.settingMenu(), "Loop  "));
        QCOMPARE(settingsRecord.loop, 0);
        QVERIFY(!w.settingMenu()->isItemChecked(w.itemIds().loop));
        // None of this is saved.
        QCOMPARE(readAll(install->file("setup"))[264], '\0');
    }

    void scaleAndChannelAreExclusive()
    {
        MyWidget w;
        QVERIFY(choose(w.scaleMenu(), "Average"));
        QCOMPARE(checkedItems(w.scaleMenu()), QStringList({"Average"}));
        QCOMPARE(settingsRecord.scaleIndex, 1);
        QVERIFY(choose(w.scaleMenu(), "Average"));
        QCOMPARE(checkedItems(w.scaleMenu()), QStringList({"Average"}));
        QVERIFY(choose(w.channelMenu(), "Left Channel"));
        QCOMPARE(checkedItems(w.channelMenu()), QStringList({"Left Channel"}));
        QVERIFY(choose(w.channelMenu(), "Left Channel"));
        QCOMPARE(checkedItems(w.channelMenu()), QStringList({"Left Channel"}));
    }

    void startDirectoryComesFromTheRecord()
    {
        const QString media = install->file("media");
        QDir().mkpath(media + "/sub");
        writeAll(media + "/a.mp3", "");
        writeSetup(*install, QFile::encodeName(media));
        {
            MyWidget w;
            QCOMPARE(w.browser()->currentDir, canonical(media));
            QCOMPARE(w.browser()->count(), 3);
            QCOMPARE(w.browser()->mediaPath.data(), "not_a_file");
        }

        // Older records hold the folder as Latin-1 text: "caf\xe9" finds
        // "café" ...
        const QByteArray base = canonical(media) + "/sub/caf";
        QCOMPARE(mkdir((base + "\xc3\xa9").constData(), 0755), 0);
        resetFrontEndState();
        writeSetup(*install, base + "\xe9");
        {
            MyWidget w;
            QCOMPARE(w.browser()->currentDir, base + "\xc3\xa9");
        }
        // ... unless those very bytes name a folder.
        QCOMPARE(mkdir((base + "\xe9").constData(), 0755), 0);
        resetFrontEndState();
        MyWidget w;
        QCOMPARE(w.browser()->currentDir, base + "\xe9");
    }

    void unreadableStartDirectoryKeepsTheWorkingDirectory()
    {
        writeSetup(*install, QFile::encodeName(install->file("gone")));
        {
            MyWidget w;
            QCOMPARE(w.browser()->currentDir, canonical(install->path()));
            QCOMPARE(settingsRecord.lastDirectory.data(), canonical(install->path()).constData());
        }
        // Without a record, the phone's memory card; where there is none,
        // the working directory stays.
        QCOMPARE(startDirectory(SettingsRecord{}), QByteArray("/mmc/mmca1/"));
        QFile::remove(install->file("setup"));
        resetFrontEndState();
        MyWidget w;
        const QString card = QStringLiteral("/mmc/mmca1/");
        QCOMPARE(w.browser()->currentDir,
                 canonical(QFileInfo(card).isDir() ? card : install->path()));
    }

    void oddRecordsStartCleanly()
    {
        writeAll(install->file("setup"), QByteArray(312, '\xff'));
        {
            MyWidget w; // lastDirectory with no NUL in its field: read within bounds
            QCOMPARE(w.browser()->currentDir, canonical(install->path()));
        }
        resetFrontEndState();
        writeAll(install->file("setup"), QByteArray(100, '\x01'));
        MyWidget w;
        QCOMPARE(checkedItems(w.scaleMenu()), QStringList({"Best  "}));
    }

    void playlistDirectoryFollowsPwd()
    {
        {
            MyWidget w;
            QCOMPARE(w.playlistDirectory(), QFile::encodeName(install->path()) + "/playlist");
        }
        {
            // A working directory whose name is not valid UTF-8 still finds
            // its playlists.
            const QByteArray dir = canonical(install->path()) + "/w\xe9rk";
            QCOMPARE(mkdir(dir.constData(), 0755), 0);
            QCOMPARE(mkdir((dir + "/playlist").constData(), 0755), 0);
            QVERIFY(writeBytes(dir + "/playlist/mine", "/m/a.mp3\n"));
            qputenv("PWD", dir);
            MyWidget w;
            QCOMPARE(w.playlistDirectory(), dir + "/playlist");
            QVERIFY(choose(w.playlistMenu(), "mine"));
            QCOMPARE(w.browser()->count(), 1);
        }
        qunsetenv("PWD");
        MyWidget w;
        QCOMPARE(w.playlistDirectory(), QByteArray("/playlist"));
    }

    void presentationSwitchRunsItsCommandsInOrder()
    {
        MyWidget w;
        w.show();
        w.setFullScreen(true);
        QVERIFY(playbackState.fullScreen);
        QVERIFY(w.softKeys()->isHidden());
        QCOMPARE(w.browser()->geometry(), QRect(0, 0, 240, 320));
        QCOMPARE(w.size(), QSize(240, 320));
        QCOMPARE(install->commands(), QStringList({"./killall mplayer -9"}));
        install->clearCommands();
        w.setFullScreen(false);
        QVERIFY(!playbackState.fullScreen);
        QVERIFY(!w.softKeys()->isHidden());
        QCOMPARE(w.browser()->geometry(), QRect(0, 0, 240, 240));
        QCOMPARE(install->commands(), QStringList({"./killall mplayer -9", "./panelrest -r"}));
        install->clearCommands();
        w.setFullScreen(false); // runs all its steps again
        QCOMPARE(install->commands(), QStringList({"./killall mplayer -9", "./panelrest -r"}));
    }

    void clockModuleCommandsWithOClock()
    {
        writeSetup(*install, "", {{267, 1}});
        MyWidget w;
        w.setFullScreen(true);
        QCOMPARE(install->commands(), QStringList({"./killall mplayer -9", "insmod oc.o"}));
        install->clearCommands();
        w.setFullScreen(false);
        QCOMPARE(install->commands(),
                 QStringList({"./killall mplayer -9", "rmmod oc", "./panelrest -r"}));
    }

    void shellCommandsLeaveTheChildHandlerInstalled()
    {
        MyWidget w;
        w.setFullScreen(true);
        struct sigaction current {
        };
        sigaction(SIGCHLD, nullptr, &current);
        QVERIFY(current.sa_handler == onChildSignal);
    }

    void addToPlaylistOnTheSentinelDoesNothing()
    {
        MyWidget w;
        QCOMPARE(w.browser()->mediaPath.data(), "not_a_file");
        QVERIFY(choose(w.mainMenu(), "Add to Playlist      "));
        QCOMPARE(QDir(install->file("playlist")).entryList(QDir::Files), QStringList());
    }

    void playOnTheSentinelStartsNothing()
    {
        MyWidget w;
        QVERIFY(choose(w.mainMenu(), "Play  "));
        QVERIFY(!playbackState.playing);
        QVERIFY(!playbackState.fullScreen);
        QVERIFY(!QFile::exists(install->file("setup")));
    }

    void aboutBoxShowsItsText()
    {
        MyWidget w;
        w.show();
        QString text;
        QStringList buttons;
        QRect box;
        bool labelFits = false;
        QTimer::singleShot(0, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            QVERIFY(dialog && dialog->objectName() == "ZMessageBox");
            box = QRect(w.mapFromGlobal(dialog->mapToGlobal(QPoint(0, 0))), dialog->size());
            const QLabel* shown = dialog->findChild<QLabel*>();
            text = shown->text();
            labelFits = shown->height() >= shown->heightForWidth(shown->width());
            for (QPushButton* b : dialog->findChildren<QPushButton*>())
                buttons << b->text();
            dialog->findChild<QPushButton*>()->click();
        });
        QVERIFY(choose(w.mainMenu(), "About"));
        const QStringList lines = text.split('\n');
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], QString("      Tarragon"));
        QVERIFY(lines[1].startsWith("        ") && lines[1].trimmed().size() > 0);
        QCOMPARE(lines[2], QString("                  Ver 0.9"));
        QCOMPARE(buttons, QStringList({QString::fromUtf8("确定")}));
        // On the phone's screen, not half of it.
        QVERIFY2(QRect(0, 0, 240, 320).contains(box), qPrintable(QString("%1,%2 %3x%4")
                                                                     .arg(box.x())
                                                                     .arg(box.y())
                                                                     .arg(box.width())
                                                                     .arg(box.height())));
        QVERIFY(box.width() > 200);
        // All of its lines show.
        QVERIFY(labelFits);
    }

    void rightSoftKeyQuits()
    {
        MyWidget w;
        bool quit = false;
        connect(qApp, &QCoreApplication::aboutToQuit, [&] { quit = true; });
        QTimer::singleShot(0, w.softKeys()->getRightBtn(), &QPushButton::click);
        QTimer::singleShot(2000, [] { QCoreApplication::exit(1); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(quit);
    }
};

TARRAGON_TEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
