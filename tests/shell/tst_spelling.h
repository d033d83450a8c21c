// Tests of the spelling check: words, dictionaries, the walk and the menu commands.
#pragma once

#include <QObject>

namespace vardeko {
class TMainForm;
class FakeDialogs;
}

class TestSpelling : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void wordsOfTitlesAndArticles_data();
    void wordsOfTitlesAndArticles();
    void dictionaryChoice_data();
    void dictionaryChoice();
    void hunspellDictionary();
    void walkChangesIgnoresAndAdds();
    void targetsFollowTheScope();
    void checkThisPageThroughTheMenu();
    void commandStates();

private:
    vardeko::TMainForm *mForm = nullptr;
    vardeko::FakeDialogs *mDialogs = nullptr;
};
