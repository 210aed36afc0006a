// The power-cut test's driver, inside the emulated phone. Usage:
//   powercut write DIR   in DIR, over and over: save the options record,
//                        append to the default playlist and now and then
//                        remove its first entry, as the front-end does;
//                        POWERCUT-WRITING on standard error once begun
//   powercut check DIR   after a power cut: "setup" must be 312 bytes and
//                        one of the records written, the playlist one of
//                        its versions; prints POWERCUT-CHECK ok or bad
// Every step is a function of its number, so the check knows each version.
#include "playlistfile.h"
#include "settingsrecord.h"

#include <QByteArray>
#include <QList>

#include <array>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
const QByteArray playlist = "playlist/default";

QByteArray clip(long step)
{
    return "/mmc/mmca1/clip-" + QByteArray::number(static_cast<qlonglong>(step)) + ".avi";
}

SettingsRecord recordOf(long step)
{
    SettingsRecord record{};
    const QByteArray played = clip(step);
    storeWhole(record.lastPlayedPath, played.constData(), static_cast<size_t>(played.size()));
    const QByteArray folder =
        "/mmc/mmca1/folder-" + QByteArray::number(static_cast<qlonglong>(step));
    storeWhole(record.lastDirectory, folder.constData(), static_cast<size_t>(folder.size()));
    record.scaleIndex = static_cast<std::int32_t>(step % 3);
    const auto bit = [step](int i) { return static_cast<std::uint8_t>((step >> i) & 1); };
    record.loop = bit(0);
    record.fScreen = bit(1);
    record.silent = bit(2);
    record.oClock = bit(3);
    record.videoFix = bit(4);
    record.bassBoost = bit(5);
    for (size_t i = 0; i < record.reserved.size(); ++i)
        record.reserved[i] = static_cast<std::uint8_t>(step * 7 + static_cast<long>(i));
    return record;
}

// Step n appends its clip; every fourth step then removes the first entry.
bool removesAfter(long step)
{
    return step % 4 == 3;
}

QByteArray contentOf(const QList<QByteArray>& lines)
{
    QByteArray content;
    for (const QByteArray& line : lines)
        content += line + '\n';
    return content;
}

int write(const char* dir)
{
    if (chdir(dir) != 0 || mkdir("playlist", 0755) != 0) {
        std::perror(dir);
        return 1;
    }
    rewritePlaylist(playlist, {});
    for (long step = 0;; ++step) {
        settingsRecord = recordOf(step);
        saveSettings();
        appendToPlaylist(playlist, clip(step));
        if (removesAfter(step)) {
            QList<QByteArray> lines;
            readPlaylistLines(playlist, &lines);
            rewritePlaylist(playlist, lines.mid(1));
        }
        if (step == 0)
            std::fprintf(stderr, "POWERCUT-WRITING\n");
    }
}

int check(const char* dir)
{
    if (chdir(dir) != 0) {
        std::perror(dir);
        return 1;
    }
    // One byte more than a record, to see a longer file.
    std::array<char, sizeof(SettingsRecord) + 1> bytes{};
    FILE* setup = std::fopen("setup", "rb");
    const size_t size = setup ? std::fread(bytes.data(), 1, bytes.size(), setup) : 0;
    if (setup)
        std::fclose(setup);
    SettingsRecord found{};
    std::memcpy(&found, bytes.data(), sizeof found);
    long step = -1;
    std::sscanf(found.lastPlayedPath.data(), "/mmc/mmca1/clip-%ld.avi", &step);
    const SettingsRecord expected = recordOf(step);
    const bool recordWhole =
        size == sizeof found && step >= 0 && std::memcmp(&found, &expected, sizeof found) == 0;

    QList<QByteArray> lines;
    const bool read = readPlaylistLines(playlist, &lines);
    const QByteArray content = contentOf(lines);
    // Every version the playlist had up to a step past the record's.
    bool listWhole = read && content.isEmpty();
    QList<QByteArray> version;
    for (long s = 0; s <= step + 1 && !listWhole; ++s) {
        version.append(clip(s));
        listWhole = contentOf(version) == content;
        if (removesAfter(s)) {
            version.removeFirst();
            listWhole = listWhole || contentOf(version) == content;
        }
    }
    std::printf("POWERCUT-CHECK %s: record of step %ld %s (%zu bytes), playlist of %lld lines %s "
                "(%lld NUL bytes)\n",
                recordWhole && listWhole ? "ok" : "bad", step, recordWhole ? "whole" : "BROKEN",
                size, static_cast<long long>(lines.size()), listWhole ? "whole" : "BROKEN",
                static_cast<long long>(content.count('\0')));
    return recordWhole && listWhole ? 0 : 1;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "write") == 0)
        return write(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "check") == 0)
        return check(argv[2]);
    std::fprintf(stderr, "usage: powercut write|check DIR\n");
    return 2;
}
