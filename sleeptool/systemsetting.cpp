#include "systemsetting.h"

#include "scanner.h"

#include <array>
#include <climits>
#include <cstdio>
#include <fstream>
#include <limits>
#include <stdexcept>
#include <string>

int leadingInt(const char* text)
{
    while (*text == ' ' || (*text >= '\t' && *text <= '\r'))
        ++text;
    bool negative = false;
    if (*text == '+' || *text == '-')
        negative = *text++ == '-';
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        value = INT_MAX;
    return static_cast<int>(value);
}

int load_system_setting_lcd_sleep_time(const char* path)
{
    std::ifstream in(path, std::ios::in | std::ios::binary);
    if (in.fail()) {
        std::perror("can not open profile: ");
        return -1;
    }
    int line = 1;
    int result = -1;
    std::string key;
    std::array<char, 1024> buffer{};
    try {
        while (!in.eof()) {
            buffer.fill('\0');
            in.getline(buffer.data(), static_cast<std::streamsize>(buffer.size()));
            if (in.fail() && !in.eof()) {
                // A read error ends the file; a line too long for the buffer
                // is taken as its first 1023 characters and the rest skipped,
                // so a later setting line is still found.
                if (in.bad())
                    break;
                in.clear();
                in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
            }
            if (buffer[0] == '#') {
                ++line;
                continue;
            }
            scanner scan(buffer.data());
            key = scan.getToken(scanner::spacechar);
            if (key == "LcdSleepTime") {
                scan.goUntil('=');
                scan.getChar();
                const std::string value = scan.getToken(scanner::spacechar);
                result = leadingInt(value.c_str());
                break;
            }
            ++line;
        }
    } catch (const std::exception& e) {
        std::printf("line:%d error:%s", line, e.what());
        return -1;
    }
    return result;
}
