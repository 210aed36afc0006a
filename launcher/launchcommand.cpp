#include "launchcommand.h"

#include "filterchain.h"
#include "headread.h"
#include "subtitleencoding.h"
#include "subtitlefile.h"

#include <algorithm>
#include <strings.h>

std::string clipOf(const std::vector<std::string>& args)
{
    if (args.empty() || std::find(args.begin(), args.end(), "-playlist") != args.end())
        return {};
    return args.back().starts_with('-') ? std::string() : args.back();
}

bool holdsNoText(const std::string& clip)
{
    const size_t dot = clip.rfind('.');
    if (dot == std::string::npos || clip.find('/', dot) != std::string::npos)
        return false;
    const std::string extension = clip.substr(dot + 1);
    for (const char* known : {"avi", "mpg", "mpeg", "wmv", "wma", "asf", "wav", "mp1", "mp2", "mp3",
                              "flac", "ac3", "rm", "rmvb", "dat", "aac", "flv"})
        if (strcasecmp(extension.c_str(), known) == 0)
            return true;
    return false;
}

SubtitleChoice chooseSubtitle(const std::string& clip, const std::string& language,
                              const SubtitleFaces& faces)
{
    SubtitleChoice choice{{}, defaultCodepage, {}};
    if (clip.empty())
        return choice;
    choice.file = ownSubtitleFile(clip, language);
    if (choice.file.empty())
        return choice;
    const std::string head = readHead(choice.file, subtitleHeadBytes);
    const std::string encoding = detectEncoding(head);
    choice.codepage = subtitleCodepage(encoding);
    choice.face = subtitleFace(encoding, head, faces);
    return choice;
}

std::vector<std::string> launchCommand(const LaunchInput& input)
{
    const std::string clip = clipOf(input.args);
    // A face to draw from by file is one the clip's container allows.
    SubtitleFaces faces = input.faces;
    if (!holdsNoText(clip))
        faces.latin.clear();
    const SubtitleChoice subtitle = chooseSubtitle(clip, input.language, faces);
    // Subtitles, a file's or the clip's own tracks', are drawn by libass in
    // the band below the picture, right to left and joined where the script
    // is. With no subtitle file and no text in the container, the player's
    // text (the menu, the time) in the default face and no libass; with a
    // file one face has all the letters of, libass with that face. Both
    // from the faces' files, with no fontconfig start of the player's
    // before the first frame. Other clips may hold text in any script: each
    // character from a face that has it, as fontconfig finds them.
    const bool ass = faces.latin.empty() || !subtitle.file.empty();
    const FilterChain filters = filterChain(input.output.screen, ass);

    std::vector<std::string> command{
        input.player,         "-input",        "nodefault-bindings:conf=/dev/null",
        "-noconsolecontrols", "-nomouseinput", "-nolirc",
        "-nojoystick",        "-vf",           filters.fit};
    const auto add = [&command](std::initializer_list<std::string> words) {
        command.insert(command.end(), words);
    };
    if (!input.menu.empty())
        add({"-menu", "-menu-cfg", input.menu});
    const std::vector<std::string> output = videoOutputArguments(input.output);
    command.insert(command.end(), output.begin(), output.end());
    // The volume keys move the player's own gain: what this clip plays, on
    // whichever card plays it, back exactly where it was after as many
    // steps each way. A card's control (ALSA's PCM, a sound server's
    // stream) is shared with every program, kept for good, need not be the
    // card that plays, and through a server drifts a step's rounding each
    // way.
    add({"-softvol"});
    if (!ass)
        add({"-nofontconfig", "-font", faces.latin});
    else if (!subtitle.face.empty())
        add({"-nofontconfig", "-font", faces.latin, "-subfont", subtitle.face});
    else
        add({"-font", "sans-serif"});
    if (ass)
        add({"-ass", "-ass-color", "FFFFFF00"});
    add({"-subcp", subtitle.codepage, "-subfont-text-scale", "5"});
    // A name with a comma would be two to -sub; the player finds such a
    // file itself.
    if (!subtitle.file.empty() && subtitle.file.find(',') == std::string::npos)
        add({"-noautosub", "-sub", subtitle.file});
    for (const std::string& argument : input.args) {
        command.push_back(argument);
        if (argument == "-vf-clr")
            add({"-vf", filters.own});
    }
    return command;
}
