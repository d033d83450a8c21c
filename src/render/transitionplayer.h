// Plays the steps of a transition in time.
#pragma once

#include "transition.h"

#include <functional>

namespace vardeko {

// Shows each step through `show` and waits its time. The waits are deadlines counted from
// the start, so slow painting shortens the next wait instead of adding to the total.
// While waiting, windows repaint and timers run; the reader's input waits until the
// effect has ended, so a click or Stop during an effect acts after it.
void playTransition(const QList<TransitionStep> &steps, const std::function<void(const TransitionStep &)> &show);

} // namespace vardeko
