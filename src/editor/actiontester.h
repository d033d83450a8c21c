// The Test buttons of the action editor: a command tried with the values of its fields.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace vardeko {

class Publication;

class ActionTester
{
public:
    virtual ~ActionTester();
    // True when this command's test can run: the part that shows or plays it is present.
    virtual bool canTest(int command) const = 0;
    // Tries the command with `params` as the fields hold them (nothing expanded).
    // Without `surface` windows and notes are centred on the screen; with it, page
    // coordinates are taken on that widget (the position dialog's preview).
    virtual void test(QWidget *dialog, int command, const QStringList &params,
                      QWidget *surface = nullptr)
            = 0;
    // When a test of this command still shows its item (a window, a playing file), ends
    // it and returns true.
    virtual bool endRunningTest(int command) = 0;
    // Ends whatever a test still shows or plays.
    virtual void endAllTests() = 0;
};

// Tries commands through the run-mode providers installed in this program, for the
// publication being edited (which may be null).
class ProviderTester : public ActionTester
{
public:
    explicit ProviderTester(const Publication *publication);
    ~ProviderTester() override;
    bool canTest(int command) const override;
    void test(QWidget *dialog, int command, const QStringList &params, QWidget *surface) override;
    bool endRunningTest(int command) override;
    void endAllTests() override;

private:
    struct Impl;
    Impl *d;
};

} // namespace vardeko
