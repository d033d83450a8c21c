// Paces animation frames: each frame is shown when its delay has passed since the
// previous frame's due time, so waits do not add up to drift.
#pragma once

#include <atomic>
#include <chrono>

namespace vardeko {

class FramePacer
{
public:
    using Clock = std::chrono::steady_clock;

    // The first frame is due now.
    void start() { mDue = Clock::now(); }
    // Waits until the frame `delayMs` after the previous one is due, waking at least every
    // 10 ms to look at `stop`. False when stopped. A pacer that fell more than a frame
    // behind starts counting again from now rather than hurrying to catch up.
    bool waitNext(int delayMs, const std::atomic_bool *stop = nullptr);
    Clock::time_point due() const { return mDue; }

private:
    Clock::time_point mDue = Clock::now();
};

} // namespace vardeko
