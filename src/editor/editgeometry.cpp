// Geometry of the editing gestures: snapping, constraints, hit tests, resizing, aligning.
#include "editgeometry.h"

namespace vardeko {
} // namespace vardeko
