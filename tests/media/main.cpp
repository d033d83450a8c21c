// Runs every test class of the media library.
#include "testsupport.h"

#include <QCoreApplication>
#include <QTest>

#include <memory>

std::vector<std::function<QObject *()>> &testRegistry()
{
    static std::vector<std::function<QObject *()>> registry;
    return registry;
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    int failed = 0;
    for (const auto &make : testRegistry()) {
        std::unique_ptr<QObject> test(make());
        failed += QTest::qExec(test.get(), argc, argv);
    }
    return failed == 0 ? 0 : 1;
}
