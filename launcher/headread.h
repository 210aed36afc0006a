#pragma once

#include <string>

// The first bytes of a file, at most limit: what a decision about a
// subtitle file needs, however long the file is. Empty when it cannot be
// read.
std::string readHead(const std::string& path, size_t limit);
