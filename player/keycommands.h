#pragma once

#include <array>
#include <cstdint>
#include <string>

// What a key press does while a player runs.
enum class KeyAction {
    None,
    Send,         // send text
    MenuEnter,    // send text, one menu level deeper
    MenuBack,     // above the top level: send text, one level up
    Adjust,       // send the current property's name followed by text
    NextProperty, // step to the next property and show its name
    MenuModeOn,
    MenuModeOff,
    Stop,
    PlaylistStep, // send text while a playlist plays
};

struct KeyCommand {
    KeyAction action = KeyAction::None;
    const char* text = nullptr;
};

// The properties the adjust keys change, in the order F6 steps through them.
constexpr std::array<const char*, 6> adjustProperties = {"volume", "brightness", "contrast",
                                                         "gamma",  "hue",        "saturation"};

// The key table: what the phone key code does outside and inside the
// player's on-screen menu. Codes not in the table do nothing.
KeyCommand keyCommand(std::uint16_t keyCode, bool menuMode);

// The index after adjustIndex, wrapping after the last property.
int nextAdjustIndex(int adjustIndex);

// The text a key sends: while the clip is paused each of its commands keeps
// the pause (the player resumes on any command without the prefix), but the
// pause key's own and those that leave the clip; while playing, as it is.
std::string keyCommandText(const char* text, bool paused);
