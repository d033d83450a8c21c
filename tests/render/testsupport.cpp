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

ImageDifference compareImages(const QImage &actualIn, const QImage &expectedIn, int tolerance, CompareMode mode,
                               const QImage &only)
{
    ImageDifference result;
    result.sameSize = actualIn.size() == expectedIn.size();
    if (!result.sameSize)
        return result;
    // Premultiplied, so colour under (nearly) clear pixels weighs as little as it shows.
    const QImage::Format format = mode == CompareMode::Colour ? QImage::Format_ARGB32
                                                              : QImage::Format_ARGB32_Premultiplied;
    const QImage actual = actualIn.convertToFormat(format);
    const QImage expected = expectedIn.convertToFormat(format);
    result.diff = actual.convertToFormat(QImage::Format_Grayscale8).convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < actual.height(); ++y) {
        const auto *a = reinterpret_cast<const QRgb *>(actual.constScanLine(y));
        const auto *e = reinterpret_cast<const QRgb *>(expected.constScanLine(y));
        for (int x = 0; x < actual.width(); ++x) {
            if (!only.isNull() && only.pixelIndex(x, y) == 0)
                continue;
            int delta = std::max({std::abs(qRed(a[x]) - qRed(e[x])), std::abs(qGreen(a[x]) - qGreen(e[x])),
                                  std::abs(qBlue(a[x]) - qBlue(e[x]))});
            if (mode == CompareMode::Premultiplied)
                delta = std::max(delta, std::abs(qAlpha(a[x]) - qAlpha(e[x])));
            else if ((qAlpha(a[x]) == 0) != (qAlpha(e[x]) == 0))
                delta = 255;
            else if (qAlpha(a[x]) == 0)
                delta = 0;
            result.maxChannelDelta = std::max(result.maxChannelDelta, delta);
            if (delta > tolerance) {
                if (result.differing == 0)
                    result.firstDifference = QStringLiteral("%1,%2: actual #%3 expected #%4")
                                                 .arg(x).arg(y).arg(a[x], 8, 16, QLatin1Char('0'))
                                                 .arg(e[x], 8, 16, QLatin1Char('0'));
                ++result.differing;
                result.diff.setPixel(x, y, qRgb(255, 0, 0));
            }
        }
    }
    return result;
}
