// The --transition option: plays a page transition between two pictures and prints its steps.
#include "transitioncommand.h"

#include "transition.h"

#include <QCommandLineParser>
#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QTextStream>

#include <cstring>

namespace vardeko {

namespace {

const char Usage[] = "usage: vardeko --transition EFFECT --speed S --from OLD.png --to NEW.png "
                     "[--origin X,Y] [--frames DIR]";

int fail(const QString &message, int code)
{
    QTextStream(stderr) << message << Qt::endl;
    return code;
}

// The effect's number (0 to 15; larger numbers show the page without an effect) or its
// name as the page dialog spells it, in any case; -1 when it is neither.
int parseEffect(const QString &text)
{
    bool isNumber = false;
    const int number = text.toInt(&isNumber);
    if (isNumber)
        return number >= 0 ? number : -1;
    for (int effect = 0; effect <= LastEffect; ++effect)
        if (text.compare(effectName(effect), Qt::CaseInsensitive) == 0)
            return effect;
    return -1;
}

QImage readImage(const QString &fileName, QString *error)
{
    QImageReader reader(fileName);
    QImage image = reader.read();
    if (image.isNull())
        *error = fileName + QStringLiteral(": ") + reader.errorString();
    return image;
}

// Pixel for pixel; the pictures' colour spaces do not count.
bool samePixels(const QImage &a, const QImage &b)
{
    if (a.size() != b.size() || a.format() != b.format())
        return false;
    for (int y = 0; y < a.height(); ++y)
        if (std::memcmp(a.constScanLine(y), b.constScanLine(y), size_t(a.width()) * 4) != 0)
            return false;
    return true;
}

} // namespace

bool isTransitionCommand(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--transition") == 0)
            return true;
    return false;
}

int runTransitionCommand(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption effectOption(QStringLiteral("transition"), QString(), QStringLiteral("EFFECT"));
    const QCommandLineOption speedOption(QStringLiteral("speed"), QString(), QStringLiteral("S"));
    const QCommandLineOption fromOption(QStringLiteral("from"), QString(), QStringLiteral("OLD.png"));
    const QCommandLineOption toOption(QStringLiteral("to"), QString(), QStringLiteral("NEW.png"));
    const QCommandLineOption originOption(QStringLiteral("origin"), QString(), QStringLiteral("X,Y"));
    const QCommandLineOption framesOption(QStringLiteral("frames"), QString(), QStringLiteral("DIR"));
    parser.addOptions({effectOption, speedOption, fromOption, toOption, originOption, framesOption});
    if (!parser.parse(arguments))
        return fail(parser.errorText() + u'\n' + QLatin1String(Usage), 2);
    if (!parser.isSet(speedOption) || !parser.isSet(fromOption) || !parser.isSet(toOption)
        || !parser.positionalArguments().isEmpty())
        return fail(QLatin1String(Usage), 2);

    const int effect = parseEffect(parser.value(effectOption));
    if (effect < 0)
        return fail(QStringLiteral("unknown effect: ") + parser.value(effectOption), 2);
    bool ok = false;
    const int speed = parser.value(speedOption).toInt(&ok);
    if (!ok)
        return fail(QStringLiteral("--speed must be a whole number: ") + parser.value(speedOption), 2);
    QPoint origin;
    if (parser.isSet(originOption)) {
        const QStringList parts = parser.value(originOption).split(u',');
        bool okX = false, okY = false;
        if (parts.size() == 2)
            origin = QPoint(parts[0].trimmed().toInt(&okX), parts[1].trimmed().toInt(&okY));
        if (!okX || !okY)
            return fail(QStringLiteral("--origin must be X,Y: ") + parser.value(originOption), 2);
    }
    QString framesDir;
    if (parser.isSet(framesOption)) {
        framesDir = parser.value(framesOption);
        if (!QDir().mkpath(framesDir))
            return fail(framesDir + QStringLiteral(": cannot create the folder"), 1);
    }

    QString error;
    const QImage oldImage = readImage(parser.value(fromOption), &error);
    if (oldImage.isNull())
        return fail(error, 1);
    const QImage newPage = toTransitionFormat(readImage(parser.value(toOption), &error));
    if (newPage.isNull())
        return fail(error, 1);

    // The old picture stands where the page will be; a smaller one leaves white around it.
    QImage frame(newPage.size(), QImage::Format_ARGB32);
    frame.fill(Qt::white);
    {
        QPainter painter(&frame);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, oldImage);
    }

    QTextStream out(stdout);
    const QList<TransitionStep> steps = transitionSteps(effect, speed, newPage.size(), origin);
    int number = 0;
    for (const TransitionStep &step : steps) {
        ++number;
        if (step.copies.isEmpty())
            out << "Step\t" << number << "\t0,0,0,0\t" << step.waitMs << '\n';
        for (const TransitionCopy &copy : step.copies) {
            const QRect &r = copy.source;
            out << "Step\t" << number << '\t' << r.x() << ',' << r.y() << ',' << r.width() << ','
                << r.height() << '\t' << step.waitMs << '\n';
        }
        applyTransitionStep(frame, newPage, step, origin);
        if (!framesDir.isEmpty()) {
            const QString name = QDir(framesDir).filePath(QStringLiteral("frame-%1.png").arg(number, 4, 10, QLatin1Char('0')));
            if (!frame.save(name))
                return fail(name + QStringLiteral(": cannot write the frame"), 1);
        }
    }
    out << "Done\t" << steps.size() << '\t' << nominalMilliseconds(steps) << '\t' << (samePixels(frame, newPage) ? 1 : 0)
        << '\n';
    out.flush();
    return 0;
}

} // namespace vardeko
