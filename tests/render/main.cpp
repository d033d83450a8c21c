// Runs every test class of the rendering library.
#include "testsupport.h"

#include <QGuiApplication>
#include <QTest>

#include <memory>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    int failed = 0;
    for (const auto &make : testRegistry()) {
        std::unique_ptr<QObject> test(make());
        failed += QTest::qExec(test.get(), argc, argv);
    }
    return failed == 0 ? 0 : 1;
}
