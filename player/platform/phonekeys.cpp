#include "phonekeys.h"

#include <Qt>

std::uint16_t phoneKeyCode(int qtKey)
{
    if (qtKey == Qt::Key_Return)
        return PhoneKey::Key_Enter;
    constexpr int specialBase = 0x01000000;
    if (qtKey >= specialBase && qtKey < specialBase + 0x1000)
        return static_cast<std::uint16_t>(0x1000 + (qtKey - specialBase));
    if (qtKey > 0 && qtKey < 0x1000)
        return static_cast<std::uint16_t>(qtKey);
    return PhoneKey::Key_unknown;
}

SoftKey softKeyOf(std::uint16_t keyCode)
{
    switch (keyCode) {
    case PhoneKey::Key_F1:
    case PhoneKey::Key_Menu:
        return SoftKey::Left;
    case PhoneKey::Key_F2:
        return SoftKey::Middle;
    case PhoneKey::Key_F3:
    case PhoneKey::Key_Escape:
    case PhoneKey::Key_Back:
        return SoftKey::Right;
    default:
        return SoftKey::None;
    }
}
