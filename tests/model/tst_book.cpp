// The book container: what a compiled program carries, written and read back, and
// damaged books refused without reading outside the file.
#include "book.h"
#include "ioerrors.h"
#include "testsupport.h"

#include <QBuffer>
#include <QTest>
#include <QtEndian>

using namespace vardeko;

namespace {

const QByteArray Player = QByteArray("\x7f" "ELF player bytes", 17).repeated(3);

struct Item
{
    QString name;
    quint8 kind;
    QByteArray content;
};

QByteArray makeBook(const QList<Item> &items)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    buffer.write(Player);
    BookWriter writer(buffer);
    for (const Item &item : items) {
        const quint8 flags = item.name == QLatin1String("Photo.BMP") ? quint8(BookPreformatted) : quint8(0);
        if (writer.beginEntry(item.name, item.kind, flags) != 0)
            qFatal("entry refused: %s", qPrintable(writer.errorText()));
        // Written in pieces, as the compiler copies files block by block.
        for (qsizetype at = 0; at < item.content.size(); at += 7)
            writer.write(item.content.mid(at, 7));
        writer.endEntry();
    }
    if (writer.finish() != 0)
        qFatal("finish failed");
    return bytes;
}

int openBook(QByteArray bytes, BookReader *reader, QBuffer *buffer)
{
    buffer->setData(bytes);
    buffer->open(QIODevice::ReadOnly);
    return reader->open(buffer);
}

QList<Item> sampleItems()
{
    QByteArray big(100000, Qt::Uninitialized);
    for (int i = 0; i < big.size(); ++i)
        big[i] = char((i * 7919) >> 3);
    return {{QStringLiteral("SAMPLE.PUB"), 0, QByteArray("Title=Sample\r\n")},
            {QStringLiteral("Photo.BMP"), 2, big},
            {QStringLiteral("empty.txt"), 1, QByteArray()},
            {QStringLiteral("Liberation Sans"), 5, QByteArray("font data")},
            {QStringLiteral("Café.wav"), 3, QByteArray("RIFF")}};
}

} // namespace

class TestBook : public QObject
{
    Q_OBJECT

private slots:
    void crcMatchesTheZipPolynomial()
    {
        QCOMPARE(crc32Update(0, "123456789", 9), 0xCBF43926u);
        // Feeding in pieces gives the same value as at once.
        const QByteArray text("The quick brown fox jumps over the lazy dog");
        quint32 crc = 0;
        for (qsizetype at = 0; at < text.size(); at += 5)
            crc = crc32Update(crc, text.constData() + at, qMin<qsizetype>(5, text.size() - at));
        QCOMPARE(crc, 0x414FA339u);
    }

    void fastCrcAgreesWithTheTables()
    {
        // Lengths around the folding's 64- and 16-byte steps, at odd alignments, fed
        // whole and in uneven pieces.
        QByteArray data(5000, Qt::Uninitialized);
        quint32 seed = 12345;
        for (char &c : data) {
            seed = seed * 1103515245u + 12345u;
            c = char(seed >> 23);
        }
        for (const int length : {0, 15, 16, 63, 64, 65, 79, 80, 127, 128, 129, 1000, 4093}) {
            for (const int start : {0, 1, 7}) {
                const char *p = data.constData() + start;
                const quint32 slow = crc32Update(0, p, length, CrcMethod::Tables);
                QCOMPARE(crc32Update(0, p, length), slow);
                quint32 pieces = 0;
                for (int at = 0; at < length; at += 97)
                    pieces = crc32Update(pieces, p + at, qMin(97, length - at));
                QCOMPARE(pieces, slow);
            }
        }
        QCOMPARE(crc32Update(0, QByteArray(4096, 'a').constData(), 4096), 0x9C99DC73u);
    }

