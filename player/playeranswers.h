#pragma once

#include <array>
#include <cstddef>
#include <string>

// What the player says, line by line, in output that arrives in pieces:
// its answers to the front-end's queries ("ANS_pause=yes", "ANS_time_pos=
// 12.3", "ANS_length=200.5") and its report of a clip with no picture
// ("Video: no video"), and of each clip of a playlist as it starts
// ("Playing PATH.").
struct PlayerAnswers {
    int paused = -1;      // 1 paused, 0 playing, -1 not said
    double time = -1;     // seconds played, -1 not said
    double length = -1;   // the clip's length, -1 not said
    int muted = -1;       // 1 muted, 0 not, -1 not said
    std::string property; // an adjusted property's name, as answered
    double value = 0;     // and its value
    std::string playing;  // the clip now starting, as the player names it
    bool noVideo = false; // of that clip, or of the first
};

class PlayerAnswerScanner
{
public:
    // Adds what these bytes complete to answers, the last word winning.
    void feed(const char* bytes, std::size_t size, PlayerAnswers& answers);
    void reset() { length_ = 0; }

private:
    void line(PlayerAnswers& answers) const;

    // The start of the line so far: enough for any answer and a path; a
    // longer line is none.
    std::array<char, 4200> line_{};
    std::size_t length_ = 0;
};
