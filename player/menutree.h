#pragma once

#include <cstdint>
#include <initializer_list>

class PopupMenu;
class UTIL_CST;
struct SettingsRecord;

// The soft keys' menus: the middle key's playlists, the left key's main
// menu with its Setting, Scale Option and Audio Channel submenus.
struct MenuTree {
    // Menu item identifiers a handler must recognise.
    struct ItemIds {
        int play, loop, fScreen, silent, oClock, about, addToPlaylist, fileBrowser, playlist,
            videoFix, bassBoost, leftChannel, rightChannel, stereo, best, average, fastest;
    };

    PopupMenu* playlistMenu = nullptr;
    PopupMenu* mainMenu = nullptr;
    PopupMenu* settingMenu = nullptr;
    PopupMenu* scaleMenu = nullptr;
    PopupMenu* channelMenu = nullptr;
    ItemIds ids{};
};

// The menus, under the soft keys cst has, their options checked as the
// record says; the playlist menu's named playlists are not in it yet.
MenuTree buildMenuTree(UTIL_CST* cst, const SettingsRecord& record);

// The record's option that a Setting item toggles, or null.
std::uint8_t* settingOption(const MenuTree::ItemIds& ids, SettingsRecord& record, int id);

// Checks id, one of items, and none of the others.
void checkOnly(PopupMenu* menu, std::initializer_list<int> items, int id);
