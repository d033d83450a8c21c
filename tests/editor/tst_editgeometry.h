// Tests of the editing geometry, without a widget.
#pragma once

#include <QObject>

class TestEditGeometry : public QObject
{
    Q_OBJECT
private slots:
    void snapping_data();
    void snapping();
    void shiftConstraint_data();
    void shiftConstraint();
    void handles_data();
    void handles();
    void hitTestPrefersHandlesThenTopmost();
    void runHitTestEntersDeepNesting();
    void resizeEdges_data();
    void resizeEdges();
    void resizeAnchor_data();
    void resizeAnchor();
    void lineOrigin_data();
    void lineOrigin();
    void align_data();
    void align();
    void centreAndNudge();
};
