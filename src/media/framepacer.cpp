// Paces animation frames: each frame is shown when its delay has passed since the
// previous frame's due time, so waits do not add up to drift.
#include "framepacer.h"

#include <algorithm>
#include <thread>

namespace vardeko {

bool FramePacer::waitNext(int delayMs, const std::atomic_bool *stop)
{
    const auto delay = std::chrono::milliseconds(std::max(delayMs, 0));
    mDue += delay;
    const auto now = Clock::now();
    if (now > mDue + delay)
        mDue = now;
    for (;;) {
        if (stop && stop->load())
            return false;
        const auto left = mDue - Clock::now();
        if (left <= Clock::duration::zero())
            return true;
        std::this_thread::sleep_for(std::min<Clock::duration>(left, std::chrono::milliseconds(10)));
    }
}

} // namespace vardeko
