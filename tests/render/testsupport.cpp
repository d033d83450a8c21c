// Shared helpers of the rendering tests.
#include "testsupport.h"

#include <QColor>

std::vector<std::function<QObject *()>> &testRegistry()
{
    static std::vector<std::function<QObject *()>> registry;
    return registry;
}

QString testDataDir()
{
    return QString::fromLocal8Bit(qgetenv("VARDEKO_TESTDATA"));
}

QString testSourceDir()
{
    return QString::fromLocal8Bit(qgetenv("VARDEKO_TEST_SOURCE"));
}

ImageDifference compareImages(const QImage &actualIn, const QImage &expectedIn, int tolerance)
{
    ImageDifference result;
    result.sameSize = actualIn.size() == expectedIn.size();
    if (!result.sameSize)
        return result;
    const QImage actual = actualIn.convertToFormat(QImage::Format_ARGB32);
    const QImage expected = expectedIn.convertToFormat(QImage::Format_ARGB32);
    result.diff = actual.convertToFormat(QImage::Format_Grayscale8).convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < actual.height(); ++y) {
        const auto *a = reinterpret_cast<const QRgb *>(actual.constScanLine(y));
        const auto *e = reinterpret_cast<const QRgb *>(expected.constScanLine(y));
        for (int x = 0; x < actual.width(); ++x) {
            const bool visible = qAlpha(a[x]) != 0 || qAlpha(e[x]) != 0;
            if (!visible)
                continue;
            int delta = std::max({std::abs(qRed(a[x]) - qRed(e[x])), std::abs(qGreen(a[x]) - qGreen(e[x])),
                                  std::abs(qBlue(a[x]) - qBlue(e[x])), std::abs(qAlpha(a[x]) - qAlpha(e[x]))});
            // Colour under a fully transparent pixel means nothing.
            if (qAlpha(a[x]) == 0 && qAlpha(e[x]) == 0)
                delta = 0;
            result.maxChannelDelta = std::max(result.maxChannelDelta, delta);
            if (delta > tolerance) {
                ++result.differing;
                result.diff.setPixel(x, y, qRgb(255, 0, 0));
            }
        }
    }
    return result;
}
