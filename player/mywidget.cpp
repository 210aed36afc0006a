#include "mywidget.h"

#include "filebrowser.h"
#include "platform/popupmenu.h"
#include "platform/resiconreader.h"
#include "platform/utilcst.h"
#include "platform/zapplication.h"
#include "platform/zmessagebox.h"
#include "platform/zpushbutton.h"
#include "playbackstate.h"
#include "settingsrecord.h"
#include "shellcommand.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QPixmap>

#include <cstdio>
#include <cstring>

namespace
{
QString local8(const char* text)
{
    return QString::fromLocal8Bit(text);
}

constexpr const char* defaultStartDirectory = "/mmc/mmca1/";
} // namespace

MyWidget::MyWidget(QWidget* parent) : ZMainWidget(false, parent, nullptr, 0)
{
    playlistDir = QString();
    playbackState.playing = false;
    playbackState.fullScreen = false;
    browseMode = true;
    adjustIndex = 0;

    loadSettings();

    // Copied now: listing rewrites the record's lastDirectory.
    const SettingsRecord& record = settingsRecord;
    QString startDir;
    if (record.lastDirectory[0] != '\0') {
        const size_t length = strnlen(record.lastDirectory.data(), record.lastDirectory.size());
        startDir = QFile::decodeName(
            QByteArray(record.lastDirectory.data(), static_cast<qsizetype>(length)));
    } else {
        startDir = QString::fromLatin1(defaultStartDirectory);
    }

    browser_ = new FileBrowser(this, "aviBrowser");
    setContentWidget(browser_);
    browser_->listDirectory(startDir);

    commandSocket = -1;

    cst_ = new UTIL_CST(this, local8("File Browser"), QStringLiteral("CST_Menu"),
                        QStringLiteral("CST_Exit"));
    setCSTWidget(cst_);
    cst_->show();

    if (auto* app = qobject_cast<ZApplication*>(QCoreApplication::instance()))
        connect(cst_->getRightBtn(), &QPushButton::clicked, app, &ZApplication::slotQuickQuit);
    else
        connect(cst_->getRightBtn(), &QPushButton::clicked, QCoreApplication::instance(),
                &QCoreApplication::quit);

    playlistMenu_ = new PopupMenu(cst_->getMidBtn());
    ids.playlist = playlistMenu_->insertItem(local8("Playlist"));
    playlistMenu_->insertSeparator();
    ids.fileBrowser = playlistMenu_->insertItem(local8("File Browser"));
    playlistDir = QFile::decodeName(qgetenv("PWD")) + QStringLiteral("/playlist");
    fillPlaylistMenu();
    connect(playlistMenu_, &PopupMenu::activated, this, &MyWidget::PlayListSelect);
    cst_->getMidBtn()->setPopup(playlistMenu_);

    mainMenu_ = new PopupMenu(cst_);
    connect(mainMenu_, &PopupMenu::activated, this, &MyWidget::menuSelect);
    ids.play = mainMenu_->insertItem(local8("Play  "));
    mainMenu_->insertSeparator();

    settingMenu_ = new PopupMenu(mainMenu_->menu());
    ids.loop = settingMenu_->insertItem(local8("Loop  "));
    ids.fScreen = settingMenu_->insertItem(local8("FScreen"));
    ids.silent = settingMenu_->insertItem(local8("Silent "));
    ids.oClock = settingMenu_->insertItem(local8("OClock"));
    ids.videoFix = settingMenu_->insertItem(local8("Video Fix"));
    ids.bassBoost = settingMenu_->insertItem(local8("Bass Boost  "));
    settingMenu_->setItemChecked(ids.loop, record.loop != 0);
    settingMenu_->setItemChecked(ids.fScreen, record.fScreen != 0);
    settingMenu_->setItemChecked(ids.silent, record.silent != 0);
    settingMenu_->setItemChecked(ids.oClock, record.oClock != 0);
    settingMenu_->setItemChecked(ids.videoFix, record.videoFix != 0);
    settingMenu_->setItemChecked(ids.bassBoost, record.bassBoost != 0);
    connect(settingMenu_, &PopupMenu::activated, this, &MyWidget::setupSelect);
    mainMenu_->insertItem(local8("Setting"), settingMenu_);

    scaleMenu_ = new PopupMenu(mainMenu_->menu());
    ids.best = scaleMenu_->insertItem(local8("Best  "));
    ids.average = scaleMenu_->insertItem(local8("Average"));
    ids.fastest = scaleMenu_->insertItem(local8("Fastest"));
    for (int id : {ids.best, ids.average, ids.fastest})
        scaleMenu_->setItemChecked(id, scaleMenu_->indexOf(id) == record.scaleIndex);
    connect(scaleMenu_, &PopupMenu::activated, this, &MyWidget::ScaleSelect);
    mainMenu_->insertItem(local8("Scale Option"), scaleMenu_);

    channelMenu_ = new PopupMenu(mainMenu_->menu());
    ids.leftChannel = channelMenu_->insertItem(local8("Left Channel"));
    ids.rightChannel = channelMenu_->insertItem(local8("Right Channel"));
    ids.stereo = channelMenu_->insertItem(local8("Stereo   "));
    channelMenu_->setItemChecked(ids.leftChannel, false);
    channelMenu_->setItemChecked(ids.rightChannel, false);
    channelMenu_->setItemChecked(ids.stereo, true);
    connect(channelMenu_, &PopupMenu::activated, this, &MyWidget::channelSelect);
    mainMenu_->insertItem(local8("Audio Channel"), channelMenu_);

    mainMenu_->insertSeparator();
    ids.addToPlaylist = mainMenu_->insertItem(local8("Add to Playlist      "));
    mainMenu_->insertSeparator();
    ids.about = mainMenu_->insertItem(local8("About"));

    cst_->getLeftBtn()->setPopup(mainMenu_);

    startTimer(500);
}

