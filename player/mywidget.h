#pragma once

#include "clipresume.h"
#include "menutree.h"
#include "platform/keyholds.h"
#include "platform/zmainwidget.h"
#include "playerprocess.h"

#include <QByteArray>
#include <QHash>

#include <array>
#include <cstddef>
#include <cstdint>

struct PlayerOptions;
class FileBrowser;
class KeyLock;
class NowPlaying;
class PopupMenu;
class QTimer;
class UTIL_CST;

// The main window: browser, soft keys, menus, the presentation switch, and
// what the player is told and when.
class MyWidget : public ZMainWidget
{
    Q_OBJECT
public:
    explicit MyWidget(QWidget* parent = nullptr);
    ~MyWidget() override;

    void setFullScreen(bool on);
    int startPlayback(const char* path, bool playlist);
    void stopPlayback();
    void sendCommand(const char* text, int gain);
    void setMenuMode(bool on);
    // Ends playback however it stands, as the front-end is about to end: a
    // player still running as the stop key ends it, one that has ended as
    // the timer would.
    void endPlayback();

    FileBrowser* browser() const { return browser_; }
    UTIL_CST* softKeys() const { return cst_; }
    PopupMenu* playlistMenu() const { return playlistMenu_; }
    PopupMenu* mainMenu() const { return mainMenu_; }
    PopupMenu* channelMenu() const { return channelMenu_; }
    PopupMenu* settingMenu() const { return settingMenu_; }
    PopupMenu* scaleMenu() const { return scaleMenu_; }
    const QByteArray& playlistDirectory() const { return playlistDir; }
    bool isBrowseMode() const { return browseMode; }
    int commandSocketFd() const { return player_.socket(); }
    int currentAdjustIndex() const { return adjustIndex; }
    // The screen shown while a clip with no picture plays.
    NowPlaying* nowPlaying() const { return nowPlaying_; }
    KeyLock* keyLock() const { return keyLock_; }
    // The display asleep or lit again: a song's screen is not drawn, nor
    // its time asked, in the dark.
    void setDisplayAsleep(bool asleep);

    // Menu item identifiers a handler must recognise.
    using ItemIds = MenuTree::ItemIds;
    const ItemIds& itemIds() const { return ids; }

    static QString aboutText();

public slots:
    void showDialog();
    void PlayListSelect(int id);
    void channelSelect(int id);
    void ScaleSelect(int id);
    void setupSelect(int id);
    void menuSelect(int id);

protected:
    void timerEvent(QTimerEvent* event) override;
    bool qwsEvent(WSEvent* event) override;

private:
    void fillPlaylistMenu();
    PlayerOptions playerOptions(bool playlist) const;
    void actOnKey(std::uint16_t keyCode);
    // A key's command, sent as the pause has it.
    void sendKeyCommand(const char* text);
    void appendToDefaultPlaylist();
    // Starts the 500 ms tick if it rests.
    void wakeTick();
    // What the player said of a song: its screen up, its times on it.
    void showSong(const PlayerAnswers& said);
    // The lock's word on the song's screen, or on the player's picture.
    void setUpKeyLock();
    // After a key that changed it: the level, for the song's screen.
    void askLevel(const char* property);
    // Each second while a song's screen shows, or now and then for a long
    // clip's place: the screen moved on, the player asked when it is time.
    void setUpSongClock();
    void startSongClock();
    void songSecond();

    ItemIds ids{};
    FileBrowser* browser_ = nullptr;
    bool browseMode = true;
    QByteArray playlistDir;
    // The file names behind the named playlists' menu items.
    QHash<int, QByteArray> namedPlaylists_;
    UTIL_CST* cst_ = nullptr;
    PopupMenu* playlistMenu_ = nullptr;
    PopupMenu* mainMenu_ = nullptr;
    PopupMenu* channelMenu_ = nullptr;
    PopupMenu* settingMenu_ = nullptr;
    PopupMenu* scaleMenu_ = nullptr;
    PlayerProcess player_;
    NowPlaying* nowPlaying_ = nullptr;
    KeyLock* keyLock_ = nullptr;
    KeyHolds holds_;
    QTimer* songClock_ = nullptr;
    int sinceAsked_ = 0;   // seconds since the player was asked its position
    bool askSoon_ = false; // a key may have moved it
    bool displayAsleep_ = false;
    ClipResume resume_;
    bool clipAsked_ = false; // this launch's clip asked its length
    int tickTimer = 0;
    int adjustIndex = 0;
    std::array<char, 100> commandBuffer{};
};
