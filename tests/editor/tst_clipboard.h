// Tests of the pasted-picture file rules and of the drop and palette attribute tables.
#pragma once

#include <QObject>

class TestClipboard : public QObject
{
    Q_OBJECT
private slots:
    void bmpHeader_data();
    void bmpHeader();
    void damagedBitmapsAreRefused_data();
    void damagedBitmapsAreRefused();
    void imageRoundTrip();
    void dropClasses_data();
    void dropClasses();
    void paletteAttributes_data();
    void paletteAttributes();
};
