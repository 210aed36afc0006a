#pragma once

#include <string>

// Subtitles come in the encodings of their makers. Their head (64 KiB,
// however long the file is) is enough to tell which.
inline constexpr size_t subtitleHeadBytes = 65536;

// uchardet's name for the encoding of text ("UTF-8", "GB18030",
// "WINDOWS-1252", "ASCII"), empty when it cannot tell.
std::string detectEncoding(const std::string& text);

// The player's -subcp for a file uchardet names so. enca tells the Chinese
// ones (GBK, Big5, UTF-8), even a line of two characters, but takes
// Japanese, Korean and Thai for GBK: those go to the player as uchardet
// names them. For the others uchardet's guess stands behind enca's; where
// it names an ISO code page, the Windows one of that script, as subtitles
// are made.
std::string subtitleCodepage(const std::string& detected);

// The player's -subcp with no subtitle file, or one uchardet cannot tell.
inline constexpr const char* defaultCodepage = "enca:zh:cp1252";

// Whether the encoding is one of Chinese, Japanese or Korean.
bool isCjkEncoding(const std::string& detected);
