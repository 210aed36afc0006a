#include "videomarker.h"

#include <algorithm>
#include <cstring>

namespace
{
constexpr char marker[] = "VIDEO:";
constexpr std::size_t markerLength = sizeof marker - 1;

bool contains(const char* bytes, std::size_t size)
{
    return memmem(bytes, size, marker, markerLength) != nullptr;
}
} // namespace

static_assert(markerLength == 6);

bool VideoMarkerScanner::feed(const char* bytes, std::size_t size)
{
    std::array<char, 2 * keep> joined{};
    std::copy_n(tail_.begin(), tailLength_, joined.begin());
    const std::size_t head = std::min(size, keep);
    std::copy_n(bytes, head, joined.begin() + static_cast<std::ptrdiff_t>(tailLength_));
    const bool found = contains(joined.data(), tailLength_ + head) || contains(bytes, size);

    // The last bytes seen, across this read and the ones before it.
    const std::size_t total = tailLength_ + size;
    const std::size_t kept = std::min(total, keep);
    std::array<char, keep> next{};
    for (std::size_t i = 0; i < kept; ++i) {
        const std::size_t at = total - kept + i;
        next[i] = at < tailLength_ ? tail_[at] : bytes[at - tailLength_];
    }
    tail_ = next;
    tailLength_ = kept;
    return found;
}
