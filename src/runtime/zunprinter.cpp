// The text printer: margins, header and footer codes, tabs, wrapping and page breaks.
#include "zunprinter.h"

#include <QLocale>
#include <QPagedPaintDevice>
#include <QPdfWriter>
#include <QPrinter>
#include <QTime>

#include <algorithm>

namespace vardeko {

QString substituteHeaderCodes(const QString &text, const QString &title, int page, const QString &date,
                              const QString &time)
{
    QString result;
    result.reserve(text.size() + title.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != u'&' || i + 1 >= text.size()) {
            result += c;
            continue;
        }
        switch (text.at(i + 1).toUpper().unicode()) {
        case u'&': result += u'&'; break;
        case u'F': result += title; break;
        case u'P': result += QString::number(page); break;
        case u'D': result += date; break;
        case u'T': result += time; break;
        default: result += c; continue; // not a code: the next character is ordinary
        }
        ++i;
    }
    return result;
}

int nextTabStop(int x, int width)
{
    if (width <= 0)
        return x;
    // The next multiple of the width strictly after x.
    return (x / width + 1) * width;
}

TZunPrinter::TZunPrinter(QPagedPaintDevice *device, const PrintOptions &options)
    : mDevice(device)
    , mOptions(options)
    , mFont(QStringLiteral("Arial"), 10)
{
}

TZunPrinter::~TZunPrinter()
{
    if (mPainter.isActive())
        mPainter.end();
}

bool TZunPrinter::BeginDoc()
{
    pageNumberOffset = 0;
    mLinesOnPage = 0;
    mPage = 1;
    mPagesStarted = 1;
    mPagePending = false;
    mHeaderDone = false;
    const QDateTime now = QDateTime::currentDateTime();
    mDate = QLocale().toString(now.date(), QLocale::ShortFormat);
    mTime = QLocale().toString(now.time(), QLocale::ShortFormat);
    const QString jobName = mOptions.title.toUpper();
    if (auto *printer = dynamic_cast<QPrinter *>(mDevice))
        printer->setDocName(jobName);
    else if (auto *writer = dynamic_cast<QPdfWriter *>(mDevice))
        writer->setTitle(jobName);
    if (!mPainter.begin(mDevice))
        return false;
    mDpiX = std::max(1, mDevice->logicalDpiX());
    mDpiY = std::max(1, mDevice->logicalDpiY());
    setFont(mFont);
    layoutPage();
    return true;
}

void TZunPrinter::setFont(const QFont &font)
{
    mFont = font;
    if (!mPainter.isActive())
        return;
    mPainter.setFont(mFont);
    mPainter.setPen(Qt::black);
    mPainter.setBackgroundMode(Qt::TransparentMode);
    mMetrics = std::make_unique<QFontMetrics>(mFont, mDevice);
    mLineHeight = std::max(1, mMetrics->height());
    mMaxCharWidth = std::max(1, mMetrics->maxWidth());
    if (mLinesOnPage == 0)
        layoutPage();
}

void TZunPrinter::layoutPage()
{
    mPageSize = QSize(mDevice->width(), mDevice->height());
    const double toInches = mOptions.unit == 1 ? InchesPerCentimetre : 1.0;
    auto px = [&](double margin) { return int(margin * toInches * mDpiX); };
    auto py = [&](double margin) { return int(margin * toInches * mDpiY); };
    mLeft = px(mOptions.leftMargin);
    mRight = mPageSize.width() - px(mOptions.rightMargin);
    mTop = py(mOptions.topMargin);
    if (!mOptions.header.isEmpty())
        mTop = std::max(mTop, 2 * mLineHeight);
    int bottomMargin = py(mOptions.bottomMargin);
    if (!mOptions.footer.isEmpty())
        bottomMargin = std::max(bottomMargin, 2 * mLineHeight);
    mBottom = mPageSize.height() - bottomMargin;
    // The text area is never smaller than two inches either way.
    mRight = std::max(mRight, mLeft + 2 * mDpiX);
    mBottom = std::max(mBottom, mTop + 2 * mDpiY);
    mX = mLeft;
    mY = mTop;
    mTallest = 0;
}

void TZunPrinter::drawBand(const QString &text, int y)
{
    const QFont saved = mPainter.font();
    if (regularHeaderFooter) {
        QFont plain = mFont;
        plain.setBold(false);
        plain.setItalic(false);
        plain.setUnderline(false);
        mPainter.setFont(plain);
    }
    const QString shown = substituteHeaderCodes(text, mOptions.title, mPage + pageNumberOffset, mDate, mTime);
    mPainter.drawText(QRect(mLeft, y, mRight - mLeft, mLineHeight),
                      Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, shown);
    mPainter.setFont(saved);
}

void TZunPrinter::printHeader()
{
    mHeaderDone = true;
    if (!mOptions.header.isEmpty())
        drawBand(mOptions.header, 0);
}

void TZunPrinter::printFooter()
{
    if (!mOptions.footer.isEmpty())
        drawBand(mOptions.footer, mPageSize.height() - mLineHeight);
}

