#include "mywidget.h"

#include "audioroute.h"
#include "directorylisting.h"
#include "filebrowser.h"
#include "keycommands.h"
#include "keylock.h"
#include "nowplaying.h"
#include "platform/phonekeys.h"
#include "platform/popupmenu.h"
#include "platform/resiconreader.h"
#include "platform/signalwake.h"
#include "platform/utilcst.h"
#include "platform/zapplication.h"
#include "platform/zmessagebox.h"
#include "platform/zpushbutton.h"
#include "playbackstate.h"
#include "playerargs.h"
#include "playlistfile.h"
#include "settingsrecord.h"
#include "shellcommand.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QTimer>

#include <cstdio>
#include <cstring>

namespace
{
QString local8(const char* text)
{
    return QString::fromLocal8Bit(text);
}
} // namespace

MyWidget::MyWidget(QWidget* parent) : ZMainWidget(false, parent, nullptr, 0)
{
    playlistDir = QByteArray();
    playbackState.playing = false;
    playbackState.fullScreen = false;
    browseMode = true;
    adjustIndex = 0;

    loadSettings();

    // Copied now: listing rewrites the record's lastDirectory.
    const SettingsRecord& record = settingsRecord;
    const QByteArray startDir = startDirectory(record);

    browser_ = new FileBrowser(this, "aviBrowser");
    setContentWidget(browser_);
    browser_->listDirectory(startDir);

    cst_ = new UTIL_CST(this, local8("File Browser"), QStringLiteral("CST_Menu"),
                        QStringLiteral("CST_Exit"));
    setCSTWidget(cst_);
    cst_->show();

    if (auto* app = qobject_cast<ZApplication*>(QCoreApplication::instance()))
        connect(cst_->getRightBtn(), &QPushButton::clicked, app, &ZApplication::slotQuickQuit);
    else
        connect(cst_->getRightBtn(), &QPushButton::clicked, QCoreApplication::instance(),
                &QCoreApplication::quit);

    MenuTree menus = buildMenuTree(cst_, record);
    ids = menus.ids;
    playlistMenu_ = menus.playlistMenu;
    mainMenu_ = menus.mainMenu;
    settingMenu_ = menus.settingMenu;
    scaleMenu_ = menus.scaleMenu;
    channelMenu_ = menus.channelMenu;
    playlistDir = qgetenv("PWD") + "/playlist";
    fillPlaylistMenu();
    connect(playlistMenu_, &PopupMenu::activated, this, &MyWidget::PlayListSelect);
    connect(mainMenu_, &PopupMenu::activated, this, &MyWidget::menuSelect);
    connect(settingMenu_, &PopupMenu::activated, this, &MyWidget::setupSelect);
    connect(scaleMenu_, &PopupMenu::activated, this, &MyWidget::ScaleSelect);
    connect(channelMenu_, &PopupMenu::activated, this, &MyWidget::channelSelect);

    // The tick sleeps while a silent player plays: these wake it.
    player_.setWake([this] { wakeTick(); });
    connect(browser_, &FileBrowser::lostFocus, this, &MyWidget::wakeTick);
    childEnded.onWake(this, [this] { wakeTick(); });
    wakeTick();

    nowPlaying_ = new NowPlaying(this);
    setUpKeyLock();
    setUpSongClock();

    // The player draws into the phone's screen: the launcher reads the
    // window from here.
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        qputenv("TARRAGON_WID", QByteArray::number(static_cast<qulonglong>(winId())));
}

MyWidget::~MyWidget()
{
    // The window's close, further down, takes the list's focus: no tick for
    // a window that is no longer one.
    disconnect(browser_, nullptr, this, nullptr);
}

void MyWidget::fillPlaylistMenu()
{
    const std::optional<DirectoryEntries> entries = readDirectory(playlistDir, {"*.*", "*"});
    if (!entries)
        return;
    for (const QByteArray& entry : entries->names) {
        if (entry == "default")
            continue;
        if (isRegularFile(playlistDir + '/' + entry))
            namedPlaylists_.insert(playlistMenu_->insertItem(QString::fromLocal8Bit(entry), -1, 0),
                                   entry);
    }
}

