#include "framebuffermode.h"

#include <charconv>
#include <fstream>

namespace
{
// The number at the start of text, or -1.
int leadingNumber(std::string_view text)
{
    int value = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end != text.data() ? value : -1;
}

// "480x320p-0", after the mode's kind: both sides numbers.
bool parseSize(std::string_view mode, FramebufferMode& into)
{
    mode = mode.substr(mode.find(':') == std::string_view::npos ? 0 : mode.find(':') + 1);
    const size_t x = mode.find('x');
    if (x == std::string_view::npos)
        return false;
    const int width = leadingNumber(mode.substr(0, x));
    const int height = leadingNumber(mode.substr(x + 1));
    if (width <= 0 || height <= 0 || std::to_string(width).size() != x)
        return false;
    into.width = width;
    into.height = height;
    return true;
}

std::string firstLine(const std::string& path)
{
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}
} // namespace

FramebufferMode parseFramebufferMode(const std::string& mode, const std::string& modes,
                                     const std::string& virtualSize,
                                     const std::string& bitsPerPixel)
{
    FramebufferMode result;
    const int bits = leadingNumber(bitsPerPixel);
    result.bitsPerPixel = bits > 0 ? bits : 0;
    if (parseSize(mode, result) || parseSize(modes, result))
        return result;
    const size_t comma = virtualSize.find(',');
    const int width = leadingNumber(virtualSize);
    const int height = comma == std::string::npos
                           ? -1
                           : leadingNumber(std::string_view(virtualSize).substr(comma + 1));
    if (width > 0 && height > 0) {
        result.width = width;
        result.height = height;
    }
    return result;
}

FramebufferMode readFramebufferMode(const std::string& device, const std::string& sysfs)
{
    const std::string graphics =
        sysfs + "/class/graphics/" + device.substr(device.rfind('/') + 1) + '/';
    return parseFramebufferMode(firstLine(graphics + "mode"), firstLine(graphics + "modes"),
                                firstLine(graphics + "virtual_size"),
                                firstLine(graphics + "bits_per_pixel"));
}
