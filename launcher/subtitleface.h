#pragma once

#include <string>

// The faces the phone draws subtitles from: DejaVu Sans has Latin, Greek,
// Cyrillic, Hebrew and Arabic; WenQuanYi Micro Hei has Chinese, Japanese
// and Korean with Latin-1, Greek and Cyrillic.
struct SubtitleFaces {
    std::string latin; // empty: none to draw from by file
    std::string cjk;   // empty: not there
};

// The one face that has every letter of a subtitle file, given its
// encoding (as uchardet names it) and its head; empty when none has them
// all, and fontconfig is to find a face for each.
std::string subtitleFace(const std::string& encoding, const std::string& head,
                         const SubtitleFaces& faces);