QString MyWidget::aboutText()
{
    return local8("      Tarragon\n"
                  "        基于 MPlayer 的手机媒体播放器\n"
                  "                  Ver 0.9");
}

void MyWidget::showDialog()
{
    [[maybe_unused]] RES_ICON_Reader reader;
    ZMessageBox::information(this, QPixmap(), aboutText(), local8("确定"), QString(), QString(), 1);
}

void MyWidget::menuSelect(int id)
{
    if (id == ids.about) {
        showDialog();
    } else if (id == ids.play) {
        const bool playlist = !browseMode;
        std::fprintf(stderr, "file is %s, playlist=%d\n", browser_->mediaPath.data(),
                     playlist ? 1 : 0);
        startPlayback(browser_->mediaPath.data(), playlist);
    } else if (id == ids.addToPlaylist) {
        if (!browseMode)
            browser_->removeFromPlaylist();
        else if (std::strcmp(browser_->mediaPath.data(), FileBrowser::notAFile) != 0)
            appendToDefaultPlaylist();
    }
}

void MyWidget::setupSelect(int id)
{
    std::uint8_t* option = settingOption(ids, settingsRecord, id);
    if (!option)
        return;
    *option ^= 1U;
    settingMenu_->setItemChecked(id, *option != 0);
}

void MyWidget::ScaleSelect(int id)
{
    const int position = scaleMenu_->indexOf(id);
    if (position < 0)
        return;
    checkOnly(scaleMenu_, {ids.best, ids.average, ids.fastest}, id);
    settingsRecord.scaleIndex = position;
}

void MyWidget::channelSelect(int id)
{
    if (channelMenu_->indexOf(id) >= 0)
        checkOnly(channelMenu_, {ids.leftChannel, ids.rightChannel, ids.stereo}, id);
}

void MyWidget::PlayListSelect(int id)
{
    cst_->getMidBtn()->setText(playlistMenu_->text(id));
    if (id == ids.fileBrowser) {
        browseMode = true;
        mainMenu_->changeItem(ids.addToPlaylist, local8("Add to Playlist      "));
        browser_->leavePlaylistView();
        return;
    }
    browseMode = false;
    mainMenu_->changeItem(ids.addToPlaylist, local8("Remove"));
    if (id == ids.playlist)
        browser_->openPlaylist(playlistDir + "/default");
    else
        browser_->openPlaylist(playlistDir + '/' + namedPlaylists_.value(id));
}

void MyWidget::appendToDefaultPlaylist()
{
    appendToPlaylist(playlistDir + "/default", QByteArray(browser_->mediaPath.data()));
}

void MyWidget::setFullScreen(bool on)
{
    if (on) {
        browser_->enterFullScreen();
        getCSTWidget()->hide();
        showFullScreen();
        playbackState.fullScreen = true;
        if (settingsRecord.oClock != 0)
            runShellCommands({"./killall mplayer -9", "insmod oc.o", "echo b1 > /proc/reg/cccr"});
        else
            runShellCommands({"./killall mplayer -9"});
    } else {
        songClock_->stop();
        keyLock_->reset();
        nowPlaying_->hide();
        browser_->leaveFullScreen();
        showNormal();
        getCSTWidget()->show();
        playbackState.fullScreen = false;
        if (settingsRecord.oClock != 0)
            runShellCommands({"./killall mplayer -9", "rmmod oc", "./panelrest -r"});
        else
            runShellCommands({"./killall mplayer -9", "./panelrest -r"});
    }
}

PlayerOptions MyWidget::playerOptions(bool playlist) const
{
    const SettingsRecord& record = settingsRecord;
    PlayerOptions options;
    options.loop = record.loop != 0;
    options.fScreen = record.fScreen != 0;
    options.silent = record.silent != 0;
    options.videoFix = record.videoFix != 0;
    options.leftChannel = channelMenu_->isItemChecked(ids.leftChannel);
    options.rightChannel = channelMenu_->isItemChecked(ids.rightChannel);
    options.scaleIndex = record.scaleIndex;
    options.playlist = playlist;
    return options;
}

