#pragma once

#include <cstdio>

// Whether a stream is shown on a terminal (where lines may be rewritten in place) rather than
// written to a file or a pipe.
namespace Terminal {
bool isTerminal(std::FILE* stream);
} // namespace Terminal
