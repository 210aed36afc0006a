#include "playeranswers.h"

#include "keycommands.h"

#include <cstdlib>
#include <string>
#include <string_view>

void PlayerAnswerScanner::feed(const char* bytes, std::size_t size, PlayerAnswers& answers)
{
    for (std::size_t i = 0; i < size; ++i) {
        const char c = bytes[i];
        if (c != '\n' && c != '\r') {
            // One byte past the room marks a longer line.
            if (length_ < line_.size())
                line_[length_++] = c;
            continue;
        }
        if (length_ < line_.size())
            line(answers);
        length_ = 0;
    }
}

void PlayerAnswerScanner::line(PlayerAnswers& answers) const
{
    const std::string_view text(line_.data(), length_);
    const auto number = [&text](std::string_view prefix, double& into, double least) {
        if (!text.starts_with(prefix) || text.size() == prefix.size())
            return false;
        const std::string value(text.substr(prefix.size()));
        char* end = nullptr;
        const double read = std::strtod(value.c_str(), &end);
        if (!end || *end != '\0' || read < least)
            return false;
        into = read;
        return true;
    };
    if (text == "ANS_pause=yes" || text == "ANS_pause=no")
        answers.paused = text.ends_with("yes") ? 1 : 0;
    else if (text == "ANS_mute=yes" || text == "ANS_mute=no")
        answers.muted = text.ends_with("yes") ? 1 : 0;
    else if (text == "Video: no video")
        answers.noVideo = true;
    else if (text.starts_with("Playing ") && text.ends_with('.') && text.size() > 9) {
        answers.playing = text.substr(8, text.size() - 9);
        answers.noVideo = false;
    }
    number("ANS_time_pos=", answers.time, 0);
    number("ANS_length=", answers.length, 0);
    for (const char* name : adjustProperties)
        if (number("ANS_" + std::string(name) + '=', answers.value, -1e9))
            answers.property = name;
}
