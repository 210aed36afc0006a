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
