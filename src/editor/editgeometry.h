// Geometry of the editing gestures: snapping, constraints, hit tests, resizing, aligning.
#pragma once

namespace vardeko {
} // namespace vardeko
