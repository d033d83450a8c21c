// Runs every test class of the shell library.
#include "tst_buildbyhand.h"
#include "tst_desktop.h"
#include "tst_mainform.h"
#include "tst_pagedialogs.h"
#include "tst_preferences.h"
#include "tst_spelling.h"

#include <QApplication>
#include <QTest>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    int status = 0;
    {
        TestPreferences t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        TestMainForm t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        TestPageDialogs t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        TestDesktop t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        TestSpelling t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        TestBuildByHand t;
        status |= QTest::qExec(&t, argc, argv);
    }
    return status;
}
