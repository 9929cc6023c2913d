#pragma once

#include <atomic>

// Shared between whoever starts long media work and the work itself: cancel() stops it at the
// next frame, chunk or read.
class CancelFlag
{
public:
    void cancel() { m_cancelled.store(true); }
    bool isCancelled() const { return m_cancelled.load(); }

private:
    std::atomic<bool> m_cancelled{false};
};
