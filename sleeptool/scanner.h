#pragma once

#include <string>

// printf-style formatting into a 1024-byte buffer: at most 1023 characters
// come back, and nothing is written past the buffer.
std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// A forward-only tokenizer over one NUL-terminated line. Reading past the
// end throws std::logic_error.
class scanner
{
public:
    // The blanks that separate tokens: space, carriage return, line feed, tab.
    static const char* spacechar;

    explicit scanner(const char* text);

    bool eof() const;
    void assertNotEof() const;
    char peek() const;
    char getChar();
    void skipspace(const char* set);
    bool goUntilNot(const char* set);
    bool goUntil(char c);
    std::string getToken(const char* set);

private:
    bool inSet(const char* set) const;

    const char* text;
    int pos;
};
