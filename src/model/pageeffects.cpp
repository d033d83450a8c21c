// The page transition effects by number and name.
#include "pageeffects.h"

#include <iterator>

namespace vardeko {

namespace {

const char *const EffectNames[] = {"None",          "Dissolve",         "Slide Left",      "Slide Right",
                                   "Slide Up",      "Slide Down",       "Explode",         "Implode",
                                   "Weave Horizontal", "Weave Vertical", "Split Horizontal", "Split Vertical",
                                   "Wipe Left",     "Wipe Right",       "Wipe Up",         "Wipe Down"};
constexpr int EffectCount = int(std::size(EffectNames));

} // namespace

QString effectName(int effect)
{
    if (effect < 0 || effect >= EffectCount)
        return QString();
    return QLatin1String(EffectNames[effect]);
}

int effectByName(const QString &text)
{
    int found = 0;
    for (int effect = 1; effect < EffectCount; ++effect) {
        if (text.startsWith(QLatin1String(EffectNames[effect]), Qt::CaseInsensitive))
            found = effect;
    }
    return found;
}

} // namespace vardeko
