// Runs every test class of the editor library.
#include "tst_clipboard.h"
#include "tst_editcontroller.h"
#include "tst_editgeometry.h"
#include "tst_editwindow.h"
#include "tst_history.h"

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
    {
        TestClipboard t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        TestEditController t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        TestEditWindow t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        TestHistory t;
        status |= QTest::qExec(&t, argc, argv);
    }
    return status;
}
