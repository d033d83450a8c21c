// "Define ... Action": the parameter dialog that builds or edits one script line.
#pragma once

#include "actioneditor.h"

#include <QDialog>

#include <memory>
#include <vector>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class QVBoxLayout;

namespace vardeko {

class ActionField;

class TDefineActionForm : public QDialog
{
    Q_OBJECT

public:
    // `params` are the values the fields start with (see initialParameters()).
    TDefineActionForm(int command, const QStringList &params, const ActionContext &context,
                      QWidget *parent = nullptr);
    ~TDefineActionForm() override;

    int command() const { return mCommand; }
    // The parameters as the fields hold them now.
    QStringList parameters() const;
    // The line rebuilt from the fields.
    QString line() const;

    // Fields by role, for the position buttons and tests.
    ActionField *field(int index) const;
    int fieldCount() const { return int(mFields.size()); }
    const ActionContext &context() const { return mContext; }
    // Puts values into the fields (as the position dialog writes back).
    void setParameters(const QStringList &params);

    QPushButton *testButton() const { return TestBtn; }

protected:
    void done(int result) override;

private:
    void testPressed();
    void testReleased();
    void testClicked();
    void runDelayTest();
    void stopDelayTest();
    void openPosition();

    int mCommand;
    ActionContext mContext;
    std::vector<std::unique_ptr<ActionField>> mFields;
    QVBoxLayout *mColumn = nullptr;
    QPushButton *TestBtn = nullptr;
    QPushButton *OkBtn = nullptr;
    QPushButton *CancelBtn = nullptr;
    QPushButton *HelpBtn = nullptr;
    QProgressBar *DelayBar = nullptr;
    QLabel *DelayLabel = nullptr;
    QTimer *mDelayTimer = nullptr;
    QTimer *mHoldTimer = nullptr;
    qint64 mDelayStart = 0;
    int mDelayLength = 0;
    QStringList mLoaded;
};

} // namespace vardeko
