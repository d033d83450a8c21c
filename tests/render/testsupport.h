// Shared helpers of the rendering tests.
#pragma once

#include <QImage>
#include <QObject>
#include <QString>

#include <functional>
#include <vector>

// Test classes register themselves; main runs each in turn.
std::vector<std::function<QObject *()>> &testRegistry();

#define VARDEKO_REGISTER_TEST(Class) \
    static const bool Class##Registered = [] { \
        testRegistry().push_back([] { return new Class; }); \
        return true; \
    }()

// The shared third-party test files.
QString testDataDir();
// The tests' own folder (tests/).
QString testSourceDir();

// Pixels whose largest channel difference is above `tolerance`; alpha counts only
// where either pixel is not fully transparent.
struct ImageDifference
{
    bool sameSize = false;
    int differing = 0;
    int maxChannelDelta = 0;
    QImage diff; // differing pixels red on a grey copy of `actual`
};
ImageDifference compareImages(const QImage &actual, const QImage &expected, int tolerance);