int MyWidget::startPlayback(const char* path, bool playlist)
{
    if (playbackState.playing)
        return -1;
    if (std::strcmp(path, FileBrowser::notAFile) == 0)
        return -1;
    playbackState.menuMode = false;
    playbackState.playlist = playlist;
    playbackState.paused = false;
    clipAsked_ = false;
    QList<QByteArray> entries;
    if (playlist && readPlaylistLines(path, &entries)) {
        for (QByteArray& entry : entries)
            if (entry.endsWith('\r'))
                entry.chop(1);
        entries.removeAll(QByteArray());
    }
    nowPlaying_->setSong(path, entries);
    // Focus lost before the launch, to the menu that chose Play, is not
    // this player's: the tick would stop it at once.
    playbackState.focusLost = false;
    saveSettings();
    setFullScreen(true);
    // Built before the launch: the child of a threaded process may only make
    // async-signal-safe calls until it execs.
    const PlayerArgs args = buildPlayerArgs(playerOptions(playlist), path);
    if (!player_.launch(args)) {
        setFullScreen(false);
        return -1;
    }
    const QByteArray resume = resume_.launched(playlist ? QByteArray() : QByteArray(path));
    if (!resume.isEmpty())
        player_.send(resume.constData());
    return 0;
}

void MyWidget::stopPlayback()
{
    // A long clip's place, exact, rather than as last asked.
    if (playbackState.playing && resume_.isLong())
        player_.send("pausing_keep_force get_property time_pos\n");
    sendCommand("quit\n", 0);
    resume_.heard(player_.close());
    resume_.stopped();
    playbackState.playing = false;
    setFullScreen(false);
    // The string and its NUL; the rest is cleared, so no byte of an earlier,
    // longer path ever reaches the file. A path longer than the field is
    // kept as none: cut, it would name another file.
    settingsRecord.lastPlayedPath.fill('\0');
    storeWhole(settingsRecord.lastPlayedPath, browser_->mediaPath.constData(),
               static_cast<size_t>(browser_->mediaPath.size()));
}

void MyWidget::endPlayback()
{
    if (playbackState.playing) {
        stopPlayback();
    } else if (playbackState.fullScreen) {
        resume_.heard(player_.close());
        resume_.ended();
        setFullScreen(false);
    }
}

void MyWidget::sendCommand(const char* text, int gain)
{
    if (!playbackState.playing)
        return;
    player_.send(text);
    applyAudioRoute(gain);
}

void MyWidget::timerEvent(QTimerEvent* /*event*/)
{
    if (playbackState.playing) {
        const PlayerProcess::Output output = player_.drain();
        if (output.readable)
            applyAudioRoute(75);
        if (output.said.paused >= 0)
            playbackState.paused = output.said.paused == 1;
        showSong(output.said);
        resume_.heard(output.said);
        // Once a clip is up: how long it is, and its place each second; a
        // song of a playlist brings the clock back for its screen.
        if ((output.video && !clipAsked_) || (output.said.noVideo && !songClock_->isActive())) {
            clipAsked_ = true;
            player_.send("pausing_keep_force get_property length\n");
            startSongClock();
        }
        if (output.video) {
            nowPlaying_->hide(); // a playlist's clip with a picture
            std::printf("video file\n");
            runShellCommands({"./panelrest 0"});
        }
        if (!output.open) {
            playbackState.playing = false;
            endPlayback();
        } else if (playbackState.focusLost) {
            stopPlayback();
        }
    } else {
        // A player that ended by itself leaves the full screen to this tick.
        endPlayback();
    }
    playbackState.focusLost = false;

    // Each wake on a phone costs more than the tick's work, so the timer
    // rests until the player prints or ends or the focus goes, and then
    // reads 500 ms later: one that talks is still read every 500 ms.
    if (tickTimer != 0)
        killTimer(tickTimer);
    tickTimer = 0;
    player_.watch(true);
}

void MyWidget::wakeTick()
{
    player_.watch(false);
    if (tickTimer == 0)
        tickTimer = startTimer(500);
}