void TZunPrinter::ensurePage()
{
    if (mPagePending) {
        mPagePending = false;
        mDevice->newPage();
        ++mPagesStarted;
        ++mPage;
        mLinesOnPage = 0;
        mHeaderDone = false;
        layoutPage();
    }
    if (!mHeaderDone) {
        layoutPage();
        printHeader();
    }
}

void TZunPrinter::preparePage()
{
    ensurePage();
}

void TZunPrinter::NewPage()
{
    if (!mPainter.isActive())
        return;
    // A page that is already waiting to start is not skipped again.
    if (mPagePending)
        return;
    ensurePage();
    printFooter();
    mPagePending = true;
    mLinesOnPage = 0;
    mX = mLeft;
    mY = mTop;
    mTallest = 0;
}

void TZunPrinter::restartNumbering()
{
    if (!mPainter.isActive())
        return;
    if (!mPagePending && !mHeaderDone) {
        mPage = 1; // nothing on this sheet yet: it is page 1
        return;
    }
    NewPage();
    mPage = 0; // the sheet started next is page 1
}

int TZunPrinter::widthOf(QStringView text) const
{
    return mMetrics ? mMetrics->horizontalAdvance(text.toString()) : 0;
}

qsizetype TZunPrinter::fittingLength(QStringView text, int available) const
{
    // The longest prefix whose width fits, by halving: widths grow with length.
    qsizetype low = 0, high = text.size();
    while (low < high) {
        const qsizetype mid = (low + high + 1) / 2;
        if (widthOf(text.left(mid)) <= available)
            low = mid;
        else
            high = mid - 1;
    }
    return low;
}

void TZunPrinter::drawRun(const QString &run, bool last)
{
    QStringView rest(run);
    while (!rest.isEmpty()) {
        ensurePage();
        const int available = mRight - mX;
        // Most runs plainly fit: only those that might not are measured before drawing.
        const bool surelyFits = rest.size() * qsizetype(mMaxCharWidth) <= available;
        qsizetype take = rest.size();
        bool wrapped = false;
        int width = -1; // of the piece drawn, once measured
        if (mOptions.wrapLines && !surelyFits) {
            width = widthOf(rest);
            const qsizetype fits = width <= available ? rest.size() : fittingLength(rest, available);
            if (fits < rest.size()) {
                width = -1;
                wrapped = true;
                take = fits;
                const qsizetype blank = rest.left(fits).lastIndexOf(u' ');
                if (blank >= 0)
                    take = blank + 1;
                if (take == 0) {
                    if (mX > mLeft) {
                        // Nothing fits after what is on the line: try again on a line of its own.
                        newLine();
                        continue;
                    }
                    // Not one character fits the text area: it overhangs rather than
                    // the line never ending.
                    take = 1;
                }
            }
        }
        const QStringView piece = rest.left(take);
        mPainter.drawText(QPoint(mX, mY + mMetrics->ascent()), piece.toString());
        mTallest = std::max(mTallest, mLineHeight);
        rest = rest.mid(take);
        if (wrapped)
            newLine();
        else if (!last)
            mX += width >= 0 ? width : widthOf(piece); // only needed when more follows on this line
    }
}

void TZunPrinter::newLine()
{
    const int height = mTallest > 0 ? mTallest + 2 : mLineHeight;
    mX = mLeft;
    mY += height;
    mTallest = 0;
    ++mLinesOnPage;
    if (mY + 2 * mLineHeight > mBottom) {
        printFooter();
        mPagePending = true;
        mLinesOnPage = 0;
        mX = mLeft;
        mY = mTop;
    }
}

void TZunPrinter::PrintLine(const QString &line)
{
    if (!mPainter.isActive())
        return;
    qsizetype end = line.size();
    while (end > 0 && line.at(end - 1) == u' ')
        --end;
    if (end == 0) {
        // An empty line at the top of a page is not printed at all.
        if (mLinesOnPage > 0)
            newLine();
        return;
    }
    ensurePage();
    QString run;
    auto flush = [&](bool last) {
        if (!run.isEmpty()) {
            drawRun(run, last);
            run.clear();
        }
    };
    const int tabWidth = mOptions.tabSize * std::max(1, mMetrics->averageCharWidth());
    for (qsizetype i = 0; i < end; ++i) {
        const QChar c = line.at(i);
        switch (c.unicode()) {
        case u'\t':
            flush(false);
            ensurePage();
            mX = nextTabStop(mX, tabWidth);
            if (mX > mRight)
                newLine();
            break;
        case u'\n':
            flush(true);
            newLine();
            break;
        case u'\f':
            flush(true);
            if (formFeeds)
                NewPage();
            break;
        case u'\r':
            flush(false);
            break;
        default:
            run += c;
        }
    }
    flush(true);
    if (!mPagePending || mX != mLeft || mTallest > 0)
        newLine();
}

void TZunPrinter::EndDoc()
{
    if (!mPainter.isActive())
        return;
    if (!mPagePending) {
        ensurePage();
        printFooter();
    }
    mPainter.end();
}

} // namespace vardeko
