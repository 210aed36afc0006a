#pragma once

#include <array>
#include <cstddef>

// Finds the player's answers to "get_property pause" ("ANS_pause=yes" or
// "=no", a line of its own) in output that arrives in pieces.
class PauseAnswerScanner
{
public:
    // The last answer that ends within these bytes: 1 paused, 0 playing,
    // -1 none.
    int feed(const char* bytes, std::size_t size);
    void reset() { length_ = 0; }

private:
    // The start of the line so far: enough for the answer, and a longer
    // line is no answer.
    std::array<char, 16> line_{};
    std::size_t length_ = 0;
};
