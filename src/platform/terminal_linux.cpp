#include "platform/terminal.h"

#include <unistd.h>

bool Terminal::isTerminal(std::FILE* stream)
{
    return stream && ::isatty(::fileno(stream)) == 1;
}
