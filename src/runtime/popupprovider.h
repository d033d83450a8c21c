// The pop-ups and page transitions of run mode, as the run session asks for them.
#pragma once

#include "runproviders.h"

namespace vardeko {

// Puts the reader's pop-ups, dialogs and page transitions into run mode's provider slots.
void installReaderProviders();

std::unique_ptr<PopupProvider> makeReaderPopups();
std::unique_ptr<TransitionProvider> makeReaderTransitions();

} // namespace vardeko
