#pragma once

#include <cstddef>

// Writes all of the bytes, through interruptions and short writes; false
// when the descriptor would take no more.
bool writeAll(int fd, const char* bytes, std::size_t size);
