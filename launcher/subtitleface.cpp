#include "subtitleface.h"

#include "subtitleencoding.h"

namespace
{
bool inLatinFace(char32_t c)
{
    return c < 0x700 || (c >= 0x2000 && c < 0x3000);
}

bool inCjkFace(char32_t c)
{
    return c < 0x180 || (c >= 0x380 && c < 0x500) || (c >= 0x2000 && c < 0xe000) ||
           (c >= 0xf000 && c < 0x10000);
}

// Whether every character of UTF-8 text is one of the face's; a byte that
// starts no character is none of any face's.
template <typename Has> bool hasAll(const std::string& text, Has has)
{
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int length = lead < 0x80   ? 1
                           : lead < 0xc0 ? 0
                           : lead < 0xe0 ? 2
                           : lead < 0xf0 ? 3
                                         : 4;
        if (length == 0) {
            ++i; // a character's continuation, counted with its lead
            continue;
        }
        char32_t c = length == 1 ? lead : lead & (0x7f >> length);
        for (int k = 1; k < length; ++k)
            c = (c << 6) |
                (static_cast<unsigned char>(i + k < text.size() ? text[i + k] : 0) & 0x3f);
        if (lead >= 0xf8 || !has(c))
            return false;
        i += static_cast<size_t>(length);
    }
    return true;
}
} // namespace

std::string subtitleFace(const std::string& encoding, const std::string& head,
                         const SubtitleFaces& faces)
{
    if (faces.latin.empty())
        return {};
    if (isCjkEncoding(encoding))
        return faces.cjk;
    if (encoding != "ASCII" && encoding != "UTF-8")
        return {};
    if (hasAll(head, inLatinFace))
        return faces.latin;
    return hasAll(head, inCjkFace) ? faces.cjk : std::string();
}
