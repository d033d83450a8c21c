// The layout pass: caret-code article text into a file of equal-length display lines.
#include "articlelayout.h"

#include "articlereader.h"
#include "filenames.h"
#include "ioerrors.h"

#include <QFile>
#include <QCursor>
#include <QGuiApplication>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace vardeko {

namespace {

// A link target or marker name with no closing code is cut after this many bytes, so
// malformed text cannot make one record hold the rest of a long file.
constexpr size_t MaxPulledText = ArticleLineReader::BufferSize;

struct LayoutState
{
    int style = 0;
    bool centre = false;
    bool reverse = false;
    bool inLink = false; // in the visible text of a link
    bool marker = false; // after "^M", until the name has been passed
};

qint64 clampWidth(qint64 w)
{
    return std::clamp<qint64>(w, 0, MaxArticleWidth);
}

// Up to five digits after a code; 0 when there are none.
int readNumber(const std::string &s, size_t *pos)
{
    int n = 0;
    int digits = 0;
    while (*pos < s.size() && digits < 5 && s[*pos] >= '0' && s[*pos] <= '9') {
        n = n * 10 + (s[*pos] - '0');
        ++*pos;
        ++digits;
    }
    return n;
}

// Position of the first "^C" at or after `from` that is a code (not the "C" after a
// literal "^^").
size_t firstCentreCode(const std::string &s, size_t from)
{
    const char *base = s.data();
    const size_t n = s.size();
    size_t i = from;
    while (i + 1 < n) {
        const void *caret = std::memchr(base + i, '^', n - 1 - i);
        if (!caret)
            break;
        i = size_t(static_cast<const char *>(caret) - base);
        if (base[i + 1] == 'C')
            return i;
        i += 2;
    }
    return std::string::npos;
}

int prefixKey(const LayoutState &s)
{
    return (s.style & 31) | (s.centre << 5) | (s.reverse << 6) | (s.inLink << 7);
}

class Layout
{
public:
    Layout(ArticleCanvas &canvas, int width, bool wrap)
        : mCanvas(canvas)
        , mWidth(width)
        , mWrap(wrap)
    {
        mState.style = canvas.baseFont().style & 15;
        mStart = mState;
        mPrefixKey = prefixKey(mState);
        mSpace = canvas.textWidth(" ");
    }

    bool open(const QString &source) { return mIn.open(source); }
    bool readError() const { return mIn.error(); }

    // Appends one display line (without its line end) to *out and gives its width;
    // false at the end of the text.
    bool buildLine(std::string *out, qint64 *lineWidth);

private:
    enum Fetch { GotWord, NoWord, Exhausted };

    const std::string &prefixText(int key)
    {
        if (!(mPrefixMade[size_t(key) / 64] >> (key % 64) & 1)) {
            const QByteArray p = articleLinePrefix(key & 31, key & 32, key & 64, key & 128);
            mPrefixes[size_t(key)].assign(p.constData(), size_t(p.size()));
            mPrefixMade[size_t(key) / 64] |= quint64(1) << (key % 64);
        }
        return mPrefixes[size_t(key)];
    }
    Fetch fetchWord(std::string_view *word);
    bool nextSourceLine();
    qint64 measureWord(std::string_view *word);
    qint64 measureCodedWord(std::string &word);
    qint64 measureRun(const std::string &word, size_t from, size_t to);
    size_t pullThrough(std::string &word, size_t from, char letter);
    void joinFollowingWord(std::string &word);

    ArticleCanvas &mCanvas;
    ArticleLineReader mIn;
    int mWidth;
    bool mWrap;
    int mSpace = 0;
    LayoutState mState;
    LayoutState mStart;
    int mPrefixKey = 0;
    std::array<std::string, 256> mPrefixes;
    std::array<quint64, 4> mPrefixMade{};

