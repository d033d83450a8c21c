// Feeds arbitrary bytes to the publication reader and the exchange-text paste.
#include "publicationfile.h"
#include "textcodec.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstddef>
#include <cstdint>

using namespace vardeko;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString path = QDir::temp().filePath(QStringLiteral("vardeko-fuzz-%1.pub")
                                                              .arg(QCoreApplication::applicationPid()));
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        // Most inputs should get past the header check.
        if (!bytes.startsWith("Vardeko"))
            f.write("Vardeko Windows Document File\r\n");
        f.write(bytes);
    }
    Publication pub;
    readPublication(pub, path);
    publicationBytes(pub, WriteMode::Compiled);

    Publication target;
    readExchangeText(target, *target.firstPage(),
                     QStringLiteral("[Vardeko Objects]\r\n") + decodeWindows1252(bytes));
    return 0;
}
