#pragma once

#include <cstdint>

// Key codes of the phone's toolkit: special keys live at 0x1000 + n where
// Qt 6 puts them at 0x01000000 + n; printable keys keep their code.
namespace PhoneKey
{
constexpr std::uint16_t Key_Escape = 0x1000;
constexpr std::uint16_t Key_Return = 0x1004;
constexpr std::uint16_t Key_Enter = 0x1005;
constexpr std::uint16_t Key_Left = 0x1012;
constexpr std::uint16_t Key_Up = 0x1013;
constexpr std::uint16_t Key_Right = 0x1014;
constexpr std::uint16_t Key_Down = 0x1015;
constexpr std::uint16_t Key_Prior = 0x1016;
constexpr std::uint16_t Key_Next = 0x1017;
constexpr std::uint16_t Key_F1 = 0x1030;
constexpr std::uint16_t Key_F2 = 0x1031;
constexpr std::uint16_t Key_F3 = 0x1032;
constexpr std::uint16_t Key_F4 = 0x1033;
constexpr std::uint16_t Key_F6 = 0x1035;
constexpr std::uint16_t Key_F7 = 0x1036;
constexpr std::uint16_t Key_F9 = 0x1038;
constexpr std::uint16_t Key_F10 = 0x1039;
constexpr std::uint16_t Key_F11 = 0x103A;
constexpr std::uint16_t Key_F12 = 0x103B;
// A keypad's menu and back buttons, as the toolkit's evdev keymap names them.
constexpr std::uint16_t Key_Menu = 0x1055;
constexpr std::uint16_t Key_Back = 0x1061;
constexpr std::uint16_t Key_Stop = 0x1063;
// A device's volume keys and a headset's or keyboard's media keys.
constexpr std::uint16_t Key_VolumeDown = 0x1070;
constexpr std::uint16_t Key_VolumeMute = 0x1071;
constexpr std::uint16_t Key_VolumeUp = 0x1072;
constexpr std::uint16_t Key_MediaPlay = 0x1080;
constexpr std::uint16_t Key_MediaStop = 0x1081;
constexpr std::uint16_t Key_MediaPrevious = 0x1082;
constexpr std::uint16_t Key_MediaNext = 0x1083;
constexpr std::uint16_t Key_MediaPause = 0x1085;
constexpr std::uint16_t Key_MediaTogglePlayPause = 0x1086;
constexpr std::uint16_t Key_unknown = 0xFFFF;
} // namespace PhoneKey

// Qt 6 key code (Qt::Key) to the phone's code. The desktop Return key is
// the phone's select key, Key_Enter.
std::uint16_t phoneKeyCode(int qtKey);

// The soft keys are keys as well as buttons: the left one (the main menu)
// is F1 or a Menu key, the middle one (the playlists) F2, the right one
// (Exit) F3, Escape or a Back key.
enum class SoftKey { None, Left, Middle, Right };
SoftKey softKeyOf(std::uint16_t keyCode);
