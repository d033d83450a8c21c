// The media options of the command line: --flic-frames, --voc2wav, --make-cartoon.
#include "mediacommands.h"

#include "cartoonfile.h"
#include "consoleoutput.h"
#include "flicdecoder.h"
#include "ioerrors.h"
#include "vocconvert.h"

#include <QCryptographicHash>
#include <QFile>
#include <QImageReader>
#include <QSaveFile>
#include <QTextStream>

namespace vardeko {

namespace {

QByteArray md5(const void *data, size_t size)
{
    return QCryptographicHash::hash(QByteArrayView(static_cast<const char *>(data), qsizetype(size)),
                                    QCryptographicHash::Md5).toHex();
}

// Every frame in play order: the header line, then each frame's plane and palette digests.
int flicFrames(const QString &fileName)
{
    FlicDecoder decoder;
    QString error;
    if (!decoder.openFile(fileName, &error)) {
        err() << fileName << ": " << error << Qt::endl;
        return 1;
    }
    const FlicHeader &h = decoder.header();
    out() << "flic " << h.width << ' ' << h.height << ' ' << h.frames << ' ' << h.delayMs << ' '
          << (h.isFlc ? "FLC" : "FLI") << '\n';
    while (decoder.decodeNext()) {
        out() << decoder.nextFrame() << ' ' << md5(decoder.plane().data(), decoder.plane().size())
              << ' ' << md5(decoder.palette().data(), decoder.palette().size()) << '\n';
    }
    out().flush();
    if (decoder.truncated()) {
        err() << fileName << ": the file ends after frame " << decoder.nextFrame() << " of "
              << h.frames << Qt::endl;
        return 1;
    }
    return 0;
}

int vocToWave(const QString &in, const QString &outName)
{
    const int error = convertVocFile(in, outName);
    if (error != IoOk) {
        err() << in << ": " << consoleText(vocConversionMessage(error)) << Qt::endl;
        return 1;
    }
    return 0;
}

int makeCartoon(const QString &stripName, const QString &framesText, const QString &outName)
{
    bool ok = false;
    const int frames = framesText.toInt(&ok);
    if (!ok || frames < 1 || frames > 65535) {
        err() << "FRAMES must be a number from 1 to 65535" << Qt::endl;
        return 2;
    }
    QFile in(stripName);
    if (!in.open(QIODevice::ReadOnly)) {
        err() << stripName << ": " << in.errorString() << Qt::endl;
        return 1;
    }
    const QByteArray strip = in.readAll();
    QImageReader reader(stripName);
    const QSize size = reader.size();
    if (!reader.canRead() || !size.isValid()) {
        err() << stripName << ": not a picture that can be read" << Qt::endl;
        return 1;
    }
    int frameWidth = 0;
    int frameHeight = 0;
    if (!cartoonFrameSize(size.width(), size.height(), frames, &frameWidth, &frameHeight)) {
        err() << stripName << ": a strip " << size.width() << " pixels wide cannot hold "
              << frames << " frames" << Qt::endl;
        return 1;
    }
    QSaveFile file(outName);
    const QByteArray bytes = cartoonBytes(strip, frames);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        err() << outName << ": " << file.errorString() << Qt::endl;
        return 1;
    }
    out() << "cartoon " << frames << " frames of " << frameWidth << 'x' << frameHeight << Qt::endl;
    return 0;
}

} // namespace

int runMediaCommand(const QStringList &arguments)
{
    const qsizetype at = [&] {
        for (qsizetype i = 1; i < arguments.size(); ++i) {
            const QString &a = arguments.at(i);
            if (a == QLatin1String("--flic-frames") || a == QLatin1String("--voc2wav")
                || a == QLatin1String("--make-cartoon"))
                return i;
        }
        return qsizetype(-1);
    }();
    if (at < 0)
        return -1;
    const QString option = arguments.at(at);
    const QStringList rest = arguments.mid(at + 1);
    if (option == QLatin1String("--flic-frames")) {
        if (rest.size() != 1) {
            err() << "usage: vardeko --flic-frames FILE" << Qt::endl;
            return 2;
        }
        return flicFrames(rest.at(0));
    }
    if (option == QLatin1String("--voc2wav")) {
        if (rest.size() != 2) {
            err() << "usage: vardeko --voc2wav IN.VOC OUT.WAV" << Qt::endl;
            return 2;
        }
        return vocToWave(rest.at(0), rest.at(1));
    }
    if (rest.size() != 3) {
        err() << "usage: vardeko --make-cartoon STRIP.png FRAMES OUT.CAR" << Qt::endl;
        return 2;
    }
    return makeCartoon(rest.at(0), rest.at(1), rest.at(2));
}

} // namespace vardeko
