// Copying files in blocks, with the interface kept alive between blocks: one loop for
// the compiler and the archive.
#pragma once

#include <QtGlobal>

#include <functional>

class QIODevice;
class QString;

namespace vardeko {

// The largest block copied at once. Memory stays bounded by it while the number of
// system calls for a large file stays small.
inline constexpr qint64 CopyBlockSize = 1 << 18;

// Takes a block; returns 0 or the I/O error code of the failed write.
using BlockSink = std::function<int(const char *data, qint64 size)>;
// Runs after every block with the bytes copied so far and the source's size; true stops.
using AfterBlock = std::function<bool(qint64 done, qint64 total)>;

// Copies `in` from where it stands to its end into `sink`. Returns 0, 100 when a read
// fails, or the sink's error; a stop sets *stopped and returns 0.
int copyInBlocks(QIODevice &in, const BlockSink &sink, const AfterBlock &afterBlock = {}, bool *stopped = nullptr);

// Copies a file in blocks into `destination`, written beside it and renamed when
// complete; 10003 when source and destination are one file, 10004 when the copy's
// size differs. A failed or stopped copy leaves no destination; a good one gets the
// source's time stamp.
int copyFileUnchanged(const QString &source, const QString &destination, const AfterBlock &afterBlock = {},
                      bool *stopped = nullptr);

// The archive's codes for a copy onto itself and a copy of the wrong size.
inline constexpr int CopyOntoItself = 10003;
inline constexpr int CopySizeDiffers = 10004;

} // namespace vardeko
