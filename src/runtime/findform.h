// The reader's search: the "Find" window and the walk over pages and texts.
#pragma once

#include <QDialog>
#include <QHash>
#include <QSet>
#include <QStringList>

class QLabel;
class QLineEdit;
class QPushButton;

namespace vardeko {

class RunSession;
struct Page;
struct PageObject;

// One place a search text was found.
struct FindMatch
{
    Page *page = nullptr;
    PageObject *object = nullptr;
    int line = 0; // the line of a file, from 1; 0 for a text object
    QString file; // the article's or text window's file
    QString textWindowLine; // the button's TextWindow line that shows `file`
};

// The display line (from 0) of a formatted article on which the match that a search
// for `text` found in line `line` (from 1) of its source begins. Layout joins and
// splits source lines, so the match is followed by its count among the matches of the
// whole text; -1 when the formatted file cannot be read or does not show it.
int displayLineOfMatch(const QStringList &searchedSource, int line, const QString &text,
                       const QString &formattedFile);

class TFindForm : public QDialog
{
    Q_OBJECT
public:
    static constexpr int MaxTextLength = 45;

    explicit TFindForm(RunSession &session, QWidget *parent = nullptr);

    // The Find command: keeps the scope for the next searches.
    void setScope(const QString &scope) { mScope = scope; }
    QString scope() const { return mScope; }
    void setLanguage();

    // "Find &First" restarts; both search on from the last match.
    void findFirst();
    void findNext();
    bool searching() const { return mSearching; }
    int matchCount() const { return mMatches; }

    QLineEdit *edit() const { return FindEdit; }
    QPushButton *firstButton() const { return FindFirstBtn; }
    QPushButton *nextButton() const { return FindNextBtn; }
    // A file's lines as the last search read them (codes removed, upper-cased), if it did.
    const QStringList *readLines(const QString &file) const;
    // The search text as the last search used it (upper-cased).
    const QString &searchText() const { return mText; }

private:
    void search();
    void updateButtons();
    // A file's lines as a search reads them (codes removed, upper-cased); false, with
    // the file-error alert shown once per search, when it cannot be read.
    bool searchedLines(const QString &file, const QStringList **lines);

    RunSession &mSession;
    QLabel *PromptLabel = nullptr;
    QLineEdit *FindEdit = nullptr;
    QPushButton *FindFirstBtn = nullptr;
    QPushButton *FindNextBtn = nullptr;
    QPushButton *CloseBtn = nullptr;
    QString mScope;
    QString mText;
    bool mSearching = false;
    int mMatches = 0;
    // Read once per search: the files' lines, and the files that could not be read.
    QHash<QString, QStringList> mFiles;
    QSet<QString> mUnreadable;
};

} // namespace vardeko
