#include "platform/thread_priority.h"

#include <QTest>

#include <sys/resource.h>
#include <unistd.h>

#include <thread>

class TestThreadPriority : public QObject
{
    Q_OBJECT
private slots:
    // A worker that yields runs below the interface thread, and only that worker does: the
    // interface thread and later workers keep their own priority.
    void lowersOnlyTheCallingThread()
    {
        const int ours = ::getpriority(PRIO_PROCESS, ::gettid());
        int worker = ours;
        int workerAgain = ours;
        std::thread([&] {
            ThreadPriority::yieldToInterface();
            worker = ::getpriority(PRIO_PROCESS, ::gettid());
            ThreadPriority::yieldToInterface();
            workerAgain = ::getpriority(PRIO_PROCESS, ::gettid());
        }).join();
        int other = -100;
        std::thread([&] { other = ::getpriority(PRIO_PROCESS, ::gettid()); }).join();

        QCOMPARE(worker, std::max(ours, 10));
        QCOMPARE(workerAgain, worker);
        QCOMPARE(::getpriority(PRIO_PROCESS, ::gettid()), ours);
        QCOMPARE(other, ours);
    }
};

QTEST_GUILESS_MAIN(TestThreadPriority)
#include "tst_thread_priority.moc"
