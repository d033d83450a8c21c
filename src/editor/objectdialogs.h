// The object dialogs: title, article, image and button attributes, and Adjust Object.
#pragma once

#include "hotkeys.h"
#include "publication.h"

#include <QDialog>
#include <QKeySequence>

class QAbstractButton;
class QCheckBox;
class QKeySequenceEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QToolButton;

namespace vardeko {

class ActionMemoPanel;

// Opens the dialog of the object's kind ("Title Attributes", "Article Attributes",
// "Image Attributes", "Button Attributes"); every other kind opens "Adjust Object".
// `oldBox` is the object's box before the edit; with the new box, each grown by 4, it is
// what the caller repaints. Returns true when the object changed: OK was pressed (the
// modified flag is then set) or, in "Adjust Object", Apply was pressed before Cancel.
// A Text object whose text was cleared is destroyed on OK: after a true result for a
// Text object, look the object up again before touching it (see textObjectRemoved()).
bool editObject(QWidget *parent, Publication &pub, PageObject &object, const QRect &oldBox);

// "Adjust Object" for the selection of `page`: one selected object is placed itself, several
// are moved together. False, without a dialog, when nothing is selected; otherwise true
// when anything moved (OK, or Apply before Cancel).
bool adjustObjects(QWidget *parent, Publication &pub, Page &page);

// True when the last editObject() call destroyed a Text object whose text was cleared.
bool textObjectRemoved();


// Three alignment radio buttons for 1 left, 2 center, 4 right.
struct AlignButtons
{
    QRadioButton *LeftBtn = nullptr;
    QRadioButton *CenterBtn = nullptr;
    QRadioButton *RightBtn = nullptr;
    void set(quint8 align) const;
    quint8 value() const;
};

// "Title Attributes": the text and alignment of a Text object.
class TitleAttributesDialog : public QDialog
{
    Q_OBJECT

public:
    TitleAttributesDialog(TextData &title, QWidget *parent = nullptr);
    void accept() override;
    // Inserts a special code ("[PageTitle]", ...) at the caret.
    void insertSpecialCode(const QString &code);

private:
    TextData &mData;
    QPlainTextEdit *TextMemo;
    QPushButton *SpecialBtn;
    AlignButtons mAlign;
};

// The scroll bar choices shared by articles and pictures.
struct ScrollBarControls
{
    QCheckBox *VertScrollBtn = nullptr;
    QCheckBox *HorzScrollBtn = nullptr;
    QRadioButton *LeftBtn = nullptr;
    QRadioButton *RightBtn = nullptr;
    QRadioButton *TopBtn = nullptr;
    QRadioButton *BottomBtn = nullptr;
};

// "Article Attributes" and "Image Attributes".
class WindowAttributesDialog : public QDialog
{
    Q_OBJECT

public:
    WindowAttributesDialog(ArticleData &article, const QString &publicationDir,
                           QWidget *parent = nullptr);
    WindowAttributesDialog(PictureData &picture, const QString &publicationDir,
                           QWidget *parent = nullptr);
    void accept() override;

private:
    void build(const QString &caption, bool isArticle);
    void loadScrollBars(quint8 flags, quint8 vpos, quint8 hpos);
    void storeScrollBars(quint8 &flags, quint8 &vpos, quint8 &hpos) const;
    void updateEnabling();
    void browse();

    ArticleData *mArticle = nullptr;
    PictureData *mPicture = nullptr;
    QString mPublicationDir;
    QLineEdit *FName = nullptr;
    QPushButton *BrowseBtn = nullptr;
    QCheckBox *WordWrapBtn = nullptr;
    QCheckBox *SizeToFitBtn = nullptr;
    QCheckBox *Aspectbtn = nullptr;
    ScrollBarControls mScroll;
};

// "Button Attributes": general settings, style and action on three tabs.
class ButtonAttributesDialog : public QDialog
{
    Q_OBJECT

public:
    ButtonAttributesDialog(ButtonData &button, const QString &publicationDir,
                           QWidget *parent = nullptr);
    void accept() override;
    int style() const;
    void setStyle(int style);
    ActionMemoPanel *actionPanel() const { return mActionPanel; }

private:
    void updateStyleControls();
    void browseImage(QLineEdit *field);

    ButtonData &mData;
    QString mPublicationDir;
    QTabWidget *mTabs;
    QPlainTextEdit *ButtonText;
    QKeySequenceEdit *ShortCutKey;
    AlignButtons mAlign;
    QWidget *mPlacementBox;
    QRadioButton *NextToBtn;
    QRadioButton *OnTopBtn;
    QRadioButton *StyleBtns[4];
    QToolButton *StylePics[4];
    QWidget *mVarNameRow;
    QLineEdit *VarNameBox;
    QWidget *mTextLenRow;
    QSpinBox *TextLenBox;
    QWidget *mStateBox;
    QRadioButton *DownBtn;
    QRadioButton *UpBtn;
    QWidget *mImageBox;
    QLineEdit *UpName;
    QLineEdit *DownName;
    QRadioButton *OpaqueBtn;
    QRadioButton *TransBtn;
    ActionMemoPanel *mActionPanel;
};

// "Adjust Object": places one object, or moves a selection, by numbers.
class AdjustObjectDialog : public QDialog
{
    Q_OBJECT

public:
    // With an object, that object; without, the selection of `page`.
    AdjustObjectDialog(Publication &pub, Page *page, PageObject *object, QWidget *parent = nullptr);
    void accept() override;
    // Moves (and sizes) as the fields say; the fields' values become the new start.
    void apply();
    bool changed() const { return mChanged; }

signals:
    // Something moved: the areas before and after, grown by 4 pixels.
    void applied(const QRect &oldArea, const QRect &newArea);

private:
    QRect currentBox() const;

    Publication &mPub;
    Page *mPage;
    PageObject *mObject;
    QRect mStart;
    bool mChanged = false;
    QSpinBox *XEdit;
    QSpinBox *YEdit;
    QSpinBox *WEdit;
    QSpinBox *HEdit;
};

} // namespace vardeko
