#pragma once

#include "playeroutput.h"
#include "subtitleface.h"

#include <string>
#include <vector>

// What the player's command is made of, gathered by the launcher.
struct LaunchInput {
    std::string player;            // the real player
    std::vector<std::string> args; // the front-end's, in their order
    PlayerOutput output;
    std::string menu;     // the on-screen menu's file; empty: none
    std::string language; // the user's, "zh"
    SubtitleFaces faces;  // those that can be read
};

// The subtitle file the player is given, its -subcp, and the one face it
// draws from (empty: fontconfig's choice).
struct SubtitleChoice {
    std::string file;
    std::string codepage;
    std::string face;
};

// The clip the front-end plays: its last argument, none for a playlist
// (whose clips are not known here).
std::string clipOf(const std::vector<std::string>& args);

// The clip's own subtitle file, its encoding from its head, and its face.
SubtitleChoice chooseSubtitle(const std::string& clip, const std::string& language,
                              const SubtitleFaces& faces);

// Whether the clip's container holds no text of its own: its subtitles,
// if any, are a file's.
bool holdsNoText(const std::string& clip);

// The player's whole argument vector, the player first. Keys belong to the
// front-end, so the player's own bindings and terminal controls are off.
std::vector<std::string> launchCommand(const LaunchInput& input);
