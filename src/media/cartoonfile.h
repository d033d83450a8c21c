// Reads and writes ".CAR" cartoon files: a frame count and a picture strip of the frames.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace vardeko {

// The container of a cartoon: "KT", the strip's offset and length, the frame count,
// and the strip picture (any format the image loader reads) at that offset.
struct CartoonFile
{
    int frames = 0;
    QByteArray strip; // the picture file's bytes
};

// False with a reason for a wrong signature, a cut header, a strip outside the file
// or 0 frames.
bool readCartoon(QByteArrayView bytes, CartoonFile *cartoon, QString *error);
bool readCartoonFile(const QString &fileName, CartoonFile *cartoon, QString *error);

// The frame size for a strip of `stripWidth` x `stripHeight` pixels: strip width div
// frames by the strip's height. False when the strip is narrower than its frame count
// (frames would have no width) or empty.
bool cartoonFrameSize(int stripWidth, int stripHeight, int frames, int *frameWidth,
                      int *frameHeight);

// The bytes of a cartoon file holding `strip` with `frames` frames (header then strip).
QByteArray cartoonBytes(const QByteArray &strip, int frames);

} // namespace vardeko
