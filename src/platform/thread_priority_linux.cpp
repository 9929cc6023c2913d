#include "platform/thread_priority.h"

#include <sys/resource.h>
#include <unistd.h>

void ThreadPriority::yieldToInterface()
{
    // On Linux a nice value set for a thread id applies to that thread alone.
    thread_local bool lowered = false;
    if (lowered)
        return;
    lowered = true;
    const int backgroundNice = 10;
    if (::getpriority(PRIO_PROCESS, ::gettid()) < backgroundNice)
        ::setpriority(PRIO_PROCESS, ::gettid(), backgroundNice);
}
