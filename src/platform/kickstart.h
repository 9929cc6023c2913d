#pragma once

// Lets a program be started "now" by another process without becoming its child. Started with
// "--kickstart", the program forks: the copy runs on in a session of its own, and the original
// waits until the copy reports how its start went, then exits with that status. The starter
// thus gets a plain exit status (0: running) while the program lives on independently.
namespace Kickstart {

inline constexpr const char* option = "--kickstart";
// Waiting longer than this for the report counts as a failed start.
inline constexpr int reportTimeoutMs = 10000;
// Exit status of the original when no report came in time.
inline constexpr int timedOut = 124;

// When argv holds the option: removes it and forks. The original never returns from here; the
// copy (and a program started without the option) returns normally. Call first thing in main,
// before any threads exist.
void detachIfAsked(int& argc, char** argv);

// The copy's outcome: 0 when it runs (or found another instance running), else the exit status
// to pass on. Does nothing when the process was not kickstarted or already reported.
void report(int status);

} // namespace Kickstart
