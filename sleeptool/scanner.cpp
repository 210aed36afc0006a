#include "scanner.h"

#include <array>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <stdexcept>

const char* scanner::spacechar = " \r\n\t";

std::string format(const char* fmt, ...)
{
    std::array<char, 1024> buffer{};
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(buffer.data(), buffer.size(), fmt, args);
    va_end(args);
    return std::string(buffer.data());
}

scanner::scanner(const char* text_) : text(text_), pos(0) {}

bool scanner::eof() const
{
    return text[pos] == '\0';
}

void scanner::assertNotEof() const
{
    if (eof())
        throw std::logic_error(format("config file format error:unexpected eof\r\n"));
}

char scanner::peek() const
{
    assertNotEof();
    return text[pos];
}

char scanner::getChar()
{
    assertNotEof();
    return text[pos++];
}

bool scanner::inSet(const char* set) const
{
    return std::strchr(set, text[pos]) != nullptr;
}

void scanner::skipspace(const char* set)
{
    while (!eof() && inSet(set))
        getChar();
}

bool scanner::goUntilNot(const char* set)
{
    while (!eof() && !inSet(set))
        getChar();
    return !eof();
}

bool scanner::goUntil(char c)
{
    while (!eof() && text[pos] != c)
        ++pos;
    return text[pos] == c;
}

std::string scanner::getToken(const char* set)
{
    skipspace(set);
    const int start = pos;
    if (goUntilNot(set))
        return std::string(text + start, static_cast<size_t>(pos - start));
    return std::string(text + start);
}
