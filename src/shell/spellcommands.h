// Options > Check Spelling: Entire Publication, This Page and the selected objects.
#pragma once

#include "spelling.h"

#include <QObject>

#include <functional>

class QDialog;

namespace vardeko {

class TMainForm;
class TSpellForm;

class SpellCommands : public QObject
{
    Q_OBJECT
public:
    explicit SpellCommands(TMainForm &form);

    void connectCommands();
    // A publication must exist; the selection item needs selected objects.
    void updateStates();

    void check(SpellScope scope);

    // Tests drive the dialog instead of running it modally.
    using DialogDriver = std::function<void(TSpellForm &)>;
    static void setDialogDriver(DialogDriver driver);

private:
    TMainForm &mForm;
};

} // namespace vardeko
