// Runs every test class of the editor library.
#include "tst_editgeometry.h"

#include <QApplication>
#include <QTest>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    int status = 0;
    {
        TestEditGeometry t;
        status |= QTest::qExec(&t, argc, argv);
    }
    return status;
}
