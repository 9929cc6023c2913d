#pragma once

#include <QStringList>

#include <cstdio>

// `zentrove --import FILE...`: imports through the library's own pipeline without a window.
// One line per file shows its progress: redrawn in place on a terminal, plain lines otherwise.
namespace ImportCommand {

// Runs the imports to the end (lock-screen copies included). 0 when every file was added to the
// library, 1 otherwise (unknown types, refusals and failures). A terminate, interrupt or hang-up
// signal stops the imports under way, removing their work files, and answers 128 + the signal.
// Needs a running QCoreApplication; no screen.
int run(const QStringList& files, std::FILE* out = stdout);

// `text` with control characters (and the marks that reorder a line) written as C escapes, so
// a file name printed to a terminal cannot act on it.
QString printable(const QString& text);

} // namespace ImportCommand
