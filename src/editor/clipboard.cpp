// Cut, Copy and Paste of page objects through the system clipboard, and pasted pictures.
#include "clipboard.h"

#include "editcontroller.h"
#include "editgeometry.h"
#include "editortexts.h"
#include "imageloader.h"
#include "ioerrors.h"
#include "publicationfile.h"
#include "textmeasurer.h"

#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QtEndian>

#include <cerrno>

namespace vardeko {

namespace {

constexpr int FileHeaderSize = 14;
constexpr quint32 BiRgb = 0;
constexpr quint32 BiBitfields = 3;

quint32 readU32(const QByteArray &b, int at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}
qint32 readI32(const QByteArray &b, int at)
{
    return qFromLittleEndian<qint32>(b.constData() + at);
}
quint16 readU16(const QByteArray &b, int at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}

void appendU32(QByteArray &b, quint32 v)
{
    char bytes[4];
    qToLittleEndian<quint32>(v, bytes);
    b.append(bytes, 4);
}
void appendU16(QByteArray &b, quint16 v)
{
    char bytes[2];
    qToLittleEndian<quint16>(v, bytes);
    b.append(bytes, 2);
}

bool fail(QString *error, const char *why)
{
    if (error)
        *error = QLatin1String(why);
    return false;
}

} // namespace

QByteArray bmpFileFromDib(const QByteArray &dib, QString *error)
{
    if (dib.size() < 40) {
        fail(error, "bitmap header too short");
        return {};
    }
    const quint32 headerSize = readU32(dib, 0);
    const qint32 width = readI32(dib, 4);
    const qint32 height = readI32(dib, 8);
    const quint16 planes = readU16(dib, 12);
    const quint16 bitCount = readU16(dib, 14);
    const quint32 compression = readU32(dib, 16);
    const quint32 imageSize = readU32(dib, 20);
    const quint32 colorsUsed = readU32(dib, 32);
    if (headerSize < 40 || headerSize > quint32(dib.size())) {
        fail(error, "bad bitmap header size");
        return {};
    }
    if (width <= 0 || height == 0 || height == std::numeric_limits<qint32>::min() || planes != 1) {
        fail(error, "bad bitmap dimensions");
        return {};
    }
    switch (bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32:
        break;
    default:
        fail(error, "bad bit count");
        return {};
    }
    // The colour table: every entry of the bit count, or as many as the header says it uses.
    qint64 paletteEntries = 0;
    if (bitCount <= 8) {
        const qint64 full = qint64(1) << bitCount;
        if (colorsUsed > full) {
            fail(error, "colour table larger than the bit count allows");
            return {};
        }
        paletteEntries = colorsUsed ? colorsUsed : full;
    } else {
        paletteEntries = colorsUsed;
    }
    // A short header is followed by three colour masks for bit fields.
    const qint64 masks = headerSize == 40 && compression == BiBitfields ? 12 : 0;
    qint64 pixels = imageSize;
    if (pixels == 0) {
        if (compression != BiRgb && compression != BiBitfields) {
            fail(error, "compressed bitmap without an image size");
            return {};
        }
        const qint64 stride = ((qint64(width) * bitCount + 31) / 32) * 4;
        const qint64 rows = std::abs(qint64(height));
        // Rows that cannot fit in the data are refused before their product can overflow.
        if (stride > dib.size() || rows > dib.size()) {
            fail(error, "bitmap data shorter than its header says");
            return {};
        }
        pixels = stride * rows;
    }
    const qint64 offset = FileHeaderSize + qint64(headerSize) + masks + 4 * paletteEntries;
    const qint64 fileSize = offset + pixels;
    if (fileSize - FileHeaderSize > dib.size()) {
        fail(error, "bitmap data shorter than its header says");
        return {};
    }
    if (fileSize > std::numeric_limits<qint32>::max()) {
        fail(error, "bitmap too large");
        return {};
    }
    QByteArray file;
    file.reserve(int(fileSize));
    file.append("BM", 2);
    appendU32(file, quint32(fileSize));
    appendU32(file, 0);
    appendU32(file, quint32(offset));
    file.append(dib.constData(), qsizetype(fileSize - FileHeaderSize));
    return file;
}

QByteArray dibFromImage(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB888);
    if (image.isNull())
        return {};
    const int width = image.width();
    const int height = image.height();
    const int stride = ((width * 24 + 31) / 32) * 4;
    QByteArray dib;
    appendU32(dib, 40);
    appendU32(dib, quint32(width));
    appendU32(dib, quint32(height));
    appendU16(dib, 1);
    appendU16(dib, 24);
    appendU32(dib, BiRgb);
    appendU32(dib, quint32(stride * height));
    appendU32(dib, 3780); // 96 dots per inch
    appendU32(dib, 3780);
    appendU32(dib, 0);
    appendU32(dib, 0);
    QByteArray row(stride, '\0');
    for (int y = height - 1; y >= 0; --y) {
        const uchar *line = image.constScanLine(y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = char(line[3 * x + 2]);
            row[3 * x + 1] = char(line[3 * x + 1]);
            row[3 * x + 2] = char(line[3 * x]);
        }
        dib.append(row);
    }
    return dib;
}

bool canPaste(const QMimeData *data)
{
    return data && ((data->hasText() && !data->text().isEmpty()) || data->hasImage()
                    || data->hasFormat(QStringLiteral("image/bmp")));
}

