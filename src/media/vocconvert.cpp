// Converts Creative Voice (.VOC) sounds to RIFF wave files.
#include "vocconvert.h"

#include "ioerrors.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstring>

namespace vardeko {

namespace {

constexpr char Signature[] = "Creative Voice File";
constexpr int SignatureSize = 19;
constexpr int MinimalHeader = 22; // signature, one byte, the first block's offset
constexpr int WaveHeaderSize = 44;
constexpr quint32 DefaultRate = 11025;

enum BlockType { Terminator = 0, SoundData = 1, SoundContinue = 2, Extended = 8 };

void put16(char *p, quint32 v)
{
    p[0] = char(v & 0xFF);
    p[1] = char((v >> 8) & 0xFF);
}

void put32(char *p, quint32 v)
{
    put16(p, v);
    put16(p + 2, v >> 16);
}

} // namespace

int vocToWav(QByteArrayView voc, QByteArray *wave)
{
    const auto *p = reinterpret_cast<const uint8_t *>(voc.data());
    const qsizetype size = voc.size();
    if (size < MinimalHeader || std::memcmp(p, Signature, SignatureSize) != 0)
        return IoInvalidFormat;
    const qsizetype first = p[20] | (p[21] << 8);
    if (first < MinimalHeader || first > size)
        return IoInvalidFormat;

    QByteArray out(WaveHeaderSize, '\0');
    char *h = out.data();
    std::memcpy(h, "RIFF", 4);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    put32(h + 16, 16);
    put16(h + 20, 1); // PCM
    put16(h + 22, 1); // mono
    put16(h + 32, 1); // block alignment
    put16(h + 34, 8); // bits per sample
    std::memcpy(h + 36, "data", 4);

    int timeConstant = -1;
    qsizetype pos = first;
    while (pos < size) {
        const int type = p[pos];
        if (type == Terminator || pos + 4 > size)
            break;
        const qsizetype length = p[pos + 1] | (p[pos + 2] << 8) | (qsizetype(p[pos + 3]) << 16);
        const qsizetype start = pos + 4;
        const qsizetype end = std::min(start + length, size);
        if (type == SoundData) {
            if (start < end)
                timeConstant = p[start]; // the last one read counts
            if (start + 2 < end)
                out.append(reinterpret_cast<const char *>(p + start + 2), end - start - 2);
        } else if (type == SoundContinue) {
            out.append(reinterpret_cast<const char *>(p + start), end - start);
        }
        pos = start + length;
    }

    // Rates above 65535 (time constants above 240) keep all their bits.
    const quint32 rate = timeConstant < 0 ? DefaultRate : quint32(1000000 / (256 - timeConstant));
    h = out.data();
    put32(h + 4, quint32(out.size() - 8));
    put32(h + 24, rate);
    put32(h + 28, rate);
    put32(h + 40, quint32(out.size() - WaveHeaderSize));
    *wave = std::move(out);
    return IoOk;
}

int convertVocFile(const QString &vocName, const QString &wavName)
{
    QFile in(vocName);
    if (!in.open(QIODevice::ReadOnly))
        return in.error() == QFileDevice::PermissionsError ? IoAccessDenied : IoFileNotFound;
    const QByteArray voc = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return IoReadError;
    QByteArray wave;
    if (const int error = vocToWav(voc, &wave))
        return error;
    QSaveFile out(wavName);
    if (!out.open(QIODevice::WriteOnly)) {
        const QFileInfo dir(QFileInfo(wavName).absolutePath());
        if (!dir.exists())
            return IoPathNotFound;
        return dir.isWritable() ? IoWriteFault : IoAccessDenied;
    }
    if (out.write(wave) != wave.size()) {
        out.cancelWriting();
        return IoDiskFull;
    }
    return out.commit() ? IoOk : IoWriteFault;
}

int ConvertVocToWav(QString &fileName)
{
    // The name keeps its form (folders, separators); only the extension changes.
    const qsizetype slash = std::max(fileName.lastIndexOf(u'/'), fileName.lastIndexOf(u'\\'));
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const QString wave = (dot > slash ? fileName.left(dot) : fileName) + QLatin1String(".WAV");
    if (QFileInfo::exists(wave)) {
        fileName = wave;
        return IoOk;
    }
    const int error = convertVocFile(fileName, wave);
    if (error == IoOk)
        fileName = wave;
    return error;
}

QString vocConversionMessage(int error)
{
    return vocmsg::ConvertFailed + ioErrorMessage(error);
}

std::function<QString(const QString &)>
vocConversionForReading(std::function<void(const QString &message)> report)
{
    return [report = std::move(report)](const QString &voc) {
        QString name = voc;
        const int error = ConvertVocToWav(name);
        if (error == IoOk)
            return name;
        if (report)
            report(vocConversionMessage(error));
        return QString();
    };
}

} // namespace vardeko