    void roundTrip()
    {
        const QList<Item> items = sampleItems();
        const QByteArray bytes = makeBook(items);
        QVERIFY(bytes.startsWith(Player));
        BookReader reader;
        QBuffer buffer;
        QCOMPARE(openBook(bytes, &reader, &buffer), 0);
        QCOMPARE(reader.payloadOffset(), quint64(Player.size()));
        // The empty file gets no record; the others keep their order.
        QCOMPARE(reader.entries().size(), size_t(4));
        QStringList names;
        for (const BookEntry &e : reader.entries())
            names << e.name;
        QCOMPARE(names, QStringList({"SAMPLE.PUB", "Photo.BMP", "Liberation Sans", "Café.wav"}));
        // A laid-out article keeps its mark; nothing else has one.
        QCOMPARE(reader.find("PHOTO.BMP")->flags, quint8(BookPreformatted));
        QCOMPARE(reader.find("Café.wav")->flags, quint8(0));
        for (const Item &item : items) {
            const BookEntry *e = reader.find(item.name.toUpper());
            if (item.content.isEmpty()) {
                QVERIFY(!e);
                continue;
            }
            QVERIFY2(e, qPrintable(item.name));
            QCOMPARE(e->kind, item.kind);
            QByteArray read;
            QCOMPARE(reader.read(*e, &read), 0);
            QCOMPARE(read, item.content);
            QByteArray copied;
            QBuffer out(&copied);
            out.open(QIODevice::WriteOnly);
            QCOMPARE(reader.copy(*e, out), 0);
            QCOMPARE(copied, item.content);
        }
    }

    void emptyBook()
    {
        BookReader reader;
        QBuffer buffer;
        QCOMPARE(openBook(makeBook({}), &reader, &buffer), 0);
        QVERIFY(reader.entries().empty());
    }

