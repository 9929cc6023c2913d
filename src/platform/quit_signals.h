#pragma once

#include <functional>

// Turns the signals that ask a process to end (15 terminate, 2 interrupt, 1 hang-up) into a call
// on the main thread, so the process can give back what it took and leave its event loop.
namespace QuitSignals {

// Installs the handlers; `onQuit` gets the signal number. Call once, after the application
// object exists.
void install(std::function<void(int signal)> onQuit);

} // namespace QuitSignals
