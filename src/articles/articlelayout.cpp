// The layout pass: caret-code article text into a file of equal-length display lines.
#include "articlelayout.h"

#include "articlereader.h"
#include "filenames.h"
#include "ioerrors.h"

#include <QFile>
#include <QCursor>
#include <QGuiApplication>

#include <algorithm>
#include <limits>
#include <string>

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

// Position of the first "^C" that is a code (not the "C" after a literal "^^").
size_t firstCentreCode(const std::string &s)
{
    for (size_t i = 0; i + 1 < s.size(); ++i) {
        if (s[i] != '^')
            continue;
        if (s[i + 1] == 'C')
            return i;
        ++i;
    }
    return std::string::npos;
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
        mPrefix = prefixOf(mState);
        mSpace = canvas.textWidth(" ");
    }

    bool open(const QString &source) { return mIn.open(source); }
    bool readError() const { return mIn.error(); }

    // One display line into *out with its width; false at the end of the text.
    bool buildLine(std::string *out, qint64 *lineWidth);

private:
    enum Fetch { GotWord, NoWord, Exhausted };

    // The prefix of a state; made again only when the state changed.
    const QByteArray &prefixOf(const LayoutState &s)
    {
        const int key = s.style | (s.centre << 5) | (s.reverse << 6) | (s.inLink << 7);
        if (key != mPrefixKey) {
            mPrefixKey = key;
            mPrefixCache = articleLinePrefix(s.style, s.centre, s.reverse, s.inLink);
        }
        return mPrefixCache;
    }
    Fetch fetchWord(std::string *word);
    bool nextSourceLine();
    qint64 measureWord(std::string &word);
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
    QByteArray mPrefix;
    QByteArray mPrefixCache;
    int mPrefixKey = -1;

    std::string mLine;       // the current source line
    size_t mRest = 0;        // where what is left of it starts
    bool mLineUsed = true;

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
    mLine.assign(view.data(), size_t(view.size()));
    if (mWrap)
        std::replace(mLine.begin(), mLine.end(), '\0', ' ');
    mRest = 0;
    mLineUsed = false;
    return true;
}

