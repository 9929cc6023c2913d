#pragma once

// Scheduling of the calling thread. Qt's thread priorities change nothing for ordinary threads
// on Linux, so a worker that should yield to the interface thread asks for it here.
namespace ThreadPriority {
// Lets every ordinary-priority thread of the machine, the interface thread among them, run first
// whenever both want a core. Affects the calling thread only; later calls are free.
void yieldToInterface();
} // namespace ThreadPriority
