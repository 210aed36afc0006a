#include "keycommands.h"

#include "platform/phonekeys.h"

#include <algorithm>
#include <string_view>

namespace
{
struct KeyBinding {
    std::uint16_t code;
    KeyCommand normal;
    KeyCommand menu;
};

using A = KeyAction;
using namespace PhoneKey;

constexpr KeyBinding keyTable[] = {
    {Key_Enter, {A::Send, "pause\n"}, {A::MenuEnter, "menu ok\n"}},
    {Key_Left, {A::Send, "seek 60\n"}, {A::Send, "seek 60\n"}},
    {Key_Up, {A::Send, "seek 10\n"}, {A::Send, "menu up\n"}},
    {Key_Right, {A::Send, "seek -60\n"}, {A::Send, "seek -60\n"}},
    {Key_Down, {A::Send, "seek -10\n"}, {A::Send, "menu down\n"}},
    {Key_Prior, {A::Adjust, " 5\n"}, {A::Adjust, " 5\n"}},
    {Key_F11, {A::Adjust, " 5\n"}, {A::Adjust, " 5\n"}},
    {Key_Next, {A::Adjust, " -5\n"}, {A::Adjust, " -5\n"}},
    {Key_F12, {A::Adjust, " -5\n"}, {A::Adjust, " -5\n"}},
    {Key_F2, {A::MenuModeOn, nullptr}, {A::MenuModeOff, nullptr}},
    {Key_F4, {A::Stop, nullptr}, {A::Stop, nullptr}},
    {Key_F7, {A::Stop, nullptr}, {A::Stop, nullptr}},
    {Key_F6, {A::NextProperty, nullptr}, {A::MenuBack, "menu cancel\n"}},
    {Key_F9, {A::Send, "osd\n"}, {A::Send, "osd\n"}},
    {Key_F10, {A::Send, "volume 0 1\n"}, {A::Send, "volume 0 1\n"}},
    // The device's own volume keys are the volume's whatever F6 has chosen,
    // and the media keys do what their names say.
    {Key_VolumeUp, {A::Send, "volume 5\n"}, {A::Send, "volume 5\n"}},
    {Key_VolumeDown, {A::Send, "volume -5\n"}, {A::Send, "volume -5\n"}},
    {Key_VolumeMute, {A::Send, "volume 0 1\n"}, {A::Send, "volume 0 1\n"}},
    {Key_MediaTogglePlayPause, {A::Send, "pause\n"}, {A::Send, "pause\n"}},
    {Key_MediaPlay, {A::Send, "pause\n"}, {A::Send, "pause\n"}},
    {Key_MediaPause, {A::Send, "pause\n"}, {A::Send, "pause\n"}},
    {Key_MediaStop, {A::Stop, nullptr}, {A::Stop, nullptr}},
    {Key_Stop, {A::Stop, nullptr}, {A::Stop, nullptr}},
    {Key_MediaNext, {A::PlaylistStep, "pt_step 1\n"}, {A::PlaylistStep, "pt_step 1\n"}},
    {Key_MediaPrevious, {A::PlaylistStep, "pt_step -1\n"}, {A::PlaylistStep, "pt_step -1\n"}},
};
} // namespace

KeyCommand keyCommand(std::uint16_t keyCode, bool menuMode)
{
    for (const KeyBinding& binding : keyTable)
        if (binding.code == keyCode)
            return menuMode ? binding.menu : binding.normal;
    return {};
}

int nextAdjustIndex(int adjustIndex)
{
    return adjustIndex > 4 ? 0 : adjustIndex + 1;
}

std::string keyCommandText(const char* text, bool paused)
{
    const std::string_view command = text;
    if (!paused || command == "pause\n" || command == "quit\n" || command.starts_with("pt_step"))
        return std::string(command);
    std::string kept;
    for (size_t start = 0; start < command.size();) {
        const size_t end = std::min(command.find('\n', start), command.size() - 1) + 1;
        kept += "pausing_keep ";
        kept += command.substr(start, end - start);
        start = end;
    }
    return kept;
}
