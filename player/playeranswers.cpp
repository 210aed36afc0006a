#include "playeranswers.h"

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
    const auto number = [&text](std::string_view prefix, double& into) {
        if (!text.starts_with(prefix) || text.size() == prefix.size())
            return;
        const std::string value(text.substr(prefix.size()));
        char* end = nullptr;
        const double read = std::strtod(value.c_str(), &end);
        if (end && *end == '\0' && read >= 0)
            into = read;
    };
    if (text == "ANS_pause=yes")
        answers.paused = 1;
    else if (text == "ANS_pause=no")
        answers.paused = 0;
    else if (text == "Video: no video")
        answers.noVideo = true;
    number("ANS_time_pos=", answers.time);
    number("ANS_length=", answers.length);
}
