#pragma once

#include <QStringList>

#include <cstdio>

// `zentrove --import FILE...`: imports through the library's own pipeline without a window.
// One line per file shows its progress: redrawn in place on a terminal, plain lines otherwise.
namespace ImportCommand {

// Runs the imports to the end (lock-screen copies included). 0 when every file was added to the
// library, 1 otherwise (unknown types, refusals and failures). Needs a running Q*Application.
int run(const QStringList& files, std::FILE* out = stdout);

} // namespace ImportCommand