MyWidget::~MyWidget() = default;

void MyWidget::fillPlaylistMenu()
{
    QDir dir(playlistDir, QStringLiteral("*.* *"), QDir::Name | QDir::DirsFirst,
             QDir::Dirs | QDir::Files | QDir::Drives | QDir::AllDirs);
    if (!dir.isReadable())
        return;
    const QStringList entries = dir.entryList();
    for (const QString& entry : entries) {
        if (entry == QLatin1String("default"))
            continue;
        if (QFileInfo(playlistDir + QLatin1Char('/') + entry).isFile())
            playlistMenu_->insertItem(entry, -1, 0);
    }
}

void MyWidget::showDialog()
{
    [[maybe_unused]] RES_ICON_Reader reader;
    const QString text = local8("      Tarragon\n"
                                "        基于 MPlayer 的手机媒体播放器\n"
                                "                  Ver 0.9");
    ZMessageBox::information(this, QPixmap(), text, local8("确定"), QString(), QString(), 1);
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
    SettingsRecord& record = settingsRecord;
    std::uint8_t* option = nullptr;
    if (id == ids.loop)
        option = &record.loop;
    else if (id == ids.fScreen)
        option = &record.fScreen;
    else if (id == ids.silent)
        option = &record.silent;
    else if (id == ids.oClock)
        option = &record.oClock;
    else if (id == ids.videoFix)
        option = &record.videoFix;
    else if (id == ids.bassBoost)
        option = &record.bassBoost;
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
    for (int item : {ids.best, ids.average, ids.fastest})
        scaleMenu_->setItemChecked(item, false);
    scaleMenu_->setItemChecked(id, true);
    settingsRecord.scaleIndex = position;
}

void MyWidget::channelSelect(int id)
{
    if (channelMenu_->indexOf(id) < 0)
        return;
    for (int item : {ids.leftChannel, ids.rightChannel, ids.stereo})
        channelMenu_->setItemChecked(item, false);
    channelMenu_->setItemChecked(id, true);
}

void MyWidget::PlayListSelect(int /*id*/) {}

void MyWidget::appendToDefaultPlaylist() {}

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

int MyWidget::startPlayback(const char* /*path*/, bool /*playlist*/)
{
    return -1;
}

void MyWidget::stopPlayback() {}

void MyWidget::sendCommand(const char* /*text*/, int /*gain*/) {}

void MyWidget::setMenuMode(bool /*on*/) {}

void MyWidget::timerEvent(QTimerEvent* /*event*/)
{
    playbackState.focusLost = false;
}

bool MyWidget::qwsEvent(WSEvent* event)
{
    return ZMainWidget::qwsEvent(event);
}
