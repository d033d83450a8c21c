// An author builds the sample publication's pages by hand in the editor.
#pragma once

#include <QObject>

class TestBuildByHand : public QObject
{
    Q_OBJECT

private slots:
    void buildSamplePagesByHand();
};
