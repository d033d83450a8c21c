// A recording run host with pages, scheduled events and a debug-line recorder.
#pragma once

#include "consolehost.h"
#include "scriptrunner.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>

namespace vardeko {

class FakeHost : public ConsoleHost
{
public:
    explicit FakeHost(QList<int> answers = {}) : ConsoleHost(mStream, std::move(answers))
    {
        setScreen(1024, 768, 16777216);
    }

    // Every request, one line each, as the console prints them.
    QStringList log()
    {
        mStream.flush();
        QStringList lines = mText.split(u'\n', Qt::SkipEmptyParts);
        return lines;
    }

    // Pages by name with their entry scripts; going to one runs its script nested.
    QMap<QString, QString> pages;
    QString current;
    // Called at the n-th event pass (1-based).
    QMap<int, std::function<void()>> events;
    int eventPasses = 0;
    bool recording = false;
    QStringList recorded;
    int cleared = 0;
    QString programDir;

    bool gotoPage(const QString &name) override
    {
        ConsoleHost::gotoPage(name);
        const auto it = pages.constFind(name);
        if (it == pages.constEnd())
            return false;
        if (current != name) {
            current = name;
            if (!it.value().isEmpty() && runner)
                runner->ExecuteScript(it.value());
        }
        return true;
    }

    void processPendingEvents() override
    {
        ++eventPasses;
        if (const auto f = events.take(eventPasses))
            f();
    }

    bool isRecordingLines() const override { return recording; }
    void recordLine(int depth, const QString &line) override
    {
        recorded.append(QString(depth > 1 ? 2 * depth : 0, u' ') + line);
    }
    void clearRecordedLines() override { ++cleared; }

    QString currentPageTitle() const override { return current; }
    QString currentPageNumber() const override { return current.isEmpty() ? QString() : QStringLiteral("1"); }
    QString programDirectory() const override { return programDir; }
    QString publicationAuthor() const override { return QStringLiteral("A. Author"); }
    int publicationColors() const override { return 256; }
    QString publicationDir() const override { return QStringLiteral("/pubs/demo"); }
    int pageWidth() const override { return 640; }
    int pageHeight() const override { return 480; }
    QString publicationTitle() const override { return QStringLiteral("Demo"); }
    QString tempDir() const override { return QStringLiteral("/var/tmp"); }

    ScriptRunner *runner = nullptr;

private:
    QString mText;
    QTextStream mStream{&mText};
};

} // namespace vardeko