    // The current source line: the reader's own bytes, or mLineCopy when NULs had to
    // become blanks. Words handed out point into it until the next source line.
    std::string_view mLine;
    std::string mLineCopy;
    size_t mRest = 0;        // where what is left of it starts
    bool mLineUsed = true;

    std::string mCoded;      // a word with codes, and what it pulled in
    bool mPending = false;   // a word that did not fit waits for the next line
    std::string mPendingWord;
    qint64 mPendingWidth = 0;
    LayoutState mPendingAfter;
};

bool Layout::nextSourceLine()
{
    QByteArrayView view;
    if (!mIn.readLine(&view))
        return false;
    mLine = std::string_view(view.data(), size_t(view.size()));
    if (mWrap && std::memchr(mLine.data(), '\0', mLine.size())) {
        mLineCopy.assign(mLine);
        std::replace(mLineCopy.begin(), mLineCopy.end(), '\0', ' ');
        mLine = mLineCopy;
    }
    mRest = 0;
    mLineUsed = false;
    return true;
}

Layout::Fetch Layout::fetchWord(std::string_view *word)
{
    if (mLineUsed && !nextSourceLine())
        return Exhausted;
    if (!mWrap) {
        *word = mLine;
        mLineUsed = true;
        return GotWord;
    }
    size_t begin = mLine.find_first_not_of(' ', mRest);
    if (begin == std::string_view::npos) {
        // A blank source line ends the display line.
        mLineUsed = true;
        return NoWord;
    }
    size_t end = mLine.find(' ', begin);
    if (end == std::string_view::npos) {
        *word = mLine.substr(begin);
        mRest = mLine.size();
    } else {
        *word = mLine.substr(begin, end - begin);
        mRest = end + 1;
    }
    if (mLine.find_first_not_of(' ', mRest) == std::string_view::npos)
        mLineUsed = true;
    return GotWord;
}

qint64 Layout::measureRun(const std::string &word, size_t from, size_t to)
{
    if (to <= from)
        return 0;
    return mCanvas.textWidth(QByteArrayView(word.data() + from, qsizetype(to - from)));
}

// Appends source text to the word until it holds "^<letter>" after `from`; returns the
// position of that code. A target that runs over a source line is joined with one
// blank, so no line break ever gets inside a display line. In wrap mode what follows
// the code stays in the source line for the next words.
size_t Layout::pullThrough(std::string &word, size_t from, char letter)
{
    const char code[3] = {'^', letter, 0};
    size_t found = word.find(code, from);
    if (found != std::string::npos)
        return found;
    for (;;) {
        if (word.size() - from > MaxPulledText || ((mLineUsed || mRest >= mLine.size()) && !nextSourceLine())) {
            // No closing code (within reason): the link or marker ends here.
            word += code;
            return word.size() - 2;
        }
        const size_t joinAt = word.size() + 1;
        const size_t pieceStart = mRest;
        word += ' ';
        word.append(mLine.substr(mRest));
        mRest = mLine.size();
        mLineUsed = true;
        found = word.find(code, joinAt);
        if (found == std::string::npos)
            continue;
        if (mWrap) {
            const size_t after = found + 2;
            mRest = pieceStart + (after - joinAt);
            word.resize(after);
            mLineUsed = mLine.find_first_not_of(' ', mRest) == std::string_view::npos;
        }
        return found;
    }
}

void Layout::joinFollowingWord(std::string &word)
{
    if (!mWrap || mLineUsed || mRest >= mLine.size())
        return;
    size_t begin = mRest;
    // A space before the next word, or the one the word fetch split at, stays.
    const bool spaced = mLine[begin] == ' ' || (begin > 0 && mLine[begin - 1] == ' ');
    begin = mLine.find_first_not_of(' ', begin);
    if (begin == std::string_view::npos) {
        mLineUsed = true;
        return;
    }
    size_t end = mLine.find(' ', begin);
    if (end == std::string_view::npos)
        end = mLine.size();
    if (spaced)
        word += ' ';
    word.append(mLine.substr(begin, end - begin));
    mRest = end < mLine.size() ? end + 1 : end;
    if (mLine.find_first_not_of(' ', mRest) == std::string_view::npos)
        mLineUsed = true;
}

// A word without codes, outside links and markers, is measured in one call; any other
// is copied, as it may pull in more of the text, and scanned code by code.
qint64 Layout::measureWord(std::string_view *word)
{
    mCanvas.setStyle(mState.style);
    if (!mState.inLink && !mState.marker && !std::memchr(word->data(), '^', word->size()))
        return mCanvas.textWidth(QByteArrayView(word->data(), qsizetype(word->size())));
    mCoded.assign(*word);
    const qint64 width = measureCodedWord(mCoded);
    *word = mCoded;
    return width;
}

qint64 Layout::measureCodedWord(std::string &word)
{
    qint64 width = 0;
    size_t run = 0;
    size_t i = 0;
    while (i < word.size()) {
        const char c = word[i];
        if (c == '^' && i + 1 < word.size()) {
            width += measureRun(word, run, i);
            const char letter = word[i + 1];
            i += 2;
            run = i;
            switch (letter) {
            case 'B': mState.style |= ArticleBold; break;
            case 'b': mState.style &= ~ArticleBold; break;
            case 'I': mState.style |= ArticleItalic; break;
            case 'i': mState.style &= ~ArticleItalic; break;
            case 'U': mState.style |= ArticleUnderline; break;
            case 'u': mState.style &= ~ArticleUnderline; break;
            case 'X': mState.style |= ArticleStrikeOut; break;
            case 'x': mState.style &= ~ArticleStrikeOut; break;
            case 'F': mState.style |= ArticleFixedPitch; break;
            case 'f': mState.style &= ~ArticleFixedPitch; break;
            case 'C': mState.centre = true; break;
            case 'c': mState.centre = false; break;
            case 'R': mState.reverse = true; break;
            case 'r': mState.reverse = false; break;
            case 'S':
            case 's':
                width += qint64(readNumber(word, &i)) * mCanvas.emWidth();
                run = i;
                break;
            case 'T':
            case 't':
                width = std::max(width, qint64(readNumber(word, &i)) * mCanvas.emWidth());
                run = i;
                break;
            case 'L': mState.inLink = true; break;
            case 'l': mState.inLink = false; break;
            case 'M': mState.marker = true; break;
            case 'm': mState.marker = false; break;
            case '^': run = i - 1; break; // a literal caret starts the next run
            default: break;               // unknown codes are dropped
            }
            mCanvas.setStyle(mState.style);
            width = clampWidth(width);
            continue;
        }
        if (c == '=' && mState.inLink) {
            // The target is neither drawn nor measured.
            width += measureRun(word, run, i);
            const size_t close = pullThrough(word, i + 1, 'l');
            mState.inLink = false;
            i = close + 2;
            run = i;
            if (i == word.size())
                joinFollowingWord(word);
            continue;
        }
        if (mState.marker) {
            width += measureRun(word, run, i);
            const size_t close = pullThrough(word, i, 'm');
            mState.marker = false;
            i = close + 2;
            run = i;
            continue;
        }
        ++i;
    }
    width += measureRun(word, run, word.size());
    return clampWidth(width);
}

bool Layout::buildLine(std::string *out, qint64 *lineWidth)
{
    if (!mWrap) {
        // Each source line stands alone in the drawing, so it is measured alone too.
        const bool inLink = mState.inLink, marker = mState.marker;
        mState = mStart;
        mState.inLink = inLink;
        mState.marker = marker;
    }
    const size_t start = out->size();
    out->append(prefixText(mPrefixKey));
    qint64 width = 0;
    qint64 lastWord = 0;
    bool any = false;
    for (;;) {
        std::string_view word;
        qint64 w;
        LayoutState before = mState;
        if (mPending) {
            word = mPendingWord;
            w = mPendingWidth;
            mState = mPendingAfter;
            mPending = false;
        } else {
            const Fetch f = fetchWord(&word);
            if (f == Exhausted && !any) {
                out->resize(start);
                return false;
            }
            if (f != GotWord)
                break;
            w = measureWord(&word);
        }
        lastWord = w;
        if (!mWrap) {
            out->append(word);
            width = w;
            any = true;
            break;
        }
        if (width + mSpace + w > mWidth) {
            if (any) {
                mPending = true;
                mPendingWord.assign(word);
                mPendingWidth = w;
                mPendingAfter = mState;
                mState = before;
                break;
            }
            out->append(word);
            width = w;
            any = true;
            mPrefixKey = prefixKey(mState);
            break;
        }
        if (any) {
            *out += ' ';
            width += mSpace;
        }
        out->append(word);
        width = clampWidth(width + w);
        any = true;
        mPrefixKey = prefixKey(mState);
    }
    if (width == 0)
        width = lastWord;
    const size_t centre = firstCentreCode(*out, start);
    if (centre != std::string::npos) {
        char digits[16];
        char *end = std::to_chars(digits, digits + sizeof digits - 1, std::min<qint64>(width, MaxCentreWidth)).ptr;
        *end++ = ' ';
        out->insert(centre + 2, digits, size_t(end - digits));
    }
    *lineWidth = width;
    return true;
}

bool writeAll(QFile &file, const std::string &data)
{
    return file.write(data.data(), qint64(data.size())) == qint64(data.size());
}

// Turns a file of `lines` display lines, each ended by CR LF and none longer than
// record - 3, into records of `record` bytes: each line padded with spaces before its
// line end. Works from the last line back, so every record is written where only
// lines already read lay: the file is written once more but never copied.
bool padRecords(QFile &file, qint64 size, qint64 lines, qint64 record)
{
    if (lines == 0)
        return true;
    if (!file.resize(lines * record))
        return false;
    constexpr qint64 BlockBytes = 256 * 1024;
    constexpr qint64 BatchBytes = 1024 * 1024;
    std::string block;
    std::string padded;
    std::vector<size_t> starts;
    qint64 end = size;   // bytes before this are lines not yet moved
    qint64 next = lines; // and these are their numbers
    qint64 want = BlockBytes;
    while (end > 0) {
        const qint64 from = std::max<qint64>(0, end - want);
        block.resize(size_t(end - from));
        if (!file.seek(from) || file.read(block.data(), qint64(block.size())) != qint64(block.size()))
            return false;
        // The lines that start inside the block; a block holding no whole line grows.
        size_t first = 0;
        if (from > 0) {
            const void *lf = std::memchr(block.data(), '\n', block.size());
            first = lf ? size_t(static_cast<const char *>(lf) - block.data()) + 1 : block.size();
            if (first == block.size()) {
                want *= 2;
                continue;
            }
        }
        starts.clear();
        for (size_t at = first; at < block.size();) {
            starts.push_back(at);
            const void *lf = std::memchr(block.data() + at, '\n', block.size() - at);
            if (!lf)
                return false;
            at = size_t(static_cast<const char *>(lf) - block.data()) + 1;
        }
        const qint64 count = qint64(starts.size());
        if (count > next)
            return false;
        const qint64 batchLines = std::max<qint64>(1, BatchBytes / record);
        for (qint64 stop = count; stop > 0;) {
            const qint64 begin = std::max<qint64>(0, stop - batchLines);
            padded.assign(size_t((stop - begin) * record), ' ');
            for (qint64 k = begin; k < stop; ++k) {
                const size_t lineStart = starts[size_t(k)];
                const size_t lineEnd = k + 1 < count ? starts[size_t(k + 1)] : block.size();
                if (lineEnd - lineStart < 2 || qint64(lineEnd - lineStart) > record - 1)
                    return false;
                char *to = padded.data() + (k - begin) * record;
                std::memcpy(to, block.data() + lineStart, lineEnd - lineStart - 2);
                to[record - 2] = '\r';
                to[record - 1] = '\n';
            }
            if (!file.seek((next - count + begin) * record) || !writeAll(file, padded))
                return false;
            stop = begin;
        }
        next -= count;
        end = from + qint64(first);
        want = BlockBytes;
    }
    return next == 0;
}

class BusyCursor
{
public:
    BusyCursor()
    {
        if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())
            && QGuiApplication::platformName() != QLatin1String("offscreen")) {
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
            mSet = true;
        }
    }
    ~BusyCursor()
    {
        if (mSet)
            QGuiApplication::restoreOverrideCursor();
    }

