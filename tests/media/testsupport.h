// Shared helpers of the media tests.
#pragma once

#include "palette.h"

#include <QByteArray>
#include <QMetaType>
#include <QObject>
#include <QTest>

#include <functional>
#include <vector>

// Test classes register themselves; main runs each in turn.
std::vector<std::function<QObject *()>> &testRegistry();

#define VARDEKO_REGISTER_TEST(Class)                                                               \
    static const bool Class##Registered = [] {                                                     \
        testRegistry().push_back([] { return new Class; });                                        \
        return true;                                                                               \
    }()

Q_DECLARE_METATYPE(vardeko::PaletteEntry)

// Palette entries print as "red green blue flags N" in failure messages.
namespace QTest {
template<> inline char *toString(const vardeko::PaletteEntry &e)
{
    return qstrdup(QByteArray::number(e.red) + ' ' + QByteArray::number(e.green) + ' '
                   + QByteArray::number(e.blue) + " flags " + QByteArray::number(e.flags));
}
} // namespace QTest
