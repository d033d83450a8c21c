// Status tips that say why a command cannot be chosen now.
#pragma once

#include <QHash>
#include <QObject>
#include <QString>

#include <functional>

class QAction;

namespace vardeko {

class TMainForm;

class CommandTips : public QObject
{
    Q_OBJECT
public:
    explicit CommandTips(TMainForm &form);

    // Takes each command's tip as it is now and follows the command's state from then on:
    // enabled it shows its own tip, disabled its tip and the reason.
    void attach();
    // Brings every tip up to date (the window or selection changed while a command's
    // state stayed the same).
    void refreshAll();
    // Why the command is disabled now; empty while it is enabled.
    QString reason(const QAction *action) const;
    // The tip the command shows when enabled.
    QString ownTip(const QAction *action) const { return mOwnTips.value(action); }

private:
    void refresh(QAction *action);

    TMainForm &mForm;
    QHash<const QAction *, QString> mOwnTips;
    QHash<const QAction *, std::function<QString()>> mReasons;
    bool mRefreshing = false;
};

} // namespace vardeko
