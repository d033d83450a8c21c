// Run mode's media: the media list, tones and the MCI strings behind MediaProvider.
#pragma once

#include "runproviders.h"

#include <memory>

namespace vardeko {

std::unique_ptr<MediaProvider> makeReaderMedia();

} // namespace vardeko
