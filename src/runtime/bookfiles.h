// The files a compiled program carries: found by name before any on disk, fonts made
// known to the program, media put where a player can open them and removed at the end.
#pragma once

#include "book.h"

#include <QFile>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

namespace vardeko {

// Where extracted files go (the publication's ExtractOp): the low bits choose the
// folder, 128 removes the files when the program ends.
enum ExtractPlace : quint8 {
    ExtractToProgramDir = 1,
    ExtractToSystemDir = 2,
    ExtractToTempDir = 4,
    ExtractToCustomDir = 8,
    ExtractRemoveAtEnd = 128,
};

// Pictures the compiler puts into a program unchanged (PNG, WMF, ICO); any other is
// carried converted to PNG.
bool carriedAsIs(const QString &pictureName);

class BookFiles
{
public:
    BookFiles() = default;
    ~BookFiles();

    // Opens the book appended to `programFile`; 0, or an I/O error code with the reason
    // in errorText() (106 when the program carries no book).
    int open(const QString &programFile);
    const BookReader &reader() const { return mReader; }
    QString errorText() const { return mError; }

    // The publication the program plays (the entry of kind 0).
    const BookEntry *publicationEntry() const;
    // Makes every carried font known to the program; returns how many were taken.
    int registerFonts();
    // Says where carried files go when something asks for them by path: sounds, videos
    // and animations as `extractOp` and `customDir` say (falling back to a private folder
    // where that place cannot be written or holds another file of that name), the rest
    // into the program's private folder.
    void setPlaces(quint8 extractOp, const QString &customDir, const QString &programDir);
    // The path of a carried file by its bare name (any case), put on disk the first time
    // it is asked for; empty when the program does not carry it or it cannot be written
    // (errorText() says why).
    QString path(const QString &bareName);
    // Files removed at the end, because the program put them there.
    QStringList extractedFiles() const { return mCreated; }
    // Removes what unpack() put outside the private folder when the settings ask so.
    void cleanUp();

private:
    int extract(const BookEntry &entry, const QString &dir, bool shared);
    QString privateDir();

    QFile mFile;
    BookReader mReader;
    QString mError;
    std::unique_ptr<QTemporaryDir> mPrivate;
    QHash<QString, QString> mPaths; // case-folded name -> path
    QStringList mCreated;
    QString mMediaDir;
    bool mRemoveAtEnd = true;
};

} // namespace vardeko
