// The desktop's launch feedback (the busy cursor or the task-bar entry that a
// launcher shows until the program's window appears).
#pragma once

#include <QByteArray>

namespace vardeko {

// The launch this process belongs to, as the launcher named it; taken before the
// windowing system reads and clears it. Empty when the launcher gave none.
QByteArray launchId();

// Ends the feedback for a start that shows no window of its own because it handed
// its files to the running editor. Does nothing outside X11 or without a launch id.
void endLaunchFeedback(const QByteArray &id);

} // namespace vardeko
