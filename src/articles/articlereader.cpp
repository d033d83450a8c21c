// Reads article text files line by line in fixed blocks, as both article passes do.
#include "articlereader.h"

#include <cstring>

namespace vardeko {

bool ArticleLineReader::open(const QString &fileName)
{
    close();
    mFile.setFileName(fileName);
    return mFile.open(QIODevice::ReadOnly);
}

void ArticleLineReader::close()
{
    if (mFile.isOpen())
        mFile.close();
    mStart = mEnd = 0;
    mEof = mError = mHeldCr = mCut = false;
}

void ArticleLineReader::compact()
{
    if (mStart == 0)
        return;
    const qsizetype n = mEnd - mStart;
    if (n > 0)
        std::memmove(mBuffer.data(), mBuffer.constData() + mStart, size_t(n));
    mStart = 0;
    mEnd = n;
}

// Adds one block; false when none fits or the file is used up.
bool ArticleLineReader::fill()
{
    if (mEof || !mFile.isOpen())
        return false;
    if (mEnd + BlockSize > BufferSize)
        compact();
    if (mEnd + BlockSize > BufferSize)
        return false;
    const qint64 got = mFile.read(mBuffer.data() + mEnd, BlockSize);
    if (got < 0) {
        mError = true;
        mEof = true;
        return false;
    }
    if (got == 0) {
        mEof = true;
        return false;
    }
    mEnd += qsizetype(got);
    return true;
}

bool ArticleLineReader::readLine(QByteArrayView *line)
{
    if (!mFile.isOpen())
        return false;
    for (;;) {
        const char *base = mBuffer.constData();
        if (mHeldCr) {
            // The CR that ended a cut line: with its LF it ends that line.
            if (mEnd - mStart < 2 && !mEof)
                fill();
            base = mBuffer.constData();
            mHeldCr = false;
            if (mEnd - mStart >= 2 && base[mStart] == '\r' && base[mStart + 1] == '\n') {
                mStart += 2;
                continue;
            }
        }
        const void *lf = mStart < mEnd ? std::memchr(base + mStart, '\n', size_t(mEnd - mStart)) : nullptr;
        if (lf) {
            const qsizetype at = static_cast<const char *>(lf) - base;
            qsizetype stop = at;
            if (stop > mStart && base[stop - 1] == '\r')
                --stop;
            *line = QByteArrayView(base + mStart, stop - mStart);
            mStart = at + 1;
            mCut = false;
            return true;
        }
        if (fill())
            continue;
        if (mStart == mEnd)
            return false;
        // No line end: the end of the file, or a line longer than the buffer.
        qsizetype stop = mEnd;
        if (!mEof && base[stop - 1] == '\r' && stop - 1 > mStart) {
            --stop;
            mHeldCr = true;
        }
        *line = QByteArrayView(base + mStart, stop - mStart);
        mStart = stop;
        mCut = !mEof;
        return true;
    }
}

bool ArticleLineReader::readLine(QByteArray *line)
{
    QByteArrayView view;
    if (!readLine(&view))
        return false;
    *line = view.toByteArray();
    return true;
}

bool ArticleLineReader::readRecord(QByteArrayView *line)
{
    QByteArrayView piece;
    if (!readLine(&piece))
        return false;
    if (!mCut) {
        *line = piece;
        return true;
    }
    mJoined = piece.toByteArray();
    while (mCut) {
        if (mHeldCr) {
            // The cut fell between the CR and the LF that end the line.
            if (mEnd - mStart < 2)
                fill();
            if (mEnd - mStart >= 2 && mBuffer.constData()[mStart] == '\r' && mBuffer.constData()[mStart + 1] == '\n') {
                mStart += 2;
                mHeldCr = mCut = false;
                break;
            }
        }
        if (!readLine(&piece))
            break;
        mJoined += piece;
    }
    *line = mJoined;
    return true;
}

bool ArticleLineReader::seek(qint64 position)
{
    mStart = mEnd = 0;
    mEof = mHeldCr = mCut = false;
    if (!mFile.isOpen() || position < 0 || !mFile.seek(position)) {
        mEof = true;
        return false;
    }
    return true;
}

int CountFileLines(const QString &fileName)
{
    ArticleLineReader reader;
    if (!reader.open(fileName))
        return 0;
    int count = 0;
    QByteArrayView line;
    while (reader.readLine(&line))
        ++count;
    return count;
}

} // namespace vardeko
