// Tests of what the editor tells the desktop: the list of recent files, its data folders.
#pragma once

#include <QObject>
#include <QTemporaryDir>

#include <memory>

class TestDesktop : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void recentListEntries_data();
    void recentListEntries();
    void unreadableRecentListIsLeftAlone_data();
    void unreadableRecentListIsLeftAlone();
    void dataFoldersOfTheBuildTree();

private:
    std::unique_ptr<QTemporaryDir> mDir;
};
