// Shared helpers of the rendering tests.
#pragma once

#include "thirdpartyfiles.h"

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

// How two pictures are compared.
enum class CompareMode {
    Premultiplied, // every channel, premultiplied
    Colour,        // red, green and blue where both show; clear in the same places
};

// Pixels whose largest channel difference is above `tolerance`; only where `only`
// (when given) has a set pixel.
struct ImageDifference
{
    bool sameSize = false;
    int differing = 0;
    int maxChannelDelta = 0;
    QString firstDifference; // "x,y: actual #aarrggbb expected #aarrggbb"
    QImage diff; // differing pixels red on a grey copy of `actual`
};
ImageDifference compareImages(const QImage &actual, const QImage &expected, int tolerance,
                               CompareMode mode = CompareMode::Premultiplied, const QImage &only = QImage());
