// The page transition effects by number and name: a page's PageEffect and the effect
// parameter of PopupImage.
#pragma once

#include <QString>

namespace vardeko {

// "None", "Dissolve", ... "Wipe Down"; empty for numbers outside 0..15.
QString effectName(int effect);
// The last of the names "Dissolve" to "Wipe Down" with which `text` begins, compared
// without regard to case, or 0.
int effectByName(const QString &text);

} // namespace vardeko