Layout::Fetch Layout::fetchWord(std::string *word)
{
    if (mLineUsed && !nextSourceLine())
        return Exhausted;
    if (!mWrap) {
        *word = mLine;
        mLineUsed = true;
        return GotWord;
    }
    size_t begin = mLine.find_first_not_of(' ', mRest);
    if (begin == std::string::npos) {
        // A blank source line ends the display line.
        mLineUsed = true;
        return NoWord;
    }
    size_t end = mLine.find(' ', begin);
    if (end == std::string::npos) {
        word->assign(mLine, begin);
        mRest = mLine.size();
    } else {
        word->assign(mLine, begin, end - begin);
        mRest = end + 1;
    }
    if (mLine.find_first_not_of(' ', mRest) == std::string::npos)
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
        word.append(mLine, mRest);
        mRest = mLine.size();
        mLineUsed = true;
        found = word.find(code, joinAt);
        if (found == std::string::npos)
            continue;
        if (mWrap) {
            const size_t after = found + 2;
            mRest = pieceStart + (after - joinAt);
            word.resize(after);
            mLineUsed = mLine.find_first_not_of(' ', mRest) == std::string::npos;
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
    if (begin == std::string::npos) {
        mLineUsed = true;
        return;
    }
    size_t end = mLine.find(' ', begin);
    if (end == std::string::npos)
        end = mLine.size();
    if (spaced)
        word += ' ';
    word.append(mLine, begin, end - begin);
    mRest = end < mLine.size() ? end + 1 : end;
    if (mLine.find_first_not_of(' ', mRest) == std::string::npos)
        mLineUsed = true;
}

qint64 Layout::measureWord(std::string &word)
{
    mCanvas.setStyle(mState.style);
    if (!mState.inLink && !mState.marker && word.find('^') == std::string::npos)
        return mCanvas.textWidth(QByteArrayView(word.data(), qsizetype(word.size())));
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
    const QByteArray prefix = mPrefix;
    std::string text;
    qint64 width = 0;
    qint64 lastWord = 0;
    bool any = false;
    std::string word;
    for (;;) {
        qint64 w;
        LayoutState before = mState;
        if (mPending) {
            word.swap(mPendingWord);
            w = mPendingWidth;
            mState = mPendingAfter;
            mPending = false;
        } else {
            const Fetch f = fetchWord(&word);
            if (f == Exhausted && !any)
                return false;
            if (f != GotWord)
                break;
            w = measureWord(word);
        }
        lastWord = w;
        if (!mWrap) {
            text = word;
            width = w;
            any = true;
            break;
        }
        if (width + mSpace + w > mWidth) {
            if (any) {
                mPending = true;
                mPendingWord.swap(word);
                mPendingWidth = w;
                mPendingAfter = mState;
                mState = before;
                break;
            }
            text = word;
            width = w;
            any = true;
            mPrefix = prefixOf(mState);
            break;
        }
        if (any) {
            text += ' ';
            width += mSpace;
        }
        text += word;
        width = clampWidth(width + w);
        any = true;
        mPrefix = prefixOf(mState);
    }
    if (width == 0)
        width = lastWord;
    out->assign(prefix.constData(), size_t(prefix.size()));
    *out += text;
    const size_t centre = firstCentreCode(*out);
    if (centre != std::string::npos)
        out->insert(centre + 2, std::to_string(std::min<qint64>(width, MaxCentreWidth)) + ' ');
    *lineWidth = width;
    return true;
}

bool writeAll(QFile &file, const std::string &data)
{
    return file.write(data.data(), qint64(data.size())) == qint64(data.size());
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

    int error = IoOk;
    const QString tempName = MakeTempFileName(tempDir, QStringLiteral("$$$"), &error);
    if (tempName.isEmpty())
        return fail(IoNoTempFile);
    struct Remove
    {
        QString name;
        ~Remove() { QFile::remove(name); }
    } removeTemp{tempName};

    QFile temp(tempName);
    if (!temp.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return fail(IoNoTempFile);
    Layout layout(canvas, width, wrap);
    if (!layout.open(source))
        return fail(IoFileNotFound);

    qint64 widest = wrap ? width : 0;
    qint64 lines = 0;
    size_t longest = 0;
    std::string line;
    std::string chunk;
    qint64 lineWidth = 0;
    bool ok = true;
    while (layout.buildLine(&line, &lineWidth)) {
        ++lines;
        longest = std::max(longest, line.size());
        widest = std::max(widest, lineWidth);
        chunk += line;
        chunk += "\r\n";
        if (chunk.size() >= 65536) {
            if (!writeAll(temp, chunk)) {
                ok = false;
                break;
            }
            chunk.clear();
        }
    }
    if (ok && !writeAll(temp, chunk))
        ok = false;
    temp.close();
    canvas.setStyle(savedStyle);
    if (!ok || layout.readError() || lines > std::numeric_limits<int>::max())
        return fail(IoWriteFault);

    if (formattedFile->isEmpty()) {
        *formattedFile = MakeTempFileName(tempDir, QStringLiteral("$$$"), &error);
        if (formattedFile->isEmpty())
            return fail(IoNoTempFile);
    }
    // Always rewritten: an article that became empty must not show its old lines.
    QFile out(*formattedFile);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return fail(IoWriteFault);
    if (lines > 0) {
        ArticleLineReader back;
        if (!back.open(tempName))
            return fail(IoFileNotFound);
        const size_t record = longest + 1;
        chunk.clear();
        QByteArrayView view;
        while (back.readLine(&view)) {
            chunk.append(view.data(), size_t(view.size()));
            chunk.append(record - size_t(view.size()), ' ');
            chunk += "\r\n";
            if (chunk.size() >= 65536) {
                if (!writeAll(out, chunk))
                    return fail(IoWriteFault);
                chunk.clear();
            }
        }
        if (back.error() || !writeAll(out, chunk))
            return fail(IoWriteFault);
    }
    if (!out.flush())
        return fail(IoWriteFault);
    out.close();
    result.ok = true;
    result.lineCount = int(lines);
    result.widest = int(widest);
    return result;
}

} // namespace vardeko
