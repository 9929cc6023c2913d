#include "platform/kickstart.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

int reportFd = -1;

// In the original: wait for the copy's one status byte, or for the copy to end without one.
[[noreturn]] void waitForReport(pid_t child, int readFd)
{
    pollfd pfd {readFd, POLLIN, 0};
    int ready;
    do {
        ready = ::poll(&pfd, 1, Kickstart::reportTimeoutMs);
    } while (ready < 0 && errno == EINTR);
    if (ready == 0)
        ::_exit(Kickstart::timedOut);
    unsigned char status = 0;
    if (::read(readFd, &status, 1) == 1)
        ::_exit(status);
    // The copy ended before it reported: pass its own exit status on.
    int waitStatus = 0;
    if (::waitpid(child, &waitStatus, 0) == child && WIFEXITED(waitStatus))
        ::_exit(WEXITSTATUS(waitStatus));
    ::_exit(1);
}

} // namespace

void Kickstart::detachIfAsked(int& argc, char** argv)
{
    int at = -1;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], option) == 0)
            at = i;
    if (at < 0)
        return;
    for (int i = at; i < argc; ++i)
        argv[i] = argv[i + 1];
    --argc;

    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        std::exit(1);
    const pid_t child = ::fork();
    if (child < 0)
        std::exit(1);
    if (child > 0) {
        ::close(ends[1]);
        waitForReport(child, ends[0]);
    }
    ::close(ends[0]);
    reportFd = ends[1];
    ::setsid();
    const int devNull = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (devNull >= 0) {
        ::dup2(devNull, STDIN_FILENO);
        ::close(devNull);
    }
}

void Kickstart::report(int status)
{
    if (reportFd < 0)
        return;
    const unsigned char byte = static_cast<unsigned char>(status & 0xFF);
    [[maybe_unused]] const ssize_t written = ::write(reportFd, &byte, 1);
    ::close(reportFd);
    reportFd = -1;
}
