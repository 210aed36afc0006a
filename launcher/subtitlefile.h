#pragma once

#include <string>

// The clip's own subtitle file: its name with a subtitle extension, or with
// a language tag before one ("clip.zh.srt", "clip.pt-BR.srt"). The untagged
// one wins, then the user's language ("zh"), then the first by name. A
// ".txt" is taken only when it reads as timed text, not as lyrics or notes.
// Empty when the clip has none.
std::string ownSubtitleFile(const std::string& clip, const std::string& language);

// The user's language from the locale's variables (LC_ALL, LC_MESSAGES,
// LANG: the first set), "zh" of "zh_CN.UTF-8".
std::string userLanguage(const char* lcAll, const char* lcMessages, const char* lang);

// Whether code is a language's in ISO 639-2 ("zh", "chi", "zho"), as
// Debian's iso-codes lists them; the list is read once, when first asked.
bool isLanguageCode(const std::string& code);

// How a file's name after the clip's ("zh.srt") ranks: 0 untagged, 1 in
// the user's language, 2 in another; -1 when it is no language tag, as
// "dir.srt" after "Alien." is another clip's ("Alien.dir.avi").
int subtitleRank(const std::string& rest, const std::string& language);

// Whether the head of a ".txt" reads as timed text.
bool readsAsTimedText(const std::string& head);