private:
    bool mSet = false;
};

} // namespace

QByteArray articleLinePrefix(int style, bool centre, bool reverse, bool inLink)
{
    QByteArray p;
    if (style & ArticleBold)
        p += "^B";
    if (style & ArticleUnderline)
        p += "^U";
    if (style & ArticleItalic)
        p += "^I";
    if (style & ArticleStrikeOut)
        p += "^X";
    if (style & ArticleFixedPitch)
        p += "^F";
    if (centre)
        p += "^C";
    if (reverse)
        p += "^R";
    if (inLink)
        p += "^L";
    return p;
}

FormatResult FormatArticle(ArticleCanvas &canvas, const QString &source, int width, bool wrap,
                           QString *formattedFile, const QString &tempDir)
{
    const BusyCursor busy;
    const int savedStyle = canvas.style();
    FormatResult result;
    auto fail = [&](int error) {
        if (!formattedFile->isEmpty())
            QFile::remove(*formattedFile);
        formattedFile->clear();
        canvas.setStyle(savedStyle);
        result = FormatResult();
        result.error = error;
        return result;
    };

    Layout layout(canvas, width, wrap);
    if (!layout.open(source))
        return fail(IoFileNotFound);
    int error = IoOk;
    if (formattedFile->isEmpty()) {
        *formattedFile = MakeTempFileName(tempDir, QStringLiteral("$$$"), &error);
        if (formattedFile->isEmpty())
            return fail(IoNoTempFile);
    }
    // Always rewritten: an article that became empty must not show its old lines.
    QFile out(*formattedFile);
    if (!out.open(QIODevice::ReadWrite | QIODevice::Truncate | QIODevice::Unbuffered))
        return fail(IoWriteFault);
    auto failOut = [&](int code) {
        out.close();
        return fail(code);
    };

    // The lines go out as they are made; once the longest is known they are padded
    // where they lie.
    qint64 widest = wrap ? width : 0;
    qint64 lines = 0;
    qint64 written = 0;
    size_t longest = 0;
    std::string chunk;
    qint64 lineWidth = 0;
    for (;;) {
        const size_t lineStart = chunk.size();
        if (!layout.buildLine(&chunk, &lineWidth))
            break;
        ++lines;
        longest = std::max(longest, chunk.size() - lineStart);
        widest = std::max(widest, lineWidth);
        chunk += "\r\n";
        if (chunk.size() >= 256 * 1024) {
            if (!writeAll(out, chunk))
                return failOut(IoWriteFault);
            written += qint64(chunk.size());
            chunk.clear();
        }
    }
    canvas.setStyle(savedStyle);
    if (!writeAll(out, chunk))
        return failOut(IoWriteFault);
    written += qint64(chunk.size());
    if (layout.readError() || lines > std::numeric_limits<int>::max())
        return failOut(IoWriteFault);
    if (!padRecords(out, written, lines, qint64(longest) + 3))
        return failOut(IoWriteFault);
    out.close();
    if (out.error() != QFileDevice::NoError)
        return fail(IoWriteFault);
    result.ok = true;
    result.lineCount = int(lines);
    result.widest = int(widest);
    return result;
}

} // namespace vardeko
