// Copying files in blocks, with the interface kept alive between blocks: one loop for
// the compiler and the archive.
#include "filecopy.h"

#include "ioerrors.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace vardeko {

int copyInBlocks(QIODevice &in, const BlockSink &sink, const AfterBlock &afterBlock, bool *stopped)
{
    // Read into one buffer: a mapping of the file would cost a page fault for every
    // page, which is slower than copying it.
    const qint64 total = in.isSequential() ? -1 : in.size() - in.pos();
    QByteArray block(qsizetype(total > 0 ? qMin(total, CopyBlockSize) : CopyBlockSize), Qt::Uninitialized);
    qint64 done = 0;
    while (true) {
        const qint64 n = in.read(block.data(), block.size());
        if (n < 0)
            return IoReadError;
        if (n == 0)
            return IoOk;
        if (const int error = sink(block.constData(), n))
            return error;
        done += n;
        if (afterBlock && afterBlock(done, total)) {
            if (stopped)
                *stopped = true;
            return IoOk;
        }
    }
}

int copyFileUnchanged(const QString &source, const QString &destination, const AfterBlock &afterBlock,
                      bool *stopped)
{
    const QFileInfo from(source);
    if (!from.exists())
        return IoFileNotFound;
    const QFileInfo to(destination);
    if (to.exists() && from.canonicalFilePath() == to.canonicalFilePath())
        return CopyOntoItself;
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return IoAccessDenied;
    // Written beside and renamed: a failure leaves no partial file under the name.
    QSaveFile out(destination);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return QFileInfo(to.absolutePath()).isDir() ? int(IoAccessDenied) : int(IoPathNotFound);
    auto writeError = [&out] {
        return out.error() == QFileDevice::ResourceError ? int(IoDiskFull) : int(IoWriteFault);
    };
    qint64 total = 0;
    bool stop = false;
    const int error = copyInBlocks(
            in,
            [&](const char *data, qint64 n) {
                if (out.write(data, n) != n)
                    return writeError();
                total += n;
                return int(IoOk);
            },
            afterBlock, &stop);
    if (error || stop) {
        out.cancelWriting();
        if (stop && stopped)
            *stopped = true;
        return error;
    }
    if (total != in.size()) {
        out.cancelWriting();
        return CopySizeDiffers;
    }
    // The data is on the medium before the name is: a diskette may be taken out next.
    if (!out.commit())
        return writeError();
    if (QFileInfo(destination).size() != from.size()) {
        QFile::remove(destination);
        return CopySizeDiffers;
    }
    QFile stamped(destination);
    if (stamped.open(QIODevice::ReadWrite))
        stamped.setFileTime(from.lastModified(), QFileDevice::FileModificationTime);
    return IoOk;
}

} // namespace vardeko
