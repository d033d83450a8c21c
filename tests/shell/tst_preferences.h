// Tests of the preference values: parsing, clamping, positions, the Reopen list.
#pragma once

#include <QObject>

class TestPreferences : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void storedIntegers_data();
    void storedIntegers();
    void windowPositions_data();
    void windowPositions();
    void clampingOnRead_data();
    void clampingOnRead();
    void roundTripKeepsEveryValue();
    void noStoredValuesKeepsDefaultsAndWritesAll();
    void marginsWrittenWithTwoDecimals();
    void screenFixUps_data();
    void screenFixUps();
    void firstStartWindowFitsScreen_data();
    void firstStartWindowFitsScreen();
    void reopenListOrderAndLimit();
    void reopenListKeepsFilesThatDifferInCase();
    void reopenListReadStopsAtGap();
    void shorterReopenListLeavesNoStaleEntries();
};
