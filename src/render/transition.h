// Page transition effects: the steps of each effect, and painting a step into a frame.
#pragma once

#include "pageeffects.h"

#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>

class QImage;

namespace vardeko {

// The page's `PageEffect` numbers.
enum PageEffectNumber {
    NoEffect = 0,
    Dissolve = 1,
    SlideLeft,
    SlideRight,
    SlideUp,
    SlideDown,
    Explode,
    Implode,
    WeaveHorizontal,
    WeaveVertical,
    SplitHorizontal,
    SplitVertical,
    WipeLeft,
    WipeRight,
    WipeUp,
    WipeDown,
    LastEffect = WipeDown
};

// `EffectSpeed` as the effects use it: 0 (fastest) to 10 (slowest).
int clampEffectSpeed(int speed);

// One block copied from the new page: `source` in page coordinates, painted with its
// top-left corner at `target` (the same point except while sliding).
struct TransitionCopy
{
    QRect source;
    QPoint target;
    bool operator==(const TransitionCopy &) const = default;
};

// One step of an effect: first the shown page is scrolled by `scroll` (when not null;
// what scrolls out is lost, what is uncovered is filled by the copies), then the copies
// are painted — through the Dissolve mask of `maskStage` when that is 0..7 — and then
// the effect waits `waitMs` milliseconds.
struct TransitionStep
{
    QPoint scroll;
    QList<TransitionCopy> copies;
    int maskStage = -1;
    int waitMs = 0;
};

// The steps that bring a page of `size` onto the screen with `effect` at `speed`
// (clamped). `origin` is the page's top-left corner in the window's work area, from
// which the Dissolve masks are tiled. Every copy lies inside the page, and the steps
// always end with the whole new page shown; effect 0 and unknown numbers give one
// plain copy of the page.
QList<TransitionStep> transitionSteps(int effect, int speed, QSize size, QPoint origin = QPoint());

// The sum of the steps' waits.
int nominalMilliseconds(const QList<TransitionStep> &steps);

// Paints one step into `frame`, which shows the page area and has the size of `newPage`.
// `newPage` must already be in `frame`'s format (see transitionFormat).
void applyTransitionStep(QImage &frame, const QImage &newPage, const TransitionStep &step,
                         QPoint origin = QPoint());

// The pixel format the applier works in; convert both pictures to it once.
QImage toTransitionFormat(const QImage &image);

// Whether Dissolve stage `stage` keeps the old pixel at work-area point (x, y).
bool dissolveKeepsOld(int stage, int x, int y);

} // namespace vardeko
