// "Position ... Object": places the item a command shows on a copy of the page.
#pragma once

#include "actioneditor.h"
#include "positiongeometry.h"

#include <QDialog>
#include <QImage>

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QSlider;
class QWidget;

namespace vardeko {

class TDefineActionForm;
class PosWorkArea;

class TDefinePosForm : public QDialog
{
    Q_OBJECT

public:
    // `form` is the parameter dialog the values come from and go back to (for the test
    // and the cartoon's speed and repeat count); null hides the test panel.
    TDefinePosForm(int command, const PosFrame &frame, bool lineMode, bool sizeable,
                   const ActionContext &context, TDefineActionForm *form, QWidget *parent = nullptr);
    ~TDefinePosForm() override;

    PosFrame frame() const { return mFrame; }
    void setFrame(const PosFrame &frame);
    QString cartoonRepeat() const;
    QString cartoonSpeed() const;
    void setCartoonValues(const QString &repeat, const QString &speed);
    // One pixel in a direction: (0,-1) up, (0,1) down, (-1,0) left, (1,0) right.
    void nudge(int dx, int dy);
    void TestBtnClick();
    QWidget *workArea() const;
    QWidget *pageSurface() const { return PageSurface; }
    // The page area in work-area coordinates.
    QRect pageRect() const;

    bool lineMode() const { return mLineMode; }
    bool sizeable() const { return mSizeable; }

protected:
    void done(int result) override;

private:
    friend class PosWorkArea;
    void updatePrompts();
    void endTest();
    void pressed(const QPoint &page);
    void moved(const QPoint &page);
    void released();

    int mCommand;
    PosFrame mFrame;
    bool mLineMode;
    bool mSizeable;
    ActionContext mContext;
    TDefineActionForm *mForm;
    QImage mPage;
    int mDragState = 0; // 0 none, 2 moving, 3 a handle
    int mHandle = 0;
    QPoint mLast;
    QScrollArea *ScrollBox;
    PosWorkArea *WorkArea;
    QWidget *PageSurface;
    QLabel *LeftPrompt, *TopPrompt, *WidthPrompt, *HeightPrompt, *StartPrompt, *EndPrompt;
    QWidget *PosPanel, *SizePanel, *SplinePanel, *TestPanel, *CartoonOpPanel;
    QPushButton *TestBtn;
    QSlider *CartoonSpeed;
    QLineEdit *CartoonLoopCount;
};

// Opens the dialog for a command; on OK the frame's values are returned: x and y the
// left and top; in line mode w and h the end point; when sizeable w and h the width and
// height. Cancel changes nothing.
bool PositionActionObject(int command, int &x, int &y, bool lineMode, bool sizeable, int &w, int &h,
                          const ActionContext &context, TDefineActionForm *form, QWidget *parent);

// The parameter dialog's position button: measures the item, opens the dialog with the
// fields' values and writes the chosen place (and size, speed, repeat count) back.
void positionFromActionForm(TDefineActionForm &form);

} // namespace vardeko