    void writerRefusesNames_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("mentions");
        QTest::newRow("same name in another case") << "PHOTO.BMP" << "photo.bmp" << "PHOTO.BMP";
        QTest::newRow("folder, slash") << "a.txt" << "img/x.bmp" << "img/x.bmp";
        QTest::newRow("folder, backslash") << "a.txt" << "C:\\x.bmp" << "C:\\x.bmp";
        QTest::newRow("drive") << "a.txt" << "C:x.bmp" << "C:x.bmp";
        QTest::newRow("parent") << "a.txt" << ".." << "..";
        QTest::newRow("control character") << "a.txt" << "x\ny" << "control";
        QTest::newRow("too long") << "a.txt" << QString(253, u'x') << "252";
        QTest::newRow("empty") << "a.txt" << "" << "empty";
    }

    void writerRefusesNames()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QString, mentions);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        BookWriter writer(buffer);
        QCOMPARE(writer.beginEntry(first, 2), 0);
        writer.write(QByteArray("x"));
        writer.endEntry();
        QCOMPARE(writer.beginEntry(second, 2), int(IoInvalidFormat));
        QVERIFY2(writer.errorText().contains(mentions), qPrintable(writer.errorText()));
        if (first.compare(second, Qt::CaseInsensitive) == 0)
            QVERIFY2(writer.errorText().contains(second), qPrintable(writer.errorText()));
    }

    void damagedBooks_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("error");
        const QByteArray good = makeBook(sampleItems());
        const qsizetype trailer = good.size() - BookTrailerSize;
        const qsizetype dir = trailer - 4 * BookRecordSize;

        // Rewrites a trailer field and its CRC so that only the field is wrong.
        auto withTrailer = [&](qsizetype at, quint64 value, int bytesWide) {
            QByteArray b = good;
            char *t = b.data() + trailer;
            if (bytesWide == 4)
                qToLittleEndian<quint32>(quint32(value), t + at);
            else
                qToLittleEndian<quint64>(value, t + at);
            qToLittleEndian<quint32>(crc32Update(0, t, 36), t + 36);
            return b;
        };
        // Rewrites a directory field and the directory CRC: a consistent but lying book.
        auto withRecord = [&](int record, qsizetype at, quint64 value, int bytesWide) {
            QByteArray b = good;
            char *r = b.data() + dir + record * BookRecordSize;
            if (bytesWide == 8)
                qToLittleEndian<quint64>(value, r + at);
            else if (bytesWide == 2)
                qToLittleEndian<quint16>(quint16(value), r + at);
            else
                r[at] = char(value);
            char *t = b.data() + trailer;
            qToLittleEndian<quint32>(crc32Update(0, b.constData() + dir, 4 * BookRecordSize), t + 32);
            qToLittleEndian<quint32>(crc32Update(0, t, 36), t + 36);
            return b;
        };

        QTest::newRow("nothing appended") << Player << int(IoInvalidFormat);
        QTest::newRow("empty") << QByteArray() << int(IoInvalidFormat);
        QTest::newRow("cut short") << good.left(good.size() - 1) << int(IoInvalidFormat);
        QTest::newRow("cut in the middle") << good.left(good.size() / 2) << int(IoInvalidFormat);
        QByteArray flipped = good;
        flipped[trailer + 13] = char(flipped[trailer + 13] ^ 1);
        QTest::newRow("trailer bit flipped") << flipped << int(IoInvalidFormat);
        QByteArray dirFlip = good;
        dirFlip[dir + 30] = char(dirFlip[dir + 30] ^ 0x20);
        QTest::newRow("directory bit flipped") << dirFlip << int(IoInvalidFormat);
        QTest::newRow("other version") << withTrailer(8, 2, 4) << int(IoInvalidFormat);
        QTest::newRow("huge count") << withTrailer(12, 0xFFFFFFFF, 4) << int(IoInvalidFormat);
        QTest::newRow("count off by one") << withTrailer(12, 5, 4) << int(IoInvalidFormat);
        QTest::newRow("directory offset near 2^64") << withTrailer(24, ~quint64(0) - 10, 8) << int(IoInvalidFormat);
        QTest::newRow("payload after directory") << withTrailer(16, quint64(dir) + 1, 8) << int(IoInvalidFormat);
        QTest::newRow("size runs past directory") << withRecord(1, 8, quint64(dir), 8) << int(IoInvalidFormat);
        QTest::newRow("size near 2^64") << withRecord(3, 8, ~quint64(0), 8) << int(IoInvalidFormat);
        QTest::newRow("offset inside player") << withRecord(0, 0, 3, 8) << int(IoInvalidFormat);
        QTest::newRow("entries overlap") << withRecord(2, 0, Player.size() + 5, 8) << int(IoInvalidFormat);
        QTest::newRow("zero size") << withRecord(3, 8, 0, 8) << int(IoInvalidFormat);
        QTest::newRow("unknown kind") << withRecord(0, 20, 9, 1) << int(IoInvalidFormat);
        QTest::newRow("unknown flag") << withRecord(0, 21, 0x80, 1) << int(IoInvalidFormat);
        QTest::newRow("name length zero") << withRecord(0, 22, 0, 2) << int(IoInvalidFormat);
        QTest::newRow("name length past field") << withRecord(0, 22, 300, 2) << int(IoInvalidFormat);
        QTest::newRow("name with folder") << withRecord(1, 24 + 5, '/', 1) << int(IoInvalidFormat);
        QTest::newRow("name with drive") << withRecord(1, 24 + 1, ':', 1) << int(IoInvalidFormat);
        QTest::newRow("name with NUL") << withRecord(1, 24 + 1, 0, 1) << int(IoInvalidFormat);
        QTest::newRow("garbage after name") << withRecord(1, 24 + 100, 'x', 1) << int(IoInvalidFormat);
        QTest::newRow("name not UTF-8") << withRecord(1, 24, 0xC3, 1) << int(IoInvalidFormat);
        // "Photo.BMP" -> "SAMPLE.BMP"? Same length as "SAMPLE.PUB" is needed for a twin.
        QByteArray twin = good;
        {
            char *r = twin.data() + dir + 1 * BookRecordSize;
            std::memset(r + 24, 0, BookMaxNameBytes);
            std::memcpy(r + 24, "sample.pub", 10);
            qToLittleEndian<quint16>(10, r + 22);
            char *t = twin.data() + trailer;
            qToLittleEndian<quint32>(crc32Update(0, twin.constData() + dir, 4 * BookRecordSize), t + 32);
            qToLittleEndian<quint32>(crc32Update(0, t, 36), t + 36);
        }
        QTest::newRow("two entries, one name") << twin << int(IoInvalidFormat);
    }

    void damagedBooks()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, error);
        BookReader reader;
        QBuffer buffer;
        QCOMPARE(openBook(bytes, &reader, &buffer), error);
        QVERIFY(!reader.errorText().isEmpty());
        QVERIFY(reader.entries().empty());
    }

    void damagedContentFailsItsCrc()
    {
        QByteArray bytes = makeBook(sampleItems());
        bytes[Player.size() + 20 + 500] = char(bytes[Player.size() + 20 + 500] ^ 0x40);
        BookReader reader;
        QBuffer buffer;
        QCOMPARE(openBook(bytes, &reader, &buffer), 0);
        const BookEntry *photo = reader.find(QStringLiteral("photo.bmp"));
        QVERIFY(photo);
        QByteArray read;
        QCOMPARE(reader.read(*photo, &read), 154);
        QVERIFY(read.isEmpty());
        QByteArray copied;
        QBuffer out(&copied);
        out.open(QIODevice::WriteOnly);
        QCOMPARE(reader.copy(*photo, out), 154);
        // The other entries are unharmed.
        QCOMPARE(reader.read(*reader.find(QStringLiteral("SAMPLE.PUB")), &read), 0);
    }
};

VARDEKO_REGISTER_TEST(TestBook);

#include "tst_book.moc"