void copySelection(EditController &controller)
{
    if (Page *page = controller.page())
        QGuiApplication::clipboard()->setText(exchangeText(*page));
}

void cutSelection(EditController &controller)
{
    if (!controller.page())
        return;
    copySelection(controller);
    if (controller.selectedCount() == 0)
        return;
    controller.edit(edtext::step::Cut, [&controller](Page &page) {
        return !deleteSelected(controller.publication(), page).isNull();
    });
}

namespace {

// Appends a new object centred on the page, selected, on top of the stack.
void addCentred(EditController &controller, ObjectPtr object)
{
    const Publication &pub = controller.publication();
    const QPoint d = centreOffset(objectRect(*object),
                                  QSize(pub.Settings.ScreenWidth, pub.Settings.ScreenHeight));
    offsetObject(*object, d.x(), d.y());
    object->Selected = true;
    controller.addObject(std::move(object));
}

bool pasteText(EditController &controller, const QString &text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &line : lines)
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    // A final line break ends the last line; it does not start another.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    if (lines.isEmpty())
        return false;

    Publication &pub = controller.publication();
    Page &page = *controller.page();
    controller.edit(edtext::step::Paste, [&](Page &) {
        selectAll(page.Objects, false);
        if (lines.first() == QLatin1String(ExchangeMarker)) {
            const int error = readExchangeText(pub, page, text);
            if (error != 0)
                controller.host().alert(controller.workArea().surface(), edtext::ErrorTitle,
                                        ioErrorMessage(error));
            return true;
        }
        ObjectPtr object = pub.createObject(TextKind, controller.host().toolAttributes());
        if (!object) {
            controller.host().alert(controller.workArea().surface(), edtext::ErrorTitle,
                                    ioErrorMessage(IoOutOfMemory));
            return true;
        }
        object->text()->Text = lines.join(QLatin1Char('|'));
        fitText(*object, QtTextMeasurer());
        addCentred(controller, std::move(object));
        return true;
    });
    return true;
}

QByteArray clipboardDib(const QMimeData *data)
{
    // A BMP file on the clipboard holds the bitmap behind its 14-byte file header.
    const QByteArray bmp = data->data(QStringLiteral("image/bmp"));
    if (bmp.size() > FileHeaderSize && bmp.startsWith("BM"))
        return bmp.mid(FileHeaderSize);
    const QImage image = qvariant_cast<QImage>(data->imageData());
    return image.isNull() ? QByteArray() : dibFromImage(image);
}

bool pastePicture(EditController &controller, const QMimeData *data, QString &imageDir)
{
    EditHost &host = controller.host();
    QWidget *parent = controller.workArea().surface();
    const QByteArray dib = clipboardDib(data);
    QString why;
    const QByteArray bytes = dib.isEmpty() ? QByteArray() : bmpFileFromDib(dib, &why);
    if (bytes.isEmpty()) {
        host.alert(parent, edtext::ErrorTitle, edtext::UnableToSaveClipboard);
        return false;
    }
    QString file = host.chooseSaveFile(parent, edtext::SaveClipboardImage,
                                       edtext::PastedImagesFilter, imageDir);
    if (file.isEmpty())
        return false;
    if (QFileInfo(file).suffix().compare(QLatin1String("BMP"), Qt::CaseInsensitive) != 0)
        file += QStringLiteral(".BMP");
    if (QFileInfo::exists(file)
        && !host.confirm(parent, edtext::SaveTitle, edtext::ReplaceExisting + file + QLatin1Char('?')))
        return false;

    QFile out(file);
    int error = IoOk;
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        error = ioErrorFromErrno(errno);
    else if (out.write(bytes) != bytes.size() || !out.flush())
        error = ioErrorFromErrno(errno ? errno : EIO);
    out.close();
    if (error != IoOk) {
        host.alert(parent, edtext::ErrorTitle,
                   edtext::UnableToSaveClipboard + QStringLiteral("\n\n") + ioErrorMessage(error));
        return false;
    }
    const QSize size = ImageLoader::imageSize(file);
    if (!size.isValid() || size.isEmpty()) {
        host.alert(parent, edtext::ErrorTitle, edtext::UnableToSaveClipboard);
        return false;
    }
    Publication &pub = controller.publication();
    Page &page = *controller.page();
    ObjectPtr object = pub.createObject(PictureKind, host.toolAttributes());
    if (!object) {
        host.alert(parent, edtext::ErrorTitle, ioErrorMessage(IoOutOfMemory));
        return false;
    }
    controller.edit(edtext::step::Paste, [&](Page &) {
        selectAll(page.Objects, false);
        object->picture()->FileName = QFileInfo(file).absoluteFilePath();
        object->X1 = 0;
        object->Y1 = 0;
        object->X2 = size.width() + 2 * object->LineWidth;
        object->Y2 = size.height() + 2 * object->LineWidth;
        addCentred(controller, std::move(object));
        return true;
    });
    return true;
}

} // namespace

bool pasteData(EditController &controller, const QMimeData *data, QString &imageDir)
{
    if (!data || !controller.page() || controller.isRunning())
        return false;
    if (data->hasText() && !data->text().isEmpty())
        return pasteText(controller, data->text());
    if (data->hasImage() || data->hasFormat(QStringLiteral("image/bmp")))
        return pastePicture(controller, data, imageDir);
    return false;
}

} // namespace vardeko
