// Answers the shell's questions from a script and records what was asked.
#pragma once

#include "shelldialogs.h"

#include <QStringList>

#include <deque>

namespace vardeko {

class FakeDialogs : public ShellDialogs
{
public:
    struct Shown
    {
        QString title;
        QString text;
    };

    QList<Shown> alerts;
    QList<Shown> questions;
    QList<Shown> reports;
    QStringList saveTitles;
    std::deque<Answer> answers;     // taken in order; an empty queue answers Cancel
    std::deque<QString> fileChoices; // taken in order; empty means cancelled
    QStringList fileDirs;            // the folder each file choice started in
    QStringList fileFilters;         // the filter each file choice offered

    void alert(QWidget *, const QString &title, const QString &text) override
    {
        alerts.append({title, text});
    }
    Answer ask(QWidget *, const QString &title, const QString &text, bool withCancel) override
    {
        questions.append({title, text});
        if (answers.empty())
            return withCancel ? Cancel : No;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    QString chooseOpenFile(QWidget *, const QString &, const QString &filter, const QString &,
                           const QString &dir, bool) override
    {
        fileDirs.append(dir);
        fileFilters.append(filter);
        return nextChoice();
    }
    QString chooseSaveFile(QWidget *, const QString &title, const QString &filter,
                           const QString &, const QString &dir, bool) override
    {
        fileDirs.append(dir);
        fileFilters.append(filter);
        saveTitles.append(title);
        return nextChoice();
    }
    void showReport(QWidget *, const QString &caption, const QString &text) override
    {
        reports.append({caption, text});
    }

private:
    QString nextChoice()
    {
        if (fileChoices.empty())
            return QString();
        const QString c = fileChoices.front();
        fileChoices.pop_front();
        return c;
    }
};

} // namespace vardeko
