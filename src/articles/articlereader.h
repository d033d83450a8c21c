// Reads article text files line by line in fixed blocks, as both article passes do.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

namespace vardeko {

// Reads CR LF (or LF) terminated lines in blocks of 2048 bytes into a buffer of at most
// 32768 bytes. A line that finds no end within the buffer is cut at the buffer's end
// and continues as the next line; a CR that ends such a cut is kept for the next read,
// so that a CR LF split between two blocks still ends the cut line. The last line may
// lack its line end. Lines are bytes (the file's own code page).
class ArticleLineReader
{
public:
    static constexpr qsizetype BlockSize = 2048;
    static constexpr qsizetype BufferSize = 32768;

    ArticleLineReader() = default;
    explicit ArticleLineReader(const QString &fileName) { open(fileName); }

    // Opens read-only; false when the file cannot be opened.
    bool open(const QString &fileName);
    void close();
    bool isOpen() const { return mFile.isOpen(); }

    // The next line without its line end, valid until the next call; false at the end
    // of the file or on a read error (see error()).
    bool readLine(QByteArrayView *line);
    // Same, copied.
    bool readLine(QByteArray *line);
    // The next line whole however long, as the records of a formatted file are read:
    // unmeasured link targets can make them longer than the buffer.
    bool readRecord(QByteArrayView *line);

    // Moves to a byte position and empties the buffer.
    bool seek(qint64 position);

    bool atEnd() const { return mEof && mStart == mEnd; }
    bool error() const { return mError; }

private:
    bool fill();
    void compact();

    QFile mFile;
    QByteArray mBuffer = QByteArray(BufferSize, '\0');
    qsizetype mStart = 0;
    qsizetype mEnd = 0;
    bool mEof = false;
    bool mError = false;
    bool mHeldCr = false; // a cut line ended in a CR that stayed in the buffer
    bool mCut = false;    // the last line handed out goes on in the next
    QByteArray mJoined;
};

// Number of text lines in a file, 0 when it cannot be opened.
int CountFileLines(const QString &fileName);

} // namespace vardeko
