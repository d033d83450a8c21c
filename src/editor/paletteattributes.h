// The tool palette's attributes applied to objects: by its buttons to the selection,
// by drops to one object.
#pragma once

#include "publication.h"
#include "toolpalette.h"

namespace vardeko {

// Changes the fields one palette attribute governs. A fill colour dropped on an object
// without fill also makes the fill solid, so that the colour shows.
void applyAttribute(PageObject &object, PaletteAttribute which, const ToolAttributes &values,
                    bool dropped);

// Applies to every selected top-level object of the stack; returns how many changed.
int applyAttributeToSelection(ObjectList &stack, PaletteAttribute which,
                              const ToolAttributes &values);

} // namespace vardeko
