#include "pauseanswer.h"

#include <cstring>

int PauseAnswerScanner::feed(const char* bytes, std::size_t size)
{
    int answer = -1;
    for (std::size_t i = 0; i < size; ++i) {
        const char c = bytes[i];
        if (c != '\n' && c != '\r') {
            // One byte past the answer's length marks a longer line.
            if (length_ < line_.size())
                line_[length_++] = c;
            continue;
        }
        const auto is = [this](const char* text) {
            return length_ == std::strlen(text) && std::memcmp(line_.data(), text, length_) == 0;
        };
        if (is("ANS_pause=yes"))
            answer = 1;
        else if (is("ANS_pause=no"))
            answer = 0;
        length_ = 0;
    }
    return answer;
}
