#pragma once

#include <QByteArray>

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

// The options record, stored raw in the file "setup" in the working
// directory: exactly these 312 bytes, no header.
struct SettingsRecord {
    std::array<char, 128> lastPlayedPath;
    std::array<char, 132> lastDirectory;
    std::int32_t scaleIndex; // little-endian in the file
    std::uint8_t loop;
    std::uint8_t fScreen;
    std::uint8_t silent;
    std::uint8_t oClock;
    std::uint8_t videoFix;
    std::uint8_t bassBoost;
    std::array<std::uint8_t, 42> reserved; // kept as read
};

static_assert(std::endian::native == std::endian::little,
              "the record stores scaleIndex little-endian as it lies in memory");
static_assert(offsetof(SettingsRecord, lastPlayedPath) == 0);
static_assert(offsetof(SettingsRecord, lastDirectory) == 128);
static_assert(offsetof(SettingsRecord, scaleIndex) == 260);
static_assert(offsetof(SettingsRecord, loop) == 264);
static_assert(offsetof(SettingsRecord, fScreen) == 265);
static_assert(offsetof(SettingsRecord, silent) == 266);
static_assert(offsetof(SettingsRecord, oClock) == 267);
static_assert(offsetof(SettingsRecord, videoFix) == 268);
static_assert(offsetof(SettingsRecord, bassBoost) == 269);
static_assert(offsetof(SettingsRecord, reserved) == 270);
static_assert(sizeof(SettingsRecord) == 312);

// One record for the whole run, all zero at start.
extern SettingsRecord settingsRecord;

// Reads at most 312 bytes of the file into the record; a missing file leaves
// it as it is.
void loadSettings(const char* path = "setup");
// Writes the whole record, creating the file or replacing it whole.
void saveSettings(const char* path = "setup");

// The directory the browser opens at start: lastDirectory, or "/mmc/mmca1/"
// when it is empty. Older records hold it as Latin-1: bytes that name no
// directory and are not valid UTF-8 are read as Latin-1 text.
QByteArray startDirectory(const SettingsRecord& record);

// Copies text with its NUL into a fixed field only when it fits whole;
// returns false and leaves the field untouched otherwise.
template <size_t N> bool storeWhole(std::array<char, N>& field, const char* text, size_t length)
{
    if (length + 1 > N)
        return false;
    for (size_t i = 0; i < length; ++i)
        field[i] = text[i];
    field[length] = '\0';
    return true;
}
